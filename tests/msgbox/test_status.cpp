// Simple message boxes pressed for real, and status windows: owner
// disabled and enabled again once, centring, texts.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "boxdriver.h"
#include "gtapi32.h"
#include "resources/gtapi32_res.h"

namespace {

HMODULE library() { return GetModuleHandleA("gtapi32.dll"); }

int g_enables = 0;

LRESULT CALLBACK ownerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_ENABLE && w) ++g_enables;
    return DefWindowProcA(h, m, w, l);
}

struct Owner {
    HWND h;
    Owner() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ownerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "GtStatusOwner";
        RegisterClassA(&wc);
        h = CreateWindowExA(0, "GtStatusOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 150, 100, 600, 450,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        g_enables = 0;
    }
    ~Owner() { if (IsWindow(h)) DestroyWindow(h); }
};

std::string statusText(HWND status) {
    char buf[1024] = {};
    GetDlgItemTextA(status, IDC_GT_STATUSTEXT, buf, sizeof buf);
    return buf;
}

}  // namespace

TEST(SimpleBox, FormattedTextsAndTheButtonPressed) {
    const std::string arg(3000, 'w');
    struct {
        const char* caption;
        int button;
        std::function<int()> call;
        std::string seen;
    } cases[] = {
        {"gtt simple", IDOK, [] { return gtMessageBox(nullptr, "Copied %d of %d files", "gtt simple", MB_OK, 3, 10); },
         "Copied 3 of 10 files"},
        {"gtt yes no", IDNO, [] { return gtMessageBox(nullptr, "%s?", "gtt yes no", MB_YESNO, "Go on"); }, "Go on?"},
        {"gtt long", IDOK, [&] { return gtMessageBox(nullptr, "%s", "gtt long", MB_OK, arg.c_str()); },
         std::string(727, 'w')},  // cut at the formatting area
        {"REBOOT MACHINE", IDOK, [] {
             return gtMessageBoxEx(nullptr, library(), MAKEINTRESOURCEA(IDS_GT_REBOOTTEXT),
                                   MAKEINTRESOURCEA(IDS_GT_REBOOTCAPTION), 0x1010);
         }, "Press the Reset button on your PC to restart."},
        {"gtt mixed", IDOK, [] {
             return gtMessageBoxEx(nullptr, library(), MAKEINTRESOURCEA(IDS_GT_DELETINGFILES), "gtt mixed", MB_OK, "A:");
         }, "Deleting A: files"},
    };
    for (const auto& c : cases) {
        BoxPress press(c.caption, c.button);
        EXPECT_EQ(c.call(), c.button) << c.caption;
        press.wait();
        EXPECT_TRUE(press.found) << c.caption;
        EXPECT_EQ(press.seenText, c.seen);
    }
    EXPECT_EQ(gtMessageBox(nullptr, nullptr, "gtt none", MB_OK), IDCANCEL);
    EXPECT_EQ(gtMessageBoxEx(nullptr, library(), nullptr, "x", MB_OK), IDCANCEL);
    EXPECT_EQ(gtMessageBoxEx(nullptr, library(), MAKEINTRESOURCEA(27999), "x", MB_OK), IDCANCEL);
    EXPECT_EQ(gtMessageBoxEx(nullptr, library(), "text", MAKEINTRESOURCEA(27999), MB_OK), IDCANCEL);
}

TEST(StatusWindow, OwnerDisabledUntilPeeledAndEnabledOnce) {
    Owner owner;
    HWND status = gtPasteStatusMessage(owner.h, "Working");
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(IsWindowVisible(status));
    EXPECT_EQ(GetWindow(status, GW_OWNER), owner.h);
    EXPECT_FALSE(IsWindowEnabled(owner.h));
    EXPECT_EQ(statusText(status), "Working");

    RECT client{}, r{};  // centred over the owner's client area
    GetClientRect(owner.h, &client);
    POINT c{client.right / 2, client.bottom / 2};
    ClientToScreen(owner.h, &c);
    GetWindowRect(status, &r);
    EXPECT_LE(std::abs((r.left + r.right) / 2 - c.x), 1);
    EXPECT_LE(std::abs((r.top + r.bottom) / 2 - c.y), 1);

    gtChangeStatusMessage(status, "Deleting C:\\TEMP\\A.TXT");
    gtChangeStatusMessage(status, nullptr);
    EXPECT_EQ(statusText(status), "Deleting C:\\TEMP\\A.TXT");
    gtChangeStatusMessageEx(status, library(), IDS_GT_DELETINGFILES, "D:");
    gtChangeStatusMessageEx(status, library(), 27999, "E:");
    gtChangeStatusMessageEx(status, nullptr, IDS_GT_DELETINGFILES, "E:");
    EXPECT_EQ(statusText(status), "Deleting D: files");

    EXPECT_EQ(gtPeelStatusMessage(status), 0);
    EXPECT_FALSE(IsWindow(status));
    EXPECT_TRUE(IsWindowEnabled(owner.h));
    EXPECT_EQ(g_enables, 1);
    // The host disables its window for its own reasons: peeling the dead
    // handle again must not undo that.
    EnableWindow(owner.h, FALSE);
    EXPECT_EQ(gtPeelStatusMessage(status), 0);
    EXPECT_EQ(gtPeelStatusMessage(nullptr), 0);
    EXPECT_FALSE(IsWindowEnabled(owner.h));
    EnableWindow(owner.h, TRUE);
}

TEST(StatusWindow, DestroyedDirectlyOrWithItsOwner) {
    Owner owner;
    HWND status = gtPasteStatusMessage(owner.h, "x");
    ASSERT_NE(status, nullptr);
    DestroyWindow(status);
    EXPECT_TRUE(IsWindowEnabled(owner.h));
    EXPECT_EQ(g_enables, 1);
    status = gtPasteStatusMessage(owner.h, "y");
    ASSERT_NE(status, nullptr);
    DestroyWindow(owner.h);
    EXPECT_FALSE(IsWindow(status));
}

TEST(StatusWindow, WithoutOwnerCentredOnTheWorkArea) {
    HWND status = gtPasteStatusMessage(nullptr, "alone");
    ASSERT_NE(status, nullptr);
    RECT a{}, r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &a, 0);
    GetWindowRect(status, &r);
    EXPECT_EQ(r.left, a.left + (a.right - a.left) / 2 - (r.right - r.left) / 2);
    EXPECT_EQ(r.top, a.top + (a.bottom - a.top) / 2 - (r.bottom - r.top) / 2);
    EXPECT_EQ(GetForegroundWindow(), status);
    gtPeelStatusMessage(status);
    EXPECT_FALSE(IsWindow(status));
}

TEST(StatusWindow, NothingToShow) {
    Owner owner;
    EXPECT_EQ(gtPasteStatusMessage(owner.h, nullptr), nullptr);
    EXPECT_EQ(gtPasteStatusMessageEx(owner.h, nullptr, IDS_GT_DELETINGFILES, "C:"), nullptr);
    EXPECT_EQ(gtPasteStatusMessageEx(owner.h, library(), 0, "C:"), nullptr);
    EXPECT_EQ(gtPasteStatusMessageEx(owner.h, library(), 27999, "C:"), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner.h));
    EXPECT_EQ(g_enables, 0);
}
