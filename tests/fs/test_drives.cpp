// Drives and disk space against drives that exist: run by
// run-drive-tests.sh in a prefix of its own with
//   A: floppy, empty        M: fixed, one file      N: fixed, one hidden file
//   R: CD-ROM, one file     W: remote, empty        T: fixed (1 MiB tmpfs when
//   GT_TMPFS=1); B: D: to L: and the rest up to Y: are absent.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gtapi32.h"

namespace {

bool tmpfsDrive() {
    const char* v = std::getenv("GT_TMPFS");
    return v && v[0] == '1';
}

// The platform's error mode, read without changing it.
UINT currentErrorMode() {
    UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    return mode;
}

TEST(DriveTypes, ConfiguredDrivesValidityAndCdRom) {
    const std::pair<char, DWORD> types[] = {{'A', GTDRIVE_FLOPPY}, {'B', GTDRIVE_NONE},  {'C', GTDRIVE_FIXED},
                                            {'m', GTDRIVE_FIXED},  {'R', GTDRIVE_CDROM}, {'W', GTDRIVE_REMOTE},
                                            {'Q', GTDRIVE_NONE}};
    for (const auto& t : types) EXPECT_EQ(gtGetDriveTypeEx(gtConvertDriveLetter(t.first)), t.second) << t.first;
    for (char c : {'A', 'a', 'C', 'M', 'r', 'W', 'Z'}) EXPECT_TRUE(gtIsDriveValid(c)) << c;
    for (char c : {'B', 'Q', 'y', '?', '1', '\0'}) EXPECT_FALSE(gtIsDriveValid(c)) << c;
    const WORD r = static_cast<WORD>(gtConvertDriveLetter('R'));
    EXPECT_TRUE(gtIsCDROMDrive(r));
    EXPECT_FALSE(gtIsCDROMDrive(0) || gtIsCDROMDrive(2));
    EXPECT_FALSE(gtIsCDROMDrive(static_cast<WORD>(r + 256)));  // no wrap onto R:
    EXPECT_TRUE(gtIsDirExist("A:") && gtIsDirExist("r:\\"));
    EXPECT_FALSE(gtIsDirExist("B:\\"));
    EXPECT_EQ(gtGetFirstHardDiskDrive(), 'C');
    EXPECT_EQ(gtGetFirstFloppyDiskDrive(), 'A');
}

struct Seen {
    std::vector<std::pair<char, DWORD>> drives;
    size_t stopAfter = 0;  // 0: never
    DWORD user = 0;
};

BOOL CALLBACK collect(char letter, DWORD type, DWORD user) {
    auto* seen = reinterpret_cast<Seen*>(static_cast<ULONG_PTR>(user));
    seen->user = user;
    seen->drives.emplace_back(letter, type);
    return seen->drives.size() != seen->stopAfter;
}

TEST(EnumDrives, EveryDriveInOrderStopsOnRequestAndPutsTheErrorModeBack) {
    const HMODULE dll = GetModuleHandleA("gtapi32.dll");
    const UINT before = SetErrorMode(SEM_NOGPFAULTERRORBOX);
    Seen seen, one, none;
    const DWORD user = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(&seen));
    ASSERT_TRUE(gtEnumDrives(dll, &collect, user));
    const std::vector<std::pair<char, DWORD>> expected = {{'A', 7}, {'C', 3}, {'M', 3}, {'N', 3},
                                                          {'R', 5}, {'T', 3}, {'W', 4}, {'Z', 3}};
    EXPECT_EQ(seen.drives, expected);
    EXPECT_EQ(seen.user, user);
    one.stopAfter = 1;
    EXPECT_TRUE(gtEnumDrives(dll, &collect, static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(&one))));
    EXPECT_EQ(one.drives.size(), 1u);
    EXPECT_FALSE(gtEnumDrives(dll, nullptr, 0));
    EXPECT_FALSE(gtEnumDrives(nullptr, &collect, static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(&none))));
    EXPECT_TRUE(none.drives.empty());
    // Every drive query leaves the caller's error mode as it was.
    gtIsDriveValid('A');
    gtGetDiskFreeSpace('A');
    gtGetDiskSpace('B');
    gtIsDiskEmpty('A');
    EXPECT_EQ(currentErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
    SetErrorMode(before);
}

TEST(DiskEmpty, RootsWithAndWithoutEntries) {
    EXPECT_TRUE(gtIsDiskEmpty('A') && gtIsDiskEmpty('w'));
    for (char c : {'M', 'N', 'R', 'B', '?'}) EXPECT_FALSE(gtIsDiskEmpty(c)) << c;  // N: hidden entries; B: no drive
    ASSERT_TRUE(CreateDirectoryA("A:\\SUB", nullptr));  // a subdirectory alone counts
    EXPECT_FALSE(gtIsDiskEmpty('A'));
    RemoveDirectoryA("A:\\SUB");
    EXPECT_TRUE(gtIsDiskEmpty('A'));
}

TEST(DiskSpace, PresentDrivesAgreeWithThePlatform) {
    EXPECT_EQ(gtGetDiskSpace('B'), 0);
    EXPECT_FALSE(gtIsDiskSpaceAvailable('B', 1));
    ULARGE_INTEGER avail{}, total{}, free{};
    ASSERT_TRUE(GetDiskFreeSpaceExA("M:\\", &avail, &total, &free));
    EXPECT_EQ(static_cast<ULONGLONG>(gtGetDiskSpace('m')), total.QuadPart);
    const LONGLONG f = gtGetDiskFreeSpace('M');
    EXPECT_GT(f, 0);
    EXPECT_LE(f, gtGetDiskSpace('M'));
    EXPECT_FALSE(gtIsDiskSpaceAvailable('M', 0));
    EXPECT_FALSE(gtIsDiskSpaceAvailable('M', -5));
    EXPECT_TRUE(gtIsDiskSpaceAvailable('M', 1));
    EXPECT_FALSE(gtIsDiskSpaceAvailable('M', gtGetDiskSpace('M') + 1));
    EXPECT_FALSE(gtIsDiskSpaceAvailableEx('M', 0));
    EXPECT_FALSE(gtIsDiskSpaceAvailableEx('M', 0x0040000000000001LL)) << "would wrap to 1024 bytes";
}

TEST(DiskSpace, ExactFiguresOnAFixedSizeDrive) {
    if (!tmpfsDrive()) GTEST_SKIP() << "no tmpfs for T: (needs mount rights)";
    EXPECT_EQ(gtGetDiskSpace('T'), 1024 * 1024);
    const LONGLONG freeBytes = gtGetDiskFreeSpace('T');
    ASSERT_EQ(freeBytes, 1024 * 1024);
    EXPECT_EQ(gtGetDiskFreeSpaceEx('T'), 1024);
    EXPECT_TRUE(gtIsDiskSpaceAvailable('T', freeBytes));
    EXPECT_FALSE(gtIsDiskSpaceAvailable('T', freeBytes + 1));
    EXPECT_TRUE(gtIsDiskSpaceAvailableEx('T', 1024));
    EXPECT_FALSE(gtIsDiskSpaceAvailableEx('T', 1025));
    // Writing takes space away, whole blocks at a time.
    HANDLE h = CreateFileA("T:\\fill.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::vector<char> data(4096 * 3, 'x');
    DWORD written = 0;
    WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(h);
    EXPECT_EQ(gtGetDiskFreeSpace('T'), 1024 * 1024 - 4096 * 3);
    EXPECT_FALSE(gtIsDiskEmpty('T'));
    DeleteFileA("T:\\fill.bin");
    EXPECT_TRUE(gtIsDiskEmpty('T'));
}

// The registry fallback of the boot drive: the DOS query is not there.
TEST(BootDrive, ComesFromTheSetupValue) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup", 0, nullptr, 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    char saved[64] = {};
    DWORD size = sizeof(saved) - 1;
    const bool had = RegQueryValueExA(key, "BootDir", nullptr, nullptr, reinterpret_cast<BYTE*>(saved), &size) == 0;
    const std::pair<const char*, int> cases[] = {{"C:\\", 2}, {"m:\\", 12}, {"E:\\Windows\\Boot\\Long", 4},
                                                 {"\\\\server\\share", 0}, {"", 0}, {nullptr, 0}};
    for (const auto& c : cases) {
        if (c.first)
            RegSetValueExA(key, "BootDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.first), lstrlenA(c.first) + 1);
        else
            RegDeleteValueA(key, "BootDir");
        EXPECT_EQ(gtGetBootDrive(), c.second) << (c.first ? c.first : "(no value)");
    }
    if (had) RegSetValueExA(key, "BootDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(saved), lstrlenA(saved) + 1);
    RegCloseKey(key);
}

}  // namespace
