// gtx zip ARCHIVE SOURCE... [--rate N] [--recurse]   adds files to an archive
// gtx zip --list ARCHIVE                             names, sizes, ratios, CRCs
// gtx unzip ARCHIVE DIR [--spec PATTERN] [--test]    extracts (or checks)
// Long runs show a progress bar on stderr, fed by the companion's byte count.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "frame/owners.h"
#include "gtx.h"
#include "qrZipFile.h"
#include "zipcore/zipformat.h"
#include "zipcore/zipio.h"

namespace {

const DWORD PROGRESS_AFTER_MS = 1000;
const DWORD PROGRESS_TICK_MS = 200;
const int BAR_WIDTH = 40;
const unsigned long UNZIP_FLAGS = qrUnzipFile::DEFAULT_FLAGS | QRZIP_OVERWRITE;

using BytesDone = ULONGLONG(WINAPI*)(void);

struct Job {
    std::function<int()> run;
    int result;
};

DWORD WINAPI jobThread(void* p) {
    Job* job = static_cast<Job*>(p);
    job->result = job->run();
    return 0;
}

// Runs `work` on a thread of its own and draws a bar while it takes long.
int withProgress(const char* companion, const char* counter, ULONGLONG total, std::function<int()> work) {
    Job job{std::move(work), 0};
    gt::Handle thread(CreateThread(nullptr, 0, jobThread, &job, 0, nullptr));
    if (!thread) return job.run();
    BytesDone done = reinterpret_cast<BytesDone>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(companion), counter)));
    bool shown = false;
    DWORD start = GetTickCount();
    while (WaitForSingleObject(thread.get(), PROGRESS_TICK_MS) == WAIT_TIMEOUT) {
        if (!done || !total || GetTickCount() - start < PROGRESS_AFTER_MS) continue;
        ULONGLONG now = done();
        int filled = int(now >= total ? BAR_WIDTH : now * BAR_WIDTH / total);
        std::fprintf(stderr, "\r[%-*s] %3d%%", BAR_WIDTH, std::string(size_t(filled), '#').c_str(),
                     filled * 100 / BAR_WIDTH);
        shown = true;
    }
    if (shown) std::fprintf(stderr, "\r[%s] 100%%\n", std::string(BAR_WIDTH, '#').c_str());
    return job.result;
}

// Bytes under a file, directory or pattern (for the bar only).
ULONGLONG sourceBytes(const std::wstring& dir, const std::wstring& pattern) {
    ULONGLONG sum = 0;
    WIN32_FIND_DATAW fd;
    gt::FindHandle h(FindFirstFileW((dir + L"\\*").c_str(), &fd));
    if (!h) return 0;
    do {
        std::wstring n = fd.cFileName;
        if (n == L"." || n == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            sum += sourceBytes(dir + L"\\" + n, pattern);
        else if (zc::matchSpec(pattern, n))
            sum += (ULONGLONG(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    } while (FindNextFileW(h.get(), &fd));
    return sum;
}

ULONGLONG sourceBytes(const std::string& source) {
    std::wstring full = zc::fullPath(zc::wideFromAnsi(source.c_str()));
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (GetFileAttributesExW(full.c_str(), GetFileExInfoStandard, &a)) {
        if (a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return sourceBytes(full, L"*");
        return (ULONGLONG(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
    }
    size_t cut = full.find_last_of(L'\\');
    return cut == std::wstring::npos ? 0 : sourceBytes(full.substr(0, cut), full.substr(cut + 1));
}

const char* codeText(int code) {
    switch (code) {
    case QRZ_BAD_RECORD: return "bad command record";
    case QRZ_NO_ARCHIVE: return "archive not found";
    case QRZ_DAMAGED: return "archive damaged";
    case QRZ_DISK_FULL: return "disk full";
    case QRZ_UNSAFE_ENTRY: return "unsafe entry refused";
    case QRZ_NO_SOURCE: return "no file matched";
    case QRZ_IO_ERROR: return "file could not be read or written";
    case QRZ_UNSUPPORTED: return "encrypted entry or unknown method";
    case QRZ_NO_MEMORY: return "out of memory";
    case QRZ_NO_ENTRY_POINT: return "archiving companion missing";
    default: return "failed";
    }
}

int list(const char* path) {
    zc::Archive a;
    int code = a.open(zc::wideFromAnsi(path));
    if (code != QRZ_OK) {
        std::fprintf(stderr, "gtx: %s: %s (%d)\n", path, codeText(code), code);
        return GTX_FAILED;
    }
    std::printf("%12s %12s %6s  %-8s  %s\n", "size", "packed", "ratio", "crc", "name");
    ULONGLONG size = 0, packed = 0;
    for (const zc::Entry& e : a.entries()) {
        int ratio = e.usize ? int(100 - (e.csize * 100 / e.usize)) : 0;
        std::printf("%12llu %12llu %5d%%  %08lx  %s\n", (unsigned long long)e.usize, (unsigned long long)e.csize,
                    ratio, (unsigned long)e.crc, zc::ansiFromWide(e.name).c_str());
        size += e.usize;
        packed += e.csize;
    }
    std::printf("%12llu %12llu %5d%%  %zu entries\n", size, packed, size ? int(100 - packed * 100 / size) : 0,
                a.entries().size());
    return GTX_OK;
}

int runZip(int argc, char** argv) {
    if (argc == 3 && !std::strcmp(argv[1], "--list")) return list(argv[2]);
    int rate = qrZipFile::DEFAULT_RATE;
    unsigned long flags = QRZIP_ADD;
    std::vector<std::string> sources;
    const char* archive = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--rate") && i + 1 < argc)
            rate = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--recurse"))
            flags |= QRZIP_RECURSE;
        else if (!archive)
            archive = argv[i];
        else
            sources.push_back(argv[i]);
    }
    if (!archive || sources.empty()) {
        std::fprintf(stderr, "usage: gtx zip ARCHIVE SOURCE... [--rate N] [--recurse]\n"
                             "       gtx zip --list ARCHIVE\n");
        return GTX_USAGE;
    }
    std::string quoted;
    ULONGLONG total = 0;
    for (const auto& s : sources) {
        quoted += (quoted.empty() ? "\"" : " \"") + s + "\"";
        total += sourceBytes(s);
    }
    qrZipFile zip(quoted.c_str(), archive, rate, flags);
    int ok = withProgress("DZIP32.DLL", "dzipBytesDone", total, [&] { return zip.ZipFile(); });
    if (!ok) {
        std::fprintf(stderr, "gtx: %s: %s (%d)\n", archive, codeText(zip.GetErrorCode()), zip.GetErrorCode());
        return GTX_FAILED;
    }
    return GTX_OK;
}

int runUnzip(int argc, char** argv) {
    const char* spec = nullptr;
    unsigned long flags = UNZIP_FLAGS;
    std::vector<const char*> names;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--spec") && i + 1 < argc)
            spec = argv[++i];
        else if (!std::strcmp(argv[i], "--test"))
            flags |= QRZIP_TEST_ONLY;
        else
            names.push_back(argv[i]);
    }
    bool test = (flags & QRZIP_TEST_ONLY) != 0;
    if (names.size() != (test ? 1u : 2u) && names.size() != 2u) {
        std::fprintf(stderr, "usage: gtx unzip ARCHIVE DIR [--spec PATTERN] [--test]\n");
        return GTX_USAGE;
    }
    qrUnzipFile unzip(names[0], names.size() > 1 ? names[1] : nullptr, flags);
    unzip.SetFileSpec(spec);
    ULONGLONG total = 0;
    zc::Archive a;
    if (a.open(zc::wideFromAnsi(names[0])) == QRZ_OK)
        for (const zc::Entry& e : a.entries()) total += e.usize;
    int ok = withProgress("DUNZIP32.DLL", "dunzipBytesDone", total, [&] { return unzip.UnzipFile(); });
    if (!ok) {
        std::fprintf(stderr, "gtx: %s: %s (%d)\n", names[0], codeText(unzip.GetErrorCode()), unzip.GetErrorCode());
        return GTX_FAILED;
    }
    if (test) std::printf("%s: every entry checked\n", names[0]);
    return GTX_OK;
}

}  // namespace

GTX_SUBCOMMAND(zip, "zip", "add files to a zip archive, or --list one", runZip);
GTX_SUBCOMMAND(unzip, "unzip", "extract a zip archive (or --test it)", runUnzip);
