// gtStrStri over a 1 KB text whose match sits near the end, against the
// shell's StrStrIA on the same input.
#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>

#include "benchclock.h"
#include "gtapi32.h"

namespace {

constexpr int kCalls = 5000;
constexpr int kRounds = 5;

using bench::now;

volatile uintptr_t g_sink;

}  // namespace

int main() {
    std::string text;
    const char* filler = "The Quick Brown Fox Jumps Over The Lazy Dog; ";
    while (text.size() < 1000) text += filler;
    text.resize(1000);
    text += "Configuration.INI";
    text.resize(1024, '.');
    const char* pattern = "configuration.ini";

    const char* mine = gtStrStri(text.c_str(), pattern);
    const char* theirs = StrStrIA(text.c_str(), pattern);
    if (!mine || mine != theirs) {
        std::printf("bench_strstri: results differ (%p vs %p)\n", (void*)mine, (void*)theirs);
        return 1;
    }

    double lib = 1e9, base = 1e9;
    for (int r = 0; r < kRounds; ++r) {
        double t0 = now();
        uintptr_t s = 0;
        for (int i = 0; i < kCalls; ++i) s += reinterpret_cast<uintptr_t>(gtStrStri(text.c_str(), pattern));
        double t1 = now();
        for (int i = 0; i < kCalls; ++i) s += reinterpret_cast<uintptr_t>(StrStrIA(text.c_str(), pattern));
        double t2 = now();
        g_sink = s;
        if (t1 - t0 < lib) lib = t1 - t0;
        if (t2 - t1 < base) base = t2 - t1;
    }
    std::printf("bench_strstri: %d searches, %u-byte text, match at offset %u\n", kCalls,
                unsigned(text.size()), unsigned(mine - text.c_str()));
    std::printf("  gtStrStri      %8.1f ms (%6.2f us/call)\n", lib * 1e3, lib * 1e6 / kCalls);
    std::printf("  StrStrIA       %8.1f ms (%6.2f us/call, baseline)\n", base * 1e3, base * 1e6 / kCalls);
    std::printf("  ratio          %8.2f (goal <= 1.00)\n", lib / base);
    return 0;
}
