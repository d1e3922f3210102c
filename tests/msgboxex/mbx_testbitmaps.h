// What make_test_bitmaps.py put into the test bitmaps, recomputed.
#pragma once
#include <windows.h>

namespace mbxtest {

enum : WORD { kMono1 = 201, kVga4 = 202, kFull8 = 203, kUsed20 = 204, kTrue24 = 205, kCore4 = 206, kPicture = 207 };
constexpr int kWidth = 16, kHeight = 8;
constexpr int kPictureWidth = 12, kPictureHeight = 10;

inline COLORREF tableColor(int i) {
    return RGB((37 * i + 11) & 255, (73 * i + 29) & 255, (151 * i + 53) & 255);
}
inline int pixelIndex(int x, int y, int colors) { return (x + 3 * y) % colors; }
inline COLORREF true24Pixel(int x, int y) { return RGB(16 * x + 5, 32 * y + 7, (x * y * 9) & 255); }
inline COLORREF picturePixel(int x, int y) {
    if (x == 0 || x == kPictureWidth - 1 || y == 0 || y == kPictureHeight - 1) return RGB(255, 0, 0);
    if (x == y) return RGB(0, 0, 255);
    return RGB(255, 255, 255);
}

}  // namespace mbxtest
