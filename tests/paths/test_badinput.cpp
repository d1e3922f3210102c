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

// One row: an export with the bad value in one of its arguments.  `call`
// gets the guarded bad argument and a guarded 261-byte output buffer (or
// NULL when the row passes none) and gives the export's result as a number.
struct Row {
    const char* name;
    std::function<ULONG_PTR(Guarded& bad, Guarded* out)> call;
    bool withOutput;
    bool mustFail[4];  // per Kind: the result must be 0 / FALSE / NULL
};

std::vector<Row> rows() {
    auto P = [](Guarded* o) { return o ? o->buf() : nullptr; };
    auto S = [](Guarded* o) { return o ? o->size() : 0; };
    return {
        {"gtIsUNCName", [](Guarded& b, Guarded*) { return (ULONG_PTR)gtIsUNCName(b.arg()); }, false,
         {true, true, true, true}},
        {"gtIsAnyWildCard", [](Guarded& b, Guarded*) { return (ULONG_PTR)gtIsAnyWildCard(b.arg()); }, false,
         {true, true, true, true}},
        {"gtSplitPath", [](Guarded& b, Guarded*) {
             GTSPLITPATH split;
             return (ULONG_PTR)gtSplitPath(b.arg(), &split);
         }, false,
         {true, true, true, false}},
        {"gtSplitPath(record NULL)",
         [](Guarded& b, Guarded*) { return (ULONG_PTR)gtSplitPath(b.arg(), nullptr); }, false,
         {true, true, true, true}},
        {"gtHasDirectoryName", [](Guarded& b, Guarded*) { return (ULONG_PTR)gtHasDirectoryName(b.arg()); }, false,
         {true, true, true, false}},
        {"gtSetDirectoryName(path)",
         [P](Guarded& b, Guarded* o) { return (ULONG_PTR)gtSetDirectoryName(b.arg(), "C:\\d", P(o)); }, true,
         {true, true, true, false}},
        {"gtSetDirectoryName(path, in place)",
         [](Guarded& b, Guarded*) { return (ULONG_PTR)gtSetDirectoryName(b.arg(), "C:\\d", nullptr); }, false,
         {true, true, true, false}},
        {"gtSetDirectoryName(directory)",
         [P](Guarded& b, Guarded* o) {
             char path[261] = "name.ext";
             return (ULONG_PTR)gtSetDirectoryName(path, b.arg(), P(o));
         },
         true, {true, true, true, false}},
        {"gtSetFileExtension(path)",
         [P](Guarded& b, Guarded* o) { return (ULONG_PTR)gtSetFileExtension(b.arg(), "bak", P(o), 1); }, true,
         {true, true, true, false}},
        {"gtSetFileExtension(path, in place)",
         [](Guarded& b, Guarded*) { return (ULONG_PTR)gtSetFileExtension(b.arg(), "bak", nullptr, 1); }, false,
         {true, true, true, false}},
        {"gtSetFileExtension(extension)",
         [P](Guarded& b, Guarded* o) {
             char path[261] = "C:\\dir\\name.ext";
             return (ULONG_PTR)gtSetFileExtension(path, b.arg(), P(o), 1);
         },
         true, {false, false, true, false}},
        {"gtStripFileName", [P, S](Guarded& b, Guarded* o) { return (ULONG_PTR)gtStripFileName(b.arg(), P(o), S(o)); },
         true, {true, true, false, false}},
        {"gtStripFileName(in place)",
         [](Guarded& b, Guarded*) { return (ULONG_PTR)gtStripFileName(b.arg(), nullptr, 0); }, false,
         {true, true, false, false}},
        {"gtStripPathName", [P, S](Guarded& b, Guarded* o) { return (ULONG_PTR)gtStripPathName(b.arg(), P(o), S(o)); },
         true, {true, true, false, false}},
        {"gtStripPathName(in place)",
         [](Guarded& b, Guarded*) { return (ULONG_PTR)gtStripPathName(b.arg(), nullptr, 0); }, false,
         {true, true, false, false}},
        {"gtAppendFileName(directory)",
         [P, S](Guarded& b, Guarded* o) { return (ULONG_PTR)gtAppendFileName(b.arg(), "f.txt", P(o), S(o)); }, true,
         {true, true, true, false}},
        {"gtAppendFileName(directory, in place)",
         [](Guarded& b, Guarded*) { return (ULONG_PTR)gtAppendFileName(b.arg(), "f.txt", nullptr, 0); }, false,
         {true, true, true, false}},
        {"gtAppendFileName(file name)",
         [P, S](Guarded& b, Guarded* o) {
             char dir[261] = "C:\\dir";
             return (ULONG_PTR)gtAppendFileName(dir, b.arg(), P(o), S(o));
         },
         true, {true, true, true, false}},
        {"gtNormalizeFileName(name)",
         [P](Guarded& b, Guarded* o) { return (ULONG_PTR)gtNormalizeFileName(b.arg(), nullptr, P(o)); }, true,
         {true, true, true, false}},
        {"gtNormalizeFileName(name, in place)",
         [](Guarded& b, Guarded*) { return (ULONG_PTR)gtNormalizeFileName(b.arg(), nullptr, nullptr); }, false,
         {true, true, true, false}},
        {"gtNormalizeFileName(base)",
         [P](Guarded& b, Guarded* o) {
             char name[261] = "f.txt";
             return (ULONG_PTR)gtNormalizeFileName(name, b.arg(), P(o));
         },
         true, {false, false, true, true}},
        {"gtFindFirst", [](Guarded& b, Guarded* o) {
             GTFINDDATA fd;
             HANDLE h = gtFindFirst(b.arg(), &fd, 23);
             if (h) gtFindClose(h);
             return (ULONG_PTR)h;
         },
         false, {true, true, true, true}},
        {"gtFindFirst(no record)", [](Guarded& b, Guarded*) {
             HANDLE h = gtFindFirst(b.arg(), nullptr, 7);
             if (h) gtFindClose(h);
             return (ULONG_PTR)h;
         },
         false, {true, true, true, true}},
    };
}

TEST(BadInput, EveryExportEveryKind) {
    char cwdBefore[1024] = {};
    GetCurrentDirectoryA(sizeof cwdBefore, cwdBefore);
    for (const Row& row : rows()) {
        for (Kind k : {kNull, kEmpty, kLong, kDouble}) {
            for (bool withOut : {false, true}) {
                if (withOut && !row.withOutput) continue;
                SCOPED_TRACE(std::string(row.name) + ", " + kindName(k) + (withOut ? ", output buffer" : ""));
                std::string store;
                Guarded bad(input(k, store));
                Guarded out("");
                ULONG_PTR r = row.call(bad, withOut ? &out : nullptr);
                if (row.mustFail[k]) EXPECT_EQ(r, 0u);
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
