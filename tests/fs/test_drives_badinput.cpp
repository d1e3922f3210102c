// Drive, probe, path and find exports under code page 932 with NULL, empty, over-long and double-byte
// names (ending in trail byte 0x5C): they fail where they must and write nothing past the buffers.
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

struct Row { const char* name; std::function<ULONG_PTR(char*, char*)> call; int mustFail; };  // bit k: input k
#define ROW(mask, expr) {#expr, [](char* B, char* O) { char p[261] = "C:\\d\\n.e"; (void)B, (void)O, (void)p; \
    return (ULONG_PTR)(expr); }, mask}

TEST(BadInput, EveryExportEveryKind) {
    ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
    const std::string inputs[] = {"", "", "C:\\" + std::string(150, 'a') + "\\" + std::string(143, 'b') + ".txt",
                                  testutil::ansiFromUtf8("C:\\\xE8\xA1\xA8\\\xE8\x83\xBD")};  // 95 5C, 94 5C
    const Row rows[] = {
        ROW(15, gtIsUNCName(B)), ROW(15, gtIsAnyWildCard(B)), ROW(7, gtHasDirectoryName(B)),
        ROW(7, [B] { GTSPLITPATH s; return gtSplitPath(B, &s); }()),
        ROW(7, gtSetDirectoryName(B, "C:\\d", O)), ROW(7, gtSetDirectoryName(std::strcpy(p, "n.e"), B, O)),
        ROW(7, gtSetFileExtension(B, "bak", nullptr, 1)), ROW(4, gtSetFileExtension(p, B, O, 1)),
        ROW(3, gtStripFileName(B, O, 261)), ROW(3, gtStripPathName(B, nullptr, 0)),
        ROW(7, gtAppendFileName(B, "f.txt", O, 261)), ROW(7, gtNormalizeFileName(B, nullptr, O)),
        ROW(12, gtNormalizeFileName(std::strcpy(p, "f.txt"), B, O)),
        ROW(15, [B] { GTFINDDATA fd; HANDLE h = gtFindFirst(B, &fd, 23); return h && gtFindClose(h); }()),
        ROW(15, gtGetFileAttributes(B, reinterpret_cast<LPDWORD>(O))), ROW(15, gtIsDirExist(B)),
    };
    char cwd[1024] = {}, after[1024] = {};
    GetCurrentDirectoryA(sizeof cwd, cwd);
    for (const Row& row : rows) {
        for (int k = 0; k < 4; ++k) {
            std::vector<char> in(261 + inputs[k].size() + 16, '\xA5'), out(261 + 16, '\xA5');
            std::memcpy(in.data(), inputs[k].c_str(), inputs[k].size() + 1);
            const size_t inEnd = std::max<size_t>(261, inputs[k].size() + 1);
            const ULONG_PTR r = row.call(k ? in.data() : nullptr, out.data());
            EXPECT_TRUE(!(row.mustFail >> k & 1) || r == 0) << row.name << ", input " << k;
            EXPECT_EQ(std::string(in.begin() + inEnd, in.begin() + inEnd + 16), std::string(16, '\xA5')) << row.name;
            EXPECT_EQ(std::string(out.end() - 16, out.end()), std::string(16, '\xA5')) << row.name << ", input " << k;
        }
    }
    EXPECT_STREQ((GetCurrentDirectoryA(sizeof after, after), after), cwd);
    BYTE g[64];
    for (char c : {char(0x83), '\0', '?'}) {
        EXPECT_EQ(gtConvertDriveLetter(c), -1) << int(c);
        EXPECT_FALSE(gtIsDriveValid(c) || gtGetDiskFreeSpace(c) || gtGetDiskSpace(c) || gtIsDiskEmpty(c) ||
                     gtGetDriveParametersEx(c, g) || gtIsDiskSpaceAvailableEx(c, 1)) << int(c);
    }
    EXPECT_FALSE(gtGetDriveTypeEx(26) || gtGetDriveTypeEx(0xFFFFFFFFu) || gtIsCDROMDrive(0xFFFF) ||
                 gtIsDiskSpaceAvailableEx('C', 1LL << 60) || gtEnumDrives(nullptr, nullptr, 0));
}

}  // namespace
