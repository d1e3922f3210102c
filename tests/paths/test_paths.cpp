// Path-name exports through gtapi32.dll.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gtapi32.h"
#include "testutil.h"

namespace {

std::string currentDir() {
    char buf[1024] = {};
    GetCurrentDirectoryA(sizeof buf, buf);
    return buf;
}

TEST(SplitPath, TrimsTheCallersStringInPlace) {
    GTSPLITPATH s;
    char p[261] = "   C:\\a\\b.c  ";
    ASSERT_TRUE(gtSplitPath(p, &s));
    EXPECT_STREQ(p, "C:\\a\\b.c");
    EXPECT_STREQ(s.szPath, "C:\\a\\b.c");
    EXPECT_STREQ(s.szExt, ".c");
    // Spaces alone leave an empty path, which fails like an empty argument.
    char blank[8] = "   ";
    EXPECT_FALSE(gtSplitPath(blank, &s));
    EXPECT_STREQ(blank, "");
    EXPECT_STREQ(s.szPath, "");
}

TEST(SplitPath, AgreesWithSplitpathOnPlainPaths) {
    const char* paths[] = {"C:\\dir\\sub\\file.txt", "rel\\x.y.z", "c:/f/g", "C:noslash.ext", "a.", "..\\..\\q",
                           "\\root.d\\n", "x:", "/lead/slash", "trail\\"};
    for (const char* p : paths) {
        SCOPED_TRACE(p);
        char drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
        _splitpath(p, drive, dir, name, ext);
        char copy[261];
        std::strcpy(copy, p);
        GTSPLITPATH s;
        ASSERT_TRUE(gtSplitPath(copy, &s));
        EXPECT_STREQ(s.szDrive, drive);
        EXPECT_STREQ(s.szDir, dir);
        EXPECT_STREQ(s.szName, name);
        EXPECT_STREQ(s.szExt, ext);
    }
}

TEST(PathTests, UncWildcardAndDirectoryPart) {
    EXPECT_TRUE(gtIsUNCName("\\\\srv\\share"));
    EXPECT_FALSE(gtIsUNCName("\\srv"));
    EXPECT_FALSE(gtIsUNCName("//srv/share"));
    EXPECT_TRUE(gtIsAnyWildCard("C:\\*.txt"));
    EXPECT_TRUE(gtIsAnyWildCard("file?.txt"));
    EXPECT_FALSE(gtIsAnyWildCard("C:\\file.txt"));

    EXPECT_TRUE(gtHasDirectoryName("C:\\dir\\f"));
    EXPECT_TRUE(gtHasDirectoryName("rel/f"));
    EXPECT_FALSE(gtHasDirectoryName("C:f"));  // a drive alone does not count
    EXPECT_FALSE(gtHasDirectoryName("file.txt"));
    const char constant[] = "  \\dir\\f  ";  // not trimmed: the caller's text is read only
    EXPECT_TRUE(gtHasDirectoryName(constant));
}

TEST(SetDirectoryName, SuppliesADirectoryOnlyWhereMissing) {
    char out[261];
    char p1[261] = "file.txt";
    ASSERT_TRUE(gtSetDirectoryName(p1, "C:\\dir", out));
    EXPECT_STREQ(out, "C:\\dir\\file.txt");
    EXPECT_STREQ(p1, "file.txt");
    ASSERT_TRUE(gtSetDirectoryName(p1, "C:\\dir\\", nullptr));
    EXPECT_STREQ(p1, "C:\\dir\\file.txt");
    // A drive of the path is not kept.
    char p2[261] = "D:file.txt";
    ASSERT_TRUE(gtSetDirectoryName(p2, "C:\\x", out));
    EXPECT_STREQ(out, "C:\\x\\file.txt");
    // With a directory part the path stays.
    char p3[261] = "E:\\keep\\f.c";
    ASSERT_TRUE(gtSetDirectoryName(p3, "C:\\x", out));
    EXPECT_STREQ(out, "E:\\keep\\f.c");
    // No directory in either: nothing to do.
    std::strcpy(out, "untouched");
    EXPECT_FALSE(gtSetDirectoryName(p2, "", out));
    EXPECT_FALSE(gtSetDirectoryName(p2, nullptr, out));
    EXPECT_STREQ(out, "untouched");
    // A result above 260 characters is refused, not written.
    std::string longDir = "C:\\" + std::string(255, 'd');
    EXPECT_FALSE(gtSetDirectoryName(p2, longDir.c_str(), out));
    EXPECT_STREQ(out, "untouched");
}

TEST(SetFileExtension, ForceAndMissingExtensions) {
    struct Case {
        const char* path;
        const char* ext;
        BOOL force;
        const char* result;
    } cases[] = {
        {"file.txt", ".bak", 0, "file.txt"}, {"file.txt", ".bak", 1, "file.bak"},
        {"file", "bak", 0, "file.bak"},      {"file.", ".bak", 0, "file.bak"},
        {"file.txt", "", 1, "file"},         {"file.txt", nullptr, 1, "file"},
        {"C:\\d.x\\f", "..c", 0, "C:\\d.x\\f.c"}, {"\\\\s\\h\\f.a", "b", 1, "\\\\s\\h\\f.b"},
        {"file.txt", ".bak", 2, "file.txt"},  // only 1 forces
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " + " + (c.ext ? c.ext : "(null)"));
        char in[261], out[261];
        std::strcpy(in, c.path);
        ASSERT_TRUE(gtSetFileExtension(in, c.ext, out, c.force));
        EXPECT_STREQ(out, c.result);
        EXPECT_STREQ(in, c.path);
        ASSERT_TRUE(gtSetFileExtension(in, c.ext, nullptr, c.force));
        EXPECT_STREQ(in, c.result);
    }
}

class WithDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = testutil::freshTempDir("paths");
        CreateDirectoryA((dir_ + "sub").c_str(), nullptr);
    }
    void TearDown() override {
        RemoveDirectoryA((dir_ + "sub").c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    std::string dir_;  // trailing backslash
};

TEST_F(WithDirectory, StripFileNameKeepsExistingDirectories) {
    char out[261];
    char p1[261] = "C:\\dir\\file.txt";
    ASSERT_EQ(gtStripFileName(p1, out, sizeof out), out);
    EXPECT_STREQ(out, "C:\\dir");
    EXPECT_STREQ(p1, "C:\\dir\\file.txt");
    ASSERT_EQ(gtStripFileName(p1, nullptr, 0), p1);
    EXPECT_STREQ(p1, "C:\\dir");

    char p2[261];
    std::strcpy(p2, (dir_ + "sub").c_str());
    ASSERT_EQ(gtStripFileName(p2, nullptr, 0), p2);
    EXPECT_EQ(std::string(p2), dir_ + "sub");  // a directory is its own directory part

    char small[6];
    std::memset(small, 'x', sizeof small);
    ASSERT_EQ(gtStripFileName(p2, small, 4), small);
    EXPECT_EQ(std::string(small), (dir_ + "sub").substr(0, 3));
    EXPECT_EQ(small[4], 'x');

    char p3[261] = "file.txt";
    EXPECT_EQ(gtStripFileName(p3, nullptr, 0), nullptr);
    EXPECT_STREQ(p3, "file.txt");
}

TEST(StripPathName, FilePart) {
    char out[261];
    char p1[261] = "C:\\dir\\file.txt";
    ASSERT_EQ(gtStripPathName(p1, out, sizeof out), out);
    EXPECT_STREQ(out, "file.txt");
    ASSERT_EQ(gtStripPathName(p1, nullptr, 0), p1);
    EXPECT_STREQ(p1, "file.txt");
    EXPECT_EQ(gtStripPathName(p1, out, sizeof out), nullptr);  // no backslash any more
    char p2[261] = "C:\\dir\\longname.txt";
    char small[8];
    std::memset(small, 'x', sizeof small);
    ASSERT_EQ(gtStripPathName(p2, small, 5), small);
    EXPECT_STREQ(small, "long");
    EXPECT_EQ(small[5], 'x');
}

TEST(AppendFileName, AddsOneBackslash) {
    char out[261];
    char d1[261] = "C:\\dir";
    ASSERT_EQ(gtAppendFileName(d1, "a.txt", out, sizeof out), out);
    EXPECT_STREQ(out, "C:\\dir\\a.txt");
    char d2[261] = "C:\\dir\\";
    ASSERT_EQ(gtAppendFileName(d2, "a.txt", nullptr, 0), d2);
    EXPECT_STREQ(d2, "C:\\dir\\a.txt");
    // The output size bounds the result.
    std::strcpy(out, "untouched");
    EXPECT_EQ(gtAppendFileName(d1, "a.txt", out, 12), nullptr);
    EXPECT_STREQ(out, "untouched");
    EXPECT_EQ(gtAppendFileName(d1, "a.txt", out, 13), out);
}

TEST_F(WithDirectory, NormalizeRestoresTheCurrentDirectoryOnEveryPath) {
    const std::string before = currentDir();
    char out[261];
    char name[261] = "x\\..\\f.txt";
    ASSERT_TRUE(gtNormalizeFileName(name, (dir_ + "sub").c_str(), out));
    EXPECT_EQ(std::string(out), dir_ + "sub\\f.txt");
    EXPECT_EQ(currentDir(), before);

    // Relative to the current directory without a base.
    ASSERT_TRUE(gtNormalizeFileName(name, nullptr, out));
    EXPECT_EQ(std::string(out), before + (before.back() == '\\' ? "" : "\\") + "f.txt");
    ASSERT_TRUE(gtNormalizeFileName(name, "", nullptr));
    EXPECT_STREQ(name, out);

    // A base that cannot be made current.
    char rel[261] = "f.txt";
    EXPECT_FALSE(gtNormalizeFileName(rel, (dir_ + "missing").c_str(), out));
    EXPECT_EQ(currentDir(), before);
    // A result above 260 characters, after the base was made current.
    std::string longName = std::string(120, 'a') + "\\" + std::string(120, 'b') + "\\" + std::string(40, 'c');
    char lng[400];
    std::strcpy(lng, longName.c_str());
    std::strcpy(out, "untouched");
    EXPECT_FALSE(gtNormalizeFileName(lng, (dir_ + "sub").c_str(), out));
    EXPECT_STREQ(out, "untouched");
    EXPECT_EQ(currentDir(), before);
    // A conversion that fails outright (longer than the work buffer).
    std::string huge(1100, 'h');
    EXPECT_FALSE(gtNormalizeFileName(huge.data(), (dir_ + "sub").c_str(), out));
    EXPECT_EQ(currentDir(), before);
}

}  // namespace
