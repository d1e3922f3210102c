// Positions of another list: refused by every operation that takes a
// list and a position, both lists left as they were.
#include <windows.h>

#include <gtest/gtest.h>

#include "gtapi32.h"

namespace {

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

}  // namespace
