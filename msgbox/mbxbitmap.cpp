// Bitmap routines of the extended message box and gtLoadBitmapResource.
#include "msgbox/mbxbitmap.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "frame/owners.h"
#include "gtapi32.h"

namespace gt::mbx {
namespace {

template <typename T>
T readAt(const BYTE* p) {
    T v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}

}  // namespace

bool describePackedDib(const void* data, DWORD size, PackedDib* out) {
    if (!data || !out || size < sizeof(BITMAPCOREHEADER)) return false;
    const auto* p = static_cast<const BYTE*>(data);
    PackedDib d{};
    d.headerSize = readAt<DWORD>(p);
    if (d.headerSize == sizeof(BITMAPCOREHEADER)) {
        d.core = true;
        d.width = readAt<WORD>(p + offsetof(BITMAPCOREHEADER, bcWidth));
        d.height = readAt<WORD>(p + offsetof(BITMAPCOREHEADER, bcHeight));
        d.bitCount = readAt<WORD>(p + offsetof(BITMAPCOREHEADER, bcBitCount));
        d.compression = BI_RGB;
        d.entrySize = 3;
    } else if (d.headerSize >= sizeof(BITMAPINFOHEADER)) {
        // Version 4 and 5 headers begin with the information header's fields.
        if (size < d.headerSize) return false;
        d.width = readAt<LONG>(p + offsetof(BITMAPINFOHEADER, biWidth));
        d.height = readAt<LONG>(p + offsetof(BITMAPINFOHEADER, biHeight));
        d.bitCount = readAt<WORD>(p + offsetof(BITMAPINFOHEADER, biBitCount));
        d.compression = readAt<DWORD>(p + offsetof(BITMAPINFOHEADER, biCompression));
        d.colorCount = readAt<DWORD>(p + offsetof(BITMAPINFOHEADER, biClrUsed));
        d.entrySize = 4;
    } else {
        return false;
    }
    if (d.width <= 0 || d.height == 0) return false;
    switch (d.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    if (d.colorCount == 0) d.colorCount = d.bitCount == 1 ? 2 : d.bitCount == 4 ? 16 : d.bitCount == 8 ? 256 : 0;
    if (d.colorCount > 0xFFFF) return false;  // more than a logical palette can hold

    uint64_t table = d.headerSize;
    // With a plain information header the three colour masks stand before
    // the table.
    if (!d.core && d.headerSize == sizeof(BITMAPINFOHEADER) && d.compression == BI_BITFIELDS) table += 3 * sizeof(DWORD);
    uint64_t bits = table + uint64_t(d.colorCount) * d.entrySize;
    uint64_t need;
    if (d.compression == BI_RGB || d.compression == BI_BITFIELDS) {
        uint64_t stride = ((uint64_t(d.width) * d.bitCount + 31) / 32) * 4;
        need = stride * uint64_t(d.height < 0 ? -int64_t(d.height) : d.height);
    } else if ((d.compression == BI_RLE8 && d.bitCount == 8) || (d.compression == BI_RLE4 && d.bitCount == 4)) {
        need = readAt<DWORD>(p + offsetof(BITMAPINFOHEADER, biSizeImage));
        if (need == 0) return false;
    } else {
        return false;
    }
    if (bits + need > size) return false;
    d.tableOffset = DWORD(table);
    d.bitsOffset = DWORD(bits);
    d.bitsSize = DWORD(need);
    *out = d;
    return true;
}

std::vector<PALETTEENTRY> packedDibColors(const void* data, DWORD size) {
    PackedDib d;
    std::vector<PALETTEENTRY> colors;
    if (!describePackedDib(data, size, &d)) return colors;
    const BYTE* e = static_cast<const BYTE*>(data) + d.tableOffset;
    colors.reserve(d.colorCount);
    for (DWORD i = 0; i < d.colorCount; ++i, e += d.entrySize)
        colors.push_back(PALETTEENTRY{e[2], e[1], e[0], 0});  // stored blue, green, red
    return colors;
}

HPALETTE paletteFromPackedBitmap(const void* data, DWORD size) {
    std::vector<PALETTEENTRY> colors = packedDibColors(data, size);
    if (colors.empty()) return nullptr;
    gt::Block block(gtGlobalAllocPtr(GHND, DWORD(sizeof(LOGPALETTE) + colors.size() * sizeof(PALETTEENTRY))));
    auto* lp = static_cast<LOGPALETTE*>(block.get());
    if (!lp) return nullptr;
    lp->palVersion = 0x300;  // the only LOGPALETTE version there is
    lp->palNumEntries = WORD(colors.size());
    std::memcpy(lp->palPalEntry, colors.data(), colors.size() * sizeof(PALETTEENTRY));
    return CreatePalette(lp);
}

HBITMAP packedBitmapToBitmap(const void* data, DWORD size, HPALETTE palette) {
    PackedDib d;
    if (!describePackedDib(data, size, &d)) return nullptr;
    gt::WindowDc screen(nullptr);
    if (!screen) return nullptr;
    gt::PaletteSelection realised(screen.get(), palette, TRUE);
    const auto* p = static_cast<const BYTE*>(data);
    return CreateDIBitmap(screen.get(), reinterpret_cast<const BITMAPINFOHEADER*>(p), CBM_INIT, p + d.bitsOffset,
                          reinterpret_cast<const BITMAPINFO*>(p), DIB_RGB_COLORS);
}

void drawBitmap(HDC dc, HBITMAP bitmap, HPALETTE palette, int x, int y) {
    if (!dc || !bitmap) return;
    gt::Hdc mem(CreateCompatibleDC(dc));
    if (!mem) return;
    gt::Selection selected(mem.get(), bitmap);
    if (!selected.ok()) return;
    gt::PaletteSelection targetPalette(dc, palette, TRUE);
    gt::PaletteSelection memPalette(mem.get(), palette, TRUE);
    SetMapMode(mem.get(), GetMapMode(dc));
    BITMAP bm{};
    if (!GetObjectA(bitmap, sizeof(bm), &bm)) return;
    POINT extent{bm.bmWidth, bm.bmHeight};
    DPtoLP(dc, &extent, 1);
    BitBlt(dc, x, y, extent.x, extent.y, mem.get(), 0, 0, SRCCOPY);
}

void drawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF transparent) {
    if (!dc || !bitmap) return;
    BITMAP bm{};
    if (!GetObjectA(bitmap, sizeof(bm), &bm)) return;
    gt::Hdc src(CreateCompatibleDC(dc));
    if (!src) return;
    gt::Selection srcSel(src.get(), bitmap);
    if (!srcSel.ok()) return;
    POINT extent{bm.bmWidth, bm.bmHeight};
    DPtoLP(src.get(), &extent, 1);
    const int w = extent.x, h = extent.y;

    gt::Hdc inverse(CreateCompatibleDC(dc)), mask(CreateCompatibleDC(dc));
    gt::Hdc work(CreateCompatibleDC(dc)), copy(CreateCompatibleDC(dc));
    if (!inverse || !mask || !work || !copy) return;
    gt::Bitmap inverseBmp(CreateBitmap(w, h, 1, 1, nullptr));
    gt::Bitmap maskBmp(CreateBitmap(w, h, 1, 1, nullptr));
    gt::Bitmap workBmp(CreateCompatibleBitmap(dc, w, h));
    gt::Bitmap copyBmp(CreateCompatibleBitmap(dc, w, h));
    if (!inverseBmp || !maskBmp || !workBmp || !copyBmp) return;
    {
        gt::Selection s1(inverse.get(), inverseBmp.get()), s2(mask.get(), maskBmp.get());
        gt::Selection s3(work.get(), workBmp.get()), s4(copy.get(), copyBmp.get());
        if (!s1.ok() || !s2.ok() || !s3.ok() || !s4.ok()) return;
        SetMapMode(src.get(), GetMapMode(dc));

        // The caller's bitmap is only ever a source: the transparent pixels
        // are cleared in a copy of it.
        BitBlt(copy.get(), 0, 0, w, h, src.get(), 0, 0, SRCCOPY);
        // Mask: white where the bitmap has the transparent colour.
        COLORREF oldBk = SetBkColor(src.get(), transparent);
        BitBlt(mask.get(), 0, 0, w, h, src.get(), 0, 0, SRCCOPY);
        SetBkColor(src.get(), oldBk);
        BitBlt(inverse.get(), 0, 0, w, h, mask.get(), 0, 0, NOTSRCCOPY);
        // Destination with holes where the opaque pixels go ...
        BitBlt(work.get(), 0, 0, w, h, dc, x, y, SRCCOPY);
        BitBlt(work.get(), 0, 0, w, h, mask.get(), 0, 0, SRCAND);
        // ... filled from the copy with its transparent pixels cleared.
        BitBlt(copy.get(), 0, 0, w, h, inverse.get(), 0, 0, SRCAND);
        BitBlt(work.get(), 0, 0, w, h, copy.get(), 0, 0, SRCPAINT);
        BitBlt(dc, x, y, w, h, work.get(), 0, 0, SRCCOPY);
    }
}

BOOL bitmapSize(HBITMAP bitmap, LONG* width, LONG* height) {
    if (width) *width = 0;
    if (height) *height = 0;
    if (!bitmap || (!width && !height)) return FALSE;
    BITMAP bm{};
    if (!GetObjectA(bitmap, sizeof(bm), &bm)) return FALSE;
    if (width) *width = bm.bmWidth;
    if (height) *height = bm.bmHeight;
    return TRUE;
}

BOOL bitmapResourceSize(HMODULE module, WORD id, LONG* width, LONG* height) {
    if (width) *width = 0;
    if (height) *height = 0;
    if (!id || (!width && !height)) return FALSE;
    gt::Bitmap bmp(LoadBitmapA(module, MAKEINTRESOURCEA(id)));
    if (!bmp) return FALSE;
    return bitmapSize(bmp.get(), width, height);
}

}  // namespace gt::mbx

extern "C" BOOL GTAPI gtLoadBitmapResource(HMODULE module, LPCSTR name, HBITMAP* bitmap, HPALETTE* palette) {
    using namespace gt::mbx;
    if (!bitmap) return FALSE;
    *bitmap = nullptr;
    if (palette) *palette = nullptr;
    HRSRC res = FindResourceA(module, name, RT_BITMAP);
    if (!res) return FALSE;
    HGLOBAL loaded = LoadResource(module, res);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return FALSE;
    const DWORD size = SizeofResource(module, res);
    gt::Palette pal(paletteFromPackedBitmap(data, size));
    HBITMAP made = packedBitmapToBitmap(data, size, pal.get());
    FreeResource(loaded);
    if (!made) return FALSE;
    *bitmap = made;
    if (palette) *palette = pal.release();  // otherwise deleted here
    return TRUE;
}
