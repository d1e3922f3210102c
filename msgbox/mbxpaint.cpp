// Painting of the extended message box.
#include "msgbox/mbxpaint.h"

#include <cstring>

#include "frame/frame.h"
#include "msgbox/mbxbitmap.h"
#include "resources/gtapi32_res.h"
#include "frame/owners.h"
#include "text/memprobe.h"

namespace gt::mbx {

bool isValidContext(const GTMBCONTEXT* context) {
    // Callers may pass anything for "no block": look before reading.
    return context && mem::isReadable(context, sizeof(GTMBCONTEXT)) &&
           std::memcmp(context->szMarker, "~MSG~", 6) == 0;
}

LPGTMBCONTEXT boxContext(HWND box) {
    auto* context = reinterpret_cast<LPGTMBCONTEXT>(GetWindowLongPtrA(box, DWLP_USER));
    return isValidContext(context) ? context : nullptr;
}

WORD standardIconId(DWORD pictureId) {
    switch (pictureId) {
    case 1: return IDI_GT_STOP;
    case 2: return IDI_GT_QUESTION;
    case 3: return IDI_GT_EXCLAMATION;
    case 4: return IDI_GT_INFORMATION;
    default: return 0;
    }
}

void pictureSize(const GTMBPICTURE& picture, LONG* width, LONG* height) {
    *width = *height = 0;
    switch (picture.wKind) {
    case GTMBPIC_ICON:
    case GTMBPIC_HICON:
        *width = GetSystemMetrics(SM_CXICON);
        *height = GetSystemMetrics(SM_CYICON);
        break;
    case GTMBPIC_BITMAP: bitmapResourceSize(picture.hModule, LOWORD(picture.dwResource), width, height); break;
    case GTMBPIC_HBITMAP: bitmapSize(reinterpret_cast<HBITMAP>(ULONG_PTR(picture.dwResource)), width, height); break;
    default: break;
    }
}

namespace {

void drawPictureBitmap(const GTMBPICTURE& picture, HDC dc, POINT at, HBITMAP bitmap) {
    if (picture.crTransparent)
        drawTransparentBitmap(dc, bitmap, at.x, at.y, picture.crTransparent);
    else
        drawBitmap(dc, bitmap, nullptr, at.x, at.y);
}

}  // namespace

BOOL drawPicture(const GTMBPICTURE& picture, HDC dc, POINT at) {
    HICON icon = nullptr;
    switch (picture.wKind) {
    case GTMBPIC_ICON: {
        const WORD id = LOWORD(picture.dwResource);
        if (WORD standard = standardIconId(id))
            icon = LoadIconA(frame::module(), MAKEINTRESOURCEA(standard));
        else
            icon = LoadIconA(picture.hModule, MAKEINTRESOURCEA(id));
        break;
    }
    case GTMBPIC_HICON: icon = reinterpret_cast<HICON>(ULONG_PTR(picture.dwResource)); break;
    case GTMBPIC_BITMAP: {
        gt::Bitmap bitmap(LoadBitmapA(picture.hModule, MAKEINTRESOURCEA(LOWORD(picture.dwResource))));
        if (bitmap) drawPictureBitmap(picture, dc, at, bitmap.get());
        break;
    }
    case GTMBPIC_HBITMAP:
        drawPictureBitmap(picture, dc, at, reinterpret_cast<HBITMAP>(ULONG_PTR(picture.dwResource)));
        break;
    default: break;
    }
    // Icons from LoadIconA are shared: never destroyed here.
    if (icon) DrawIcon(dc, at.x, at.y, icon);
    return TRUE;
}

LRESULT paintBox(HWND box) {
    LPGTMBCONTEXT ctx = boxContext(box);
    if (!ctx) return 0;
    gt::PaintScope paint(box);
    HDC dc = paint.get();
    if (!dc) return 0;
    if (ctx->pDef && ctx->pDef->dwPicture)
        drawPicture(ctx->pDef->picture, dc, POINT{ctx->rcPicture.left, ctx->rcPicture.top});

    const bool textColor = ctx->crText != 0, bkColor = ctx->crTextBk != 0;
    COLORREF oldText = textColor ? SetTextColor(dc, ctx->crText) : 0;
    COLORREF oldBk = bkColor ? SetBkColor(dc, ctx->crTextBk) : 0;
    int oldMode = bkColor ? 0 : SetBkMode(dc, TRANSPARENT);
    if (ctx->pszText) {
        gt::Selection font(dc, ctx->hFont);
        RECT r = ctx->rcText;
        DrawTextA(dc, ctx->pszText, -1, &r, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    }
    if (textColor) SetTextColor(dc, oldText);
    if (bkColor)
        SetBkColor(dc, oldBk);
    else if (oldMode)
        SetBkMode(dc, oldMode);
    return 0;
}

BOOL eraseBox(HWND box, HDC dc) {
    LPGTMBCONTEXT ctx = boxContext(box);
    if (!ctx || !dc) return FALSE;
    RECT client{};
    GetClientRect(box, &client);
    if (ctx->hBrush) {
        UnrealizeObject(ctx->hBrush);
        FillRect(dc, &client, ctx->hBrush);
        return TRUE;
    }
    if (ctx->hBitmap) {
        // A bitmap smaller than the box would leave the rest unerased: that
        // part gets the dialog's usual colour.
        LONG w = 0, h = 0;
        bitmapSize(ctx->hBitmap, &w, &h);
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, 0, 0, w, h);
        FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
        if (saved) RestoreDC(dc, saved);
        drawBitmap(dc, ctx->hBitmap, nullptr, 0, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace gt::mbx
