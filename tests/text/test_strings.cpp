// String utilities through the DLL (single-byte code page).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gtapi32.h"
#include "text_cases.h"

namespace {

using namespace textcase;

// ---------------------------------------------------------------- tokenizers

TEST(GetToken, LastPieceOnlyWithDelimiterZeroBlanksAndRestart) {
    char t1[] = "a,b,c", t2[] = "a,b,c", t3[] = " \t x", t4[] = " \ta, \tb";
    getTokens(t1, {{',', "a"}, {',', "b"}, {',', nullptr}, {0, ""}});  // the miss rests on the end
    getTokens(t2, {{',', "a"}, {',', "b"}, {0, "c"}, {',', nullptr}, {0, nullptr}});
    getTokens(t3, {{',', " \t x"}});  // a first miss returns the string itself
    getTokens(t4, {{',', "a"}, {0, "b"}});
    char one[] = "1,2,3", two[] = "x;y";
    gtGetToken(one, ',');
    getTokens(two, {{';', "x"}, {0, "y"}});  // a new string restarts the shared walk
    EXPECT_EQ(std::memcmp(one, "1\0" "2,3", 6), 0);  // only the found delimiter became 0
}

TEST(StrTok, EmptyTokensTrailingBlanksAndDelimiterZero) {
    LPGTSTRTOK t = gtStartStrTok(FALSE, FALSE);
    ASSERT_NE(t, nullptr);
    char t1[] = "a,,b";
    strToks(t, t1, {{',', "a"}, {',', ""}, {',', "b"}, {',', nullptr}, {0, nullptr}});
    EXPECT_TRUE(gtEndStrTok(t));
    t = gtStartStrTok(TRUE, TRUE);
    char t2[] = "a,  ", t3[] = "k, rest, more";
    strToks(t, t2, {{',', "a"}, {',', ""}, {',', nullptr}});
    strToks(t, t3, {{',', "k"}, {0, "rest, more"}, {',', nullptr}});
    gtEndStrTok(t);
}

TEST(StrTok, SkipFlagsCountOnlyWhenOne) {
    struct { BOOL tabs, spaces; const char *text, *first; } cases[] = {
        {FALSE, FALSE, " \tx;y", " \tx"}, {TRUE, FALSE, " \tx;y", " \tx"},
        {FALSE, TRUE, " \tx;y", "\tx"},   {TRUE, TRUE, " \tx;y", "x"},
        {2, 2, " \tx;y", " \tx"},         {TRUE, FALSE, "\t\t x", " x"}};
    for (const auto& c : cases) {
        LPGTSTRTOK t = gtStartStrTok(c.tabs, c.spaces);
        std::string text = c.text;
        EXPECT_EQ(str(gtContinueStrTok(t, &text[0], ';')), c.first) << c.tabs << "," << c.spaces;
        gtEndStrTok(t);
    }
}

TEST(StrTok, NullHandleAndHandlesAreIndependent) {
    char text[] = "a";
    EXPECT_EQ(gtContinueStrTok(nullptr, text, ','), nullptr);
    EXPECT_FALSE(gtEndStrTok(nullptr));
    LPGTSTRTOK a = gtStartStrTok(FALSE, FALSE), b = gtStartStrTok(FALSE, FALSE);
    char ta[] = "1,2", tb[] = "x,y";
    strToks(a, ta, {{',', "1"}});
    strToks(b, tb, {{',', "x"}});
    strToks(a, nullptr, {{',', "2"}});
    strToks(b, nullptr, {{',', "y"}});
    EXPECT_EQ(a->pszPos, ta + 3);  // the handle's record is what callers see
    gtEndStrTok(a);
    gtEndStrTok(b);
}

// ---------------------------------------------------------------- searches

TEST(Search, PointIntoTheCallersTextAndCaseOnlyForModeOne) {
    const char* text = "Hello World";
    struct { const char *text, *pat; int at; } stri[] = {  // at -1: no match
        {text, "WORLD", 6}, {text, "o w", 4}, {text, "worlds", -1}, {text, "", 0},
        {"", "a", -1},      {nullptr, "a", -1}, {text, nullptr, -1}};
    for (const auto& c : stri) {
        const char* m = gtStrStri(c.text, c.pat);
        EXPECT_EQ(m ? m - c.text : -1, c.at) << str(c.text) << " / " << str(c.pat);
        EXPECT_EQ(!!gtIsStrStri(c.text, c.pat), c.at >= 0);
    }
    const char* abc = "abc ABC";
    EXPECT_TRUE(gtIsStrStr(abc, "ABC"));
    EXPECT_FALSE(gtIsStrStr(abc, "aBc"));
    EXPECT_FALSE(gtIsStrStr(nullptr, "a"));
    EXPECT_EQ(gtFindString(abc, "ABC", 1), abc + 4);
    EXPECT_EQ(gtFindString(abc, "aBc", 1), nullptr);
    EXPECT_EQ(gtFindString(abc, "ABC", 0), abc);
    EXPECT_EQ(gtFindString(abc, "ABC", 2), abc);
}

TEST(Search, StrStriOverLatin1Letters) {
    if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252";
    const char text[] = "caf\xe9 ol\xe9";
    EXPECT_EQ(gtStrStri(text, "CAF\xc9"), text);
    EXPECT_EQ(gtStrStri(text, "L\xc9"), text + 6);
}

// ---------------------------------------------------------------- gtStuffStr

TEST(StuffStr, Replacements) {
    struct { const char *src, *pat; int occ; const char* with; BOOL all; int cs; const char* want; } cases[] = {
        {"a-b-c", "-", 1, "+", FALSE, 1, "a+b-c"},
        {"a-b-c", "-", 1, "+", TRUE, 1, "a+b+c"},
        {"a-b-c", "-", 2, "+", FALSE, 1, "a-b+c"},
        {"a-b-c", "-", 3, "+", FALSE, 1, "a-b-c"},
        {"a-b-c", "-", 1, "+", 2, 1, "a+b-c"},               // only 1 means all
        {"aaaa", "aa", 2, "X", FALSE, 1, "aaX"},             // occurrences do not overlap
        {"aaaaa", "aa", 1, "<aa>", TRUE, 1, "<aa><aa>a"},    // replacements not searched again
        {"One one ONE", "one", 1, "1", TRUE, 0, "1 1 1"},
        {"One one ONE", "one", 1, "1", TRUE, 1, "One 1 ONE"},
        {"path\\x", "\\x", 1, "", FALSE, 1, "path"},
    };
    for (const auto& c : cases) {
        char out[64];
        EXPECT_TRUE(gtStuffStr(c.src, c.pat, c.occ, c.with, c.all, c.cs, out)) << c.src;
        EXPECT_STREQ(out, c.want) << c.src << " " << c.pat << " " << c.occ;
    }
    char buf[64] = "x.y.z";  // output may be the source buffer
    EXPECT_TRUE(gtStuffStr(buf, ".", 1, "::", TRUE, 1, buf));
    EXPECT_STREQ(buf, "x::y::z");

    char out[16] = "keep";
    struct { const char *src, *pat; int occ; char* out; } refused[] = {
        {"abc", "", 1, out}, {"abc", "b", 0, out}, {"abc", "b", -1, out}, {"", "b", 1, out},
        {nullptr, "b", 1, out}, {"abc", nullptr, 1, out}, {"abc", "b", 1, nullptr}};
    for (const auto& c : refused)
        EXPECT_FALSE(gtStuffStr(c.src, c.pat, c.occ, "+", FALSE, 1, c.out)) << str(c.src) << str(c.pat);
    EXPECT_STREQ(out, "keep");
}

// ---------------------------------------------------------------- gtGetLine

// The lines of a walk, each followed by '|', then what the final NULL call
// left in the buffer; every call must leave the byte past lineSize alone.
std::string lines(const char* text, WORD size, BOOL keep) {
    std::string out;
    char line[24];
    for (int guard = 0; guard < 10; ++guard) {
        std::memset(line, '#', sizeof(line));
        text = gtGetLine(text, line, size, keep);
        EXPECT_EQ(line[size], '#') << out;
        if (!text) return out + line;
        out += std::string(line) + "|";
    }
    return out + "<endless>";
}

TEST(GetLine, WalksCutsAndTheLastLine) {
    struct { const char* text; WORD size; BOOL keep; const char* want; } cases[] = {
        {"ab\r\ncd\r\n", 16, FALSE, "ab|cd|"},
        {"one\r\ntwo", 16, TRUE, "one\r\n|two|"},  // the last line rests on the terminator
        {"x\nlast", 16, FALSE, "|las|"},  // without keep-newline the last character goes
        {"\nnext", 16, TRUE, ""},         // an empty line ends the walk
        {"", 16, TRUE, ""},
        {"abcdefgh\r\nz", 5, FALSE, "abcd||"},  // the walk still moves past the LF
        {"abcdef\n", 4, TRUE, "abc|"},          // a cut line gets no LF spliced on
        {"abc\n", 5, TRUE, "abc\n|"},  {"abc\n", 4, TRUE, "abc|"}, {"abc\n", 1, TRUE, "|"}};
    for (const auto& c : cases) EXPECT_EQ(lines(c.text, c.size, c.keep), c.want) << c.text << c.size;

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

TEST(RemoveToken, InPlaceIntoAnOutputAndMisses) {
    // want nullptr: refused; out set: the result goes there and the text stays.
    struct {
        const char *text, *token;
        BOOL exact, drop;
        char start, end;
        const char* want;
        const char* out = nullptr;
    } cases[] = {
        {"a;b;c", "b", TRUE, TRUE, ';', ';', "a;c"},
        {"a;b;c", "b", TRUE, FALSE, ';', ';', "a;"},
        {"a;b;c", "b", TRUE, 2, ';', ';', "a;"},  // only 1 drops
        {"a;b;c", "c", TRUE, TRUE, ';', ';', "a;b;"},
        {"a;b;c", "a", TRUE, TRUE, ';', ';', "b;c"},
        {"xab,c", "b", FALSE, TRUE, ';', ',', "c"},  // no start separator: from the start
        {"k=v1|k=v2|z", "v2", 2, TRUE, '|', '|', "k=v1|z"},  // only 1 is exact
        {"a=1 b=2 c=3", "=2", FALSE, TRUE, ' ', ' ', "a=1 c=3"},
        {"<a> <b> <c>", "b>", FALSE, TRUE, '<', ' ', "<a> <<c>"},  // start separator stays
        {"abc", "", TRUE, TRUE, ';', ';', ""},
        {"x;abc;y", "bc", FALSE, TRUE, ';', ';', "x;abc;y", "x;y"},
        {"abc", nullptr, TRUE, TRUE, ';', ';', "abc", ""},
        {"abc", "B", TRUE, TRUE, ';', ';', nullptr},  // case-sensitive
        {"", "a", TRUE, TRUE, ';', ';', nullptr}};
    for (const auto& c : cases) {
        char buf[32], out[32] = "junk";
        std::strcpy(buf, c.text);
        EXPECT_EQ(!!gtRemoveToken(buf, c.token, c.exact, c.drop, c.start, c.end, c.out ? out : nullptr),
                  c.want != nullptr) << c.text << " - " << str(c.token);
        EXPECT_STREQ(buf, c.want ? c.want : c.text) << c.text << " - " << str(c.token);
        if (c.out) { EXPECT_STREQ(out, c.out); }
    }
    EXPECT_FALSE(gtRemoveToken(nullptr, "a", TRUE, TRUE, ';', ';', nullptr));
}

// ---------------------------------------------------------------- gtReplaceChars

TEST(ReplaceChars, InPlaceAndIntoADestination) {
    char s[] = "a/b/c";
    EXPECT_TRUE(gtReplaceChars('/', '\\', s, nullptr));
    EXPECT_STREQ(s, "a\\b\\c");
    char src[] = "x.y", dst[8];
    std::memset(dst, '#', sizeof(dst));
    EXPECT_TRUE(gtReplaceChars('.', '_', src, dst));
    EXPECT_STREQ(dst, "x_y");
    EXPECT_STREQ(src, "x.y");
    EXPECT_FALSE(gtReplaceChars('a', 'b', nullptr, dst));
}

// ---------------------------------------------------------------- trailing backslash

TEST(TrailingSlash, HasAndRemove) {
    struct { const char* text; char ch; bool has; } has[] = {
        {"abc;", ';', true}, {"a;bc", ';', false}, {"", ';', false}, {nullptr, ';', false},
        {"\\\\", '\\', true}, {"C:\\dir", '\\', false}};
    for (const auto& c : has) {
        EXPECT_EQ(!!gtHasTrailingCharacter(c.text, c.ch), c.has) << str(c.text);
        if (c.ch == '\\') { EXPECT_EQ(!!gtHasTrailingSlash(c.text), c.has) << str(c.text); }
    }
    struct { const char *in, *want; } cases[] = {
        {"C:\\", "C:"}, {"C:\\dir", "C:\\dir"}, {"a\\\\", "a\\"}};  // one backslash only
    for (const auto& c : cases) {
        char buf[16];
        std::strcpy(buf, c.in);
        gtRemoveTrailingSlash(buf);
        EXPECT_STREQ(buf, c.want);
    }
    gtRemoveTrailingSlash(nullptr);
}

TEST(TrailingSlash, AppendInPlaceAndIntoA262ByteBuffer) {
    char dir[16] = "C:\\dir", empty[4] = "", out[262];
    EXPECT_TRUE(gtAppendTrailingSlash(dir, nullptr));
    EXPECT_TRUE(gtAppendTrailingSlash(dir, nullptr));
    EXPECT_STREQ(dir, "C:\\dir\\");
    EXPECT_FALSE(gtAppendTrailingSlash(empty, nullptr));
    EXPECT_FALSE(gtAppendTrailingSlash(empty, out));
    EXPECT_FALSE(gtAppendTrailingSlash(nullptr, nullptr));
    // Stale output contents do not matter; 261 characters is the longest result.
    std::memset(out, '#', sizeof(out));
    out[261] = 0;
    const std::string p260(260, 'p');
    struct { std::string in; BOOL ok; std::string want; } cases[] = {
        {"C:\\dir", TRUE, "C:\\dir\\"}, {"C:\\dir\\", TRUE, "C:\\dir\\"},
        {p260, TRUE, p260 + "\\"}, {p260 + "p", FALSE, ""}, {p260 + "\\", TRUE, p260 + "\\"}};
    for (auto& c : cases) {
        char path[300];
        std::strcpy(path, c.in.c_str());
        EXPECT_EQ(gtAppendTrailingSlash(path, out), c.ok) << c.in.size();
        if (c.ok) { EXPECT_EQ(std::string(out), c.want); }
        EXPECT_EQ(std::string(path), c.in);
    }
}

// ---------------------------------------------------------------- trims

TEST(Trim, SingleCharacterAndSets) {
    checkTrims({{L, "xxabcxx", "x", "abcxx"}, {R, "xxabcxx", "x", "xxabc"}, {A, "  a b  ", " ", "a b"},
                {R, "xx", "x", ""}, {L, "xx", "x", ""}, {A, "", "x", ""},
                {REx, "xx", "x", "x"},  // the first character stays on the right
                {AEx, " \t;a;b; \t", " \t;", "a;b"}, {LEx, ";;;", ";", ""}, {AEx, ";;;", ";", ""},
                {AEx, "abc", "", "abc"}});
    char e[] = "abc";
    gtAllTrimEx(e, nullptr);
    EXPECT_STREQ(e, "abc");
    gtAllTrim(nullptr, 'x');
}

// ---------------------------------------------------------------- embedding entries

std::string fields(const GTEMBEDDING& e) {
    return std::string(e.szClassName) + "|" + e.szDescription1 + "|" + e.szDescription2 + "|" +
           e.szServerPath + "|" + e.szFormat;
}

TEST(Embedding, ComposeJoinsFieldsTwoToFiveAllRequired) {
    GTEMBEDDING e{};
    char out[445];
    for (int empty = -1; empty < 4; ++empty) {
        std::strcpy(e.szClassName, "Ignored.Class");
        char* f[] = {e.szDescription1, e.szDescription2, e.szServerPath, e.szFormat};
        const char* v[] = {"Paint Picture", "Paint", "C:\\PB\\PB.EXE", "picture"};
        for (int i = 0; i < 4; ++i) std::strcpy(f[i], i == empty ? "" : v[i]);
        EXPECT_EQ(!!gtComposeEmbeddingString(&e, out), empty < 0) << empty;
    }
    e.szFormat[0] = 'p';
    EXPECT_TRUE(gtComposeEmbeddingString(&e, out));
    EXPECT_STREQ(out, "Paint Picture,Paint,C:\\PB\\PB.EXE,picture");
    EXPECT_FALSE(gtComposeEmbeddingString(nullptr, out));
    EXPECT_FALSE(gtComposeEmbeddingString(&e, nullptr));
}

TEST(Embedding, DecomposeSplitsTruncatesAndUpperCasesThePath) {
    const std::string s50(50, 's'), c270(270, 'c');
    struct { std::string cls, value, want; } cases[] = {
        {"My.Class", "Desc One, Desc Two ,c:\\srv\\app.exe, fmt,x",
         "My.Class|Desc One|Desc Two |C:\\SRV\\APP.EXE|fmt,x"},  // blanks only after commas go
        {"C", "one,two", "C|one|two||"},
        {std::string(70, 's'), s50 + "x," + s50 + "y," + c270 + "," + std::string(40, 'd'),
         s50 + "|" + s50 + "|" + s50 + "|" + std::string(260, 'C') + "|" + std::string(25, 'd')}};
    for (const auto& c : cases) {
        char value[445];
        std::strcpy(value, c.value.c_str());
        GTEMBEDDING e;
        std::memset(&e, '#', sizeof(e));
        EXPECT_TRUE(gtDecomposeEmbeddingString(c.cls.c_str(), value, &e));
        EXPECT_EQ(fields(e), c.want);
    }
}

TEST(Embedding, DecomposeReadsTheProfileWhenTheValueIsEmpty) {
    const char* key = "GtTest.EmbeddingProbe";
    ASSERT_TRUE(WriteProfileStringA("Embedding", key, "Probe,Probe Obj,c:\\p.exe,pic"));
    char value[445] = "";
    GTEMBEDDING e{};
    EXPECT_TRUE(gtDecomposeEmbeddingString(key, value, &e));
    EXPECT_EQ(fields(e), std::string(key) + "|Probe|Probe Obj|C:\\P.EXE|pic");
    WriteProfileStringA("Embedding", key, nullptr);
    value[0] = 0;
    EXPECT_FALSE(gtDecomposeEmbeddingString(key, value, &e));
    EXPECT_FALSE(gtDecomposeEmbeddingString("", value, &e));
    EXPECT_FALSE(gtDecomposeEmbeddingString(nullptr, value, &e));
    EXPECT_FALSE(gtDecomposeEmbeddingString(key, nullptr, &e));
    EXPECT_FALSE(gtDecomposeEmbeddingString(key, value, nullptr));
}

// ---------------------------------------------------------------- numbers

TEST(Numbers, DecimalAndHex) {
    struct { const char* in; int want; } ints[] = {
        {nullptr, 0}, {"", 0}, {"  -42x", -42}, {"+7", 7}, {"abc", 0}, {"2147483647", 2147483647},
        {"                  5", 5}, {"                   5", 0}};  // only 19 characters count
    for (const auto& c : ints) EXPECT_EQ(gtIntStrToInt(c.in), c.want) << str(c.in);
    struct { const char* in; DWORD want; } hex[] = {
        {"1A2B3", 0x1A2B}, {"ffff", 0xFFFF}, {"aB", 0xAB}, {"0x10", 0}, {"12g4", 0x12},
        {" 1", 0},         {"-1", 0},        {"", 0},      {nullptr, 0}};  // at most four digits
    for (const auto& c : hex) EXPECT_EQ(gtHexStrToInt(c.in), c.want) << str(c.in);
}

}  // namespace
