// Simple message boxes (the platform's box with a formatted text) and the
// modeless status window of template IDD_GT_STATUS.
#include <cstdarg>

#include "frame/frame.h"
#include "gtapi32.h"
#include "msgbox/text.h"
#include "resources/gtapi32_res.h"

namespace {

namespace msg = gt::msg;

// The owner a status window disabled, kept with the window itself so that
// it is enabled again exactly once, whichever of close and destroy comes
// first.
void enableOwnerOnce(HWND status) {
    HWND owner = reinterpret_cast<HWND>(GetWindowLongPtrA(status, DWLP_USER));
    if (!owner) return;
    SetWindowLongPtrA(status, DWLP_USER, 0);
    if (IsWindow(owner) && owner != GetDesktopWindow()) EnableWindow(owner, TRUE);
}

INT_PTR CALLBACK statusProc(HWND dlg, UINT message, WPARAM, LPARAM lp) {
    switch (message) {
        case WM_INITDIALOG: {
            HWND owner = GetParent(dlg);
            if (owner && owner != GetDesktopWindow()) {
                EnableWindow(owner, FALSE);
                SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(owner));
            } else {
                owner = nullptr;
            }
            gtCenterWindow(dlg, owner);
            if (lp) SendDlgItemMessageA(dlg, IDC_GT_STATUSTEXT, WM_SETTEXT, 0, lp);
            return TRUE;
        }
        case WM_COMMAND:
            return TRUE;
        case WM_CLOSE:
            EndDialog(dlg, 1);
            // Owner first, so that activation goes back to it.
            enableOwnerOnce(dlg);
            DestroyWindow(dlg);
            return FALSE;
        case WM_DESTROY:
            enableOwnerOnce(dlg);
            return FALSE;
        default:
            return FALSE;
    }
}

// Loads string id of module and formats it into area (kFormatArea bytes);
// false when there is nothing to show.
bool loadAndFormat(char* area, HMODULE module, UINT id, va_list args) {
    if (!module || id == 0) return false;
    char loaded[msg::kLoadArea];
    if (msg::loadText(module, id, loaded) == 0) return false;
    msg::formatV(area, msg::kFormatArea, loaded, args);
    return true;
}

// The platform's box with the format expanded into the formatting area.
int showFormatted(HWND owner, const char* format, const char* caption, UINT type, va_list args) {
    char area[msg::kFormatArea];
    msg::formatV(area, sizeof area, format, args);
    return MessageBoxA(owner, area, caption, type);
}

}  // namespace

extern "C" {

int GTAPIV gtMessageBox(HWND owner, LPCSTR format, LPCSTR caption, UINT type, ...) {
    if (!format) return IDCANCEL;
    va_list args;
    va_start(args, type);
    int result = showFormatted(owner, format, caption, type, args);
    va_end(args);
    return result;
}

int GTAPIV gtMessageBoxEx(HWND owner, HMODULE module, LPCSTR text, LPCSTR caption, UINT type, ...) {
    if (!text) return IDCANCEL;
    char loadedText[msg::kLoadArea];
    char loadedCaption[msg::kLoadArea];
    const char* format = text;
    if (IS_INTRESOURCE(text)) {
        if (msg::loadText(module, LOWORD(reinterpret_cast<ULONG_PTR>(text)), loadedText) == 0) return IDCANCEL;
        format = loadedText;
    }
    if (caption && IS_INTRESOURCE(caption)) {
        if (msg::loadText(module, LOWORD(reinterpret_cast<ULONG_PTR>(caption)), loadedCaption) == 0)
            return IDCANCEL;
        caption = loadedCaption;
    }
    va_list args;
    va_start(args, type);
    int result = showFormatted(owner, format, caption, type, args);
    va_end(args);
    return result;
}

HWND GTAPI gtPasteStatusMessage(HWND owner, LPCSTR text) {
    if (!text) return nullptr;
    return CreateDialogParamA(gt::frame::module(), MAKEINTRESOURCEA(IDD_GT_STATUS), owner, statusProc,
                              reinterpret_cast<LPARAM>(text));
}

HWND GTAPIV gtPasteStatusMessageEx(HWND owner, HMODULE module, UINT id, ...) {
    char area[msg::kFormatArea];
    va_list args;
    va_start(args, id);
    bool ok = loadAndFormat(area, module, id, args);
    va_end(args);
    return ok ? gtPasteStatusMessage(owner, area) : nullptr;
}

void GTAPI gtChangeStatusMessage(HWND status, LPCSTR text) {
    if (!text || !IsWindow(status)) return;
    SendDlgItemMessageA(status, IDC_GT_STATUSTEXT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void GTAPIV gtChangeStatusMessageEx(HWND status, HMODULE module, UINT id, ...) {
    char area[msg::kFormatArea];
    va_list args;
    va_start(args, id);
    bool ok = loadAndFormat(area, module, id, args);
    va_end(args);
    if (ok) gtChangeStatusMessage(status, area);
}

int GTAPI gtPeelStatusMessage(HWND status) {
    if (status && IsWindow(status)) SendMessageA(status, WM_CLOSE, 0, 0);
    return 0;
}

}  // extern "C"
