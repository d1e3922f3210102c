#include "window/geometry.h"

#include <algorithm>
#include <limits>

namespace gt::win {

namespace {

// One axis of fitRect in 64 bits: a size of up to 2^32 - 1 (edges at the
// ends of the 32-bit range) neither wraps nor turns the rectangle over.
// An inverted input counts as size 0; a size that cannot be kept from the
// area's start is cut at the largest coordinate.
void fitAxis(LONG& lo, LONG& hi, LONG areaLo, LONG areaHi) {
    const long long size = std::max<long long>(0, static_cast<long long>(hi) - lo);
    long long start = lo;
    if (start + size > areaHi) start = static_cast<long long>(areaHi) - size;
    if (start < areaLo) start = areaLo;
    const long long end = std::min<long long>(start + size, std::numeric_limits<LONG>::max());
    lo = static_cast<LONG>(start);
    hi = static_cast<LONG>(end);
}

}  // namespace

RECT fitRect(RECT r, const RECT& area) {
    fitAxis(r.left, r.right, area.left, area.right);
    fitAxis(r.top, r.bottom, area.top, area.bottom);
    return r;
}

POINT centreOf(const RECT& ref) {
    return POINT{ref.left + (ref.right - ref.left) / 2, ref.top + (ref.bottom - ref.top) / 2};
}

RECT centredRect(POINT centre, int w, int h, const RECT& area) {
    RECT r{centre.x - w / 2, centre.y - h / 2, 0, 0};
    r.right = r.left + w;
    r.bottom = r.top + h;
    return fitRect(r, area);
}

}  // namespace gt::win
