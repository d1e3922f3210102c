// Strings under code page 932: double-byte characters whose trail byte looks
// like a backslash, a bar or a letter must never be split or matched halfway.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "gtapi32.h"
#include "testutil.h"
#include "text_cases.h"

// Shift-JIS bytes of the characters used below.
#define HYO "\x95\x5C"   // 表, trail byte is a backslash
#define SO "\x83\x5C"    // ソ, trail byte is a backslash
#define SHIN "\x90\x5C"  // 申, trail byte is a backslash
#define PO "\x83\x7C"    // ポ, trail byte is '|'
#define BI "\x83\x72"    // ビ, trail byte is 'r'

namespace {

using namespace textcase;

std::string sjis(const char* utf8) { return testutil::ansiFromUtf8(utf8); }

struct Dbcs : ::testing::Test {
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8"; }
};

TEST_F(Dbcs, TokenizersDoNotSplitOnTrailBytes) {
    char text[] = HYO "\\" SO "\\" SHIN, bar[] = PO PO "|" PO, whole[] = HYO SO;
    getTokens(text, {{'\\', HYO}, {'\\', SO}, {'\\', nullptr}});
    getTokens(bar, {{'|', PO PO}, {0, PO}});
    EXPECT_EQ(gtGetToken(whole, '\\'), whole);  // no real delimiter at all
    EXPECT_STREQ(whole, HYO SO);

    LPGTSTRTOK t = gtStartStrTok(TRUE, TRUE);
    ASSERT_NE(t, nullptr);
    char bars[] = " " PO "|" HYO "|| " SO "x", path[] = "C:\\" HYO "\\" SHIN "\\f";
    strToks(t, bars, {{'|', PO}, {'|', HYO}, {'|', ""}, {'|', SO "x"}, {'|', nullptr}});
    strToks(t, path, {{'\\', "C:"}, {'\\', HYO}, {'\\', SHIN}, {'\\', "f"}});
    EXPECT_TRUE(gtEndStrTok(t));
}

TEST_F(Dbcs, TrailingSlashSeesWholeCharacters) {
    EXPECT_FALSE(gtHasTrailingSlash("C:\\" HYO));
    EXPECT_FALSE(gtHasTrailingSlash(SO));
    EXPECT_TRUE(gtHasTrailingSlash("C:\\" HYO "\\"));
    EXPECT_FALSE(gtHasTrailingCharacter("a" PO, '|'));
    EXPECT_TRUE(gtHasTrailingCharacter(PO "|", '|'));

    char keep[] = "C:\\" HYO, drop[] = "C:\\" SO "\\", app[16] = "C:\\" HYO, out[262];
    gtRemoveTrailingSlash(keep);
    EXPECT_STREQ(keep, "C:\\" HYO);
    gtRemoveTrailingSlash(drop);
    EXPECT_STREQ(drop, "C:\\" SO);
    EXPECT_TRUE(gtAppendTrailingSlash(drop, out));
    EXPECT_STREQ(out, "C:\\" SO "\\");
    EXPECT_TRUE(gtAppendTrailingSlash(app, nullptr));
    EXPECT_STREQ(app, "C:\\" HYO "\\");
}

TEST_F(Dbcs, TrimsAndReplacementKeepDoubleByteCharactersWhole) {
    checkTrims({{R, "\\" HYO "\\\\", "\\", "\\" HYO}, {R, SO, "\\", SO},
                {L, "\\\\" HYO "\\", "\\", HYO "\\"}, {A, "\\" SO SHIN "\\", "\\", SO SHIN},
                {AEx, "|\\" PO HYO "|\\", "|\\", PO HYO}, {REx, "a" HYO, "\\|", "a" HYO},
                {REx, HYO "|", "|", HYO}});
    char s[] = "C:\\" HYO "\\" SO, bar[] = PO "|" PO, out[16];
    EXPECT_TRUE(gtReplaceChars('\\', '/', s, nullptr));
    EXPECT_STREQ(s, "C:/" HYO "/" SO);
    EXPECT_TRUE(gtReplaceChars('|', ',', bar, out));
    EXPECT_STREQ(out, PO "," PO);
}

TEST_F(Dbcs, IncrementPtrStepsWholeCharacters) {
    const char* s = HYO "a" SO "b";
    const int want[] = {0, 2, 3, 5, 6};
    for (int n = 0; n < 5; ++n) EXPECT_EQ(gtIncrementPtr(s, n), s + want[n]) << n;
    const char* t = "a" HYO "b";
    EXPECT_EQ(gtIncrementPtr(t, 2), t + 3);
}

TEST_F(Dbcs, SearchesMatchOnCharacterBoundariesOnly) {
    EXPECT_FALSE(gtIsStrStr(HYO, "\\"));
    EXPECT_FALSE(gtIsStrStr("a" BI, "r"));
    EXPECT_EQ(gtStrStri(HYO SO, "\\"), nullptr);
    EXPECT_EQ(gtStrStri("a" BI, "R"), nullptr);  // the trail byte is not upper-cased into a match
    const char* t = BI "\\x";
    EXPECT_EQ(gtStrStri(t, "\\X"), t + 2);

    const std::string text = sjis("設定ファイル: ビデオ表示.ini を開く");
    const char* m = gtStrStri(text.c_str(), sjis("ビデオ表示.INI").c_str());
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(size_t(m - text.c_str()), text.find(sjis("ビデオ")));
    EXPECT_EQ(gtStrStri(text.c_str(), sjis("ビデオ表示.txt").c_str()), nullptr);
    const std::string wide = sjis("ａｂｃ表");  // full-width letters upper-case as well
    EXPECT_EQ(gtStrStri(wide.c_str(), sjis("ＢＣ表").c_str()), wide.c_str() + 2);

    char out[128];
    EXPECT_TRUE(gtStuffStr(HYO "\\" HYO "\\", "\\", 1, "/", TRUE, 0, out));
    EXPECT_STREQ(out, HYO "/" HYO "/");
}

TEST_F(Dbcs, GetLineCutsAtWholeCharacters) {
    const char* text = HYO HYO HYO "\r\n" "x";
    char line[16];
    std::memset(line, '#', sizeof(line));
    EXPECT_EQ(gtGetLine(text, line, 4, FALSE), text + 8);
    EXPECT_STREQ(line, HYO);  // the second character would not fit whole
    EXPECT_EQ(line[4], '#');
    struct { const char* text; WORD size; BOOL keep; const char* want; } cases[] = {
        {text, 7, FALSE, HYO HYO HYO}, {text, 6, TRUE, HYO HYO},
        {"a" SO, 16, FALSE, "a"},  // without a line feed the last character goes whole
        {SO SO "\n", 16, TRUE, SO SO "\n"}};
    for (const auto& c : cases) {
        gtGetLine(c.text, line, c.size, c.keep);
        EXPECT_STREQ(line, c.want) << c.size;
    }
}

TEST_F(Dbcs, RemoveTokenAndEmbeddingSeeWholeCharacters) {
    char text[] = "x\\" HYO "abc\\y", bar[] = "k|" PO "v|z", out[32];
    EXPECT_TRUE(gtRemoveToken(text, "abc", FALSE, TRUE, '\\', '\\', nullptr));
    EXPECT_STREQ(text, "x\\y");  // the start separator never matches a trail byte
    EXPECT_TRUE(gtRemoveToken(bar, "v", FALSE, TRUE, '|', '|', out));
    EXPECT_STREQ(out, "k|z");

    char value[445] = SO "," HYO ",c:\\" SO "\\a.exe," PO;
    GTEMBEDDING e{};
    EXPECT_TRUE(gtDecomposeEmbeddingString("K", value, &e));
    EXPECT_STREQ(e.szDescription1, SO);
    EXPECT_STREQ(e.szDescription2, HYO);
    EXPECT_STREQ(e.szServerPath, "C:\\" SO "\\A.EXE");  // upper-cased without breaking it
    EXPECT_STREQ(e.szFormat, PO);
}

}  // namespace
