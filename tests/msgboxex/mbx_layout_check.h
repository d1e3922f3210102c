// The extended box's layout rules, evaluated independently from live system
// metrics and measurements on a live box, and helpers to show boxes and
// compare what they show with the rules.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "boxdriver.h"
#include "gtapi32.h"

namespace mbxcheck {

struct Expected {
    RECT text{}, picture{};
    int width = 0, height = 0, buttonWidth = 0, buttonHeight = 0, x0 = 0, y = 0;
};

struct Params {
    HFONT font = nullptr;  // the block's font (the default font when none was passed)
    std::string text;      // as formatted
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

inline int widest(HDC dc, const std::vector<std::string>& captions, int w) {
    for (const std::string& s : captions) {
        RECT r{0, 0, 10, 10};
        DrawTextA(dc, s.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXTERNALLEADING);
        w = std::max(w, int(r.right - r.left));
    }
    return w;
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
    HDC bd = GetDC(box);
    int w = widest(bd, p.captions, 0);
    if (p.font) {
        HGDIOBJ o = SelectObject(bd, p.font);
        w = widest(bd, p.captions, w);
        SelectObject(bd, o);
    }
    ReleaseDC(box, bd);
    e.buttonWidth = std::max(w + 15, int(unit.right));
    e.y = t.bottom + U;
    e.x0 = p.buttons == 1 ? e.width / 2 - e.buttonWidth / 2 : e.width / 2 - p.buttons * (e.buttonWidth + 20) / 2;
    return e;
}

inline GTMBDEF def(const char* keywords, WORD count, WORD defaultId, WORD iconAlign = 0) {
    GTMBDEF d{};
    d.pszKeywords = const_cast<LPSTR>(keywords);
    d.wButtonCount = count;
    d.wDefaultId = defaultId;
    if (iconAlign) {
        d.dwPicture = 1;
        d.wPictureAlign = iconAlign;
        d.picture.wKind = GTMBPIC_ICON;
        d.picture.dwResource = 2;
    }
    return d;
}

struct Shown {
    int result;
    boxdriver::Box box;
    Expected e;
    // What the box shows against the rules.
    void expectLayout(const std::vector<int>& ids, int defaultId) const {
        EXPECT_EQ(box.window.right - box.window.left, e.width);
        EXPECT_EQ(box.window.bottom - box.window.top, e.height);
        ASSERT_EQ(box.buttons.size(), ids.size());
        for (size_t i = 0; i < ids.size(); ++i) {
            const auto& b = box.buttons[i];
            EXPECT_EQ(b.id, ids[i]) << i;
            EXPECT_EQ(b.rect.left, e.x0 + int(i) * (e.buttonWidth + 20)) << i;
            EXPECT_EQ(b.rect.top, e.y) << i;
            EXPECT_EQ(b.rect.right - b.rect.left, e.buttonWidth) << i;
            EXPECT_EQ(b.rect.bottom - b.rect.top, e.buttonHeight) << i;
            EXPECT_EQ(DWORD(b.style), ids[i] == defaultId ? 0x50010001u : 0x50010000u) << i;
        }
    }
};

// Runs `call`; on the live box evaluates the rules for `p` (when it names
// buttons), then acts.
inline Shown show(const std::function<int()>& call, const Params& p, const boxdriver::Action& act) {
    Shown s;
    s.result = boxdriver::drive(call, [&](const boxdriver::Box& b) {
        if (p.buttons) s.e = evaluate(b.hwnd, p);
        if (act) act(b);
    }, &s.box);
    return s;
}

inline Params params(HFONT font, const std::string& text, std::vector<std::string> captions, WORD iconAlign = 0) {
    Params p;
    p.font = font;
    p.text = text;
    p.picture = iconAlign != 0;
    p.pw = p.picture ? GetSystemMetrics(SM_CXICON) : 0;
    p.ph = p.picture ? GetSystemMetrics(SM_CYICON) : 0;
    p.align = iconAlign;
    p.buttons = int(captions.size());
    p.captions = std::move(captions);
    return p;
}

inline boxdriver::Action click(int id) { return [id](const boxdriver::Box& b) { boxdriver::click(b, id); }; }
inline boxdriver::Action key(WPARAM vk) { return [vk](const boxdriver::Box& b) { boxdriver::key(b, vk); }; }

}  // namespace mbxcheck
