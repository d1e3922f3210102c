// File probes and FAT date/time decoding through the DLL's exports, on the
// drives every prefix has (C: and Z:).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "gtapi32.h"
#include "testutil.h"

namespace {

TEST(Probes, AttributesDirectoriesAndDriveRoots) {
    const std::string dir = testutil::freshTempDir("probes"), file = dir + "file.txt";
    CreateDirectoryA((dir + "sub").c_str(), nullptr);
    CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY, nullptr));
    DWORD a = 0xDEADBEEF;
    EXPECT_TRUE(gtGetFileAttributes(file.c_str(), &a));
    EXPECT_EQ(a & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(gtGetFileAttributes((dir + "sub").c_str(), &a));
    EXPECT_TRUE(a & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(gtGetFileAttributes((dir + "missing.txt").c_str(), &a));
    EXPECT_EQ(a, 0u);

    for (std::string p : {std::string("C:"), std::string("c:\\"), dir + "sub", dir + "sub\\", dir})
        EXPECT_TRUE(gtIsDirExist(p.c_str())) << p;
    // Q: is no drive in any prefix of this tree.
    for (std::string p : {file, dir + "missing", dir + "missing\\", std::string("Q:"), std::string("Q:\\")})
        EXPECT_FALSE(gtIsDirExist(p.c_str())) << p;
    // Short relative names are directories, not drives.
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    EXPECT_TRUE(gtIsDirExist("sub") && gtIsDirExist("..") && gtIsDirExist("."));
    EXPECT_FALSE(gtIsDirExist("c"));  // no directory "c" here, though drive C exists
    SetCurrentDirectoryA(cwd);

    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(file.c_str());
    RemoveDirectoryA((dir + "sub").c_str());
    RemoveDirectoryA(dir.c_str());
}

TEST(FatDates, DecodeDateAndTimeTriples) {
    const struct {
        bool date;
        WORD in, out[3];
    } cases[] = {
        {true, 0x2A21, {1, 1, 2001}},
        {true, (127 << 9) | (12 << 5) | 31, {31, 12, 2107}},  // the last FAT date
        {true, (44 << 9) | (2 << 5) | 29, {29, 2, 2024}},
        {false, 0x6000, {12, 0, 0}},
        {false, 0, {0, 0, 0}},  // midnight is a time
        {false, (23 << 11) | (59 << 5) | 29, {23, 59, 58}},  // two-second resolution
    };
    for (const auto& c : cases) {
        WORD t[3] = {0xFFFF, 0xFFFF, 0xFFFF};
        ASSERT_TRUE(c.date ? gtConvertFindTDate(c.in, t) : gtConvertFindTTime(c.in, t)) << c.in;
        EXPECT_EQ(t[0], c.out[0]) << c.in;
        EXPECT_EQ(t[1], c.out[1]) << c.in;
        EXPECT_EQ(t[2], c.out[2]) << c.in;
    }
}

}  // namespace
