// Every path-name and find export with NULL, empty, over-long and
// double-byte arguments: the documented failure result, and not one byte
// written outside the caller's buffers.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "gtapi32.h"
#include "testutil.h"

namespace {

// A caller's buffer with 64 guard bytes on both sides, holding text (or
// nothing, for NULL) in max(261, length + 1) bytes.
struct Guarded {
    explicit Guarded(const char* text) : null(!text) {
        const size_t len = text ? std::strlen(text) : 0;
        size = len + 1 > 261 ? len + 1 : 261;
        mem.assign(size + 128, '\xA5');
        if (text) std::memcpy(buf(), text, len + 1);
    }
    char* buf() { return mem.data() + 64; }
    char* arg() { return null ? nullptr : buf(); }
    bool guardsIntact() const {
        return std::string(mem.begin(), mem.begin() + 64) + std::string(mem.end() - 64, mem.end()) ==
               std::string(128, '\xA5');
    }
    bool null;
    size_t size;
    std::vector<char> mem;
};

enum Kind { kNull, kEmpty, kLong, kDouble };
const char* const kKindName[] = {"NULL", "empty", "over-long", "double-byte"};

// U+8868 and U+80FD: both end in the byte 0x5C under code page 932.
const std::string kInput[] = {"", "", "C:\\" + std::string(150, 'a') + "\\" + std::string(143, 'b') + ".txt",
                              testutil::ansiFromUtf8("C:\\\xE8\xA1\xA8\\\xE8\x83\xBD.txt")};

// One row: an export with the bad value `B` in one of its arguments and a
// guarded output buffer `O`/`N` (NULL, 0 when the row runs without one).
struct Row {
    const char* name;
    std::function<ULONG_PTR(char* B, char* O, int N)> call;
    bool withOutput;
    bool mustFail[4];  // per Kind: the result must be 0 / FALSE / NULL
};
#define ROW(out, f0, f1, f2, f3, expr) \
    {#expr, [](char* B, char* O, int N) { (void)O, (void)N; char p[261] = "C:\\dir\\name.ext"; (void)p; \
        return (ULONG_PTR)(expr); }, out, {!!(f0), !!(f1), !!(f2), !!(f3)}}

ULONG_PTR findOnce(HANDLE h) { return h ? gtFindClose(h), (ULONG_PTR)h : 0; }

std::vector<Row> rows() {
    return {
        ROW(false, 1, 1, 1, 1, gtIsUNCName(B)),
        ROW(false, 1, 1, 1, 1, gtIsAnyWildCard(B)),
        ROW(false, 1, 1, 1, 0, [B] { GTSPLITPATH s; return gtSplitPath(B, &s); }()),
        ROW(false, 1, 1, 1, 1, gtSplitPath(B, nullptr)),
        ROW(false, 1, 1, 1, 0, gtHasDirectoryName(B)),
        ROW(true, 1, 1, 1, 0, gtSetDirectoryName(B, "C:\\d", O)),
        ROW(true, 1, 1, 1, 0, gtSetDirectoryName(std::strcpy(p, "name.ext"), B, O)),
        ROW(true, 1, 1, 1, 0, gtSetFileExtension(B, "bak", O, 1)),
        ROW(true, 0, 0, 1, 0, gtSetFileExtension(p, B, O, 1)),
        ROW(true, 1, 1, 0, 0, gtStripFileName(B, O, N)),
        ROW(true, 1, 1, 0, 0, gtStripPathName(B, O, N)),
        ROW(true, 1, 1, 1, 0, gtAppendFileName(B, "f.txt", O, N)),
        ROW(true, 1, 1, 1, 0, gtAppendFileName(std::strcpy(p, "C:\\dir"), B, O, N)),
        ROW(true, 1, 1, 1, 0, gtNormalizeFileName(B, nullptr, O)),
        ROW(true, 0, 0, 1, 1, gtNormalizeFileName(std::strcpy(p, "f.txt"), B, O)),
        ROW(false, 1, 1, 1, 1, [B] { GTFINDDATA fd; return findOnce(gtFindFirst(B, &fd, 23)); }()),
        ROW(false, 1, 1, 1, 1, findOnce(gtFindFirst(B, nullptr, 7))),
    };
}

TEST(BadInput, EveryExportEveryKind) {
    char cwdBefore[1024] = {};
    GetCurrentDirectoryA(sizeof cwdBefore, cwdBefore);
    for (const Row& row : rows()) {
        for (Kind k : {kNull, kEmpty, kLong, kDouble}) {
            for (bool withOut : {false, true}) {
                if (withOut && !row.withOutput) continue;  // without: NULL output, in place
                SCOPED_TRACE(std::string(row.name) + ", " + kKindName[k] + (withOut ? ", output buffer" : ""));
                Guarded bad(k == kNull ? nullptr : kInput[k].c_str()), out("");
                ULONG_PTR r = row.call(bad.arg(), withOut ? out.buf() : nullptr, withOut ? int(out.size) : 0);
                if (row.mustFail[k]) {
                    EXPECT_EQ(r, 0u);
                }
                EXPECT_TRUE(bad.guardsIntact());
                EXPECT_TRUE(out.guardsIntact());
            }
        }
    }
    char cwdAfter[1024] = {};
    GetCurrentDirectoryA(sizeof cwdAfter, cwdAfter);
    EXPECT_STREQ(cwdAfter, cwdBefore);
}

TEST(BadInput, FindHandles) {
    GTFINDDATA fd;
    std::memset(&fd, 0x5A, sizeof fd);
    EXPECT_FALSE(gtFindNext(nullptr, &fd, 23));
    EXPECT_FALSE(gtFindNext(reinterpret_cast<HANDLE>(0x12345), &fd, 23));  // never handed out
    EXPECT_FALSE(gtFindNext(reinterpret_cast<HANDLE>(0xFFFFFFFF), nullptr, 23));
    EXPECT_EQ(reinterpret_cast<unsigned char*>(&fd)[0], 0x5A);
    EXPECT_FALSE(gtFindClose(nullptr));
    EXPECT_FALSE(gtFindClose(reinterpret_cast<HANDLE>(0x12345)));

    // A closed handle is dead for good.
    char dir[MAX_PATH] = {};
    GetTempPathA(sizeof dir, dir);
    HANDLE h = gtFindFirst((std::string(dir) + "*").c_str(), nullptr, 23);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(gtFindClose(h));
    EXPECT_FALSE(gtFindNext(h, &fd, 23));
    EXPECT_FALSE(gtFindClose(h));
}

}  // namespace
