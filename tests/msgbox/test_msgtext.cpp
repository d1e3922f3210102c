// Message text reader: loading, formatting, the marked blocks and the
// placeholder expansion, with the cuts at every capacity.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "gtapi32.h"
#include "msgbox/text.h"
#include "msgtext_ids.h"
#include "testutil.h"
#include "text/blockheap.h"

namespace {

HMODULE self() { return GetModuleHandleA(nullptr); }

struct Calls {
    std::vector<int> numbers;
    DWORD c1 = 0, c2 = 0;
} g_calls;
const std::string g_long(5000, 'L');

LPCSTR CALLBACK recordingProc(int number, DWORD c1, DWORD c2) {
    g_calls.numbers.push_back(number);
    g_calls.c1 = c1;
    g_calls.c2 = c2;
    switch (number) {
        case 1: return "A";
        case 2: return "B";
        case 5: return "<5>";
        case -3: return "<-3>";
        case 9: return g_long.c_str();
        default: return nullptr;
    }
}

}  // namespace

TEST(ReadString, ModesAndMissingStrings) {
    char buf[64];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(stReadString(self(), IDS_T_TWO, buf, 0, 3, 10), buf);
    EXPECT_STREQ(buf, "Copied 3 of 10 files");
    EXPECT_FALSE(stUnReadString(buf));  // a caller's buffer is never released
    EXPECT_STREQ(buf, "Copied 3 of 10 files");

    std::strcpy(buf, "keep");
    EXPECT_EQ(stReadString(self(), IDS_T_MISSING, buf, 0), nullptr);
    EXPECT_STREQ(buf, "keep");
    EXPECT_EQ(stReadString(self(), IDS_T_MISSING, nullptr, 256), nullptr);
    EXPECT_EQ(stReadString(nullptr, 0, nullptr, 256), nullptr);
}

TEST(ReadString, MarkedBlockFromTheLibrarysTableAndForeignTexts) {
    // The library's resources, without running its attach.
    HMODULE lib = LoadLibraryExA((testutil::programDir() + "gtapi32.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(lib, nullptr);
    char* text = stReadString(lib, 28034, nullptr, 256, "12");
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Deleting 12 files");
    EXPECT_EQ(std::memcmp(text - 4, "~st~", 4), 0);
    EXPECT_TRUE(gt::heap::isLive(text - 4));
    EXPECT_GE(gt::heap::capacity(text - 4), 256u + 5);
    EXPECT_TRUE(stUnReadString(text));
    EXPECT_FALSE(gt::heap::isLive(text - 4));

    EXPECT_FALSE(stUnReadString(nullptr));
    char fake[16] = "~st~text";  // marker in front, but not a block of the library
    EXPECT_FALSE(stUnReadString(fake + 4));
    auto* block = static_cast<char*>(gtGlobalAllocPtr(0x2042, 16));  // a block without the marker
    std::memcpy(block, "abcdtext", 9);
    EXPECT_FALSE(stUnReadString(block + 4));
    EXPECT_TRUE(gt::heap::isLive(block));
    gtGlobalFreePtr(block);
}

TEST(ReadString, Cuts) {
    char* text = stReadString(self(), IDS_T_LONG, nullptr, 0);  // loads at most 255 characters
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::strlen(text), 255u);
    EXPECT_EQ(text[254], 'a' + 254 % 26);
    stUnReadString(text);

    const std::string arg(3000, 'q');
    // "%s" (L = 2) with minimum 10: the block holds 10 characters.
    text = stReadString(self(), IDS_T_ARG, nullptr, 10, arg.c_str());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), std::string(10, 'q'));
    stUnReadString(text);
    // Minimum below the loaded length: the loaded length counts (signed).
    text = stReadString(self(), IDS_T_ARG, nullptr, -50, "abcdef");
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "ab");
    stUnReadString(text);

    // Buffers: cut at a positive minimum or at the platform's 1024; guard bytes untouched.
    for (int minimum : {8, 0}) {
        std::vector<char> buf(2048, '#');
        stReadString(self(), IDS_T_ARG, buf.data(), minimum, arg.c_str());
        const size_t len = minimum ? minimum - 1 : 1023;
        EXPECT_EQ(std::string(buf.data()), std::string(len, 'q'));
        for (size_t i = len + 1; i < buf.size(); ++i) ASSERT_EQ(buf[i], '#') << i;
    }
}

TEST(ReadString, FormatsExactlyAsThePlatform) {
    char buf[256] = {};
    stReadString(self(), IDS_T_DIRECTIVES, buf, 0, -42, 7, 7, 42, 4000000000u, 0xbeef, 0xbeef, 0xcafe, 'Z',
                 "abcdef", "ab", "ab", "hs", -1L, 5);
    EXPECT_EQ(std::string(buf), "[-42|    7|7    |00042|4000000000|beef|0XBEEF|cafe|Z|abc|      ab|ab      |hs|-1|%|5]");
}

TEST(SkipDigits, StepsOverAsciiDigitsOnly) {
    const char* s = "0123x45";
    EXPECT_EQ(stSkipDigits(s), s + 4);
    EXPECT_EQ(stSkipDigits(s + 4), s + 4);
    const char* e = "99";
    EXPECT_EQ(stSkipDigits(e), e + 2);
    EXPECT_EQ(stSkipDigits(nullptr), nullptr);
}

TEST(FormatString, PercentSignsAndPlaceholders) {
    struct {
        const char* in;
        const char* out;
        std::vector<int> asked;
    } cases[] = {
        {"100%% done", "100% done", {}}, {"%2 of %1", "B of A", {2, 1}}, {"a%xb", "axb", {}},
        {"%0z", "0z", {}},               {"%%5", "%5", {}},              {"[% 5]", "[<5> 5]", {5}},
        {"[%-3]", "[<-3>-3]", {-3}},     {"end%", "end", {}},
        {"<%7>", "<>", {7}},  // a null answer inserts nothing; the digits are consumed
    };
    for (const auto& c : cases) {
        char buf[64] = {};
        std::strcpy(buf, c.in);
        g_calls = Calls{};
        EXPECT_EQ(stFormatString(buf, 11, recordingProc, 22), buf);
        EXPECT_STREQ(buf, c.out) << c.in;
        EXPECT_EQ(g_calls.numbers, c.asked) << c.in;
        if (!c.asked.empty()) EXPECT_EQ(g_calls.c1 * 100 + g_calls.c2, 1122u);
    }
    char buf[16] = "x%1y";  // no callback at all: placeholders vanish
    EXPECT_STREQ(stFormatString(buf, 0, nullptr, 0), "xy");
    EXPECT_EQ(stFormatString(nullptr, 0, recordingProc, 0), nullptr);
}

TEST(FormatString, LongInsertsAreCutAtTheCapacity) {
    std::vector<char> buf(1200, '#');  // a plain buffer: the 1024 work area
    std::strcpy(buf.data(), "head %9 tail");
    stFormatString(buf.data(), 0, recordingProc, 0);
    EXPECT_EQ(std::strlen(buf.data()), 1023u);
    EXPECT_EQ(std::string(buf.data(), 5), "head ");
    for (size_t i = 1024; i < buf.size(); ++i) ASSERT_EQ(buf[i], '#') << i;

    // A marked block (minimum 20; the allocator may round up) and a plain block.
    char* text = stReadString(self(), IDS_T_ARG, nullptr, 20, "%9-%1");
    ASSERT_NE(text, nullptr);
    const size_t room = gt::heap::capacity(text - 4) - 4;
    stFormatString(text, 0, recordingProc, 0);
    EXPECT_EQ(std::strlen(text), room - 1);
    EXPECT_EQ(std::string(text, 3), "LLL");
    EXPECT_TRUE(stUnReadString(text));
    auto* block = static_cast<char*>(gtGlobalAllocPtr(0x42, 40));
    std::strcpy(block, "%9");
    stFormatString(block, 0, recordingProc, 0);
    EXPECT_EQ(std::strlen(block), gt::heap::capacity(block) - 1);
    gtGlobalFreePtr(block);

    char small[24];  // an explicit capacity
    std::memset(small, '#', sizeof small);
    std::strcpy(small, "%1%1%1%1%1%1%1%1");
    gt::msg::expand(small, 6, 0, recordingProc, 0);
    EXPECT_STREQ(small, "AAAAA");
    EXPECT_EQ(small[17], '#');
}
