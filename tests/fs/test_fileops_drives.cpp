// File operations and walks on real drives, run by run-fileops-drive-tests.sh
// in a prefix of its own under code page 932:
//   T: 1 MiB tmpfs; T:\small a 64 KiB tmpfs inside it (full mid-write
//      although the drive reports room); T:\twin1 and T:\twin2 two fresh
//      tmpfs (no serial numbers, the same file numbers); T:\outside-link
//      points at V:
//   U: the generated tree U:\tree (1000 directories, 20,000 files, names with
//      blanks and double-byte names); U:\tree\chain 03\link points at V:
//   V: the links' target, holding precious.txt
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "gtapi32.h"
#include "filetestutil.h"

using filetest::contentOf;
using filetest::exists;
using filetest::writeFile;

namespace {

const char kTree[] = "U:\\tree\\";
const char kSmall[] = "T:\\small\\";

bool isLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

// --- the independent walker ----------------------------------------------------

struct Entry {
    std::string path;  // directory of the entry + its name
    int report;        // 1: reported before its contents
    ULONGLONG size;
    bool operator==(const Entry& o) const { return path == o.path && report == o.report && size == o.size; }
};

ULONGLONG sizeOf(const WIN32_FIND_DATAA& fd) { return (ULONGLONG(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow; }

// Post-order over FindFirstFileA: a subdirectory (never a link) is reported,
// walked, then listed; the order of each level is the platform's.
void referenceWalk(const std::string& dir, std::vector<Entry>& out) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        const bool directory = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (directory && !isLink(fd.dwFileAttributes)) {
            out.push_back({dir + name, 1, sizeOf(fd)});
            referenceWalk(dir + name + "\\", out);
        }
        out.push_back({dir + name, 0, sizeOf(fd)});
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

ULONGLONG fileBytes(const std::vector<Entry>& entries) {
    ULONGLONG total = 0;
    for (const Entry& e : entries) {
        const DWORD a = GetFileAttributesA(e.path.c_str());
        if (e.report == 0 && !(a & FILE_ATTRIBUTE_DIRECTORY)) total += e.size;
    }
    return total;
}

int CALLBACK collect(LPCSTR path, LPGTFINDDATA fd, DWORD user) {
    GTSPLITPATH split;
    char copy[MAX_PATH];
    lstrcpynA(copy, path, MAX_PATH);
    gtSplitPath(copy, &split);
    reinterpret_cast<std::vector<Entry>*>(static_cast<ULONG_PTR>(user))
        ->push_back({std::string(split.szDriveDir) + fd->szName, fd->bDirReport,
                     (ULONGLONG(fd->dwSizeHigh) << 32) | fd->dwSizeLow});
    return 1;
}

DWORD userOf(void* p) { return DWORD(reinterpret_cast<ULONG_PTR>(p)); }

// Compares two walks entry by entry; the first difference names its place.
void expectSameWalk(const std::vector<Entry>& got, const std::vector<Entry>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        if (got[i] == want[i]) continue;
        ADD_FAILURE() << "entry " << i << ": got " << got[i].path << "/" << got[i].report << " size " << got[i].size
                      << ", want " << want[i].path << "/" << want[i].report << " size " << want[i].size;
        return;
    }
}

class Tree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
        // Hidden and system files at the first level of every chain.
        for (int c = 0; c < 50; ++c) {
            char dir[64];
            wsprintfA(dir, "%schain %02d\\", kTree, c);
            SetFileAttributesA((std::string(dir) + "f01.bin").c_str(), FILE_ATTRIBUTE_HIDDEN);
            SetFileAttributesA((std::string(dir) + "f02.bin").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
        }
    }
};

TEST_F(Tree, WalkDeliversTheReferenceWalksEntriesInOrder) {
    std::vector<Entry> want, got;
    referenceWalk(kTree, want);
    ASSERT_GT(want.size(), 21000u);
    EXPECT_EQ(gtEnumFilesInDir((std::string(kTree) + "*.*").c_str(), &collect, TRUE, userOf(&got), 0), 1);
    expectSameWalk(got, want);
}

// A callback's 0 ends the whole walk at once, also deep inside a chain.
int CALLBACK stopAtTheThousandth(LPCSTR, LPGTFINDDATA, DWORD user) {
    return ++*reinterpret_cast<int*>(static_cast<ULONG_PTR>(user)) != 1000;
}

TEST_F(Tree, TotalSizeEntryInformationAndStop) {
    std::vector<Entry> all;
    referenceWalk(kTree, all);
    EXPECT_EQ(ULONGLONG(gtGetDirSize((std::string(kTree) + "*.*").c_str(), TRUE)), fileBytes(all));
    int calls = 0;
    EXPECT_EQ(gtEnumFilesInDir((std::string(kTree) + "*.*").c_str(), &stopAtTheThousandth, TRUE, userOf(&calls), 0), 0);
    EXPECT_EQ(calls, 1000);
    const Entry& deep = all[999];
    char path[MAX_PATH];
    lstrcpyA(path, deep.path.c_str());
    GTFILEINFO info;
    ASSERT_TRUE(gtGetFileInfo(path, &info));
    EXPECT_EQ(info.dwSizeLow, deep.size);
    EXPECT_EQ(deep.path.substr(deep.path.rfind('\\') + 1), info.szName);
}

// Each subdirectory of a chain, in pre-order, with the size of its subtree.
TEST_F(Tree, SubdirectoryWalkIsPreOrderWithSubtreeSizes) {
    const std::string chain = std::string(kTree) + "chain 07\\";
    std::vector<Entry> all, want, got;
    referenceWalk(chain, all);
    for (const Entry& e : all) {
        if (e.report != 1) continue;
        std::vector<Entry> inside;
        referenceWalk(e.path + "\\", inside);
        want.push_back({e.path, 0, fileBytes(inside)});
    }
    EXPECT_EQ(gtEnumSubDirsInDir((chain + "*.*").c_str(), &collect, TRUE, TRUE, userOf(&got), 0), 1);
    expectSameWalk(got, want);
}

// A keep-list of 260-byte slots.
std::vector<char> keepList(const std::vector<std::string>& names) {
    std::vector<char> slots((names.size() + 1) * 260, 0);
    for (size_t i = 0; i < names.size(); ++i) lstrcpynA(&slots[260 * i], names[i].c_str(), 260);
    return slots;
}

TEST_F(Tree, DeletionKeepsTheListedNamesAndTheirDirectories) {
    const std::string chain = std::string(kTree) + "chain 05\\";
    // Every level holds the same names: one kept by its long name (in
    // another case), one by its short name.
    const char kLong[] = "report 10.txt", kByShort[] = "Long Document Name Number 09.document";
    WIN32_FIND_DATAA fd;
    FindClose(FindFirstFileA((chain + kByShort).c_str(), &fd));
    ASSERT_NE(fd.cAlternateFileName[0], 0);
    const std::vector<char> keep = keepList({"REPORT 10.TXT", fd.cAlternateFileName});
    EXPECT_EQ(gtDeleteFileEx((chain + "*.*").c_str(), FALSE, nullptr, TRUE, keep.data()), 1);

    std::vector<Entry> after;
    referenceWalk(chain, after);
    size_t byLong = 0, byShort = 0, directories = 0, others = 0;
    for (const Entry& e : after) {
        if (e.report == 1) continue;
        const std::string name = e.path.substr(e.path.rfind('\\') + 1);
        if (GetFileAttributesA(e.path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) ++directories;
        else if (name == kLong) ++byLong;
        else if (name == kByShort) ++byShort;
        else ++others;
    }
    EXPECT_EQ(byLong, 20u);
    EXPECT_EQ(byShort, 20u);
    EXPECT_EQ(directories, 19u);
    EXPECT_EQ(others, 0u);

    // Without a keep-list the chain is emptied, hidden and system files too.
    const std::string other = std::string(kTree) + "chain 06";
    EXPECT_EQ(gtDeleteFileEx((other + "\\*.*").c_str(), FALSE, nullptr, TRUE, nullptr), 1);
    EXPECT_TRUE(gtIsDirEmpty(other.c_str()));
}

TEST_F(Tree, DeletionRemovesALinkNeverItsTarget) {
    const std::string chain = std::string(kTree) + "chain 03";
    ASSERT_TRUE(exists(chain + "\\link\\precious.txt"));
    EXPECT_EQ(gtDeleteFileEx((chain + "\\*.*").c_str(), FALSE, nullptr, TRUE, nullptr), 1);
    // The link itself may stay: Wine cannot remove a link to a directory
    // (it follows it); what counts is that its target is never touched.
    EXPECT_EQ(contentOf("V:\\precious.txt"), "outside data\n");
    std::vector<Entry> left;
    referenceWalk(chain + "\\", left);
    const size_t besidesTheLink =
        std::count_if(left.begin(), left.end(), [&](const Entry& e) { return e.path != chain + "\\link"; });
    EXPECT_EQ(besidesTheLink, 0u);
}

// --- full disk mid-write -------------------------------------------------------

// Files of T:\small (a directory of nothing else must stay so).
int filesIn(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do n += !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

TEST(FullDisk, FailedWritesLeaveTheDestinationAsItWas) {
    const std::string source = "T:\\source.bin", dst = std::string(kSmall) + "dest.bin";
    std::string content(200 * 1024, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = char(i * 13 + i / 4096);
    writeFile(source, content);
    ASSERT_TRUE(gtIsDiskSpaceAvailable('T', LONGLONG(content.size())));
    const std::string old(10 * 1024, 'o');
    std::string lineName = source;
    LPGTLINEFILE lines = fuOpenFile(&lineName[0], OF_READ);
    ASSERT_NE(lines, nullptr);
    ASSERT_EQ(fuGotoFileOffset(lines, 77, FU_ORIGIN_BEGIN), 77);
    const struct { const char* name; std::function<BOOL()> call; } ops[] = {
        {"gtCopyFile", [&] { return gtCopyFile(dst.c_str(), source.c_str()); }},
        {"gtCopyFileEx", [&] { return gtCopyFileEx(dst.c_str(), source.c_str(), nullptr, 0); }},
        {"gtCatFile", [&] { return gtCatFile(dst.c_str(), source.c_str(), TRUE); }},
        {"gtExtractAndCopy", [&] { return gtExtractAndCopy(lines, 0, LONG(content.size()), dst.c_str()); }},
    };
    for (const auto& op : ops) {
        for (bool existing : {false, true}) {
            SCOPED_TRACE(std::string(op.name) + (existing ? ", existing destination" : ", new destination"));
            DeleteFileA(dst.c_str());
            if (existing) writeFile(dst, old);
            EXPECT_FALSE(op.call());
            EXPECT_EQ(contentOf(dst), existing ? old : "(missing)");
            EXPECT_EQ(filesIn(kSmall), existing ? 1 : 0);
            EXPECT_EQ(contentOf(source), content);
            EXPECT_EQ(fuGetCurFileOffset(lines), 77);
        }
    }
    fuCloseFile(lines);
}

DWORD fileIndexOf(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    return info.nFileIndexLow;
}

// Two file systems without volume serial numbers number their files alike:
// such files are still two files, and copying one over the other works.
TEST(FullDisk, FilesOfTwoFileSystemsWithTheSameIndexAreNotOneFile) {
    const std::string one = "T:\\twin1\\same.txt", two = "T:\\twin2\\same.txt";
    writeFile(one, "one");
    writeFile(two, "two");
    ASSERT_EQ(fileIndexOf(one), fileIndexOf(two)) << "the twin file systems number their first files alike";
    EXPECT_TRUE(gtCopyFileEx(one.c_str(), two.c_str(), nullptr, 0));
    EXPECT_EQ(contentOf(one), "two");
}

// --- wiping a drive ------------------------------------------------------------

TEST(WipeDisk, EverythingButTheKeptNamesAndNeverThroughALink) {
    CreateDirectoryA("T:\\dir", nullptr);
    CreateDirectoryA("T:\\dir\\sub", nullptr);
    writeFile("T:\\dir\\sub\\a.txt", "a");
    writeFile("T:\\Keep Me.txt", "kept");
    writeFile("T:\\ro.txt", "ro");
    SetFileAttributesA("T:\\ro.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    const std::vector<char> keep = keepList({"keep me.txt"});
    EXPECT_EQ(gtWipeDisk('T', FALSE, nullptr, keep.data()), 1);
    const struct { const char* name; std::string path; bool present; } rows[] = {
        {"kept file", "T:\\Keep Me.txt", true},
        {"read-only hidden file", "T:\\ro.txt", false},
        {"nested directory", "T:\\dir", false},
        {"the link's target", "V:\\precious.txt", true},
    };
    for (const auto& row : rows) EXPECT_EQ(exists(row.path), row.present) << "case " << row.name;
    EXPECT_FALSE(gtWipeDisk('B', FALSE, nullptr, nullptr));
}

}  // namespace
