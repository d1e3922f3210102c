// Window helpers: window searches, radio groups, formatted window texts,
// list-box extent and multiple selection.
#include <cstring>

#include "frame/owners.h"
#include "gtapi32.h"
#include "msgbox/text.h"
#include "window/logic.h"

namespace {

namespace win = gt::win;
namespace msg = gt::msg;

using gt::Block;

BOOL CALLBACK threadWindowProc(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<win::SearchRecord*>(lp);
    char cls[sizeof win::SearchRecord::className] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (!win::threadWindowMatches(*s, cls)) return TRUE;
    s->found = hwnd;
    return FALSE;
}

BOOL CALLBACK topWindowProc(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<win::SearchRecord*>(lp);
    char cls[sizeof win::SearchRecord::className] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    char text[sizeof win::SearchRecord::title] = {};
    if (s->title[0]) SendMessageA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    text[sizeof text - 1] = 0;
    if (!win::windowMatches(*s, cls, text)) return TRUE;
    s->found = hwnd;
    return FALSE;
}

win::ExtentState g_extent{};

}  // namespace

extern "C" {

HWND GTAPI gtGetWindowFromTask(DWORD threadId, LPCSTR className) {
    if (threadId == 0) return nullptr;
    win::SearchRecord s = win::makeSearch(className, nullptr);
    EnumThreadWindows(threadId, threadWindowProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND GTAPI gtGetWindowHandle(LPCSTR className, LPCSTR title) {
    win::SearchRecord s = win::makeSearch(className, title);
    if (!s.className[0] && !s.title[0]) return nullptr;
    EnumWindows(topWindowProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

WORD GTAPI gtGetCheckedRadioButton(HWND dialog, WORD firstId, WORD lastId) {
    // A wider counter, so a range that ends at 65535 stops there.
    for (UINT id = firstId; id <= lastId; ++id)
        if (IsDlgButtonChecked(dialog, static_cast<int>(id)) != BST_UNCHECKED) return static_cast<WORD>(id);
    return 0;
}

void GTAPIV gtSetWindowText(HWND window, LPCSTR format, DWORD, DWORD, DWORD reserved3, ...) {
    if (!format || !IsWindow(window)) return;
    char area[msg::kFormatArea];
    va_list args;
    va_start(args, reserved3);
    msg::formatV(area, sizeof area, format, args);
    va_end(args);
    SetWindowTextA(window, area);
}

void GTAPIV gtSetWindowTextEx(HWND window, HMODULE module, UINT id, ...) {
    if (!module || id == 0 || !IsWindow(window)) return;
    char loaded[msg::kLoadArea];
    if (msg::loadText(module, id, loaded) == 0) return;
    char area[msg::kFormatArea];
    va_list args;
    va_start(args, id);
    msg::formatV(area, sizeof area, loaded, args);
    va_end(args);
    SetWindowTextA(window, area);
}

void GTAPI gtProcessHorizontalExtent(LPCSTR text, HWND listBox, WORD mode) {
    const win::ExtentStep step = win::extentStep(mode);
    if (step == win::ExtentStep::ResetOnly || step == win::ExtentStep::ResetAndMeasure) g_extent = {};
    if (step == win::ExtentStep::ResetOnly) return;
    if (step == win::ExtentStep::ApplyStored) {
        SendMessageA(listBox, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(g_extent.extent.cx), 0);
        return;
    }
    if (!text || !IsWindow(listBox)) return;
    if (!win::takeIfLongest(g_extent, lstrlenA(text))) return;
    gt::WindowDc dc(listBox);
    if (!dc.get()) return;
    // Measured in the list box's own font, which a plain window DC lacks.
    gt::Selection font(dc.get(), reinterpret_cast<HFONT>(SendMessageA(listBox, WM_GETFONT, 0, 0)));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc.get(), &tm);
    SIZE size{};
    GetTextExtentPoint32A(dc.get(), text, lstrlenA(text), &size);
    size.cx += tm.tmAveCharWidth;
    const WORD listWidth = static_cast<WORD>(gtGetWindowWidth(listBox));
    if (win::storeIfWider(g_extent, size, listWidth) && step == win::ExtentStep::ResetAndMeasure)
        SendMessageA(listBox, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(g_extent.extent.cx), 0);
}

BOOL GTAPI gtIsListBoxOwnerDrawn(HWND window) {
    if (!IsWindow(window)) return FALSE;
    return (GetWindowLongA(window, GWL_STYLE) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) ? TRUE : FALSE;
}

BOOL GTAPI gtIsListBoxMultiSelect(HWND window) {
    if (!IsWindow(window)) return FALSE;
    return (GetWindowLongA(window, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) ? TRUE : FALSE;
}

LPINT GTAPI gtGetLBSelItems(HWND listBox, LPINT count) {
    if (!gtIsListBoxMultiSelect(listBox)) return nullptr;
    LRESULT n = SendMessageA(listBox, LB_GETSELCOUNT, 0, 0);
    if (n == LB_ERR || n <= 0) return nullptr;
    Block block(gtGlobalAllocPtr(GHND | GMEM_DDESHARE, static_cast<DWORD>(n) * sizeof(INT)));
    if (!block.get()) return nullptr;
    if (count) *count = static_cast<INT>(n);
    LRESULT got = SendMessageA(listBox, LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(block.get()));
    if (got == LB_ERR) return nullptr;
    return static_cast<LPINT>(block.release());
}

BOOL GTAPI gtDeleteLBSelItems(HWND listBox) {
    INT count = 0;
    Block block(gtGetLBSelItems(listBox, &count));
    if (!block.get()) return FALSE;
    const INT* items = static_cast<const INT*>(block.get());
    // Last first, so that the indexes still to go stay valid.
    for (INT i = count - 1; i >= 0; --i) SendMessageA(listBox, LB_DELETESTRING, static_cast<WPARAM>(items[i]), 0);
    return TRUE;
}

}  // extern "C"
