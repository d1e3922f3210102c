// Dialog resize layout on real windows: the snapshot of the children, the
// base units, and the one deferred batch that moves what the rules touched.
#include <algorithm>
#include <climits>
#include <cstring>

#include "frame/owners.h"
#include "gtapi32.h"
#include "window/resizesolver.h"

namespace {

namespace win = gt::win;

constexpr ATOM kDialogClassAtom = 0x8002;  // the platform's "#32770"
constexpr UINT kSnapshotFlags = 0x42;      // zero-filled
constexpr size_t kFirstCapacity = 32;      // records; most dialogs fit
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

bool isDialog(HWND window) { return GetClassWord(window, GCW_ATOM) == kDialogClassAtom; }

// The base units of a window that is not a dialog: the average width of
// the letters and the height of its font.
bool fontBaseUnits(HWND window, win::BaseUnits& units) {
    gt::WindowDc dc(window);
    if (!dc) return false;
    const gt::Selection font(dc.get(), reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    if (!GetTextExtentPointA(dc.get(), kLetters, sizeof kLetters - 1, &size)) return false;
    units = win::BaseUnits{win::averageLetterWidth(size.cx), size.cy, false};
    return true;
}

// A dialog's units come from the platform itself: 4 by 8 dialog units are
// exactly one base unit each way.
bool baseUnitsOf(HWND window, win::BaseUnits& units) {
    if (!isDialog(window)) return fontBaseUnits(window, units);
    RECT r{0, 0, win::kUnitsPerBaseX, win::kUnitsPerBaseY};
    if (!MapDialogRect(window, &r)) return false;
    units = win::BaseUnits{r.right, r.bottom, true};
    return true;
}

LONG clampToLong(int64_t v) { return LONG(std::clamp<int64_t>(v, LONG_MIN, LONG_MAX)); }

// Client area first, then the children in z-order, in client coordinates.
// One walk over the children (each step is a trip to the window server):
// the block grows as the walk finds more.
bool takeSnapshot(HWND window, gt::Block& block, size_t& count) {
    size_t capacity = kFirstCapacity;
    block.reset(gtGlobalAllocPtr(kSnapshotFlags, DWORD(capacity * sizeof(win::ControlRecord))));
    if (!block) return false;
    RECT client{};
    GetClientRect(window, &client);
    static_cast<win::ControlRecord*>(block.get())[0] = win::recordOf(GTRS_CLIENT, client);
    size_t n = 1;
    for (HWND child = GetTopWindow(window); child && IsWindow(child); child = GetWindow(child, GW_HWNDNEXT)) {
        if (n == capacity) {
            gt::Block larger(gtGlobalAllocPtr(kSnapshotFlags, DWORD(2 * capacity * sizeof(win::ControlRecord))));
            if (!larger) return false;
            std::memcpy(larger.get(), block.get(), capacity * sizeof(win::ControlRecord));
            block = std::move(larger);
            capacity *= 2;
        }
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        static_cast<win::ControlRecord*>(block.get())[n++] = win::recordOf(GetDlgCtrlID(child), r, child);
    }
    count = n;
    return true;
}

// Every touched child in one batch, so that the window never shows half a
// layout; a batch that cannot be built moves nothing.
bool applyBatch(const win::ControlRecord* records, size_t count) {
    int touched = 0;
    for (size_t i = 1; i < count; ++i) touched += records[i].touched ? 1 : 0;
    HDWP batch = BeginDeferWindowPos(touched);
    if (!batch) return false;
    for (size_t i = 1; i < count; ++i) {
        const win::ControlRecord& r = records[i];
        if (!r.touched) continue;
        // A rule may leave a size below zero; the control then has none.
        const int width = std::max<LONG>(0, r.value[GTRS_WIDTH]);
        const int height = std::max<LONG>(0, r.value[GTRS_HEIGHT]);
        batch = DeferWindowPos(batch, r.window, nullptr, r.value[GTRS_LEFT], r.value[GTRS_TOP], width, height,
                               SWP_NOZORDER);
        if (!batch) return false;  // the platform has dropped the batch
    }
    return EndDeferWindowPos(batch) != FALSE;
}

}  // namespace

extern "C" {

int GTAPI gtGetChildWindowCount(HWND window) {
    if (!IsWindow(window)) return 0;
    int n = 0;
    for (HWND child = GetTopWindow(window); child && IsWindow(child); child = GetWindow(child, GW_HWNDNEXT)) ++n;
    return n;
}

BOOL GTAPI gtMapDialogRect(HWND window, LPRECT rect) {
    if (!rect || !IsWindow(window)) return FALSE;
    if (isDialog(window)) return MapDialogRect(window, rect);
    win::BaseUnits units{};
    if (!fontBaseUnits(window, units)) return FALSE;
    rect->left = clampToLong(win::dialogToPixels(rect->left, units.x, win::kUnitsPerBaseX, false));
    rect->right = clampToLong(win::dialogToPixels(rect->right, units.x, win::kUnitsPerBaseX, false));
    rect->top = clampToLong(win::dialogToPixels(rect->top, units.y, win::kUnitsPerBaseY, false));
    rect->bottom = clampToLong(win::dialogToPixels(rect->bottom, units.y, win::kUnitsPerBaseY, false));
    return TRUE;
}

BOOL GTAPI gtResizeWindow(HWND window, LPGTRESIZERULE rules) {
    if (!rules || !IsWindow(window)) return FALSE;
    if (IsIconic(window)) return TRUE;
    gt::Block snapshot;
    size_t count = 0;
    if (!takeSnapshot(window, snapshot, count) || count < 2) return FALSE;  // no memory, no children
    auto* records = static_cast<win::ControlRecord*>(snapshot.get());
    win::BaseUnits units{};
    if (!baseUnitsOf(window, units)) return FALSE;
    if (win::solveLayout(records, count, rules, units) != win::Outcome::Solved) return FALSE;
    return applyBatch(records, count) ? TRUE : FALSE;
}

}  // extern "C"
