// Line files through the DLL: navigation, byte access, error codes, size changes.
#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "gtapi32.h"
#include "testutil.h"

const std::string g_dir = testutil::freshTempDir("linefile");

std::string make(const std::string& name, const std::string& data) {
    std::ofstream(g_dir + name, std::ios::binary) << data;
    return g_dir + name;
}
std::string contents(const std::string& p) {
    char* d = static_cast<char*>(fuGetFileData(p.c_str()));
    std::string s(d ? d : "", d ? fuGetFileSizeEx(p.c_str()) : 0);
    gtGlobalFreePtr(d);
    return s;
}
LPGTLINEFILE open(const std::string& p, UINT flags, bool create = false) {  // the layer rewrites the name
    std::vector<char> n(p.begin(), p.end() + 1);
    return create ? fuCreateFile(n.data(), flags) : fuOpenFile(n.data(), flags);
}

// One call, its result and the error code it leaves (-1: not checked); the
// call's own text names the row.
struct Row { std::function<LONG()> call; LONG want; int error; const char* what; };
#define ROW(expr, want, error) Row{[&] { return (LONG)(expr); }, want, error, #expr}
void run(const std::vector<Row>& rows) {
    for (const Row& r : rows) {
        EXPECT_EQ(r.call(), r.want) << "case " << r.what;
        if (r.error >= 0) {
            EXPECT_EQ(fuGetErrorCode(), r.error) << "case " << r.what;
        }
    }
}
const int OK = FU_ERR_NONE;

TEST(LineFile, ResultsAndErrorCodes) {
    LPGTLINEFILE h = open(make("a.txt", "AB\r\nCD\r\nEF"), OF_READWRITE);
    ASSERT_NE(h, nullptr);
    char b[64] = {};
    std::string longName = g_dir + std::string(129 - g_dir.size(), 'n'), w = make("w.txt", "");
    run({ROW(fuGetNoofLines(h), 2, OK), ROW(fuReadLine(h, b), 4, OK), ROW(fuGetCurFileOffset(h), 0, OK),
         ROW(fuGotoNextLine(h), 4, OK), ROW(fuGotoPrevLine(h), 0, OK), ROW(fuGotoPrevLine(h), 0, OK),
         ROW(fuGotoEndOfFile(h), 10, OK), ROW(fuGotoPrevLine(h), 4, OK), ROW(fuGotoFileOffset(h, 8, 0), 8, OK),
         ROW(fuReadLine(h, b), 0, FU_ERR_READ), ROW(fuGotoNextLine(h), 10, FU_ERR_SEEK),  // open last line
         ROW(fuGotoFileOffset(h, 0, 0), 0, OK), ROW(fuReadNLines(h, 5, b), 4, FU_ERR_READ),
         ROW(fuGetCurFileOffset(h), 8, OK), ROW(fuGotoFileOffset(h, -1, 0), -1, FU_ERR_SEEK),
         ROW(fuGotoFileOffset(h, 0, 7), -1, FU_ERR_SEEK), ROW(fuWriteFileEx(h, 3, "zz"), -1, FU_ERR_WRITE),
         ROW(fuWriteFileEx(h, 2, "!"), 1, OK), ROW(fuWriteFileEx(h, 0, "ab"), 2, OK),
         ROW(fuWriteFileExtended(h, 1, "\0\1", 2), 2, OK), ROW(fuGetCurFileOffset(h), 4, OK),
         ROW(fuWriteFile(h, ""), 0, OK), ROW(fuGetFileSize(h), 11, OK), ROW(fuReadFileEx(h, b, 0), 0, FU_ERR_READ),
         ROW(fuReadFileEx(h, b, 3), 3, OK), ROW(fuReadFile(h, b), 4, OK), ROW(fuCloseFile(h), 1, OK),
         ROW(open(g_dir + "none", OF_READ), 0, ERROR_FILE_NOT_FOUND), ROW(open(longName, OF_WRITE), 0, FU_ERR_NAME_TOO_LONG),
         ROW(fuGetFileSizeEx((g_dir + "none").c_str()), -1, FU_ERR_CLOSE), ROW(fuGetFileData(w.c_str()), 0, OK)});
    EXPECT_EQ(contents(g_dir + "a.txt"), std::string("ab\0\1CD\r\nEF!", 11));
    EXPECT_EQ(GetFileAttributesA(longName.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(w.c_str());
}

TEST(LineFile, SetFileSizeReopensBehindTheHandle) {
    std::string p = make("s.txt", "0123456789ABCDEF");
    LPGTLINEFILE h = open(p, OF_READWRITE);
    ASSERT_NE(h, nullptr);
    run({ROW(fuGotoFileOffset(h, 5, 0), 5, OK), ROW(fuSetFileSize(h, 8), 1, OK), ROW(fuGetCurFileOffset(h), 5, OK),
         ROW(fuGetFileSize(h), 8, OK), ROW(fuGotoFileOffset(h, 7, 0), 7, OK), ROW(fuSetFileSize(h, 4), 1, OK),
         ROW(fuGetCurFileOffset(h), 0, OK), ROW(fuWriteFileEx(h, 2, "xy"), 2, OK), ROW(fuSetFileSize(h, 10), 1, OK),
         ROW(fuCloseFile(h), 1, OK)});
    EXPECT_EQ(contents(p), std::string("0123xy\0\0\0\0", 10));
    h = open(p, OF_READWRITE | OF_CREATE, true);  // the reopen must not empty the file again
    run({ROW(fuWriteFile(h, "keep me"), 7, OK), ROW(fuSetFileSize(h, 4), 1, OK), ROW(fuCloseFile(h), 1, OK)});
    EXPECT_EQ(contents(p), "keep");
    // The recorded file is gone by the reopen: every later call fails cleanly.
    h = open(p, OF_READWRITE);
    lstrcpyA(h->szFileName, (g_dir + "no such dir\\gone.txt").c_str());
    char line[16];
    run({ROW(fuSetFileSize(h, 2), 0, -1), ROW(fuReadLine(h, line), 0, FU_ERR_READ),
         ROW(fuGotoNextLine(h), -1, FU_ERR_SEEK), ROW(fuWriteFile(h, "x"), -1, FU_ERR_WRITE),
         ROW(fuGetNoofLines(h), 0, -1), ROW(fuCloseFile(h), -1, FU_ERR_CLOSE)});
    EXPECT_EQ(contents(p), "keep");
    h = open(p, OF_READ);
    EXPECT_EQ(fuCloseFile(h), 1);
    EXPECT_EQ(fuCloseFile(h), -1) << "case a closed record is gone";
    DeleteFileA(p.c_str());
}
