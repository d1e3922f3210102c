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
BOOL CALLBACK collect(char letter, DWORD type, DWORD) {
    g_seen.emplace_back(letter, type);
    return TRUE;
}

TEST(Drives, ConfiguredTypesEnumerationAndEmptiness) {
    const std::pair<char, DWORD> types[] = {{'A', GTDRIVE_FLOPPY}, {'B', GTDRIVE_NONE},  {'C', GTDRIVE_FIXED},
                                            {'R', GTDRIVE_CDROM},  {'W', GTDRIVE_REMOTE}, {'Q', GTDRIVE_NONE}};
    for (const auto& t : types)
        EXPECT_EQ(gtGetDriveTypeEx(gtConvertDriveLetter(t.first)), t.second) << "drive " << t.first;
    for (char c : {'a', 'M', 'r', 'Z'}) EXPECT_TRUE(gtIsDriveValid(c)) << "drive " << c;
    for (char c : {'B', 'y', '?'}) EXPECT_FALSE(gtIsDriveValid(c)) << "drive " << c;
    const WORD r = WORD(gtConvertDriveLetter('R'));
    EXPECT_TRUE(gtIsCDROMDrive(r));
    EXPECT_FALSE(gtIsCDROMDrive(2)) << "case C";
    EXPECT_FALSE(gtIsCDROMDrive(WORD(r + 256))) << "case R's index plus 256";
    EXPECT_EQ(gtGetFirstFloppyDiskDrive(), 'A');
    ASSERT_TRUE(gtEnumDrives(GetModuleHandleA("gtapi32.dll"), &collect, 0));
    const std::vector<std::pair<char, DWORD>> all = {
        {'A', GTDRIVE_FLOPPY}, {'C', GTDRIVE_FIXED}, {'M', GTDRIVE_FIXED},  {'N', GTDRIVE_FIXED},
        {'R', GTDRIVE_CDROM},  {'T', GTDRIVE_FIXED}, {'W', GTDRIVE_REMOTE}, {'Z', GTDRIVE_FIXED}};
    EXPECT_EQ(g_seen, all);
    for (char c : {'A', 'w'}) EXPECT_TRUE(gtIsDiskEmpty(c)) << "drive " << c;
    for (char c : {'M', 'N', 'B'}) EXPECT_FALSE(gtIsDiskEmpty(c)) << "drive " << c;  // N: hidden entries; B: no drive
    EXPECT_FALSE(gtIsDiskSpaceAvailable('M', gtGetDiskSpace('M') + 1)) << "case one byte more than the drive";
    EXPECT_FALSE(gtIsDiskSpaceAvailable('M', 0)) << "case zero bytes";
}

// The registry fallback of the boot drive: the DOS query is not there.
TEST(BootDrive, ComesFromTheSetupValue) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup", 0, nullptr, 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);
    const std::pair<const char*, int> cases[] = {{"m:\\", 12}, {"E:\\Win", 4}, {"\\\\srv\\sh", 0}, {nullptr, 0}};
    for (const auto& c : cases) {
        if (c.first)
            RegSetValueExA(key, "BootDir", 0, REG_SZ, (const BYTE*)c.first, lstrlenA(c.first) + 1);
        else
            RegDeleteValueA(key, "BootDir");
        EXPECT_EQ(gtGetBootDrive(), c.second) << "case " << (c.first ? c.first : "(no value)");
    }
    RegCloseKey(key);
}

}  // namespace
