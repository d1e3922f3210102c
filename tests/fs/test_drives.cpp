// Drives against configured drives, run by run-drive-tests.sh in a prefix of
// its own: A: floppy (empty), M: fixed (a file), N: fixed (a hidden file),
// R: CD-ROM, W: remote (empty), T: fixed; B:, D: to L: and the rest absent.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gtapi32.h"

namespace {

std::vector<std::pair<char, DWORD>> g_seen;
BOOL CALLBACK collect(char letter, DWORD type, DWORD) { return g_seen.emplace_back(letter, type), TRUE; }

TEST(Drives, ConfiguredTypesEnumerationAndEmptiness) {
    const std::pair<char, DWORD> types[] = {{'A', GTDRIVE_FLOPPY}, {'B', GTDRIVE_NONE},  {'C', GTDRIVE_FIXED},
                                            {'R', GTDRIVE_CDROM},  {'W', GTDRIVE_REMOTE}, {'Q', GTDRIVE_NONE}};
    for (const auto& t : types) EXPECT_EQ(gtGetDriveTypeEx(gtConvertDriveLetter(t.first)), t.second) << t.first;
    for (char c : {'a', 'M', 'r', 'Z'}) EXPECT_TRUE(gtIsDriveValid(c)) << c;
    for (char c : {'B', 'y', '?'}) EXPECT_FALSE(gtIsDriveValid(c)) << c;
    const WORD r = WORD(gtConvertDriveLetter('R'));
    EXPECT_TRUE(gtIsCDROMDrive(r));
    EXPECT_FALSE(gtIsCDROMDrive(2) || gtIsCDROMDrive(WORD(r + 256)));
    EXPECT_EQ(gtGetFirstFloppyDiskDrive(), 'A');
    ASSERT_TRUE(gtEnumDrives(GetModuleHandleA("gtapi32.dll"), &collect, 0));
    const std::vector<std::pair<char, DWORD>> all = {{'A', 7}, {'C', 3}, {'M', 3}, {'N', 3},
                                                     {'R', 5}, {'T', 3}, {'W', 4}, {'Z', 3}};
    EXPECT_EQ(g_seen, all);
    EXPECT_TRUE(gtIsDiskEmpty('A') && gtIsDiskEmpty('w'));
    for (char c : {'M', 'N', 'B'}) EXPECT_FALSE(gtIsDiskEmpty(c)) << c;  // N: hidden entries; B: no drive
    EXPECT_FALSE(gtIsDiskSpaceAvailable('M', gtGetDiskSpace('M') + 1) || gtIsDiskSpaceAvailable('M', 0));
}

// The registry fallback of the boot drive: the DOS query is not there.
TEST(BootDrive, ComesFromTheSetupValue) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup", 0, nullptr, 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);
    const std::pair<const char*, int> cases[] = {{"m:\\", 12}, {"E:\\Win", 4}, {"\\\\srv\\sh", 0}, {nullptr, 0}};
    for (const auto& c : cases) {
        if (c.first) RegSetValueExA(key, "BootDir", 0, REG_SZ, (const BYTE*)c.first, lstrlenA(c.first) + 1);
        else RegDeleteValueA(key, "BootDir");
        EXPECT_EQ(gtGetBootDrive(), c.second) << (c.first ? c.first : "(no value)");
    }
    RegCloseKey(key);
}

}  // namespace
