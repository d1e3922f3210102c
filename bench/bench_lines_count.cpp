// fuGetNoofLines against a plain ReadFile-and-scan line counter, in
// alternating rounds (the best of each kept), on two files:
// - a 64 MiB CR LF text of mixed line lengths: the same count, in at most
//   1.25 times the plain counter's time;
// - 16 MiB of zeros followed by lines (a file grown by a size change, then
//   written on): the layer counts a short line every few bytes of the zeros,
//   as its chunked reader sees them, in at most twice the plain time.
// Both sides read the file from the system's cache, so the figures are
// about scanning; a cold file would weigh on both alike.
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

// 16 MiB of zeros, then the lines of `generate` up to `bytes` in all.
void generateZeros(const std::string& path, size_t bytes) {
    generate(path, bytes - (16u << 20));
    std::string lines;
    {
        FILE* f = std::fopen(path.c_str(), "rb");
        lines.resize(bytes);
        lines.resize(std::fread(&lines[0], 1, lines.size(), f));
        std::fclose(f);
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    std::string zeros(16u << 20, '\0');
    std::fwrite(zeros.data(), 1, zeros.size(), f);
    std::fwrite(lines.data(), 1, lines.size(), f);
    std::fclose(f);
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

struct Figures {
    double plain = 1e9, layer = 1e9;
    long plainCount = 0, layerCount = 0;
};

Figures measure(const std::string& path) {
    Figures f;
    plainCount(path);  // warm the cache for both
    for (int round = 0; round < 5; ++round) {
        double t0 = seconds();
        f.plainCount = plainCount(path);
        double t1 = seconds();
        f.layerCount = layerCount(path);
        double t2 = seconds();
        if (t1 - t0 < f.plain) f.plain = t1 - t0;
        if (t2 - t1 < f.layer) f.layer = t2 - t1;
    }
    return f;
}

}  // namespace

int main() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string path = std::string(tmp) + "gt_bench_lines_count.txt";
    generate(path, 64u << 20);
    Figures text = measure(path);
    generateZeros(path, 17u << 20);
    Figures zeros = measure(path);
    DeleteFileA(path.c_str());
    std::printf("bench_lines_count: best of 5 alternating rounds\n");
    std::printf("  64 MiB text: %ld lines (plain counter %ld)%s\n", text.layerCount, text.plainCount,
                text.plainCount == text.layerCount ? "" : "  COUNT MISMATCH");
    std::printf("    plain ReadFile scan  %8.3f s\n", text.plain);
    std::printf("    fuGetNoofLines       %8.3f s  ratio %.2f (goal <= 1.25)\n", text.layer, text.layer / text.plain);
    std::printf("  16 MiB zeros + 1 MiB text: %ld lines as the chunk reader sees them (CR LF pairs %ld)\n",
                zeros.layerCount, zeros.plainCount);
    std::printf("    plain ReadFile scan  %8.3f s\n", zeros.plain);
    std::printf("    fuGetNoofLines       %8.3f s  ratio %.2f (goal <= 2.00)\n", zeros.layer, zeros.layer / zeros.plain);
    return text.plainCount == text.layerCount ? 0 : 1;
}
