// Bad input for the drive and probe exports, table-driven: NULL, empty,
// over-long and double-byte arguments give the documented failure and
// nothing is written outside the caller's buffers.  Runs under code page
// 932, where "ソ" is 83 5C: a trail byte that looks like a backslash.
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
    static constexpr BYTE kFill = 0xA5;
    BYTE before[16];
    BYTE value[64];
    BYTE after[16];
    Guarded() { std::memset(this, kFill, sizeof(*this)); }
    bool guardsIntact() const {
        for (BYTE b : before)
            if (b != kFill) return false;
        for (BYTE b : after)
            if (b != kFill) return false;
        return true;
    }
    bool untouched() const {
        for (BYTE b : value)
            if (b != kFill) return false;
        return guardsIntact();
    }
};

BOOL CALLBACK goOn(char, DWORD, DWORD) { return TRUE; }

std::string longPath(size_t n) { return "C:\\" + std::string(n, 'a'); }

struct Case {
    const char* what;
    std::function<long long(Guarded&)> call;
    long long expected;
    bool bufferUntouched;  // false: the call may write inside value[] only
};

class BadInput : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8"; }
};

TEST_F(BadInput, EveryExportFailsCleanly) {
    const std::string p300 = longPath(300);
    const std::string p300slash = longPath(300) + "\\";
    const std::string dbcsMissing = testutil::ansiFromUtf8("C:\\存在しない\\ソ");
    auto attr = [](const char* path) {
        return [path](Guarded& g) { return (long long)gtGetFileAttributes(path, reinterpret_cast<LPDWORD>(g.value + 4)); };
    };
    const Case cases[] = {
        {"letter: lead byte", [](Guarded&) { return (long long)gtConvertDriveLetter(kLead); }, -1, true},
        {"letter: NUL", [](Guarded&) { return (long long)gtConvertDriveLetter('\0'); }, -1, true},
        {"index: negative", [](Guarded&) { return (long long)gtConvertDriveIndex(-7); }, 0, true},
        {"parameters: NULL buffer", [](Guarded&) { return (long long)gtGetDriveParameters(2, nullptr); }, 0, true},
        {"parameters: index past Z",
         [](Guarded& g) { return (long long)gtGetDriveParameters(0xFFFFFFFFu, g.value); }, 0, true},
        {"parametersEx: lead byte", [](Guarded& g) { return (long long)gtGetDriveParametersEx(kLead, g.value); }, 0,
         true},
        {"parametersEx: NULL buffer", [](Guarded&) { return (long long)gtGetDriveParametersEx('C', nullptr); }, 0,
         true},
        {"drive type: index past Z", [](Guarded&) { return (long long)gtGetDriveTypeEx(0xFFFFFFFFu); }, 0, true},
        {"drive type: index 26", [](Guarded&) { return (long long)gtGetDriveTypeEx(26); }, 0, true},
        {"attributes: NULL path", attr(nullptr), 0, false},
        {"attributes: empty path", attr(""), 0, false},
        {"attributes: 300 characters", attr(p300.c_str()), 0, false},
        {"attributes: double-byte, missing", attr(dbcsMissing.c_str()), 0, false},
        {"attributes: NULL out", [](Guarded&) { return (long long)gtGetFileAttributes("C:\\", nullptr); }, 1, true},
        {"attributes: missing, NULL out",
         [](Guarded&) { return (long long)gtGetFileAttributes("C:\\no-such-entry", nullptr); }, 0, true},
        {"dir: NULL", [](Guarded&) { return (long long)gtIsDirExist(nullptr); }, 0, true},
        {"dir: empty", [](Guarded&) { return (long long)gtIsDirExist(""); }, 0, true},
        {"dir: 300 characters", [&](Guarded&) { return (long long)gtIsDirExist(p300.c_str()); }, 0, true},
        {"dir: 300 + backslash", [&](Guarded&) { return (long long)gtIsDirExist(p300slash.c_str()); }, 0, true},
        {"dir: double-byte, missing", [&](Guarded&) { return (long long)gtIsDirExist(dbcsMissing.c_str()); }, 0, true},
        {"dir: lead byte and colon", [](Guarded&) { return (long long)gtIsDirExist("\x83:\\"); }, 0, true},
        {"date: NULL", [](Guarded&) { return (long long)gtConvertFindTDate(0x2A21, nullptr); }, 0, true},
        {"date: zero", [](Guarded& g) { return (long long)gtConvertFindTDate(0, reinterpret_cast<LPWORD>(g.value)); },
         0, true},
        {"date: month 15",
         [](Guarded& g) { return (long long)gtConvertFindTDate(0x2BE1, reinterpret_cast<LPWORD>(g.value)); }, 0,
         true},
        {"time: NULL", [](Guarded&) { return (long long)gtConvertFindTTime(0x6000, nullptr); }, 0, true},
        {"time: hour 25",
         [](Guarded& g) { return (long long)gtConvertFindTTime(25 << 11, reinterpret_cast<LPWORD>(g.value)); }, 0,
         true},
        {"valid: lead byte", [](Guarded&) { return (long long)gtIsDriveValid(kLead); }, 0, true},
        {"valid: NUL", [](Guarded&) { return (long long)gtIsDriveValid('\0'); }, 0, true},
        {"cdrom: index past Z", [](Guarded&) { return (long long)gtIsCDROMDrive(0xFFFF); }, 0, true},
        {"free: lead byte", [](Guarded&) { return gtGetDiskFreeSpace(kLead); }, 0, true},
        {"free: NUL", [](Guarded&) { return gtGetDiskFreeSpace('\0'); }, 0, true},
        {"total: NUL", [](Guarded&) { return gtGetDiskSpace('\0'); }, 0, true},
        {"freeEx: lead byte", [](Guarded&) { return gtGetDiskFreeSpaceEx(kLead); }, 0, true},
        {"available: NUL", [](Guarded&) { return (long long)gtIsDiskSpaceAvailable('\0', 1); }, 0, true},
        {"availableEx: lead byte", [](Guarded&) { return (long long)gtIsDiskSpaceAvailableEx(kLead, 1); }, 0, true},
        {"availableEx: huge count", [](Guarded&) { return (long long)gtIsDiskSpaceAvailableEx('C', 1LL << 60); }, 0,
         true},
        {"empty: lead byte", [](Guarded&) { return (long long)gtIsDiskEmpty(kLead); }, 0, true},
        {"empty: NUL", [](Guarded&) { return (long long)gtIsDiskEmpty('\0'); }, 0, true},
        {"enum: NULL callback",
         [](Guarded&) { return (long long)gtEnumDrives(GetModuleHandleA("gtapi32.dll"), nullptr, 0); }, 0, true},
        {"enum: NULL handle",
         [](Guarded&) {
             return (long long)gtEnumDrives(nullptr, &goOn, 0);
         },
         0, true},
    };
    for (const auto& c : cases) {
        Guarded g;
        EXPECT_EQ(c.call(g), c.expected) << c.what;
        if (c.bufferUntouched)
            EXPECT_TRUE(g.untouched()) << c.what;
        else
            EXPECT_TRUE(g.guardsIntact()) << c.what;
    }
}

// "ソ" ends in 5C: only a real trailing backslash may be taken off.
TEST_F(BadInput, DoubleByteNamesEndingInA5CTrailByte) {
    const std::string base = testutil::freshTempDir("dbcsdir");
    const std::wstring wbase(base.begin(), base.end());
    const std::wstring wdir = wbase + testutil::wideFromUtf8("ソ");
    // The host spells such names on disk only with a ja_JP.UTF-8 locale.
    if (!CreateDirectoryW(wdir.c_str(), nullptr)) {
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
