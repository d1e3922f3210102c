// Line files through the DLL: navigation, byte access, the error code, size
// changes behind the caller's handle.
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
        for (auto& f : files_) DeleteFileA(f.c_str());
    }
    std::string make(const std::string& name, const char* data = nullptr, size_t size = 0) {
        files_.push_back(dir_ + name);
        if (data) {
            HANDLE h = CreateFileA(files_.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD n = 0;
            WriteFile(h, data, static_cast<DWORD>(size ? size : std::strlen(data)), &n, nullptr);
            CloseHandle(h);
        }
        return files_.back();
    }
    static std::string contents(const std::string& p) {
        HANDLE h = CreateFileA(p.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        std::string s(GetFileSize(h, nullptr), '\0');
        DWORD n = 0;
        if (!s.empty()) ReadFile(h, &s[0], static_cast<DWORD>(s.size()), &n, nullptr);
        CloseHandle(h);
        return s;
    }
    // The layer rewrites the name it is given: each call gets a copy.
    static LPGTLINEFILE open(const std::string& p, UINT flags, bool create = false) {
        std::vector<char> name(p.begin(), p.end());
        name.push_back(0);
        return create ? fuCreateFile(name.data(), flags) : fuOpenFile(name.data(), flags);
    }

    static std::string dir_;
    std::vector<std::string> files_;
};
std::string LineFile::dir_;

TEST_F(LineFile, NavigationAndOpenLastLine) {
    LPGTLINEFILE h = open(make("ab.txt", "AB\r\nCD\r\nEF"), OF_READ);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_NONE);
    EXPECT_EQ(fuGetNoofLines(h), 2);  // the open last line does not count
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
    EXPECT_EQ(fuGotoEndOfFile(h), 10);
    EXPECT_EQ(fuGotoPrevLine(h), 4);
    EXPECT_EQ(fuGotoTopOfFile(h), 0);
    EXPECT_EQ(fuGotoFileOffset(h, 8, 0), 8);
    EXPECT_EQ(fuReadLine(h, line), 0);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_READ);
    EXPECT_EQ(fuGetCurFileOffset(h), 8);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_NONE);  // a successful call clears it
    EXPECT_EQ(fuGotoNextLine(h), 10);          // no line: left where the chunk read ended
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_SEEK);
    EXPECT_EQ(fuCloseFile(h), 1);
    // Ctrl-Z, LF-only text and long lines: linefile_core, against a reference reader.
}

TEST_F(LineFile, SeveralLines) {
    std::string longLine = std::string(1234, 'L') + "\r\n";
    LPGTLINEFILE h = open(make("long.txt", ("one\r\n" + longLine + "three\r\n").c_str()), OF_READ);
    ASSERT_NE(h, nullptr);
    // Several lines: line, zero, line, zero; the position after the last one.
    std::vector<char> buf(4000, 0x55);
    EXPECT_EQ(fuReadNLines(h, 2, buf.data()), 5);
    EXPECT_STREQ(buf.data(), "one\r\n");
    EXPECT_EQ(std::string(buf.data() + 6), longLine);
    EXPECT_EQ(buf[6 + 1236 + 1], 0x55);
    EXPECT_EQ(fuGetCurFileOffset(h), 5 + 1236);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_NONE);
    // More than there are: a read error, what was read stays.
    fuGotoFileOffset(h, 5, 0);
    EXPECT_EQ(fuReadNLines(h, 5, buf.data()), 1236);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_READ);
    EXPECT_STREQ(buf.data() + 1237, "three\r\n");
    EXPECT_EQ(fuGetCurFileOffset(h), 5 + 1236 + 7);
    EXPECT_EQ(fuReadNLines(h, 0, buf.data()), 0);
    fuCloseFile(h);
}

TEST_F(LineFile, OpenCreateWriteAndRead) {
    std::string p = make("created.txt");
    EXPECT_EQ(open(p + ".missing", OF_READ), nullptr);
    EXPECT_EQ(fuGetErrorCode(), ERROR_FILE_NOT_FOUND);  // the open call's own error number
    LPGTLINEFILE h = open(p, OF_WRITE);                  // write-only creates
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->uOpenFlags, static_cast<UINT>(OF_WRITE));
    EXPECT_EQ(fuWriteFile(h, "hello\r\n"), 7);
    char name[129];
    EXPECT_TRUE(fuGetOpenFileName(h, name));
    EXPECT_EQ(lstrcmpiA(name, p.c_str()), 0) << name;
    EXPECT_EQ(fuCloseFile(h), 1);
    EXPECT_EQ(contents(p), "hello\r\n");
    h = open(p, OF_READWRITE, true);  // create empties an existing file
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuGetFileSize(h), 0);
    fuCloseFile(h);
    // 129 characters with no shorter form: refused before the open call.
    std::string longName = dir_ + std::string(129 - dir_.size(), 'n');
    EXPECT_EQ(open(longName, OF_WRITE), nullptr);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_NAME_TOO_LONG);
    EXPECT_EQ(GetFileAttributesA(longName.c_str()), INVALID_FILE_ATTRIBUTES);

    // Writes by origin.
    p = make("w.txt", "0123456789");
    h = open(p, OF_READWRITE);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuWriteFileEx(h, 2, "END"), 3);
    EXPECT_EQ(fuWriteFileEx(h, 0, "ab"), 2);
    EXPECT_EQ(fuWriteFileEx(h, 3, "zz"), -1);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_WRITE);
    EXPECT_EQ(fuWriteFileExtended(h, 1, "\0\1", 2), 2);
    EXPECT_EQ(fuGetCurFileOffset(h), 4);
    EXPECT_EQ(fuWriteFile(h, ""), 0);  // a zero-byte write would cut the file
    EXPECT_EQ(fuWriteFileExtended(h, 0, "x", 0), 0);
    EXPECT_EQ(fuGetFileSize(h), 13);
    // Reads.
    char buf[32] = {};
    fuGotoFileOffset(h, 2, 0);
    EXPECT_EQ(fuReadFileEx(h, buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), std::string("\0\1" "4", 3));
    EXPECT_EQ(fuReadFileEx(h, buf, 0), 0);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_READ);
    fuGotoFileOffset(h, 4, 0);
    EXPECT_EQ(fuReadFile(h, buf), 9);
    EXPECT_STREQ(buf, "456789END");
    EXPECT_EQ(fuGotoFileOffset(h, -1, 0), -1);
    EXPECT_EQ(fuGetErrorCode(), FU_ERR_SEEK);
    EXPECT_EQ(fuGotoFileOffset(h, 0, 7), -1);
    fuCloseFile(h);
    EXPECT_EQ(contents(p), std::string("ab\0\1" "456789END", 13));

    p = make("r.txt", "abcdef\r\n");
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
    EXPECT_EQ(fuCloseFile(h), 1);
    EXPECT_EQ(contents(p), std::string("0123xy\0\0\0\0", 10));
    // Opened with "create": the reopen must not empty the file again.
    h = open(p, OF_READWRITE | OF_CREATE, true);
    ASSERT_NE(h, nullptr);
    fuWriteFile(h, "keep me");
    EXPECT_TRUE(fuSetFileSize(h, 4));
    fuCloseFile(h);
    EXPECT_EQ(contents(p), "keep");

    // The file as recorded is gone by the time of the reopen: every call fails cleanly.
    h = open(p, OF_READWRITE);
    ASSERT_NE(h, nullptr);
    lstrcpyA(h->szFileName, (dir_ + "no such dir\\gone.txt").c_str());
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
    EXPECT_EQ(contents(p), "keep");

    // A closed record is gone: a second close or a read through it must not touch it.
    h = open(p, OF_READ);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuCloseFile(h), 1);
    EXPECT_EQ(fuCloseFile(h), -1);
    EXPECT_EQ(fuGetFileSize(h), -1);
}

}  // namespace
