// fuGetNoofLines on a 64 MiB CR LF text of mixed line lengths, against a
// plain ReadFile-and-scan line counter in the same run.  Goal: the same
// count, in at most twice the plain counter's time.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "benchclock.h"
#include "gtapi32.h"

namespace {

inline double seconds() { return bench::now(); }

// Lines of 0 to 200 bytes, now and then up to 3000 (several chunks).
void generate(const std::string& path, size_t bytes) {
    std::mt19937 rng(42);
    std::string buf;
    buf.reserve(1 << 20);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    size_t written = 0;
    while (written < bytes) {
        buf.clear();
        while (buf.size() < (1 << 20) - 4000) {
            size_t len = rng() % 50 == 0 ? rng() % 3000 : rng() % 200;
            for (size_t i = 0; i < len; ++i) buf += static_cast<char>('a' + (i * 7 + len) % 26);
            buf += "\r\n";
        }
        DWORD n = 0;
        WriteFile(h, buf.data(), static_cast<DWORD>(buf.size()), &n, nullptr);
        written += n;
    }
    CloseHandle(h);
}

// CR LF pairs, counted across buffer bounds.
long plainCount(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    std::vector<char> buf(256 * 1024);
    long count = 0;
    bool lastCr = false;
    DWORD n = 0;
    while (ReadFile(h, buf.data(), static_cast<DWORD>(buf.size()), &n, nullptr) && n) {
        const char* p = buf.data();
        const char* end = p + n;
        if (lastCr && *p == '\n') ++count;
        while (const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p))) {
            if (lf > buf.data() && lf[-1] == '\r') ++count;
            p = lf + 1;
        }
        lastCr = end[-1] == '\r';
    }
    CloseHandle(h);
    return count;
}

long layerCount(const std::string& path) {
    std::vector<char> name(path.begin(), path.end());
    name.push_back(0);
    LPGTLINEFILE h = fuOpenFile(name.data(), OF_READ);
    if (!h) return -1;
    long count = fuGetNoofLines(h);
    fuCloseFile(h);
    return count;
}

}  // namespace

int main() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string path = std::string(tmp) + "gt_bench_lines_count.txt";
    generate(path, 64u << 20);
    plainCount(path);  // warm the cache for both
    double best[2] = {1e9, 1e9};
    long counts[2] = {};
    for (int round = 0; round < 3; ++round) {
        double t0 = seconds();
        counts[0] = plainCount(path);
        double t1 = seconds();
        counts[1] = layerCount(path);
        double t2 = seconds();
        if (t1 - t0 < best[0]) best[0] = t1 - t0;
        if (t2 - t1 < best[1]) best[1] = t2 - t1;
    }
    DeleteFileA(path.c_str());
    std::printf("bench_lines_count: 64 MiB, %ld lines (plain counter %ld)%s\n", counts[1], counts[0],
                counts[0] == counts[1] ? "" : "  COUNT MISMATCH");
    std::printf("  plain ReadFile scan  %8.3f s\n", best[0]);
    std::printf("  fuGetNoofLines       %8.3f s\n", best[1]);
    std::printf("  ratio %.2f (goal <= 2.00)\n", best[1] / best[0]);
    return counts[0] == counts[1] ? 0 : 1;
}
