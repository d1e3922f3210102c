// Line files through the DLL: line navigation, byte access, the error code,
// size changes behind the caller's handle.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gtapi32.h"
#include "testutil.h"

namespace {

class LineFile : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dir_ = testutil::freshTempDir("linefile"); }
    static void TearDownTestSuite() { RemoveDirectoryA(dir_.c_str()); }
    void TearDown() override {
        for (auto& f : files_) {
            SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(f.c_str());
        }
    }

    std::string path(const std::string& name) {
        files_.push_back(dir_ + name);
        return dir_ + name;
    }
    std::string make(const std::string& name, const std::string& data) {
        std::string p = path(name);
        HANDLE h = CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
        CloseHandle(h);
        return p;
    }
    static std::string contents(const std::string& p) {
        HANDLE h = CreateFileA(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               0, nullptr);
        std::string s(GetFileSize(h, nullptr), '\0');
        DWORD n = 0;
        if (!s.empty()) ReadFile(h, &s[0], static_cast<DWORD>(s.size()), &n, nullptr);
        CloseHandle(h);
        return s;
    }
    // fuOpenFile rewrites the name it is given, so each call gets a copy.
    static LPGTLINEFILE open(const std::string& p, UINT flags) {
        std::vector<char> name(p.begin(), p.end());
        name.push_back(0);
        return fuOpenFile(name.data(), flags);
    }

    static std::string dir_;
    std::vector<std::string> files_;
};
std::string LineFile::dir_;

TEST_F(LineFile, TwoLinesNavigation) {
    LPGTLINEFILE h = open(make("ab.txt", "AB\r\nCD\r\n"), OF_READ);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_NONE);
    EXPECT_EQ(fuGetNoofLines(h), 2);
    char line[64];
    EXPECT_EQ(fuReadLine(h, line), 4);
    EXPECT_STREQ(line, "AB\r\n");
    EXPECT_EQ(fuGetCurFileOffset(h), 0);
    EXPECT_EQ(fuGotoNextLine(h), 4);
    EXPECT_EQ(fuReadLine(h, line), 4);
    EXPECT_STREQ(line, "CD\r\n");
    EXPECT_EQ(fuGotoPrevLine(h), 0);
    EXPECT_EQ(fuGotoPrevLine(h), 0);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_NONE);
    EXPECT_EQ(fuGotoEndOfFile(h), 8);
    EXPECT_EQ(fuGotoPrevLine(h), 4);
    EXPECT_EQ(fuGotoTopOfFile(h), 0);
    EXPECT_EQ(fuCloseFile(h), 1);
}

TEST_F(LineFile, IncompleteLastLineAndCtrlZ) {
    LPGTLINEFILE h = open(make("abc.txt", "AB\r\nCD\r\nEF"), OF_READ);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuGetNoofLines(h), 2);
    char line[64] = "untouched";
    EXPECT_EQ(fuGotoFileOffset(h, 8, 0), 8);
    EXPECT_EQ(fuReadLine(h, line), 0);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_READ);
    EXPECT_EQ(fuGetCurFileOffset(h), 8);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_NONE);  // a successful call clears it
    // No line there: the position is left where the chunk read ended (the end).
    EXPECT_EQ(fuGotoNextLine(h), 10);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_SEEK);
    fuCloseFile(h);

    h = open(make("eof.txt", "AB\r\n\x1a" "CD\r\n"), OF_READ);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuGetNoofLines(h), 1);
    fuGotoFileOffset(h, 4, 0);
    EXPECT_EQ(fuReadLine(h, line), 0);
    fuGotoFileOffset(h, 5, 0);
    EXPECT_EQ(fuReadLine(h, line), 4);
    fuCloseFile(h);

    h = open(make("lf.txt", "AB\nCD\n"), OF_READ);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuGetNoofLines(h), 0);
    fuCloseFile(h);
}

TEST_F(LineFile, LongLinesAndSeveralLines) {
    std::string longLine = std::string(1234, 'L') + "\r\n";
    LPGTLINEFILE h = open(make("long.txt", "one\r\n" + longLine + "three\r\n"), OF_READ);
    ASSERT_NE(h, nullptr);
    std::vector<char> buf(4000, 0x55);
    fuGotoNextLine(h);
    EXPECT_EQ(fuReadLine(h, buf.data()), 1236);
    EXPECT_EQ(std::string(buf.data()), longLine);

    // Several lines: line, zero, line, zero; the position after the last one.
    std::fill(buf.begin(), buf.end(), 0x55);
    fuGotoTopOfFile(h);
    EXPECT_EQ(fuReadNLines(h, 2, buf.data()), 5);
    EXPECT_STREQ(buf.data(), "one\r\n");
    EXPECT_EQ(std::string(buf.data() + 6), longLine);
    EXPECT_EQ(buf[6 + 1236 + 1], 0x55);
    EXPECT_EQ(fuGetCurFileOffset(h), 5 + 1236);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_NONE);

    // Asking for more than there are: error 30, what was read stays.
    std::fill(buf.begin(), buf.end(), 0x55);
    fuGotoFileOffset(h, 5, 0);
    EXPECT_EQ(fuReadNLines(h, 5, buf.data()), 1236);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_READ);
    EXPECT_STREQ(buf.data() + 1237, "three\r\n");
    EXPECT_EQ(fuGetCurFileOffset(h), 5 + 1236 + 7);
    EXPECT_EQ(fuReadNLines(h, 0, buf.data()), 0);
    fuCloseFile(h);
}

TEST_F(LineFile, OpenCreateAndErrors) {
    std::string p = path("created.txt");
    // Write-only on a missing file creates it; read on a missing one fails
    // with the open call's own error number.
    EXPECT_EQ(open(p + ".missing", OF_READ), nullptr);
    EXPECT_EQ(fuGetErrorCode(), ERROR_FILE_NOT_FOUND);
    LPGTLINEFILE h = open(p, OF_WRITE);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->uOpenFlags, static_cast<UINT>(OF_WRITE));
    EXPECT_EQ(fuWriteFile(h, "hello\r\n"), 7);
    char name[129];
    EXPECT_TRUE(fuGetOpenFileName(h, name));
    EXPECT_EQ(lstrcmpiA(name, p.c_str()), 0) << name;
    EXPECT_EQ(fuCloseFile(h), 1);
    EXPECT_EQ(contents(p), "hello\r\n");

    // Create empties an existing file.
    std::vector<char> n2(p.begin(), p.end());
    n2.push_back(0);
    h = fuCreateFile(n2.data(), OF_READWRITE);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuGetFileSize(h), 0);
    fuCloseFile(h);

    // 129 characters with no shorter form: refused before the open call.
    std::string longName = dir_ + std::string(129 - dir_.size(), 'n');
    ASSERT_EQ(longName.size(), 129u);
    EXPECT_EQ(open(longName, OF_WRITE), nullptr);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_NAME_TOO_LONG);
    EXPECT_EQ(GetFileAttributesA(longName.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LineFile, WritesByOrigin) {
    std::string p = make("w.txt", "0123456789");
    LPGTLINEFILE h = open(p, OF_READWRITE);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuWriteFileEx(h, 2, "END"), 3);
    EXPECT_EQ(fuWriteFileEx(h, 0, "ab"), 2);
    EXPECT_EQ(fuWriteFileEx(h, 3, "zz"), -1);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_WRITE);
    EXPECT_EQ(fuWriteFileExtended(h, 1, "\0\1", 2), 2);
    EXPECT_EQ(fuGetCurFileOffset(h), 4);
    // Nothing to write leaves the file as it is (a zero-byte write would cut it).
    EXPECT_EQ(fuWriteFile(h, ""), 0);
    EXPECT_EQ(fuWriteFileExtended(h, 0, "x", 0), 0);
    EXPECT_EQ(fuGetFileSize(h), 13);
    fuCloseFile(h);
    EXPECT_EQ(contents(p), std::string("ab\0\1" "456789END", 13));
}

TEST_F(LineFile, ReadsAndSizes) {
    std::string p = make("r.txt", "abcdef\r\n");
    LPGTLINEFILE h = open(p, OF_READ);
    ASSERT_NE(h, nullptr);
    fuGotoFileOffset(h, 2, 0);
    EXPECT_EQ(fuGetFileSize(h), 8);
    EXPECT_EQ(fuGetCurFileOffset(h), 2);
    char buf[32] = {};
    EXPECT_EQ(fuReadFileEx(h, buf, 3), 3);
    EXPECT_STREQ(buf, "cde");
    EXPECT_EQ(fuReadFileEx(h, buf, 0), 0);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_READ);
    fuGotoTopOfFile(h);
    std::memset(buf, 0, sizeof(buf));
    EXPECT_EQ(fuReadFile(h, buf), 8);
    EXPECT_STREQ(buf, "abcdef\r\n");
    EXPECT_EQ(fuGotoFileOffset(h, -1, 0), -1);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_SEEK);
    EXPECT_EQ(fuGotoFileOffset(h, 0, 7), -1);
    fuCloseFile(h);

    EXPECT_EQ(fuGetFileSizeEx(p.c_str()), 8);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_NONE);
    EXPECT_EQ(fuGetFileSizeEx((p + ".none").c_str()), -1);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_CLOSE);

    auto* data = static_cast<char*>(fuGetFileData(p.c_str()));
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(data, "abcdef\r\n");
    EXPECT_TRUE(gtGlobalFreePtr(data));
    EXPECT_EQ(fuGetFileData(make("empty.txt", "").c_str()), nullptr);
    EXPECT_EQ(fuGetFileData((p + ".none").c_str()), nullptr);
}

TEST_F(LineFile, SetFileSizeReopensBehindTheHandle) {
    std::string p = make("s.txt", "0123456789ABCDEF");
    LPGTLINEFILE h = open(p, OF_READWRITE);
    ASSERT_NE(h, nullptr);
    fuGotoFileOffset(h, 5, 0);
    EXPECT_TRUE(fuSetFileSize(h, 8));
    EXPECT_EQ(fuGetCurFileOffset(h), 5);
    EXPECT_EQ(fuGetFileSize(h), 8);
    fuGotoFileOffset(h, 7, 0);
    EXPECT_TRUE(fuSetFileSize(h, 4));  // below the position: back to the top
    EXPECT_EQ(fuGetCurFileOffset(h), 0);
    EXPECT_EQ(fuWriteFileEx(h, 2, "xy"), 2);
    EXPECT_TRUE(fuSetFileSize(h, 10));
    EXPECT_EQ(fuGetFileSize(h), 10);
    EXPECT_EQ(fuCloseFile(h), 1);
    EXPECT_EQ(contents(p), std::string("0123xy\0\0\0\0", 10));

    // Opened with "create": the reopen must not empty the file again.
    std::vector<char> name(p.begin(), p.end());
    name.push_back(0);
    h = fuCreateFile(name.data(), OF_READWRITE | OF_CREATE);
    ASSERT_NE(h, nullptr);
    fuWriteFile(h, "keep me");
    EXPECT_TRUE(fuSetFileSize(h, 4));
    EXPECT_EQ(fuGetFileSize(h), 4);
    fuCloseFile(h);
    EXPECT_EQ(contents(p), "keep");
}

TEST_F(LineFile, FailedReopenLeavesAHandleThatFailsCleanly) {
    std::string p = make("gone.txt", "line\r\n");
    LPGTLINEFILE h = open(p, OF_READWRITE);
    ASSERT_NE(h, nullptr);
    // The file as recorded is gone by the time of the reopen.
    std::string gone = dir_ + "no such dir\\gone.txt";
    lstrcpyA(h->szFileName, gone.c_str());
    EXPECT_FALSE(fuSetFileSize(h, 2));
    EXPECT_EQ(h->hFile, HFILE_ERROR);
    char line[16];
    EXPECT_EQ(fuReadLine(h, line), 0);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_READ);
    EXPECT_EQ(fuGotoNextLine(h), -1);
    EXPECT_EQ(fuWriteFile(h, "x"), -1);
    EXPECT_EQ(fuGetFileSize(h), -1);
    EXPECT_EQ(fuGetNoofLines(h), 0);
    EXPECT_FALSE(fuSetFileSize(h, 1));
    EXPECT_EQ(fuCloseFile(h), -1);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_CLOSE);
    EXPECT_EQ(contents(p), "line\r\n");
}

TEST_F(LineFile, ClosedHandleIsRefused) {
    LPGTLINEFILE h = open(make("c.txt", "x\r\n"), OF_READ);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuCloseFile(h), 1);
    // The record is gone; a second close or a read through it must not touch it.
    EXPECT_EQ(fuCloseFile(h), -1);
    EXPECT_EQ(fuGetFileSize(h), -1);
}

}  // namespace
