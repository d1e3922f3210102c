// Exhaustion paths of strings, list and memory blocks, driven through the
// allocator's failure hooks (linked statically).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gtapi32.h"
#include "text/blockheap.h"

namespace {

struct Exhaustion : ::testing::Test {
    void TearDown() override { restore(); }
    static void restore() {
        gt::heap::setFailAbove(0);
        gt::heap::setFailAfter(-1);
    }
};

std::vector<void*> walk(LPGTLIST l) {
    std::vector<void*> out;
    for (LPGTPOSITION p = gtGetHeadPosition(l); p;) out.push_back(gtGetNextElem(&p));
    return out;
}

// ---------------------------------------------------------------- memory

TEST_F(Exhaustion, AllocPtrExSettlesOnTheLargestRequestThatWorks) {
    gt::heap::setFailAbove(10000);
    DWORD size = 0;
    void* p = gtGlobalAllocPtrEx(0x42, 1024, &size);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(size, 65500u - 55 * 1024u);  // first step of 1 KiB below the limit
    gtGlobalFreePtr(p);

    // The minimum itself is tried when the steps pass below it.
    size = 0;
    p = gtGlobalAllocPtrEx(0x42, 9500, &size);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(size, 9500u);
    gtGlobalFreePtr(p);
}

TEST_F(Exhaustion, AllocPtrExEndsWithNullAndTheSizeUnchanged) {
    gt::heap::setFailAbove(10000);
    DWORD size = 0;
    EXPECT_EQ(gtGlobalAllocPtrEx(0x42, 20000, &size), nullptr);
    EXPECT_EQ(size, 0u);
    size = 30000;
    EXPECT_EQ(gtGlobalAllocPtrEx(0x42, 30000, &size), nullptr);
    EXPECT_EQ(size, 30000u);

    gt::heap::setFailAfter(0);  // nothing at all: the walk down must still end
    size = 0;
    EXPECT_EQ(gtGlobalAllocPtrEx(0x42, 0, &size), nullptr);
    EXPECT_EQ(size, 0u);
    size = 70000;
    EXPECT_EQ(gtGlobalAllocPtrEx(0x42, 1, &size), nullptr);
    EXPECT_EQ(size, 70000u);
}

TEST_F(Exhaustion, FailedAllocationAndResize) {
    gt::heap::setFailAfter(1);
    auto* p = static_cast<unsigned char*>(gtGlobalAllocPtr(0x42, 40));
    ASSERT_NE(p, nullptr);
    std::memset(p, 0x44, 40);
    EXPECT_EQ(gtGlobalAllocPtr(0x42, 40), nullptr);
    // A resize that must move fails and leaves the old block whole and live.
    EXPECT_EQ(gtGlobalReAllocPtr(p, 5000, 0x42), nullptr);
    for (int i = 0; i < 40; ++i) ASSERT_EQ(p[i], 0x44);
    restore();
    EXPECT_TRUE(gtGlobalFreePtr(p));
}

TEST(Heap, CapacityAndLivenessOnlyForBlockStarts) {
    auto* p = static_cast<char*>(gt::heap::allocate(20));
    ASSERT_NE(p, nullptr);
    EXPECT_GE(gt::heap::capacity(p), 20u);
    EXPECT_TRUE(gt::heap::isLive(p));
    EXPECT_FALSE(gt::heap::isLive(p + 1));
    EXPECT_EQ(gt::heap::capacity(p + 1), 0u);
    auto* big = static_cast<char*>(gt::heap::allocate(1 << 20));
    EXPECT_GE(gt::heap::capacity(big), size_t(1) << 20);
    EXPECT_FALSE(gt::heap::isLive(big + 65536));
    EXPECT_TRUE(gt::heap::release(p));
    EXPECT_TRUE(gt::heap::release(big));
    EXPECT_FALSE(gt::heap::isLive(p));
    EXPECT_FALSE(gt::heap::isLive(big));
}

// ---------------------------------------------------------------- strings

TEST_F(Exhaustion, CaseInsensitiveSearchGivesNoMatchWithoutItsBlocks) {
    const char* text = "Hello World";
    gt::heap::setFailAfter(0);
    EXPECT_EQ(gtStrStri(text, "world"), nullptr);
    gt::heap::setFailAfter(1);  // the text's copy works, the pattern's does not
    EXPECT_EQ(gtStrStri(text, "world"), nullptr);
    restore();
    EXPECT_EQ(gtStrStri(text, "world"), text + 6);

    std::string longText(20000, 'a');
    longText += "Needle";
    gt::heap::setFailAbove(10000);
    EXPECT_EQ(gtStrStri(longText.c_str(), "NEEDLE"), nullptr);
    EXPECT_FALSE(gtIsStrStri(longText.c_str(), "NEEDLE"));
    EXPECT_EQ(gtFindString(longText.c_str(), "NEEDLE", 0), nullptr);
    EXPECT_EQ(gtFindString(longText.c_str(), "Needle", 1), longText.c_str() + 20000);

    // Replacement sees no match and copies the source.
    gt::heap::setFailAfter(0);
    char out[32];
    EXPECT_TRUE(gtStuffStr("a-B-c", "b", 1, "X", TRUE, 0, out));
    EXPECT_STREQ(out, "a-B-c");
    EXPECT_TRUE(gtStuffStr("a-B-c", "B", 1, "X", TRUE, 1, out));  // case-sensitive needs no block
    EXPECT_STREQ(out, "a-X-c");
}

TEST_F(Exhaustion, StrStriReleasesItsBlocksOnEveryPath) {
    // Both copies fall in the smallest class: a block kept by any failed
    // search would take one of the two slots released here.
    void* a = gtGlobalAllocPtr(0x42, 12);
    void* b = gtGlobalAllocPtr(0x42, 12);
    gtGlobalFreePtr(a);
    gtGlobalFreePtr(b);
    for (int i = 0; i < 1000; ++i) {
        gt::heap::setFailAfter(i % 3);
        gtStrStri("abcdefghi", "DEF");
    }
    restore();
    void* c = gtGlobalAllocPtr(0x42, 12);
    void* d = gtGlobalAllocPtr(0x42, 12);
    // The same two slots are on top of the free list again.
    EXPECT_TRUE((c == a || c == b) && (d == a || d == b) && c != d);
    gtGlobalFreePtr(c);
    gtGlobalFreePtr(d);
}

TEST_F(Exhaustion, TokenizerHandleAndEmbedding) {
    gt::heap::setFailAfter(0);
    LPGTSTRTOK t = gtStartStrTok(TRUE, TRUE);
    EXPECT_EQ(t, nullptr);
    char text[] = "a,b";
    EXPECT_EQ(gtContinueStrTok(t, text, ','), nullptr);
    EXPECT_FALSE(gtEndStrTok(t));
    EXPECT_STREQ(text, "a,b");

    char value[445] = "d1,d2,c:\\x.exe,fmt";
    GTEMBEDDING e{};
    EXPECT_FALSE(gtDecomposeEmbeddingString("K", value, &e));
}

// ---------------------------------------------------------------- list

TEST_F(Exhaustion, FailedInsertionsLeaveTheListUnchanged) {
    LPGTLIST l = gtCreateList();
    ASSERT_NE(l, nullptr);
    int v[4] = {};
    gtAddTailElem(l, &v[0], 0);
    gtAddTailElem(l, &v[1], 0);
    const std::vector<void*> before = walk(l);
    LPGTPOSITION head = gtGetHeadPosition(l), tail = gtGetTailPosition(l);

    for (long budget : {0L, 1L}) {  // 1: the record works, the private copy does not
        auto failing = [budget] { gt::heap::setFailAfter(budget); };
        failing();
        EXPECT_EQ(gtAddTailElem(l, &v[2], 16), nullptr) << budget;
        failing();
        EXPECT_EQ(gtAddHeadElem(l, &v[2], 16), nullptr) << budget;
        failing();
        EXPECT_EQ(gtInsertElemBefore(l, tail, &v[2], 16), nullptr) << budget;
        failing();
        EXPECT_EQ(gtInsertElemAfter(l, head, &v[2], 16), nullptr) << budget;
        gt::heap::setFailAfter(0);  // the copy is its only block
        EXPECT_EQ(gtSetElemAt(head, &v[2], 16), nullptr) << budget;
        restore();
        EXPECT_EQ(walk(l), before);
        EXPECT_EQ(gtGetElemCount(l), 2u);
        EXPECT_EQ(gtGetHeadPosition(l), head);
        EXPECT_EQ(gtGetTailPosition(l), tail);
        EXPECT_EQ(head->pPrev, nullptr);
        EXPECT_EQ(tail->pNext, nullptr);
        EXPECT_EQ(head->dwSize, 0u);
    }
    gt::heap::setFailAfter(0);
    EXPECT_EQ(gtCreateList(), nullptr);
    restore();
    gtDestroyList(l);
}

TEST_F(Exhaustion, CopyFailingMidwayLeavesTheDestinationAsItWas) {
    LPGTLIST src = gtCreateList();
    char payload[16] = "sixteen bytes..";
    int refs[6] = {};
    for (int i = 0; i < 6; ++i) {
        if (i % 2) gtAddTailElem(src, payload, sizeof(payload));  // two blocks each
        else gtAddTailElem(src, &refs[i], 0);                     // one block each
    }
    const std::vector<void*> srcBefore = walk(src);

    // Every failure point of the copy: into an empty and a filled destination.
    for (long budget = 0; budget < 9; ++budget) {
        for (bool filled : {false, true}) {
            LPGTLIST dest = gtCreateList();
            int own = 0;
            if (filled) gtAddTailElem(dest, &own, 0);
            const std::vector<void*> destBefore = walk(dest);
            LPGTPOSITION destTail = gtGetTailPosition(dest);

            gt::heap::setFailAfter(budget);
            EXPECT_FALSE(gtCopyList(dest, src)) << budget;
            EXPECT_FALSE(gtMergeList(dest, src)) << budget;  // and the source survives
            restore();

            EXPECT_EQ(walk(dest), destBefore) << budget;
            EXPECT_EQ(gtGetElemCount(dest), filled ? 1u : 0u);
            EXPECT_EQ(gtGetTailPosition(dest), destTail);
            if (destTail) {
                EXPECT_EQ(destTail->pNext, nullptr);
            }
            EXPECT_EQ(gtIsListEmpty(dest), filled ? FALSE : TRUE);
            EXPECT_EQ(walk(src), srcBefore);
            gtDestroyList(dest);
        }
    }
    // With enough memory the copy goes through (9 blocks).
    LPGTLIST dest = gtCreateList();
    gt::heap::setFailAfter(9);
    EXPECT_TRUE(gtCopyList(dest, src));
    restore();
    EXPECT_EQ(gtGetElemCount(dest), 6u);
    gtDestroyList(dest);
    gtDestroyList(src);
}

}  // namespace
