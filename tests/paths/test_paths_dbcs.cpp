// Path names and find records under code page 932, with names whose
// double-byte characters end in the byte 0x5C (the backslash's value).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fs/findfile.h"
#include "fs/pathnames.h"
#include "gtapi32.h"
#include "testutil.h"

namespace {

// U+8868 and U+80FD: 0x95 0x5C and 0x94 0x5C in code page 932.
const std::string HYO = testutil::ansiFromUtf8("\xE8\xA1\xA8");
const std::string NOU = testutil::ansiFromUtf8("\xE8\x83\xBD");

TEST(Dbcs, CodePageIs932) {
    ASSERT_EQ(GetACP(), 932u);
    ASSERT_EQ(HYO, "\x95\x5C");
    ASSERT_EQ(NOU, "\x94\x5C");
}

TEST(Dbcs, SplitNeverTakesATrailByteForASeparator) {
    const struct {
        std::string path, drive, dir, nameExt;
    } cases[] = {
        {"C:\\" + HYO + "\\" + NOU + ".txt", "C:", "\\" + HYO + "\\", NOU + ".txt"},
        {"dir\\" + HYO, "", "dir\\", HYO},  // a name ending in trail byte 0x5C keeps it
        {HYO + NOU, "", "", HYO + NOU},
        {"\\\\srv\\" + HYO + "\\d\\f.txt", "\\\\srv\\" + HYO, "\\d\\", "f.txt"},  // real backslashes only
        {"  " + HYO + "  ", "", "", HYO},  // trailing spaces after a trail byte trimmed, the trail byte kept
    };
    for (const auto& c : cases) {
        GTSPLITPATH s;
        char buf[261];
        std::strcpy(buf, c.path.c_str());
        ASSERT_TRUE(gtSplitPath(buf, &s));
        EXPECT_EQ(std::string(s.szDrive), c.drive);
        EXPECT_EQ(std::string(s.szDir), c.dir);
        EXPECT_EQ(std::string(s.szNameExt), c.nameExt);
    }
    GTSPLITPATH s;
    char buf[261];
    std::strcpy(buf, ("C:\\" + HYO + "\\" + NOU + ".txt").c_str());
    ASSERT_TRUE(gtSplitPath(buf, &s));
    EXPECT_EQ(std::string(s.szName), NOU);
    EXPECT_STREQ(s.szExt, ".txt");
}

TEST(Dbcs, DirectoryEndingInATrailByteGetsItsBackslash) {
    char out[261];
    std::string dir = "C:\\" + HYO;
    char d[261];
    std::strcpy(d, dir.c_str());
    ASSERT_EQ(gtAppendFileName(d, "a.txt", out, sizeof out), out);
    EXPECT_EQ(std::string(out), dir + "\\a.txt");

    char name[261] = "f.txt";
    ASSERT_TRUE(gtSetDirectoryName(name, dir.c_str(), out));
    EXPECT_EQ(std::string(out), dir + "\\f.txt");

    std::strcpy(name, HYO.c_str());
    ASSERT_TRUE(gtSetFileExtension(name, "txt", out, 0));
    EXPECT_EQ(std::string(out), HYO + ".txt");
    EXPECT_FALSE(gtHasDirectoryName(name));
}

TEST(Dbcs, StripsAtRealBackslashes) {
    char out[261];
    char p[261];
    std::strcpy(p, ("C:\\" + HYO + "\\" + NOU + ".txt").c_str());
    ASSERT_EQ(gtStripFileName(p, out, sizeof out), out);
    EXPECT_EQ(std::string(out), "C:\\" + HYO);
    ASSERT_EQ(gtStripPathName(p, out, sizeof out), out);
    EXPECT_EQ(std::string(out), NOU + ".txt");

    std::strcpy(p, (HYO + NOU).c_str());
    EXPECT_EQ(gtStripPathName(p, out, sizeof out), nullptr);
    EXPECT_EQ(gtStripFileName(p, out, sizeof out), nullptr);

    // A bound that falls inside a character drops the whole character.
    std::strcpy(p, ("C:\\d\\" + HYO + NOU + HYO).c_str());
    char small[8];
    std::memset(small, 'x', sizeof small);
    ASSERT_EQ(gtStripPathName(p, small, 4), small);
    EXPECT_EQ(std::string(small), HYO);
    EXPECT_EQ(small[3], 'x');
}

TEST(Dbcs, NormalizeStepsOverTrailBytes) {
    const std::string base = testutil::freshTempDir("dbcsn");
    char name[261];
    std::strcpy(name, (HYO + "\\..\\" + NOU + ".txt").c_str());
    char out[261];
    ASSERT_TRUE(gtNormalizeFileName(name, base.c_str(), out));
    EXPECT_EQ(std::string(out), base + NOU + ".txt");
    std::strcpy(name, ("a\\" + HYO).c_str());
    ASSERT_TRUE(gtNormalizeFileName(name, base.c_str(), nullptr));
    EXPECT_EQ(std::string(name), base + "a\\" + HYO);
    RemoveDirectoryA(base.c_str());
}

// Needs a host locale that can spell the name on disk; without one (no
// ja_JP.UTF-8 locale generated) the platform refuses every such name.
TEST(Dbcs, FindDeliversDoubleByteNames) {
    const std::string base = testutil::freshTempDir("dbcs");
    const std::string dir = base + HYO;
    if (!CreateDirectoryA(dir.c_str(), nullptr)) {
        RemoveDirectoryA(base.c_str());
        GTEST_SKIP() << "the host cannot store double-byte file names (error " << GetLastError() << ")";
    }
    const std::string file = dir + "\\" + NOU + HYO + ".txt";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);

    GTFINDDATA fd;
    HANDLE s = gtFindFirst((dir + "\\*.txt").c_str(), &fd, 7);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(std::string(fd.szName), NOU + HYO + ".txt");
    EXPECT_FALSE(gtFindNext(s, &fd, 7));
    EXPECT_TRUE(gtFindClose(s));
    EXPECT_TRUE(gtIsDirExist(dir.c_str()));

    DeleteFileA(file.c_str());
    RemoveDirectoryA(dir.c_str());
    RemoveDirectoryA(base.c_str());
}

TEST(Dbcs, ShortNameFallbackKeepsWholeCharacters) {
    GTFINDRECORD r;
    std::memset(&r, 0, sizeof r);
    // 12 single bytes then a double-byte character: 13 bytes would cut it.
    std::string name = "abcdefghijkl" + HYO + "x.txt";
    std::strcpy(r.fd.cFileName, name.c_str());
    GTFINDDATA out;
    gt::find::convert(r, out);
    EXPECT_STREQ(out.szShortName, "abcdefghijkl");
    name = "abcdefghijk" + HYO + "x.txt";
    std::strcpy(r.fd.cFileName, name.c_str());
    gt::find::convert(r, out);
    EXPECT_EQ(std::string(out.szShortName), "abcdefghijk" + HYO);
}

}  // namespace
