// Walking a 100,000-line file: forward with fuReadLine + fuGotoNextLine,
// backward with fuGotoPrevLine, each against a forward walk with fgets in the
// same run.
#include <windows.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "benchclock.h"
#include "gtapi32.h"

namespace {

inline double seconds() { return bench::now(); }

const long kLines = 100000;

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

    double t0 = seconds();
    long fgetsLines = 0;
    FILE* f = std::fopen(path.c_str(), "rb");
    while (std::fgets(line.data(), static_cast<int>(line.size()), f)) ++fgetsLines;
    std::fclose(f);
    double tFgets = seconds() - t0;

    std::vector<char> name(path.begin(), path.end());
    name.push_back(0);
    LPGTLINEFILE h = fuOpenFile(name.data(), OF_READ);
    if (!h) return 1;
    t0 = seconds();
    long forward = 0;
    while (fuReadLine(h, line.data()) > 0) {
        ++forward;
        fuGotoNextLine(h);
    }
    double tForward = seconds() - t0;

    fuGotoEndOfFile(h);
    t0 = seconds();
    long backward = 0;
    for (LONG pos = fuGetCurFileOffset(h); pos > 0; ++backward) pos = fuGotoPrevLine(h);
    double tBackward = seconds() - t0;
    fuCloseFile(h);
    DeleteFileA(path.c_str());

    std::printf("bench_lines_walk: %ld lines (fgets %ld, forward %ld, backward %ld)\n", kLines, fgetsLines, forward,
                backward);
    std::printf("  fgets forward walk              %8.3f s\n", tFgets);
    std::printf("  fuReadLine+fuGotoNextLine walk  %8.3f s  ratio %.1f\n", tForward, tForward / tFgets);
    std::printf("  fuGotoPrevLine walk             %8.3f s  ratio %.1f\n", tBackward, tBackward / tFgets);
    return forward == kLines && backward == kLines ? 0 : 1;
}
