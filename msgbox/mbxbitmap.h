// Bitmap routines of the extended message box: packed device-independent
// bitmaps (resource data) to palettes and bitmaps, drawing a bitmap plainly
// or with one colour transparent, and measuring bitmaps.
#pragma once
#include <windows.h>

#include <vector>

namespace gt::mbx {

// What the header of a packed bitmap (header, colour table, pixel bits)
// says about where things are.  Offsets count from the header's start.
struct PackedDib {
    bool core;            // 12-byte core header (3-byte table entries)
    DWORD headerSize;     // the header's own size field
    LONG width;
    LONG height;          // negative: top-down
    int bitCount;
    DWORD compression;    // BI_RGB for core headers
    DWORD colorCount;     // table entries
    DWORD entrySize;      // 4 (information header) or 3 (core header)
    DWORD tableOffset;
    DWORD bitsOffset;
    DWORD bitsSize;       // bytes the pixel bits need
};

// Reads the header of `size` bytes of packed bitmap.  The colour count is
// biClrUsed when non-zero, else 2, 16 or 256 for 1, 4 or 8 bits per pixel,
// else 0.  False when the data is shorter than its header, colour table and
// pixel bits, or the header is of no known kind.
bool describePackedDib(const void* data, DWORD size, PackedDib* out);

// The colour table as palette entries (red, green, blue, 0) in table order;
// empty for a colour count of 0 or malformed data.
std::vector<PALETTEENTRY> packedDibColors(const void* data, DWORD size);

// Logical palette of the colour table; null when there is none.
HPALETTE paletteFromPackedBitmap(const void* data, DWORD size);

// Device-dependent bitmap of the screen made from the packed bitmap, with
// `palette` realised while it is made (may be null); null on failure.
HBITMAP packedBitmapToBitmap(const void* data, DWORD size, HPALETTE palette);

// Copies the whole bitmap to (x, y) of dc.
void drawBitmap(HDC dc, HBITMAP bitmap, HPALETTE palette, int x, int y);

// Copies the bitmap to (x, y) of dc except its pixels of colour
// `transparent`, where dc keeps its own pixels.  The bitmap itself is only
// read.
void drawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF transparent);

// Width and height of a bitmap in pixels; either pointer may be null, not
// both.  FALSE (and 0 in the given outputs) when it cannot be queried.
BOOL bitmapSize(HBITMAP bitmap, LONG* width, LONG* height);

// The same for bitmap resource `id` of `module` (loaded, measured, deleted).
BOOL bitmapResourceSize(HMODULE module, WORD id, LONG* width, LONG* height);

}  // namespace gt::mbx
