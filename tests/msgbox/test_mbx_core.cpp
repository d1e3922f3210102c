// Keyword parsing, bitmap loading and painting of the extended message box.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "gtapi32.h"
#include "msgbox/mbxbitmap.h"
#include "msgbox/mbxlogic.h"
#include "msgbox/mbxpaint.h"

using namespace gt::mbx;

namespace {
// Resources made by make_test_bitmaps.py (16x8, picture 12x10), and its formulas.
enum : WORD { kMono1 = 201, kVga4, kFull8, kUsed20, kTrue24, kCore4, kPicture };
COLORREF tableColor(int i) { return RGB((37 * i + 11) & 255, (73 * i + 29) & 255, (151 * i + 53) & 255); }
COLORREF true24(int x, int y) { return RGB(16 * x + 5, 32 * y + 7, (x * y * 9) & 255); }
COLORREF picture(int x, int y) {
    if (x == 0 || x == 11 || y == 0 || y == 9) return RGB(255, 0, 0);
    return x == y ? RGB(0, 0, 255) : RGB(255, 255, 255);
}
COLORREF pattern(int x, int y) { return RGB(x * 4 + 1, y * 6 + 2, 200 - x - y); }

std::vector<COLORREF> pixelsOf(HBITMAP bmp) {
    BITMAP bm{};
    GetObjectA(bmp, sizeof(bm), &bm);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(bi.bmiHeader), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> raw(size_t(bm.bmWidth) * bm.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bmp, 0, bm.bmHeight, raw.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> out;
    for (DWORD v : raw) out.push_back(RGB((v >> 16) & 255, (v >> 8) & 255, v & 255));
    return out;
}

struct Canvas {  // screen-compatible memory DC filled with pattern()
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ old;
    Canvas(int w, int h) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bmp = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bmp);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) SetPixel(dc, x, y, pattern(x, y));
    }
    ~Canvas() { SelectObject(dc, old), DeleteObject(bmp), DeleteDC(dc); }
    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
};

struct Loaded {
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    explicit Loaded(WORD id) { gtLoadBitmapResource(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), &bitmap, &palette); }
    ~Loaded() { DeleteObject(bitmap), DeleteObject(palette); }
};
}  // namespace

TEST(Keywords, ListsToButtonIds) {
    struct { const char* list; WORD n; std::vector<int> ids; } cases[] = {
        {" GTMB_YES | \tGTMB_NO  ", 2, {7, 8}},
        {"FOO|GTMB_OK", 1, {1}},
        {"GTMB_OK", 3, {1, 0, 0}},  // fewer than the count: empty entries
        {"GTMB_ABORT|GTMB_RETRY|GTMB_IGNORE", 2, {3, 4}},
        {"GTMB_NOACTION|GTMB_BACKUPCURR|GTMB_NO", 3, {17, 18, 8}},  // longer keywords extending shorter ones
        {"gtmb_ok|FOO", 2, {}}, {"", 2, {}}, {nullptr, 2, {}}, {"GTMB_OK", 0, {}},  // none recognised: no array
    };
    for (const auto& c : cases) {
        LPGTMBBUTTON b = buildKeywordButtons(c.list, c.n);
        std::vector<int> ids;
        for (int i = 0; b && i < c.n; ++i) ids.push_back(b[i].wId);
        if (b) gtGlobalFreePtr(b);
        EXPECT_EQ(ids, c.ids) << (c.list ? c.list : "null");
    }
}

TEST(Bitmaps, PaletteCountsAndPixelsOfEveryKind) {
    const struct { WORD id; int colors; } cases[] = {
        {kMono1, 2}, {kVga4, 16}, {kFull8, 256}, {kUsed20, 20}, {kTrue24, 0}, {kCore4, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        Loaded l(c.id);
        ASSERT_TRUE(l.bitmap);
        WORD entries = 0;
        if (l.palette) GetObjectA(l.palette, sizeof(entries), &entries);
        ASSERT_EQ(entries, c.colors);
        std::vector<PALETTEENTRY> pe(entries + 1);
        GetPaletteEntries(l.palette, 0, entries, pe.data());
        for (int i = 0; i < entries; ++i)
            ASSERT_EQ(RGB(pe[i].peRed, pe[i].peGreen, pe[i].peBlue), tableColor(i)) << "palette entry " << i;
        std::vector<COLORREF> px = pixelsOf(l.bitmap);  // bits found after the right table
        ASSERT_EQ(px.size(), 128u);
        for (int i = 0; i < 128; ++i)
            ASSERT_EQ(px[i], c.colors ? tableColor((i % 16 + 3 * (i / 16)) % c.colors) : true24(i % 16, i / 16))
                << "pixel " << i % 16 << "," << i / 16;
    }
}

TEST(Bitmaps, TransparentDrawingKeepsDestinationAndSource) {
    Loaded l(kPicture);
    const std::vector<COLORREF> before = pixelsOf(l.bitmap);
    Canvas canvas(30, 20);
    drawTransparentBitmap(canvas.dc, l.bitmap, 7, 4, RGB(255, 255, 255));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            bool in = x >= 7 && x < 19 && y >= 4 && y < 14;
            COLORREF want = in ? picture(x - 7, y - 4) : RGB(255, 255, 255);
            ASSERT_EQ(canvas.at(x, y), want == RGB(255, 255, 255) ? pattern(x, y) : want) << x << "," << y;
        }
    EXPECT_EQ(pixelsOf(l.bitmap), before);
}

TEST(Bitmaps, EraseBrushBeatsBitmapThenBitmapThenNothing) {
    HWND box = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 60, 40, nullptr, nullptr, nullptr, nullptr);
    Loaded l(kTrue24);
    HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
    GTMBCONTEXT ctx{};
    std::memcpy(ctx.szMarker, "~MSG~", 6);
    ctx.hBrush = red;
    ctx.hBitmap = l.bitmap;
    SetWindowLongPtrA(box, DWLP_USER, LONG_PTR(&ctx));
    Canvas a(60, 40), b(60, 40), c(60, 40);
    EXPECT_TRUE(eraseBox(box, a.dc));
    EXPECT_EQ(a.at(0, 0), RGB(200, 0, 0));
    EXPECT_EQ(a.at(59, 39), RGB(200, 0, 0));
    ctx.hBrush = nullptr;
    EXPECT_TRUE(eraseBox(box, b.dc));
    EXPECT_EQ(b.at(15, 7), true24(15, 7));
    EXPECT_EQ(b.at(16, 0), GetSysColor(COLOR_3DFACE));
    ctx.hBitmap = nullptr;
    EXPECT_FALSE(eraseBox(box, c.dc));
    EXPECT_EQ(c.at(10, 10), pattern(10, 10));
    DestroyWindow(box);
    DeleteObject(red);
}
