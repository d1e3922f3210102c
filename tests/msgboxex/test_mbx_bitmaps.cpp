// Bitmap routines and painting of the extended message box, on real GDI
// objects: packed bitmaps of the program's own resources, memory canvases
// read back pixel by pixel.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "frame/frame.h"
#include "gtapi32.h"
#include "mbx_testbitmaps.h"
#include "msgbox/mbxbitmap.h"
#include "msgbox/mbxpaint.h"

using namespace gt::mbx;
using namespace mbxtest;

namespace {

struct Resource {
    const void* data = nullptr;
    DWORD size = 0;
};

Resource bitmapResource(WORD id) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC r = FindResourceA(self, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
    Resource res;
    if (r) {
        res.data = LockResource(LoadResource(self, r));
        res.size = SizeofResource(self, r);
    }
    return res;
}

// Pixels of a bitmap (not selected anywhere), top row first.
std::vector<COLORREF> pixelsOf(HBITMAP bmp) {
    BITMAP bm{};
    GetObjectA(bmp, sizeof(bm), &bm);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<DWORD> raw(size_t(bm.bmWidth) * bm.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bmp, 0, bm.bmHeight, raw.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> out;
    for (DWORD v : raw) out.push_back(RGB((v >> 16) & 255, (v >> 8) & 255, v & 255));
    return out;
}

// A screen-compatible memory canvas.
class Canvas {
public:
    Canvas(int w, int h) : w_(w), h_(h) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bmp_ = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bmp_);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bmp_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }
    // Every pixel a different colour.
    static COLORREF pattern(int x, int y) { return RGB(x * 4 + 1, y * 6 + 2, 200 - x - y); }
    void fillPattern() {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) SetPixel(dc_, x, y, pattern(x, y));
    }
    void fill(COLORREF c) {
        HBRUSH b = CreateSolidBrush(c);
        RECT r{0, 0, w_, h_};
        FillRect(dc_, &r, b);
        DeleteObject(b);
    }

private:
    int w_, h_;
    HDC dc_;
    HBITMAP bmp_;
    HGDIOBJ old_;
};

struct Loaded {
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    BOOL ok = FALSE;
    explicit Loaded(WORD id) {
        ok = gtLoadBitmapResource(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), &bitmap, &palette);
    }
    ~Loaded() {
        if (bitmap) DeleteObject(bitmap);
        if (palette) DeleteObject(palette);
    }
};

GTMBCONTEXT contextWith(HBRUSH brush, HBITMAP bitmap) {
    GTMBCONTEXT c{};
    std::memcpy(c.szMarker, "~MSG~", 6);
    c.hBrush = brush;
    c.hBitmap = bitmap;
    return c;
}

}  // namespace

// ---------------------------------------------------------------- packed bitmaps

TEST(PackedBitmap, HeaderTableAndBitsOffsets) {
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
        Resource r = bitmapResource(c.id);
        ASSERT_TRUE(r.data);
        PackedDib d{};
        ASSERT_TRUE(describePackedDib(r.data, r.size, &d));
        EXPECT_EQ(d.core, c.core);
        EXPECT_EQ(d.colorCount, c.colors);
        EXPECT_EQ(d.entrySize, c.entry);
        EXPECT_EQ(d.tableOffset, c.table);
        EXPECT_EQ(d.bitsOffset, c.bits);
        EXPECT_EQ(d.width, kWidth);
        EXPECT_EQ(d.height, kHeight);
    }
}

TEST(PackedBitmap, ColourTablesInOrder) {
    for (WORD id : {kMono1, kVga4, kFull8, kUsed20, kCore4}) {
        SCOPED_TRACE(id);
        Resource r = bitmapResource(id);
        std::vector<PALETTEENTRY> colors = packedDibColors(r.data, r.size);
        ASSERT_FALSE(colors.empty());
        for (size_t i = 0; i < colors.size(); ++i)
            ASSERT_EQ(RGB(colors[i].peRed, colors[i].peGreen, colors[i].peBlue), tableColor(int(i))) << i;
    }
    Resource r = bitmapResource(kTrue24);
    EXPECT_TRUE(packedDibColors(r.data, r.size).empty());
    EXPECT_EQ(paletteFromPackedBitmap(r.data, r.size), nullptr);
}

TEST(PackedBitmap, MalformedDataIsRefusedNotRead) {
    Resource r = bitmapResource(kUsed20);
    std::vector<BYTE> data((const BYTE*)r.data, (const BYTE*)r.data + r.size);
    PackedDib d{};
    // One byte short of its pixel bits, its colour table, its header.
    EXPECT_FALSE(describePackedDib(data.data(), DWORD(data.size() - 1), &d));
    EXPECT_FALSE(describePackedDib(data.data(), 100, &d));
    EXPECT_FALSE(describePackedDib(data.data(), 30, &d));
    EXPECT_EQ(paletteFromPackedBitmap(data.data(), DWORD(data.size() - 1)), nullptr);
    EXPECT_EQ(packedBitmapToBitmap(data.data(), DWORD(data.size() - 1), nullptr), nullptr);

    std::vector<BYTE> bad = data;
    DWORD v = 20;  // a header size of no known kind
    std::memcpy(bad.data(), &v, 4);
    EXPECT_FALSE(describePackedDib(bad.data(), DWORD(bad.size()), &d));
    bad = data;
    v = 100000;  // more colours than the data holds, and than a palette can
    std::memcpy(bad.data() + 32, &v, 4);
    EXPECT_FALSE(describePackedDib(bad.data(), DWORD(bad.size()), &d));
    bad = data;
    WORD bits = 7;
    std::memcpy(bad.data() + 14, &bits, 2);
    EXPECT_FALSE(describePackedDib(bad.data(), DWORD(bad.size()), &d));
}

TEST(PackedBitmap, Version5HeaderTableFollowsTheWholeHeader) {
    // 124-byte header, 8 bits, 2 colours used, 4 by 1 pixels.
    std::vector<BYTE> data(124 + 8 + 4, 0);
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
    EXPECT_EQ(RGB(colors[1].peRed, colors[1].peGreen, colors[1].peBlue), RGB(0x40, 0x50, 0x60));
}

// ---------------------------------------------------------------- gtLoadBitmapResource

TEST(LoadBitmapResource, PalettesAndPixelsOfEveryKind) {
    struct Case {
        WORD id;
        int colors;
    } cases[] = {{kMono1, 2}, {kVga4, 16}, {kFull8, 256}, {kUsed20, 20}, {kCore4, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        Loaded l(c.id);
        ASSERT_TRUE(l.ok);
        ASSERT_TRUE(l.bitmap);
        ASSERT_TRUE(l.palette);
        WORD entries = 0;
        ASSERT_TRUE(GetObjectA(l.palette, sizeof(entries), &entries));
        EXPECT_EQ(entries, c.colors);
        std::vector<PALETTEENTRY> pe(entries);
        GetPaletteEntries(l.palette, 0, entries, pe.data());
        for (int i = 0; i < entries; ++i)
            ASSERT_EQ(RGB(pe[i].peRed, pe[i].peGreen, pe[i].peBlue), tableColor(i)) << i;
        // The pixels prove that the bits were found after the right table.
        std::vector<COLORREF> px = pixelsOf(l.bitmap);
        ASSERT_EQ(px.size(), size_t(kWidth * kHeight));
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                ASSERT_EQ(px[y * kWidth + x], tableColor(pixelIndex(x, y, c.colors))) << x << "," << y;
    }
}

TEST(LoadBitmapResource, TrueColourHasNoPalette) {
    Loaded l(kTrue24);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.palette, nullptr);
    std::vector<COLORREF> px = pixelsOf(l.bitmap);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) ASSERT_EQ(px[y * kWidth + x], true24Pixel(x, y)) << x << "," << y;
}

TEST(LoadBitmapResource, FailuresLeaveBothResultsZero) {
    HMODULE self = GetModuleHandleA(nullptr);
    HPALETTE pal = reinterpret_cast<HPALETTE>(1);
    EXPECT_FALSE(gtLoadBitmapResource(self, MAKEINTRESOURCEA(kFull8), nullptr, &pal));
    HBITMAP bmp = reinterpret_cast<HBITMAP>(1);
    pal = reinterpret_cast<HPALETTE>(1);
    EXPECT_FALSE(gtLoadBitmapResource(self, MAKEINTRESOURCEA(999), &bmp, &pal));
    EXPECT_EQ(bmp, nullptr);
    EXPECT_EQ(pal, nullptr);
    bmp = reinterpret_cast<HBITMAP>(1);
    EXPECT_FALSE(gtLoadBitmapResource(self, "NO_SUCH_BITMAP", &bmp, nullptr));
    EXPECT_EQ(bmp, nullptr);
    // Without a palette pointer only the bitmap comes back.
    bmp = nullptr;
    EXPECT_TRUE(gtLoadBitmapResource(self, MAKEINTRESOURCEA(kFull8), &bmp, nullptr));
    ASSERT_TRUE(bmp);
    EXPECT_EQ(pixelsOf(bmp)[5], tableColor(5));
    DeleteObject(bmp);
}

// ---------------------------------------------------------------- drawing

TEST(DrawBitmap, CopiesTheWholeBitmapAndNothingElse) {
    Loaded l(kTrue24);
    Canvas canvas(40, 20);
    canvas.fillPattern();
    drawBitmap(canvas.dc(), l.bitmap, nullptr, 5, 3);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            bool inside = x >= 5 && x < 5 + kWidth && y >= 3 && y < 3 + kHeight;
            ASSERT_EQ(canvas.at(x, y), inside ? true24Pixel(x - 5, y - 3) : Canvas::pattern(x, y)) << x << "," << y;
        }
    // With the bitmap's palette selected the colours are the same.
    Loaded p(kUsed20);
    drawBitmap(canvas.dc(), p.bitmap, p.palette, 0, 0);
    EXPECT_EQ(canvas.at(7, 2), tableColor(pixelIndex(7, 2, 20)));
}

TEST(TransparentBitmap, DestinationShowsThroughAndSourceIsUnchanged) {
    Loaded l(kPicture);
    ASSERT_TRUE(l.ok);
    const std::vector<COLORREF> before = pixelsOf(l.bitmap);
    Canvas canvas(30, 20);
    canvas.fillPattern();
    drawTransparentBitmap(canvas.dc(), l.bitmap, 7, 4, RGB(255, 255, 255));
    int shown = 0, through = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            COLORREF want = Canvas::pattern(x, y);
            const int px = x - 7, py = y - 4;
            if (px >= 0 && px < kPictureWidth && py >= 0 && py < kPictureHeight) {
                if (picturePixel(px, py) != RGB(255, 255, 255)) {
                    want = picturePixel(px, py);
                    ++shown;
                } else {
                    ++through;
                }
            }
            ASSERT_EQ(canvas.at(x, y), want) << x << "," << y;
        }
    EXPECT_GT(shown, 0);
    EXPECT_GT(through, 0);
    EXPECT_EQ(pixelsOf(l.bitmap), before);

    // Red transparent instead: the frame disappears, white shows.
    canvas.fillPattern();
    drawTransparentBitmap(canvas.dc(), l.bitmap, 0, 0, RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(0, 0), Canvas::pattern(0, 0));
    EXPECT_EQ(canvas.at(2, 1), RGB(255, 255, 255));
    EXPECT_EQ(canvas.at(3, 3), RGB(0, 0, 255));
}

TEST(BitmapSizes, MeasureOrFailWithZeros) {
    Loaded l(kPicture);
    LONG w = -1, h = -1;
    EXPECT_TRUE(bitmapSize(l.bitmap, &w, &h));
    EXPECT_EQ(w, kPictureWidth);
    EXPECT_EQ(h, kPictureHeight);
    w = -1;
    EXPECT_TRUE(bitmapSize(l.bitmap, &w, nullptr));
    EXPECT_EQ(w, kPictureWidth);
    EXPECT_FALSE(bitmapSize(l.bitmap, nullptr, nullptr));
    w = h = -1;
    EXPECT_FALSE(bitmapSize(nullptr, &w, &h));
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);

    HMODULE self = GetModuleHandleA(nullptr);
    EXPECT_TRUE(bitmapResourceSize(self, kTrue24, &w, &h));
    EXPECT_EQ(w, kWidth);
    EXPECT_EQ(h, kHeight);
    w = h = -1;
    EXPECT_FALSE(bitmapResourceSize(self, 999, &w, &h));
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_FALSE(bitmapResourceSize(self, 0, &w, &h));
}

// ---------------------------------------------------------------- pictures

TEST(Picture, SizesByKind) {
    Loaded l(kTrue24);
    GTMBPICTURE p{};
    LONG w, h;
    p.wKind = GTMBPIC_ICON;
    p.dwResource = 2;
    pictureSize(p, &w, &h);
    EXPECT_EQ(w, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(h, GetSystemMetrics(SM_CYICON));
    p.wKind = GTMBPIC_HICON;
    pictureSize(p, &w, &h);
    EXPECT_EQ(w, GetSystemMetrics(SM_CXICON));
    p.wKind = GTMBPIC_BITMAP;
    p.hModule = GetModuleHandleA(nullptr);
    p.dwResource = kPicture;
    pictureSize(p, &w, &h);
    EXPECT_EQ(w, kPictureWidth);
    EXPECT_EQ(h, kPictureHeight);
    p.wKind = GTMBPIC_HBITMAP;
    p.dwResource = DWORD(ULONG_PTR(l.bitmap));
    pictureSize(p, &w, &h);
    EXPECT_EQ(w, kWidth);
    EXPECT_EQ(h, kHeight);
    p.wKind = 5;
    pictureSize(p, &w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}

TEST(Picture, BitmapKindsDrawTransparentOrPlain) {
    GTMBPICTURE p{};
    p.wKind = GTMBPIC_BITMAP;
    p.hModule = GetModuleHandleA(nullptr);
    p.dwResource = kPicture;
    p.crTransparent = RGB(255, 255, 255);
    Canvas canvas(20, 20);
    canvas.fillPattern();
    EXPECT_TRUE(drawPicture(p, canvas.dc(), POINT{2, 2}));
    EXPECT_EQ(canvas.at(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(2 + 4, 2 + 4), RGB(0, 0, 255));
    EXPECT_EQ(canvas.at(2 + 5, 2 + 3), Canvas::pattern(7, 5));
    p.crTransparent = 0;
    EXPECT_TRUE(drawPicture(p, canvas.dc(), POINT{2, 2}));
    EXPECT_EQ(canvas.at(2 + 5, 2 + 3), RGB(255, 255, 255));
    // Kind 4 with the caller's handle, which stays the caller's.
    Loaded l(kPicture);
    p.wKind = GTMBPIC_HBITMAP;
    p.dwResource = DWORD(ULONG_PTR(l.bitmap));
    p.crTransparent = RGB(255, 255, 255);
    canvas.fillPattern();
    EXPECT_TRUE(drawPicture(p, canvas.dc(), POINT{0, 0}));
    EXPECT_EQ(canvas.at(5, 3), Canvas::pattern(5, 3));
    EXPECT_EQ(canvas.at(3, 3), RGB(0, 0, 255));
    BITMAP bm{};
    EXPECT_TRUE(GetObjectA(l.bitmap, sizeof(bm), &bm));
    // Unknown kinds draw nothing.
    p.wKind = 0;
    canvas.fillPattern();
    EXPECT_TRUE(drawPicture(p, canvas.dc(), POINT{0, 0}));
    EXPECT_EQ(canvas.at(0, 0), Canvas::pattern(0, 0));
}

TEST(Picture, StandardIconsComeFromTheLibraryWhateverTheModule) {
    HMODULE lib = LoadLibraryA("gtapi32.dll");
    ASSERT_TRUE(lib);
    gt::frame::setModuleForTests(lib);
    const WORD icons[4] = {27503, 27500, 27502, 27501};
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    std::vector<std::vector<COLORREF>> seen;
    for (DWORD id = 1; id <= 4; ++id) {
        SCOPED_TRACE(id);
        HICON expected = LoadIconA(lib, MAKEINTRESOURCEA(icons[id - 1]));
        ASSERT_TRUE(expected);
        Canvas want(cx, cy), got(cx, cy);
        want.fill(RGB(10, 20, 30));
        got.fill(RGB(10, 20, 30));
        DrawIcon(want.dc(), 0, 0, expected);
        GTMBPICTURE p{};
        p.wKind = GTMBPIC_ICON;
        p.hModule = GetModuleHandleA(nullptr);  // has no icons: the library's are used
        p.dwResource = id;
        drawPicture(p, got.dc(), POINT{0, 0});
        std::vector<COLORREF> a, b;
        for (int y = 0; y < cy; ++y)
            for (int x = 0; x < cx; ++x) {
                a.push_back(want.at(x, y));
                b.push_back(got.at(x, y));
            }
        EXPECT_EQ(a, b);
        for (const auto& other : seen) EXPECT_NE(other, b);  // four different icons
        seen.push_back(b);
    }
    gt::frame::setModuleForTests(nullptr);
}

// ---------------------------------------------------------------- background

class EraseTest : public ::testing::Test {
protected:
    void SetUp() override {
        box_ = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 60, 40, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(box_);
    }
    void TearDown() override { DestroyWindow(box_); }
    HWND box_ = nullptr;
};

TEST_F(EraseTest, BrushBeatsBitmap) {
    Loaded l(kTrue24);
    HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
    GTMBCONTEXT ctx = contextWith(red, l.bitmap);
    SetWindowLongPtrA(box_, DWLP_USER, LONG_PTR(&ctx));
    Canvas canvas(60, 40);
    canvas.fillPattern();
    EXPECT_TRUE(eraseBox(box_, canvas.dc()));
    for (int y = 0; y < 40; y += 3)
        for (int x = 0; x < 60; x += 3) ASSERT_EQ(canvas.at(x, y), RGB(200, 0, 0)) << x << "," << y;
    DeleteObject(red);
}

TEST_F(EraseTest, BitmapAtOriginAndDialogColourAroundIt) {
    Loaded l(kTrue24);
    GTMBCONTEXT ctx = contextWith(nullptr, l.bitmap);
    SetWindowLongPtrA(box_, DWLP_USER, LONG_PTR(&ctx));
    Canvas canvas(60, 40);
    canvas.fillPattern();
    EXPECT_TRUE(eraseBox(box_, canvas.dc()));
    EXPECT_EQ(canvas.at(0, 0), true24Pixel(0, 0));
    EXPECT_EQ(canvas.at(kWidth - 1, kHeight - 1), true24Pixel(kWidth - 1, kHeight - 1));
    EXPECT_EQ(canvas.at(kWidth, 0), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(canvas.at(59, 39), GetSysColor(COLOR_3DFACE));
}

TEST_F(EraseTest, NothingToPaintLeavesItToTheDialog) {
    Canvas canvas(60, 40);
    canvas.fillPattern();
    GTMBCONTEXT ctx = contextWith(nullptr, nullptr);
    SetWindowLongPtrA(box_, DWLP_USER, LONG_PTR(&ctx));
    EXPECT_FALSE(eraseBox(box_, canvas.dc()));
    EXPECT_EQ(paintBox(box_), 0);
    ctx.szMarker[0] = 'x';  // not a block: nothing at all
    ctx.hBrush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    EXPECT_FALSE(eraseBox(box_, canvas.dc()));
    SetWindowLongPtrA(box_, DWLP_USER, 0);
    EXPECT_FALSE(eraseBox(box_, canvas.dc()));
    EXPECT_EQ(canvas.at(10, 10), Canvas::pattern(10, 10));
}
