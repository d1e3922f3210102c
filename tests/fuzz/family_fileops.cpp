// File operations with hostile names inside a scratch directory: copies,
// appends, directory chains, temporary names and program look-ups, with
// outputs flush against a guard page.  What must hold: a bystander file
// keeps its bytes, results fit their buffers, and a failed copy or append
// leaves an existing destination as it was.
#include <windows.h>

#include <cstring>
#include <string>

#include "fuzz.h"
#include "gtapi32.h"

namespace {

std::string scratch() {
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    const std::string dir = std::string(tmp) + "gtfuzz_fileops_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

void writeFile(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

std::string readFile(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "(missing)";
    std::string bytes(GetFileSize(f, nullptr), '\0');
    DWORD got = 0;
    ReadFile(f, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(f);
    bytes.resize(got);
    return bytes;
}

// A name inside the scratch directory, or a hostile one.
std::string name(fuzz::Case& c, const std::string& dir) {
    switch (c.below(4)) {
    case 0: return dir + c.text(20, "abc._ ");
    case 1: return dir + c.text(300, fuzz::kPathBytes);
    case 2: return c.text(40, fuzz::kDbcsBytes);
    default: return dir + c.pick<const char*>({"", ".", "..", "a\\..\\a", "*", "?x", "con", "a.txt"});
    }
}

void removeTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string entry = fd.cFileName;
        if (entry == "." || entry == "..") continue;
        const std::string path = dir + entry;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            removeTree(path + "\\");
            RemoveDirectoryA(path.c_str());
        } else {
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

}  // namespace

GT_FUZZ_FAMILY(fileops) {
    static const std::string root = scratch();
    const std::string dir = root + "case\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string bystander = root + "bystander.txt";
    writeFile(bystander, "keep me");
    const std::string existing = dir + "a.txt";
    writeFile(existing, "existing destination");

    const std::string a = name(c, dir), b = name(c, dir);
    fuzz::Guarded ga = fuzz::Guarded::text(a), gb = fuzz::Guarded::text(b);
    switch (c.below(5)) {
    case 0:
        if (!gtCopyFile(ga.data(), gb.data()) && a == existing)
            c.check(readFile(existing) == "existing destination", "a failed copy keeps the destination");
        break;
    case 1:
        if (!gtCatFile(ga.data(), gb.data(), FALSE) && a == existing)
            c.check(readFile(existing) == "existing destination", "a failed append keeps the destination");
        break;
    case 2:
        gtCreateDirEx(ga.data());
        break;
    case 3: {
        const int size = static_cast<int>(c.below(300));
        fuzz::Guarded out(size > 0 ? static_cast<size_t>(size) : 1);
        if (gtCreateTempFile(dir.c_str(), gb.data(), c.pick<const char*>({".tmp", "", ".xyzxyzxyz"}), out.data(), size,
                             c.below(2), c.below(2)))
            c.check(std::memchr(out.data(), 0, static_cast<size_t>(size)) != nullptr,
                    "a temporary name fits its buffer");
        break;
    }
    default: {
        fuzz::Guarded found(261);
        gtFindFileInPath(ga.data(), found.data());
        break;
    }
    }
    c.check(readFile(bystander) == "keep me", "a bystander file keeps its bytes");
    removeTree(dir);
    RemoveDirectoryA(dir.c_str());
}
