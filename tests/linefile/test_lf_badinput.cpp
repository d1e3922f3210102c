// Bad input for the line-file exports and ZProfile, under code page 932:
// NULL, empty, over-long and double-byte arguments give the failure result
// (or are handled correctly) and nothing is written outside the caller's buffers.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ZProfile.h"
#include "gtapi32.h"
#include "testutil.h"

namespace {

// A caller's buffer with 64 guard bytes on both sides.
struct Guarded {
    explicit Guarded(size_t size) : mem(size + 128, 0x5A), size(size) {}
    char* get() { return mem.data() + 64; }
    bool intact() const {
        for (size_t i = 0; i < 64; ++i)
            if (mem[i] != 0x5A || mem[64 + size + i] != 0x5A) return false;
        return true;
    }
    bool untouched() const { return std::string(mem.begin(), mem.end()).find_first_not_of('\x5A') == std::string::npos; }
    std::vector<char> mem;
    size_t size;
};

enum Kind { Null, Empty, Long, Dbcs };
const char* kKindName[] = {"NULL", "empty", "over-long", "double-byte"};
std::string g_dir, g_text[4];  // by Kind; names in g_dir, "表示" has 0x5C as a trail byte

// A writable copy (the layer rewrites names in place), or NULL.
std::vector<char> arg(Kind k, const std::string& prefix = "") {
    std::vector<char> v(prefix.begin(), prefix.end());
    v.insert(v.end(), g_text[k].begin(), g_text[k].end());
    v.push_back(0);
    return v;
}
char* ptr(Kind k, std::vector<char>& v) { return k == Null ? nullptr : v.data(); }
char* s(const char* text) { return const_cast<char*>(text); }

class BadInput : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(GetACP(), 932u);
        g_dir = testutil::freshTempDir("lfbad");
        g_text[Long] = std::string(300, 'q') + ".txt";
        g_text[Dbcs] = testutil::ansiFromUtf8("表示データ.txt");
    }
    static void TearDownTestSuite() { RemoveDirectoryA(g_dir.c_str()); }
    void TearDown() override {
        for (auto& f : cleanup_) DeleteFileA(f.c_str());
    }
    std::vector<std::string> cleanup_;
};

TEST_F(BadInput, NamesOfTheLineFileLayer) {
    for (Kind k : {Null, Empty, Long, Dbcs}) {
        SCOPED_TRACE(kKindName[k]);
        auto n = arg(k, k == Empty ? "" : g_dir);
        EXPECT_EQ(fuOpenFile(ptr(k, n), OF_READ), nullptr);
        EXPECT_EQ(fuGetErrorCode(), k == Long ? FU_ERR_NAME_TOO_LONG : k == Dbcs ? ERROR_FILE_NOT_FOUND : FU_ERR_NONE);
        n = arg(k, k == Empty ? "" : g_dir + "missing dir\\");
        EXPECT_EQ(fuCreateFile(ptr(k, n), OF_READWRITE), nullptr);
        n = arg(k, k == Empty ? "" : g_dir);
        EXPECT_EQ(fuGetFileSizeEx(ptr(k, n)), -1);
        EXPECT_EQ(fuGetFileData(ptr(k, n)), nullptr);
    }
}

TEST_F(BadInput, DoubleByteNamesWork) {
    auto name = arg(Dbcs, g_dir);
    // Wine stores such names only when the Unix locale can spell them; where
    // the platform refuses the name, the layer must fail the same way.
    HANDLE probe = CreateFileA(name.data(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    DWORD platformError = GetLastError();
    if (probe != INVALID_HANDLE_VALUE) CloseHandle(probe), DeleteFileA(name.data());
    LPGTLINEFILE h = fuCreateFile(name.data(), OF_READWRITE);
    if (probe == INVALID_HANDLE_VALUE) {
        EXPECT_EQ(h, nullptr);
        EXPECT_EQ(fuGetErrorCode(), static_cast<int>(platformError));
        GTEST_SKIP() << "the platform cannot store this name here (error " << platformError << ")";
    }
    ASSERT_NE(h, nullptr) << fuGetErrorCode();
    cleanup_.push_back(name.data());
    std::string line = testutil::ansiFromUtf8("表示\r\n");
    EXPECT_EQ(fuWriteFile(h, line.c_str()), static_cast<LONG>(line.size()));
    fuGotoTopOfFile(h);
    Guarded out(64);
    EXPECT_EQ(fuReadLine(h, out.get()), static_cast<int>(line.size()));
    EXPECT_EQ(std::string(out.get()), line);
    EXPECT_TRUE(out.intact());
    EXPECT_EQ(fuCloseFile(h), 1);
    std::wstring wide = testutil::wideFromUtf8(g_dir.c_str()) + testutil::wideFromUtf8("表示データ.txt");
    EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);  // the double-byte name on disk
    EXPECT_EQ(fuGetFileSizeEx(name.data()), static_cast<LONG>(line.size()));
}

TEST_F(BadInput, NullAndForeignHandles) {
    GTLINEFILE fake{};  // no handle of the layer
    for (LPGTLINEFILE h : {static_cast<LPGTLINEFILE>(nullptr), &fake}) {
        Guarded buf(32);
        char* b = buf.get();
        const std::pair<const char*, std::function<LONG()>> rows[] = {
            {"fuGetOpenFileName", [&] { return fuGetOpenFileName(h, b) ? 1L : 0L; }},
            {"fuReadLine", [&] { return static_cast<LONG>(fuReadLine(h, b)); }},
            {"fuReadNLines", [&] { return static_cast<LONG>(fuReadNLines(h, 2, b)); }},
            {"fuReadFile", [&] { return fuReadFile(h, b) + 1; }},
            {"fuReadFileEx", [&] { return fuReadFileEx(h, b, 8); }},
            {"fuWriteFile", [&] { return fuWriteFile(h, "x") + 1; }},
            {"fuWriteFileEx", [&] { return fuWriteFileEx(h, 0, "x") + 1; }},
            {"fuWriteFileExtended", [&] { return fuWriteFileExtended(h, 0, "x", 1) + 1; }},
            {"fuGetFileSize", [&] { return fuGetFileSize(h) + 1; }},
            {"fuGotoFileOffset", [&] { return fuGotoFileOffset(h, 0, 0) + 1; }},
            {"fuGetCurFileOffset", [&] { return fuGetCurFileOffset(h) + 1; }},
            {"fuGotoEndOfFile", [&] { return fuGotoEndOfFile(h) + 1; }},
            {"fuGotoTopOfFile", [&] { return fuGotoTopOfFile(h) + 1; }},
            {"fuGotoNextLine", [&] { return fuGotoNextLine(h) + 1; }},
            {"fuGotoPrevLine", [&] { return fuGotoPrevLine(h) + 1; }},
            {"fuGetNoofLines", [&] { return fuGetNoofLines(h); }},
            {"fuSetFileSize", [&] { return fuSetFileSize(h, 0) ? 1L : 0L; }},
            {"fuCloseFile", [&] { return static_cast<LONG>(fuCloseFile(h)) + 1; }},
        };
        for (const auto& r : rows) {  // 0 here is the failure result (shifted for -1 results)
            EXPECT_EQ(r.second(), 0) << r.first << (h ? " foreign" : " NULL");
            EXPECT_TRUE(buf.untouched()) << r.first;
        }
    }
}

TEST_F(BadInput, BuffersAndTextsOnAnOpenHandle) {
    std::string p = g_dir + "data.txt";
    cleanup_.push_back(p);
    std::vector<char> name(p.begin(), p.end());
    name.push_back(0);
    LPGTLINEFILE h = fuCreateFile(name.data(), OF_READWRITE);
    ASSERT_NE(h, nullptr);
    fuWriteFile(h, "first\r\nsecond\r\n");
    fuGotoTopOfFile(h);
    EXPECT_FALSE(fuGetOpenFileName(h, nullptr));
    EXPECT_EQ(fuReadLine(h, nullptr), 7);  // the length, nothing stored
    EXPECT_EQ(fuReadNLines(h, 1, nullptr), 0);
    EXPECT_EQ(fuReadNLines(h, -1, name.data()), 0);
    EXPECT_EQ(fuReadFile(h, nullptr), -1);
    EXPECT_EQ(fuReadFileEx(h, nullptr, 4), 0);
    EXPECT_EQ(fuReadFileEx(h, name.data(), -5), 0);
    EXPECT_EQ(fuWriteFile(h, nullptr), -1);
    EXPECT_EQ(fuWriteFileEx(h, 0, nullptr), -1);
    EXPECT_EQ(fuWriteFileExtended(h, 0, nullptr, 3), -1);
    EXPECT_EQ(fuWriteFileExtended(h, 0, "abc", -3), -1);
    EXPECT_FALSE(fuSetFileSize(h, -1));
    EXPECT_EQ(fuGetFileSize(h), 15);  // nothing above changed the file
    // Reads bounded by what they were given.
    Guarded small(4), name129(129), lines(32);
    fuGotoTopOfFile(h);
    EXPECT_EQ(fuReadFileEx(h, small.get(), 4), 4);
    EXPECT_TRUE(fuGetOpenFileName(h, name129.get()));
    fuGotoTopOfFile(h);
    EXPECT_EQ(fuReadNLines(h, 2, lines.get()), 7);
    EXPECT_TRUE(small.intact() && name129.intact() && lines.intact());
    // Over-long and empty texts are written as they are.
    fuGotoEndOfFile(h);
    EXPECT_EQ(fuWriteFile(h, std::string(300, 'L').c_str()), 300);
    EXPECT_EQ(fuWriteFileEx(h, 2, ""), 0);
    EXPECT_EQ(fuGetFileSize(h), 315);
    EXPECT_EQ(fuCloseFile(h), 1);
}

TEST_F(BadInput, ProfileArguments) {
    std::string sub = "Software\\gtapi32 tests\\bad " + std::to_string(GetCurrentProcessId());
    std::string key = "HKEY_CURRENT_USER\\" + sub, ini = g_dir + "bad.ini";
    cleanup_.push_back(ini);
    ZProfile reg(nullptr, s(key.c_str())), file(s(ini.c_str()), nullptr);
    const std::string text[4] = {"", "", std::string(300, 'k'), testutil::ansiFromUtf8("表示")};
    for (ZProfile* p : {&reg, &file}) {
        for (Kind k : {Null, Empty, Long, Dbcs}) {
            SCOPED_TRACE(testing::Message() << (p == &reg ? "registry " : "ini ") << kKindName[k]);
            char* a = k == Null ? nullptr : s(text[k].c_str());
            Guarded buf(300);
            // As section, as key: the default or nothing, inside the buffer.
            p->GetProfileStringA(a, s("k"), s("d"), buf.get(), 16);
            p->GetProfileStringA(s("S"), a, s("d"), buf.get(), 16);
            EXPECT_TRUE(buf.intact());
            if (k == Null) {
                EXPECT_EQ(p->GetProfileIntA(a, s("k"), 11), 11);
                EXPECT_FALSE(p->WriteProfileInt(a, s("k"), 1));
            } else if (p->WriteProfileStringA(s("S"), s("v"), a)) {  // as a value: read back whole, or refused
                Guarded back(400);
                p->GetProfileStringA(s("S"), s("v"), s("?"), back.get(), 400);
                EXPECT_TRUE(back.intact());
                if (k != Long || p == &reg) {
                    EXPECT_STREQ(back.get(), a);
                }
            }
        }
    }
    // Double-byte names round-trip as sections and keys.
    char* dbcs = s(text[Dbcs].c_str());
    EXPECT_TRUE(reg.WriteProfileStringA(dbcs, dbcs, dbcs));
    char out[32] = {};
    EXPECT_STREQ(reg.GetProfileStringA(dbcs, dbcs, s(""), out, sizeof(out)), dbcs);
    // An over-long registry path: every operation fails cleanly.
    std::string longKey = "HKEY_CURRENT_USER\\" + std::string(300, 'x');
    ZProfile tooLong(nullptr, s(longKey.c_str()));
    EXPECT_FALSE(tooLong.WriteProfileInt(s("S"), s("k"), 1));
    EXPECT_EQ(tooLong.GetProfileIntA(s("S"), s("k"), 8), 8);
    RegDeleteTreeA(HKEY_CURRENT_USER, sub.c_str());

    // 0x5C as a trail byte is no separator: the sub-key starts after the real one.
    std::string dkey = testutil::ansiFromUtf8("表\\HKEY_USERS\\x");
    ZProfile p(nullptr, s(dkey.c_str()));
    EXPECT_EQ(p.GetMainRegistryKey(), 0x80000003UL);
    EXPECT_STREQ(p.GetSubRegistryKey(), "HKEY_USERS\\x");
    // A copy cut at a length never splits a double-byte character.
    Guarded name(8);
    p.SetProfileName(dbcs);  // 4 bytes
    p.GetProfileName(name.get(), 3);
    EXPECT_EQ(std::strlen(name.get()), 2u);
    EXPECT_TRUE(name.intact());
    char* copy = p.GetProfileName(nullptr, 3);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::strlen(copy), 2u);
    delete[] copy;
    // Over-long names are kept whole.
    EXPECT_TRUE(p.SetRegistryKey(s(text[Long].c_str())));
    char* whole = p.GetRegistryKey(nullptr, 0);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(std::strlen(whole), 300u);
    delete[] whole;
    EXPECT_EQ(p.GetMainRegistryKey(), 0UL);
}

}  // namespace
