// Code page 932: double-byte characters whose trail byte looks like a backslash, a bar
// or a letter must never be split or matched halfway.
#include "testutil.h"
#include "text_cases.h"

#define HYO "\x95\x5C"   // trail byte is a backslash
#define SO "\x83\x5C"    // trail byte is a backslash
#define PO "\x83\x7C"    // trail byte is '|'
#define BI "\x83\x72"    // trail byte is 'r'

namespace {

struct Dbcs : ::testing::Test {
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8"; }
};

TEST_F(Dbcs, TokenizersTrailingSlashAndTrimsSeeWholeCharacters) {
    char text[] = HYO "\\" SO "\\" HYO, bar[] = PO PO "|" PO, whole[] = HYO SO;
    getTokens(text, {{'\\', HYO}, {'\\', SO}, {'\\', nullptr}});
    getTokens(bar, {{'|', PO PO}, {0, PO}});
    EXPECT_EQ(gtGetToken(whole, '\\'), whole);
    char bars[] = " " PO "|" HYO "|| " SO "x";
    LPGTSTRTOK t = gtStartStrTok(TRUE, TRUE);
    getTokens(bars, {{'|', PO}, {'|', HYO}, {'|', ""}, {'|', SO "x"}, {'|', nullptr}}, t);
    gtEndStrTok(t);
    EXPECT_FALSE(gtHasTrailingSlash("C:\\" HYO));
    EXPECT_FALSE(gtHasTrailingCharacter("a" PO, '|'));
    EXPECT_EQ(trim([](char* s, int) { gtRemoveTrailingSlash(s); }, "C:\\" HYO, 0), "C:\\" HYO);
    char app[16] = "C:\\" SO, out[262];
    EXPECT_TRUE(gtAppendTrailingSlash(app, out));
    EXPECT_STREQ(out, "C:\\" SO "\\");
    EXPECT_EQ(trim(gtRightTrim, "\\" HYO "\\\\", '\\'), "\\" HYO);
    EXPECT_EQ(trim(gtAllTrimEx, "|\\" PO HYO "|\\", "|\\"), PO HYO);
}

TEST_F(Dbcs, SearchesReplacementAndRemoveTokenMatchOnCharacterBoundaries) {
    EXPECT_FALSE(gtIsStrStr(HYO, "\\"));
    EXPECT_EQ(gtStrStri("a" BI, "R"), nullptr);  // the trail byte is not upper-cased into a match
    const std::string wide = testutil::ansiFromUtf8("ａｂｃ表");  // full-width letters upper-case too
    EXPECT_EQ(gtStrStri(wide.c_str(), testutil::ansiFromUtf8("ＢＣ表").c_str()), wide.c_str() + 2);
    char out[32], text[] = "x\\" HYO "abc\\y", bar[] = "k|" PO "v|z";
    EXPECT_TRUE(gtStuffStr(HYO "\\" HYO "\\", "\\", 1, "/", TRUE, 0, out));
    EXPECT_STREQ(out, HYO "/" HYO "/");
    EXPECT_TRUE(gtRemoveToken(text, "abc", FALSE, TRUE, '\\', '\\', nullptr));
    EXPECT_STREQ(text, "x\\y");  // the start separator never matches a trail byte
    EXPECT_TRUE(gtRemoveToken(bar, "v", FALSE, TRUE, '|', '|', out));
    EXPECT_STREQ(out, "k|z");
}

TEST_F(Dbcs, GetLineAndIncrementPtrStepWholeCharacters) {
    const char* text = HYO HYO HYO "\r\n" "x";
    char line[16];
    EXPECT_EQ(gtGetLine(text, static_cast<char*>(std::memset(line, '#', sizeof(line))), 4, FALSE), text + 8);
    EXPECT_STREQ(line, HYO);  // the second character would not fit whole
    EXPECT_EQ(line[4], '#');
    gtGetLine("a" SO, line, 16, FALSE);
    EXPECT_STREQ(line, "a");  // without a line feed the last character goes whole
    const char* s = HYO "a" SO "b";
    const int want[] = {0, 2, 3, 5, 6};
    for (int n = 0; n < 5; ++n) EXPECT_EQ(gtIncrementPtr(s, n), s + want[n]) << n;
}

}  // namespace
