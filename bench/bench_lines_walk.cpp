// Walking a 100,000-line file: forward with fuReadLine + fuGotoNextLine,
// backward with fuGotoPrevLine, each against a forward walk with fgets.
// Rounds alternate between the three walks and the best of each is kept,
// so other load on the machine weighs on all of them alike.
//
// What the ratios depend on: every line call reads at the handle's position
// and moves by a relative seek (nothing read is kept between calls, since the
// caller and other writers may change the file and the position), so a walk
// costs a few system calls per line, while fgets makes none per line.  The
// figure is therefore about the price of a system call (under Wine: a trip
// through ntdll's dispatcher) against an in-memory line copy; the last rows
// measure that price in the same run.
#include <windows.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "benchclock.h"
#include "gtapi32.h"

namespace {

using bench::now;

constexpr long kLines = 100000;
constexpr int kRounds = 5;

struct Walk {
    const char* what;
    double best = 1e9;
    long lines = 0;
};

long fgetsWalk(const std::string& path, std::vector<char>& line) {
    long n = 0;
    FILE* f = std::fopen(path.c_str(), "rb");
    while (std::fgets(line.data(), static_cast<int>(line.size()), f)) ++n;
    std::fclose(f);
    return n;
}

long forwardWalk(LPGTLINEFILE h, std::vector<char>& line) {
    long n = 0;
    fuGotoTopOfFile(h);
    while (fuReadLine(h, line.data()) > 0) {
        ++n;
        fuGotoNextLine(h);
    }
    return n;
}

long backwardWalk(LPGTLINEFILE h) {
    long n = 0;
    for (LONG pos = fuGotoEndOfFile(h); pos > 0; ++n) pos = fuGotoPrevLine(h);
    return n;
}

// One position query per line, the least a call that honours the handle's
// position can make.
long queryPerLine(LPGTLINEFILE h) {
    HANDLE file = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(h->hFile));
    for (long i = 0; i < kLines; ++i) SetFilePointer(file, 0, nullptr, FILE_CURRENT);
    return kLines;
}

template <typename F>
void time(Walk& w, F f) {
    double t0 = now();
    w.lines = f();
    double t = now() - t0;
    if (t < w.best) w.best = t;
}

}  // namespace

int main() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string path = std::string(tmp) + "gt_bench_lines_walk.txt";
    {
        std::mt19937 rng(3);
        std::string s;
        for (long i = 0; i < kLines; ++i) {
            s.append(rng() % 120, 'x');
            s += "\r\n";
        }
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(s.data(), 1, s.size(), f);
        std::fclose(f);
    }
    std::vector<char> line(70000);
    std::vector<char> name(path.begin(), path.end());
    name.push_back(0);
    LPGTLINEFILE h = fuOpenFile(name.data(), OF_READ);
    if (!h) return 1;

    Walk fgetsW{"fgets forward walk"}, fwd{"fuReadLine+fuGotoNextLine"}, back{"fuGotoPrevLine"},
        query{"one position query per line"};
    for (int r = 0; r < kRounds; ++r) {
        time(fgetsW, [&] { return fgetsWalk(path, line); });
        time(fwd, [&] { return forwardWalk(h, line); });
        time(back, [&] { return backwardWalk(h); });
        time(query, [&] { return queryPerLine(h); });
    }
    fuCloseFile(h);
    DeleteFileA(path.c_str());

    std::printf("bench_lines_walk: %ld lines, best of %d interleaved rounds (lines seen: fgets %ld, forward %ld, "
                "backward %ld)\n",
                kLines, kRounds, fgetsW.lines, fwd.lines, back.lines);
    std::printf("  %-30s %8.3f s  %.3f us/line (baseline)\n", fgetsW.what, fgetsW.best, fgetsW.best * 1e6 / kLines);
    std::printf("  %-30s %8.3f s  ratio %5.1f (goal <= 3)\n", fwd.what, fwd.best, fwd.best / fgetsW.best);
    std::printf("  %-30s %8.3f s  ratio %5.1f (goal <= 4)\n", back.what, back.best, back.best / fgetsW.best);
    std::printf("  %-30s %8.3f s  ratio %5.1f (one system call per line)\n", query.what, query.best,
                query.best / fgetsW.best);
    return fwd.lines == kLines && back.lines == kLines ? 0 : 1;
}
