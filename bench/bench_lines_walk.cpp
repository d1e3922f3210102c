// Walking a 100,000-line file: forward with fuReadLine + fuGotoNextLine,
// backward with fuGotoPrevLine, each against a forward walk with fgets, on
// two handles: one opened for reading that lets others write (the layer
// reads afresh on every call) and one that denies writers (the layer keeps
// what it read).  Rounds alternate between the walks and the best of each is
// kept, so other load on the machine weighs on all of them alike.
//
// What the ratios depend on: a line call must honour the position in the
// file handle, which the caller may move, so it makes at least one system
// call (asking for the position, or a relative seek that reports it), and a
// handle that others may write also reads the line again (a read and a seek
// back).  fgets makes none per line.  The figures are therefore about the
// price of a system call (under Wine: a trip through ntdll's dispatcher)
// against an in-memory line copy; the last row measures that price in the
// same run.
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
    LPGTLINEFILE h = fuOpenFile(name.data(), OF_READ | OF_SHARE_DENY_NONE);
    LPGTLINEFILE fixed = fuOpenFile(name.data(), OF_READ | OF_SHARE_DENY_WRITE);
    if (!h || !fixed) return 1;

    Walk fgetsW{"fgets forward walk"}, fwd{"forward, writers allowed"}, back{"backward, writers allowed"},
        fwdFixed{"forward, writers denied"}, backFixed{"backward, writers denied"},
        query{"one position query per line"};
    for (int r = 0; r < kRounds; ++r) {
        time(fgetsW, [&] { return fgetsWalk(path, line); });
        time(fwd, [&] { return forwardWalk(h, line); });
        time(back, [&] { return backwardWalk(h); });
        time(fwdFixed, [&] { return forwardWalk(fixed, line); });
        time(backFixed, [&] { return backwardWalk(fixed); });
        time(query, [&] { return queryPerLine(h); });
    }
    fuCloseFile(fixed);
    fuCloseFile(h);
    DeleteFileA(path.c_str());

    std::printf("bench_lines_walk: %ld lines, best of %d alternating rounds\n", kLines, kRounds);
    std::printf("  %-30s %8.3f s  %.3f us/line (baseline)\n", fgetsW.what, fgetsW.best, fgetsW.best * 1e6 / kLines);
    bool complete = true;
    for (const Walk* w : {&fwd, &back, &fwdFixed, &backFixed, &query}) {
        std::printf("  %-30s %8.3f s  %.3f us/line  ratio %5.1f%s\n", w->what, w->best, w->best * 1e6 / kLines,
                    w->best / fgetsW.best, w->lines == kLines ? "" : "  LINES MISSED");
        complete = complete && w->lines == kLines;
    }
    std::printf("  goals: forward <= 3, backward <= 4\n");
    return complete ? 0 : 1;
}
