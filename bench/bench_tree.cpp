// The 20,000-file tree (1000 directories, 50 chains 20 deep, 20 files each):
// gtGetDirSize against a plain recursive FindFirstFileA walker (goal: at
// most 1.5), and gtDeleteFileEx against a plain recursive delete (ratio
// reported).  Each measurement takes its own fresh copy of the tree.
#include <windows.h>

#include <cstdio>
#include <string>

#include "benchclock.h"
#include "gtapi32.h"

namespace {

constexpr int kChains = 50, kDepth = 20, kFiles = 20;

void makeTree(const std::string& root) {
    CreateDirectoryA(root.c_str(), nullptr);
    char name[64];
    for (int c = 0; c < kChains; ++c) {
        std::string dir = root;
        for (int level = 0; level < kDepth; ++level) {
            std::snprintf(name, sizeof name, level ? "\\lv%02d" : "\\chain %02d", level ? level : c);
            dir += name;
            CreateDirectoryA(dir.c_str(), nullptr);
            for (int i = 0; i < kFiles; ++i) {
                std::snprintf(name, sizeof name, i % 5 ? "\\f%02d.bin" : "\\report %02d.txt", i);
                HANDLE h = CreateFileA((dir + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                DWORD written = 0;
                static const char data[700] = {};
                WriteFile(h, data, DWORD((c * 131 + level * 17 + i * 7) % 700), &written, nullptr);
                CloseHandle(h);
            }
        }
    }
}

ULONGLONG plainSize(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    ULONGLONG total = 0;
    do {
        if (fd.cFileName[0] == '.' && (!fd.cFileName[1] || (fd.cFileName[1] == '.' && !fd.cFileName[2]))) continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) total += plainSize(dir + "\\" + fd.cFileName);
        else total += (ULONGLONG(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return total;
}

void plainDelete(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        if (fd.cFileName[0] == '.' && (!fd.cFileName[1] || (fd.cFileName[1] == '.' && !fd.cFileName[2]))) continue;
        const std::string path = dir + "\\" + fd.cFileName;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            plainDelete(path);
            RemoveDirectoryA(path.c_str());
        } else {
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

}  // namespace

int main() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string a = std::string(tmp) + "gtbench_tree_a", b = std::string(tmp) + "gtbench_tree_b";
    std::printf("making two trees of %d files...\n", kChains * kDepth * kFiles);
    makeTree(a);
    makeTree(b);

    double plain = 1e9, library = 1e9;
    ULONGLONG plainTotal = 0, libraryTotal = 0;
    for (int r = 0; r < 3; ++r) {
        const double t0 = bench::now();
        plainTotal = plainSize(a);
        const double t1 = bench::now();
        libraryTotal = ULONGLONG(gtGetDirSize((a + "\\*.*").c_str(), TRUE));
        const double t2 = bench::now();
        plain = std::min(plain, t1 - t0);
        library = std::min(library, t2 - t1);
    }
    std::printf("size of the tree: walker %.3f s, gtGetDirSize %.3f s, ratio %.2f (goal <= 1.5)%s\n", plain, library,
                library / plain, plainTotal == libraryTotal ? "" : "  [totals DIFFER]");

    const double t0 = bench::now();
    plainDelete(a);
    const double t1 = bench::now();
    const int walk = gtDeleteFileEx((b + "\\*.*").c_str(), FALSE, nullptr, TRUE, nullptr);
    const double t2 = bench::now();
    const bool emptied = gtIsDirEmpty(a.c_str()) && gtIsDirEmpty(b.c_str());
    std::printf("deleting the tree: plain delete %.3f s, gtDeleteFileEx %.3f s, ratio %.2f%s\n", t1 - t0, t2 - t1,
                (t2 - t1) / (t1 - t0), walk && emptied ? "" : "  [a tree was NOT emptied]");
    RemoveDirectoryA(a.c_str());
    RemoveDirectoryA(b.c_str());
    return plainTotal == libraryTotal && emptied ? 0 : 1;
}
