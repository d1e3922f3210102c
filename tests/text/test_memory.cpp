// Memory blocks through the DLL.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gtapi32.h"

namespace {

bool allByte(const void* p, size_t n, unsigned char v) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i] != v) return false;
    return true;
}

using Bytes = unsigned char*;
Bytes alloc(DWORD size, UINT flags = 0x42) { return static_cast<Bytes>(gtGlobalAllocPtr(flags, size)); }
Bytes resize(void* p, DWORD size, UINT flags = 0x42) {
    return static_cast<Bytes>(gtGlobalReAllocPtr(p, size, flags));
}

TEST(Alloc, EveryBlockIsZeroFilledWhateverTheFlagsAndAfterReuse) {
    EXPECT_EQ(gtGlobalAllocPtr(0x42, 0), nullptr);
    const DWORD sizes[] = {1, 15, 16, 17, 64, 100, 1000, 4096, 16384, 16385, 70000};
    for (int round = 0; round < 3; ++round) {
        for (DWORD size : sizes) {
            for (UINT f : {0u, 0x42u, 0x2042u}) {
                Bytes p = alloc(size, f);
                ASSERT_NE(p, nullptr) << size;
                EXPECT_TRUE(allByte(p, size, 0)) << "size " << size << " flags " << f << " round " << round;
                std::memset(p, 0xEE, size);  // dirty it for the next round's reuse
                EXPECT_TRUE(gtGlobalFreePtr(p));
            }
        }
    }
    Bytes p = alloc(10);
    EXPECT_EQ(gtGlobalUnlockPtr(p), p);
    EXPECT_EQ(gtGlobalUnlockPtr(nullptr), nullptr);
    gtGlobalFreePtr(p);
}

TEST(Alloc, BlocksDoNotOverlap) {
    std::vector<std::pair<Bytes, DWORD>> blocks;
    for (DWORD i = 0; i < 600; ++i) {
        DWORD size = 1 + (i * 37) % 5000;
        Bytes p = alloc(size);
        ASSERT_NE(p, nullptr);
        std::memset(p, static_cast<int>(i & 0xFF), size);
        blocks.emplace_back(p, size);
    }
    // Release every other one and fill the gaps with fresh blocks.
    for (size_t i = 0; i < blocks.size(); i += 2) {
        EXPECT_TRUE(gtGlobalFreePtr(blocks[i].first));
        Bytes p = alloc(blocks[i].second);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(allByte(p, blocks[i].second, 0));
        std::memset(p, static_cast<int>(i & 0xFF), blocks[i].second);
        blocks[i].first = p;
    }
    for (size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_TRUE(allByte(blocks[i].first, blocks[i].second, static_cast<unsigned char>(i & 0xFF))) << i;
        EXPECT_TRUE(gtGlobalFreePtr(blocks[i].first));
    }
}

TEST(Free, NullForeignStaleAndInteriorPointersFailAndHarmNothing) {
    // Witnesses: blocks of several sizes, small to large, whose contents must survive.
    const DWORD sizes[] = {8, 64, 700, 5000, 20000, 65537, 2 * 1024 * 1024, 8 * 1024 * 1024};
    std::vector<Bytes> live;
    for (DWORD s : sizes) {
        Bytes p = alloc(s);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(allByte(p, s, 0)) << s;
        std::memset(p, 0x5A, s);  // the last byte is ours too
        live.push_back(p);
    }
    Bytes stale = alloc(64), staleLarge = alloc(100000);
    ASSERT_TRUE(gtGlobalFreePtr(stale));
    ASSERT_TRUE(gtGlobalFreePtr(staleLarge));

    int onStack = 0;
    static int inData = 0;
    void* heap = HeapAlloc(GetProcessHeap(), 0, 64);
    void* malloced = std::malloc(32);
    void* pages = VirtualAlloc(nullptr, 65536, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    std::vector<void*> bad = {nullptr, &onStack, &inData, heap, malloced, pages,
                              stale, staleLarge, stale + 16,
                              reinterpret_cast<void*>(uintptr_t(1)),
                              reinterpret_cast<void*>(uintptr_t(0xFFFFFFF0)),
                              reinterpret_cast<void*>(GetModuleHandleA("gtapi32.dll"))};
    for (size_t i = 0; i < live.size(); ++i)
        for (void* p : {live[i] + 1, live[i] + sizes[i] / 2, live[i] + sizes[i] - 1, live[i] - 1, live[i] - 8})
            bad.push_back(p);
    for (void* p : bad) EXPECT_FALSE(gtGlobalFreePtr(p)) << p;

    // The foreign memory still belongs to its owners, the witnesses are intact
    // and releasable once each, and the same sizes come out sound again.
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, heap));
    std::free(malloced);
    EXPECT_TRUE(VirtualFree(pages, 0, MEM_RELEASE));
    for (size_t i = 0; i < live.size(); ++i) {
        EXPECT_TRUE(allByte(live[i], sizes[i], 0x5A)) << sizes[i];
        EXPECT_TRUE(gtGlobalFreePtr(live[i]));
        EXPECT_FALSE(gtGlobalFreePtr(live[i]));
        Bytes p = alloc(sizes[i]);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(allByte(p, sizes[i], 0));
        gtGlobalFreePtr(p);
    }
}

TEST(ReAlloc, ContentsAreKeptAndGrowthReadsZeroEvenAfterAShrink) {
    // Within a size class, across classes, small to large, large to larger,
    // then shrinks (likely in place, and far down) each followed by growth.
    const DWORD steps[] = {10, 12, 16, 100, 3000, 16384, 20000, 65536, 70000, 1500000,
                           1312500, 1500000, 3, 200000, 175000, 200000, 3, 20000, 17500,
                           20000, 3, 100, 87, 100};
    Bytes p = alloc(1);
    DWORD kept = 0;
    for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); ++i) {
        DWORD size = steps[i];
        Bytes q = resize(p, size, i % 2 ? 0 : 0x42);
        ASSERT_NE(q, nullptr) << size;
        kept = std::min(kept, size);
        EXPECT_TRUE(allByte(q, kept, 0x11)) << "kept, step " << i;
        EXPECT_TRUE(allByte(q + kept, size - kept, 0)) << "growth, step " << i;
        if (q != p) { EXPECT_FALSE(gtGlobalFreePtr(p)) << "old block released on a move"; }
        std::memset(q, 0x11, size);
        kept = size;
        p = q;
    }
    EXPECT_TRUE(gtGlobalFreePtr(p));
}

TEST(ReAlloc, RefusalsLeaveTheBlockAlone) {
    Bytes p = alloc(32);
    std::memset(p, 0x33, 32);
    int local = 0;
    EXPECT_EQ(gtGlobalReAllocPtr(nullptr, 10, 0), nullptr);
    EXPECT_EQ(gtGlobalReAllocPtr(p, 0, 0), nullptr);
    EXPECT_EQ(gtGlobalReAllocPtr(p + 4, 64, 0), nullptr);  // not a block start
    EXPECT_EQ(gtGlobalReAllocPtr(&local, 64, 0), nullptr);
    EXPECT_TRUE(allByte(p, 32, 0x33));
    EXPECT_TRUE(gtGlobalFreePtr(p));
    EXPECT_EQ(gtGlobalReAllocPtr(p, 64, 0), nullptr);  // stale
}

TEST(AllocEx, StartValueAndDefault) {
    for (DWORD start : {0u, 5000u}) {  // 0: the default start
        DWORD size = start;
        void* p = gtGlobalAllocPtrEx(0x42, 1024, &size);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(size, start ? start : 65500u);
        EXPECT_TRUE(allByte(p, size, 0));
        gtGlobalFreePtr(p);
    }
    EXPECT_EQ(gtGlobalAllocPtrEx(0x42, 1024, nullptr), nullptr);
}

TEST(IncrementPtr, SingleByteSteps) {
    const char* s = "abcdef";
    EXPECT_EQ(gtIncrementPtr(s, 0), s);
    EXPECT_EQ(gtIncrementPtr(s, -3), s);
    EXPECT_EQ(gtIncrementPtr(s, 6), s + 6);
    EXPECT_EQ(gtIncrementPtr(nullptr, 2), nullptr);
}

}  // namespace
