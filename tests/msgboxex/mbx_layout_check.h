// The extended box's layout rules, evaluated independently from live system
// metrics and measurements on a live box, and compared with what it shows.
#pragma once
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "boxdriver.h"

namespace mbxcheck {

struct Expected {
    RECT text{}, picture{};
    int width = 0, height = 0;
    int buttonWidth = 0, buttonHeight = 0;
    int x0 = 0, y = 0;
};

struct Params {
    HFONT font = nullptr;         // the block's font (the default font when none was passed)
    std::string text;             // as formatted
    bool picture = false;
    LONG pw = 0, ph = 0;
    WORD align = 0;
    int buttons = 0;
    std::vector<std::string> captions;
};

// The font of the default appearance, made the documented way.
inline HFONT defaultFont() {
    LOGFONTA lf{};
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof(lf), &lf);
    lf.lfHeight = 15;
    lf.lfWidth = 5;
    lf.lfWeight = 3;
    lstrcpyA(lf.lfFaceName, "MS Sans Serif");
    return CreateFontIndirectA(&lf);
}

inline int measureWidth(HDC dc, const std::string& s) {
    RECT r{0, 0, 10, 10};
    DrawTextA(dc, s.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXTERNALLEADING);
    return r.right - r.left;
}

// Must run while the box is up (it measures on the box's DC and dialog units).
inline Expected evaluate(HWND box, const Params& p) {
    Expected e;
    const int U = GetSystemMetrics(SM_CYCAPTION), F = GetSystemMetrics(SM_CXDLGFRAME);
    RECT t{};
    GetWindowRect(GetDesktopWindow(), &t);
    t.left += p.picture ? F + p.pw + 2 * U : F + U;
    t.top += U;
    HDC d = GetDC(GetDesktopWindow());
    HGDIOBJ old = p.font ? SelectObject(d, p.font) : nullptr;
    DrawTextA(d, p.text.c_str(), -1, &t, 0xE50);
    if (old) SelectObject(d, old);
    ReleaseDC(GetDesktopWindow(), d);
    RECT pic{};
    if (p.picture) {
        if (p.align == 1) pic.top = t.top;
        else if (p.align == 2) pic.top = t.bottom - p.ph;
        else if (p.align == 3) pic.top = t.top + (t.bottom - t.top) / 2 - p.ph / 2;
        if (pic.top < 0) pic.top = t.top;
        pic.left = t.left - U - p.pw;
        pic.right = pic.left + p.pw;
        pic.bottom = pic.top + p.ph;
        if (p.ph > t.bottom - t.top) t.bottom = t.top + p.ph;
    }
    e.text = t;
    e.picture = pic;
    RECT unit{0, 0, 50, 14};  // the template's button 1
    MapDialogRect(box, &unit);
    e.buttonHeight = unit.bottom;
    e.height = t.bottom + 3 * U + e.buttonHeight;
    e.width = (p.text.empty() ? pic.right : t.right) + 3 * F + U;
    int widest = 0;
    HDC bd = GetDC(box);
    for (const std::string& c : p.captions) widest = std::max(widest, measureWidth(bd, c));
    if (p.font) {
        HGDIOBJ o = SelectObject(bd, p.font);
        for (const std::string& c : p.captions) widest = std::max(widest, measureWidth(bd, c));
        SelectObject(bd, o);
    }
    ReleaseDC(box, bd);
    e.buttonWidth = std::max(widest + 15, int(unit.right));
    e.y = t.bottom + U;
    e.x0 = p.buttons == 1 ? e.width / 2 - e.buttonWidth / 2 : e.width / 2 - p.buttons * (e.buttonWidth + 20) / 2;
    return e;
}

}  // namespace mbxcheck
