// A million allocate/release pairs of 64-byte zero-filled blocks, against
// the process heap doing the same.
#include <windows.h>

#include <cstdio>

#include "benchclock.h"
#include "gtapi32.h"

namespace {

constexpr DWORD kPairs = 1000000;
constexpr int kRounds = 5;

using bench::now;

volatile uintptr_t g_sink;

double runLibrary() {
    double t0 = now();
    uintptr_t s = 0;
    for (DWORD i = 0; i < kPairs; ++i) {
        void* p = gtGlobalAllocPtr(GHND, 64);
        s += *static_cast<unsigned char*>(p);
        gtGlobalFreePtr(p);
    }
    g_sink = s;
    return now() - t0;
}

double runBaseline() {
    HANDLE heap = GetProcessHeap();
    double t0 = now();
    uintptr_t s = 0;
    for (DWORD i = 0; i < kPairs; ++i) {
        void* p = HeapAlloc(heap, HEAP_ZERO_MEMORY, 64);
        s += *static_cast<unsigned char*>(p);
        HeapFree(heap, 0, p);
    }
    g_sink = s;
    return now() - t0;
}

}  // namespace

int main() {
    double lib = 1e9, base = 1e9;
    for (int r = 0; r < kRounds; ++r) {
        double a = runLibrary(), b = runBaseline();
        if (a < lib) lib = a;
        if (b < base) base = b;
    }
    std::printf("bench_alloc: %lu pairs of 64-byte blocks\n", kPairs);
    std::printf("  gtGlobalAllocPtr/FreePtr %8.1f ms\n", lib * 1e3);
    std::printf("  HeapAlloc/HeapFree       %8.1f ms (baseline)\n", base * 1e3);
    std::printf("  ratio                    %8.2f (goal <= 2.00)\n", lib / base);
    return 0;
}
