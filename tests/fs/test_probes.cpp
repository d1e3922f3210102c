// File probes and FAT date/time decoding through the DLL's exports, on the
// drives every prefix has (C: and Z:).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "gtapi32.h"
#include "testutil.h"

namespace {

class Probes : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = testutil::freshTempDir("probes");
        CreateDirectoryA((dir_ + "sub").c_str(), nullptr);
        HANDLE h = CreateFileA((dir_ + "file.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        CloseHandle(h);
        SetFileAttributesA((dir_ + "file.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    }
    static void TearDownTestSuite() {
        SetFileAttributesA((dir_ + "file.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA((dir_ + "file.txt").c_str());
        RemoveDirectoryA((dir_ + "sub").c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    static std::string dir_;  // with a trailing backslash
};
std::string Probes::dir_;

TEST_F(Probes, FileAttributes) {
    DWORD a = 0xDEADBEEF;
    EXPECT_TRUE(gtGetFileAttributes((dir_ + "file.txt").c_str(), &a));
    EXPECT_EQ(a & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    a = 0;
    EXPECT_TRUE(gtGetFileAttributes((dir_ + "sub").c_str(), &a));
    EXPECT_TRUE(a & FILE_ATTRIBUTE_DIRECTORY);
    a = 0xDEADBEEF;
    EXPECT_FALSE(gtGetFileAttributes((dir_ + "missing.txt").c_str(), &a));
    EXPECT_EQ(a, 0u);
}

TEST_F(Probes, DirectoriesAndDriveRoots) {
    EXPECT_TRUE(gtIsDirExist("C:"));
    EXPECT_TRUE(gtIsDirExist("c:\\"));
    EXPECT_TRUE(gtIsDirExist((dir_ + "sub").c_str()));
    EXPECT_TRUE(gtIsDirExist((dir_ + "sub\\").c_str()));
    EXPECT_TRUE(gtIsDirExist(dir_.c_str()));
    EXPECT_FALSE(gtIsDirExist((dir_ + "file.txt").c_str()));
    EXPECT_FALSE(gtIsDirExist((dir_ + "missing").c_str()));
    EXPECT_FALSE(gtIsDirExist((dir_ + "missing\\").c_str()));
}

TEST_F(Probes, ShortNamesAreDriveRootsOnlyInDriveForm) {
    // Q: is no drive in any prefix of this tree.
    EXPECT_FALSE(gtIsDirExist("Q:"));
    EXPECT_FALSE(gtIsDirExist("Q:\\"));
    // Short relative names are directories, not drives.
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
    EXPECT_TRUE(gtIsDirExist("sub"));
    EXPECT_TRUE(gtIsDirExist(".."));
    EXPECT_TRUE(gtIsDirExist("."));
    EXPECT_FALSE(gtIsDirExist("c"));  // no directory "c" here, though drive C exists
    SetCurrentDirectoryA(cwd);
}

TEST(FatDates, DecodeDateTriples) {
    WORD d[3] = {0xFFFF, 0xFFFF, 0xFFFF};
    ASSERT_TRUE(gtConvertFindTDate(0x2A21, d));
    EXPECT_EQ(d[0], 1);
    EXPECT_EQ(d[1], 1);
    EXPECT_EQ(d[2], 2001);
    // 2107-12-31, the last FAT date.
    ASSERT_TRUE(gtConvertFindTDate(static_cast<WORD>((127 << 9) | (12 << 5) | 31), d));
    EXPECT_EQ(d[0], 31);
    EXPECT_EQ(d[1], 12);
    EXPECT_EQ(d[2], 2107);
    ASSERT_TRUE(gtConvertFindTDate(static_cast<WORD>((44 << 9) | (2 << 5) | 29), d));  // 2024-02-29
    EXPECT_EQ(d[0], 29);
    EXPECT_EQ(d[1], 2);
    EXPECT_EQ(d[2], 2024);
}

TEST(FatTimes, DecodeTimeTriples) {
    WORD t[3] = {0xFFFF, 0xFFFF, 0xFFFF};
    ASSERT_TRUE(gtConvertFindTTime(0x6000, t));
    EXPECT_EQ(t[0], 12);
    EXPECT_EQ(t[1], 0);
    EXPECT_EQ(t[2], 0);
    ASSERT_TRUE(gtConvertFindTTime(0, t));  // midnight is a time
    EXPECT_EQ(t[0], 0);
    ASSERT_TRUE(gtConvertFindTTime(static_cast<WORD>((23 << 11) | (59 << 5) | 29), t));
    EXPECT_EQ(t[0], 23);
    EXPECT_EQ(t[1], 59);
    EXPECT_EQ(t[2], 58);  // two-second resolution
    EXPECT_FALSE(gtConvertFindTTime(0x6000, nullptr));
}

}  // namespace
