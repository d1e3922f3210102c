// gtSplitPath on 1,000,000 mixed paths (drive, UNC, relative, slashes,
// long and short) against MSVCRT's _splitpath on the same paths.
// gtSplitPath does more per call (trim, clear and fill a 1808-byte record
// with seven fields), so the goal is a ratio of at most 1.5.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "benchclock.h"
#include "gtapi32.h"

namespace {

constexpr int kCalls = 1000000;
constexpr int kRounds = 3;

using bench::now;

volatile unsigned g_sink;

std::vector<std::string> mixedPaths() {
    const char* shapes[] = {
        "C:\\Program Files\\Vantil\\bin\\vantil%d.exe",
        "D:\\data\\%d\\report.final.txt",
        "\\\\server\\share\\projects\\%d\\notes.doc",
        "relative\\dir\\file%d",
        "c:/forward/slashes/%d/x.cpp",
        "file%d.txt",
        "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\ETC\\HOSTS%d",
        "..\\..\\up\\%d.tar.gz",
        "E:\\a\\very\\deep\\directory\\tree\\with\\many\\levels\\and\\a\\rather\\long\\file\\name\\%d.dat",
        "\\\\nas\\backup\\%d",
    };
    std::vector<std::string> out;
    char buf[300];
    for (int i = 0; i < 1000; ++i) {
        std::snprintf(buf, sizeof buf, shapes[i % 10], i);
        out.push_back(buf);
    }
    return out;
}

}  // namespace

int main() {
    std::vector<std::string> paths = mixedPaths();
    // gtSplitPath trims in place; these paths have nothing to trim, so
    // the same buffers serve every call.
    std::vector<std::vector<char>> bufs;
    for (const auto& p : paths) bufs.emplace_back(p.c_str(), p.c_str() + p.size() + 1);
    const size_t n = bufs.size();

    static GTSPLITPATH rec;
    char drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
    for (size_t i = 0; i < n; ++i) {
        if (!gtSplitPath(bufs[i].data(), &rec)) {
            std::printf("bench_splitpath: gtSplitPath refused %s\n", paths[i].c_str());
            return 1;
        }
    }

    double lib = 1e9, base = 1e9;
    for (int r = 0; r < kRounds; ++r) {
        unsigned s = 0;
        double t0 = now();
        for (int i = 0; i < kCalls; ++i) {
            gtSplitPath(bufs[i % n].data(), &rec);
            s += static_cast<unsigned char>(rec.szName[0]);
        }
        double t1 = now();
        for (int i = 0; i < kCalls; ++i) {
            _splitpath(bufs[i % n].data(), drive, dir, name, ext);
            s += static_cast<unsigned char>(name[0]);
        }
        double t2 = now();
        g_sink = s;
        if (t1 - t0 < lib) lib = t1 - t0;
        if (t2 - t1 < base) base = t2 - t1;
    }
    std::printf("bench_splitpath: %d calls over %u mixed paths\n", kCalls, unsigned(n));
    std::printf("  gtSplitPath    %8.1f ms (%6.3f us/call)\n", lib * 1e3, lib * 1e6 / kCalls);
    std::printf("  _splitpath     %8.1f ms (%6.3f us/call, baseline)\n", base * 1e3, base * 1e6 / kCalls);
    std::printf("  ratio          %8.2f (goal <= 1.50)\n", lib / base);
    return 0;
}
