// NULL, empty, over-long and double-byte arguments under code page 932: the
// failure result, and nothing written outside the caller's buffers.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gtapi32.h"
#include "testutil.h"

namespace {

using testutil::Guarded;
using testutil::kIntactGuards;

// One call and the value it must give (failures normalised to 0 where the
// export reports them as -1).
struct Call { const char* name; std::function<LONG()> call; };

std::vector<char> writable(const std::string& s) { return std::vector<char>(s.begin(), s.end() + 1); }

class LineFileBadInput : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8"; }
    void TearDown() override { RemoveDirectoryA(dir.c_str()); }
    const std::string dir = testutil::freshTempDir("lfbad");
    const std::string dbcsName = testutil::ansiFromUtf8("表示データ.txt");  // 0x5C as a trail byte
};

TEST_F(LineFileBadInput, NamesThatOpenNothing) {
    const struct { const char* name; std::string path; } rows[] = {
        {"empty", ""}, {"over-long", dir + std::string(300, 'q')}, {"missing double-byte", dir + dbcsName}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<char> name = writable(row.path);
        EXPECT_EQ(fuOpenFile(name.data(), OF_READ), nullptr);
        EXPECT_EQ(fuGetFileSizeEx(name.data()), -1);
        EXPECT_EQ(fuGetFileData(name.data()), nullptr);
    }
}

TEST_F(LineFileBadInput, NullBuffersNegativeCountsAndFullBuffersOnAnOpenFile) {
    // The platform stores a double-byte name where the locale allows it;
    // otherwise a plain one serves.
    std::vector<char> name = writable(dir + dbcsName);
    LPGTLINEFILE h = fuCreateFile(name.data(), OF_READWRITE);
    if (h) {  // stored under its own name, not split at the trail byte
        const std::wstring wide = testutil::wideFromUtf8(dir.c_str()) + testutil::wideFromUtf8("表示データ.txt");
        EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
    } else {
        name = writable(dir + "d.txt");
        h = fuCreateFile(name.data(), OF_READWRITE);
    }
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(fuWriteFile(h, "first\r\nsecond\r\n"), 15);
    ASSERT_EQ(fuGotoTopOfFile(h), 0);
    EXPECT_EQ(fuReadLine(h, nullptr), 7);  // the length, nothing stored
    const Call calls[] = {
        {"name into NULL", [&] { return LONG(fuGetOpenFileName(h, nullptr)); }},
        {"lines into NULL", [&] { return LONG(fuReadNLines(h, 1, nullptr)); }},
        {"-1 lines", [&] { return LONG(fuReadNLines(h, -1, name.data())); }},
        {"read into NULL", [&] { return fuReadFile(h, nullptr) + 1; }},
        {"read bytes into NULL", [&] { return fuReadFileEx(h, nullptr, 4); }},
        {"read -5 bytes", [&] { return fuReadFileEx(h, name.data(), -5); }},
        {"write NULL", [&] { return fuWriteFile(h, nullptr) + 1; }},
        {"write NULL at an offset", [&] { return fuWriteFileEx(h, 0, nullptr) + 1; }},
        {"write NULL bytes", [&] { return fuWriteFileExtended(h, 0, nullptr, 3) + 1; }},
        {"write -3 bytes", [&] { return fuWriteFileExtended(h, 0, "abc", -3) + 1; }},
        {"size -1", [&] { return LONG(fuSetFileSize(h, -1)); }},
    };
    for (const Call& c : calls) EXPECT_EQ(c.call(), 0) << "case " << c.name;
    EXPECT_EQ(fuGetFileSize(h), 15);
    // Reads that fill their buffers stay inside them.
    Guarded small(4), fileName(129), lines(17);
    ASSERT_EQ(fuGotoTopOfFile(h), 0);
    EXPECT_EQ(fuReadFileEx(h, small.get(), 4), 4);
    EXPECT_TRUE(fuGetOpenFileName(h, fileName.get()));
    ASSERT_EQ(fuGotoTopOfFile(h), 0);
    EXPECT_EQ(fuReadNLines(h, 2, lines.get()), 7);
    EXPECT_EQ(small.guards(), kIntactGuards) << "case 4 bytes";
    EXPECT_EQ(fileName.guards(), kIntactGuards) << "case file name";
    EXPECT_EQ(lines.guards(), kIntactGuards) << "case 2 lines into 17 bytes";
    EXPECT_EQ(fuCloseFile(h), 1);
    DeleteFileA(name.data());
}

TEST_F(LineFileBadInput, NullAndForeignHandlesFailWithoutWriting) {
    GTLINEFILE fake{};
    for (LPGTLINEFILE h : {static_cast<LPGTLINEFILE>(nullptr), &fake}) {
        const char* kind = h ? "foreign" : "NULL";
        Guarded buf(32);
        char* b = buf.get();
        const Call calls[] = {
            {"name", [&] { return LONG(fuGetOpenFileName(h, b)); }},
            {"read line", [&] { return LONG(fuReadLine(h, b)); }},
            {"read lines", [&] { return LONG(fuReadNLines(h, 2, b)); }},
            {"read", [&] { return fuReadFile(h, b) + 1; }},
            {"read bytes", [&] { return fuReadFileEx(h, b, 8); }},
            {"write", [&] { return fuWriteFile(h, "x") + 1; }},
            {"write at", [&] { return fuWriteFileEx(h, 0, "x") + 1; }},
            {"write bytes", [&] { return fuWriteFileExtended(h, 0, "x", 1) + 1; }},
            {"size", [&] { return fuGetFileSize(h) + 1; }},
            {"go to offset", [&] { return fuGotoFileOffset(h, 0, 0) + 1; }},
            {"offset", [&] { return fuGetCurFileOffset(h) + 1; }},
            {"go to end", [&] { return fuGotoEndOfFile(h) + 1; }},
            {"go to top", [&] { return fuGotoTopOfFile(h) + 1; }},
            {"next line", [&] { return fuGotoNextLine(h) + 1; }},
            {"previous line", [&] { return fuGotoPrevLine(h) + 1; }},
            {"count lines", [&] { return fuGetNoofLines(h); }},
            {"set size", [&] { return LONG(fuSetFileSize(h, 0)); }},
            {"close", [&] { return LONG(fuCloseFile(h)) + 1; }},
        };
        for (const Call& c : calls) {
            EXPECT_EQ(c.call(), 0) << "case " << c.name << ", " << kind;
            EXPECT_EQ(buf.mem, Guarded(32).mem) << "case " << c.name << ", " << kind;
        }
    }
}

}  // namespace
