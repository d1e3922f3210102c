// List boxes on real windows: reading and deleting a multiple selection.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "gtapi32.h"

TEST(ListBox, MultipleSelectionDelete) {
    HWND host = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    HWND multi = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_EXTENDEDSEL | LBS_HASSTRINGS, 0, 0, 99, 200, host, HMENU(1), nullptr, nullptr);
    HWND single = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_HASSTRINGS, 0, 0, 99, 200, host, HMENU(2), nullptr, nullptr);
    for (const char* s : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"})
        for (HWND lb : {multi, single}) SendMessageA(lb, LB_ADDSTRING, 0, LPARAM(s));
    INT count = -5;
    EXPECT_EQ(gtGetLBSelItems(multi, &count), nullptr);  // nothing selected
    SendMessageA(single, LB_SETCURSEL, 3, 0);
    EXPECT_FALSE(gtDeleteLBSelItems(single));
    for (int i : {7, 1, 4}) SendMessageA(multi, LB_SETSEL, TRUE, i);
    LPINT items = gtGetLBSelItems(multi, &count);
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(std::vector<int>(items, items + count), (std::vector<int>{1, 4, 7}));
    gtGlobalFreePtr(items);
    EXPECT_TRUE(gtDeleteLBSelItems(multi));
    std::string left; char b[8];
    for (int i = 0; SendMessageA(multi, LB_GETTEXT, i, LPARAM(b)) > 0; ++i) left += b;
    EXPECT_EQ(left, "0235689");
    DestroyWindow(host);
}
