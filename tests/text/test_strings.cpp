// Strings, list and memory blocks through the DLL (single-byte code page).
#include <algorithm>
#include <vector>

#include "text_cases.h"

namespace {

// ---------------------------------------------------------------- tokenizers

TEST(Tokens, GetTokenWalksOneSharedPosition) {
    char miss[] = "a,b,c", rest[] = "a,b,c";
    {
        SCOPED_TRACE("a miss rests on the end");
        getTokens(miss, {{',', "a"}, {',', "b"}, {',', nullptr}, {0, ""}});
    }
    {
        SCOPED_TRACE("delimiter 0 takes the rest and ends the walk");
        getTokens(rest, {{',', "a"}, {',', "b"}, {0, "c"}, {',', nullptr}, {0, nullptr}});
    }
    char first[] = "1,2,3", second[] = "x;y";
    gtGetToken(first, ',');
    EXPECT_EQ(std::memcmp(first, "1\0" "2,3", 6), 0) << "case the delimiter is written over";
    SCOPED_TRACE("a new string restarts the shared walk");
    getTokens(second, {{';', "x"}, {0, "y"}});
}

TEST(Tokens, StrTokRecordsKeepEmptyTokens) {
    char text[] = "a,,b";
    LPGTSTRTOK plain = gtStartStrTok(FALSE, FALSE);
    getTokens(text, {{',', "a"}, {',', ""}, {',', "b"}, {',', nullptr}, {0, nullptr}}, plain);
    EXPECT_TRUE(gtEndStrTok(plain));
}

TEST(Tokens, SkipFlagsCountOnlyWhenOne) {
    const struct { const char* name; BOOL tabs, spaces; const char* first; } rows[] = {
        {"spaces only", FALSE, TRUE, "\tx"},
        {"both", TRUE, TRUE, "x"},
        {"2 is not 1", 2, 2, " \tx"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        char text[] = " \tx;y";
        LPGTSTRTOK t = gtStartStrTok(row.tabs, row.spaces);
        getTokens(text, {{';', row.first}}, t);
        EXPECT_TRUE(gtEndStrTok(t));
    }
}

// ---------------------------------------------------------------- replacement

TEST(StuffStr, Replacements) {
    const struct {
        const char *name, *src, *pat;
        int occ;
        const char* with;
        BOOL all;
        int caseMode;
        const char* want;
    } rows[] = {
        {"the second only", "a-b-c", "-", 2, "+", FALSE, 1, "a-b+c"},
        {"only 1 means all", "a-b-c", "-", 1, "+", 2, 1, "a+b-c"},
        {"occurrences do not overlap", "aaaa", "aa", 2, "X", FALSE, 1, "aaX"},
        {"replacements are not searched again", "aaaaa", "aa", 1, "<aa>", TRUE, 1, "<aa><aa>a"},
        {"case-insensitive", "One one ONE", "one", 1, "1", TRUE, 0, "1 1 1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        char out[64] = {};
        ASSERT_TRUE(gtStuffStr(row.src, row.pat, row.occ, row.with, row.all, row.caseMode, out));
        EXPECT_STREQ(out, row.want);
    }
}

TEST(StuffStr, OutputMayBeTheSource) {
    char buf[64] = "x.y.z";
    ASSERT_TRUE(gtStuffStr(buf, ".", 1, "::", TRUE, 1, buf));
    EXPECT_STREQ(buf, "x::y::z");
}

TEST(StuffStr, RefusalsLeaveTheOutputAlone) {
    const struct { const char *name, *src, *pat; int occ; } rows[] = {
        {"empty pattern", "abc", "", 1}, {"occurrence 0", "abc", "b", 0}, {"empty source", "", "b", 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        char out[16] = "keep";
        EXPECT_FALSE(gtStuffStr(row.src, row.pat, row.occ, "+", FALSE, 1, out));
        EXPECT_STREQ(out, "keep");
    }
}

// ---------------------------------------------------------------- lines

// The lines of a walk, each followed by '|'; checks that the byte past
// lineSize stays untouched.
std::string lines(const char* text, WORD size, BOOL keep) {
    std::string out;
    for (int guard = 0; guard < 10; ++guard) {
        char line[24];
        std::memset(line, '#', sizeof line);
        text = gtGetLine(text, line, size, keep);
        EXPECT_EQ(line[size], '#') << "after " << out;
        out += line;
        if (!text) return out;
        out += "|";
    }
    return out + "<endless>";
}

TEST(GetLine, WalksCutsAndTheLastLine) {
    const struct { const char *name, *text; WORD size; BOOL keep; const char* want; } rows[] = {
        {"CR LF lines", "ab\r\ncd\r\n", 16, FALSE, "ab|cd|"},
        {"kept line feeds", "one\r\ntwo", 16, TRUE, "one\r\n|two|"},
        {"without keep the last character goes", "x\nlast", 16, FALSE, "|las|"},
        {"an empty line ends the walk", "\nnext", 16, TRUE, ""},
        {"a cut line still moves past its LF", "abcdefgh\r\nz", 5, FALSE, "abcd||"},
        {"no line feed after a cut", "abcdef\n", 4, TRUE, "abc|"},
        {"room for the terminator only", "abc\n", 1, TRUE, "|"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(lines(row.text, row.size, row.keep), row.want);
    }
}

// ---------------------------------------------------------------- tokens

TEST(RemoveToken, InPlaceIntoAnOutputAndMisses) {
    // want: the text afterwards (nullptr: refused, text unchanged); out: nullptr in place.
    const struct {
        const char *name, *text, *token;
        BOOL exact, drop;
        char start, end;
        const char *want, *out;
    } rows[] = {
        {"only 1 drops", "a;b;c", "b", TRUE, 2, ';', ';', "a;", nullptr},
        {"no start separator: from the start", "xab,c", "b", FALSE, TRUE, ';', ',', "c", nullptr},
        {"only 1 is exact", "k=v1|k=v2|z", "v2", 2, TRUE, '|', '|', "k=v1|z", nullptr},
        {"the start separator stays", "<a> <b> <c>", "b>", FALSE, TRUE, '<', ' ', "<a> <<c>", nullptr},
        {"into an output", "x;abc;y", "bc", FALSE, TRUE, ';', ';', "x;abc;y", "x;y"},
        {"case-sensitive", "abc", "B", TRUE, TRUE, ';', ';', nullptr, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        char buf[32], out[32] = "junk";
        const BOOL ok = gtRemoveToken(std::strcpy(buf, row.text), row.token, row.exact, row.drop, row.start, row.end,
                                      row.out ? out : nullptr);
        EXPECT_EQ(ok, row.want ? TRUE : FALSE);
        EXPECT_STREQ(buf, row.want ? row.want : row.text);
        if (row.out) {
            EXPECT_STREQ(out, row.out);
        }
    }
}

// ---------------------------------------------------------------- trailing characters

TEST(TrailingSlash, AppendIntoAnOutputUpTo261Characters) {
    char empty[4] = "", out[262] = {};
    EXPECT_FALSE(gtAppendTrailingSlash(empty, out));
    for (size_t n : {259, 260, 261}) {
        SCOPED_TRACE(testing::Message() << n << " characters");
        char path[300] = {};
        std::memset(path, 'p', n);
        std::memset(out, '#', 261);  // stale contents do not matter
        const BOOL ok = gtAppendTrailingSlash(path, out);
        EXPECT_EQ(ok, n < 261 ? TRUE : FALSE);
        if (ok) {
            EXPECT_EQ(std::string(out), std::string(n, 'p') + "\\");
        }
    }
}

// ---------------------------------------------------------------- trims

TEST(Trims, Boundaries) {
    EXPECT_EQ(trim(gtLeftTrim, "xxabcxx", 'x'), "abcxx");
    EXPECT_EQ(trim(gtRightTrim, "xx", 'x'), "");
    EXPECT_EQ(trim(gtRightTrimEx, "xx", "x"), "x") << "case the first character stays on the right";
    EXPECT_EQ(trim(gtAllTrimEx, " \t;a;b; \t", " \t;"), "a;b");
    EXPECT_EQ(trim(gtLeftTrimEx, ";;;", ";"), "");
}

// ---------------------------------------------------------------- list

// Head-to-tail data, checked against the backward walk and the count.
using Items = std::vector<void*>;
Items walk(LPGTLIST l) {
    Items out, back;
    for (LPGTPOSITION p = gtGetHeadPosition(l); p;) out.push_back(gtGetNextElem(&p));
    for (LPGTPOSITION p = gtGetTailPosition(l); p;) back.insert(back.begin(), gtGetPrevElem(&p));
    EXPECT_EQ(out, back) << "the backward walk";
    EXPECT_EQ(out.size(), gtGetElemCount(l)) << "the count";
    return out;
}
int g[8];

TEST(List, InsertionOrderAndRemoval) {
    LPGTLIST l = gtCreateList();
    LPGTPOSITION h = gtAddHeadElem(l, &g[1], 0), t = gtAddTailElem(l, &g[2], 0);
    gtInsertElemBefore(l, t, &g[3], 0);
    gtInsertElemAfter(l, t, &g[4], 0);
    gtInsertElemBefore(l, h, &g[5], 0);
    gtInsertElemBefore(l, nullptr, &g[6], 0);  // NULL: the head
    gtInsertElemAfter(l, nullptr, &g[7], 0);   // NULL: the tail
    EXPECT_EQ(walk(l), (Items{&g[6], &g[5], &g[1], &g[3], &g[2], &g[4], &g[7]}));
    EXPECT_TRUE(gtRemoveElemAt(l, gtGetElemPosition(l, 3), TRUE));
    EXPECT_TRUE(gtRemoveHeadElem(l, TRUE));
    EXPECT_TRUE(gtRemoveTailElem(l, FALSE));
    EXPECT_EQ(walk(l), (Items{&g[5], &g[1], &g[2], &g[4]}));
    EXPECT_TRUE(gtDestroyList(l));
}

TEST(List, PrivateCopiesBelongToTheElement) {
    LPGTLIST l = gtCreateList();
    int a = 1;
    void* copy = gtGetElemAt(gtAddTailElem(l, &a, sizeof a));
    a = 99;
    EXPECT_EQ(*static_cast<int*>(copy), 1) << "case the copy does not follow the caller";
    EXPECT_EQ(gtSetElemAt(gtGetTailPosition(l), &a, sizeof a), copy) << "case the former copy is handed back";
    EXPECT_TRUE(gtGlobalFreePtr(copy));
    for (BOOL freeData : {FALSE, TRUE, 2}) {
        SCOPED_TRACE(testing::Message() << "free-data " << freeData);
        void* data = gtGetElemAt(gtAddHeadElem(l, &a, sizeof a));
        ASSERT_TRUE(gtRemoveHeadElem(l, freeData));
        // Removal frees the copy only when free-data is 1; else it is the caller's.
        EXPECT_EQ(gtGlobalFreePtr(data), freeData == TRUE ? FALSE : TRUE);
    }
    EXPECT_TRUE(gtDestroyList(l));
}

TEST(List, CopyAndMerge) {
    LPGTLIST src = gtCreateList(), dest = gtCreateList();
    int value = 99;
    gtAddTailElem(src, &g[1], 0);
    gtAddTailElem(src, &value, sizeof value);
    gtAddTailElem(dest, &g[0], 0);
    ASSERT_TRUE(gtCopyList(dest, src));
    const Items copied = walk(dest);
    ASSERT_EQ(copied.size(), 3u);
    EXPECT_NE(copied[2], gtGetElemAt(gtGetTailPosition(src))) << "case private copies are copied again";
    EXPECT_EQ(*static_cast<int*>(copied[2]), 99);
    ASSERT_TRUE(gtMergeList(dest, src));
    EXPECT_FALSE(gtGlobalFreePtr(src)) << "case the merged list's record is gone";
    EXPECT_EQ(walk(dest).size(), 5u);
    ASSERT_TRUE(gtCopyList(dest, dest));
    EXPECT_EQ(walk(dest).size(), 10u) << "case a copy into itself doubles";
    EXPECT_FALSE(gtMergeList(dest, dest));
    EXPECT_TRUE(gtRemoveAllElems(dest));
    EXPECT_FALSE(gtGlobalFreePtr(copied[2])) << "case copies go with their elements";
    EXPECT_TRUE(gtDestroyList(dest));
}

TEST(List, ForeignPositionsAndWrongTagsAreRefusedWithoutTouchingRecords) {
    LPGTLIST l = gtCreateList(), other = gtCreateList();
    for (int i = 0; i < 3; ++i) gtAddTailElem(l, &g[i], 0);
    LPGTPOSITION head = gtGetHeadPosition(l), foreign = gtAddTailElem(other, &g[0], 0);
    LPGTPOSITION asPos = reinterpret_cast<LPGTPOSITION>(l);
    auto asList = reinterpret_cast<LPGTLIST>(head);
    const GTLIST listBefore = *l;
    const GTPOSITION headBefore = *head;
    const struct { const char* name; bool refused; } rows[] = {
        {"remove a position of another list", !gtRemoveElemAt(l, foreign, TRUE)},
        {"index of a position of another list", gtGetElemIndex(l, foreign) == 0xFFFFFFFF},
        {"insert after a list", !gtInsertElemAfter(l, asPos, &g[0], 0)},
        {"insert into a position", !gtInsertElemAfter(asList, head, &g[0], 0)},
        {"copy from a position", !gtCopyList(l, asList)},
    };
    for (const auto& row : rows) EXPECT_TRUE(row.refused) << "case " << row.name;
    EXPECT_EQ(std::memcmp(l, &listBefore, sizeof(GTLIST)), 0) << "case the list record";
    EXPECT_EQ(std::memcmp(head, &headBefore, sizeof(GTPOSITION)), 0) << "case the head record";
    EXPECT_EQ(walk(l).size(), 3u);
    EXPECT_EQ(gtGetElemCount(other), 1u);
    EXPECT_TRUE(gtDestroyList(other));
    EXPECT_TRUE(gtDestroyList(l));
}

// ---------------------------------------------------------------- memory

using Bytes = unsigned char*;
bool allByte(Bytes p, size_t n, unsigned char v) {
    return std::all_of(p, p + n, [v](unsigned char b) { return b == v; });
}

TEST(Memory, FreeOfForeignStaleAndInteriorPointersFailsAndHarmsNothing) {
    const DWORD sizes[] = {8, 700, 20000, 65537, 8 * 1024 * 1024};
    std::vector<Bytes> live;
    for (DWORD s : sizes) live.push_back(static_cast<Bytes>(std::memset(gtGlobalAllocPtr(GHND, s), 0x5A, s)));
    Bytes stale = static_cast<Bytes>(gtGlobalAllocPtr(GHND, 64));
    Bytes staleLarge = static_cast<Bytes>(gtGlobalAllocPtr(0, 100000));
    gtGlobalFreePtr(stale);
    gtGlobalFreePtr(staleLarge);
    void* heap = HeapAlloc(GetProcessHeap(), 0, 64);
    const struct { const char* name; void* p; } foreign[] = {
        {"NULL", nullptr},          {"the stack", &stale},          {"the process heap", heap},
        {"a stale block", stale},   {"a stale large block", staleLarge}, {"inside a stale block", stale + 16},
        {"address 1", LPVOID(1)},   {"the top of memory", LPVOID(0xFFFFFFF0)},
        {"a module", GetModuleHandleA("gtapi32.dll")}};
    for (const auto& row : foreign) EXPECT_FALSE(gtGlobalFreePtr(row.p)) << "case " << row.name;
    for (size_t i = 0; i < live.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "block of " << sizes[i]);
        EXPECT_FALSE(gtGlobalFreePtr(live[i] + 1));
        EXPECT_FALSE(gtGlobalFreePtr(live[i] + sizes[i] - 1));
        EXPECT_FALSE(gtGlobalFreePtr(live[i] - 1));
    }
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, heap)) << "case still its owner's";
    for (size_t i = 0; i < live.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "block of " << sizes[i]);
        EXPECT_TRUE(allByte(live[i], sizes[i], 0x5A));
        EXPECT_TRUE(gtGlobalFreePtr(live[i]));
        EXPECT_FALSE(gtGlobalFreePtr(live[i]));
    }
}

TEST(Memory, ReAllocKeepsContentsAndGrowthReadsZeroEvenAfterAShrink) {
    const DWORD steps[] = {10, 12, 16, 100, 3000, 16384, 20000, 70000, 1500000, 1312500, 1500000,
                           3, 200000, 175000, 200000, 3, 20000, 17500, 20000, 3, 100, 87, 100};
    Bytes p = static_cast<Bytes>(gtGlobalAllocPtr(GHND, 1));
    DWORD kept = 0;
    for (DWORD size : steps) {
        SCOPED_TRACE(testing::Message() << "to " << size << " bytes");
        Bytes q = static_cast<Bytes>(gtGlobalReAllocPtr(p, size, GHND));
        ASSERT_NE(q, nullptr);
        kept = std::min(kept, size);
        EXPECT_TRUE(allByte(q, kept, 0x11)) << "the kept part";
        EXPECT_TRUE(allByte(q + kept, size - kept, 0)) << "the growth";
        p = q;
        std::memset(p, 0x11, size);
        kept = size;
    }
    EXPECT_EQ(gtGlobalReAllocPtr(p + 4, 64, 0), nullptr) << "case not a block start";
    EXPECT_TRUE(gtGlobalFreePtr(p));
}

}  // namespace
