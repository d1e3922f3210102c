// Code page 932: characters whose trail byte looks like '\\', '|' or a letter are never split or matched halfway.
#include "testutil.h"
#include "text_cases.h"
#define HYO "\x95\x5C"   // trail byte is a backslash
#define SO "\x83\x5C"    // trail byte is a backslash
#define PO "\x83\x7C"    // trail byte is '|'
#define BI "\x83\x72"    // trail byte is 'r'

namespace {

struct Dbcs : ::testing::Test { void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "needs LC_ALL=ja_JP.UTF-8"; } };

TEST_F(Dbcs, TokenizersTrailingSlashAndTrimsSeeWholeCharacters) {
    char text[] = HYO "\\" SO "\\" HYO, bar[] = PO PO "|" PO, whole[] = HYO SO;
    getTokens(text, {{'\\', HYO}, {'\\', SO}, {'\\', nullptr}});
    getTokens(bar, {{'|', PO PO}, {0, PO}});
    EXPECT_EQ(gtGetToken(whole, '\\'), whole);
    char bars[] = " " PO "|" HYO "|| " SO "x";
    LPGTSTRTOK t;
    getTokens(bars, {{'|', PO}, {'|', HYO}, {'|', ""}, {'|', SO "x"}, {'|', nullptr}}, t = gtStartStrTok(TRUE, TRUE));
    EXPECT_TRUE(gtEndStrTok(t) && !gtHasTrailingSlash("C:\\" HYO) && !gtHasTrailingCharacter("a" PO, '|'));
    EXPECT_EQ(trim([](char* s, int) { gtRemoveTrailingSlash(s); }, "C:\\" HYO, 0), "C:\\" HYO);
    char app[16] = "C:\\" SO, out[262];
    EXPECT_TRUE(gtAppendTrailingSlash(app, out) && std::string(out) == "C:\\" SO "\\");
    EXPECT_EQ(trim(gtRightTrim, "\\" HYO "\\\\", '\\'), "\\" HYO);
    EXPECT_EQ(trim(gtAllTrimEx, "|\\" PO HYO "|\\", "|\\"), PO HYO);
}

TEST_F(Dbcs, SearchesReplacementAndRemoveTokenMatchOnCharacterBoundaries) {
    EXPECT_FALSE(gtIsStrStr(HYO, "\\"));
    EXPECT_EQ(gtStrStri("a" BI, "R"), nullptr);  // the trail byte is not upper-cased into a match
    const std::string wide = testutil::ansiFromUtf8("ａｂｃ表");  // full-width letters upper-case too
    EXPECT_EQ(gtStrStri(wide.c_str(), testutil::ansiFromUtf8("ＢＣ表").c_str()), wide.c_str() + 2);
    char out[32], text[] = "x\\" HYO "abc\\y", bar[] = "k|" PO "v|z";
    EXPECT_TRUE(gtStuffStr(HYO "\\" HYO "\\", "\\", 1, "/", TRUE, 0, out) && std::string(out) == HYO "/" HYO "/");
    EXPECT_TRUE(gtRemoveToken(text, "abc", FALSE, TRUE, '\\', '\\', nullptr) && std::string(text) == "x\\y");  // not after a trail byte
    EXPECT_TRUE(gtRemoveToken(bar, "v", FALSE, TRUE, '|', '|', out) && std::string(out) == "k|z");
}

TEST_F(Dbcs, GetLineAndIncrementPtrStepWholeCharacters) {
    const char* text = HYO HYO HYO "\r\n" "x";
    char line[16] = "###############";
    EXPECT_EQ(gtGetLine(text, line, 4, FALSE), text + 8);
    EXPECT_TRUE(std::string(line) == HYO && line[4] == '#');  // the second character would not fit whole
    gtGetLine("a" SO, line, 16, FALSE);
    EXPECT_STREQ(line, "a");  // without a line feed the last character goes whole
    const char* s = HYO "a" SO "b";
    for (int n = 0; n < 5; ++n) EXPECT_EQ(gtIncrementPtr(s, n) - s, "\0\2\3\5\6"[n]) << n;
}

}  // namespace
