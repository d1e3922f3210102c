// A million allocate/release pairs of 64-byte zero-filled blocks through
// gtGlobalAllocPtr/gtGlobalFreePtr, against the process heap doing the same
// (HeapAlloc with HEAP_ZERO_MEMORY, HeapFree), in two orders:
// - LIFO: each block is released right after it was allocated;
// - random: 1000 blocks are held at a time and released in a shuffled order.
// Rounds alternate between the four runs and the best of each is kept, so
// load from other programs weighs on both sides alike.
//
// What the ratio depends on: the platform heap's fast path (Wine's heap
// differs between versions, Windows has its low-fragmentation front end) and
// the processor's price for a locked instruction; the first round also pays
// for fresh pages on both sides.  The Wine version and processor count are
// printed with the figures.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "benchclock.h"
#include "gtapi32.h"

namespace {

constexpr DWORD kPairs = 1000000;
constexpr DWORD kHeld = 1000;
constexpr int kRounds = 7;
constexpr DWORD kSize = 64;

using bench::now;

volatile uintptr_t g_sink;

struct Library {
    static void* alloc() { return gtGlobalAllocPtr(GHND, kSize); }
    static void release(void* p) { gtGlobalFreePtr(p); }
};
struct ProcessHeap {
    static void* alloc() { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, kSize); }
    static void release(void* p) { HeapFree(GetProcessHeap(), 0, p); }
};

template <typename A>
double lifo() {
    double t0 = now();
    uintptr_t s = 0;
    for (DWORD i = 0; i < kPairs; ++i) {
        void* p = A::alloc();
        s += *static_cast<unsigned char*>(p);
        A::release(p);
    }
    g_sink = s;
    return now() - t0;
}

template <typename A>
double shuffled(const std::vector<DWORD>& order) {
    std::vector<void*> held(kHeld);
    double t0 = now();
    uintptr_t s = 0;
    for (DWORD done = 0; done < kPairs; done += kHeld) {
        for (DWORD i = 0; i < kHeld; ++i) {
            held[i] = A::alloc();
            s += *static_cast<unsigned char*>(held[i]);
        }
        for (DWORD i : order) A::release(held[i]);
    }
    g_sink = s;
    return now() - t0;
}

struct Best {
    double t = 1e9;
    void add(double x) { t = std::min(t, x); }
};

}  // namespace

int main() {
    std::vector<DWORD> order(kHeld);
    for (DWORD i = 0; i < kHeld; ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(11));

    Best libLifo, heapLifo, libRandom, heapRandom;
    for (int r = 0; r < kRounds; ++r) {
        libLifo.add(lifo<Library>());
        heapLifo.add(lifo<ProcessHeap>());
        libRandom.add(shuffled<Library>(order));
        heapRandom.add(shuffled<ProcessHeap>(order));
    }

    using WineVersion = const char*(CDECL*)();
    auto wineVersion = reinterpret_cast<WineVersion>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    std::printf("bench_alloc: %lu pairs of %lu-byte blocks, best of %d alternating rounds; %s, %lu processors\n",
                kPairs, kSize, kRounds, wineVersion ? wineVersion() : "not Wine", si.dwNumberOfProcessors);
    auto row = [](const char* order, const Best& lib, const Best& heap) {
        std::printf("  %-7s gtGlobalAllocPtr/FreePtr %6.1f ms (%5.1f ns/pair)  HeapAlloc/HeapFree %6.1f ms (%5.1f ns/pair)"
                    "  ratio %.2f (goal <= 1.00)\n",
                    order, lib.t * 1e3, lib.t * 1e9 / kPairs, heap.t * 1e3, heap.t * 1e9 / kPairs, lib.t / heap.t);
    };
    row("LIFO", libLifo, heapLifo);
    row("random", libRandom, heapRandom);
    return 0;
}
