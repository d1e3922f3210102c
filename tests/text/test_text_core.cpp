// Exhaustion paths of memory blocks and the list, driven through the allocator's failure hooks.
#include <gtest/gtest.h>

#include <vector>
#include "gtapi32.h"
#include "text/blockheap.h"

namespace {

void restore() { gt::heap::setFailAbove(0), gt::heap::setFailAfter(-1); }
struct Exhaustion : ::testing::Test { void TearDown() override { restore(); } };

std::vector<void*> walk(LPGTLIST l) {
    std::vector<void*> out;
    for (LPGTPOSITION p = gtGetHeadPosition(l); p;) out.push_back(gtGetNextElem(&p));
    return out;
}

TEST_F(Exhaustion, AllocPtrExSettlesOnTheLargestRequestThatWorksAndEnds) {
    struct { long failAfter; DWORD min, start; bool ok; DWORD after; } cases[] = {  // all but the last two fail above 10000
        {-1, 1024, 0, true, 65500u - 55 * 1024u},  // first 1 KiB step below the limit
        {-1, 9500, 0, true, 9500}, {-1, 20000, 0, false, 0}, {-1, 30000, 30000, false, 30000},
        {0, 0, 0, false, 0}, {0, 1, 70000, false, 70000}};  // nothing at all: the walk down must still end
    for (const auto& c : cases) {
        gt::heap::setFailAbove(c.failAfter < 0 ? 10000 : 0), gt::heap::setFailAfter(c.failAfter);
        DWORD size = c.start;
        void* p = gtGlobalAllocPtrEx(0x42, c.min, &size);
        EXPECT_TRUE((p != nullptr) == c.ok && size == c.after) << c.min << " " << size;
        gtGlobalFreePtr(p);
    }
}

TEST_F(Exhaustion, FailedInsertionsAndCopiesLeaveTheListsAsTheyWere) {
    LPGTLIST src = gtCreateList();
    char payload[16] = "sixteen bytes..";
    for (int i = 0; i < 6; ++i) gtAddTailElem(src, payload, i % 2 ? sizeof(payload) : 0);  // odd ones: two blocks
    const std::vector<void*> srcBefore = walk(src);
    LPGTPOSITION head = gtGetHeadPosition(src);
    for (long budget : {0L, 1L})  // 1: the record works, the private copy does not
        EXPECT_TRUE((gt::heap::setFailAfter(budget), !gtAddTailElem(src, payload, 16)) &&
                    (gt::heap::setFailAfter(budget), !gtInsertElemAfter(src, head, payload, 16))) << budget;
    restore();
    EXPECT_EQ(walk(src), srcBefore);
    for (long budget = 0; budget <= 9; ++budget) {  // every failure point of the copy (9 blocks)
        for (bool filled : {false, true}) {
            LPGTLIST dest = gtCreateList();
            if (filled) gtAddTailElem(dest, payload, 0);
            const std::vector<void*> destBefore = walk(dest);
            LPGTPOSITION destTail = gtGetTailPosition(dest);
            gt::heap::setFailAfter(budget);
            EXPECT_EQ(!!gtCopyList(dest, src), budget == 9) << budget;
            if (budget < 9) {
                EXPECT_FALSE(gtMergeList(dest, src)) << budget;  // and the source survives
                EXPECT_TRUE(walk(dest) == destBefore && gtGetElemCount(dest) == destBefore.size()) << budget;
                EXPECT_TRUE(gtGetTailPosition(dest) == destTail && (!destTail || !destTail->pNext)) << budget;
            }
            restore();
            EXPECT_EQ(walk(src), srcBefore);
            gtDestroyList(dest);
        }
    }
    gtDestroyList(src);
}

}  // namespace
