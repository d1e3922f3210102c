// Exhaustion paths of memory blocks and the list, driven through the allocator's failure hooks.
#include <gtest/gtest.h>

#include <windows.h>

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

// Every slot of a whole arena, in each kind of size class: the block's
// capacity is its class, its start is live, an address inside it is not.
TEST(BlockHeap, SlotStartsAcrossWholeArenas) {
    struct Case { size_t size, capacity; };
    const Case cases[] = {{1, 16},     {16, 16},     {17, 32},     {64, 64},       {65, 80},
                          {129, 160},  {1000, 1024}, {1025, 1280}, {16384, 16384}, {16385, 65536}};
    for (const Case& c : cases) {
        std::vector<char*> blocks;
        for (size_t i = 0; i < 256 * 1024 / c.capacity + 2; ++i) blocks.push_back(static_cast<char*>(gt::heap::allocate(c.size)));
        for (size_t i = 0; i < blocks.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "size " << c.size << " block " << i);
            ASSERT_EQ(gt::heap::capacity(blocks[i]), c.capacity);
            ASSERT_FALSE(gt::heap::isLive(blocks[i] + 1));
            ASSERT_FALSE(gt::heap::isLive(blocks[i] + c.capacity - 1));
        }
        for (size_t i = 0; i < blocks.size(); ++i) ASSERT_TRUE(gt::heap::release(blocks[i])) << "size " << c.size << " block " << i;
    }
}

// Threads allocating and releasing at once never share a block.
constexpr int kThreads = 4, kBlocks = 2000, kRounds = 200;
struct Worker { int tag; int damaged; HANDLE start; };

DWORD WINAPI hammer(LPVOID arg) {
    auto* w = static_cast<Worker*>(arg);
    WaitForSingleObject(w->start, INFINITE);
    std::vector<int*> mine(kBlocks);
    for (int r = 0; r < kRounds; ++r) {
        for (int*& p : mine) {
            p = static_cast<int*>(gtGlobalAllocPtr(GHND, 64));
            *p = w->tag;
        }
        for (int* p : mine) w->damaged += *p != w->tag;
        for (int* p : mine) gtGlobalFreePtr(p);
    }
    return 0;
}

TEST(BlockHeap, ConcurrentThreadsNeverShareABlock) {
    Worker workers[kThreads];
    HANDLE threads[kThreads];
    HANDLE start = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    for (int t = 0; t < kThreads; ++t) {
        workers[t] = {t + 1, 0, start};
        threads[t] = CreateThread(nullptr, 0, &hammer, &workers[t], 0, nullptr);
    }
    SetEvent(start);
    WaitForMultipleObjects(kThreads, threads, TRUE, INFINITE);
    for (int t = 0; t < kThreads; ++t) {
        CloseHandle(threads[t]);
        EXPECT_EQ(workers[t].damaged, 0) << "thread " << t;
    }
    CloseHandle(start);
}
