// A million tail insertions (caller's pointers), a full walk and the
// destruction of the list, against std::list<void*> doing the same.
#include <windows.h>

#include <cstdio>
#include <list>

#include "benchclock.h"
#include "gtapi32.h"

namespace {

constexpr DWORD kCount = 1000000;
constexpr int kRounds = 5;

using bench::now;

volatile uintptr_t g_sink;

double runLibrary() {
    double t0 = now();
    LPGTLIST l = gtCreateList();
    for (DWORD i = 0; i < kCount; ++i) gtAddTailElem(l, reinterpret_cast<LPVOID>(uintptr_t(i)), 0);
    uintptr_t sum = 0;
    for (LPGTPOSITION p = gtGetHeadPosition(l); p;) sum += reinterpret_cast<uintptr_t>(gtGetNextElem(&p));
    gtDestroyList(l);
    g_sink = sum;
    return now() - t0;
}

double runBaseline() {
    double t0 = now();
    {
        std::list<void*> l;
        for (DWORD i = 0; i < kCount; ++i) l.push_back(reinterpret_cast<void*>(uintptr_t(i)));
        uintptr_t sum = 0;
        for (void* d : l) sum += reinterpret_cast<uintptr_t>(d);
        g_sink = sum;
    }
    return now() - t0;
}

}  // namespace

int main() {
    double lib = 1e9, base = 1e9;
    for (int r = 0; r < kRounds; ++r) {  // interleaved, best of each
        double a = runLibrary(), b = runBaseline();
        if (a < lib) lib = a;
        if (b < base) base = b;
    }
    std::printf("bench_list: %lu x gtAddTailElem + walk + gtDestroyList\n", kCount);
    std::printf("  gtapi32 list   %8.1f ms\n", lib * 1e3);
    std::printf("  std::list      %8.1f ms (baseline)\n", base * 1e3);
    std::printf("  ratio          %8.2f (goal <= 3.00)\n", lib / base);
    return 0;
}
