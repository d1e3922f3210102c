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

constexpr unsigned char kFill = 0xA5;
constexpr size_t kGuard = 64;

// A caller's buffer with guard bytes on both sides.
class Guarded {
public:
    // Holds text (or nothing, for NULL) in a buffer of max(261, len + 1).
    explicit Guarded(const char* text, size_t minSize = 261) : null_(text == nullptr) {
        const size_t len = text ? std::strlen(text) : 0;
        size_ = len + 1 > minSize ? len + 1 : minSize;
        mem_.assign(size_ + 2 * kGuard, kFill);
        if (text) std::memcpy(buf(), text, len + 1);
    }
    char* buf() { return reinterpret_cast<char*>(mem_.data() + kGuard); }
    char* arg() { return null_ ? nullptr : buf(); }
    int size() const { return static_cast<int>(size_); }
    bool guardsIntact() const {
        for (size_t i = 0; i < kGuard; ++i)
            if (mem_[i] != kFill || mem_[kGuard + size_ + i] != kFill) return false;
        return true;
    }

private:
    bool null_;
    size_t size_;
    std::vector<unsigned char> mem_;
};

enum Kind { kNull, kEmpty, kLong, kDouble };
const char* kindName(Kind k) {
    static const char* names[] = {"NULL", "empty", "over-long", "double-byte"};
    return names[k];
}

std::string longPath() { return "C:\\" + std::string(150, 'a') + "\\" + std::string(143, 'b') + ".txt"; }
// U+8868 and U+80FD: both end in the byte 0x5C under code page 932.
std::string doubleBytePath() { return testutil::ansiFromUtf8("C:\\\xE8\xA1\xA8\\\xE8\x83\xBD.txt"); }

const char* input(Kind k, std::string& store) {
    switch (k) {
        case kNull: return nullptr;
        case kEmpty: return "";
        case kLong: store = longPath(); return store.c_str();
        case kDouble: store = doubleBytePath(); return store.c_str();
    }
    return nullptr;
}

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
                SCOPED_TRACE(std::string(row.name) + ", " + kindName(k) + (withOut ? ", output buffer" : ""));
                std::string store;
                Guarded bad(input(k, store));
                Guarded out("");
                ULONG_PTR r = row.call(bad.arg(), withOut ? out.buf() : nullptr, withOut ? out.size() : 0);
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
