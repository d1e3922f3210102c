// File helpers of the file-operation and directory tests: what a test needs
// to set up files and read them back without the library under test.
#pragma once
#include <windows.h>

#include <string>

namespace filetest {

// A new directory of the temporary directory for each run (process ids
// come round again, so a name made of one could hold an earlier run's files).
inline std::string uniqueDir() {
    char tmp[MAX_PATH] = {}, name[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    GetTempFileNameA(tmp, "gtt", 0, name);
    DeleteFileA(name);
    CreateDirectoryA(name, nullptr);
    return std::string(name) + "\\";
}

// Writes path afresh (read-only files too) and gives it `attributes`.
inline void writeFile(const std::string& path, const std::string& content, DWORD attributes = 0) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(h);
    if (attributes) SetFileAttributesA(path.c_str(), attributes);
}

// The whole file, or "(missing)".
inline std::string contentOf(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return "(missing)";
    std::string data(GetFileSize(h, nullptr), '\0');
    DWORD got = 0;
    if (!data.empty()) ReadFile(h, &data[0], DWORD(data.size()), &got, nullptr);
    CloseHandle(h);
    return data;
}

inline bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Attributes without the archive bit, which the platform sets as it likes.
inline DWORD attributesOf(const std::string& path) {
    return GetFileAttributesA(path.c_str()) & ~DWORD(FILE_ATTRIBUTE_ARCHIVE);
}

}  // namespace filetest
