// Exhaustion paths of memory blocks and the list, driven through the allocator's failure hooks.
#include <gtest/gtest.h>

#include <vector>
#include "gtapi32.h"
#include "text/blockheap.h"

namespace {

void restore() {
    gt::heap::setFailAbove(0);
    gt::heap::setFailAfter(-1);
}
struct Exhaustion : ::testing::Test {
    void TearDown() override { restore(); }
};

std::vector<void*> walk(LPGTLIST l) {
    std::vector<void*> out;
    for (LPGTPOSITION p = gtGetHeadPosition(l); p;) out.push_back(gtGetNextElem(&p));
    return out;
}

TEST_F(Exhaustion, AllocPtrExSettlesOnTheLargestRequestThatWorksAndEnds) {
    const struct {
        const char* name;
        long failAfter;  // -1: everything above 10000 bytes fails; else nothing after that many
        DWORD min, start;
        bool ok;
        DWORD after;
    } rows[] = {
        {"first 1 KiB step below the limit", -1, 1024, 0, true, 65500u - 55 * 1024u},
        {"the minimum itself", -1, 9500, 0, true, 9500},
        {"minimum above the limit", -1, 20000, 0, false, 0},
        {"start at the minimum above the limit", -1, 30000, 30000, false, 30000},
        {"nothing at all, minimum 0", 0, 0, 0, false, 0},
        {"nothing at all, minimum 1", 0, 1, 70000, false, 70000},  // the walk down must still end
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        gt::heap::setFailAbove(row.failAfter < 0 ? 10000 : 0);
        gt::heap::setFailAfter(row.failAfter);
        DWORD size = row.start;
        void* p = gtGlobalAllocPtrEx(GHND, row.min, &size);
        EXPECT_EQ(p != nullptr, row.ok);
        EXPECT_EQ(size, row.after);
        gtGlobalFreePtr(p);
    }
}

TEST_F(Exhaustion, FailedInsertionsAndCopiesLeaveTheListsAsTheyWere) {
    LPGTLIST src = gtCreateList();
    char payload[16] = "sixteen bytes..";
    for (int i = 0; i < 6; ++i) gtAddTailElem(src, payload, i % 2 ? sizeof(payload) : 0);  // odd ones: two blocks
    const std::vector<void*> srcBefore = walk(src);
    LPGTPOSITION head = gtGetHeadPosition(src);
    for (long budget : {0L, 1L}) {  // 1: the record works, the private copy does not
        SCOPED_TRACE(testing::Message() << "blocks to spare " << budget);
        gt::heap::setFailAfter(budget);
        EXPECT_EQ(gtAddTailElem(src, payload, 16), nullptr);
        gt::heap::setFailAfter(budget);
        EXPECT_EQ(gtInsertElemAfter(src, head, payload, 16), nullptr);
    }
    restore();
    EXPECT_EQ(walk(src), srcBefore);
    for (long budget = 0; budget <= 9; ++budget) {  // every failure point of the copy (9 blocks)
        for (bool filled : {false, true}) {
            LPGTLIST dest = gtCreateList();
            if (filled) gtAddTailElem(dest, payload, 0);
            const std::vector<void*> destBefore = walk(dest);
            LPGTPOSITION destTail = gtGetTailPosition(dest);
            SCOPED_TRACE(testing::Message() << "blocks to spare " << budget << (filled ? ", filled" : ", empty"));
            gt::heap::setFailAfter(budget);
            EXPECT_EQ(gtCopyList(dest, src), budget == 9 ? TRUE : FALSE);
            if (budget < 9) {
                EXPECT_FALSE(gtMergeList(dest, src));  // and the source survives
                EXPECT_EQ(walk(dest), destBefore);
                EXPECT_EQ(gtGetElemCount(dest), destBefore.size());
                EXPECT_EQ(gtGetTailPosition(dest), destTail);
                if (destTail) {
                    EXPECT_EQ(destTail->pNext, nullptr);
                }
            }
            restore();
            EXPECT_EQ(walk(src), srcBefore);
            gtDestroyList(dest);
        }
    }
    gtDestroyList(src);
}

}  // namespace
