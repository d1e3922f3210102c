// Every file-operation and directory export under code page 932 with a NULL,
// an empty, a 300-character and a double-byte name (ending in a trail byte
// 0x5C): the documented failure result, nothing written past the caller's
// buffers, and a bystander file neither changed nor deleted.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gtapi32.h"
#include "filetestutil.h"
#include "testutil.h"

using filetest::contentOf;

namespace {

constexpr char kGuard = '\xA5';
constexpr size_t kGuardBytes = 16;
constexpr size_t kOutSize = 512;

int CALLBACK countCalls(LPCSTR, LPGTFINDDATA, DWORD user) {
    ++*reinterpret_cast<int*>(ULONG_PTR(user));
    return 1;
}

// in: the name (modifiable, guarded); out: a guarded buffer of kOutSize bytes.
using Call = std::function<ULONG_PTR(char* in, char* out)>;

struct Row {
    const char* name;
    Call call;
    unsigned failsFor;  // bit k: input k must give the failure result (0)
};

constexpr unsigned kAll = 15, kNotDoubleByte = 7;

TEST(BadInput, EveryExportEveryKindOfName) {
    ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
    const std::string dir = filetest::uniqueDir();
    const std::string bystander = dir + "bystander.txt";
    filetest::writeFile(bystander, "bystander");
    std::string lineName = bystander;
    LPGTLINEFILE lines = fuOpenFile(&lineName[0], OF_READ);
    ASSERT_NE(lines, nullptr);
    const char* by = bystander.c_str();
    // Temporary names asked for the current directory land here.
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));

    // U+8868 U+80FD are 0x95 0x5C and 0x94 0x5C: the name ends in a byte
    // that reads as a backslash.
    const std::string inputs[] = {"", "", "C:\\" + std::string(300, 'a'),
                                  dir + testutil::ansiFromUtf8("\xE8\xA1\xA8\\\xE8\x83\xBD")};
    const Row rows[] = {
        {"gtIsFileExist", [](char* in, char*) { return ULONG_PTR(gtIsFileExist(in)); }, kAll},
        {"gtIsFileExistEx", [](char* in, char*) { return ULONG_PTR(gtIsFileExistEx(in)); }, kAll},
        {"gtFindFileInPath", [](char* in, char* out) { return ULONG_PTR(gtFindFileInPath(in, out)); }, kAll},
        {"gtSetFileAttributes", [](char* in, char*) { return ULONG_PTR(gtSetFileAttributes(in, 0)); }, kAll},
        {"gtGetFileDateTime", [](char* in, char* out) {
             return ULONG_PTR(gtGetFileDateTime(in, reinterpret_cast<LPWORD>(out), reinterpret_cast<LPWORD>(out + 2)));
         }, kAll},
        {"gtSetFileDateTime", [](char* in, char*) { return ULONG_PTR(gtSetFileDateTime(in, 0x2A21, 0)); }, kAll},
        {"gtDeleteFile", [](char* in, char*) { return ULONG_PTR(gtDeleteFile(in)); }, kAll},
        {"gtRenameFile, old name", [by](char* in, char*) { return ULONG_PTR(gtRenameFile(in, by)); }, kAll},
        {"gtRenameFile, new name", [by](char* in, char*) { return ULONG_PTR(gtRenameFile(by, in)); }, kAll},
        {"gtCopyFile, source", [by](char* in, char*) { return ULONG_PTR(gtCopyFile(by, in)); }, kAll},
        {"gtCopyFile, destination", [by](char* in, char*) { return ULONG_PTR(gtCopyFile(in, by)); }, kAll},
        {"gtCopyFileEx, source", [by](char* in, char*) { return ULONG_PTR(gtCopyFileEx(by, in, nullptr, 0)); }, kAll},
        {"gtCopyFileEx, destination", [by](char* in, char*) { return ULONG_PTR(gtCopyFileEx(in, by, nullptr, 0)); }, kAll},
        {"gtCatFile, source", [by](char* in, char*) { return ULONG_PTR(gtCatFile(by, in, TRUE)); }, kAll},
        {"gtCatFile, destination", [by](char* in, char*) { return ULONG_PTR(gtCatFile(in, by, TRUE)); }, kAll},
        {"gtExtractAndCopy", [lines](char* in, char*) { return ULONG_PTR(gtExtractAndCopy(lines, 0, 5, in)); }, kAll},
        {"gtCreateTempFile, directory", [](char* in, char* out) {
             return ULONG_PTR(gtCreateTempFile(in, "AB", "tmp", out, kOutSize, TRUE, TRUE));
         }, 4},
        {"gtCreateDir", [](char* in, char*) { return ULONG_PTR(gtCreateDir(in)); }, kAll},
        {"gtCreateDirEx", [](char* in, char*) { return ULONG_PTR(gtCreateDirEx(in)); }, kNotDoubleByte},
        {"gtRemoveDir", [](char* in, char*) { return ULONG_PTR(gtRemoveDir(in)); }, kNotDoubleByte},
        {"gtIsDirEmpty", [](char* in, char*) { return ULONG_PTR(gtIsDirEmpty(in)); }, kNotDoubleByte},
        {"gtGetNoofFilesInDir", [](char* in, char*) { return ULONG_PTR(gtGetNoofFilesInDir(in)); }, kAll},
        {"gtEnumFilesInDir", [](char* in, char* out) {
             return ULONG_PTR(gtEnumFilesInDir(in, &countCalls, TRUE, DWORD(ULONG_PTR(out)), 0));
         }, kNotDoubleByte},
        {"gtEnumSubDirsInDir", [](char* in, char* out) {
             return ULONG_PTR(gtEnumSubDirsInDir(in, &countCalls, TRUE, TRUE, DWORD(ULONG_PTR(out)), 0));
         }, kNotDoubleByte},
        {"gtGetDirSize", [](char* in, char*) { return ULONG_PTR(gtGetDirSize(in, TRUE)); }, kAll},
        {"gtGetFileInfo", [](char* in, char* out) {
             return ULONG_PTR(gtGetFileInfo(in, reinterpret_cast<LPGTFILEINFO>(out)));
         }, kAll},
        {"gtDeleteFileEx", [](char* in, char*) { return ULONG_PTR(gtDeleteFileEx(in, FALSE, nullptr, TRUE, nullptr)); },
         kNotDoubleByte},
    };
    for (const Row& row : rows) {
        for (int k = 0; k < 4; ++k) {
            SCOPED_TRACE(std::string(row.name) + ", input " + std::to_string(k));
            std::vector<char> in(inputs[k].size() + 1 + kGuardBytes, kGuard), out(kOutSize + kGuardBytes, kGuard);
            std::copy(inputs[k].begin(), inputs[k].end(), in.begin());
            in[inputs[k].size()] = 0;
            std::fill(out.begin(), out.begin() + kOutSize, 0);
            const ULONG_PTR result = row.call(k ? in.data() : nullptr, out.data());
            if (row.failsFor >> k & 1) {
                EXPECT_EQ(result, 0u);
            }
            EXPECT_EQ(std::string(in.end() - kGuardBytes, in.end()), std::string(kGuardBytes, kGuard));
            EXPECT_EQ(std::string(out.end() - kGuardBytes, out.end()), std::string(kGuardBytes, kGuard));
            EXPECT_EQ(contentOf(bystander), "bystander");
        }
    }
    fuCloseFile(lines);
    char letterOut[kOutSize];
    EXPECT_FALSE(gtGetDrivesCurrentDir(char(0x83), letterOut, sizeof letterOut));
    EXPECT_FALSE(gtWipeDisk(char(0x83), FALSE, nullptr, nullptr));
    EXPECT_EQ(gtGetCurrentDir(letterOut, 0), nullptr);
}

}  // namespace
