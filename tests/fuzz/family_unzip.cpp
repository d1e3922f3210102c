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
    fuzz::writeFile(src + "text.txt", text);
    fuzz::writeFile(src + "zeros.bin", std::string(kLargestEntry, '\0'));
    fuzz::writeFile(src + "sub\\small.txt", "small");
    const std::string archive = dir + "intact.zip";
    DeleteFileA(archive.c_str());
    qrZipFile zip((src + "*.*").c_str(), archive.c_str(), 5, qrZipFile::DEFAULT_FLAGS | 1);
    zip.ZipFile();
    bytes = fuzz::readFile(archive);
    return bytes;
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
    static const std::string dir = fuzz::scratchDir("unzip");
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
    fuzz::writeFile(archive, bytes);
    const std::string outer = dir + "out\\";
    const std::string dest = outer + "dest\\";
    CreateDirectoryA(outer.c_str(), nullptr);
    CreateDirectoryA(dest.c_str(), nullptr);
    const size_t besideBefore = entriesBeside(outer);

    qrUnzipFile unzip(archive.c_str(), dest.c_str(), qrUnzipFile::DEFAULT_FLAGS | 0x100);
    unzip.UnzipFile();

    c.check(entriesBeside(outer) == besideBefore, "nothing appears beside the destination");
    const fuzz::TreeStats extracted = fuzz::removeTree(dest);
    c.check(extracted.largest <= kLargestEntry, "no file is larger than the largest entry");
    DeleteFileA(archive.c_str());
}
