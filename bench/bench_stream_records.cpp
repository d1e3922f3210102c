// Writing and reading back a 64 MiB stream in 4 KiB records through
// ZStgStreamFile (Write, GetFirst/GetNext), against raw IStream Write and
// Read calls in the same run.  Goal: at most 1.2 times the raw calls.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ZStgStorage.h"
#include "ZStgStreamFile.h"
#include "benchclock.h"

namespace {

constexpr DWORD kRW = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr int kRecLen = 4096;
constexpr int kRecords = (64 << 20) / kRecLen;

bool raw(const std::wstring& path) {
    IStorage* stg = nullptr;
    if (FAILED(StgCreateDocfile(path.c_str(), kRW | STGM_CREATE, 0, &stg))) return false;
    IStream* s = nullptr;
    bool ok = stg->CreateStream(L"records", kRW | STGM_CREATE, 0, 0, &s) == S_OK;
    std::vector<char> buf(kRecLen);
    ULONG n = 0;
    for (int i = 0; ok && i < kRecords; ++i) {
        buf.assign(kRecLen, static_cast<char>(i));
        ok = s->Write(buf.data(), kRecLen, &n) == S_OK && n == kRecLen;
    }
    LARGE_INTEGER zero = {};
    s->Seek(zero, STREAM_SEEK_SET, nullptr);
    for (int i = 0; ok && i < kRecords; ++i) ok = s->Read(buf.data(), kRecLen, &n) == S_OK && n == kRecLen && buf[7] == static_cast<char>(i);
    s->Release();
    stg->Release();
    return ok;
}

bool throughClass(const std::string& path) {
    ZStgStorage root(path.c_str(), kRW, TRUE);
    ZStgStreamFile f;
    bool ok = root.CreateStream("records", kRW | STGM_CREATE, &f) != FALSE;
    std::vector<char> buf(kRecLen);
    for (int i = 0; ok && i < kRecords; ++i) {
        buf.assign(kRecLen, static_cast<char>(i));
        ok = f.Write(buf.data(), kRecLen, FILE_CURRENT) == kRecLen;
    }
    int cursor = -1, count = 0;
    for (BOOL more = f.GetFirst(buf.data(), kRecLen, cursor); ok && more; more = f.GetNext(buf.data(), kRecLen, cursor))
        ok = buf[7] == static_cast<char>(count++);
    f.Close();
    return ok && count == kRecords;
}

}  // namespace

int main() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string path = std::string(tmp) + "gt_bench_stream_records.stg";
    std::wstring wpath(path.begin(), path.end());
    double best[2] = {1e9, 1e9};
    bool ok = true;
    for (int round = 0; round < 3; ++round) {
        double t0 = bench::now();
        ok = raw(wpath) && ok;
        double t1 = bench::now();
        ok = throughClass(path) && ok;
        double t2 = bench::now();
        if (t1 - t0 < best[0]) best[0] = t1 - t0;
        if (t2 - t1 < best[1]) best[1] = t2 - t1;
    }
    DeleteFileA(path.c_str());
    std::printf("bench_stream_records: 64 MiB stream in %d records of %d bytes, written and read back%s\n", kRecords,
                kRecLen, ok ? "" : "  FAILED");
    std::printf("  raw IStream calls    %8.3f s\n", best[0]);
    std::printf("  ZStgStreamFile       %8.3f s\n", best[1]);
    std::printf("  ratio %.2f (goal <= 1.20)\n", best[1] / best[0]);
    return ok ? 0 : 1;
}
