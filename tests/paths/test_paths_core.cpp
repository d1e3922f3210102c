// Path splitting and the bounded helpers, called directly (code page of the
// test host, single-byte).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fs/pathnames.h"
#include "gtapi32.h"

namespace {

struct Expected {
    const char *path, *drive, *dir, *name, *ext;
};

void expectSplit(const Expected& e) {
    SCOPED_TRACE(e.path);
    GTSPLITPATH s;
    std::memset(&s, 0xCC, sizeof s);
    ASSERT_TRUE(gt::path::split(e.path, s));
    EXPECT_STREQ(s.szPath, e.path);
    EXPECT_STREQ(s.szDrive, e.drive);
    EXPECT_STREQ(s.szDir, e.dir);
    EXPECT_STREQ(s.szName, e.name);
    EXPECT_STREQ(s.szExt, e.ext);
    EXPECT_EQ(std::string(s.szDriveDir), std::string(e.drive) + e.dir);
    EXPECT_EQ(std::string(s.szNameExt), std::string(e.name) + e.ext);
    // Cleared first: everything after each terminator is zero.
    const char* fields[] = {s.szPath, s.szDrive, s.szDir, s.szName, s.szExt, s.szDriveDir, s.szNameExt};
    const size_t sizes[] = {260, 260, 256, 256, 256, 260, 260};
    for (int f = 0; f < 7; ++f)
        for (size_t i = std::strlen(fields[f]); i < sizes[f]; ++i) ASSERT_EQ(fields[f][i], 0) << "field " << f;
}

TEST(SplitLogic, DrivesSharesRelativeNamesAndSlashes) {
    const Expected cases[] = {
        {"C:\\dir\\sub\\file.txt", "C:", "\\dir\\sub\\", "file", ".txt"},
        {"C:file.txt", "C:", "", "file", ".txt"},
        {"C:", "C:", "", "", ""},
        {"C:\\", "C:", "\\", "", ""},
        {"file.txt", "", "", "file", ".txt"},
        {"dir\\file", "", "dir\\", "file", ""},
        {"..\\up\\a.b.c", "", "..\\up\\", "a.b", ".c"},
        {"c:/dir/sub/file.txt", "c:", "/dir/sub/", "file", ".txt"},
        {"dir/mixed\\file.tar.gz", "", "dir/mixed\\", "file.tar", ".gz"},
        {"C:\\dir.d\\file", "C:", "\\dir.d\\", "file", ""},
        {"name.", "", "", "name", "."},
        {".", "", "", "", "."},
        {"..", "", "", ".", "."},
        {".profile", "", "", "", ".profile"},
        {"*.txt", "", "", "*", ".txt"},
        // UNC: the share is the drive.
        {"\\\\server\\share\\dir\\file.txt", "\\\\server\\share", "\\dir\\", "file", ".txt"},
        {"\\\\server\\share\\file", "\\\\server\\share", "\\", "file", ""},
        {"\\\\server\\share", "\\\\server\\share", "", "", ""},
        {"\\\\server", "\\\\server", "", "", ""},
        {"\\\\server\\share\\", "\\\\server\\share", "\\", "", ""},
        // A slash is a separator of the rest, not of the share prefix.
        {"\\\\srv\\sh/x\\d/f.e", "\\\\srv\\sh/x", "\\d/", "f", ".e"},
        // Two slashes do not make a UNC name: _splitpath's rules apply.
        {"//server/share/f.txt", "", "//server/share/", "f", ".txt"},
    };
    for (const auto& e : cases) expectSplit(e);
}

TEST(SplitLogic, PartsThatDoNotFitFailWithACleanRecord) {
    GTSPLITPATH s;
    // A 255-character name fits its field; 256 does not.
    std::string name255(255, 'n');
    ASSERT_TRUE(gt::path::split(("C:\\" + name255).c_str(), s));
    EXPECT_EQ(std::strlen(s.szName), 255u);
    std::memset(&s, 0xCC, sizeof s);
    EXPECT_FALSE(gt::path::split(("C:\\" + name255 + "n").c_str(), s));
    for (size_t i = 0; i < sizeof s; ++i) ASSERT_EQ(reinterpret_cast<const char*>(&s)[i], 0) << i;

    EXPECT_FALSE(gt::path::split(("C:\\" + std::string(255, 'd') + "\\f").c_str(), s));  // directory 257
    EXPECT_FALSE(gt::path::split(("f." + std::string(255, 'e')).c_str(), s));           // extension 256
    EXPECT_FALSE(gt::path::split(std::string(260, 'a').c_str(), s));                    // whole path 260
    EXPECT_TRUE(gt::path::split(("C:\\" + std::string(120, 'd') + "\\" + std::string(130, 'f')).c_str(), s));
}

TEST(WritableCheck, CommittedReadOnlyAndFreeMemory) {
    char stackBuf[64];
    EXPECT_TRUE(gt::path::isWritable(stackBuf, sizeof stackBuf));
    EXPECT_FALSE(gt::path::isWritable(nullptr, 1));
    EXPECT_FALSE(gt::path::isWritable(const_cast<char*>("literal"), 4));
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    const DWORD page = si.dwPageSize;
    // Pages: read-write, read-only (from the middle on), reserved.
    auto* block = static_cast<char*>(VirtualAlloc(nullptr, page * 3, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(block, nullptr);
    ASSERT_NE(VirtualAlloc(block, page * 2, MEM_COMMIT, PAGE_READWRITE), nullptr);
    EXPECT_TRUE(gt::path::isWritable(block, page * 2));
    EXPECT_TRUE(gt::path::isWritable(block + page * 2 - 10, 10));
    EXPECT_FALSE(gt::path::isWritable(block + page * 2 - 10, 11));  // runs into the reserved page
    DWORD old;
    ASSERT_TRUE(VirtualProtect(block + page, page, PAGE_READONLY, &old));
    EXPECT_FALSE(gt::path::isWritable(block, page * 2));
    EXPECT_FALSE(gt::path::isWritable(block + 8, static_cast<size_t>(-1)));  // wraps the address space
    // gtAppendFileName refuses an output buffer not writable for its size before writing.
    char* out = block + page - 100;
    std::memset(out, 'x', 100);
    char dir[261] = "C:\\dir";
    EXPECT_EQ(gtAppendFileName(dir, "a.txt", out, 200), nullptr);
    EXPECT_EQ(out[0], 'x');
    EXPECT_EQ(gtAppendFileName(dir, "a.txt", out, 100), out);
    EXPECT_STREQ(out, "C:\\dir\\a.txt");
    VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace
