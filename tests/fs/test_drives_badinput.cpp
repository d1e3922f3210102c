// Drive, probe, path and find exports under code page 932 with NULL, empty,
// over-long and double-byte names (ending in trail byte 0x5C): they fail
// where they must and write nothing past the buffers.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "gtapi32.h"
#include "testutil.h"

namespace {

enum Kind { kNull, kEmpty, kLong, kDoubleByte, kKinds };
const char* const kKindNames[kKinds] = {"NULL", "empty", "over-long", "double-byte"};

// One export called with the bad name as `in` (output buffer `out`, 261
// bytes); mustFail says for which kinds of name the result must be 0.
struct Row {
    const char* name;
    std::function<ULONG_PTR(char* in, char* out)> call;
    bool mustFail[kKinds];
};

// A writable 261-byte copy of a good path for the argument beside the bad one.
char* path(const char* text) {
    static char buffer[261];
    return std::strcpy(buffer, text);
}

using R = ULONG_PTR;
const Row kRows[] = {
    {"gtIsUNCName", [](char* in, char*) -> R { return gtIsUNCName(in); }, {true, true, true, true}},
    {"gtIsAnyWildCard", [](char* in, char*) -> R { return gtIsAnyWildCard(in); }, {true, true, true, true}},
    {"gtHasDirectoryName", [](char* in, char*) -> R { return gtHasDirectoryName(in); }, {true, true, true, false}},
    {"gtSplitPath",
     [](char* in, char*) -> R {
         GTSPLITPATH s;
         return gtSplitPath(in, &s);
     },
     {true, true, true, false}},
    {"gtSetDirectoryName path", [](char* in, char* out) -> R { return gtSetDirectoryName(in, "C:\\d", out); },
     {true, true, true, false}},
    {"gtSetDirectoryName directory",
     [](char* in, char* out) -> R { return gtSetDirectoryName(path("n.e"), in, out); },
     {true, true, true, false}},
    {"gtSetFileExtension path", [](char* in, char*) -> R { return gtSetFileExtension(in, "bak", nullptr, 1); },
     {true, true, true, false}},
    {"gtSetFileExtension extension",
     [](char* in, char* out) -> R { return gtSetFileExtension(path("C:\\d\\n.e"), in, out, 1); },
     {false, false, true, false}},
    {"gtStripFileName", [](char* in, char* out) -> R { return R(gtStripFileName(in, out, 261)); },
     {true, true, false, false}},
    {"gtStripPathName", [](char* in, char*) -> R { return R(gtStripPathName(in, nullptr, 0)); },
     {true, true, false, false}},
    {"gtAppendFileName", [](char* in, char* out) -> R { return R(gtAppendFileName(in, "f.txt", out, 261)); },
     {true, true, true, false}},
    {"gtNormalizeFileName name", [](char* in, char* out) -> R { return gtNormalizeFileName(in, nullptr, out); },
     {true, true, true, false}},
    {"gtNormalizeFileName base directory",
     [](char* in, char* out) -> R { return gtNormalizeFileName(path("f.txt"), in, out); },
     {false, false, true, true}},
    {"gtFindFirst",
     [](char* in, char*) -> R {
         GTFINDDATA fd;
         HANDLE h = gtFindFirst(in, &fd, 0x17);
         return h ? gtFindClose(h) : FALSE;
     },
     {true, true, true, true}},
    {"gtGetFileAttributes",
     [](char* in, char* out) -> R { return gtGetFileAttributes(in, reinterpret_cast<LPDWORD>(out)); },
     {true, true, true, true}},
    {"gtIsDirExist", [](char* in, char*) -> R { return gtIsDirExist(in); }, {true, true, true, true}},
};

const std::string kGuard(16, '\xA5');

TEST(FsBadInput, PathAndProbeExportsFailAndStayInsideTheirBuffers) {
    ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
    const std::string names[kKinds] = {"", "", "C:\\" + std::string(150, 'a') + "\\" + std::string(143, 'b') + ".txt",
                                       testutil::ansiFromUtf8("C:\\\xE8\xA1\xA8\\\xE8\x83\xBD")};  // 95 5C, 94 5C
    char cwd[1024] = {}, after[1024] = {};
    GetCurrentDirectoryA(sizeof cwd, cwd);
    for (const Row& row : kRows) {
        for (int k = 0; k < kKinds; ++k) {
            SCOPED_TRACE(std::string(row.name) + ", " + kKindNames[k] + " name");
            // The name in a 261-byte (or larger) area with guard bytes after it.
            const size_t inEnd = std::max<size_t>(261, names[k].size() + 1);
            std::vector<char> in(inEnd + kGuard.size(), '\xA5'), out(261 + kGuard.size(), '\xA5');
            std::memcpy(in.data(), names[k].c_str(), names[k].size() + 1);
            const ULONG_PTR result = row.call(k == kNull ? nullptr : in.data(), out.data());
            if (row.mustFail[k]) {
                EXPECT_EQ(result, 0u);
            }
            EXPECT_EQ(std::string(in.begin() + inEnd, in.end()), kGuard);
            EXPECT_EQ(std::string(out.end() - kGuard.size(), out.end()), kGuard);
        }
    }
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(after, cwd);
}

TEST(FsBadInput, NonLettersNameNoDrive) {
    BYTE params[64];
    for (char c : {char(0x83), '\0', '?'}) {
        SCOPED_TRACE(testing::Message() << "letter " << int(static_cast<unsigned char>(c)));
        EXPECT_EQ(gtConvertDriveLetter(c), -1);
        EXPECT_FALSE(gtIsDriveValid(c));
        EXPECT_EQ(gtGetDiskFreeSpace(c), 0);
        EXPECT_EQ(gtGetDiskSpace(c), 0);
        EXPECT_FALSE(gtIsDiskEmpty(c));
        EXPECT_FALSE(gtGetDriveParametersEx(c, params));
        EXPECT_FALSE(gtIsDiskSpaceAvailableEx(c, 1));
    }
    EXPECT_FALSE(gtIsDiskSpaceAvailableEx('C', 1LL << 60)) << "case more kilobytes than bytes can count";
}

}  // namespace
