// Strings under code page 932: double-byte characters whose trail byte looks
// like a backslash, a bar or a letter must never be split or matched halfway.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gtapi32.h"
#include "testutil.h"

// Shift-JIS bytes of the characters used below.
#define HYO "\x95\x5C"   // trail byte is a backslash
#define SO "\x83\x5C"    // trail byte is a backslash
#define SHIN "\x90\x5C"  // trail byte is a backslash
#define PO "\x83\x7C"    // trail byte is '|'
#define BI "\x83\x72"    // trail byte is 'r'

namespace {

std::string str(const char* p) { return p ? std::string(p) : std::string("<null>"); }

struct Dbcs : ::testing::Test {
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8"; }
};

TEST_F(Dbcs, TheTestCharactersAreWhatTheCodePageSays) {
    EXPECT_EQ(testutil::ansiFromUtf8("表"), HYO);
    EXPECT_EQ(testutil::ansiFromUtf8("ソ"), SO);
    EXPECT_EQ(testutil::ansiFromUtf8("申"), SHIN);
    EXPECT_EQ(testutil::ansiFromUtf8("ポ"), PO);
    EXPECT_EQ(testutil::ansiFromUtf8("ビ"), BI);
}

// ---------------------------------------------------------------- tokenizers

TEST_F(Dbcs, GetTokenDoesNotSplitOnTrailBytes) {
    char text[] = HYO "\\" SO "\\" SHIN;
    EXPECT_EQ(str(gtGetToken(text, '\\')), HYO);
    EXPECT_EQ(str(gtGetToken(nullptr, '\\')), SO);
    EXPECT_EQ(gtGetToken(nullptr, '\\'), nullptr);

    char bar[] = PO PO "|" PO;
    EXPECT_EQ(str(gtGetToken(bar, '|')), PO PO);
    EXPECT_EQ(str(gtGetToken(nullptr, 0)), PO);

    char whole[] = HYO SO;  // no real delimiter at all
    EXPECT_EQ(gtGetToken(whole, '\\'), whole);
    EXPECT_STREQ(whole, HYO SO);
}

TEST_F(Dbcs, ContinueStrTokDoesNotSplitOnTrailBytes) {
    LPGTSTRTOK t = gtStartStrTok(TRUE, TRUE);
    ASSERT_NE(t, nullptr);
    char text[] = " " PO "|" HYO "|| " SO "x";
    EXPECT_EQ(str(gtContinueStrTok(t, text, '|')), PO);
    EXPECT_EQ(str(gtContinueStrTok(t, nullptr, '|')), HYO);
    EXPECT_EQ(str(gtContinueStrTok(t, nullptr, '|')), "");
    EXPECT_EQ(str(gtContinueStrTok(t, nullptr, '|')), SO "x");
    EXPECT_EQ(gtContinueStrTok(t, nullptr, '|'), nullptr);

    char path[] = "C:\\" HYO "\\" SHIN "\\f";
    EXPECT_EQ(str(gtContinueStrTok(t, path, '\\')), "C:");
    EXPECT_EQ(str(gtContinueStrTok(t, nullptr, '\\')), HYO);
    EXPECT_EQ(str(gtContinueStrTok(t, nullptr, '\\')), SHIN);
    EXPECT_EQ(str(gtContinueStrTok(t, nullptr, '\\')), "f");
    EXPECT_TRUE(gtEndStrTok(t));
}

// ---------------------------------------------------------------- trailing backslash

TEST_F(Dbcs, TrailingSlashSeesWholeCharacters) {
    EXPECT_FALSE(gtHasTrailingSlash("C:\\" HYO));
    EXPECT_FALSE(gtHasTrailingSlash(SO));
    EXPECT_TRUE(gtHasTrailingSlash("C:\\" HYO "\\"));
    EXPECT_FALSE(gtHasTrailingCharacter("a" PO, '|'));
    EXPECT_TRUE(gtHasTrailingCharacter(PO "|", '|'));

    char keep[] = "C:\\" HYO;
    gtRemoveTrailingSlash(keep);
    EXPECT_STREQ(keep, "C:\\" HYO);
    char drop[] = "C:\\" SO "\\";
    gtRemoveTrailingSlash(drop);
    EXPECT_STREQ(drop, "C:\\" SO);

    char app[16] = "C:\\" HYO;
    EXPECT_TRUE(gtAppendTrailingSlash(app, nullptr));
    EXPECT_STREQ(app, "C:\\" HYO "\\");
    char src[] = "C:\\" SHIN;
    char out[262];
    EXPECT_TRUE(gtAppendTrailingSlash(src, out));
    EXPECT_STREQ(out, "C:\\" SHIN "\\");
}

// ---------------------------------------------------------------- trims

TEST_F(Dbcs, TrimsDoNotEatTrailBytes) {
    char r[] = "\\" HYO "\\\\";
    gtRightTrim(r, '\\');
    EXPECT_STREQ(r, "\\" HYO);
    char r2[] = SO;
    gtRightTrim(r2, '\\');
    EXPECT_STREQ(r2, SO);
    char l[] = "\\\\" HYO "\\";
    gtLeftTrim(l, '\\');
    EXPECT_STREQ(l, HYO "\\");
    char a[] = "\\" SO SHIN "\\";
    gtAllTrim(a, '\\');
    EXPECT_STREQ(a, SO SHIN);

    char ex[] = "|\\" PO HYO "|\\";
    gtAllTrimEx(ex, "|\\");
    EXPECT_STREQ(ex, PO HYO);
    char ex2[] = "a" HYO;
    gtRightTrimEx(ex2, "\\|");
    EXPECT_STREQ(ex2, "a" HYO);
    char ex3[] = HYO "|";
    gtRightTrimEx(ex3, "|");
    EXPECT_STREQ(ex3, HYO);
}

// ---------------------------------------------------------------- replacement and stepping

TEST_F(Dbcs, ReplaceCharsKeepsDoubleByteCharactersWhole) {
    char s[] = "C:\\" HYO "\\" SO;
    EXPECT_TRUE(gtReplaceChars('\\', '/', s, nullptr));
    EXPECT_STREQ(s, "C:/" HYO "/" SO);
    char bar[] = PO "|" PO;
    char out[16];
    EXPECT_TRUE(gtReplaceChars('|', ',', bar, out));
    EXPECT_STREQ(out, PO "," PO);
    EXPECT_STREQ(bar, PO "|" PO);
}

TEST_F(Dbcs, IncrementPtrStepsWholeCharacters) {
    const char* s = HYO "a" SO "b";
    EXPECT_EQ(gtIncrementPtr(s, 2), s + 3);
    EXPECT_EQ(gtIncrementPtr(s, 1), s + 2);
    EXPECT_EQ(gtIncrementPtr(s, 3), s + 5);
    EXPECT_EQ(gtIncrementPtr(s, 4), s + 6);
    const char* t = "a" HYO "b";
    EXPECT_EQ(gtIncrementPtr(t, 2), t + 3);
}

// ---------------------------------------------------------------- searches

TEST_F(Dbcs, SearchesMatchOnCharacterBoundariesOnly) {
    EXPECT_FALSE(gtIsStrStr(HYO, "\\"));
    EXPECT_FALSE(gtIsStrStr("a" BI, "r"));
    EXPECT_EQ(gtStrStri(HYO SO, "\\"), nullptr);
    EXPECT_EQ(gtStrStri("a" BI, "R"), nullptr);  // the trail byte is not upper-cased into a match
    const char* t = BI "\\x";
    EXPECT_EQ(gtStrStri(t, "\\X"), t + 2);
}

TEST_F(Dbcs, StrStriWithJapaneseText) {
    const std::string text = testutil::ansiFromUtf8("設定ファイル: ビデオ表示.ini を開く");
    const std::string pat = testutil::ansiFromUtf8("ビデオ表示.INI");
    const char* m = gtStrStri(text.c_str(), pat.c_str());
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(static_cast<size_t>(m - text.c_str()), text.find(testutil::ansiFromUtf8("ビデオ")));
    EXPECT_EQ(gtStrStri(text.c_str(), testutil::ansiFromUtf8("ビデオ表示.txt").c_str()), nullptr);

    // Full-width letters upper-case as well.
    const std::string wide = testutil::ansiFromUtf8("ａｂｃ表");
    EXPECT_EQ(gtStrStri(wide.c_str(), testutil::ansiFromUtf8("ＢＣ表").c_str()), wide.c_str() + 2);

    char out[128];
    EXPECT_TRUE(gtStuffStr(HYO "\\" HYO "\\", "\\", 1, "/", TRUE, 0, out));
    EXPECT_STREQ(out, HYO "/" HYO "/");
}

// ---------------------------------------------------------------- lines

TEST_F(Dbcs, GetLineCutsAtWholeCharacters) {
    const char* text = HYO HYO HYO "\r\n" "x";
    char line[16];
    std::memset(line, '#', sizeof(line));
    const char* next = gtGetLine(text, line, 4, FALSE);
    EXPECT_STREQ(line, HYO);  // the second character would not fit whole
    EXPECT_EQ(line[4], '#');
    EXPECT_EQ(next, text + 8);
    gtGetLine(text, line, 7, FALSE);
    EXPECT_STREQ(line, HYO HYO HYO);
    gtGetLine(text, line, 6, TRUE);
    EXPECT_STREQ(line, HYO HYO);

    // Without a line feed the last character goes whole.
    gtGetLine("a" SO, line, sizeof(line), FALSE);
    EXPECT_STREQ(line, "a");
    gtGetLine(SO SO "\n", line, sizeof(line), TRUE);
    EXPECT_STREQ(line, SO SO "\n");
}

// ---------------------------------------------------------------- token removal

TEST_F(Dbcs, RemoveTokenStartSeparatorNeverMatchesATrailByte) {
    char text[] = "x\\" HYO "abc\\y";
    EXPECT_TRUE(gtRemoveToken(text, "abc", FALSE, TRUE, '\\', '\\', nullptr));
    EXPECT_STREQ(text, "x\\y");

    char bar[] = "k|" PO "v|z";
    char out[32];
    EXPECT_TRUE(gtRemoveToken(bar, "v", FALSE, TRUE, '|', '|', out));
    EXPECT_STREQ(out, "k|z");

}

// ---------------------------------------------------------------- embedding

TEST_F(Dbcs, DecomposeUpperCasesThePathWithoutBreakingIt) {
    char value[445];
    std::strcpy(value, SO "," HYO ",c:\\" SO "\\a.exe," PO);
    GTEMBEDDING e{};
    EXPECT_TRUE(gtDecomposeEmbeddingString("K", value, &e));
    EXPECT_STREQ(e.szDescription1, SO);
    EXPECT_STREQ(e.szDescription2, HYO);
    EXPECT_STREQ(e.szServerPath, "C:\\" SO "\\A.EXE");
    EXPECT_STREQ(e.szFormat, PO);
}

}  // namespace
