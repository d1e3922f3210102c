// Memory blocks through the DLL.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gtapi32.h"

namespace {

bool allZero(const void* p, size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i]) return false;
    return true;
}

bool allByte(const void* p, size_t n, unsigned char v) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i] != v) return false;
    return true;
}

TEST(Alloc, SizeZeroFailsAndSizeOneIsAZeroByte) {
    EXPECT_EQ(gtGlobalAllocPtr(0x42, 0), nullptr);
    auto* p = static_cast<unsigned char*>(gtGlobalAllocPtr(0x42, 1));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(*p, 0);
    *p = 0xAB;
    EXPECT_EQ(*p, 0xAB);
    EXPECT_TRUE(gtGlobalFreePtr(p));
}

TEST(Alloc, EveryBlockIsZeroFilledWhateverTheFlagsAndAfterReuse) {
    const DWORD sizes[] = {1, 15, 16, 17, 64, 100, 1000, 4096, 16384, 16385, 70000};
    const UINT flags[] = {0, 0x42, 0x2042};
    for (int round = 0; round < 3; ++round) {
        for (DWORD size : sizes) {
            for (UINT f : flags) {
                void* p = gtGlobalAllocPtr(f, size);
                ASSERT_NE(p, nullptr) << size;
                EXPECT_TRUE(allZero(p, size)) << "size " << size << " flags " << f << " round " << round;
                std::memset(p, 0xEE, size);  // dirty it for the next round's reuse
                EXPECT_TRUE(gtGlobalFreePtr(p));
            }
        }
    }
}

TEST(Alloc, BlocksDoNotOverlap) {
    std::vector<std::pair<unsigned char*, DWORD>> blocks;
    for (DWORD i = 0; i < 600; ++i) {
        DWORD size = 1 + (i * 37) % 5000;
        auto* p = static_cast<unsigned char*>(gtGlobalAllocPtr(0x42, size));
        ASSERT_NE(p, nullptr);
        std::memset(p, static_cast<int>(i & 0xFF), size);
        blocks.emplace_back(p, size);
    }
    // Release every other one and fill the gaps with fresh blocks.
    for (size_t i = 0; i < blocks.size(); i += 2) {
        EXPECT_TRUE(gtGlobalFreePtr(blocks[i].first));
        auto* p = static_cast<unsigned char*>(gtGlobalAllocPtr(0x42, blocks[i].second));
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(allZero(p, blocks[i].second));
        std::memset(p, static_cast<int>(i & 0xFF), blocks[i].second);
        blocks[i].first = p;
    }
    for (size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_TRUE(allByte(blocks[i].first, blocks[i].second, static_cast<unsigned char>(i & 0xFF))) << i;
        EXPECT_TRUE(gtGlobalFreePtr(blocks[i].first));
    }
}

TEST(Alloc, LargeBlocksAreWholeAndZero) {
    const DWORD sizes[] = {16 * 1024 + 1, 65536, 65537, 1024 * 1024 + 3, 8 * 1024 * 1024};
    for (DWORD size : sizes) {
        auto* p = static_cast<unsigned char*>(gtGlobalAllocPtr(0x42, size));
        ASSERT_NE(p, nullptr) << size;
        EXPECT_TRUE(allZero(p, size)) << size;
        p[0] = 1;
        p[size - 1] = 2;  // the last byte is ours
        EXPECT_FALSE(gtGlobalFreePtr(p + 4096)) << size;
        EXPECT_FALSE(gtGlobalFreePtr(p + size - 1)) << size;
        EXPECT_TRUE(gtGlobalFreePtr(p)) << size;
        EXPECT_FALSE(gtGlobalFreePtr(p)) << size;
    }
}

// ---------------------------------------------------------------- release

TEST(Free, NullForeignStaleAndInteriorPointersFailAndHarmNothing) {
    EXPECT_FALSE(gtGlobalFreePtr(nullptr));

    // Witnesses: blocks of several sizes whose contents must survive.
    const DWORD sizes[] = {8, 64, 700, 5000, 20000, 2 * 1024 * 1024};
    std::vector<unsigned char*> live;
    for (DWORD s : sizes) {
        auto* p = static_cast<unsigned char*>(gtGlobalAllocPtr(0x42, s));
        ASSERT_NE(p, nullptr);
        std::memset(p, 0x5A, s);
        live.push_back(p);
    }
    auto* stale = static_cast<unsigned char*>(gtGlobalAllocPtr(0x42, 64));
    auto* staleLarge = static_cast<unsigned char*>(gtGlobalAllocPtr(0x42, 100000));
    ASSERT_TRUE(gtGlobalFreePtr(stale));
    ASSERT_TRUE(gtGlobalFreePtr(staleLarge));

    int onStack = 0;
    static int inData = 0;
    void* heap = HeapAlloc(GetProcessHeap(), 0, 64);
    void* malloced = std::malloc(32);
    void* pages = VirtualAlloc(nullptr, 65536, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    std::vector<void*> bad = {&onStack, &inData, heap, malloced, pages,
                              stale, staleLarge, stale + 16,
                              reinterpret_cast<void*>(uintptr_t(1)),
                              reinterpret_cast<void*>(uintptr_t(0xFFFFFFF0)),
                              reinterpret_cast<void*>(GetModuleHandleA("gtapi32.dll"))};
    for (size_t i = 0; i < live.size(); ++i) {
        bad.push_back(live[i] + 1);
        bad.push_back(live[i] + sizes[i] / 2);
        bad.push_back(live[i] - 1);
        bad.push_back(live[i] - 8);
    }
    for (void* p : bad) EXPECT_FALSE(gtGlobalFreePtr(p)) << p;

    // The foreign memory still belongs to its owners.
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, heap));
    std::free(malloced);
    EXPECT_TRUE(VirtualFree(pages, 0, MEM_RELEASE));
    // The witnesses are intact and still releasable once each.
    for (size_t i = 0; i < live.size(); ++i) {
        EXPECT_TRUE(allByte(live[i], sizes[i], 0x5A)) << sizes[i];
        EXPECT_TRUE(gtGlobalFreePtr(live[i]));
        EXPECT_FALSE(gtGlobalFreePtr(live[i]));
    }
    // The allocator still hands out sound blocks of the sizes just used.
    for (DWORD s : sizes) {
        void* p = gtGlobalAllocPtr(0x42, s);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(allZero(p, s));
        gtGlobalFreePtr(p);
    }
}

TEST(Free, UnlockReturnsThePointer) {
    void* p = gtGlobalAllocPtr(0x42, 10);
    EXPECT_EQ(gtGlobalUnlockPtr(p), p);
    EXPECT_EQ(gtGlobalUnlockPtr(nullptr), nullptr);
    gtGlobalFreePtr(p);
}

// ---------------------------------------------------------------- resize

TEST(ReAlloc, GrowthKeepsContentsAndReadsZero) {
    // Steps within a size class, across classes, from small to large and
    // from large to larger.
    const DWORD steps[] = {10, 12, 16, 100, 3000, 16384, 20000, 65536, 70000, 1500000};
    auto* p = static_cast<unsigned char*>(gtGlobalAllocPtr(0x42, steps[0]));
    ASSERT_NE(p, nullptr);
    std::memset(p, 0x11, steps[0]);
    DWORD filled = steps[0];
    for (size_t i = 1; i < sizeof(steps) / sizeof(steps[0]); ++i) {
        DWORD size = steps[i];
        auto* q = static_cast<unsigned char*>(gtGlobalReAllocPtr(p, size, 0x42));
        ASSERT_NE(q, nullptr) << size;
        EXPECT_TRUE(allByte(q, filled, 0x11)) << "kept, size " << size;
        EXPECT_TRUE(allZero(q + filled, size - filled)) << "growth, size " << size;
        if (q != p) {
            EXPECT_FALSE(gtGlobalFreePtr(p)) << "old block released on a move";
        }
        std::memset(q + filled, 0x11, size - filled);
        filled = size;
        p = q;
    }
    EXPECT_TRUE(gtGlobalFreePtr(p));
}

TEST(ReAlloc, ShrinkThenGrowReadsZeroBeyondTheShrink) {
    const DWORD sizes[] = {100, 20000, 200000};
    for (DWORD big : sizes) {
        auto* p = static_cast<unsigned char*>(gtGlobalAllocPtr(0, big));
        std::memset(p, 0x77, big);
        DWORD small = big - big / 8;  // likely stays in place
        p = static_cast<unsigned char*>(gtGlobalReAllocPtr(p, small, 0));
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(allByte(p, small, 0x77));
        p = static_cast<unsigned char*>(gtGlobalReAllocPtr(p, big, 0));
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(allByte(p, small, 0x77)) << big;
        EXPECT_TRUE(allZero(p + small, big - small)) << big;
        p = static_cast<unsigned char*>(gtGlobalReAllocPtr(p, 3, 0));  // far down
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(allByte(p, 3, 0x77));
        p = static_cast<unsigned char*>(gtGlobalReAllocPtr(p, big, 0));
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(allZero(p + 3, big - 3)) << big;
        EXPECT_TRUE(gtGlobalFreePtr(p));
    }
}

TEST(ReAlloc, RefusalsLeaveTheBlockAlone) {
    auto* p = static_cast<unsigned char*>(gtGlobalAllocPtr(0x42, 32));
    std::memset(p, 0x33, 32);
    EXPECT_EQ(gtGlobalReAllocPtr(nullptr, 10, 0), nullptr);
    EXPECT_EQ(gtGlobalReAllocPtr(p, 0, 0), nullptr);
    EXPECT_EQ(gtGlobalReAllocPtr(p + 4, 64, 0), nullptr);  // not a block start
    int local = 0;
    EXPECT_EQ(gtGlobalReAllocPtr(&local, 64, 0), nullptr);
    EXPECT_TRUE(allByte(p, 32, 0x33));
    EXPECT_TRUE(gtGlobalFreePtr(p));
    EXPECT_EQ(gtGlobalReAllocPtr(p, 64, 0), nullptr);  // stale
}

// ---------------------------------------------------------------- largest block

TEST(AllocEx, StartValueAndDefault) {
    DWORD size = 0;
    void* p = gtGlobalAllocPtrEx(0x42, 1024, &size);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(size, 65500u);
    EXPECT_TRUE(allZero(p, size));
    gtGlobalFreePtr(p);

    size = 5000;
    p = gtGlobalAllocPtrEx(0x42, 1024, &size);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(size, 5000u);
    gtGlobalFreePtr(p);

    EXPECT_EQ(gtGlobalAllocPtrEx(0x42, 1024, nullptr), nullptr);
}

// ---------------------------------------------------------------- stepping

TEST(IncrementPtr, SingleByteSteps) {
    const char* s = "abcdef";
    EXPECT_EQ(gtIncrementPtr(s, 0), s);
    EXPECT_EQ(gtIncrementPtr(s, -3), s);
    EXPECT_EQ(gtIncrementPtr(s, 4), s + 4);
    EXPECT_EQ(gtIncrementPtr(s, 6), s + 6);
    EXPECT_EQ(gtIncrementPtr(nullptr, 2), nullptr);
}

}  // namespace
