#include "window/geometry.h"

namespace gt::win {

RECT fitRect(RECT r, const RECT& area) {
    const LONG w = r.right - r.left;
    const LONG h = r.bottom - r.top;
    if (r.right > area.right) { r.right = area.right; r.left = r.right - w; }
    if (r.left < area.left) { r.left = area.left; r.right = r.left + w; }
    if (r.bottom > area.bottom) { r.bottom = area.bottom; r.top = r.bottom - h; }
    if (r.top < area.top) { r.top = area.top; r.bottom = r.top + h; }
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
