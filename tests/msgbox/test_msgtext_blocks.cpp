// Placeholder expansion of a text that lies inside a library block, not at
// its start: cut to the rest of that block, the next block untouched.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "gtapi32.h"

namespace {

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

}  // namespace
