// Bad input for the drive and probe exports under code page 932 (where "ソ"
// is 83 5C, a trail byte that looks like a backslash): NULL, empty, over-long
// and double-byte arguments give the failure result and nothing is written
// outside the caller's buffers.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "gtapi32.h"
#include "testutil.h"

namespace {

const char kLead = static_cast<char>(0x83);  // a lead byte under 932

// An output area with guard bytes on both sides.
struct Guarded {
    BYTE before[16], value[64], after[16];
    Guarded() { std::memset(this, 0xA5, sizeof(*this)); }
    bool clean(const BYTE* from, size_t n) const {
        for (size_t i = 0; i < n; ++i)
            if (from[i] != 0xA5) return false;
        return true;
    }
    bool guardsIntact() const { return clean(before, sizeof before) && clean(after, sizeof after); }
    bool untouched() const { return clean(before, sizeof *this); }
};

BOOL CALLBACK goOn(char, DWORD, DWORD) { return TRUE; }

struct Case {
    const char* what;
    std::function<long long(Guarded&)> call;
    long long expected;
    bool bufferUntouched;  // false: the call may write inside value[] only
};
// The expression names the row; `g` is the guarded output area.
#define ROW(expected, expr) {#expr, [&](Guarded& g) { (void)g; return (long long)(expr); }, expected, true}
#define ATTR(path) {"attributes of " #path, [&](Guarded& g) { \
    return (long long)gtGetFileAttributes(path, reinterpret_cast<LPDWORD>(g.value + 4)); }, 0, false}

TEST(BadInput, EveryExportFailsCleanly) {
    ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
    const std::string p300 = "C:\\" + std::string(300, 'a'), p300slash = p300 + "\\";
    const std::string dbcsMissing = testutil::ansiFromUtf8("C:\\存在しない\\ソ");
    const Case cases[] = {
        ROW(-1, gtConvertDriveLetter(kLead)),
        ROW(-1, gtConvertDriveLetter('\0')),
        ROW(0, gtConvertDriveIndex(-7)),
        ROW(0, gtGetDriveParameters(2, nullptr)),
        ROW(0, gtGetDriveParameters(0xFFFFFFFFu, g.value)),
        ROW(0, gtGetDriveParametersEx(kLead, g.value)),
        ROW(0, gtGetDriveParametersEx('C', nullptr)),
        ROW(0, gtGetDriveTypeEx(0xFFFFFFFFu)),
        ROW(0, gtGetDriveTypeEx(26)),
        ATTR(nullptr),
        ATTR(""),
        ATTR(p300.c_str()),
        ATTR(dbcsMissing.c_str()),
        ROW(1, gtGetFileAttributes("C:\\", nullptr)),
        ROW(0, gtGetFileAttributes("C:\\no-such-entry", nullptr)),
        ROW(0, gtIsDirExist(nullptr)),
        ROW(0, gtIsDirExist("")),
        ROW(0, gtIsDirExist(p300.c_str())),
        ROW(0, gtIsDirExist(p300slash.c_str())),
        ROW(0, gtIsDirExist(dbcsMissing.c_str())),
        ROW(0, gtIsDirExist("\x83:\\")),
        ROW(0, gtConvertFindTDate(0x2A21, nullptr)),
        ROW(0, gtConvertFindTDate(0, reinterpret_cast<LPWORD>(g.value))),
        ROW(0, gtConvertFindTDate(0x2BE1, reinterpret_cast<LPWORD>(g.value))),  // month 15
        ROW(0, gtConvertFindTTime(0x6000, nullptr)),
        ROW(0, gtConvertFindTTime(25 << 11, reinterpret_cast<LPWORD>(g.value))),
        ROW(0, gtIsDriveValid(kLead)),
        ROW(0, gtIsDriveValid('\0')),
        ROW(0, gtIsCDROMDrive(0xFFFF)),
        ROW(0, gtGetDiskFreeSpace(kLead)),
        ROW(0, gtGetDiskFreeSpace('\0')),
        ROW(0, gtGetDiskSpace('\0')),
        ROW(0, gtGetDiskFreeSpaceEx(kLead)),
        ROW(0, gtIsDiskSpaceAvailable('\0', 1)),
        ROW(0, gtIsDiskSpaceAvailableEx(kLead, 1)),
        ROW(0, gtIsDiskSpaceAvailableEx('C', 1LL << 60)),
        ROW(0, gtIsDiskEmpty(kLead)),
        ROW(0, gtIsDiskEmpty('\0')),
        ROW(0, gtEnumDrives(GetModuleHandleA("gtapi32.dll"), nullptr, 0)),
        ROW(0, gtEnumDrives(nullptr, &goOn, 0)),
    };
    for (const auto& c : cases) {
        Guarded g;
        EXPECT_EQ(c.call(g), c.expected) << c.what;
        EXPECT_TRUE(c.bufferUntouched ? g.untouched() : g.guardsIntact()) << c.what;
    }
}

// "ソ" ends in 5C: only a real trailing backslash may be taken off.
TEST(BadInput, DoubleByteNamesEndingInA5CTrailByte) {
    const std::string base = testutil::freshTempDir("dbcsdir");
    const std::wstring wdir = std::wstring(base.begin(), base.end()) + testutil::wideFromUtf8("ソ");
    if (!CreateDirectoryW(wdir.c_str(), nullptr)) {  // needs a ja_JP.UTF-8 host locale
        RemoveDirectoryA(base.c_str());
        GTEST_SKIP() << "the host cannot store double-byte file names (error " << GetLastError() << ")";
    }
    const std::string dir = base + testutil::ansiFromUtf8("ソ");
    ASSERT_EQ(static_cast<unsigned char>(dir.back()), 0x5C);
    EXPECT_TRUE(gtIsDirExist(dir.c_str()));
    EXPECT_TRUE(gtIsDirExist((dir + "\\").c_str()));
    DWORD a = 0;
    EXPECT_TRUE(gtGetFileAttributes(dir.c_str(), &a));
    EXPECT_TRUE(a & FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryW(wdir.c_str());
    EXPECT_FALSE(gtIsDirExist(dir.c_str()));
    RemoveDirectoryA(base.c_str());
}

}  // namespace
