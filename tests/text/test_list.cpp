// Linked list through the DLL.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "gtapi32.h"

namespace {

using Items = std::vector<void*>;

// Head-to-tail data, checked against the backward walk and the count.
Items forward(LPGTLIST l) {
    Items out, back;
    for (LPGTPOSITION p = gtGetHeadPosition(l); p;) out.push_back(gtGetNextElem(&p));
    for (LPGTPOSITION p = gtGetTailPosition(l); p;) back.insert(back.begin(), gtGetPrevElem(&p));
    EXPECT_EQ(out, back) << "forward and backward walks differ";
    EXPECT_EQ(out.size(), gtGetElemCount(l));
    return out;
}

int g_items[8];
void* item(int i) { return &g_items[i]; }
Items its(std::initializer_list<int> ids) {
    Items out;
    for (int i : ids) out.push_back(item(i));
    return out;
}

struct ListFixture : ::testing::Test {
    LPGTLIST l = nullptr;
    void SetUp() override { l = gtCreateList(); ASSERT_NE(l, nullptr); }
    void TearDown() override { if (l) { EXPECT_TRUE(gtDestroyList(l)); } }
    void abc() { for (int i = 0; i < 3; ++i) gtAddTailElem(l, item(i), 0); }
};

TEST_F(ListFixture, InsertionAtTheEndsAndAroundPositions) {
    EXPECT_TRUE(gtIsListEmpty(l));
    EXPECT_EQ(std::memcmp(l, "LG", 2), 0);
    LPGTPOSITION p = gtInsertElemAfter(l, nullptr, item(0), 0);  // into an empty list
    EXPECT_EQ(gtGetHeadPosition(l), p);
    EXPECT_EQ(gtGetTailPosition(l), p);
    EXPECT_TRUE(p->pNext == nullptr && p->pPrev == nullptr);
    EXPECT_EQ(std::memcmp(p, "LM", 2), 0);
    LPGTPOSITION h = gtAddHeadElem(l, item(1), 0), t = gtAddTailElem(l, item(2), 0);
    EXPECT_EQ(forward(l), its({1, 0, 2}));
    EXPECT_EQ(gtGetHeadPosition(l), h);
    EXPECT_EQ(gtGetTailPosition(l), t);

    ASSERT_NE(gtInsertElemBefore(l, t, item(3), 0), nullptr);
    EXPECT_EQ(forward(l), its({1, 0, 3, 2}));
    LPGTPOSITION t2 = gtInsertElemAfter(l, t, item(4), 0), h2 = gtInsertElemBefore(l, h, item(5), 0);
    EXPECT_EQ(gtGetTailPosition(l), t2);
    EXPECT_EQ(gtGetHeadPosition(l), h2);
    gtInsertElemBefore(l, nullptr, item(6), 0);  // NULL position: the ends
    gtInsertElemAfter(l, nullptr, item(7), 0);
    gtInsertElemAfter(l, gtGetElemPosition(l, 3), item(0), 0);
    EXPECT_EQ(forward(l), its({6, 5, 1, 0, 0, 3, 2, 4, 7}));
}

TEST_F(ListFixture, RemovalsKeepEndsAndLinksRight) {
    abc();
    EXPECT_TRUE(gtRemoveElemAt(l, gtGetElemPosition(l, 1), TRUE));
    EXPECT_EQ(forward(l), its({0, 2}));
    EXPECT_TRUE(gtRemoveHeadElem(l, TRUE));
    EXPECT_EQ(gtGetHeadPosition(l)->pPrev, nullptr);
    EXPECT_EQ(forward(l), its({2}));
    EXPECT_TRUE(gtRemoveTailElem(l, TRUE));
    EXPECT_TRUE(gtIsListEmpty(l));
    EXPECT_FALSE(gtRemoveTailElem(l, TRUE));
    EXPECT_FALSE(gtRemoveHeadElem(l, TRUE));
    abc();
    EXPECT_TRUE(gtRemoveTailElem(l, FALSE));
    EXPECT_EQ(gtGetTailPosition(l)->pNext, nullptr);
    EXPECT_EQ(forward(l), its({0, 1}));
    EXPECT_TRUE(gtRemoveHeadElem(l, FALSE));
    EXPECT_TRUE(gtRemoveHeadElem(l, FALSE));  // the last one: the list is empty again
    EXPECT_TRUE(gtIsListEmpty(l));
    EXPECT_EQ(gtGetTailPosition(l), nullptr);
}

TEST_F(ListFixture, PrivateCopiesBelongToTheListUntilHandedBack) {
    int a = 1, b = 2;
    LPGTPOSITION c = gtAddTailElem(l, &a, sizeof(a)), p = gtAddTailElem(l, &a, 0);
    void* copy = gtGetElemAt(c);
    EXPECT_NE(copy, &a);
    a = 99;
    EXPECT_EQ(*static_cast<int*>(copy), 1);  // the copy does not follow the caller
    EXPECT_EQ(c->dwSize, sizeof(a));
    EXPECT_EQ(gtSetElemAt(p, &b, 0), &a);  // SetElemAt returns the former data
    EXPECT_EQ(gtSetElemAt(p, &a, sizeof(a)), &b);
    EXPECT_EQ(*static_cast<int*>(gtGetElemAt(p)), 99);
    EXPECT_EQ(p->dwSize, sizeof(a));
    void* former = gtSetElemAt(c, &b, 0);  // a former copy now belongs to the caller
    EXPECT_EQ(former, copy);
    EXPECT_EQ(c->dwSize, 0u);
    EXPECT_TRUE(gtGlobalFreePtr(former));
    EXPECT_EQ(gtSetElemAt(nullptr, &a, 0), nullptr);
    gtRemoveAllElems(l);

    // Removal hands the copy over unless free-data is exactly 1.
    for (BOOL freeData : {FALSE, TRUE, 2}) {
        gtAddTailElem(l, &b, sizeof(b));
        copy = gtGetElemAt(gtGetHeadPosition(l));
        EXPECT_TRUE(gtRemoveHeadElem(l, freeData));
        if (freeData != TRUE) { EXPECT_EQ(*static_cast<int*>(copy), 2); }
        EXPECT_EQ(!!gtGlobalFreePtr(copy), freeData != TRUE) << freeData;
    }
}

TEST_F(ListFixture, IndexesPositionsAndIterationEnds) {
    abc();
    EXPECT_EQ(gtGetElemPosition(l, 3), nullptr);
    EXPECT_EQ(gtGetElemPosition(l, 0xFFFFFFFF), nullptr);
    EXPECT_EQ(gtGetElemPosition(l, 0), gtGetHeadPosition(l));
    EXPECT_EQ(gtGetElemPosition(l, 2), gtGetTailPosition(l));
    EXPECT_EQ(gtGetElemIndex(l, gtGetTailPosition(l)), 2u);

    LPGTLIST other = gtCreateList();
    LPGTPOSITION foreign = gtAddTailElem(other, item(0), 0);
    EXPECT_EQ(gtGetElemIndex(l, foreign), 0xFFFFFFFFu);
    EXPECT_EQ(gtGetElemIndex(l, nullptr), 0xFFFFFFFFu);
    EXPECT_FALSE(gtRemoveElemAt(l, foreign, TRUE));  // both lists stay whole
    EXPECT_EQ(gtGetElemCount(other), 1u);
    EXPECT_EQ(forward(l).size(), 3u);
    gtDestroyList(other);

    LPGTPOSITION p = gtGetTailPosition(l);
    EXPECT_EQ(gtGetNextElem(&p), item(2));
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
    struct { DWORD key; BOOL fromHead; int* want; int calls; } cases[] = {
        {5, TRUE, &v[0], 1}, {5, FALSE, &v[2], 2}, {42, TRUE, nullptr, 4}};
    for (const auto& c : cases) {
        int calls = 0;
        LPGTPOSITION p = gtFindElemPos(l, c.key, c.fromHead, matchKey, reinterpret_cast<DWORD>(&calls));
        EXPECT_EQ(p ? gtGetElemAt(p) : nullptr, c.want) << c.key << c.fromHead;
        EXPECT_EQ(calls, c.calls);
    }
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
    Items d = forward(dest);
    ASSERT_EQ(d.size(), 5u);
    EXPECT_EQ(Items(d.begin(), d.begin() + 4), its({7, 0, 1, 2}));
    EXPECT_NE(d[4], gtGetElemAt(gtGetTailPosition(l)));  // private copies are copied again
    EXPECT_STREQ(static_cast<char*>(d[4]), "xyz");
    EXPECT_EQ(gtGetElemCount(l), 4u);

    LPGTLIST src = gtCreateList();
    gtAddTailElem(src, item(5), 0);
    gtAddTailElem(src, item(6), 0);
    EXPECT_TRUE(gtMergeList(dest, src));
    d = forward(dest);
    ASSERT_EQ(d.size(), 7u);
    EXPECT_EQ(Items(d.begin() + 5, d.end()), its({5, 6}));
    EXPECT_FALSE(gtGlobalFreePtr(src));  // its record is no longer a live block
    gtDestroyList(dest);

    EXPECT_TRUE(gtCopyList(l, l));  // into itself: doubles
    EXPECT_EQ(forward(l).size(), 8u);
    EXPECT_EQ(gtGetElemAt(gtGetElemPosition(l, 4)), item(0));
    EXPECT_FALSE(gtMergeList(l, l));
    EXPECT_EQ(gtGetElemCount(l), 8u);
    EXPECT_FALSE(gtCopyList(l, nullptr));
    EXPECT_FALSE(gtCopyList(nullptr, l));
    EXPECT_FALSE(gtMergeList(l, nullptr));

    void* copy = gtGetElemAt(gtGetTailPosition(l));
    EXPECT_TRUE(gtRemoveAllElems(l));
    EXPECT_TRUE(gtIsListEmpty(l));
    EXPECT_FALSE(gtGlobalFreePtr(copy));  // released with its element
    EXPECT_NE(gtAddTailElem(l, item(0), 0), nullptr);  // still usable
    EXPECT_EQ(forward(l).size(), 1u);
}

TEST_F(ListFixture, WrongTagsAreRefusedWithoutTouchingTheRecord) {
    abc();
    LPGTPOSITION head = gtGetHeadPosition(l), var = reinterpret_cast<LPGTPOSITION>(l);
    GTLIST listCopy = *l;
    GTPOSITION headCopy = *head;
    auto asList = reinterpret_cast<LPGTLIST>(head);
    auto asPos = reinterpret_cast<LPGTPOSITION>(l);
    const bool refused[] = {
        !gtDestroyList(asList), !gtRemoveAllElems(asList), !gtAddHeadElem(asList, item(0), 0),
        !gtAddTailElem(asList, item(0), 0), !gtInsertElemBefore(l, asPos, item(0), 0),
        !gtInsertElemAfter(l, asPos, item(0), 0), !gtInsertElemAfter(asList, head, item(0), 0),
        !gtGetHeadPosition(asList), !gtGetTailPosition(asList), !gtGetNextElem(&var),
        !gtGetPrevElem(&var), var == asPos, !gtGetElemAt(asPos), !gtSetElemAt(asPos, item(0), 0),
        !gtRemoveElemAt(l, asPos, TRUE), !gtRemoveElemAt(asList, head, TRUE),
        !gtRemoveHeadElem(asList, TRUE), !gtRemoveTailElem(asList, TRUE),
        !gtFindElemPos(asList, 0, TRUE, matchTwo, 0), !gtGetElemPosition(asList, 0),
        gtGetElemIndex(l, asPos) == 0xFFFFFFFF, gtGetElemIndex(asList, head) == 0xFFFFFFFF,
        gtGetElemCount(asList) == 0, !gtIsListEmpty(asList), !gtCopyList(asList, l),
        !gtCopyList(l, asList), !gtMergeList(l, asList),
        gtGetElemCount(nullptr) == 0, !gtIsListEmpty(nullptr), !gtDestroyList(nullptr)};
    for (size_t i = 0; i < sizeof(refused); ++i) EXPECT_TRUE(refused[i]) << "check " << i;
    EXPECT_EQ(std::memcmp(l, &listCopy, sizeof(GTLIST)), 0);
    EXPECT_EQ(std::memcmp(head, &headCopy, sizeof(GTPOSITION)), 0);
    EXPECT_EQ(forward(l).size(), 3u);
}

// A million live elements, every tenth with a private copy; twice, so that
// destroying the list must give the memory back.
TEST(ListVolume, OneMillionElements) {
    constexpr DWORD kCount = 1000000;
    for (int round = 0; round < 2; ++round) {
        LPGTLIST l = gtCreateList();
        ASSERT_NE(l, nullptr);
        for (DWORD i = 0; i < kCount; ++i) {
            DWORD block[4] = {i, i, i, i};
            auto* data = reinterpret_cast<LPVOID>(uintptr_t(i));
            ASSERT_NE(i % 10 ? gtAddTailElem(l, data, 0) : gtAddTailElem(l, block, sizeof(block)), nullptr)
                << "element " << i << " round " << round;
        }
        DWORD i = 0, bad = 0, back = 0;
        for (LPGTPOSITION p = gtGetHeadPosition(l); p; ++i) {
            void* d = gtGetNextElem(&p);
            if (i % 10 ? d != reinterpret_cast<LPVOID>(uintptr_t(i))
                       : static_cast<DWORD*>(d)[0] != i || static_cast<DWORD*>(d)[3] != i)
                ++bad;
        }
        for (LPGTPOSITION p = gtGetTailPosition(l); p; ++back) gtGetPrevElem(&p);
        EXPECT_EQ(i, kCount);
        EXPECT_EQ(back, kCount);
        EXPECT_EQ(bad, 0u);
        EXPECT_EQ(gtGetElemCount(l), kCount);
        EXPECT_TRUE(gtDestroyList(l));
    }
}

}  // namespace
