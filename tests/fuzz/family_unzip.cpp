// Archives damaged at random (bytes changed, cut short, runs repeated)
// extracted through qrUnzipFile into a fresh directory.  What must hold
// whatever the result: the process lives, nothing appears beside the
// destination, and no file in the destination is larger than the biggest
// entry of the intact archive.
#include <windows.h>

#include <string>
#include <vector>

#include "fuzz.h"
#include "qrZipFile.h"

namespace {

std::string workDir() {
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    const std::string dir = std::string(tmp) + "gtfuzz_unzip_" + std::to_string(GetCurrentProcessId()) + "\\";
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
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(f, nullptr), '\0');
    DWORD got = 0;
    ReadFile(f, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(f);
    bytes.resize(got);
    return bytes;
}

constexpr size_t kLargestEntry = 40000;

// The intact archive, made once: text, zeros, a subdirectory.
const std::string& intactArchive(const std::string& dir) {
    static std::string bytes;
    if (!bytes.empty()) return bytes;
    const std::string src = dir + "src\\";
    CreateDirectoryA(src.c_str(), nullptr);
    CreateDirectoryA((src + "sub").c_str(), nullptr);
    std::string text;
    for (int i = 0; text.size() < kLargestEntry - 100; ++i) text += "line " + std::to_string(i) + "\r\n";
    writeFile(src + "text.txt", text);
    writeFile(src + "zeros.bin", std::string(kLargestEntry, '\0'));
    writeFile(src + "sub\\small.txt", "small");
    const std::string archive = dir + "intact.zip";
    DeleteFileA(archive.c_str());
    qrZipFile zip((src + "*.*").c_str(), archive.c_str(), 5, qrZipFile::DEFAULT_FLAGS | 1);
    zip.ZipFile();
    bytes = readFile(archive);
    return bytes;
}

// Everything under dir (files with their sizes), and removes it.
void sweep(const std::string& dir, size_t& files, size_t& largest) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = dir + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            sweep(path + "\\", files, largest);
            RemoveDirectoryA(path.c_str());
        } else {
            ++files;
            if (fd.nFileSizeLow > largest) largest = fd.nFileSizeLow;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

size_t entriesBeside(const std::string& dir) {
    size_t n = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do ++n;
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

}  // namespace

GT_FUZZ_FAMILY(unzip) {
    static const std::string dir = workDir();
    std::string bytes = intactArchive(dir);
    if (!c.check(!bytes.empty(), "the intact archive is made")) return;
    switch (c.below(3)) {
    case 0:
        for (int i = 1 + static_cast<int>(c.below(8)); i > 0; --i) bytes[c.below(bytes.size())] = static_cast<char>(c.word());
        break;
    case 1:
        bytes.resize(c.below(bytes.size()));
        break;
    default: {
        const size_t at = c.below(bytes.size()), n = 1 + c.below(64);
        bytes.insert(at, bytes.substr(at, n));
        break;
    }
    }
    const std::string archive = dir + "damaged.zip";
    writeFile(archive, bytes);
    const std::string outer = dir + "out\\";
    const std::string dest = outer + "dest\\";
    CreateDirectoryA(outer.c_str(), nullptr);
    CreateDirectoryA(dest.c_str(), nullptr);
    const size_t besideBefore = entriesBeside(outer);

    qrUnzipFile unzip(archive.c_str(), dest.c_str(), qrUnzipFile::DEFAULT_FLAGS | 0x100);
    unzip.UnzipFile();

    c.check(entriesBeside(outer) == besideBefore, "nothing appears beside the destination");
    size_t files = 0, largest = 0;
    sweep(dest, files, largest);
    c.check(largest <= kLargestEntry, "no file is larger than the largest entry");
    DeleteFileA(archive.c_str());
}
