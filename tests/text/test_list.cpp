// Linked list through the DLL.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "gtapi32.h"

namespace {

// Data pointers in head-to-tail order, checked against the backward walk and
// the count so that a broken link in either direction shows.
std::vector<void*> forward(LPGTLIST l) {
    std::vector<void*> out, back;
    for (LPGTPOSITION p = gtGetHeadPosition(l); p;) out.push_back(gtGetNextElem(&p));
    for (LPGTPOSITION p = gtGetTailPosition(l); p;) back.insert(back.begin(), gtGetPrevElem(&p));
    EXPECT_EQ(out, back) << "forward and backward walks differ";
    EXPECT_EQ(out.size(), gtGetElemCount(l));
    return out;
}

int g_items[8];
void* item(int i) { return &g_items[i]; }

struct ListFixture : ::testing::Test {
    LPGTLIST l = nullptr;
    void SetUp() override { l = gtCreateList(); ASSERT_NE(l, nullptr); }
    void TearDown() override {
        if (l) {
            EXPECT_TRUE(gtDestroyList(l));
        }
    }
    std::vector<void*> abc() {
        gtAddTailElem(l, item(0), 0);
        gtAddTailElem(l, item(1), 0);
        gtAddTailElem(l, item(2), 0);
        return {item(0), item(1), item(2)};
    }
};

TEST_F(ListFixture, FreshListIsEmpty) {
    EXPECT_EQ(gtGetElemCount(l), 0u);
    EXPECT_TRUE(gtIsListEmpty(l));
    EXPECT_EQ(gtGetHeadPosition(l), nullptr);
    EXPECT_EQ(gtGetTailPosition(l), nullptr);
    EXPECT_EQ(l->wTag, 0x474C);
    EXPECT_EQ(std::memcmp(l, "LG", 2), 0);
}

TEST_F(ListFixture, HeadAndTailInsertion) {
    LPGTPOSITION a = gtAddTailElem(l, item(0), 0);
    LPGTPOSITION b = gtAddHeadElem(l, item(1), 0);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(forward(l), (std::vector<void*>{item(1), item(0)}));
    EXPECT_EQ(gtGetHeadPosition(l), b);
    EXPECT_EQ(gtGetTailPosition(l), a);
    EXPECT_FALSE(gtIsListEmpty(l));
    EXPECT_EQ(std::memcmp(a, "LM", 2), 0);
}

TEST_F(ListFixture, InsertAroundPositions) {
    abc();
    LPGTPOSITION tail = gtGetTailPosition(l);
    ASSERT_NE(gtInsertElemBefore(l, tail, item(3), 0), nullptr);
    EXPECT_EQ(forward(l), (std::vector<void*>{item(0), item(1), item(3), item(2)}));
    EXPECT_EQ(gtGetElemCount(l), 4u);

    LPGTPOSITION t = gtInsertElemAfter(l, tail, item(4), 0);
    EXPECT_EQ(gtGetTailPosition(l), t);
    LPGTPOSITION h = gtInsertElemBefore(l, gtGetHeadPosition(l), item(5), 0);
    EXPECT_EQ(gtGetHeadPosition(l), h);
    // NULL position: the ends.
    gtInsertElemBefore(l, nullptr, item(6), 0);
    gtInsertElemAfter(l, nullptr, item(7), 0);
    EXPECT_EQ(forward(l), (std::vector<void*>{item(6), item(5), item(0), item(1), item(3), item(2),
                                              item(4), item(7)}));
    LPGTPOSITION mid = gtGetElemPosition(l, 3);
    gtInsertElemAfter(l, mid, item(0), 0);
    EXPECT_EQ(gtGetElemAt(gtGetElemPosition(l, 4)), item(0));
    EXPECT_EQ(forward(l).size(), 9u);
}

TEST_F(ListFixture, InsertionIntoAnEmptyListViaNullPositions) {
    LPGTPOSITION p = gtInsertElemAfter(l, nullptr, item(0), 0);
    EXPECT_EQ(gtGetHeadPosition(l), p);
    EXPECT_EQ(gtGetTailPosition(l), p);
    EXPECT_EQ(p->pNext, nullptr);
    EXPECT_EQ(p->pPrev, nullptr);
}

TEST_F(ListFixture, RemovalsKeepEndsAndLinksRight) {
    abc();
    EXPECT_TRUE(gtRemoveElemAt(l, gtGetElemPosition(l, 1), TRUE));
    EXPECT_EQ(forward(l), (std::vector<void*>{item(0), item(2)}));
    EXPECT_TRUE(gtRemoveHeadElem(l, TRUE));
    EXPECT_EQ(gtGetHeadPosition(l)->pPrev, nullptr);
    EXPECT_EQ(forward(l), (std::vector<void*>{item(2)}));
    EXPECT_TRUE(gtRemoveTailElem(l, TRUE));
    EXPECT_TRUE(gtIsListEmpty(l));
    EXPECT_FALSE(gtRemoveTailElem(l, TRUE));
    EXPECT_FALSE(gtRemoveHeadElem(l, TRUE));

    abc();
    EXPECT_TRUE(gtRemoveTailElem(l, FALSE));
    EXPECT_EQ(gtGetTailPosition(l)->pNext, nullptr);
    EXPECT_EQ(forward(l), (std::vector<void*>{item(0), item(1)}));
}

TEST_F(ListFixture, RemoveHeadOfOneElementListEmptiesIt) {
    gtAddTailElem(l, item(0), 0);
    EXPECT_TRUE(gtRemoveHeadElem(l, FALSE));
    EXPECT_TRUE(gtIsListEmpty(l));
    EXPECT_FALSE(gtRemoveHeadElem(l, FALSE));
}

TEST_F(ListFixture, PrivateCopiesAndCallersPointers) {
    char bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    LPGTPOSITION c = gtAddTailElem(l, bytes, 8);
    LPGTPOSITION s = gtAddTailElem(l, bytes, 0);
    void* copy = gtGetElemAt(c);
    EXPECT_NE(copy, bytes);
    EXPECT_EQ(std::memcmp(copy, bytes, 8), 0);
    EXPECT_EQ(gtGetElemAt(s), bytes);
    bytes[0] = 99;
    EXPECT_EQ(static_cast<char*>(copy)[0], 1);  // the copy does not follow the caller
    EXPECT_EQ(c->dwSize, 8u);
    EXPECT_EQ(s->dwSize, 0u);
}

TEST_F(ListFixture, RemovalWithoutFreeDataHandsTheCopyToTheCaller) {
    int v = 7;
    gtAddTailElem(l, &v, sizeof(v));
    void* copy = gtGetElemAt(gtGetHeadPosition(l));
    EXPECT_TRUE(gtRemoveHeadElem(l, FALSE));
    EXPECT_EQ(*static_cast<int*>(copy), 7);
    EXPECT_TRUE(gtGlobalFreePtr(copy));

    gtAddTailElem(l, &v, sizeof(v));
    copy = gtGetElemAt(gtGetHeadPosition(l));
    EXPECT_TRUE(gtRemoveHeadElem(l, TRUE));
    EXPECT_FALSE(gtGlobalFreePtr(copy));  // already released with the element

    gtAddTailElem(l, &v, sizeof(v));
    copy = gtGetElemAt(gtGetHeadPosition(l));
    EXPECT_TRUE(gtRemoveHeadElem(l, 2));  // only 1 releases the data
    EXPECT_TRUE(gtGlobalFreePtr(copy));
}

TEST_F(ListFixture, SetElemAtReturnsTheFormerData) {
    int a = 1, b = 2;
    LPGTPOSITION p = gtAddTailElem(l, &a, 0);
    EXPECT_EQ(gtSetElemAt(p, &b, 0), &a);
    EXPECT_EQ(gtGetElemAt(p), &b);
    EXPECT_EQ(gtSetElemAt(p, &a, sizeof(a)), &b);
    void* copy = gtGetElemAt(p);
    EXPECT_NE(copy, &a);
    EXPECT_EQ(*static_cast<int*>(copy), 1);
    EXPECT_EQ(p->dwSize, sizeof(a));
    // The former private copy now belongs to the caller.
    void* former = gtSetElemAt(p, &b, 0);
    EXPECT_EQ(former, copy);
    EXPECT_TRUE(gtGlobalFreePtr(former));
    EXPECT_EQ(gtSetElemAt(nullptr, &a, 0), nullptr);
}

TEST_F(ListFixture, IndexesAndPositions) {
    abc();
    EXPECT_EQ(gtGetElemPosition(l, 3), nullptr);
    EXPECT_EQ(gtGetElemPosition(l, 0xFFFFFFFF), nullptr);
    EXPECT_EQ(gtGetElemPosition(l, 0), gtGetHeadPosition(l));
    EXPECT_EQ(gtGetElemPosition(l, 2), gtGetTailPosition(l));
    EXPECT_EQ(gtGetElemIndex(l, gtGetHeadPosition(l)), 0u);
    EXPECT_EQ(gtGetElemIndex(l, gtGetTailPosition(l)), 2u);

    LPGTLIST other = gtCreateList();
    LPGTPOSITION foreign = gtAddTailElem(other, item(0), 0);
    EXPECT_EQ(gtGetElemIndex(l, foreign), 0xFFFFFFFFu);
    EXPECT_EQ(gtGetElemIndex(l, nullptr), 0xFFFFFFFFu);
    // A position of another list is refused by removal; both lists stay whole.
    EXPECT_FALSE(gtRemoveElemAt(l, foreign, TRUE));
    EXPECT_EQ(gtGetElemCount(other), 1u);
    EXPECT_EQ(forward(l).size(), 3u);
    gtDestroyList(other);
}

TEST_F(ListFixture, IterationStopsAtTheEnds) {
    abc();
    LPGTPOSITION p = gtGetTailPosition(l);
    EXPECT_EQ(gtGetNextElem(&p), item(2));
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(gtGetNextElem(&p), nullptr);  // variable holds none: left alone
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(gtGetNextElem(nullptr), nullptr);
    EXPECT_EQ(gtGetPrevElem(nullptr), nullptr);
    p = gtGetHeadPosition(l);
    EXPECT_EQ(gtGetPrevElem(&p), item(0));
    EXPECT_EQ(p, nullptr);
}

BOOL GTCALLBACK matchKey(LPGTLIST, DWORD key, LPVOID data, DWORD, DWORD user) {
    ++*reinterpret_cast<int*>(user);
    return *static_cast<int*>(data) == static_cast<int>(key) ? 1 : 0;
}
BOOL GTCALLBACK matchTwo(LPGTLIST, DWORD, LPVOID, DWORD, DWORD) { return 2; }

TEST_F(ListFixture, FindFromEitherEnd) {
    int v[] = {5, 9, 5, 1};
    for (int& x : v) gtAddTailElem(l, &x, 0);
    int calls = 0;
    LPGTPOSITION first = gtFindElemPos(l, 5, TRUE, matchKey, reinterpret_cast<DWORD>(&calls));
    EXPECT_EQ(gtGetElemAt(first), &v[0]);
    EXPECT_EQ(calls, 1);
    calls = 0;
    LPGTPOSITION last = gtFindElemPos(l, 5, FALSE, matchKey, reinterpret_cast<DWORD>(&calls));
    EXPECT_EQ(gtGetElemAt(last), &v[2]);
    EXPECT_EQ(calls, 2);
    calls = 0;
    EXPECT_EQ(gtFindElemPos(l, 42, TRUE, matchKey, reinterpret_cast<DWORD>(&calls)), nullptr);
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(gtFindElemPos(l, 5, TRUE, matchTwo, 0), nullptr);  // only 1 is a match
    EXPECT_EQ(gtFindElemPos(l, 5, TRUE, nullptr, 0), nullptr);
}

TEST_F(ListFixture, CopyAndMerge) {
    abc();
    char bytes[4] = {'x', 'y', 'z', 0};
    gtAddTailElem(l, bytes, 4);

    LPGTLIST dest = gtCreateList();
    gtAddTailElem(dest, item(7), 0);
    EXPECT_TRUE(gtCopyList(dest, l));
    std::vector<void*> d = forward(dest);
    ASSERT_EQ(d.size(), 5u);
    EXPECT_EQ(d[0], item(7));
    EXPECT_EQ(d[1], item(0));
    EXPECT_EQ(d[3], item(2));
    // Private copies are copied again; the source keeps its own.
    EXPECT_NE(d[4], gtGetElemAt(gtGetTailPosition(l)));
    EXPECT_STREQ(static_cast<char*>(d[4]), "xyz");
    EXPECT_EQ(gtGetElemCount(l), 4u);

    LPGTLIST src = gtCreateList();
    gtAddTailElem(src, item(5), 0);
    gtAddTailElem(src, item(6), 0);
    EXPECT_TRUE(gtMergeList(dest, src));
    d = forward(dest);
    ASSERT_EQ(d.size(), 7u);
    EXPECT_EQ(d[5], item(5));
    EXPECT_EQ(d[6], item(6));
    EXPECT_FALSE(gtGlobalFreePtr(src));  // its record is no longer a live block
    gtDestroyList(dest);
}

TEST_F(ListFixture, CopyIntoItselfDoublesAndMergeIntoItselfIsRefused) {
    abc();
    EXPECT_TRUE(gtCopyList(l, l));
    EXPECT_EQ(forward(l), (std::vector<void*>{item(0), item(1), item(2), item(0), item(1), item(2)}));
    EXPECT_FALSE(gtMergeList(l, l));
    EXPECT_EQ(gtGetElemCount(l), 6u);
    EXPECT_FALSE(gtCopyList(l, nullptr));
    EXPECT_FALSE(gtCopyList(nullptr, l));
    EXPECT_FALSE(gtMergeList(l, nullptr));
}

TEST_F(ListFixture, RemoveAllKeepsAUsableList) {
    int v = 3;
    abc();
    gtAddTailElem(l, &v, sizeof(v));
    void* copy = gtGetElemAt(gtGetTailPosition(l));
    EXPECT_TRUE(gtRemoveAllElems(l));
    EXPECT_TRUE(gtIsListEmpty(l));
    EXPECT_FALSE(gtGlobalFreePtr(copy));  // released with its element
    EXPECT_NE(gtAddTailElem(l, item(0), 0), nullptr);
    EXPECT_EQ(forward(l).size(), 1u);
}

TEST_F(ListFixture, WrongTagsAreRefusedWithoutTouchingTheRecord) {
    abc();
    LPGTPOSITION head = gtGetHeadPosition(l);
    GTLIST listCopy = *l;
    GTPOSITION headCopy = *head;
    auto asList = reinterpret_cast<LPGTLIST>(head);
    auto asPos = reinterpret_cast<LPGTPOSITION>(l);

    EXPECT_FALSE(gtDestroyList(asList));
    EXPECT_FALSE(gtRemoveAllElems(asList));
    EXPECT_EQ(gtAddHeadElem(asList, item(0), 0), nullptr);
    EXPECT_EQ(gtAddTailElem(asList, item(0), 0), nullptr);
    EXPECT_EQ(gtInsertElemBefore(l, asPos, item(0), 0), nullptr);
    EXPECT_EQ(gtInsertElemAfter(l, asPos, item(0), 0), nullptr);
    EXPECT_EQ(gtInsertElemAfter(asList, head, item(0), 0), nullptr);
    EXPECT_EQ(gtGetHeadPosition(asList), nullptr);
    EXPECT_EQ(gtGetTailPosition(asList), nullptr);
    LPGTPOSITION var = asPos;
    EXPECT_EQ(gtGetNextElem(&var), nullptr);
    EXPECT_EQ(gtGetPrevElem(&var), nullptr);
    EXPECT_EQ(var, asPos);
    EXPECT_EQ(gtGetElemAt(asPos), nullptr);
    EXPECT_EQ(gtSetElemAt(asPos, item(0), 0), nullptr);
    EXPECT_FALSE(gtRemoveElemAt(l, asPos, TRUE));
    EXPECT_FALSE(gtRemoveElemAt(asList, head, TRUE));
    EXPECT_FALSE(gtRemoveHeadElem(asList, TRUE));
    EXPECT_FALSE(gtRemoveTailElem(asList, TRUE));
    EXPECT_EQ(gtFindElemPos(asList, 0, TRUE, matchTwo, 0), nullptr);
    EXPECT_EQ(gtGetElemPosition(asList, 0), nullptr);
    EXPECT_EQ(gtGetElemIndex(l, asPos), 0xFFFFFFFFu);
    EXPECT_EQ(gtGetElemIndex(asList, head), 0xFFFFFFFFu);
    EXPECT_EQ(gtGetElemCount(asList), 0u);
    EXPECT_FALSE(gtIsListEmpty(asList));
    EXPECT_FALSE(gtCopyList(asList, l));
    EXPECT_FALSE(gtCopyList(l, asList));
    EXPECT_FALSE(gtMergeList(l, asList));

    EXPECT_EQ(std::memcmp(l, &listCopy, sizeof(GTLIST)), 0);
    EXPECT_EQ(std::memcmp(head, &headCopy, sizeof(GTPOSITION)), 0);
    EXPECT_EQ(forward(l).size(), 3u);

    EXPECT_EQ(gtGetElemCount(nullptr), 0u);
    EXPECT_FALSE(gtIsListEmpty(nullptr));
    EXPECT_FALSE(gtDestroyList(nullptr));
}

// A million live elements in one process: the allocator must carry them
// without running out, and every walk must see each exactly once.
TEST(ListVolume, OneMillionElements) {
    constexpr DWORD kCount = 1000000;
    LPGTLIST l = gtCreateList();
    ASSERT_NE(l, nullptr);
    unsigned char block[16];
    for (DWORD i = 0; i < kCount; ++i) {
        LPGTPOSITION p;
        if (i % 10 == 0) {
            std::memset(block, static_cast<int>(i / 10 & 0xFF), sizeof(block));
            std::memcpy(block, &i, sizeof(i));
            p = gtAddTailElem(l, block, sizeof(block));
        } else {
            p = gtAddTailElem(l, reinterpret_cast<LPVOID>(static_cast<uintptr_t>(i)), 0);
        }
        ASSERT_NE(p, nullptr) << "element " << i;
    }
    EXPECT_EQ(gtGetElemCount(l), kCount);

    DWORD i = 0, bad = 0;
    for (LPGTPOSITION p = gtGetHeadPosition(l); p; ++i) {
        void* d = gtGetNextElem(&p);
        if (i % 10 == 0) {
            DWORD stored;
            std::memcpy(&stored, d, sizeof(stored));
            const auto* b = static_cast<const unsigned char*>(d);
            if (stored != i || b[15] != static_cast<unsigned char>(i / 10 & 0xFF)) ++bad;
        } else if (d != reinterpret_cast<LPVOID>(static_cast<uintptr_t>(i))) {
            ++bad;
        }
    }
    EXPECT_EQ(i, kCount);
    EXPECT_EQ(bad, 0u);

    DWORD back = 0;
    for (LPGTPOSITION p = gtGetTailPosition(l); p; ++back) gtGetPrevElem(&p);
    EXPECT_EQ(back, kCount);
    EXPECT_EQ(gtGetElemAt(gtGetElemPosition(l, kCount - 1)), reinterpret_cast<LPVOID>(kCount - 1));
    EXPECT_TRUE(gtDestroyList(l));

    // The memory comes back: a second round fits as well.
    l = gtCreateList();
    for (DWORD k = 0; k < kCount; ++k) ASSERT_NE(gtAddTailElem(l, block, sizeof(block)), nullptr);
    EXPECT_TRUE(gtDestroyList(l));
}

}  // namespace
