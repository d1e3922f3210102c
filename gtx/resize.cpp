// gtx resize-demo: a resizable dialog whose controls follow layout rules.
//   gtx resize-demo [--size WxH] [--seconds N]
// --size sets the window's size in pixels after it opens; --seconds closes it
// after N seconds (otherwise it stays until closed).  Once shown it prints
// "resize-demo: window at LEFT TOP WIDTH HEIGHT" (screen pixels).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gtapi32.h"
#include "gtx.h"

namespace {

enum : int {
    kIdHelp = 9,
    kIdLabel = 100,
    kIdList = 101,
    kIdEdit = 102,
    kIdAdd = 110,
    kIdRemove = 111,
    kIdProperties = 112,
    kIdFirst = 130,
    kIdPrevious = 131,
    kIdNext = 132,
    kIdLast = 133,
};

constexpr short kDialogWidth = 260;  // dialog units
constexpr short kDialogHeight = 170;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;

struct Item {
    int id;
    const char* cls;
    const char* text;
    DWORD style;
    DWORD exStyle;
    RECT units;  // x, y, width, height in dialog units
};

const Item kItems[] = {
    {kIdLabel, "STATIC", "&Files:", SS_LEFT, 0, {7, 7, 60, 8}},
    {kIdList, "LISTBOX", "", WS_VSCROLL | LBS_NOINTEGRALHEIGHT | WS_TABSTOP, WS_EX_CLIENTEDGE, {7, 18, 186, 90}},
    {kIdAdd, "BUTTON", "&Add...", kButton, 0, {200, 18, 53, 14}},
    {kIdRemove, "BUTTON", "&Remove", kButton, 0, {200, 36, 53, 14}},
    {kIdProperties, "BUTTON", "&Properties", kButton, 0, {200, 54, 53, 14}},
    {kIdEdit, "EDIT", "C:\\Data\\Reports", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, {7, 112, 186, 12}},
    {kIdFirst, "BUTTON", "|<", kButton, 0, {46, 128, 24, 14}},
    {kIdPrevious, "BUTTON", "<", kButton, 0, {74, 128, 24, 14}},
    {kIdNext, "BUTTON", ">", kButton, 0, {102, 128, 24, 14}},
    {kIdLast, "BUTTON", ">|", kButton, 0, {130, 128, 24, 14}},
    {kIdHelp, "BUTTON", "&Help", kButton, 0, {7, 149, 50, 14}},
    {IDOK, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, {149, 149, 50, 14}},
    {IDCANCEL, "BUTTON", "Cancel", kButton, 0, {203, 149, 50, 14}},
};

constexpr GTRESIZERULE kEndRule{GTRS_END, 0, 0, 0, 0, 0, 0, 0, 0, 0};

GTRESIZERULE rule(LONG type, LONG attr, LONG id, LONG refAttr, LONG refId, LONG offset) {
    return GTRESIZERULE{type, attr, id, 0, refAttr, refId, 100, offset, 0, 0};
}

// The list box takes what the window gains; the edit follows below it, the
// navigation block stays centred under both, the buttons keep to the right
// and bottom edges.  OK comes before Cancel although it waits for it.
std::vector<GTRESIZERULE> makeRules() {
    std::vector<GTRESIZERULE> r = {
        rule(GTRS_SIZE, GTRS_RIGHT, kIdList, GTRS_RIGHT, GTRS_CLIENT, -67),
        rule(GTRS_SIZE, GTRS_BOTTOM, kIdList, GTRS_BOTTOM, GTRS_CLIENT, -62),
        rule(GTRS_MOVE, GTRS_TOP, kIdEdit, GTRS_BOTTOM, kIdList, 4),
        rule(GTRS_SIZE, GTRS_RIGHT, kIdEdit, GTRS_RIGHT, kIdList, 0),
        GTRESIZERULE{GTRS_CENTER_HORZ, 0, kIdFirst, kIdLast, GTRS_EXTENT, kIdList, 100, 0, 0, 0},
        rule(GTRS_MOVE, GTRS_BOTTOM, kIdHelp, GTRS_BOTTOM, GTRS_CLIENT, -7),
        rule(GTRS_MOVE, GTRS_RIGHT, IDOK, GTRS_LEFT, IDCANCEL, -4),
        rule(GTRS_MOVE, GTRS_BOTTOM, IDOK, GTRS_BOTTOM, GTRS_CLIENT, -7),
        rule(GTRS_MOVE, GTRS_RIGHT, IDCANCEL, GTRS_RIGHT, GTRS_CLIENT, -7),
        rule(GTRS_MOVE, GTRS_BOTTOM, IDCANCEL, GTRS_BOTTOM, GTRS_CLIENT, -7),
    };
    for (int id : {kIdAdd, kIdRemove, kIdProperties}) r.push_back(rule(GTRS_MOVE, GTRS_RIGHT, id, GTRS_RIGHT, GTRS_CLIENT, -7));
    for (int id = kIdFirst; id <= kIdLast; ++id) r.push_back(rule(GTRS_MOVE, GTRS_TOP, id, GTRS_BOTTOM, kIdEdit, 4));
    r.push_back(kEndRule);
    return r;
}

std::vector<GTRESIZERULE> g_rules = makeRules();
POINT g_minimum{};
bool g_layoutFailed = false;

// An empty dialog in the dialog font; the controls are added at start.
std::vector<WORD> dialogTemplate() {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD));
    auto* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
    d->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_SETFONT |
               DS_CENTER;
    d->cx = kDialogWidth;
    d->cy = kDialogHeight;
    t.push_back(0);  // no menu
    t.push_back(0);  // the dialog class
    for (const wchar_t* c = L"Resize demo"; *c; ++c) t.push_back(*c);
    t.push_back(0);
    t.push_back(8);  // point size
    for (const wchar_t* c = L"MS Shell Dlg"; *c; ++c) t.push_back(*c);
    t.push_back(0);
    return t;
}

void addControls(HWND dialog) {
    const WPARAM font = static_cast<WPARAM>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    for (const Item& item : kItems) {
        RECT r{item.units.left, item.units.top, item.units.left + item.units.right, item.units.top + item.units.bottom};
        MapDialogRect(dialog, &r);
        HWND c = CreateWindowExA(item.exStyle, item.cls, item.text, WS_CHILD | WS_VISIBLE | item.style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, dialog, reinterpret_cast<HMENU>(INT_PTR(item.id)),
                                 nullptr, nullptr);
        SendMessageA(c, WM_SETFONT, font, FALSE);
    }
    HWND list = GetDlgItem(dialog, kIdList);
    for (const char* name : {"Budget 2026.xls", "Minutes of the board meeting.doc", "Quarterly report Q3.txt",
                             "Travel expenses.csv", "Vantil setup notes.txt"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
}

INT_PTR CALLBACK demoProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        addControls(dialog);
        if (!gtResizeWindow(dialog, g_rules.data())) g_layoutFailed = true;
        RECT r{};
        GetWindowRect(dialog, &r);
        g_minimum = POINT{r.right - r.left, r.bottom - r.top};
        return TRUE;
    }
    case WM_GETMINMAXINFO:
        if (g_minimum.x) reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = g_minimum;
        return TRUE;
    case WM_SIZE:
        if (GetDlgItem(dialog, kIdList) && !gtResizeWindow(dialog, g_rules.data())) g_layoutFailed = true;
        InvalidateRect(dialog, nullptr, TRUE);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) DestroyWindow(dialog);
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

int usage() {
    std::fprintf(stderr, "usage: gtx resize-demo [--size WxH] [--seconds N]\n");
    return GTX_USAGE;
}

bool parseSize(const char* s, SIZE& size) {
    char* end = nullptr;
    size.cx = std::strtol(s, &end, 10);
    if (end == s || *end != 'x') return false;
    const char* h = end + 1;
    size.cy = std::strtol(h, &end, 10);
    return end != h && !*end && size.cx > 0 && size.cy > 0 && size.cx <= 4000 && size.cy <= 4000;
}

// Dispatches the dialog's messages until it closes or the time is up
// (milliseconds; 0 = no limit).
void run(HWND dialog, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (milliseconds && elapsed >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds ? milliseconds - elapsed : INFINITE, QS_ALLINPUT);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) return;
            if (IsDialogMessageA(dialog, &m)) continue;
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
}

int runResizeDemo(int argc, char** argv) {
    SIZE size{};
    long seconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--size") && i + 1 < argc) {
            if (!parseSize(argv[++i], size)) return usage();
        } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            char* end = nullptr;
            seconds = std::strtol(argv[++i], &end, 10);
            if (!*argv[i] || *end || seconds < 1 || seconds > 3600) return usage();
        } else {
            return usage();
        }
    }
    const std::vector<WORD> t = dialogTemplate();
    HWND dialog = CreateDialogIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(t.data()), nullptr, demoProc, 0);
    if (!dialog) {
        std::fprintf(stderr, "gtx: the dialog could not be created\n");
        return GTX_FAILED;
    }
    if (size.cx) {
        SetWindowPos(dialog, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        gtCenterWindow(dialog, nullptr);
    }
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    if (g_layoutFailed) {
        std::fprintf(stderr, "gtx: the layout rules could not be applied\n");
        DestroyWindow(dialog);
        return GTX_FAILED;
    }
    RECT r{};
    GetWindowRect(dialog, &r);
    std::printf("resize-demo: window at %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fflush(stdout);
    run(dialog, static_cast<DWORD>(seconds) * 1000);
    if (IsWindow(dialog)) DestroyWindow(dialog);
    return g_layoutFailed ? GTX_FAILED : GTX_OK;
}

}  // namespace

GTX_SUBCOMMAND(resize, "resize-demo", "a resizable dialog laid out by rules (--size WxH, --seconds N)", runResizeDemo);
