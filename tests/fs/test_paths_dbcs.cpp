// Code page 932: double-byte characters ending in the byte 0x5C (the
// backslash's value) are never taken for separators.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fs/findfile.h"
#include "gtapi32.h"
#include "testutil.h"

namespace {

const std::string HYO = testutil::ansiFromUtf8("\xE8\xA1\xA8"), NOU = testutil::ansiFromUtf8("\xE8\x83\xBD");

TEST(Dbcs, TrailBytesAreNoSeparators) {
    ASSERT_EQ(HYO + NOU, "\x95\x5C\x94\x5C") << "run with LC_ALL=ja_JP.UTF-8";
    const struct { std::string path, parts; } cases[] = {
        {"C:\\" + HYO + "\\" + NOU + ".txt", "C:|\\" + HYO + "\\|" + NOU + "|.txt"},
        {"dir\\" + HYO, "|dir\\|" + HYO + "|"},
        {"\\\\srv\\" + HYO + "\\d\\f.txt", "\\\\srv\\" + HYO + "|\\d\\|f|.txt"},
        {"  " + HYO + "  ", "||" + HYO + "|"},  // spaces trimmed, the trail byte kept
    };
    for (const auto& c : cases) {
        GTSPLITPATH s;
        char buf[261];
        ASSERT_TRUE(gtSplitPath(std::strcpy(buf, c.path.c_str()), &s));
        EXPECT_EQ(std::string(s.szDrive) + "|" + s.szDir + "|" + s.szName + "|" + s.szExt, c.parts);
    }
    char p[261], out[261], small[8] = "xxxxxxx";
    ASSERT_EQ(gtAppendFileName(std::strcpy(p, ("C:\\" + HYO).c_str()), "a.txt", out, sizeof out), out);
    EXPECT_EQ(std::string(out), "C:\\" + HYO + "\\a.txt");
    EXPECT_EQ(gtStripPathName(std::strcpy(p, (HYO + NOU).c_str()), out, sizeof out), nullptr);
    ASSERT_EQ(gtStripPathName(std::strcpy(p, ("C:\\d\\" + HYO + NOU).c_str()), small, 4), small);
    EXPECT_EQ(std::string(small), HYO);  // a bound inside a character drops all of it
    GTFINDRECORD r = {};
    GTFINDDATA fd;
    std::strcpy(r.fd.cFileName, ("abcdefghijkl" + HYO + "x.txt").c_str());
    gt::find::convert(r, fd);
    EXPECT_STREQ(fd.szShortName, "abcdefghijkl");  // the 13-byte short name keeps whole characters
}

}  // namespace
