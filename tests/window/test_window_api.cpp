// Window helpers on real windows: searches, placement against the live
// work area, radio groups, window texts, list-box selection and extent.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gtapi32.h"
#include "testutil.h"

namespace {

HINSTANCE instance() { return GetModuleHandleA(nullptr); }

void registerClass(const char* name) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance();
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

struct Window {
    HWND h = nullptr;
    Window(const char* cls, const char* text, DWORD style, int x, int y, int w, int h_, HWND parent = nullptr,
           int id = 0)
        : h(CreateWindowExA(0, cls, text, style, x, y, w, h_, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance(), nullptr)) {}
    ~Window() { if (h && IsWindow(h)) DestroyWindow(h); }
};

RECT workArea() {
    RECT r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

RECT windowRect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}

std::string text(HWND h, UINT get = WM_GETTEXT, WPARAM i = 0) {
    char buf[1024] = {};
    SendMessageA(h, get, get == WM_GETTEXT ? sizeof buf : i, reinterpret_cast<LPARAM>(buf));
    return buf;
}

HMODULE library() { return GetModuleHandleA("gtapi32.dll"); }

}  // namespace

TEST(WindowSearch, ThreadSearchPassesOverSystemClasses) {
    registerClass("GtPlainTop");
    registerClass("ComboLBox");
    registerClass("MDIClient");
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND plain = nullptr;
    DWORD tid = 0;
    std::thread owner([&] {
        tid = GetCurrentThreadId();
        Window w1("GtPlainTop", "plain", WS_POPUP, 0, 0, 10, 10);
        // Created later, so ahead of the plain window in z-order.
        Window w2("ComboLBox", "", WS_POPUP, 0, 0, 10, 10);
        Window w3("MDIClient", "", WS_POPUP, 0, 0, 10, 10);
        plain = w1.h;
        SetEvent(ready);
        WaitForSingleObject(done, INFINITE);
    });
    ASSERT_EQ(WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(gtGetWindowFromTask(tid, nullptr), plain);
    EXPECT_EQ(gtGetWindowFromTask(tid, "gtplaintop"), plain);
    char cls[64] = {};
    GetClassNameA(gtGetWindowFromTask(tid, "combolbox"), cls, sizeof cls);
    EXPECT_STREQ(cls, "ComboLBox");
    EXPECT_EQ(gtGetWindowFromTask(tid, "NoSuchClass"), nullptr);
    EXPECT_EQ(gtGetWindowFromTask(0, nullptr), nullptr);
    SetEvent(done);
    owner.join();
    CloseHandle(ready);
    CloseHandle(done);
}

TEST(WindowSearch, ClassAndTitle) {
    registerClass("GtSearchA");
    registerClass("GtSearchB");
    Window shortTitle("GtSearchA", "GtSetupXY", WS_POPUP, 0, 0, 10, 10);
    Window empty("GtSearchB", "", WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(gtGetWindowHandle("GtSearchA", "GtSetupXY - Step 2"), shortTitle.h);
    EXPECT_EQ(gtGetWindowHandle(nullptr, "GtSetupXY - Step 2"), shortTitle.h);
    EXPECT_EQ(gtGetWindowHandle("GtSearchA", "GtSetup"), nullptr);
    EXPECT_EQ(gtGetWindowHandle("gtsearchb", nullptr), empty.h);
    EXPECT_EQ(gtGetWindowHandle("GtSearchB", "anything at all"), nullptr);
    EXPECT_EQ(gtGetWindowHandle(nullptr, nullptr), nullptr);
}

TEST(WindowPlacement, FitAgainstTheLiveWorkArea) {
    const RECT a = workArea();
    RECT r{a.right - 50, a.bottom - 20, a.right + 150, a.bottom + 80};
    gtFitRectToScreen(&r);
    EXPECT_EQ(r.right * 10000 + r.bottom, a.right * 10000 + a.bottom);
    EXPECT_EQ((r.right - r.left) * 10000 + r.bottom - r.top, 200 * 10000 + 100);  // size kept
    gtFitRectToScreen(nullptr);
    // A work area with a bar on the left and at the top.
    RECT moved{a.left + 40, a.top + 25, a.right, a.bottom}, old = a;
    if (!SystemParametersInfoA(SPI_SETWORKAREA, 0, &moved, 0) || workArea().left != moved.left)
        GTEST_SKIP() << "work area cannot be changed here";
    RECT s{0, 0, 100, 100};
    gtFitRectToScreen(&s);
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &old, 0);
    EXPECT_EQ(s.left, moved.left);
    EXPECT_EQ(s.top, moved.top);
    EXPECT_EQ(s.right, moved.left + 100);
}

TEST(WindowPlacement, CentreOverParentWorkAreaAndMinimisedParent) {
    registerClass("GtCentre");
    Window parent("GtCentre", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 500, 400);
    Window box("GtCentre", "box", WS_POPUP | WS_VISIBLE, 0, 0, 201, 101, parent.h);
    ASSERT_TRUE(parent.h && box.h);
    EXPECT_EQ(gtGetWindowWidth(box.h), 201);
    EXPECT_EQ(gtGetWindowHeight(box.h), 101);
    EXPECT_EQ(gtGetWindowWidth(nullptr), 0);
    EXPECT_EQ(gtGetWindowHeight(reinterpret_cast<HWND>(0x1234)), 0);

    gtCenterWindow(box.h, parent.h);
    RECT client{};
    GetClientRect(parent.h, &client);
    POINT c{client.right / 2, client.bottom / 2};
    ClientToScreen(parent.h, &c);
    RECT r = windowRect(box.h);
    EXPECT_EQ(r.left, c.x - 100);
    EXPECT_EQ(r.top, c.y - 50);
    EXPECT_EQ(r.right - r.left, 201);

    // Parent near the bottom right: the box is kept on the work area.
    const RECT a = workArea();
    SetWindowPos(parent.h, nullptr, a.right - 120, a.bottom - 60, 500, 400, SWP_NOZORDER);
    gtCenterWindow(box.h, parent.h);
    r = windowRect(box.h);
    EXPECT_EQ(r.right, a.right);
    EXPECT_EQ(r.bottom, a.bottom);

    // Minimised parent: over the work area, and in the foreground.
    ShowWindow(parent.h, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(parent.h));
    gtCenterWindow(box.h, parent.h);
    r = windowRect(box.h);
    EXPECT_EQ(r.left, a.left + (a.right - a.left) / 2 - 100);
    EXPECT_EQ(r.top, a.top + (a.bottom - a.top) / 2 - 50);
    EXPECT_EQ(GetForegroundWindow(), box.h);
    gtCenterWindow(nullptr, nullptr);
}

TEST(WindowDialog, CheckedRadioButton) {
    registerClass("GtRadio");
    Window dlg("GtRadio", "radio", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300);
    std::vector<std::unique_ptr<Window>> buttons;
    for (int id = 100; id <= 103; ++id)
        buttons.emplace_back(new Window("BUTTON", "r", WS_CHILD | BS_AUTO3STATE, 0, 0, 50, 20, dlg.h, id));
    EXPECT_EQ(gtGetCheckedRadioButton(dlg.h, 100, 103), 0);
    CheckDlgButton(dlg.h, 102, BST_CHECKED);
    CheckDlgButton(dlg.h, 103, BST_CHECKED);
    EXPECT_EQ(gtGetCheckedRadioButton(dlg.h, 100, 103), 102);
    EXPECT_EQ(gtGetCheckedRadioButton(dlg.h, 103, 100), 0);
    CheckDlgButton(dlg.h, 101, BST_INDETERMINATE);
    EXPECT_EQ(gtGetCheckedRadioButton(dlg.h, 100, 103), 101);
    // A range up to the highest id ends there.
    EXPECT_EQ(gtGetCheckedRadioButton(dlg.h, 65000, 65535), 0);
}

TEST(WindowText, FormatsAfterTheReservedPositions) {
    registerClass("GtText");
    Window w("GtText", "before", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
    gtSetWindowText(w.h, "Copied %d of %d files", 0, 0, 0, 3, 10);
    gtSetWindowText(w.h, nullptr, 0, 0, 0);
    gtSetWindowText(nullptr, "x", 0, 0, 0);
    EXPECT_EQ(text(w.h), "Copied 3 of 10 files");
    const std::string longArg(2000, 'x');
    gtSetWindowText(w.h, "<%s>", 0, 0, 0, longArg.c_str());
    EXPECT_EQ(text(w.h), "<" + std::string(726, 'x'));
    gtSetWindowTextEx(w.h, library(), 28034, "C:");
    gtSetWindowTextEx(w.h, library(), 27999, "D:");  // no such string, no module: unchanged
    gtSetWindowTextEx(w.h, nullptr, 28034, "D:");
    EXPECT_EQ(text(w.h), "Deleting C: files");
}

TEST(ListBox, StylesAndMultipleSelection) {
    registerClass("GtLbHost");
    Window host("GtLbHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300);
    Window multi("LISTBOX", "", WS_CHILD | LBS_EXTENDEDSEL, 0, 0, 100, 200, host.h, 1);
    Window single("LISTBOX", "", WS_CHILD | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 0, 0, 100, 200, host.h, 2);
    for (int i = 0; i < 10; ++i) {
        std::string s = "item" + std::to_string(i);
        SendMessageA(multi.h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
        SendMessageA(single.h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    }
    EXPECT_TRUE(gtIsListBoxMultiSelect(multi.h));
    EXPECT_FALSE(gtIsListBoxMultiSelect(single.h));
    EXPECT_TRUE(gtIsListBoxOwnerDrawn(single.h));
    EXPECT_FALSE(gtIsListBoxOwnerDrawn(multi.h));
    EXPECT_FALSE(gtIsListBoxOwnerDrawn(nullptr));

    INT count = -5;
    EXPECT_EQ(gtGetLBSelItems(multi.h, &count), nullptr);  // nothing selected
    SendMessageA(single.h, LB_SETCURSEL, 3, 0);
    EXPECT_EQ(gtGetLBSelItems(single.h, &count), nullptr);
    EXPECT_FALSE(gtDeleteLBSelItems(single.h));

    for (int i : {7, 1, 4}) SendMessageA(multi.h, LB_SETSEL, TRUE, i);
    LPINT items = gtGetLBSelItems(multi.h, &count);
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(std::vector<int>(items, items + count), (std::vector<int>{1, 4, 7}));
    EXPECT_TRUE(gtGlobalFreePtr(items));
    items = gtGetLBSelItems(multi.h, nullptr);
    ASSERT_NE(items, nullptr);
    gtGlobalFreePtr(items);

    EXPECT_TRUE(gtDeleteLBSelItems(multi.h));
    std::vector<std::string> left;
    for (int i = 0; i < SendMessageA(multi.h, LB_GETCOUNT, 0, 0); ++i) left.push_back(text(multi.h, LB_GETTEXT, i));
    EXPECT_EQ(left, (std::vector<std::string>{"item0", "item2", "item3", "item5", "item6", "item8", "item9"}));
}

TEST(ListBox, HorizontalExtentFollowsTheLongestText) {
    registerClass("GtLbHost2");
    Window host("GtLbHost2", "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300);
    Window lb("LISTBOX", "", WS_CHILD | WS_HSCROLL, 0, 0, 120, 200, host.h, 1);
    HFONT font = static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
    SendMessageA(lb.h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    HDC dc = GetDC(lb.h);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    auto needed = [&](const char* s) {
        SIZE sz{};
        GetTextExtentPoint32A(dc, s, lstrlenA(s), &sz);
        return sz.cx + tm.tmAveCharWidth;
    };
    auto extent = [&] { return static_cast<LONG>(SendMessageA(lb.h, LB_GETHORIZONTALEXTENT, 0, 0)); };

    const char *narrow = "ab", *wide = "a text much wider than the list box",
               *wider = "a text even wider than the list box, and longer";
    ASSERT_LT(needed(narrow), 120);
    ASSERT_GT(needed(wide), 120);

    gtProcessHorizontalExtent(nullptr, lb.h, 1);
    gtProcessHorizontalExtent(narrow, lb.h, 3);
    gtProcessHorizontalExtent(nullptr, lb.h, 2);
    EXPECT_EQ(extent(), 0);
    gtProcessHorizontalExtent(wide, lb.h, 3);
    EXPECT_EQ(extent(), 0);  // stored, not yet applied
    gtProcessHorizontalExtent(nullptr, lb.h, 2);
    EXPECT_EQ(extent(), needed(wide));
    // Shorter than the longest so far: ignored however wide it is.
    gtProcessHorizontalExtent("WWWWWWWWWWWWWWWWWWWW", lb.h, 3);
    gtProcessHorizontalExtent(wider, lb.h, 7);
    gtProcessHorizontalExtent(nullptr, lb.h, 2);
    EXPECT_EQ(extent(), needed(wider));

    // Mode 0: one text, applied at once.
    SendMessageA(lb.h, LB_SETHORIZONTALEXTENT, 0, 0);
    gtProcessHorizontalExtent(wide, lb.h, 0);
    EXPECT_EQ(extent(), needed(wide));
    // A reset forgets the stored extent.
    gtProcessHorizontalExtent(nullptr, lb.h, 1);
    gtProcessHorizontalExtent(nullptr, lb.h, 2);
    EXPECT_EQ(extent(), 0);
    SelectObject(dc, old);
    ReleaseDC(lb.h, dc);
}
