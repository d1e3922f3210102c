// ZNativeFile::Remove of the first record of a 16 MiB record file, against a
// plain tail move in the same run (ReadFile of the tail, WriteFile at the
// record, SetEndOfFile).  Goal: at most 1.2 times the plain move.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ZFile.h"
#include "benchclock.h"

namespace {

constexpr DWORD kSize = 16u << 20;
constexpr int kHeader = 64;
constexpr int kRecLen = 1024;

void generate(const std::string& path) {
    std::vector<char> data(kSize);
    for (DWORD i = 0; i < kSize; ++i) data[i] = static_cast<char>(i * 13 + i / kRecLen);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(h, data.data(), kSize, &n, nullptr);
    CloseHandle(h);
}

bool plainRemove(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD tail = kSize - kHeader - kRecLen, n = 0;
    std::vector<char> buf(tail);
    SetFilePointer(h, kHeader + kRecLen, nullptr, FILE_BEGIN);
    bool ok = ReadFile(h, buf.data(), tail, &n, nullptr) && n == tail;
    SetFilePointer(h, kHeader, nullptr, FILE_BEGIN);
    ok = ok && WriteFile(h, buf.data(), tail, &n, nullptr) && n == tail;
    ok = ok && SetEndOfFile(h);
    CloseHandle(h);
    return ok;
}

bool classRemove(const std::string& path) {
    ZNativeFile f(path.c_str());
    f.SetHeaderSize(kHeader);
    if (!f.Open(OF_READWRITE)) return false;
    bool ok = f.Remove(kHeader, kRecLen) == TRUE;
    f.Close();
    return ok;
}

DWORD sizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a) ? a.nFileSizeLow : 0;
}

}  // namespace

int main() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string path = std::string(tmp) + "gt_bench_record_remove.dat";
    double best[2] = {1e9, 1e9};
    bool ok = true;
    for (int round = 0; round < 5; ++round) {
        generate(path);
        double t0 = bench::now();
        ok = plainRemove(path) && ok;
        double t1 = bench::now();
        generate(path);
        double t2 = bench::now();
        ok = classRemove(path) && ok;
        double t3 = bench::now();
        ok = ok && sizeOf(path) == kSize - kRecLen;
        if (t1 - t0 < best[0]) best[0] = t1 - t0;
        if (t3 - t2 < best[1]) best[1] = t3 - t2;
    }
    DeleteFileA(path.c_str());
    std::printf("bench_record_remove: first of %u records of %d bytes (16 MiB)%s\n", (kSize - kHeader) / kRecLen,
                kRecLen, ok ? "" : "  FAILED");
    std::printf("  plain tail move      %8.3f s\n", best[0]);
    std::printf("  ZNativeFile::Remove  %8.3f s\n", best[1]);
    std::printf("  ratio %.2f (goal <= 1.20)\n", best[1] / best[0]);
    return ok ? 0 : 1;
}
