// Directory exports through the DLL on a scratch directory: chains, removal,
// emptiness, current directories, the two walks, sizes, entry information,
// deletion with keep-lists and its status window.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gtapi32.h"
#include "testutil.h"

namespace {

// A new directory of the temporary directory for each run (process ids
// come round again, so a name made of one could hold an earlier run's files).
std::string uniqueDir() {
    char tmp[MAX_PATH] = {}, name[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    GetTempFileNameA(tmp, "gtt", 0, name);
    DeleteFileA(name);
    CreateDirectoryA(name, nullptr);
    return std::string(name) + "\\";
}

const std::string& scratch() {
    static const std::string dir = uniqueDir();
    return dir;
}

std::string makeFile(const std::string& name, size_t size, DWORD attributes = 0) {
    const std::string path = scratch() + name;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string data(size, 'x');
    DWORD written = 0;
    WriteFile(h, data.data(), DWORD(data.size()), &written, nullptr);
    CloseHandle(h);
    if (attributes) SetFileAttributesA(path.c_str(), attributes);
    return path;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The tree of the walk examples: d holds f (10 bytes) and s; s holds g (20 bytes).
std::string makeTree(const std::string& root) {
    const std::string d = scratch() + root;
    CreateDirectoryA(d.c_str(), nullptr);
    CreateDirectoryA((d + "\\s").c_str(), nullptr);
    makeFile(root + "\\f", 10);
    makeFile(root + "\\s\\g.txt", 20);
    return d;
}

TEST(CreateDirEx, ChainsAndRefusals) {
    CreateDirectoryA((scratch() + "a").c_str(), nullptr);
    makeFile("afile", 1);
    const struct { const char* name; std::string path; BOOL want; std::string mustExist, mustNotExist; } rows[] = {
        {"two missing levels", scratch() + "a\\b\\c", TRUE, scratch() + "a\\b\\c", ""},
        {"260 characters or more", scratch() + "long\\" + std::string(270, 'x'), FALSE, "", scratch() + "long"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(gtCreateDirEx(row.path.c_str()), row.want);
        if (!row.mustExist.empty()) EXPECT_TRUE(gtIsDirExist(row.mustExist.c_str()));
        if (!row.mustNotExist.empty()) EXPECT_FALSE(exists(row.mustNotExist));
    }
    // A file where a level must go: nothing is created in front of it.
    EXPECT_FALSE(gtCreateDirEx((scratch() + "afile\\n2\\n3").c_str()));
    EXPECT_FALSE(exists(scratch() + "afile\\n2"));
}

TEST(Directories, EmptinessAndCurrentDirectory) {
    const std::string dir = scratch() + "rm";
    CreateDirectoryA(dir.c_str(), nullptr);
    EXPECT_TRUE(gtIsDirEmpty(dir.c_str()));
    makeFile("rm\\hidden", 1, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(gtIsDirEmpty(dir.c_str()));

    ASSERT_TRUE(SetCurrentDirectoryA(scratch().c_str()));
    LPSTR block = gtGetCurrentDir(nullptr, MAX_PATH);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(lstrcmpiA(block, scratch().c_str()), 0);
    gtGlobalFreePtr(block);
    // Guard bytes: nothing is written past the size given.
    char small[32];
    memset(small, 0x5A, sizeof small);
    EXPECT_EQ(gtGetCurrentDir(small, 8), nullptr);
    EXPECT_EQ(small[8], 0x5A);
}

struct Seen {
    std::vector<std::string> entries;  // "name/flag"
    int stopAt = 0;
};

int CALLBACK collect(LPCSTR path, LPGTFINDDATA fd, DWORD user) {
    auto* s = reinterpret_cast<Seen*>(static_cast<ULONG_PTR>(user));
    GTSPLITPATH split;
    char copy[MAX_PATH];
    lstrcpynA(copy, path, MAX_PATH);
    gtSplitPath(copy, &split);
    s->entries.push_back(std::string(split.szDriveDir).substr(scratch().size()) + fd->szName + "/" +
                         std::to_string(fd->bDirReport));
    return int(s->entries.size()) != s->stopAt;
}

DWORD userOf(Seen& s) { return DWORD(reinterpret_cast<ULONG_PTR>(&s)); }

// The walk's expected order: d's entries as FindFirstFileA delivers them, s
// reported, walked and then listed.
std::vector<std::string> expectedWalk(const std::string& root) {
    std::vector<std::string> want;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((scratch() + root + "\\*.*").c_str(), &fd);
    do {
        const std::string name = fd.cFileName;
        if (name == "s") want.insert(want.end(), {root + "\\s/1", root + "\\s\\g.txt/0", root + "\\s/0"});
        if (name == "f") want.push_back(root + "\\f/0");
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return want;
}

TEST(EnumFilesInDir, PostOrderWithDirectoryReports) {
    const std::string d = makeTree("walk");
    const std::vector<std::string> want = expectedWalk("walk");
    Seen all;
    EXPECT_EQ(gtEnumFilesInDir((d + "\\*.*").c_str(), &collect, TRUE, userOf(all), 0), 1);
    EXPECT_EQ(all.entries, want);

    const struct { const char* name; std::string stopEntry; } rows[] = {
        {"stop at the report", "walk\\s/1"},
        {"stop inside the subdirectory", "walk\\s\\g.txt/0"},
        {"stop at the last entry", want.back()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Seen s;
        s.stopAt = int(std::find(want.begin(), want.end(), row.stopEntry) - want.begin()) + 1;
        EXPECT_EQ(gtEnumFilesInDir((d + "\\*.*").c_str(), &collect, TRUE, userOf(s), 0), 0);
        EXPECT_EQ(s.entries.size(), size_t(s.stopAt));
    }
    Seen none;
    EXPECT_EQ(gtEnumFilesInDir((d + "\\*.none").c_str(), &collect, 7, userOf(none), 0), 7);
    char path[MAX_PATH];
    lstrcpyA(path, (d + "\\s\\g.txt\\").c_str());
    GTFILEINFO info;
    ASSERT_TRUE(gtGetFileInfo(path, &info));
    EXPECT_STREQ(info.szName, "g.txt");
    EXPECT_EQ(info.dwSizeLow, 20u);
    EXPECT_EQ(gtEnumFilesInDir((d + "\\*.*").c_str(), nullptr, TRUE, 0, 0), 0);
}

BOOL CALLBACK lastChildText(HWND child, LPARAM out) {
    char text[512] = {};
    GetWindowTextA(child, text, sizeof text);
    if (*text) lstrcpyA(reinterpret_cast<char*>(out), text);
    return TRUE;
}

// The deletion callback shows string 28034 with the entry's full name.
TEST(DeleteFilesProc, StatusWindowShowsTheDeletedName) {
    const std::string d = scratch() + "del";
    CreateDirectoryA(d.c_str(), nullptr);
    HWND status = gtPasteStatusMessage(nullptr, " ");
    ASSERT_NE(status, nullptr);
    GTDELETECONTEXT context{nullptr, status};
    GTFINDDATA fd{};
    lstrcpyA(fd.szName, "f2");
    lstrcpyA(fd.szShortName, "f2");
    makeFile("del\\f2", 1);
    EXPECT_EQ(gtiDeleteFilesProc((d + "\\*.*").c_str(), &fd, DWORD(ULONG_PTR(&context))), 1);
    char shown[512] = {};
    EnumChildWindows(status, &lastChildText, LPARAM(shown));
    gtPeelStatusMessage(status);
    EXPECT_EQ(std::string(shown), "Deleting " + d + "\\f2 files");
    EXPECT_FALSE(exists(d + "\\f2"));
    EXPECT_FALSE(gtDeleteFileEx("?:\\x\\*.*", FALSE, nullptr, TRUE, nullptr));
}

}  // namespace
