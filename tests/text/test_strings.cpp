// String utilities through the DLL (single-byte code page).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gtapi32.h"

namespace {

std::string str(const char* p) { return p ? std::string(p) : std::string("<null>"); }

// ---------------------------------------------------------------- gtGetToken

TEST(GetToken, DeliversPiecesThenNullWithoutTheLastPiece) {
    char text[] = "a,b,c";
    EXPECT_EQ(str(gtGetToken(text, ',')), "a");
    EXPECT_EQ(str(gtGetToken(nullptr, ',')), "b");
    EXPECT_EQ(gtGetToken(nullptr, ','), nullptr);
    // The walk rests on the terminator: nothing is left for delimiter 0.
    EXPECT_EQ(str(gtGetToken(nullptr, 0)), "");
}

TEST(GetToken, LastPieceComesWithDelimiterZeroThenNothing) {
    char text[] = "a,b,c";
    gtGetToken(text, ',');
    gtGetToken(nullptr, ',');
    EXPECT_EQ(str(gtGetToken(nullptr, 0)), "c");
    // The string is used up: a continuing call must not read past it.
    EXPECT_EQ(gtGetToken(nullptr, ','), nullptr);
    EXPECT_EQ(gtGetToken(nullptr, 0), nullptr);
}

TEST(GetToken, BlanksAreSkippedButAFirstMissReturnsTheStringItself) {
    char text[] = " \t x";
    EXPECT_EQ(gtGetToken(text, ','), text);  // leading blanks included
    char text2[] = " \ta, \tb";
    EXPECT_EQ(str(gtGetToken(text2, ',')), "a");
    EXPECT_EQ(str(gtGetToken(nullptr, 0)), "b");
}

TEST(GetToken, ANewStringRestartsTheSharedWalk) {
    char one[] = "1,2,3";
    char two[] = "x;y";
    gtGetToken(one, ',');
    EXPECT_EQ(str(gtGetToken(two, ';')), "x");
    EXPECT_EQ(str(gtGetToken(nullptr, 0)), "y");
    EXPECT_STREQ(one, "1");  // only the delimiter that was found became 0
    EXPECT_EQ(std::memcmp(one, "1\0" "2,3", 6), 0);
}

// ---------------------------------------------------------------- gtContinueStrTok

TEST(StrTok, EmptyTokensBetweenAdjacentDelimitersAndLastTokenWithoutDelimiter) {
    LPGTSTRTOK t = gtStartStrTok(FALSE, FALSE);
    ASSERT_NE(t, nullptr);
    char text[] = "a,,b";
    EXPECT_EQ(str(gtContinueStrTok(t, text, ',')), "a");
    EXPECT_EQ(str(gtContinueStrTok(t, nullptr, ',')), "");
    EXPECT_EQ(str(gtContinueStrTok(t, nullptr, ',')), "b");
    EXPECT_EQ(gtContinueStrTok(t, nullptr, ','), nullptr);
    EXPECT_EQ(gtContinueStrTok(t, nullptr, 0), nullptr);
    EXPECT_TRUE(gtEndStrTok(t));
}

TEST(StrTok, TrailingBlanksGiveOneEmptyTokenWithBothSkipFlags) {
    LPGTSTRTOK t = gtStartStrTok(TRUE, TRUE);
    char text[] = "a,  ";
    EXPECT_EQ(str(gtContinueStrTok(t, text, ',')), "a");
    EXPECT_EQ(str(gtContinueStrTok(t, nullptr, ',')), "");
    EXPECT_EQ(gtContinueStrTok(t, nullptr, ','), nullptr);
    gtEndStrTok(t);
}

TEST(StrTok, SkipFlagsCountOnlyWhenOne) {
    struct Case {
        BOOL tabs, spaces;
        const char* first;
    } cases[] = {{FALSE, FALSE, " \tx"}, {TRUE, FALSE, " \tx"}, {FALSE, TRUE, "\tx"},
                 {TRUE, TRUE, "x"},      {2, 2, " \tx"}};
    for (const auto& c : cases) {
        LPGTSTRTOK t = gtStartStrTok(c.tabs, c.spaces);
        char text[] = " \tx;y";
        EXPECT_EQ(str(gtContinueStrTok(t, text, ';')), c.first) << c.tabs << "," << c.spaces;
        gtEndStrTok(t);
    }
    // Tabs then spaces: a skip stops at the first character of the other kind
    // only when that kind is not skipped.
    LPGTSTRTOK t = gtStartStrTok(TRUE, FALSE);
    char text[] = "\t\t x";
    EXPECT_EQ(str(gtContinueStrTok(t, text, 0)), " x");
    gtEndStrTok(t);
}

TEST(StrTok, DelimiterZeroTakesTheRestAndEndsTheWalk) {
    LPGTSTRTOK t = gtStartStrTok(TRUE, TRUE);
    char text[] = "k, rest, more";
    EXPECT_EQ(str(gtContinueStrTok(t, text, ',')), "k");
    EXPECT_EQ(str(gtContinueStrTok(t, nullptr, 0)), "rest, more");
    EXPECT_EQ(gtContinueStrTok(t, nullptr, ','), nullptr);
    gtEndStrTok(t);
}

TEST(StrTok, NullHandleAndHandlesAreIndependent) {
    char text[] = "a";
    EXPECT_EQ(gtContinueStrTok(nullptr, text, ','), nullptr);
    EXPECT_FALSE(gtEndStrTok(nullptr));

    LPGTSTRTOK a = gtStartStrTok(FALSE, FALSE), b = gtStartStrTok(FALSE, FALSE);
    char ta[] = "1,2", tb[] = "x,y";
    EXPECT_EQ(str(gtContinueStrTok(a, ta, ',')), "1");
    EXPECT_EQ(str(gtContinueStrTok(b, tb, ',')), "x");
    EXPECT_EQ(str(gtContinueStrTok(a, nullptr, ',')), "2");
    EXPECT_EQ(str(gtContinueStrTok(b, nullptr, ',')), "y");
    // The handle's record is what callers see.
    EXPECT_EQ(a->pszPos, ta + 3);
    EXPECT_EQ(a->bSkipTabs, FALSE);
    gtEndStrTok(a);
    gtEndStrTok(b);
}

// ---------------------------------------------------------------- searches

TEST(Search, StrStriPointsIntoTheCallersText) {
    const char* text = "Hello World";
    EXPECT_EQ(gtStrStri(text, "WORLD"), text + 6);
    EXPECT_EQ(gtStrStri(text, "o w"), text + 4);
    EXPECT_EQ(gtStrStri(text, "worlds"), nullptr);
    EXPECT_EQ(gtStrStri(text, ""), text);
    EXPECT_EQ(gtStrStri("", "a"), nullptr);
    EXPECT_EQ(gtStrStri(nullptr, "a"), nullptr);
    EXPECT_EQ(gtStrStri(text, nullptr), nullptr);
    EXPECT_TRUE(gtIsStrStri(text, "hELLO"));
    EXPECT_FALSE(gtIsStrStri(text, "xyz"));
}

TEST(Search, CaseSensitiveOnlyForModeOne) {
    const char* text = "abc ABC";
    EXPECT_TRUE(gtIsStrStr(text, "ABC"));
    EXPECT_FALSE(gtIsStrStr(text, "aBc"));
    EXPECT_FALSE(gtIsStrStr(nullptr, "a"));
    EXPECT_EQ(gtFindString(text, "ABC", 1), text + 4);
    EXPECT_EQ(gtFindString(text, "aBc", 1), nullptr);
    EXPECT_EQ(gtFindString(text, "ABC", 0), text);
    EXPECT_EQ(gtFindString(text, "ABC", 2), text);  // any mode but 1 ignores case
}

TEST(Search, StrStriOverLatin1Letters) {
    if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252";
    // Code page 1252: the system's upper-casing maps e-acute to E-acute.
    const char text[] = "caf\xe9 ol\xe9";
    EXPECT_EQ(gtStrStri(text, "CAF\xc9"), text);
    EXPECT_EQ(gtStrStri(text, "L\xc9"), text + 6);
}

// ---------------------------------------------------------------- gtStuffStr

TEST(StuffStr, OccurrenceAllFlagAndMissingOccurrence) {
    char out[64];
    EXPECT_TRUE(gtStuffStr("a-b-c", "-", 1, "+", FALSE, 1, out));
    EXPECT_STREQ(out, "a+b-c");
    EXPECT_TRUE(gtStuffStr("a-b-c", "-", 1, "+", TRUE, 1, out));
    EXPECT_STREQ(out, "a+b+c");
    EXPECT_TRUE(gtStuffStr("a-b-c", "-", 2, "+", FALSE, 1, out));
    EXPECT_STREQ(out, "a-b+c");
    EXPECT_TRUE(gtStuffStr("a-b-c", "-", 3, "+", FALSE, 1, out));
    EXPECT_STREQ(out, "a-b-c");
    EXPECT_TRUE(gtStuffStr("a-b-c", "-", 1, "+", 2, 1, out));  // all flag 2 is not set
    EXPECT_STREQ(out, "a+b-c");
}

TEST(StuffStr, NonOverlappingLongerAndShorterReplacementsAndCase) {
    char out[64];
    EXPECT_TRUE(gtStuffStr("aaaa", "aa", 2, "X", FALSE, 1, out));
    EXPECT_STREQ(out, "aaX");
    EXPECT_TRUE(gtStuffStr("aaaaa", "aa", 1, "<aa>", TRUE, 1, out));
    EXPECT_STREQ(out, "<aa><aa>a");  // replacements are not searched again
    EXPECT_TRUE(gtStuffStr("One one ONE", "one", 1, "1", TRUE, 0, out));
    EXPECT_STREQ(out, "1 1 1");
    EXPECT_TRUE(gtStuffStr("One one ONE", "one", 1, "1", TRUE, 1, out));
    EXPECT_STREQ(out, "One 1 ONE");
    EXPECT_TRUE(gtStuffStr("path\\x", "\\x", 1, "", FALSE, 1, out));
    EXPECT_STREQ(out, "path");
}

TEST(StuffStr, OutputMayBeTheSourceBuffer) {
    char buf[64] = "x.y.z";
    EXPECT_TRUE(gtStuffStr(buf, ".", 1, "::", TRUE, 1, buf));
    EXPECT_STREQ(buf, "x::y::z");
}

TEST(StuffStr, RefusedArguments) {
    char out[16] = "keep";
    EXPECT_FALSE(gtStuffStr("abc", "", 1, "+", FALSE, 1, out));
    EXPECT_FALSE(gtStuffStr("abc", "b", 0, "+", FALSE, 1, out));
    EXPECT_FALSE(gtStuffStr("abc", "b", -1, "+", FALSE, 1, out));
    EXPECT_FALSE(gtStuffStr("", "b", 1, "+", FALSE, 1, out));
    EXPECT_FALSE(gtStuffStr(nullptr, "b", 1, "+", FALSE, 1, out));
    EXPECT_FALSE(gtStuffStr("abc", nullptr, 1, "+", FALSE, 1, out));
    EXPECT_FALSE(gtStuffStr("abc", "b", 1, "+", FALSE, 1, nullptr));
    EXPECT_STREQ(out, "keep");
}

// ---------------------------------------------------------------- gtGetLine

TEST(GetLine, CrLfLinesWithoutKeepingTheNewline) {
    const char* text = "ab\r\ncd\r\n";
    char line[16];
    const char* p = gtGetLine(text, line, sizeof(line), FALSE);
    EXPECT_STREQ(line, "ab");
    EXPECT_EQ(p, text + 4);
    p = gtGetLine(p, line, sizeof(line), FALSE);
    EXPECT_STREQ(line, "cd");
    EXPECT_EQ(gtGetLine(p, line, sizeof(line), FALSE), nullptr);
    EXPECT_STREQ(line, "");
}

TEST(GetLine, KeepNewlineAndALastLineWithoutLineFeed) {
    const char* text = "one\r\ntwo";
    char line[16];
    const char* p = gtGetLine(text, line, sizeof(line), TRUE);
    EXPECT_STREQ(line, "one\r\n");
    p = gtGetLine(p, line, sizeof(line), TRUE);
    EXPECT_STREQ(line, "two");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(*p, 0);  // rests on the terminator
    EXPECT_EQ(gtGetLine(p, line, sizeof(line), TRUE), nullptr);

    // Without keep-newline the last line loses its last character.
    p = gtGetLine("x\nlast", line, sizeof(line), FALSE);
    EXPECT_STREQ(line, "");  // LF-only line: its one character goes
    p = gtGetLine(p, line, sizeof(line), FALSE);
    EXPECT_STREQ(line, "las");
    EXPECT_EQ(gtGetLine(p, line, sizeof(line), FALSE), nullptr);
}

TEST(GetLine, EmptyLineEndsTheWalk) {
    char line[8] = "junk";
    EXPECT_EQ(gtGetLine("\nnext", line, sizeof(line), TRUE), nullptr);
    EXPECT_STREQ(line, "");
    EXPECT_EQ(gtGetLine("", line, sizeof(line), TRUE), nullptr);
}

TEST(GetLine, NeverWritesMoreThanTheSize) {
    const char* text = "abcdefgh\r\nz";
    char line[12];
    std::memset(line, '#', sizeof(line));
    const char* p = gtGetLine(text, line, 5, FALSE);
    EXPECT_STREQ(line, "abcd");
    EXPECT_EQ(line[5], '#');
    EXPECT_EQ(p, text + 10);  // the walk still moves past the line feed

    // A cut line gets no line feed spliced on.
    std::memset(line, '#', sizeof(line));
    gtGetLine("abcdef\n", line, 4, TRUE);
    EXPECT_STREQ(line, "abc");
    // Exactly fitting with the line feed.
    gtGetLine("abc\n", line, 5, TRUE);
    EXPECT_STREQ(line, "abc\n");
    gtGetLine("abc\n", line, 4, TRUE);
    EXPECT_STREQ(line, "abc");
    gtGetLine("abc\n", line, 1, TRUE);
    EXPECT_STREQ(line, "");
}

TEST(GetLine, RefusedBuffers) {
    char line[8];
    EXPECT_EQ(gtGetLine(nullptr, line, 8, FALSE), nullptr);
    EXPECT_EQ(gtGetLine("a\n", nullptr, 8, FALSE), nullptr);
    EXPECT_EQ(gtGetLine("a\n", line, 0, FALSE), nullptr);
    void* ro = VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_READONLY);
    ASSERT_NE(ro, nullptr);
    EXPECT_EQ(gtGetLine("abc\n", static_cast<char*>(ro), 8, FALSE), nullptr);
    VirtualFree(ro, 0, MEM_RELEASE);
}

// ---------------------------------------------------------------- gtRemoveToken

TEST(RemoveToken, InPlaceWithAndWithoutDroppingTheSeparator) {
    char t1[] = "a;b;c";
    EXPECT_TRUE(gtRemoveToken(t1, "b", TRUE, TRUE, ';', ';', nullptr));
    EXPECT_STREQ(t1, "a;c");
    char t2[] = "a;b;c";
    EXPECT_TRUE(gtRemoveToken(t2, "b", TRUE, FALSE, ';', ';', nullptr));
    EXPECT_STREQ(t2, "a;");
    char t3[] = "a;b;c";
    EXPECT_TRUE(gtRemoveToken(t3, "c", TRUE, TRUE, ';', ';', nullptr));
    EXPECT_STREQ(t3, "a;b;");
    char t4[] = "a;b;c";
    EXPECT_TRUE(gtRemoveToken(t4, "a", TRUE, TRUE, ';', ';', nullptr));
    EXPECT_STREQ(t4, "b;c");
}

TEST(RemoveToken, InexactTakesTheWholeFieldIntoTheOutput) {
    char text[] = "x;abc;y";
    char out[16] = {};
    EXPECT_TRUE(gtRemoveToken(text, "bc", FALSE, TRUE, ';', ';', out));
    EXPECT_STREQ(out, "x;y");
    EXPECT_STREQ(text, "x;abc;y");
    // No start separator before the match: the field runs from the start.
    char t2[] = "xab,c";
    EXPECT_TRUE(gtRemoveToken(t2, "b", FALSE, TRUE, ';', ',', nullptr));
    EXPECT_STREQ(t2, "c");
    // Exact flag 2 is not set: the field goes too.
    char t3[] = "k=v1|k=v2|z";
    EXPECT_TRUE(gtRemoveToken(t3, "v2", 2, TRUE, '|', '|', nullptr));
    EXPECT_STREQ(t3, "k=v1|z");
}

TEST(RemoveToken, DifferentEndSeparatorAndDropFlag) {
    char t1[] = "a=1 b=2 c=3";
    EXPECT_TRUE(gtRemoveToken(t1, "=2", FALSE, TRUE, ' ', ' ', nullptr));
    EXPECT_STREQ(t1, "a=1 c=3");
    // The start separator itself stays.
    char t0[] = "<a> <b> <c>";
    EXPECT_TRUE(gtRemoveToken(t0, "b>", FALSE, TRUE, '<', ' ', nullptr));
    EXPECT_STREQ(t0, "<a> <<c>");
    char t2[] = "a;b;c";
    EXPECT_TRUE(gtRemoveToken(t2, "b", TRUE, 2, ';', ';', nullptr));  // drop flag 2 is not set
    EXPECT_STREQ(t2, "a;");
}

TEST(RemoveToken, EmptyTokenEmptiesAndMissesFail) {
    char t1[] = "abc";
    EXPECT_TRUE(gtRemoveToken(t1, "", TRUE, TRUE, ';', ';', nullptr));
    EXPECT_STREQ(t1, "");
    char t2[] = "abc";
    char out[8] = "junk";
    EXPECT_TRUE(gtRemoveToken(t2, nullptr, TRUE, TRUE, ';', ';', out));
    EXPECT_STREQ(out, "");
    EXPECT_STREQ(t2, "abc");
    EXPECT_FALSE(gtRemoveToken(t2, "B", TRUE, TRUE, ';', ';', nullptr));  // case-sensitive
    EXPECT_STREQ(t2, "abc");
    char empty[] = "";
    EXPECT_FALSE(gtRemoveToken(empty, "a", TRUE, TRUE, ';', ';', nullptr));
    EXPECT_FALSE(gtRemoveToken(nullptr, "a", TRUE, TRUE, ';', ';', nullptr));
}

// ---------------------------------------------------------------- gtReplaceChars

TEST(ReplaceChars, InPlaceAndIntoADestination) {
    char s[] = "a/b/c";
    EXPECT_TRUE(gtReplaceChars('/', '\\', s, nullptr));
    EXPECT_STREQ(s, "a\\b\\c");
    char src[] = "x.y";
    char dst[8];
    std::memset(dst, '#', sizeof(dst));
    EXPECT_TRUE(gtReplaceChars('.', '_', src, dst));
    EXPECT_STREQ(dst, "x_y");
    EXPECT_STREQ(src, "x.y");
    char none[] = "abc";
    EXPECT_TRUE(gtReplaceChars('z', 'q', none, nullptr));
    EXPECT_STREQ(none, "abc");
    EXPECT_FALSE(gtReplaceChars('a', 'b', nullptr, dst));
}

// ---------------------------------------------------------------- trailing backslash

TEST(TrailingSlash, HasTrailingCharacter) {
    EXPECT_TRUE(gtHasTrailingCharacter("abc;", ';'));
    EXPECT_FALSE(gtHasTrailingCharacter("a;bc", ';'));
    EXPECT_FALSE(gtHasTrailingCharacter("", ';'));
    EXPECT_FALSE(gtHasTrailingCharacter(nullptr, ';'));
    EXPECT_TRUE(gtHasTrailingSlash("C:\\"));
    EXPECT_TRUE(gtHasTrailingSlash("\\\\"));
    EXPECT_FALSE(gtHasTrailingSlash("C:\\dir"));
}

TEST(TrailingSlash, Remove) {
    char root[] = "C:\\";
    gtRemoveTrailingSlash(root);
    EXPECT_STREQ(root, "C:");
    char dir[] = "C:\\dir";
    gtRemoveTrailingSlash(dir);
    EXPECT_STREQ(dir, "C:\\dir");
    char two[] = "a\\\\";
    gtRemoveTrailingSlash(two);  // one backslash only
    EXPECT_STREQ(two, "a\\");
    gtRemoveTrailingSlash(nullptr);
}

TEST(TrailingSlash, AppendInPlace) {
    char dir[16] = "C:\\dir";
    EXPECT_TRUE(gtAppendTrailingSlash(dir, nullptr));
    EXPECT_STREQ(dir, "C:\\dir\\");
    EXPECT_TRUE(gtAppendTrailingSlash(dir, nullptr));
    EXPECT_STREQ(dir, "C:\\dir\\");
    char empty[4] = "";
    EXPECT_FALSE(gtAppendTrailingSlash(empty, nullptr));
    EXPECT_STREQ(empty, "");
    EXPECT_FALSE(gtAppendTrailingSlash(nullptr, nullptr));
}

TEST(TrailingSlash, AppendIntoA262ByteBufferAlwaysFillsIt) {
    char path[300] = "C:\\dir";
    char out[262];
    std::memset(out, '#', sizeof(out));
    out[261] = 0;  // stale contents must not matter
    EXPECT_TRUE(gtAppendTrailingSlash(path, out));
    EXPECT_STREQ(out, "C:\\dir\\");
    EXPECT_STREQ(path, "C:\\dir");

    char has[] = "C:\\dir\\";
    std::strcpy(out, "stale");
    EXPECT_TRUE(gtAppendTrailingSlash(has, out));
    EXPECT_STREQ(out, "C:\\dir\\");

    // 260 characters plus the backslash is the longest result.
    std::string p260(260, 'p');
    std::strcpy(path, p260.c_str());
    EXPECT_TRUE(gtAppendTrailingSlash(path, out));
    EXPECT_EQ(std::string(out), p260 + "\\");
    std::string p261(261, 'p');
    std::strcpy(path, p261.c_str());
    EXPECT_FALSE(gtAppendTrailingSlash(path, out));
    // Already ending with one: 261 characters fit as they are.
    std::string s261 = std::string(260, 'p') + "\\";
    std::strcpy(path, s261.c_str());
    EXPECT_TRUE(gtAppendTrailingSlash(path, out));
    EXPECT_EQ(std::string(out), s261);
    char empty[] = "";
    EXPECT_FALSE(gtAppendTrailingSlash(empty, out));
}

// ---------------------------------------------------------------- trims

TEST(Trim, SingleCharacter) {
    char a[] = "xxabcxx";
    gtLeftTrim(a, 'x');
    EXPECT_STREQ(a, "abcxx");
    gtRightTrim(a, 'x');
    EXPECT_STREQ(a, "abc");
    char b[] = "  a b  ";
    gtAllTrim(b, ' ');
    EXPECT_STREQ(b, "a b");
    char c[] = "xx";
    gtRightTrim(c, 'x');
    EXPECT_STREQ(c, "");
    char d[] = "xx";
    gtLeftTrim(d, 'x');
    EXPECT_STREQ(d, "");
    char e[] = "";
    gtAllTrim(e, 'x');
    EXPECT_STREQ(e, "");
    gtAllTrim(nullptr, 'x');
}

TEST(Trim, SetOfCharactersKeepsTheFirstOnTheRight) {
    char a[] = "xx";
    gtRightTrimEx(a, "x");
    EXPECT_STREQ(a, "x");
    char b[] = " \t;a;b; \t";
    gtAllTrimEx(b, " \t;");
    EXPECT_STREQ(b, "a;b");
    char c[] = ";;;";
    gtLeftTrimEx(c, ";");
    EXPECT_STREQ(c, "");
    char d[] = ";;;";
    gtAllTrimEx(d, ";");
    EXPECT_STREQ(d, "");  // the left trim has already emptied it
    char e[] = "abc";
    gtAllTrimEx(e, nullptr);
    EXPECT_STREQ(e, "abc");
    gtAllTrimEx(e, "");
    EXPECT_STREQ(e, "abc");
}

// ---------------------------------------------------------------- embedding entries

GTEMBEDDING makeEmbedding(const char* d1, const char* d2, const char* path, const char* fmt) {
    GTEMBEDDING e{};
    std::strcpy(e.szClassName, "Ignored.Class");
    std::strcpy(e.szDescription1, d1);
    std::strcpy(e.szDescription2, d2);
    std::strcpy(e.szServerPath, path);
    std::strcpy(e.szFormat, fmt);
    return e;
}

TEST(Embedding, ComposeJoinsFieldsTwoToFive) {
    GTEMBEDDING e = makeEmbedding("Paint Picture", "Paint", "C:\\PB\\PB.EXE", "picture");
    char out[445];
    EXPECT_TRUE(gtComposeEmbeddingString(&e, out));
    EXPECT_STREQ(out, "Paint Picture,Paint,C:\\PB\\PB.EXE,picture");
    for (int field = 0; field < 4; ++field) {
        GTEMBEDDING f = makeEmbedding("a", "b", "c", "d");
        char* fields[] = {f.szDescription1, f.szDescription2, f.szServerPath, f.szFormat};
        fields[field][0] = 0;
        EXPECT_FALSE(gtComposeEmbeddingString(&f, out)) << field;
    }
    EXPECT_FALSE(gtComposeEmbeddingString(nullptr, out));
    EXPECT_FALSE(gtComposeEmbeddingString(&e, nullptr));
}

TEST(Embedding, DecomposeSplitsAndUpperCasesThePath) {
    char value[445] = "Desc One, Desc Two ,c:\\srv\\app.exe, fmt,x";
    GTEMBEDDING e;
    std::memset(&e, '#', sizeof(e));
    EXPECT_TRUE(gtDecomposeEmbeddingString("My.Class", value, &e));
    EXPECT_STREQ(e.szClassName, "My.Class");
    EXPECT_STREQ(e.szDescription1, "Desc One");
    EXPECT_STREQ(e.szDescription2, "Desc Two ");
    EXPECT_STREQ(e.szServerPath, "C:\\SRV\\APP.EXE");
    EXPECT_STREQ(e.szFormat, "fmt,x");  // the rest of the value
}

TEST(Embedding, DecomposeWithTwoFieldsAndLongFields) {
    char value[445] = "one,two";
    GTEMBEDDING e;
    std::memset(&e, '#', sizeof(e));
    EXPECT_TRUE(gtDecomposeEmbeddingString("C", value, &e));
    EXPECT_STREQ(e.szDescription1, "one");
    EXPECT_STREQ(e.szDescription2, "two");
    EXPECT_STREQ(e.szServerPath, "");
    EXPECT_STREQ(e.szFormat, "");

    std::string longValue = std::string(60, 'a') + "," + std::string(60, 'b') + "," +
                            std::string(270, 'c') + "," + std::string(40, 'd');
    std::strcpy(value, longValue.c_str());
    std::string longClass(70, 'k');
    EXPECT_TRUE(gtDecomposeEmbeddingString(longClass.c_str(), value, &e));
    EXPECT_EQ(std::string(e.szClassName), std::string(50, 'k'));
    EXPECT_EQ(std::string(e.szDescription1), std::string(50, 'a'));
    EXPECT_EQ(std::string(e.szDescription2), std::string(50, 'b'));
    EXPECT_EQ(std::string(e.szServerPath), std::string(260, 'C'));
    EXPECT_EQ(std::string(e.szFormat), std::string(25, 'd'));
}

TEST(Embedding, DecomposeReadsTheProfileWhenTheValueIsEmpty) {
    const char* key = "GtTest.EmbeddingProbe";
    ASSERT_TRUE(WriteProfileStringA("Embedding", key, "Probe,Probe Obj,c:\\p.exe,pic"));
    char value[445] = "";
    GTEMBEDDING e{};
    EXPECT_TRUE(gtDecomposeEmbeddingString(key, value, &e));
    EXPECT_STREQ(e.szDescription2, "Probe Obj");
    EXPECT_STREQ(e.szServerPath, "C:\\P.EXE");
    EXPECT_STREQ(e.szFormat, "pic");
    WriteProfileStringA("Embedding", key, nullptr);

    char again[445] = "";
    EXPECT_FALSE(gtDecomposeEmbeddingString(key, again, &e));
    EXPECT_FALSE(gtDecomposeEmbeddingString("", again, &e));
    EXPECT_FALSE(gtDecomposeEmbeddingString(nullptr, again, &e));
    EXPECT_FALSE(gtDecomposeEmbeddingString(key, nullptr, &e));
    EXPECT_FALSE(gtDecomposeEmbeddingString(key, again, nullptr));
}

// ---------------------------------------------------------------- numbers

TEST(Numbers, IntStrToInt) {
    EXPECT_EQ(gtIntStrToInt(nullptr), 0);
    EXPECT_EQ(gtIntStrToInt(""), 0);
    EXPECT_EQ(gtIntStrToInt("  -42x"), -42);
    EXPECT_EQ(gtIntStrToInt("+7"), 7);
    EXPECT_EQ(gtIntStrToInt("abc"), 0);
    EXPECT_EQ(gtIntStrToInt("2147483647"), 2147483647);
    // Only the first 19 characters count.
    EXPECT_EQ(gtIntStrToInt("                  5"), 5);
    EXPECT_EQ(gtIntStrToInt("                   5"), 0);
}

TEST(Numbers, HexStrToIntTakesAtMostFourDigits) {
    EXPECT_EQ(gtHexStrToInt("1A2B3"), 0x1A2Bu);
    EXPECT_EQ(gtHexStrToInt("ffff"), 0xFFFFu);
    EXPECT_EQ(gtHexStrToInt("aB"), 0xABu);
    EXPECT_EQ(gtHexStrToInt("0x10"), 0u);
    EXPECT_EQ(gtHexStrToInt("12g4"), 0x12u);
    EXPECT_EQ(gtHexStrToInt(" 1"), 0u);
    EXPECT_EQ(gtHexStrToInt("-1"), 0u);
    EXPECT_EQ(gtHexStrToInt(""), 0u);
    EXPECT_EQ(gtHexStrToInt(nullptr), 0u);
}

}  // namespace
