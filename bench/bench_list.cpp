// A million tail insertions (caller's pointers), a full walk and the
// destruction of the list, against std::list<void*> doing the same; then
// the operations at a position: an insertion after every element and the
// removal of each inserted one again.
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

// Insertion after each of kCount elements, then removal of every inserted
// element by its position.
double runLibraryAtPositions() {
    LPGTLIST l = gtCreateList();
    for (DWORD i = 0; i < kCount; ++i) gtAddTailElem(l, reinterpret_cast<LPVOID>(uintptr_t(i)), 0);
    double t0 = now();
    for (LPGTPOSITION p = gtGetHeadPosition(l); p;) {
        LPGTPOSITION added = gtInsertElemAfter(l, p, nullptr, 0);
        p = added->pNext;
    }
    for (LPGTPOSITION p = gtGetHeadPosition(l); p;) {
        LPGTPOSITION added = p->pNext;
        p = added->pNext;
        gtRemoveElemAt(l, added, FALSE);
    }
    double t = now() - t0;
    g_sink = gtGetElemCount(l);
    gtDestroyList(l);
    return t;
}

double runBaselineAtPositions() {
    std::list<void*> l;
    for (DWORD i = 0; i < kCount; ++i) l.push_back(reinterpret_cast<void*>(uintptr_t(i)));
    double t0 = now();
    for (auto it = l.begin(); it != l.end();) it = std::next(l.insert(std::next(it), nullptr));
    for (auto it = l.begin(); it != l.end();) it = l.erase(std::next(it));
    double t = now() - t0;
    g_sink = l.size();
    return t;
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
    double libAt = 1e9, baseAt = 1e9;
    for (int r = 0; r < kRounds; ++r) {
        double a = runLibraryAtPositions(), b = runBaselineAtPositions();
        if (a < libAt) libAt = a;
        if (b < baseAt) baseAt = b;
    }
    std::printf("bench_list: %lu x gtInsertElemAfter + %lu x gtRemoveElemAt at positions\n", kCount, kCount);
    std::printf("  gtapi32 list   %8.1f ms\n", libAt * 1e3);
    std::printf("  std::list      %8.1f ms (baseline)\n", baseAt * 1e3);
    std::printf("  ratio          %8.2f\n", libAt / baseAt);
    return 0;
}
