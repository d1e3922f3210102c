// The room left in a library block from any address inside it.
#include <windows.h>

#include <gtest/gtest.h>

#include "text/blockheap.h"

namespace {

TEST(BlockRoom, FromAnyAddressInsideALiveBlock) {
    char* small = static_cast<char*>(gt::heap::allocate(64));
    char* large = static_cast<char*>(gt::heap::allocate(70000));  // two 64 KiB regions
    char* stale = static_cast<char*>(gt::heap::allocate(64));
    gt::heap::release(stale);
    int onStack = 0;
    const struct { const char* name; const void* p; size_t want; } rows[] = {
        {"middle of a small block", small + 32, 32},
        {"last byte of a small block", small + 63, 1},
        {"start of a large block", large, 131072},
        {"second region of a large block", large + 70000, 131072 - 70000},
        {"last byte of a large block", large + 131071, 1},
        {"a released block", stale + 8, 0},
        {"the stack", &onStack, 0},
    };
    for (const auto& row : rows) EXPECT_EQ(gt::heap::roomFrom(row.p), row.want) << "case " << row.name;
    gt::heap::release(small);
    gt::heap::release(large);
}

}  // namespace
