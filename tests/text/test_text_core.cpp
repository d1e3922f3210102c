// Exhaustion paths of memory blocks and the list, driven through the allocator's failure hooks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gtapi32.h"
#include "text/blockheap.h"

namespace {

struct Exhaustion : ::testing::Test {
    void TearDown() override { restore(); }
    static void restore() { gt::heap::setFailAbove(0), gt::heap::setFailAfter(-1); }
};

std::vector<void*> walk(LPGTLIST l) {
    std::vector<void*> out;
    for (LPGTPOSITION p = gtGetHeadPosition(l); p;) out.push_back(gtGetNextElem(&p));
    return out;
}

TEST_F(Exhaustion, AllocPtrExSettlesOnTheLargestRequestThatWorksAndEnds) {
    gt::heap::setFailAbove(10000);
    struct { DWORD min, start; bool ok; DWORD after; } cases[] = {
        {1024, 0, true, 65500u - 55 * 1024u},  // first 1 KiB step below the limit
        {9500, 0, true, 9500}, {20000, 0, false, 0}, {30000, 30000, false, 30000}};
    for (const auto& c : cases) {
        DWORD size = c.start;
        void* p = gtGlobalAllocPtrEx(0x42, c.min, &size);
        EXPECT_EQ(p != nullptr, c.ok) << c.min;
        EXPECT_EQ(size, c.after) << c.min;
        gtGlobalFreePtr(p);
    }
    gt::heap::setFailAfter(0);  // nothing at all: the walk down must still end
    for (DWORD start : {0u, 70000u}) {
        DWORD size = start;
        EXPECT_EQ(gtGlobalAllocPtrEx(0x42, start ? 1 : 0, &size), nullptr);
        EXPECT_EQ(size, start);
    }
    restore();
    auto* p = static_cast<unsigned char*>(std::memset(gtGlobalAllocPtr(0x42, 40), 0x44, 40));
    gt::heap::setFailAfter(0);  // a resize that must move fails and leaves the block whole
    EXPECT_EQ(gtGlobalReAllocPtr(p, 5000, 0x42), nullptr);
    for (int i = 0; i < 40; ++i) ASSERT_EQ(p[i], 0x44);
    restore();
    EXPECT_TRUE(gtGlobalFreePtr(p));
}

TEST_F(Exhaustion, FailedInsertionsAndCopiesLeaveTheListsAsTheyWere) {
    LPGTLIST src = gtCreateList();
    char payload[16] = "sixteen bytes..";
    int refs[6] = {};
    for (int i = 0; i < 6; ++i)  // odd ones hold a private copy: two blocks each
        gtAddTailElem(src, i % 2 ? static_cast<void*>(payload) : &refs[i], i % 2 ? sizeof(payload) : 0);
    const std::vector<void*> srcBefore = walk(src);
    LPGTPOSITION head = gtGetHeadPosition(src), tail = gtGetTailPosition(src);
    for (long budget : {0L, 1L}) {  // 1: the record works, the private copy does not
        gt::heap::setFailAfter(budget);
        EXPECT_EQ(gtAddTailElem(src, refs, 16), nullptr);
        gt::heap::setFailAfter(budget);
        EXPECT_EQ(gtInsertElemBefore(src, tail, refs, 16), nullptr);
        gt::heap::setFailAfter(budget);
        EXPECT_EQ(gtInsertElemAfter(src, head, refs, 16), nullptr);
    }
    restore();
    EXPECT_EQ(walk(src), srcBefore);
    EXPECT_EQ(gtGetTailPosition(src), tail);
    for (long budget = 0; budget <= 9; ++budget) {  // every failure point of the copy (9 blocks)
        for (bool filled : {false, true}) {
            LPGTLIST dest = gtCreateList();
            if (filled) gtAddTailElem(dest, refs, 0);
            const std::vector<void*> destBefore = walk(dest);
            LPGTPOSITION destTail = gtGetTailPosition(dest);
            gt::heap::setFailAfter(budget);
            EXPECT_EQ(!!gtCopyList(dest, src), budget == 9) << budget;
            if (budget < 9) {
                EXPECT_FALSE(gtMergeList(dest, src)) << budget;  // and the source survives
                EXPECT_EQ(walk(dest), destBefore) << budget;
                EXPECT_EQ(gtGetElemCount(dest), filled ? 1u : 0u);
                EXPECT_EQ(gtGetTailPosition(dest), destTail);
                if (destTail) { EXPECT_EQ(destTail->pNext, nullptr); }
            }
            restore();
            EXPECT_EQ(walk(src), srcBefore);
            gtDestroyList(dest);
        }
    }
    gtDestroyList(src);
}

}  // namespace
