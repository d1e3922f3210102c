// Small helpers shared by the test programs.
#pragma once
#include <windows.h>

#include <string>

namespace testutil {

// Directory of the running test program (where the DLLs sit), with a
// trailing backslash.
inline std::string programDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\') + 1);
}

// A new, empty directory under the system's temporary directory.  Process
// ids repeat from one Wine session to the next, so a name that an earlier
// run left behind (with its files) gets a numbered sibling instead.
inline std::string freshTempDir(const char* tag) {
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    const std::string base = std::string(tmp) + "gtt_" + tag + "_" + std::to_string(GetCurrentProcessId());
    std::string dir = base;
    for (int n = 1; n < 1000 && !CreateDirectoryA(dir.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS; ++n)
        dir = base + "_" + std::to_string(n);
    return dir + "\\";
}

// UTF-8 (source text) to the ANSI code page's bytes.
inline std::string ansiFromUtf8(const char* utf8) {
    wchar_t w[1024] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w, 1024);
    char a[2048] = {};
    WideCharToMultiByte(CP_ACP, 0, w, -1, a, sizeof(a), nullptr, nullptr);
    return a;
}

// A caller buffer of n bytes with 64 guard bytes on each side; guards()
// equals kIntactGuards while nothing was written outside the buffer.
struct Guarded {
    std::string mem;
    explicit Guarded(size_t n) : mem(n + 128, 0x5A) {}
    char* get() { return &mem[64]; }
    std::string guards() const { return mem.substr(0, 64) + mem.substr(mem.size() - 64); }
};
inline const std::string kIntactGuards(128, 0x5A);

inline std::wstring wideFromUtf8(const char* utf8) {
    wchar_t w[1024] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w, 1024);
    return w;
}

}  // namespace testutil
