// The extended message box: appearance blocks, the call, the dialog
// procedure and the window glue of the layout.  The arithmetic lives in
// mbxlogic, the painting in mbxpaint.
#include <windows.h>

#include <cstdarg>
#include <cstring>
#include <string>
#include <vector>

#include "frame/frame.h"
#include "gtapi32.h"
#include "frame/owners.h"
#include "msgbox/mbxlogic.h"
#include "msgbox/mbxpaint.h"
#include "msgbox/text.h"
#include "resources/gtapi32_res.h"

namespace gt::mbx {
namespace {

constexpr WORD kTemplateId = IDD_GT_MSGBOX;  // its button 1 is the yardstick of the buttons
constexpr size_t kTextArea = 1024;

// The formatted message text, shared by all calls (one box at a time).
char g_text[kTextArea];

// Captions read by the call for the dialog it is about to open on this
// thread; taken at WM_INITDIALOG.
thread_local const std::vector<std::string>* t_pendingCaptions = nullptr;

HFONT makeDefaultFont() {
    LOGFONTA lf{};
    if (!GetObjectA(GetStockObject(SYSTEM_FONT), sizeof(lf), &lf)) return nullptr;
    lf.lfHeight = 15;
    lf.lfWidth = 5;
    lf.lfWeight = 3;
    lstrcpynA(lf.lfFaceName, "MS Sans Serif", LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

// A string resource as it stands, unformatted ("" and false when missing).
// Texts are formatted once, with the call's own arguments; captions never.
bool loadString(HMODULE module, WORD id, std::string* out) {
    char area[gt::msg::kLoadArea];
    if (gt::msg::loadText(module, id, area) <= 0) return false;
    *out = area;
    return true;
}

// One button's caption: kind 1 is string (first two bytes of the text
// field) of `module`, any other kind the text field itself, which need not
// be terminated within its 55 bytes.
bool readCaption(const GTMBBUTTON& b, HMODULE module, std::string* out) {
    if (b.dwKind == GTMBBTN_STRINGID) {
        WORD id;
        std::memcpy(&id, b.szText, sizeof(id));
        return loadString(module, id, out);
    }
    out->assign(b.szText, strnlen(b.szText, sizeof(b.szText)));
    return true;
}

bool readCaptions(const GTMBDEF& def, HMODULE module, std::vector<std::string>* out) {
    out->assign(def.wButtonCount, std::string());
    if (def.wButtonCount && !def.pButtons) return false;
    for (WORD i = 0; i < def.wButtonCount; ++i)
        if (!readCaption(def.pButtons[i], module, &(*out)[i])) return false;
    return true;
}

// Widest of the captions as the buttons will show them: measured on the
// box's own DC with its default font and, when the block has one, with that
// font too, so that a large caller font does not clip the captions.
int widestCaption(HWND box, HFONT font, const std::vector<std::string>& captions) {
    gt::WindowDc dc(box);
    if (!dc) return 0;
    int widest = 0;
    auto measure = [&](const std::string& s) {
        RECT r{0, 0, 10, 10};
        DrawTextA(dc.get(), s.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXTERNALLEADING);
        if (r.right - r.left > widest) widest = r.right - r.left;
    };
    for (const std::string& s : captions) measure(s);
    if (font) {
        gt::Selection selected(dc.get(), font);
        for (const std::string& s : captions) measure(s);
    }
    return widest;
}

void layoutAndCreate(HWND box, LPGTMBCONTEXT ctx, const std::vector<std::string>& captions) {
    const GTMBDEF& def = *ctx->pDef;
    const int U = GetSystemMetrics(SM_CYCAPTION), F = GetSystemMetrics(SM_CXDLGFRAME);
    const bool picture = def.dwPicture != 0;
    LONG pw = 0, ph = 0;
    if (picture) pictureSize(def.picture, &pw, &ph);

    HWND desktop = GetDesktopWindow();
    RECT screen{};
    GetWindowRect(desktop, &screen);
    BoxLayoutInput in{};
    in.text = textStartRect(screen, U, F, picture, pw);
    {
        gt::WindowDc dc(desktop);
        gt::Selection font(dc.get(), ctx->hFont);
        DrawTextA(dc.get(), ctx->pszText, -1, &in.text,
                  DT_WORDBREAK | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_CALCRECT | DT_NOPREFIX);
    }
    in.U = U;
    in.F = F;
    in.picture = picture;
    in.pictureWidth = pw;
    in.pictureHeight = ph;
    in.alignment = def.wPictureAlign;
    in.textEmpty = !ctx->pszText[0];
    in.buttons = def.wButtonCount;
    in.captionWidth = widestCaption(box, ctx->hFont, captions);
    HWND yardstick = GetDlgItem(box, IDOK);
    in.minButtonWidth = gtGetWindowWidth(yardstick);
    in.buttonHeight = gtGetWindowHeight(yardstick);
    const BoxLayout l = layoutBox(in);
    ctx->rcText = l.text;
    ctx->rcPicture = l.picture;

    if (yardstick) SendMessageA(yardstick, WM_CLOSE, 0, 0);
    for (WORD i = 0; i < def.wButtonCount; ++i) {
        const GTMBBUTTON& b = def.pButtons[i];
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (b.wId == def.wDefaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND button = CreateWindowExA(0, "Button", captions[i].c_str(), style, l.rowX + i * l.step, l.rowY,
                                      l.buttonWidth, l.buttonHeight, box, reinterpret_cast<HMENU>(ULONG_PTR(b.wId)),
                                      frame::module(), nullptr);
        if (button) SendMessageA(button, WM_SETFONT, WPARAM(ctx->hFont), TRUE);
    }
    if (def.wSystemModal == 1) SetWindowLongA(box, GWL_STYLE, GetWindowLongA(box, GWL_STYLE) | DS_SYSMODAL);
    SetWindowPos(box, nullptr, 0, 0, l.width, l.height, SWP_NOZORDER);
    SetWindowTextA(box, ctx->pszCaption);
    if (def.dwCenter == 1) gtCenterWindow(box, GetParent(box));
}

INT_PTR CALLBACK boxProc(HWND box, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* ctx = reinterpret_cast<LPGTMBCONTEXT>(lp);
        SetWindowLongPtrA(box, DWLP_USER, lp);
        if (!isValidContext(ctx) || !ctx->pDef || !ctx->pszText) return FALSE;
        std::vector<std::string> own;
        const std::vector<std::string>* captions = t_pendingCaptions;
        t_pendingCaptions = nullptr;
        if (!captions) {
            readCaptions(*ctx->pDef, ctx->hCaptionModule, &own);
            captions = &own;
        }
        layoutAndCreate(box, ctx, *captions);
        if (HWND def = GetDlgItem(box, ctx->pDef->wDefaultId)) SetFocus(def);
        return FALSE;  // the focus is set
    }
    case WM_COMMAND: {
        LPGTMBCONTEXT ctx = boxContext(box);
        if (!ctx || !ctx->pDef || !ctx->pDef->pButtons) return FALSE;
        const WORD id = LOWORD(wp);
        for (WORD i = 0; i < ctx->pDef->wButtonCount; ++i)
            if (ctx->pDef->pButtons[i].wId == id) {
                EndDialog(box, id);
                break;
            }
        return FALSE;
    }
    case WM_PAINT: return paintBox(box);
    case WM_ERASEBKGND:
        if (eraseBox(box, reinterpret_cast<HDC>(wp))) {
            SetWindowLongPtrA(box, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace
}  // namespace gt::mbx

using namespace gt::mbx;

extern "C" LPGTMBCONTEXT GTAPI gtOpenMessageBoxExtended(HFONT font, HBRUSH brush, HBITMAP bitmap,
                                                        COLORREF textColor, COLORREF textBkColor) {
    auto* ctx = static_cast<LPGTMBCONTEXT>(gtGlobalAllocPtr(GHND | GMEM_DDESHARE, sizeof(GTMBCONTEXT)));
    if (!ctx) return nullptr;
    std::memcpy(ctx->szMarker, "~MSG~", 6);
    ctx->hFont = font;
    ctx->hBrush = brush;
    ctx->hBitmap = bitmap;
    ctx->crText = textColor;
    ctx->crTextBk = textBkColor;
    return ctx;
}

extern "C" BOOL GTAPI gtCloseMessageBoxExtended(LPGTMBCONTEXT ctx, int deleteObjects) {
    if (!isValidContext(ctx)) return FALSE;
    if (deleteObjects == 1) {
        if (ctx->hFont) DeleteObject(ctx->hFont);
        if (ctx->hBitmap) DeleteObject(ctx->hBitmap);
        if (ctx->hBrush) DeleteObject(ctx->hBrush);
    }
    ctx->szMarker[0] = 0;  // a stale pointer to it is no block any more
    gtGlobalFreePtr(ctx);
    return TRUE;
}

extern "C" int GTAPIV gtMessageBoxExtended(HWND parent, LPGTMBCONTEXT ctx, HMODULE module, LPCSTR text,
                                           LPCSTR caption, LPGTMBDEF def, ...) {
    if (!def || !text) return 0;
    // A default appearance block made for this call goes with it, font and all.
    LPGTMBCONTEXT defaultBlock = nullptr;
    gt::ScopeGuard closeDefault([&defaultBlock] {
        if (defaultBlock) gtCloseMessageBoxExtended(defaultBlock, 1);
    });
    // Buttons built from keywords stand in for the caller's during the call
    // only: the caller's pointer is back before the built array goes.
    gt::Block builtButtons;
    gt::ScopeGuard restoreButtons([def, callerButtons = def->pButtons] { def->pButtons = callerButtons; });
    if (!isValidContext(ctx)) {
        gt::Font font(makeDefaultFont());
        defaultBlock = ctx = gtOpenMessageBoxExtended(font.get(), nullptr, nullptr, 0, 0);
        if (!ctx) return 0;
        font.release();  // the block's now
    }
    std::string loadedText, loadedCaption;
    LPCSTR format = text;
    if (IS_INTRESOURCE(text)) {
        if (!loadString(module, LOWORD(ULONG_PTR(text)), &loadedText)) return 0;
        format = loadedText.c_str();
    }
    LPCSTR title = caption;
    if (!caption) {
        title = "Error";
    } else if (IS_INTRESOURCE(caption)) {
        if (!loadString(module, LOWORD(ULONG_PTR(caption)), &loadedCaption)) return 0;
        title = loadedCaption.c_str();
    }
    va_list args;
    va_start(args, def);
    gt::msg::formatV(g_text, sizeof(g_text), format, args);
    va_end(args);

    HMODULE captionModule = module;
    if (def->pszKeywords && def->pszKeywords[0]) {
        builtButtons.reset(buildKeywordButtons(def->pszKeywords, def->wButtonCount));
        if (!builtButtons) return 0;
        def->pButtons = static_cast<LPGTMBBUTTON>(builtButtons.get());
        captionModule = gt::frame::module();
    }
    // A box without buttons could never be closed.
    if (def->wButtonCount == 0 || !def->pButtons) return 0;
    std::vector<std::string> captions;
    if (!readCaptions(*def, captionModule, &captions)) return 0;

    ctx->hParent = parent;
    ctx->hCaptionModule = captionModule;
    ctx->pszText = g_text;
    ctx->pszCaption = const_cast<LPSTR>(title);
    ctx->pDef = def;
    t_pendingCaptions = &captions;
    INT_PTR result = DialogBoxParamA(gt::frame::module(), MAKEINTRESOURCEA(kTemplateId), parent, boxProc,
                                     reinterpret_cast<LPARAM>(ctx));
    t_pendingCaptions = nullptr;
    if (!loadedCaption.empty() && !defaultBlock) ctx->pszCaption = nullptr;  // about to be released
    return int(result);
}
