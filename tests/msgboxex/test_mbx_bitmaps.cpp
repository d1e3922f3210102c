// Bitmap routines and painting of the extended message box on real GDI
// objects: the program's own packed bitmaps, memory canvases read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "gtapi32.h"
#include "mbx_testbitmaps.h"
#include "msgbox/mbxbitmap.h"
#include "msgbox/mbxpaint.h"

using namespace gt::mbx;
using namespace mbxtest;

namespace {

HMODULE self() { return GetModuleHandleA(nullptr); }

std::vector<BYTE> resource(WORD id) {
    HRSRC r = FindResourceA(self(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
    if (!r) return {};
    auto* p = static_cast<const BYTE*>(LockResource(LoadResource(self(), r)));
    return std::vector<BYTE>(p, p + SizeofResource(self(), r));
}

COLORREF rgb(const PALETTEENTRY& e) { return RGB(e.peRed, e.peGreen, e.peBlue); }

// Pixels of a bitmap (not selected anywhere), top row first.
std::vector<COLORREF> pixelsOf(HBITMAP bmp) {
    BITMAP bm{};
    GetObjectA(bmp, sizeof(bm), &bm);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(bi.bmiHeader), bm.bmWidth, -bm.bmHeight, 1, 32};
    std::vector<DWORD> raw(size_t(bm.bmWidth) * bm.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bmp, 0, bm.bmHeight, raw.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> out;
    for (DWORD v : raw) out.push_back(RGB((v >> 16) & 255, (v >> 8) & 255, v & 255));
    return out;
}

// A screen-compatible memory canvas; pattern() gives every pixel its own colour.
struct Canvas {
    int w, h;
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ old;
    Canvas(int w_, int h_) : w(w_), h(h_) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bmp = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bmp);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
    static COLORREF pattern(int x, int y) { return RGB(x * 4 + 1, y * 6 + 2, 200 - x - y); }
    void fillPattern() {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) SetPixel(dc, x, y, pattern(x, y));
    }
};

struct Loaded {
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    BOOL ok;
    explicit Loaded(WORD id) : ok(gtLoadBitmapResource(self(), MAKEINTRESOURCEA(id), &bitmap, &palette)) {}
    ~Loaded() {
        if (bitmap) DeleteObject(bitmap);
        if (palette) DeleteObject(palette);
    }
};

}  // namespace

// ---------------------------------------------------------------- packed bitmaps

TEST(PackedBitmap, OffsetsColourTablesAndLoadedPixelsOfEveryKind) {
    struct Case {
        WORD id;
        bool core;
        DWORD colors, entry, table, bits;
    } cases[] = {
        {kMono1, false, 2, 4, 40, 48},     {kVga4, false, 16, 4, 40, 104}, {kFull8, false, 256, 4, 40, 1064},
        {kUsed20, false, 20, 4, 40, 120},  {kTrue24, false, 0, 4, 40, 40}, {kCore4, true, 16, 3, 12, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::vector<BYTE> r = resource(c.id);
        ASSERT_FALSE(r.empty());
        PackedDib d{};
        ASSERT_TRUE(describePackedDib(r.data(), DWORD(r.size()), &d));
        EXPECT_EQ(d.core, c.core);
        EXPECT_EQ(d.colorCount, c.colors);
        EXPECT_EQ(d.entrySize, c.entry);
        EXPECT_EQ(d.tableOffset, c.table);
        EXPECT_EQ(d.bitsOffset, c.bits);
        EXPECT_EQ(d.width, kWidth);
        EXPECT_EQ(d.height, kHeight);
        std::vector<PALETTEENTRY> table = packedDibColors(r.data(), DWORD(r.size()));
        ASSERT_EQ(table.size(), c.colors);
        for (size_t i = 0; i < table.size(); ++i) ASSERT_EQ(rgb(table[i]), tableColor(int(i))) << i;

        Loaded l(c.id);
        ASSERT_TRUE(l.ok && l.bitmap);
        if (c.colors) {
            ASSERT_TRUE(l.palette);
            WORD entries = 0;
            GetObjectA(l.palette, sizeof(entries), &entries);
            ASSERT_EQ(entries, c.colors);
            std::vector<PALETTEENTRY> pe(entries);
            GetPaletteEntries(l.palette, 0, entries, pe.data());
            for (int i = 0; i < entries; ++i) ASSERT_EQ(rgb(pe[i]), tableColor(i)) << i;
        } else {
            EXPECT_EQ(l.palette, nullptr);
            EXPECT_EQ(paletteFromPackedBitmap(r.data(), DWORD(r.size())), nullptr);
        }
        // The pixels prove that the bits were found after the right table.
        std::vector<COLORREF> px = pixelsOf(l.bitmap);
        ASSERT_EQ(px.size(), size_t(kWidth * kHeight));
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                ASSERT_EQ(px[y * kWidth + x], c.colors ? tableColor(pixelIndex(x, y, c.colors)) : true24Pixel(x, y))
                    << x << "," << y;
    }
}

TEST(PackedBitmap, MalformedDataIsRefusedNotRead) {
    const std::vector<BYTE> data = resource(kUsed20);
    const DWORD n = DWORD(data.size());
    PackedDib d{};
    // One byte short of its pixel bits, its colour table, its header.
    for (DWORD size : {DWORD(n - 1), DWORD(100), DWORD(30)}) EXPECT_FALSE(describePackedDib(data.data(), size, &d)) << size;
    EXPECT_EQ(paletteFromPackedBitmap(data.data(), n - 1), nullptr);
    EXPECT_EQ(packedBitmapToBitmap(data.data(), n - 1, nullptr), nullptr);
    // A header size of no known kind; more colours than the data holds; 7 bits.
    struct {
        size_t offset;
        DWORD value, bytes;
    } patches[] = {{0, 20, 4}, {32, 100000, 4}, {14, 7, 2}};
    for (const auto& p : patches) {
        std::vector<BYTE> bad = data;
        std::memcpy(bad.data() + p.offset, &p.value, p.bytes);
        EXPECT_FALSE(describePackedDib(bad.data(), n, &d)) << p.offset;
    }
}

TEST(PackedBitmap, Version5HeaderTableFollowsTheWholeHeader) {
    std::vector<BYTE> data(124 + 8 + 4, 0);  // 8 bits, 2 colours used, 4 by 1 pixels
    BITMAPV5HEADER h{};
    h.bV5Size = 124;
    h.bV5Width = 4;
    h.bV5Height = 1;
    h.bV5Planes = 1;
    h.bV5BitCount = 8;
    h.bV5ClrUsed = 2;
    std::memcpy(data.data(), &h, sizeof(h));
    const BYTE table[8] = {0x30, 0x20, 0x10, 0, 0x60, 0x50, 0x40, 0};
    std::memcpy(data.data() + 124, table, 8);
    PackedDib d{};
    ASSERT_TRUE(describePackedDib(data.data(), DWORD(data.size()), &d));
    EXPECT_EQ(d.tableOffset, 124u);
    EXPECT_EQ(d.bitsOffset, 132u);
    std::vector<PALETTEENTRY> colors = packedDibColors(data.data(), DWORD(data.size()));
    ASSERT_EQ(colors.size(), 2u);
    EXPECT_EQ(rgb(colors[1]), RGB(0x40, 0x50, 0x60));
}

TEST(LoadBitmapResource, FailuresLeaveBothResultsZero) {
    HPALETTE pal = reinterpret_cast<HPALETTE>(1);
    EXPECT_FALSE(gtLoadBitmapResource(self(), MAKEINTRESOURCEA(kFull8), nullptr, &pal));
    HBITMAP bmp = reinterpret_cast<HBITMAP>(1);
    pal = reinterpret_cast<HPALETTE>(1);
    EXPECT_FALSE(gtLoadBitmapResource(self(), MAKEINTRESOURCEA(999), &bmp, &pal));
    EXPECT_EQ(bmp, nullptr);
    EXPECT_EQ(pal, nullptr);
    bmp = reinterpret_cast<HBITMAP>(1);
    EXPECT_FALSE(gtLoadBitmapResource(self(), "NO_SUCH_BITMAP", &bmp, nullptr));
    EXPECT_EQ(bmp, nullptr);
    // Without a palette pointer only the bitmap comes back.
    EXPECT_TRUE(gtLoadBitmapResource(self(), MAKEINTRESOURCEA(kFull8), &bmp, nullptr));
    ASSERT_TRUE(bmp);
    EXPECT_EQ(pixelsOf(bmp)[5], tableColor(5));
    DeleteObject(bmp);
}

TEST(BitmapSizes, MeasureOrFailWithZeros) {
    Loaded l(kPicture);
    LONG w = -1, h = -1;
    EXPECT_TRUE(bitmapSize(l.bitmap, &w, &h));
    EXPECT_EQ(w * 100 + h, kPictureWidth * 100 + kPictureHeight);
    w = -1;
    EXPECT_TRUE(bitmapSize(l.bitmap, &w, nullptr));
    EXPECT_EQ(w, kPictureWidth);
    EXPECT_FALSE(bitmapSize(l.bitmap, nullptr, nullptr));
    w = h = -1;
    EXPECT_FALSE(bitmapSize(nullptr, &w, &h));
    EXPECT_EQ(w | h, 0);
    EXPECT_TRUE(bitmapResourceSize(self(), kTrue24, &w, &h));
    EXPECT_EQ(w * 100 + h, kWidth * 100 + kHeight);
    w = h = -1;
    EXPECT_FALSE(bitmapResourceSize(self(), 999, &w, &h));
    EXPECT_EQ(w | h, 0);
    EXPECT_FALSE(bitmapResourceSize(self(), 0, &w, &h));
}

// ---------------------------------------------------------------- drawing

TEST(DrawBitmap, CopiesTheWholeBitmapAndNothingElse) {
    Loaded l(kTrue24);
    Canvas canvas(40, 20);
    canvas.fillPattern();
    drawBitmap(canvas.dc, l.bitmap, nullptr, 5, 3);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            bool inside = x >= 5 && x < 5 + kWidth && y >= 3 && y < 3 + kHeight;
            ASSERT_EQ(canvas.at(x, y), inside ? true24Pixel(x - 5, y - 3) : Canvas::pattern(x, y)) << x << "," << y;
        }
    Loaded p(kUsed20);  // with the bitmap's palette selected the colours are the same
    drawBitmap(canvas.dc, p.bitmap, p.palette, 0, 0);
    EXPECT_EQ(canvas.at(7, 2), tableColor(pixelIndex(7, 2, 20)));
}

TEST(TransparentBitmap, DestinationShowsThroughAndSourceIsUnchanged) {
    Loaded l(kPicture);
    ASSERT_TRUE(l.ok);
    const std::vector<COLORREF> before = pixelsOf(l.bitmap);
    Canvas canvas(30, 20);
    canvas.fillPattern();
    drawTransparentBitmap(canvas.dc, l.bitmap, 7, 4, RGB(255, 255, 255));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const int px = x - 7, py = y - 4;
            const bool inside = px >= 0 && px < kPictureWidth && py >= 0 && py < kPictureHeight;
            COLORREF want = inside ? picturePixel(px, py) : RGB(255, 255, 255);
            if (want == RGB(255, 255, 255)) want = Canvas::pattern(x, y);
            ASSERT_EQ(canvas.at(x, y), want) << x << "," << y;
        }
    EXPECT_EQ(pixelsOf(l.bitmap), before);
    // Red transparent instead: the frame disappears, white shows.
    canvas.fillPattern();
    drawTransparentBitmap(canvas.dc, l.bitmap, 0, 0, RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(0, 0), Canvas::pattern(0, 0));
    EXPECT_EQ(canvas.at(2, 1), RGB(255, 255, 255));
    EXPECT_EQ(canvas.at(3, 3), RGB(0, 0, 255));
}

// ---------------------------------------------------------------- pictures

TEST(Picture, SizesByKind) {
    Loaded l(kTrue24);
    const LONG icon = GetSystemMetrics(SM_CXICON) * 1000 + GetSystemMetrics(SM_CYICON);
    struct {
        WORD kind;
        DWORD resource;
        LONG size;  // width * 1000 + height
    } cases[] = {
        {GTMBPIC_ICON, 2, icon},
        {GTMBPIC_HICON, 2, icon},
        {GTMBPIC_BITMAP, kPicture, kPictureWidth * 1000 + kPictureHeight},
        {GTMBPIC_HBITMAP, DWORD(ULONG_PTR(l.bitmap)), kWidth * 1000 + kHeight},
        {5, 2, 0},
    };
    for (const auto& c : cases) {
        GTMBPICTURE p{};
        p.wKind = c.kind;
        p.hModule = self();
        p.dwResource = c.resource;
        LONG w = -1, h = -1;
        pictureSize(p, &w, &h);
        EXPECT_EQ(w * 1000 + h, c.size) << c.kind;
    }
}

TEST(Picture, BitmapKindsDrawTransparentOrPlain) {
    GTMBPICTURE p{};
    p.wKind = GTMBPIC_BITMAP;
    p.hModule = self();
    p.dwResource = kPicture;
    p.crTransparent = RGB(255, 255, 255);
    Canvas canvas(20, 20);
    canvas.fillPattern();
    EXPECT_TRUE(drawPicture(p, canvas.dc, POINT{2, 2}));
    EXPECT_EQ(canvas.at(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(6, 6), RGB(0, 0, 255));
    EXPECT_EQ(canvas.at(7, 5), Canvas::pattern(7, 5));
    p.crTransparent = 0;
    EXPECT_TRUE(drawPicture(p, canvas.dc, POINT{2, 2}));
    EXPECT_EQ(canvas.at(7, 5), RGB(255, 255, 255));
    // Kind 4 with the caller's handle, which stays the caller's.
    Loaded l(kPicture);
    p.wKind = GTMBPIC_HBITMAP;
    p.dwResource = DWORD(ULONG_PTR(l.bitmap));
    p.crTransparent = RGB(255, 255, 255);
    canvas.fillPattern();
    EXPECT_TRUE(drawPicture(p, canvas.dc, POINT{0, 0}));
    EXPECT_EQ(canvas.at(5, 3), Canvas::pattern(5, 3));
    EXPECT_EQ(canvas.at(3, 3), RGB(0, 0, 255));
    BITMAP bm{};
    EXPECT_TRUE(GetObjectA(l.bitmap, sizeof(bm), &bm));
    p.wKind = 0;  // unknown kinds draw nothing
    canvas.fillPattern();
    EXPECT_TRUE(drawPicture(p, canvas.dc, POINT{0, 0}));
    EXPECT_EQ(canvas.at(0, 0), Canvas::pattern(0, 0));
}

// ---------------------------------------------------------------- background

TEST(EraseBox, BrushBeatsBitmapBitmapAtOriginOrNothing) {
    HWND box = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 60, 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(box);
    Loaded l(kTrue24);
    HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
    GTMBCONTEXT ctx{};
    std::memcpy(ctx.szMarker, "~MSG~", 6);
    ctx.hBrush = red;
    ctx.hBitmap = l.bitmap;
    SetWindowLongPtrA(box, DWLP_USER, LONG_PTR(&ctx));
    Canvas canvas(60, 40);
    canvas.fillPattern();
    EXPECT_TRUE(eraseBox(box, canvas.dc));
    for (int y = 0; y < 40; y += 3)
        for (int x = 0; x < 60; x += 3) ASSERT_EQ(canvas.at(x, y), RGB(200, 0, 0)) << x << "," << y;
    DeleteObject(red);

    ctx.hBrush = nullptr;  // bitmap at the origin, dialog colour around it
    canvas.fillPattern();
    EXPECT_TRUE(eraseBox(box, canvas.dc));
    EXPECT_EQ(canvas.at(0, 0), true24Pixel(0, 0));
    EXPECT_EQ(canvas.at(kWidth - 1, kHeight - 1), true24Pixel(kWidth - 1, kHeight - 1));
    EXPECT_EQ(canvas.at(kWidth, 0), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(canvas.at(59, 39), GetSysColor(COLOR_3DFACE));

    ctx.hBitmap = nullptr;  // nothing to paint: left to the dialog
    canvas.fillPattern();
    EXPECT_FALSE(eraseBox(box, canvas.dc));
    EXPECT_EQ(paintBox(box), 0);
    ctx.szMarker[0] = 'x';  // not a block: nothing at all
    ctx.hBrush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    EXPECT_FALSE(eraseBox(box, canvas.dc));
    SetWindowLongPtrA(box, DWLP_USER, 0);
    EXPECT_FALSE(eraseBox(box, canvas.dc));
    EXPECT_EQ(canvas.at(10, 10), Canvas::pattern(10, 10));
    DestroyWindow(box);
}
