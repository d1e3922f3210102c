// Code page 932: characters whose trail byte looks like '\\', '|' or a letter
// are never split or matched halfway, and a lead byte left alone before the
// terminator is a character of its own.
#include "testutil.h"
#include "text_cases.h"
#define HYO "\x95\x5C"   // trail byte is a backslash
#define SO "\x83\x5C"    // trail byte is a backslash
#define PO "\x83\x7C"    // trail byte is '|'
#define BI "\x83\x72"    // trail byte is 'r'
#define LONE "\x81"      // a lead byte without its trail

namespace {

struct Dbcs : ::testing::Test {
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "needs LC_ALL=ja_JP.UTF-8"; }
};

TEST_F(Dbcs, TokenizersSplitOnlyAtWholeCharacters) {
    char text[] = HYO "\\" SO "\\" HYO, bar[] = PO PO "|" PO, whole[] = HYO SO;
    getTokens(text, {{'\\', HYO}, {'\\', SO}, {'\\', nullptr}});
    getTokens(bar, {{'|', PO PO}, {0, PO}});
    EXPECT_EQ(gtGetToken(whole, '\\'), whole);
}

TEST_F(Dbcs, TrailingCharacterTestsSeeWholeCharacters) {
    EXPECT_FALSE(gtHasTrailingSlash("C:\\" HYO));
    EXPECT_FALSE(gtHasTrailingCharacter("a" PO, '|'));
    EXPECT_EQ(trim([](char* s, int) { gtRemoveTrailingSlash(s); }, "C:\\" HYO, 0), "C:\\" HYO);
    char app[16] = "C:\\" SO, out[262];
    ASSERT_TRUE(gtAppendTrailingSlash(app, out));
    EXPECT_STREQ(out, "C:\\" SO "\\");
}

// Trims by one character and by a set, each row with its own name.
struct TrimRow {
    const char* name;
    void(GTAPI* byChar)(LPSTR, char);
    void(GTAPI* bySet)(LPSTR, LPCSTR);
    const char* text;
    const char* what;  // the character (first byte) or the set
    const char* want;
};

TEST_F(Dbcs, TrimsStepWholeCharactersAndKeepALoneLeadByte) {
    const TrimRow rows[] = {
        {"right trim stops at a trail backslash", gtRightTrim, nullptr, "\\" HYO "\\\\", "\\", "\\" HYO},
        {"set trim stops at trail bytes", nullptr, gtAllTrimEx, "|\\" PO HYO "|\\", "|\\", PO HYO},
        {"right trim keeps a lone lead byte", gtRightTrim, nullptr, "ab" LONE, "b", "ab" LONE},
        {"all trim keeps a lone lead byte", gtAllTrim, nullptr, "Q\t" LONE, "\t", "Q\t" LONE},
        {"right trim after a pair and a lone lead", gtRightTrim, nullptr, HYO "\\" LONE, "\\", HYO "\\" LONE},
        {"set right trim keeps a lone lead byte", nullptr, gtRightTrimEx, "xy;" LONE, ";", "xy;" LONE},
        {"set all trim keeps a lone lead byte", nullptr, gtAllTrimEx, "; x;" LONE, "; ", "x;" LONE},
        {"a lone lead after pairs of lead-valued bytes", gtRightTrim, nullptr, "\x88\x9F\x88\x9F" LONE, "\x9F",
         "\x88\x9F\x88\x9F" LONE},
    };
    for (const TrimRow& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.byChar)
            EXPECT_EQ(trim(row.byChar, row.text, row.what[0]), row.want);
        else
            EXPECT_EQ(trim(row.bySet, row.text, row.what), row.want);
    }
}

TEST_F(Dbcs, SearchesMatchOnCharacterBoundaries) {
    EXPECT_FALSE(gtIsStrStr(HYO, "\\"));
    EXPECT_EQ(gtStrStri("a" BI, "R"), nullptr);  // the trail byte is not upper-cased into a match
    const std::string wide = testutil::ansiFromUtf8("ａｂｃ表");  // full-width letters upper-case too
    EXPECT_EQ(gtStrStri(wide.c_str(), testutil::ansiFromUtf8("ＢＣ表").c_str()), wide.c_str() + 2);
}

TEST_F(Dbcs, ReplacementAndRemoveTokenMatchOnCharacterBoundaries) {
    char out[32], text[] = "x\\" HYO "abc\\y", bar[] = "k|" PO "v|z";
    ASSERT_TRUE(gtStuffStr(HYO "\\" HYO "\\", "\\", 1, "/", TRUE, 0, out));
    EXPECT_STREQ(out, HYO "/" HYO "/");
    ASSERT_TRUE(gtRemoveToken(text, "abc", FALSE, TRUE, '\\', '\\', nullptr));
    EXPECT_STREQ(text, "x\\y");  // the trail backslash is no start separator
    ASSERT_TRUE(gtRemoveToken(bar, "v", FALSE, TRUE, '|', '|', out));
    EXPECT_STREQ(out, "k|z");
}

TEST_F(Dbcs, GetLineCutsAndDropsWholeCharacters) {
    const struct { const char *name, *text; WORD size; const char* want; } rows[] = {
        {"a cut leaves out the character that would not fit", HYO HYO HYO "\r\n" "x", 4, HYO},
        {"the last character of a last line goes whole", "a" SO, 16, "a"},
        {"a lone lead byte is the last character", "ab" LONE, 16, "ab"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        char line[24];
        std::memset(line, '#', sizeof line);
        gtGetLine(row.text, line, row.size, FALSE);
        EXPECT_STREQ(line, row.want);
        EXPECT_EQ(line[row.size], '#');
    }
}

TEST_F(Dbcs, IncrementPtrStepsWholeCharacters) {
    const char* s = HYO "a" SO "b";
    const int want[] = {0, 2, 3, 5, 6};
    for (int n = 0; n < 5; ++n) EXPECT_EQ(gtIncrementPtr(s, n) - s, want[n]) << "steps " << n;
}

TEST_F(Dbcs, SplitPathKeepsALoneLeadByteOfTheName) {
    char path[32] = "dir\\a " LONE;
    GTSPLITPATH s;
    ASSERT_TRUE(gtSplitPath(path, &s));
    EXPECT_STREQ(s.szName, "a " LONE);
}

}  // namespace
