// Path-name exports through gtapi32.dll: output bounds, normalizing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "gtapi32.h"
#include "testutil.h"

namespace {

std::string currentDir() {
    char buf[1024] = {};
    return GetCurrentDirectoryA(sizeof buf, buf), buf;
}

TEST(Paths, AppendBoundAndNormalizePutsTheCurrentDirectoryBack) {
    const std::string dir = testutil::freshTempDir("paths"), before = currentDir();
    char name[261] = "x\\..\\f.txt", rel[261] = "f.txt", out[261] = "untouched", cdir[261] = "C:\\dir";
    EXPECT_EQ(gtAppendFileName(cdir, "a.txt", out, 12), nullptr);
    EXPECT_STREQ(out, "untouched") << "case a refused result leaves the output alone";
    EXPECT_EQ(gtAppendFileName(cdir, "a.txt", out, 13), out);
    ASSERT_TRUE(gtNormalizeFileName(name, dir.c_str(), out));
    EXPECT_EQ(std::string(out), dir + "f.txt");
    EXPECT_EQ(currentDir(), before);
    EXPECT_FALSE(gtNormalizeFileName(rel, (dir + "missing").c_str(), out));
    std::string lng = std::string(120, 'a') + "\\" + std::string(120, 'b') + "\\" + std::string(40, 'c');
    EXPECT_FALSE(gtNormalizeFileName(&lng[0], dir.c_str(), out));  // fails after the base was made current
    EXPECT_EQ(currentDir(), before);
    RemoveDirectoryA(dir.c_str());
}

}  // namespace
