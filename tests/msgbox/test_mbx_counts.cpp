// Button counts beyond what a box can show are refused before any window
// is made; the limit itself still shows its unfilled buttons.
#include <windows.h>

#include <gtest/gtest.h>

#include "gtapi32.h"

namespace {

struct BoxSeen {
    bool shown;
    int buttons;
};
BoxSeen g_box;

BOOL CALLBACK countButton(HWND child, LPARAM) {
    char cls[16] = {};
    GetClassNameA(child, cls, sizeof cls);
    g_box.buttons += lstrcmpiA(cls, "Button") == 0;
    return TRUE;
}

BOOL CALLBACK findBox(HWND w, LPARAM found) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

void CALLBACK endBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findBox, reinterpret_cast<LPARAM>(&box));
    if (!box || g_box.shown) return;
    g_box.shown = true;
    EnumChildWindows(box, countButton, 0);
    EndDialog(box, 4242);
}

TEST(Box, CountsBeyondWhatABoxCanShowAreRefused) {
    const struct { const char* name; WORD count; bool shown; int result; } rows[] = {
        {"the limit: 64 buttons, 63 of them unfilled", 64, true, 4242},
        {"one above the limit", 65, false, 0},
        {"a thousand", 1000, false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        char keywords[] = "GTMB_OK";
        GTMBDEF def{};
        def.wButtonCount = row.count;
        def.pszKeywords = keywords;
        g_box = BoxSeen{false, 0};
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, endBox);
        const int result = gtMessageBoxExtended(nullptr, nullptr, nullptr, "count", "hostile", &def);
        KillTimer(nullptr, timer);
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(g_box.shown, row.shown);
        EXPECT_EQ(g_box.buttons, row.shown ? row.count : 0);
    }
}

}  // namespace
