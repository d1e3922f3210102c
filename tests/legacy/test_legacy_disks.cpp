// Sector reads and disk states on real media: a formatted floppy image, a
// zeroed one, a missing one, a writable and a read-only drive (set up by
// run-floppy-tests.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gtapi32.h"

namespace {

constexpr DWORD kNotReady = 0x8002;
constexpr DWORD kUnformatted = 0x020C;
constexpr DWORD kSectorNotFound = 0x0408;

std::vector<BYTE> imageBytes(DWORD offset, DWORD size) {
    char path[MAX_PATH] = {};
    GetEnvironmentVariableA("GT_FLOPPY_IMAGE", path, sizeof(path));
    std::vector<BYTE> bytes(size);
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD got = 0;
    SetFilePointer(f, static_cast<LONG>(offset), nullptr, FILE_BEGIN);
    ReadFile(f, bytes.data(), size, &got, nullptr);
    CloseHandle(f);
    if (got != size) bytes.clear();
    return bytes;
}

std::string fileContent(const char* path) {
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "(missing)";
    char text[256] = {};
    DWORD got = 0;
    ReadFile(f, text, sizeof(text) - 1, &got, nullptr);
    CloseHandle(f);
    return std::string(text, got);
}

TEST(FloppyImage, SectorsAreTheImagesBytes) {
    std::vector<BYTE> sector(512);
    DWORD error = 0xDEAD;
    ASSERT_TRUE(gtAbsReadEx('A', 0, 1, sector.data(), &error));
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(sector, imageBytes(0, 512)) << "sector 0";
    EXPECT_EQ(sector[510], 0x55);
    EXPECT_EQ(sector[511], 0xAA);

    std::vector<BYTE> three(3 * 512);
    ASSERT_TRUE(gtAbsRead(0, 19, 3, three.data(), &error)) << "the root directory's sectors";
    EXPECT_EQ(three, imageBytes(19 * 512, 3 * 512));
}

TEST(FloppyImage, ReadingPastTheEndFails) {
    std::vector<BYTE> two(2 * 512);
    DWORD error = 0;
    EXPECT_FALSE(gtAbsRead(0, 2879, 2, two.data(), &error)) << "the second sector is past 2880";
    EXPECT_EQ(error, kSectorNotFound);
}

TEST(FloppyImage, TypesAndStates) {
    const struct {
        const char* name;
        char letter;
        int floppyType;
        BOOL ready;
        BOOL formatted;
        DWORD error;
    } rows[] = {
        {"formatted 1.44 MB image", 'A', 116, TRUE, TRUE, 0},
        {"zeroed image", 'B', 0, FALSE, FALSE, kUnformatted},
        {"missing image", 'F', 0, FALSE, FALSE, kNotReady},
        {"a fixed drive", 'C', 0, TRUE, TRUE, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.letter != 'C') {
            EXPECT_EQ(gtGetFloppyDriveType(static_cast<UINT>(row.letter - 'A')), row.floppyType);
            EXPECT_EQ(gtIsDriveReady(row.letter), row.ready);
            EXPECT_EQ(gtIsDiskFormated(row.letter), row.formatted);
            DWORD error = 0xDEAD;
            gtiGetDiskStatus(row.letter, &error);
            EXPECT_EQ(error, row.error);
        } else {
            EXPECT_EQ(gtGetFloppyDriveType(2), 0) << "a hard disk is no floppy";
        }
    }
}

TEST(WriteProtection, WritableDriveLeavesNoProbe) {
    EXPECT_FALSE(gtIsDiskWriteProtected('W'));
    EXPECT_EQ(GetFileAttributesA("W:\\~~~~~~~~.~~~"), INVALID_FILE_ATTRIBUTES) << "the probe is gone";
}

TEST(WriteProtection, AnExistingFileOfTheProbesNameIsKept) {
    const char* name = "W:\\~~~~~~~~.~~~";
    HANDLE f = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, "precious", 8, &written, nullptr);
    CloseHandle(f);
    EXPECT_FALSE(gtIsDiskWriteProtected('w'));
    EXPECT_EQ(fileContent(name), "precious") << "neither truncated nor deleted";
    DeleteFileA(name);
}

TEST(WriteProtection, ReadOnlyMount) {
    if (!GetEnvironmentVariableA("GT_READONLY_DRIVE", nullptr, 0) ||
        fileContent("V:\\keep.txt") != "kept\n") {
        GTEST_SKIP() << "no read-only drive here";
    }
    // The system answers "access denied" here, not "write protected": that
    // is no proof of a write-protected medium, so the answer stays FALSE.
    EXPECT_FALSE(gtIsDiskWriteProtected('V'));
    EXPECT_EQ(fileContent("V:\\keep.txt"), "kept\n");
}

TEST(WriteProtection, BadLetters) {
    EXPECT_FALSE(gtIsDiskWriteProtected('?'));
    EXPECT_FALSE(gtIsDiskWriteProtected(0));
}


// ---- system disks: S: is the source, T: the target; the stand-ins sit in
// the test's "sysdisk" directory ----

std::string standIn(const char* name) {
    char dir[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, dir, MAX_PATH);
    std::string s(dir);
    return s.substr(0, s.find_last_of('\\') + 1) + "sysdisk\\" + name;
}

struct SystemDisk : ::testing::Test {
    std::string savedPath;
    void SetUp() override {
        char path[4096] = {};
        GetEnvironmentVariableA("PATH", path, sizeof(path));
        savedPath = path;
        clear();
    }
    void TearDown() override {
        SetEnvironmentVariableA("PATH", savedPath.c_str());
        SetEnvironmentVariableA("GT_SYS_ANSWER", nullptr);
        SetEnvironmentVariableA("GT_SHELL_NO_REDIRECT", nullptr);
        SetEnvironmentVariableA("COMSPEC", nullptr);
        clear();
    }
    static void clear() {
        for (const char* f : {"S:\\COMMAND.COM", "S:\\DOS\\COMMAND.COM", "S:\\~~VIVOD~.ERR"}) {
            SetFileAttributesA(f, FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(f);
        }
        RemoveDirectoryA("S:\\DOS");
    }
    static void shellInRoot() { CopyFileA(standIn("COMMAND.COM").c_str(), "S:\\COMMAND.COM", FALSE); }
    void sysOnPath() { SetEnvironmentVariableA("PATH", (standIn("") + ";" + savedPath).c_str()); }
};

TEST_F(SystemDisk, TransferConfirmed) {
    shellInRoot();
    sysOnPath();
    EXPECT_EQ(gtMakeSystemDisk('S', 'T', 0, 0), 1u);
    EXPECT_EQ(GetFileAttributesA("S:\\~~VIVOD~.ERR"), INVALID_FILE_ATTRIBUTES) << "the output file is deleted";
}

TEST_F(SystemDisk, ShellCopiedFromDosDirectoryWhenAllowed) {
    CreateDirectoryA("S:\\DOS", nullptr);
    CopyFileA(standIn("COMMAND.COM").c_str(), "S:\\DOS\\COMMAND.COM", FALSE);
    sysOnPath();
    EXPECT_EQ(gtMakeSystemDisk('S', 'T', 0, 0), 10u) << "copying not allowed";
    EXPECT_EQ(gtMakeSystemDisk('S', 'T', 0, 1), 1u);
    EXPECT_NE(GetFileAttributesA("S:\\COMMAND.COM"), INVALID_FILE_ATTRIBUTES) << "copied into the root";
}

TEST_F(SystemDisk, ResultCodes) {
    sysOnPath();
    EXPECT_EQ(gtMakeSystemDisk('?', 'T', 0, 0), 0u) << "not a drive";
    SetEnvironmentVariableA("COMSPEC", "C:\\windows\\system32\\cmd.exe");
    EXPECT_EQ(gtMakeSystemDisk('S', 'T', 0, 1), 10u) << "no COMMAND.COM anywhere";

    shellInRoot();
    SetEnvironmentVariableA("PATH", savedPath.c_str());
    EXPECT_EQ(gtMakeSystemDisk('S', 'T', 0, 0), 11u) << "no SYS program";

    sysOnPath();
    SetEnvironmentVariableA("GT_SHELL_NO_REDIRECT", "1");
    EXPECT_EQ(gtMakeSystemDisk('S', 'T', 0, 0), 13u) << "no output file";
    SetEnvironmentVariableA("GT_SHELL_NO_REDIRECT", nullptr);

    SetEnvironmentVariableA("GT_SYS_ANSWER", "Disk error writing to drive T");
    EXPECT_EQ(gtMakeSystemDisk('S', 'T', 0, 0), 0u) << "not confirmed";
    SetEnvironmentVariableA("GT_SYS_ANSWER", nullptr);

    DeleteFileA("S:\\COMMAND.COM");
    CreateDirectoryA("S:\\COMMAND.COM", nullptr);
    EXPECT_EQ(gtMakeSystemDisk('S', 'T', 0, 0), 12u) << "a directory named COMMAND.COM cannot start";
    RemoveDirectoryA("S:\\COMMAND.COM");
}

TEST_F(SystemDisk, NoWaitLeavesTheOutput) {
    shellInRoot();
    sysOnPath();
    EXPECT_EQ(gtMakeSystemDisk('S', 'T', 1, 0), 1u);
    bool appeared = false;
    for (int i = 0; i < 100 && !appeared; ++i) {
        appeared = GetFileAttributesA("S:\\~~VIVOD~.ERR") != INVALID_FILE_ATTRIBUTES;
        if (!appeared) Sleep(50);
    }
    EXPECT_TRUE(appeared) << "the run goes on and writes its output";
}

}  // namespace
