// Simple message boxes pressed for real, and status windows.
#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include <string>
#include <thread>
#include "gtapi32.h"
#include "resources/gtapi32_res.h"

static HMODULE library() { return GetModuleHandleA("gtapi32.dll"); }
static int g_enables = 0;
static LRESULT CALLBACK ownerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_ENABLE && w) ++g_enables;
    return DefWindowProcA(h, m, w, l);
}
static std::string statusText(HWND s) {
    char b[1024] = {};
    GetDlgItemTextA(s, IDC_GT_STATUSTEXT, b, sizeof b);
    return b;
}
static std::string boxText(const char* caption, int button, const std::function<int()>& call) {  // presses `button`
    std::string seen;
    std::thread presser([&] {
        for (int i = 0; i < 500; ++i, Sleep(20))
            if (HWND b = FindWindowA("#32770", caption); b && IsWindowVisible(b)) {
                char s[2048] = {};
                GetWindowTextA(GetDlgItem(b, 0xFFFF), s, sizeof s);
                seen = s;
                return (void)PostMessageA(GetDlgItem(b, button), BM_CLICK, 0, 0);
            }
    });
    EXPECT_EQ(call(), button) << caption;
    presser.join();
    return seen;
}

TEST(SimpleBox, ButtonPressedAndFormattedText) {
    EXPECT_EQ(boxText("gtt yes no", IDNO, [] { return gtMessageBox(nullptr, "%s %d?", "gtt yes no", MB_YESNO, "Go on", 3); }), "Go on 3?");
    const std::string arg(3000, 'w');  // cut at the formatting area
    EXPECT_EQ(boxText("gtt long", IDOK, [&] { return gtMessageBox(nullptr, "%s", "gtt long", MB_OK, arg.c_str()); }), std::string(727, 'w'));
    EXPECT_EQ(gtMessageBox(nullptr, nullptr, "gtt none", MB_OK), IDCANCEL);
    EXPECT_EQ(gtMessageBoxEx(nullptr, library(), MAKEINTRESOURCEA(27999), "x", MB_OK), IDCANCEL);
}

TEST(StatusWindow, OwnerDisabledThenEnabledOnce) {
    WNDCLASSA wc{0, ownerProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "GtStatusOwner"};
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, "GtStatusOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 150, 100, 600, 450, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(gtPasteStatusMessage(owner, nullptr), nullptr);
    EXPECT_EQ(gtPasteStatusMessageEx(owner, library(), 27999, "C:"), nullptr);
    HWND status = gtPasteStatusMessage(owner, "Working");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(GetWindow(status, GW_OWNER), owner);
    EXPECT_FALSE(IsWindowEnabled(owner));
    gtChangeStatusMessage(status, "Deleting C:\\A.TXT");
    gtChangeStatusMessage(status, nullptr);
    EXPECT_EQ(statusText(status), "Deleting C:\\A.TXT");
    gtChangeStatusMessageEx(status, library(), IDS_GT_DELETINGFILES, "D:");
    gtChangeStatusMessageEx(status, library(), 27999, "E:");
    EXPECT_EQ(statusText(status), "Deleting D: files");
    EXPECT_EQ(gtPeelStatusMessage(status), 0);
    EXPECT_FALSE(IsWindow(status));
    EXPECT_TRUE(IsWindowEnabled(owner));
    EnableWindow(owner, FALSE);  // the host's own reasons: peeling the dead handle must not undo them
    EXPECT_EQ(gtPeelStatusMessage(status), 0);
    EXPECT_FALSE(IsWindowEnabled(owner));
    EXPECT_EQ(g_enables, 1);
    DestroyWindow(owner);
}
