// Runner of the fuzz families:
//   fuzz_gtapi32 FAMILY [--seconds S] [--seed S] [--cases N]
// Runs cases of FAMILY for S seconds (default 3) or N cases, starting at
// the given seed (default: a fixed one, so a CI run always tries the same
// cases).  Exit code 0 when every case held, 1 on a failed fact, 3 on a
// crash, 4 on a case that hung, 2 on bad usage; the line starting "FAIL"
// names the family and the seed of the case.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "fuzz.h"

namespace fuzz {

const std::string kAsciiBytes = "abcXYZ019 ,;|\t\r\n%\\./:-_=\"";
const std::string kPathBytes = "abcXYZ09 .\\/:*?~_-";
const std::string kDbcsBytes = std::string("abcXYZ09 ,;|\t\r\n%\\./:") +
                               "\x81\x82\x83\x88\x89\x92\x9f\xe0\xea\xfc"  // lead bytes
                               "\x5c\x7c\x40\x7e\x80\xa0\xa1\xdf\xfd\xfe\xff";  // trail bytes and others

std::string Case::text(size_t max, const std::string& alphabet) {
    std::string s(length(max), 'a');
    for (char& ch : s) ch = alphabet[below(static_cast<uint32_t>(alphabet.size()))];
    return s;
}

bool Case::check(bool ok, const std::string& fact) {
    if (!ok && !failed_) first_ = fact;
    failed_ = failed_ || !ok;
    return ok;
}

namespace {

std::map<std::string, FamilyFn>& families() {
    static std::map<std::string, FamilyFn> all;
    return all;
}

size_t pageSize() {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    return si.dwPageSize;
}

}  // namespace

int registerFamily(const char* name, FamilyFn fn) {
    families()[name] = fn;
    return 0;
}

Guarded::Guarded(size_t size, unsigned char fill) : size_(size) {
    const size_t page = pageSize();
    const size_t span = (size + page - 1) / page * page;
    base_ = VirtualAlloc(nullptr, span + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!base_) {
        std::fprintf(stderr, "fuzz: no memory for a guarded buffer of %lu bytes\n", static_cast<unsigned long>(size));
        std::exit(5);
    }
    DWORD old = 0;
    VirtualProtect(static_cast<char*>(base_) + span, page, PAGE_NOACCESS, &old);
    data_ = static_cast<char*>(base_) + span - size;
    std::memset(base_, fill, span);
}

Guarded Guarded::text(const std::string& s) {
    Guarded g(s.size() + 1);
    std::memcpy(g.data(), s.c_str(), s.size() + 1);
    return g;
}

Guarded::Guarded(Guarded&& other) noexcept : base_(other.base_), data_(other.data_), size_(other.size_) {
    other.base_ = nullptr;
}

Guarded::~Guarded() {
    if (base_) VirtualFree(base_, 0, MEM_RELEASE);
}

std::string scratchDir(const char* tag) {
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    const std::string dir = std::string(tmp) + "gtfuzz_" + tag + "_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

void writeFile(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

std::string readFile(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(f, nullptr), '\0');
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(f, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(f);
    bytes.resize(got);
    return bytes;
}

TreeStats removeTree(const std::string& dir) {
    TreeStats stats;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return stats;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = dir + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            const TreeStats inner = removeTree(path + "\\");
            stats.files += inner.files;
            if (inner.largest > stats.largest) stats.largest = inner.largest;
            RemoveDirectoryA(path.c_str());
        } else {
            ++stats.files;
            if (fd.nFileSizeLow > stats.largest) stats.largest = fd.nFileSizeLow;
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return stats;
}

}  // namespace fuzz

namespace {

const char* g_family = "";
std::atomic<uint32_t> g_seed{0};
std::atomic<LONG> g_caseStart{0};  // tick count at the case's start; 0 between cases
constexpr DWORD kHangMs = 20000;

void printRepro(const char* what) {
    std::printf("FAIL %s family=%s seed=0x%08lx\n", what, g_family, static_cast<unsigned long>(g_seed.load()));
    std::printf("  again: fuzz_gtapi32 %s --seed 0x%08lx --cases 1\n", g_family,
                static_cast<unsigned long>(g_seed.load()));
    std::fflush(stdout);
}

LONG WINAPI onCrash(EXCEPTION_POINTERS* info) {
    char what[96];
    std::snprintf(what, sizeof what, "crash (exception 0x%08lx at %p)",
                  static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                  info->ExceptionRecord->ExceptionAddress);
    printRepro(what);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

DWORD WINAPI watchdog(LPVOID) {
    for (;;) {
        Sleep(1000);
        const LONG start = g_caseStart.load();
        // Signed: the start may lie a tick ahead (its low bit is forced).
        if (start && static_cast<LONG>(GetTickCount() - static_cast<DWORD>(start)) > static_cast<LONG>(kHangMs)) {
            printRepro("hang (a case ran for more than 20 s)");
            TerminateProcess(GetCurrentProcess(), 4);
        }
    }
}

uint32_t nextSeed(uint32_t s) {  // splitmix-style step: every seed leads to another
    uint32_t z = s + 0x9E3779B9u;
    z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
    z = (z ^ (z >> 13)) * 0xC2B2AE35u;
    return z ^ (z >> 16);
}

int usage() {
    std::fprintf(stderr, "usage: fuzz_gtapi32 FAMILY [--seconds S] [--seed S] [--cases N]\nfamilies:");
    for (const auto& f : fuzz::families()) std::fprintf(stderr, " %s", f.first.c_str());
    std::fprintf(stderr, "\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) return usage();
    const auto found = fuzz::families().find(argv[1]);
    if (found == fuzz::families().end()) return usage();
    g_family = argv[1];
    double seconds = 3;
    uint32_t seed = 0x5EED0001u;
    unsigned long cases = 0;  // 0: as many as fit in the time
    for (int i = 2; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--seconds")) seconds = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--seed")) seed = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 0));
        else if (!std::strcmp(argv[i], "--cases")) cases = std::strtoul(argv[i + 1], nullptr, 0);
        else return usage();
    }
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(onCrash);
    CloseHandle(CreateThread(nullptr, 0, watchdog, nullptr, 0, nullptr));
    const DWORD start = GetTickCount();
    unsigned long done = 0;
    for (uint32_t s = seed; cases ? done < cases : GetTickCount() - start < seconds * 1000; s = nextSeed(s), ++done) {
        g_seed = s;
        g_caseStart = static_cast<LONG>(GetTickCount() | 1);
        fuzz::Case c(s);
        found->second(c);
        g_caseStart = 0;
        if (c.failed()) {
            printRepro(("fact: " + c.firstFailure()).c_str());
            return 1;
        }
    }
    std::printf("fuzz %s: %lu cases in %.1f s from seed 0x%08lx, nothing found\n", g_family, done,
                (GetTickCount() - start) / 1000.0, static_cast<unsigned long>(seed));
    return 0;
}
