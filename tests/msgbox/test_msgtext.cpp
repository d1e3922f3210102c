// Message texts: marked blocks, platform formatting, placeholders, cuts.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>
#include <vector>
#include "gtapi32.h"
#include "msgbox/text.h"
#include "text/blockheap.h"

enum { IDS_ARG = 100, IDS_LONG = 101, IDS_DIRECTIVES = 102, IDS_MISSING = 999 };
static HMODULE self() { return GetModuleHandleA(nullptr); }
static const std::string g_long(5000, 'L');
static LPCSTR CALLBACK proc(int n, DWORD c1, DWORD c2) {
    if (n == 1) return c1 * 100 + c2 == 1122 ? "A" : "?";
    return n == 5 ? "<5>" : n == -3 ? "<-3>" : n == 9 ? g_long.c_str() : nullptr;
}

TEST(ReadString, MarkedBlockAndForeignTexts) {
    char* text = stReadString(self(), IDS_ARG, nullptr, 256, "12");
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "12");
    EXPECT_EQ(std::memcmp(text - 4, "~st~", 4), 0);
    EXPECT_GE(gt::heap::capacity(text - 4), 256u + 5);
    EXPECT_TRUE(stUnReadString(text));
    EXPECT_FALSE(gt::heap::isLive(text - 4));
    char buf[16] = "~st~text";  // marker in a caller's buffer: never released
    EXPECT_FALSE(stUnReadString(buf + 4));
    EXPECT_EQ(stReadString(self(), IDS_MISSING, buf, 0), nullptr);
    EXPECT_STREQ(buf, "~st~text");
}

TEST(ReadString, FormatsAsThePlatform) {
    char mine[256] = {}, format[256] = {}, theirs[1100] = {};
    stReadString(self(), IDS_DIRECTIVES, mine, 0, -42, 7, 7, 42, 4000000000u, 0xbeef, 0xbeef, 0xcafe, 'Z', "abcdef", "ab", "ab", "hs", -1L, 5);
    LoadStringA(self(), IDS_DIRECTIVES, format, sizeof format);
    wsprintfA(theirs, format, -42, 7, 7, 42, 4000000000u, 0xbeef, 0xbeef, 0xcafe, 'Z', "abcdef", "ab", "ab", "hs", -1L, 5);
    EXPECT_STREQ(mine, theirs);
}

TEST(ReadString, CutsLeaveGuardBytes) {
    char* t = stReadString(self(), IDS_LONG, nullptr, 0);  // loads at most 255 characters
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(std::strlen(t), 255u);
    stUnReadString(t);
    const std::string arg(3000, 'q');
    for (int minimum : {8, 0}) {  // buffers: at a positive minimum, else at the platform's 1024
        SCOPED_TRACE(testing::Message() << "minimum " << minimum);
        std::vector<char> buf(2048, '#');
        stReadString(self(), IDS_ARG, buf.data(), minimum, arg.c_str());
        const size_t len = minimum ? minimum - 1 : 1023;
        EXPECT_EQ(std::string(buf.data()), std::string(len, 'q'));
        EXPECT_EQ(std::string(buf.data() + len + 1, 2047 - len), std::string(2047 - len, '#'));
    }
    std::vector<char> buf(1200, '#');  // long callback text: plain buffer, the 1024 work area
    std::strcpy(buf.data(), "head %9 tail");
    stFormatString(buf.data(), 0, proc, 0);
    EXPECT_EQ(std::string(buf.data()), "head " + std::string(1018, 'L'));
    EXPECT_EQ(std::string(buf.data() + 1024, 176), std::string(176, '#'));
    t = stReadString(self(), IDS_ARG, nullptr, 20, "%9-%1");  // marked block: its capacity
    stFormatString(t, 0, proc, 0);
    EXPECT_EQ(std::string(t), std::string(gt::heap::capacity(t - 4) - 5, 'L'));
    EXPECT_TRUE(stUnReadString(t));
}

TEST(FormatString, Placeholders) {
    const char* cases[][2] = {{"100%% done", "100% done"}, {"%5 of %1", "<5> of A"}, {"a%xb", "axb"}, {"%0z", "0z"},
                              {"%%5", "%5"}, {"[% 5]", "[<5> 5]"}, {"[%-3]", "[<-3>-3]"}, {"end%", "end"}, {"<%7>", "<>"}};
    for (const auto& c : cases) {
        char buf[64] = {};
        std::strcpy(buf, c[0]);
        EXPECT_EQ(stFormatString(buf, 11, proc, 22), buf);
        EXPECT_STREQ(buf, c[1]) << c[0];
    }
    char buf[16] = "x%1y";  // no callback: placeholders vanish
    EXPECT_STREQ(stFormatString(buf, 0, nullptr, 0), "xy");
}
