// Window placement: fitting to the work area, centring, width and height.
#include "gtapi32.h"
#include "window/geometry.h"

namespace {

RECT workArea() {
    RECT r{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0) || r.right <= r.left || r.bottom <= r.top)
        r = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return r;
}

}  // namespace

extern "C" {

void GTAPI gtFitRectToScreen(LPRECT rect) {
    if (!rect) return;
    *rect = gt::win::fitRect(*rect, workArea());
}

void GTAPI gtCenterWindow(HWND window, HWND parent) {
    if (!IsWindow(window)) return;
    const RECT area = workArea();
    const bool overParent = parent && IsWindow(parent) && !IsIconic(parent);
    POINT centre;
    if (overParent) {
        RECT client{};
        GetClientRect(parent, &client);
        centre = gt::win::centreOf(client);
        ClientToScreen(parent, &centre);
    } else {
        centre = gt::win::centreOf(area);  // the desktop's client coordinates are the screen's
    }
    RECT own{};
    GetWindowRect(window, &own);
    RECT r = gt::win::centredRect(centre, own.right - own.left, own.bottom - own.top, area);
    SetWindowPos(window, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!overParent) SetForegroundWindow(window);
}

int GTAPI gtGetWindowWidth(HWND window) {
    RECT r{};
    if (!IsWindow(window) || !GetWindowRect(window, &r)) return 0;
    return r.right - r.left;
}

int GTAPI gtGetWindowHeight(HWND window) {
    RECT r{};
    if (!IsWindow(window) || !GetWindowRect(window, &r)) return 0;
    return r.bottom - r.top;
}

}  // extern "C"
