// Hostile calls through the DLL, each a fault that once got through:
// expansions inside blocks, positions of another list, searches left open,
// box button counts, and INI names the platform cannot take.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "ZProfile.h"
#include "gtapi32.h"
#include "testutil.h"

namespace {

// --- placeholder expansion inside a block

std::string g_insert;
LPCSTR GTCALLBACK insert(int, DWORD, DWORD) { return g_insert.c_str(); }

TEST(FormatString, ATextInsideABlockIsCutToTheRestOfTheBlock) {
    const struct { const char* name; DWORD size, offset, inserted, want; } rows[] = {
        {"middle of a 64-byte block", 64, 32, 200, 31},
        {"eight bytes before the end of a 64 KiB block", 65536, 65528, 2000, 7},
        {"start of a 100-byte block", 100, 0, 300, 111},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        char* a = static_cast<char*>(gtGlobalAllocPtr(0x42, row.size));
        char* b = static_cast<char*>(gtGlobalAllocPtr(0x42, row.size));
        std::memset(b, 'B', row.size);
        std::strcpy(a + row.offset, "%1");
        g_insert.assign(row.inserted, 'A');
        stFormatString(a + row.offset, 0, insert, 0);
        EXPECT_EQ(std::strlen(a + row.offset), row.want);
        EXPECT_EQ(static_cast<DWORD>(std::count(b, b + row.size, 'B')), row.size);  // the next block untouched
        gtGlobalFreePtr(a);
        gtGlobalFreePtr(b);
    }
}

// --- positions of another list

DWORD walkCount(LPGTLIST l) {
    DWORD n = 0;
    for (LPGTPOSITION p = gtGetHeadPosition(l); p && n < 100; gtGetNextElem(&p)) ++n;
    return n;
}

TEST(List, PositionsOfAnotherListAreRefused) {
    enum Op { Remove, InsertAfter, InsertBefore, Index };
    const struct { const char* name; Op op; int which; } rows[] = {  // which: 0 head, 1 middle, 2 tail of the other list
        {"remove the middle", Remove, 1}, {"remove the head", Remove, 0},
        {"insert after the middle", InsertAfter, 1}, {"insert before the middle", InsertBefore, 1},
        {"insert before the tail", InsertBefore, 2},
        {"index of the middle", Index, 1},
    };
    int data = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LPGTLIST a = gtCreateList(), b = gtCreateList();
        gtAddTailElem(a, &data, 0);
        LPGTPOSITION pos[3];
        for (LPGTPOSITION& p : pos) p = gtAddTailElem(b, &data, 0);
        LPGTPOSITION at = pos[row.which];
        bool done = false;
        switch (row.op) {
            case Remove: done = gtRemoveElemAt(a, at, TRUE) != FALSE; break;
            case InsertAfter: done = gtInsertElemAfter(a, at, &data, 0) != nullptr; break;
            case InsertBefore: done = gtInsertElemBefore(a, at, &data, 0) != nullptr; break;
            case Index: done = gtGetElemIndex(a, at) != 0xFFFFFFFF; break;
        }
        EXPECT_FALSE(done);
        EXPECT_EQ(gtGetElemCount(a), 1u);
        EXPECT_EQ(walkCount(a), 1u);
        EXPECT_EQ(gtGetElemCount(b), 3u);
        EXPECT_EQ(walkCount(b), 3u);
        gtDestroyList(a);
        gtDestroyList(b);
    }
}

// --- searches left open

TEST(Find, SearchesLeftOpenNeitherExhaustTheServiceNorEmptyADisk) {
    const std::string dir = testutil::freshTempDir("hostile_find");
    CloseHandle(CreateFileA((dir + "one.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    std::vector<HANDLE> open;
    for (int i = 0; i < 5000; ++i) open.push_back(gtFindFirst((dir + "*").c_str(), nullptr, 23));
    DWORD opened = 0;
    for (HANDLE h : open) opened += h != nullptr;
    EXPECT_EQ(opened, 5000u);
    GTFINDDATA fd{};
    HANDLE more = gtFindFirst((dir + "one.txt").c_str(), &fd, 7);
    EXPECT_NE(more, nullptr);
    EXPECT_STREQ(fd.szName, "one.txt");
    gtFindClose(more);
    EXPECT_FALSE(gtIsDiskEmpty('C'));
    DWORD closed = 0;
    for (HANDLE h : open) closed += gtFindClose(h) != FALSE;
    EXPECT_EQ(closed, 5000u);
    DeleteFileA((dir + "one.txt").c_str());
    RemoveDirectoryA(dir.c_str());
}

// --- button counts of a box

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

// --- rectangles past 2^31

TEST(FitRect, AWidthPast2To31GivesAProperRectangle) {
    RECT r{INT_MIN, 0, 1025, 100}, area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    gtFitRectToScreen(&r);
    EXPECT_LE(r.left, r.right);
    EXPECT_EQ(r.left, area.left);  // wider than the area: at its left edge
}

// --- INI names the platform cannot take

TEST(Profile, IniTextsBeyondTheFormatAreRefused) {
    const std::string dir = testutil::freshTempDir("hostile_ini");
    std::string file = dir + "store.ini", relative(600, 'r'), section(32767, 's'), value(32768, 'v'), fits(32000, 'f');
    char key[] = "key", plain[] = "plain";
    const struct { const char* name; std::string file; char *section, *key, *value; BOOL want; } rows[] = {
        {"relative name of 600 characters", relative, plain, key, plain, FALSE},
        {"section of 32,767 characters", file, &section[0], key, plain, FALSE},
        {"value of 32,768 characters", file, plain, key, &value[0], FALSE},
        {"null section with a value", file, nullptr, key, plain, FALSE},
        {"value of 32,000 characters", file, plain, key, &fits[0], TRUE},
    };
    for (const auto& row : rows) {
        std::vector<char> name(row.file.begin(), row.file.end() + 1);
        ZProfile store(name.data(), nullptr);
        EXPECT_EQ(store.WriteProfileStringA(row.section, row.key, row.value), row.want) << "case " << row.name;
    }
    DeleteFileA(file.c_str());
    RemoveDirectoryA(dir.c_str());
}

}  // namespace
