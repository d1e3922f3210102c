// Exhaustion paths of strings, list and memory blocks, driven through the
// allocator's failure hooks (linked statically).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
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

TEST_F(Exhaustion, AllocPtrExSettlesOnTheLargestRequestThatWorks) {
    gt::heap::setFailAbove(10000);
    // {minimum, start value, result, size afterwards}
    struct { DWORD min, start; bool ok; DWORD after; } cases[] = {
        {1024, 0, true, 65500u - 55 * 1024u},  // first 1 KiB step below the limit
        {9500, 0, true, 9500},                 // the minimum itself when the steps pass it
        {20000, 0, false, 0}, {30000, 30000, false, 30000}};
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
    for (size_t size : {size_t(20), size_t(1) << 20}) {
        auto* p = static_cast<char*>(gt::heap::allocate(size));
        ASSERT_NE(p, nullptr);
        EXPECT_GE(gt::heap::capacity(p), size);
        EXPECT_TRUE(gt::heap::isLive(p));
        EXPECT_FALSE(gt::heap::isLive(p + size / 2));
        EXPECT_EQ(gt::heap::capacity(p + 1), 0u);
        EXPECT_TRUE(gt::heap::release(p));
        EXPECT_FALSE(gt::heap::isLive(p));
    }
}

// ---------------------------------------------------------------- strings

TEST_F(Exhaustion, SearchesGiveNoMatchWithoutTheirBlocksAndReleaseThem) {
    const char* text = "Hello World";
    for (long budget : {0L, 1L}) {  // 1: the text's copy works, the pattern's does not
        gt::heap::setFailAfter(budget);
        EXPECT_EQ(gtStrStri(text, "world"), nullptr);
    }
    restore();
    EXPECT_EQ(gtStrStri(text, "world"), text + 6);

    std::string longText = std::string(20000, 'a') + "Needle";
    gt::heap::setFailAbove(10000);
    EXPECT_EQ(gtStrStri(longText.c_str(), "NEEDLE"), nullptr);
    EXPECT_FALSE(gtIsStrStri(longText.c_str(), "NEEDLE"));
    EXPECT_EQ(gtFindString(longText.c_str(), "NEEDLE", 0), nullptr);
    EXPECT_EQ(gtFindString(longText.c_str(), "Needle", 1), longText.c_str() + 20000);

    gt::heap::setFailAfter(0);  // replacement sees no match and copies the source
    char out[32];
    EXPECT_TRUE(gtStuffStr("a-B-c", "b", 1, "X", TRUE, 0, out));
    EXPECT_STREQ(out, "a-B-c");
    EXPECT_TRUE(gtStuffStr("a-B-c", "B", 1, "X", TRUE, 1, out));  // case-sensitive needs no block
    EXPECT_STREQ(out, "a-X-c");

    // Both copies fall in the smallest class: a block kept by any failed
    // search would take one of the two slots released here.
    restore();
    void *a = gtGlobalAllocPtr(0x42, 12), *b = gtGlobalAllocPtr(0x42, 12);
    gtGlobalFreePtr(a);
    gtGlobalFreePtr(b);
    for (int i = 0; i < 1000; ++i) {
        gt::heap::setFailAfter(i % 3);
        gtStrStri("abcdefghi", "DEF");
    }
    restore();
    void *c = gtGlobalAllocPtr(0x42, 12), *d = gtGlobalAllocPtr(0x42, 12);
    EXPECT_TRUE((c == a || c == b) && (d == a || d == b) && c != d);
    gtGlobalFreePtr(c);
    gtGlobalFreePtr(d);
}

TEST_F(Exhaustion, TokenizerHandleAndEmbedding) {
    gt::heap::setFailAfter(0);
    LPGTSTRTOK t = gtStartStrTok(TRUE, TRUE);
    EXPECT_EQ(t, nullptr);
    char text[] = "a,b", value[445] = "d1,d2,c:\\x.exe,fmt";
    EXPECT_EQ(gtContinueStrTok(t, text, ','), nullptr);
    EXPECT_FALSE(gtEndStrTok(t));
    EXPECT_STREQ(text, "a,b");
    GTEMBEDDING e{};
    EXPECT_FALSE(gtDecomposeEmbeddingString("K", value, &e));
}

// ---------------------------------------------------------------- list

TEST_F(Exhaustion, FailedInsertionsLeaveTheListUnchanged) {
    LPGTLIST l = gtCreateList();
    ASSERT_NE(l, nullptr);
    int v[3] = {};
    gtAddTailElem(l, &v[0], 0);
    gtAddTailElem(l, &v[1], 0);
    const std::vector<void*> before = walk(l);
    LPGTPOSITION head = gtGetHeadPosition(l), tail = gtGetTailPosition(l);
    const std::function<LPGTPOSITION()> inserts[] = {
        [&] { return gtAddTailElem(l, &v[2], 16); },
        [&] { return gtAddHeadElem(l, &v[2], 16); },
        [&] { return gtInsertElemBefore(l, tail, &v[2], 16); },
        [&] { return gtInsertElemAfter(l, head, &v[2], 16); }};
    for (long budget : {0L, 1L}) {  // 1: the record works, the private copy does not
        for (const auto& insert : inserts) {
            gt::heap::setFailAfter(budget);
            EXPECT_EQ(insert(), nullptr) << budget;
        }
    }
    gt::heap::setFailAfter(0);  // the copy is its only block
    EXPECT_EQ(gtSetElemAt(head, &v[2], 16), nullptr);
    EXPECT_EQ(gtCreateList(), nullptr);
    restore();
    EXPECT_EQ(walk(l), before);
    EXPECT_EQ(gtGetElemCount(l), 2u);
    EXPECT_EQ(gtGetHeadPosition(l), head);
    EXPECT_EQ(gtGetTailPosition(l), tail);
    EXPECT_EQ(head->pPrev, nullptr);
    EXPECT_EQ(tail->pNext, nullptr);
    EXPECT_EQ(head->dwSize, 0u);
    gtDestroyList(l);
}

TEST_F(Exhaustion, CopyFailingMidwayLeavesTheDestinationAsItWas) {
    LPGTLIST src = gtCreateList();
    char payload[16] = "sixteen bytes..";
    int refs[6] = {};
    for (int i = 0; i < 6; ++i)  // odd ones hold a private copy: two blocks each
        gtAddTailElem(src, i % 2 ? static_cast<void*>(payload) : &refs[i], i % 2 ? sizeof(payload) : 0);
    const std::vector<void*> srcBefore = walk(src);
    // Every failure point of the copy (9 blocks), into an empty and a filled destination.
    for (long budget = 0; budget <= 9; ++budget) {
        for (bool filled : {false, true}) {
            LPGTLIST dest = gtCreateList();
            int own = 0;
            if (filled) gtAddTailElem(dest, &own, 0);
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
                EXPECT_EQ(!!gtIsListEmpty(dest), !filled);
            } else {
                EXPECT_EQ(gtGetElemCount(dest), filled ? 7u : 6u);
            }
            restore();
            EXPECT_EQ(walk(src), srcBefore);
            gtDestroyList(dest);
        }
    }
    gtDestroyList(src);
}

}  // namespace
