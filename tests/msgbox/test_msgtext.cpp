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

// The library's resources, without running its attach.
HMODULE library() {
    static HMODULE h = LoadLibraryExA((testutil::programDir() + "gtapi32.dll").c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE);
    return h;
}

std::string platformFormat(const char* format, ...) {
    char out[1100] = {};
    va_list args;
    va_start(args, format);
    wvsprintfA(out, format, args);
    va_end(args);
    return out;
}

struct Calls {
    std::vector<int> numbers;
    DWORD c1 = 0, c2 = 0;
    std::string longText;
};
Calls g_calls;

LPCSTR CALLBACK recordingProc(int number, DWORD c1, DWORD c2) {
    g_calls.numbers.push_back(number);
    g_calls.c1 = c1;
    g_calls.c2 = c2;
    if (number == 1) return "A";
    if (number == 2) return "B";
    if (number == 5) return "<5>";
    if (number == -3) return "<-3>";
    if (number == 9) return g_calls.longText.c_str();
    return nullptr;
}

std::string expand(const char* text) {
    char buf[1100] = {};
    std::strcpy(buf, text);
    g_calls = Calls{};
    EXPECT_EQ(stFormatString(buf, 11, recordingProc, 22), buf);
    return buf;
}

}  // namespace

TEST(ReadString, BufferModeReturnsTheBufferAndIsNeverReleased) {
    char buf[64];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(stReadString(self(), IDS_T_TWO, buf, 0, 3, 10), buf);
    EXPECT_STREQ(buf, "Copied 3 of 10 files");
    EXPECT_FALSE(stUnReadString(buf));
    EXPECT_STREQ(buf, "Copied 3 of 10 files");
}

TEST(ReadString, MissingStringGivesNullInBothModes) {
    char buf[16] = "keep";
    EXPECT_EQ(stReadString(self(), IDS_T_MISSING, buf, 0), nullptr);
    EXPECT_STREQ(buf, "keep");
    EXPECT_EQ(stReadString(self(), IDS_T_MISSING, nullptr, 256), nullptr);
    EXPECT_EQ(stReadString(nullptr, 0, nullptr, 256), nullptr);
}

TEST(ReadString, MarkedBlockFromTheLibrarysTable) {
    ASSERT_NE(library(), nullptr);
    char* text = stReadString(library(), 28034, nullptr, 256, "12");
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Deleting 12 files");
    EXPECT_EQ(std::memcmp(text - 4, "~st~", 4), 0);
    EXPECT_TRUE(gt::heap::isLive(text - 4));
    EXPECT_GE(gt::heap::capacity(text - 4), 256u + 5);
    EXPECT_TRUE(stUnReadString(text));
    EXPECT_FALSE(gt::heap::isLive(text - 4));
}

TEST(ReadString, UnReadRefusesForeignTexts) {
    EXPECT_FALSE(stUnReadString(nullptr));
    // Marker in front, but not a block of the library: left alone.
    char fake[16] = "~st~text";
    EXPECT_FALSE(stUnReadString(fake + 4));
    // A block of the library without the marker: not released.
    auto* block = static_cast<char*>(gtGlobalAllocPtr(0x2042, 16));
    std::memcpy(block, "abcdtext", 9);
    EXPECT_FALSE(stUnReadString(block + 4));
    EXPECT_TRUE(gt::heap::isLive(block));
    gtGlobalFreePtr(block);
}

TEST(ReadString, LoadTakesAtMost255Characters) {
    char* text = stReadString(self(), IDS_T_LONG, nullptr, 0);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::strlen(text), 255u);
    EXPECT_EQ(text[254], 'a' + 254 % 26);
    stUnReadString(text);
}

TEST(ReadString, BlockCutAtItsCapacity) {
    // "%s" (L = 2) with minimum 10: the block holds 10 characters.
    std::string arg(3000, 'q');
    char* text = stReadString(self(), IDS_T_ARG, nullptr, 10, arg.c_str());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), std::string(10, 'q'));
    stUnReadString(text);
    // Minimum below the loaded length: the loaded length counts (signed).
    text = stReadString(self(), IDS_T_ARG, nullptr, -50, "abcdef");
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "ab");
    stUnReadString(text);
}

TEST(ReadString, BufferCutAtAPositiveMinimumOrThePlatformLimit) {
    std::string arg(3000, 'q');
    char buf[32];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(stReadString(self(), IDS_T_ARG, buf, 8, arg.c_str()), buf);
    EXPECT_EQ(std::string(buf), std::string(7, 'q'));
    for (size_t i = 8; i < sizeof buf; ++i) ASSERT_EQ(buf[i], '#') << i;

    std::vector<char> big(2048, '#');
    stReadString(self(), IDS_T_ARG, big.data(), 0, arg.c_str());
    EXPECT_EQ(std::strlen(big.data()), 1023u);
    for (size_t i = 1024; i < big.size(); ++i) ASSERT_EQ(big[i], '#') << i;
}

TEST(ReadString, FormatsExactlyAsThePlatform) {
    char loaded[256] = {};
    ASSERT_GT(LoadStringA(self(), IDS_T_DIRECTIVES, loaded, 256), 0);
    std::string expected = platformFormat(loaded, -42, 7, 7, 42, 4000000000u, 0xbeef, 0xbeef, 0xcafe, 'Z',
                                          "abcdef", "ab", "ab", "hs", -1L, 5);
    char buf[256] = {};
    stReadString(self(), IDS_T_DIRECTIVES, buf, 0, -42, 7, 7, 42, 4000000000u, 0xbeef, 0xbeef, 0xcafe, 'Z',
                 "abcdef", "ab", "ab", "hs", -1L, 5);
    EXPECT_EQ(std::string(buf), expected);
    EXPECT_EQ(std::string(buf), "[-42|    7|7    |00042|4000000000|beef|0XBEEF|cafe|Z|abc|      ab|ab      |hs|-1|%|5]");
}

TEST(SkipDigits, StepsOverAsciiDigitsOnly) {
    const char* s = "0123x45";
    EXPECT_EQ(stSkipDigits(s), s + 4);
    EXPECT_EQ(stSkipDigits(s + 4), s + 4);
    const char* empty = "";
    EXPECT_EQ(stSkipDigits(empty), empty);
    const char* e = "99";
    EXPECT_EQ(stSkipDigits(e), e + 2);
    EXPECT_EQ(stSkipDigits(nullptr), nullptr);
}

TEST(FormatString, PercentSignsAndPlaceholders) {
    EXPECT_EQ(expand("100%% done"), "100% done");
    EXPECT_TRUE(g_calls.numbers.empty());

    EXPECT_EQ(expand("%2 of %1"), "B of A");
    EXPECT_EQ(g_calls.numbers, (std::vector<int>{2, 1}));
    EXPECT_EQ(g_calls.c1, 11u);
    EXPECT_EQ(g_calls.c2, 22u);

    EXPECT_EQ(expand("a%xb"), "axb");
    EXPECT_EQ(expand("%0z"), "0z");
    EXPECT_EQ(expand("%%5"), "%5");
    EXPECT_TRUE(g_calls.numbers.empty());

    EXPECT_EQ(expand("[% 5]"), "[<5> 5]");
    EXPECT_EQ(g_calls.numbers, (std::vector<int>{5}));
    EXPECT_EQ(expand("[%-3]"), "[<-3>-3]");
    EXPECT_EQ(g_calls.numbers, (std::vector<int>{-3}));

    EXPECT_EQ(expand("end%"), "end");
    // A null answer inserts nothing, and the digits are consumed all the same.
    EXPECT_EQ(expand("<%7>"), "<>");
    EXPECT_EQ(g_calls.numbers, (std::vector<int>{7}));
    // No callback at all: placeholders vanish.
    char buf[16] = "x%1y";
    EXPECT_STREQ(stFormatString(buf, 0, nullptr, 0), "xy");
    EXPECT_EQ(stFormatString(nullptr, 0, recordingProc, 0), nullptr);
}

TEST(FormatString, LongInsertsAreCutAtTheWorkArea) {
    std::vector<char> buf(1200, '#');
    std::strcpy(buf.data(), "head %9 tail");
    g_calls = Calls{};
    g_calls.longText.assign(5000, 'L');
    stFormatString(buf.data(), 0, recordingProc, 0);
    EXPECT_EQ(std::strlen(buf.data()), 1023u);
    EXPECT_EQ(std::string(buf.data(), 5), "head ");
    for (size_t i = 1024; i < buf.size(); ++i) ASSERT_EQ(buf[i], '#') << i;
}

TEST(FormatString, LongInsertsStayInsideTheReadStringBlock) {
    // Minimum 20: a block of 25 bytes (the allocator may round it up).
    char* text = stReadString(self(), IDS_T_ARG, nullptr, 20, "%9-%1");
    ASSERT_NE(text, nullptr);
    size_t room = gt::heap::capacity(text - 4) - 4;
    g_calls = Calls{};
    g_calls.longText.assign(5000, 'L');
    stFormatString(text, 0, recordingProc, 0);
    EXPECT_EQ(std::strlen(text), room - 1);
    EXPECT_EQ(std::string(text, 3), "LLL");
    EXPECT_TRUE(stUnReadString(text));

    // Same for a plain block of the library.
    auto* block = static_cast<char*>(gtGlobalAllocPtr(0x42, 40));
    size_t cap = gt::heap::capacity(block);
    std::strcpy(block, "%9");
    stFormatString(block, 0, recordingProc, 0);
    EXPECT_EQ(std::strlen(block), cap - 1);
    gtGlobalFreePtr(block);
}

TEST(FormatString, ExplicitCapacityNeverWritesPastIt) {
    char buf[24];
    std::memset(buf, '#', sizeof buf);
    std::strcpy(buf, "%1%1%1%1%1%1%1%1");
    g_calls = Calls{};
    gt::msg::expand(buf, 6, 0, recordingProc, 0);
    EXPECT_STREQ(buf, "AAAAA");
    EXPECT_EQ(buf[17], '#');
}
