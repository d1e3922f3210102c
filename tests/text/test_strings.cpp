// Strings, list and memory blocks through the DLL (single-byte code page).
#include <algorithm>
#include <vector>
#include "text_cases.h"

namespace {

TEST(Tokens, GetTokenAndStrTokRules) {
    char t1[] = "a,b,c", t2[] = "a,b,c", one[] = "1,2,3", two[] = "x;y", s1[] = "a,,b", s2[] = "a,  ";
    getTokens(t1, {{',', "a"}, {',', "b"}, {',', nullptr}, {0, ""}});  // the miss rests on the end
    getTokens(t2, {{',', "a"}, {',', "b"}, {0, "c"}, {',', nullptr}, {0, nullptr}});
    getTokens(two, {{';', (gtGetToken(one, ','), "x")}, {0, "y"}});  // a new string restarts the shared walk
    EXPECT_EQ(std::memcmp(one, "1\0" "2,3", 6), 0);
    LPGTSTRTOK t = gtStartStrTok(FALSE, FALSE);
    getTokens(s1, {{',', "a"}, {',', ""}, {',', "b"}, {',', nullptr}, {0, nullptr}}, t);
    EXPECT_TRUE(gtEndStrTok(t));
    getTokens(s2, {{',', "a"}, {',', ""}, {',', nullptr}}, t = gtStartStrTok(TRUE, TRUE));
    struct { BOOL tabs, spaces; const char* first; } flags[] = {  // a skip flag counts only when 1
        {FALSE, FALSE, " \tx"}, {TRUE, FALSE, " \tx"}, {FALSE, TRUE, "\tx"}, {TRUE, TRUE, "x"}, {2, 2, " \tx"}};
    for (const auto& c : flags) getTokens(&std::string(" \tx;y")[0], {{';', c.first}}, t = gtStartStrTok(c.tabs, c.spaces));
    EXPECT_TRUE(gtEndStrTok(t) && !gtEndStrTok(nullptr) && !gtContinueStrTok(nullptr, t1, ','));
}

TEST(StuffStr, ReplacementsAndRefusals) {
    struct { const char *src, *pat; int occ; const char* with; BOOL all; int cs; const char* want; } cases[] = {
        {"a-b-c", "-", 1, "+", TRUE, 1, "a+b+c"},
        {"a-b-c", "-", 2, "+", FALSE, 1, "a-b+c"},
        {"a-b-c", "-", 1, "+", 2, 1, "a+b-c"},             // only 1 means all
        {"aaaa", "aa", 2, "X", FALSE, 1, "aaX"},           // occurrences do not overlap
        {"aaaaa", "aa", 1, "<aa>", TRUE, 1, "<aa><aa>a"},  // replacements not searched again
        {"One one ONE", "one", 1, "1", TRUE, 0, "1 1 1"},
        {"path\\x", "\\x", 1, "", FALSE, 1, "path"}};
    for (const auto& c : cases) {
        char out[64];
        EXPECT_EQ(gtStuffStr(c.src, c.pat, c.occ, c.with, c.all, c.cs, out) ? out : "<refused>", std::string(c.want)) << c.src;
    }
    char buf[64] = "x.y.z", out[16] = "keep";  // output may be the source buffer
    EXPECT_TRUE(gtStuffStr(buf, ".", 1, "::", TRUE, 1, buf));
    EXPECT_STREQ(buf, "x::y::z");
    struct { const char *src, *pat; int occ; } refused[] = {{"abc", "", 1}, {"abc", "b", 0}, {"abc", "b", -1}, {"", "b", 1}};
    for (const auto& c : refused) EXPECT_FALSE(gtStuffStr(c.src, c.pat, c.occ, "+", FALSE, 1, out)) << c.occ;
    EXPECT_STREQ(out, "keep");
}

// The lines of a walk, each followed by '|', then what the final NULL call left; the byte past lineSize stays.
std::string lines(const char* text, WORD size, BOOL keep) {
    std::string out;
    for (int guard = 0; guard < 10; ++guard, out += "|") {
        char line[24];
        text = gtGetLine(text, static_cast<char*>(std::memset(line, '#', sizeof(line))), size, keep);
        EXPECT_EQ(line[size], '#') << out;
        if (!(out += line, text)) return out;
    }
    return out + "<endless>";
}
TEST(GetLine, WalksCutsAndTheLastLine) {
    struct { const char* text; WORD size; BOOL keep; const char* want; } cases[] = {
        {"ab\r\ncd\r\n", 16, FALSE, "ab|cd|"}, {"one\r\ntwo", 16, TRUE, "one\r\n|two|"},
        {"x\nlast", 16, FALSE, "|las|"},  // without keep-newline the last character goes
        {"\nnext", 16, TRUE, ""},  {"", 16, TRUE, ""},  // an empty line ends the walk
        {"abcdefgh\r\nz", 5, FALSE, "abcd||"},  // the walk still moves past the LF
        {"abcdef\n", 4, TRUE, "abc|"}, {"abc\n", 5, TRUE, "abc\n|"}, {"abc\n", 1, TRUE, "|"}};
    for (const auto& c : cases) EXPECT_EQ(lines(c.text, c.size, c.keep), c.want) << c.text << c.size;
    char line[8];
    EXPECT_TRUE(!gtGetLine(nullptr, line, 8, FALSE) && !gtGetLine("a\n", line, 0, FALSE));
}

TEST(RemoveToken, InPlaceIntoAnOutputAndMisses) {
    struct { const char *text, *token; BOOL exact, drop; char start, end; const char *want, *out; } cases[] = {  // want nullptr: refused
        {"a;b;c", "b", TRUE, TRUE, ';', ';', "a;c", nullptr},
        {"a;b;c", "b", TRUE, 2, ';', ';', "a;", nullptr},  // only 1 drops
        {"xab,c", "b", FALSE, TRUE, ';', ',', "c", nullptr},  // no start separator: from the start
        {"k=v1|k=v2|z", "v2", 2, TRUE, '|', '|', "k=v1|z", nullptr},  // only 1 is exact
        {"<a> <b> <c>", "b>", FALSE, TRUE, '<', ' ', "<a> <<c>", nullptr},  // start separator stays
        {"x;abc;y", "bc", FALSE, TRUE, ';', ';', "x;abc;y", "x;y"},
        {"abc", "B", TRUE, TRUE, ';', ';', nullptr, nullptr},  // case-sensitive
        {"", "a", TRUE, TRUE, ';', ';', nullptr, nullptr}};
    for (const auto& c : cases) {
        char buf[32], out[32] = "junk";
        BOOL ok = gtRemoveToken(std::strcpy(buf, c.text), c.token, c.exact, c.drop, c.start, c.end, c.out ? out : nullptr);
        EXPECT_EQ(std::string(ok ? "" : "refused ") + buf + "/" + (c.out ? out : ""),
                  std::string(c.want ? "" : "refused ") + (c.want ? c.want : c.text) + "/" + (c.out ? c.out : ""));
    }
}

TEST(TrailingSlash, HasRemoveAndAppendUpTo261Characters) {
    EXPECT_TRUE(gtHasTrailingSlash("\\\\") && !gtHasTrailingSlash("C:\\dir"));
    EXPECT_EQ(trim([](char* s, int) { gtRemoveTrailingSlash(s); }, "a\\\\", 0), "a\\");  // one only
    char empty[4] = "", out[262] = {}, path[300] = {};
    EXPECT_FALSE(gtAppendTrailingSlash(empty, out));
    for (size_t n : {259, 260, 261}) {  // 261 characters is the longest result; stale output does not matter
        std::memset(path, 'p', n), std::memset(out, '#', 261);
        EXPECT_EQ(!!gtAppendTrailingSlash(path, out), n < 261) << n;
        EXPECT_TRUE(n == 261 || std::string(out) == std::string(n, 'p') + "\\") << n;
    }
}

TEST(TrimAndNumbers, Boundaries) {
    EXPECT_EQ(trim(gtLeftTrim, "xxabcxx", 'x'), "abcxx");
    EXPECT_EQ(trim(gtRightTrim, "xx", 'x'), "");
    EXPECT_EQ(trim(gtRightTrimEx, "xx", "x"), "x");  // the first character stays on the right
    EXPECT_EQ(trim(gtAllTrimEx, " \t;a;b; \t", " \t;"), "a;b");
    EXPECT_EQ(trim(gtLeftTrimEx, ";;;", ";"), "");
    struct { const char* in; int want; } ints[] = {{nullptr, 0}, {"  -42x", -42}, {"+7", 7}, {"abc", 0}, {"2147483647", 2147483647},
        {"                  5", 5}, {"                   5", 0}};  // only 19 characters count
    for (const auto& c : ints) EXPECT_EQ(gtIntStrToInt(c.in), c.want) << str(c.in);
    struct { const char* in; DWORD want; } hex[] = {{"1A2B3", 0x1A2B}, {"aB", 0xAB}, {"0x10", 0}, {"12g4", 0x12}, {" 1", 0}, {"-1", 0}, {nullptr, 0}};
    for (const auto& c : hex) EXPECT_EQ(gtHexStrToInt(c.in), c.want) << str(c.in);
}

// Head-to-tail data, checked against the backward walk and the count.
using Items = std::vector<void*>;
Items walk(LPGTLIST l) {
    Items out, back;
    for (LPGTPOSITION p = gtGetHeadPosition(l); p;) out.push_back(gtGetNextElem(&p));
    for (LPGTPOSITION p = gtGetTailPosition(l); p;) back.insert(back.begin(), gtGetPrevElem(&p));
    EXPECT_TRUE(out == back && out.size() == gtGetElemCount(l));
    return out;
}
int g[8];

TEST(List, OrderRemovalPrivateCopiesCopyAndMerge) {
    LPGTLIST l = gtCreateList(), dest = gtCreateList();
    LPGTPOSITION h = gtAddHeadElem(l, &g[1], 0), t = gtAddTailElem(l, &g[2], 0);
    gtInsertElemBefore(l, t, &g[3], 0), gtInsertElemAfter(l, t, &g[4], 0), gtInsertElemBefore(l, h, &g[5], 0);
    gtInsertElemBefore(l, nullptr, &g[6], 0), gtInsertElemAfter(l, nullptr, &g[7], 0);  // NULL: the ends
    EXPECT_EQ(walk(l), (Items{&g[6], &g[5], &g[1], &g[3], &g[2], &g[4], &g[7]}));
    EXPECT_TRUE(gtRemoveElemAt(l, gtGetElemPosition(l, 3), TRUE) && gtRemoveHeadElem(l, TRUE) && gtRemoveTailElem(l, FALSE));
    EXPECT_EQ(walk(l), (Items{&g[5], &g[1], &g[2], &g[4]}));
    int a = 1;
    void* copy = gtGetElemAt(gtAddTailElem(l, &a, sizeof(a)));
    EXPECT_EQ(*static_cast<int*>(copy), (a = 99, 1));  // the copy does not follow the caller
    EXPECT_TRUE(gtSetElemAt(gtGetTailPosition(l), &a, sizeof(a)) == copy && gtGlobalFreePtr(copy));  // now the caller's
    for (BOOL freeData : {FALSE, TRUE, 2})  // removal hands the copy over unless free-data is 1
        EXPECT_TRUE((copy = gtGetElemAt(gtAddHeadElem(l, &a, 4)), gtRemoveHeadElem(l, freeData)) && !!gtGlobalFreePtr(copy) == (freeData != TRUE));
    EXPECT_TRUE(gtAddTailElem(dest, &g[0], 0) && gtCopyList(dest, l));
    Items d = walk(dest);
    ASSERT_EQ(d.size(), 6u);  // private copies are copied again
    EXPECT_TRUE(d[5] != gtGetElemAt(gtGetTailPosition(l)) && *static_cast<int*>(d[5]) == 99);
    EXPECT_TRUE(gtMergeList(dest, l) && !gtGlobalFreePtr(l));  // its record is no longer a live block
    EXPECT_TRUE(gtCopyList(dest, dest) && walk(dest).size() == 22u);  // into itself: doubles
    EXPECT_TRUE(!gtMergeList(dest, dest) && gtRemoveAllElems(dest));
    EXPECT_TRUE(!gtGlobalFreePtr(d[5]) && gtDestroyList(dest));  // copies go with their elements
}

BOOL GTCALLBACK matchAny(LPGTLIST, DWORD, LPVOID, DWORD, DWORD) { return 1; }
TEST(List, ForeignPositionsAndWrongTagsAreRefusedWithoutTouchingRecords) {
    LPGTLIST l = gtCreateList(), other = gtCreateList();
    for (int i = 0; i < 3; ++i) gtAddTailElem(l, &g[i], 0);
    LPGTPOSITION head = gtGetHeadPosition(l), foreign = gtAddTailElem(other, &g[0], 0);
    LPGTPOSITION asPos = reinterpret_cast<LPGTPOSITION>(l), var = asPos;
    auto asList = reinterpret_cast<LPGTLIST>(head);
    GTLIST listCopy = *l; GTPOSITION headCopy = *head;
    const bool refused[] = {
        !gtRemoveElemAt(l, foreign, TRUE), gtGetElemIndex(l, foreign) == 0xFFFFFFFF,
        !gtDestroyList(asList), !gtRemoveAllElems(asList), !gtAddTailElem(asList, &g[0], 0),
        !gtInsertElemAfter(l, asPos, &g[0], 0), !gtInsertElemAfter(asList, head, &g[0], 0),
        !gtGetHeadPosition(asList), !gtGetNextElem(&var), var == asPos, !gtSetElemAt(asPos, &g[0], 0),
        !gtRemoveElemAt(l, asPos, TRUE), !gtRemoveHeadElem(asList, TRUE), !gtFindElemPos(asList, 0, TRUE, matchAny, 0),
        gtGetElemCount(asList) == 0, !gtCopyList(asList, l), !gtCopyList(l, asList), !gtMergeList(l, asList)};
    for (size_t i = 0; i < sizeof(refused); ++i) EXPECT_TRUE(refused[i]) << "check " << i;
    EXPECT_TRUE(!std::memcmp(l, &listCopy, sizeof(GTLIST)) && !std::memcmp(head, &headCopy, sizeof(GTPOSITION)));
    EXPECT_EQ(walk(l).size() + gtGetElemCount(other), 4u);
    EXPECT_TRUE(gtDestroyList(other) && gtDestroyList(l));
}

// Every tenth element holds a private copy; twice, so destroying must give the memory back.
TEST(List, OneMillionLiveElements) {
    for (int round = 0; round < 2; ++round) {
        LPGTLIST l = gtCreateList();
        for (DWORD i = 0, block[4]; i < 1000000; ++i)
            ASSERT_TRUE(i % 10 ? gtAddTailElem(l, LPVOID(i), 0) : gtAddTailElem(l, &(block[3] = i, block), 16)) << i;
        DWORD i = 0, bad = 0;
        for (LPGTPOSITION p = gtGetHeadPosition(l); p; ++i)
            bad += i % 10 ? gtGetNextElem(&p) != LPVOID(i) : static_cast<DWORD*>(gtGetNextElem(&p))[3] != i;
        EXPECT_TRUE(i == 1000000u && bad == 0u && gtDestroyList(l)) << i << " " << bad;
    }
}

using Bytes = unsigned char*;
bool allByte(Bytes p, size_t n, unsigned char v) { return std::all_of(p, p + n, [v](unsigned char b) { return b == v; }); }
TEST(Memory, FreeOfForeignStaleAndInteriorPointersFailsAndHarmsNothing) {
    const DWORD sizes[] = {8, 700, 20000, 65537, 8 * 1024 * 1024};
    std::vector<Bytes> live;
    for (DWORD s : sizes) live.push_back(static_cast<Bytes>(std::memset(gtGlobalAllocPtr(0x42, s), 0x5A, s)));
    Bytes stale = static_cast<Bytes>(gtGlobalAllocPtr(0x42, 64)), staleLarge = static_cast<Bytes>(gtGlobalAllocPtr(0, 100000));
    gtGlobalFreePtr(stale), gtGlobalFreePtr(staleLarge);
    void *onStack = &stale, *heap = HeapAlloc(GetProcessHeap(), 0, 64);
    std::vector<void*> bad = {nullptr, onStack, heap, stale, staleLarge, stale + 16, LPVOID(1),
                              LPVOID(0xFFFFFFF0), GetModuleHandleA("gtapi32.dll")};
    for (size_t i = 0; i < live.size(); ++i) bad.insert(bad.end(), {live[i] + 1, live[i] + sizes[i] - 1, live[i] - 1, live[i] - 8});
    for (void* p : bad) EXPECT_FALSE(gtGlobalFreePtr(p)) << p;
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, heap));  // still its owner's
    for (size_t i = 0; i < live.size(); ++i)  // intact, and released once
        EXPECT_TRUE(allByte(live[i], sizes[i], 0x5A) && gtGlobalFreePtr(live[i]) && !gtGlobalFreePtr(live[i])) << sizes[i];
}

TEST(Memory, ReAllocKeepsContentsAndGrowthReadsZeroEvenAfterAShrink) {
    const DWORD steps[] = {10, 12, 16, 100, 3000, 16384, 20000, 70000, 1500000, 1312500, 1500000,
                           3, 200000, 175000, 200000, 3, 20000, 17500, 20000, 3, 100, 87, 100};
    Bytes p = static_cast<Bytes>(gtGlobalAllocPtr(0x42, 1));
    DWORD kept = 0;
    for (DWORD size : steps) {
        Bytes q = static_cast<Bytes>(gtGlobalReAllocPtr(p, size, 0x42));
        ASSERT_NE(q, nullptr) << size;
        EXPECT_TRUE(allByte(q, kept = std::min(kept, size), 0x11) && allByte(q + kept, size - kept, 0)) << size;
        std::memset(p = q, 0x11, kept = size);
    }
    EXPECT_TRUE(!gtGlobalReAllocPtr(p + 4, 64, 0) && gtGlobalFreePtr(p));  // p + 4 is not a block start
    DWORD size = 0;  // 0: the default start
    EXPECT_TRUE(gtGlobalFreePtr(gtGlobalAllocPtrEx(0x42, 1024, &size)) && size == 65500u);
}

}  // namespace
