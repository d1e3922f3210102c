// NULL, empty, over-long and double-byte arguments under code page 932: the
// failure result, and nothing written outside the caller's buffers.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>

#include "gtapi32.h"
#include "testutil.h"

struct Guarded {  // 64 guard bytes on both sides
    std::string mem;
    explicit Guarded(size_t n) : mem(n + 128, 0x5A) {}
    char* get() { return &mem[64]; }
    bool intact() const { return (mem.substr(0, 64) + mem.substr(mem.size() - 64)) == std::string(128, 0x5A); }
};

TEST(BadInput, NamesAndBuffers) {
    ASSERT_EQ(GetACP(), 932u);
    std::string dir = testutil::freshTempDir("lfbad"), dbcs = dir + testutil::ansiFromUtf8("表示データ.txt");
    for (std::string name : {std::string(), dir + std::string(300, 'q'), dbcs}) {
        std::vector<char> n(name.begin(), name.end() + 1);
        EXPECT_TRUE(!fuOpenFile(n.data(), OF_READ) && fuGetFileSizeEx(n.data()) == -1 && !fuGetFileData(n.data())) << name;
    }
    EXPECT_TRUE(!fuOpenFile(nullptr, OF_READ) && !fuCreateFile(nullptr, OF_READWRITE) && fuGetFileSizeEx(nullptr) == -1 && !fuGetFileData(nullptr));
    // A double-byte name with 0x5C as a trail byte works where the platform can store it.
    std::vector<char> n(dbcs.begin(), dbcs.end() + 1), plain(dir.begin(), dir.end());
    plain.insert(plain.end(), {'d', '.', 't', 'x', 't', 0});
    LPGTLINEFILE h = fuCreateFile(n.data(), OF_READWRITE);
    if (h) EXPECT_NE(GetFileAttributesW((testutil::wideFromUtf8(dir.c_str()) + testutil::wideFromUtf8("表示データ.txt")).c_str()), INVALID_FILE_ATTRIBUTES);
    else n = plain, h = fuCreateFile(n.data(), OF_READWRITE);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(fuWriteFile(h, "first\r\nsecond\r\n"), 15);
    EXPECT_TRUE(fuGotoTopOfFile(h) == 0 && fuReadLine(h, nullptr) == 7);  // the length, nothing stored
    const std::pair<const char*, std::function<LONG()>> rows[] = {
        {"name", [&] { return LONG(fuGetOpenFileName(h, nullptr)); }}, {"nlines", [&] { return LONG(fuReadNLines(h, 1, nullptr)); }},
        {"nlines -1", [&] { return LONG(fuReadNLines(h, -1, n.data())); }}, {"read", [&] { return fuReadFile(h, nullptr) + 1; }},
        {"readex", [&] { return fuReadFileEx(h, nullptr, 4); }}, {"readex -5", [&] { return fuReadFileEx(h, n.data(), -5); }},
        {"write", [&] { return fuWriteFile(h, nullptr) + 1; }}, {"writeex", [&] { return fuWriteFileEx(h, 0, nullptr) + 1; }},
        {"writeext", [&] { return fuWriteFileExtended(h, 0, nullptr, 3) + 1; }}, {"writeext -3", [&] { return fuWriteFileExtended(h, 0, "abc", -3) + 1; }},
        {"setsize -1", [&] { return LONG(fuSetFileSize(h, -1)); }}};
    for (const auto& r : rows) EXPECT_EQ(r.second(), 0) << r.first;
    EXPECT_EQ(fuGetFileSize(h), 15);
    Guarded small(4), name(129), lines(17);
    EXPECT_TRUE(fuGotoTopOfFile(h) == 0 && fuReadFileEx(h, small.get(), 4) == 4 && fuGetOpenFileName(h, name.get()));
    EXPECT_TRUE(fuGotoTopOfFile(h) == 0 && fuReadNLines(h, 2, lines.get()) == 7);
    EXPECT_TRUE(small.intact() && name.intact() && lines.intact());
    EXPECT_EQ(fuCloseFile(h), 1);
    DeleteFileA(n.data());
    RemoveDirectoryA(dir.c_str());
}

TEST(BadInput, NullAndForeignHandles) {
    GTLINEFILE fake{};
    for (LPGTLINEFILE h : {static_cast<LPGTLINEFILE>(nullptr), &fake}) {
        Guarded buf(32);
        char* b = buf.get();
        const std::function<LONG()> rows[] = {[&] { return LONG(fuGetOpenFileName(h, b)); }, [&] { return LONG(fuReadLine(h, b)); },
            [&] { return LONG(fuReadNLines(h, 2, b)); }, [&] { return fuReadFile(h, b) + 1; }, [&] { return fuReadFileEx(h, b, 8); },
            [&] { return fuWriteFile(h, "x") + 1; }, [&] { return fuWriteFileEx(h, 0, "x") + 1; }, [&] { return fuWriteFileExtended(h, 0, "x", 1) + 1; },
            [&] { return fuGetFileSize(h) + 1; }, [&] { return fuGotoFileOffset(h, 0, 0) + 1; }, [&] { return fuGetCurFileOffset(h) + 1; },
            [&] { return fuGotoEndOfFile(h) + 1; }, [&] { return fuGotoTopOfFile(h) + 1; }, [&] { return fuGotoNextLine(h) + 1; },
            [&] { return fuGotoPrevLine(h) + 1; }, [&] { return fuGetNoofLines(h); }, [&] { return LONG(fuSetFileSize(h, 0)); },
            [&] { return LONG(fuCloseFile(h)) + 1; }};
        for (size_t i = 0; i < std::size(rows); ++i) EXPECT_TRUE(rows[i]() == 0 && buf.mem == Guarded(32).mem) << i << (h ? " foreign" : " NULL");
    }
}
