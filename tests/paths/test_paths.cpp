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

TEST(SplitPath, TrimsInPlaceAndAgreesWithSplitpath) {
    GTSPLITPATH s;
    char p[261] = "   C:\\a\\b.c  ";
    ASSERT_TRUE(gtSplitPath(p, &s));
    EXPECT_STREQ(p, "C:\\a\\b.c");
    EXPECT_STREQ(s.szPath, "C:\\a\\b.c");
    char blank[8] = "   ";  // spaces alone: an empty path, which fails
    EXPECT_FALSE(gtSplitPath(blank, &s));
    EXPECT_STREQ(blank, "");
    EXPECT_STREQ(s.szPath, "");

    for (const char* path : {"C:\\dir\\sub\\file.txt", "rel\\x.y.z", "c:/f/g", "C:noslash.ext", "a.", "..\\..\\q",
                             "\\root.d\\n", "x:", "/lead/slash", "trail\\"}) {
        char drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT], copy[261];
        _splitpath(path, drive, dir, name, ext);
        ASSERT_TRUE(gtSplitPath(std::strcpy(copy, path), &s)) << path;
        EXPECT_EQ(std::string(s.szDrive) + "|" + s.szDir + "|" + s.szName + "|" + s.szExt,
                  std::string(drive) + "|" + dir + "|" + name + "|" + ext);
    }
}

TEST(PathTests, UncWildcardAndDirectoryPart) {
    EXPECT_TRUE(gtIsUNCName("\\\\srv\\share"));
    EXPECT_FALSE(gtIsUNCName("\\srv") || gtIsUNCName("//srv/share"));
    EXPECT_TRUE(gtIsAnyWildCard("C:\\*.txt") && gtIsAnyWildCard("file?.txt"));
    EXPECT_FALSE(gtIsAnyWildCard("C:\\file.txt"));
    EXPECT_TRUE(gtHasDirectoryName("C:\\dir\\f") && gtHasDirectoryName("rel/f"));
    EXPECT_FALSE(gtHasDirectoryName("C:f"));  // a drive alone does not count
    EXPECT_FALSE(gtHasDirectoryName("file.txt"));
    EXPECT_TRUE(gtHasDirectoryName("  \\dir\\f  "));  // read only: not trimmed
}

TEST(SetDirectoryName, SuppliesADirectoryOnlyWhereMissing) {
    char out[261], p1[261] = "file.txt", p2[261] = "D:file.txt", p3[261] = "E:\\keep\\f.c";
    ASSERT_TRUE(gtSetDirectoryName(p1, "C:\\dir", out));
    EXPECT_STREQ(out, "C:\\dir\\file.txt");
    EXPECT_STREQ(p1, "file.txt");
    ASSERT_TRUE(gtSetDirectoryName(p1, "C:\\dir\\", nullptr));
    EXPECT_STREQ(p1, "C:\\dir\\file.txt");
    ASSERT_TRUE(gtSetDirectoryName(p2, "C:\\x", out));  // the path's drive is not kept
    EXPECT_STREQ(out, "C:\\x\\file.txt");
    ASSERT_TRUE(gtSetDirectoryName(p3, "C:\\x", out));  // with a directory part the path stays
    EXPECT_STREQ(out, "E:\\keep\\f.c");
    // Nothing to do, or a result above 260 characters: refused, nothing written.
    std::strcpy(out, "untouched");
    EXPECT_FALSE(gtSetDirectoryName(p2, "", out));
    EXPECT_FALSE(gtSetDirectoryName(p2, nullptr, out));
    EXPECT_FALSE(gtSetDirectoryName(p2, ("C:\\" + std::string(255, 'd')).c_str(), out));
    EXPECT_STREQ(out, "untouched");
}

TEST(SetFileExtension, ForceAndMissingExtensions) {
    const struct {
        const char *path, *ext;
        BOOL force;
        const char* result;
    } cases[] = {
        {"file.txt", ".bak", 0, "file.txt"},      {"file.txt", ".bak", 1, "file.bak"},
        {"file", "bak", 0, "file.bak"},           {"file.", ".bak", 0, "file.bak"},
        {"file.txt", "", 1, "file"},              {"file.txt", nullptr, 1, "file"},
        {"C:\\d.x\\f", "..c", 0, "C:\\d.x\\f.c"}, {"\\\\s\\h\\f.a", "b", 1, "\\\\s\\h\\f.b"},
        {"file.txt", ".bak", 2, "file.txt"},  // only 1 forces
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " + " + (c.ext ? c.ext : "(null)"));
        char in[261], out[261];
        ASSERT_TRUE(gtSetFileExtension(std::strcpy(in, c.path), c.ext, out, c.force));
        EXPECT_STREQ(out, c.result);
        EXPECT_STREQ(in, c.path);
        ASSERT_TRUE(gtSetFileExtension(in, c.ext, nullptr, c.force));
        EXPECT_STREQ(in, c.result);
    }
}

TEST(StripAndAppend, BoundedByTheOutputSize) {
    char out[261], small[8], p1[261] = "C:\\dir\\file.txt", p2[261] = "C:\\dir\\longname.txt", p3[261] = "file.txt";
    ASSERT_EQ(gtStripFileName(p1, out, sizeof out), out);
    EXPECT_STREQ(out, "C:\\dir");
    ASSERT_EQ(gtStripPathName(p1, out, sizeof out), out);
    EXPECT_STREQ(out, "file.txt");
    EXPECT_STREQ(p1, "C:\\dir\\file.txt");
    ASSERT_EQ(gtStripPathName(p1, nullptr, 0), p1);
    EXPECT_STREQ(p1, "file.txt");
    EXPECT_EQ(gtStripPathName(p1, out, sizeof out), nullptr);  // no backslash any more
    EXPECT_EQ(gtStripFileName(p3, nullptr, 0), nullptr);
    EXPECT_STREQ(p3, "file.txt");
    std::memset(small, 'x', sizeof small);
    ASSERT_EQ(gtStripPathName(p2, small, 5), small);
    EXPECT_STREQ(small, "long");
    EXPECT_EQ(small[5], 'x');
    ASSERT_EQ(gtStripFileName(p2, nullptr, 0), p2);
    EXPECT_STREQ(p2, "C:\\dir");

    // Append adds one backslash; the output size bounds the result.
    ASSERT_EQ(gtAppendFileName(p2, "a.txt", out, sizeof out), out);
    EXPECT_STREQ(out, "C:\\dir\\a.txt");
    std::strcpy(out, "untouched");
    EXPECT_EQ(gtAppendFileName(p2, "a.txt", out, 12), nullptr);
    EXPECT_STREQ(out, "untouched");
    EXPECT_EQ(gtAppendFileName(p2, "a.txt", out, 13), out);
    std::strcat(p2, "\\");
    ASSERT_EQ(gtAppendFileName(p2, "a.txt", nullptr, 0), p2);
    EXPECT_STREQ(p2, "C:\\dir\\a.txt");
}

TEST(WithDirectory, StripAndNormalizeOnRealDirectories) {
    const std::string dir = testutil::freshTempDir("paths"), sub = dir + "sub";
    CreateDirectoryA(sub.c_str(), nullptr);
    // A directory is its own directory part.
    char p[261], small[6], out[261];
    ASSERT_EQ(gtStripFileName(std::strcpy(p, sub.c_str()), nullptr, 0), p);
    EXPECT_EQ(std::string(p), sub);
    std::memset(small, 'x', sizeof small);
    ASSERT_EQ(gtStripFileName(p, small, 4), small);
    EXPECT_EQ(std::string(small), sub.substr(0, 3));
    EXPECT_EQ(small[4], 'x');

    // Normalize puts the current directory back on every path.
    const std::string before = currentDir();
    char name[261] = "x\\..\\f.txt";
    ASSERT_TRUE(gtNormalizeFileName(name, sub.c_str(), out));
    EXPECT_EQ(std::string(out), sub + "\\f.txt");
    EXPECT_EQ(currentDir(), before);
    ASSERT_TRUE(gtNormalizeFileName(name, nullptr, out));  // relative to the current directory
    EXPECT_EQ(std::string(out), before + (before.back() == '\\' ? "" : "\\") + "f.txt");
    ASSERT_TRUE(gtNormalizeFileName(name, "", nullptr));
    EXPECT_STREQ(name, out);
    char rel[261] = "f.txt";  // a base that cannot be made current
    EXPECT_FALSE(gtNormalizeFileName(rel, (dir + "missing").c_str(), out));
    EXPECT_EQ(currentDir(), before);
    // A result above 260 characters, after the base was made current.
    std::string lng = std::string(120, 'a') + "\\" + std::string(120, 'b') + "\\" + std::string(40, 'c');
    std::strcpy(out, "untouched");
    EXPECT_FALSE(gtNormalizeFileName(&lng[0], sub.c_str(), out));
    EXPECT_STREQ(out, "untouched");
    EXPECT_EQ(currentDir(), before);
    std::string huge(1100, 'h');  // longer than the work buffer: the conversion fails outright
    EXPECT_FALSE(gtNormalizeFileName(&huge[0], sub.c_str(), out));
    EXPECT_EQ(currentDir(), before);
    RemoveDirectoryA(sub.c_str());
    RemoveDirectoryA(dir.c_str());
}

}  // namespace
