// Window rectangles: fitting rectangles with edges anywhere in the 32-bit
// range (sizes past 2^31 included) to the work area, centring real windows
// of random sizes over random parents, and size queries of made-up windows.
#include <climits>
#include <string>

#include "fuzz.h"
#include "gtapi32.h"

namespace {

LONG anyEdge(fuzz::Case& c) {
    switch (c.below(5)) {
        case 0: return c.pick({LONG_MIN, LONG_MIN + 1, LONG_MAX, LONG_MAX - 1, 0L, -1L});
        case 1: return static_cast<LONG>(c.word());
        default: return static_cast<LONG>(c.below(3000)) - 1000;
    }
}

RECT workArea() {
    RECT r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

std::string show(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

void fit(fuzz::Case& c) {
    const RECT in{anyEdge(c), anyEdge(c), anyEdge(c), anyEdge(c)};
    RECT r = in;
    gtFitRectToScreen(&r);
    const RECT area = workArea();
    const std::string of = " for " + show(in) + " -> " + show(r);
    c.check(r.left <= r.right, "a fitted rectangle is not inverted horizontally" + of);
    c.check(r.top <= r.bottom, "a fitted rectangle is not inverted vertically" + of);
    c.check(r.left >= area.left, "a fitted rectangle starts inside the area" + of);
    c.check(r.top >= area.top, "a fitted rectangle starts below the area's top" + of);
    const long long w = static_cast<long long>(in.right) - in.left, h = static_cast<long long>(in.bottom) - in.top;
    if (w >= 0 && w <= area.right - area.left) c.check(r.right - r.left == w, "a width that fits is kept" + of);
    if (w >= 0 && w <= area.right - area.left) c.check(r.right <= area.right, "a width that fits ends inside" + of);
    if (h >= 0 && h <= area.bottom - area.top) c.check(r.bottom - r.top == h, "a height that fits is kept" + of);
    if (h >= 0 && h <= area.bottom - area.top) c.check(r.bottom <= area.bottom, "a height that fits ends inside" + of);
}

void centre(fuzz::Case& c) {
    const int w = static_cast<int>(c.below(3000)), h = static_cast<int>(c.below(3000));
    HWND parent = c.chance(50) ? CreateWindowExA(0, "STATIC", "parent", WS_POPUP, static_cast<int>(c.below(2000)) - 500,
                                                 static_cast<int>(c.below(2000)) - 500, static_cast<int>(c.below(900)),
                                                 static_cast<int>(c.below(900)), nullptr, nullptr, nullptr, nullptr)
                               : reinterpret_cast<HWND>(static_cast<ULONG_PTR>(c.below(4) ? 0 : c.word()));
    HWND window = CreateWindowExA(0, "STATIC", "window", WS_POPUP, 0, 0, w, h, nullptr, nullptr, nullptr, nullptr);
    if (!c.check(window != nullptr, "a window for centring")) return;
    gtCenterWindow(window, parent);
    RECT r{};
    GetWindowRect(window, &r);
    const RECT area = workArea();
    c.check(gtGetWindowWidth(window) == r.right - r.left, "gtGetWindowWidth of a real window");
    c.check(r.left >= area.left, "a centred window starts inside the area");
    c.check(r.top >= area.top, "a centred window starts below the area's top");
    DestroyWindow(window);
    if (IsWindow(parent)) DestroyWindow(parent);
    HWND fake = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(c.word()));
    if (!IsWindow(fake)) c.check(gtGetWindowHeight(fake) == 0, "gtGetWindowHeight of no window");
}

}  // namespace

GT_FUZZ_FAMILY(windows) {
    if (c.chance(80)) fit(c); else centre(c);
}
