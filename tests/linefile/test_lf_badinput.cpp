// Bad input for the line-file exports and ZProfile, under code page 932:
// every export with NULL, empty, over-long and double-byte arguments gives its
// failure result (or handles the text correctly) and writes nothing outside
// the caller's buffers.
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

// A caller's buffer with guard bytes on both sides.
class Guarded {
public:
    explicit Guarded(size_t size) : mem_(size + 2 * kGuard, kFill), size_(size) {}
    char* get() { return mem_.data() + kGuard; }
    size_t size() const { return size_; }
    bool intact() const {
        for (size_t i = 0; i < kGuard; ++i)
            if (mem_[i] != kFill || mem_[kGuard + size_ + i] != kFill) return false;
        return true;
    }
    bool untouched() const {
        for (char c : mem_)
            if (c != kFill) return false;
        return true;
    }

private:
    static constexpr size_t kGuard = 64;
    static constexpr char kFill = 0x5A;
    std::vector<char> mem_;
    size_t size_;
};

enum Kind { Null, Empty, Long, Dbcs };
const char* kKindName[] = {"NULL", "empty", "over-long", "double-byte"};

struct Args {
    std::string dir;
    std::string text[4];  // by Kind (Null unused)
    const char* get(Kind k) const { return k == Null ? nullptr : text[k].c_str(); }
    // Writable copy (the layer rewrites names in place).
    std::vector<char> mutableCopy(Kind k) const {
        std::vector<char> v(text[k].begin(), text[k].end());
        v.push_back(0);
        return v;
    }
};

class BadInput : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        args_.dir = testutil::freshTempDir("lfbad");
        args_.text[Empty] = "";
        args_.text[Long] = args_.dir + std::string(300, 'q') + ".txt";
        // "表示" has 0x5C as a trail byte; the name does not exist.
        args_.text[Dbcs] = args_.dir + testutil::ansiFromUtf8("表示データ.txt");
    }
    static void TearDownTestSuite() { RemoveDirectoryA(args_.dir.c_str()); }

    std::string makeFile(const char* name, const std::string& data) {
        std::string p = args_.dir + name;
        HANDLE h = CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
        CloseHandle(h);
        cleanup_.push_back(p);
        return p;
    }
    void TearDown() override {
        for (auto& f : cleanup_) DeleteFileA(f.c_str());
    }

    static Args args_;
    std::vector<std::string> cleanup_;
};
Args BadInput::args_;

TEST_F(BadInput, CodePageIsDoubleByte) { ASSERT_EQ(GetACP(), 932u); }

TEST_F(BadInput, NamesOfTheLineFileLayer) {
    struct Row {
        const char* what;
        std::function<bool(Kind)> fails;  // the documented failure for this kind
    };
    const Row rows[] = {
        {"fuOpenFile read", [](Kind k) {
             std::vector<char> n = k == Null ? std::vector<char>() : args_.mutableCopy(k);
             LPGTLINEFILE h = fuOpenFile(k == Null ? nullptr : n.data(), OF_READ);
             int code = fuGetErrorCode();
             if (k == Long) return !h && code == FU_ERR_NAME_TOO_LONG;
             if (k == Dbcs) return !h && code == ERROR_FILE_NOT_FOUND;
             return !h && code == FU_ERR_NONE;
         }},
        {"fuCreateFile in a missing directory", [](Kind k) {
             std::string p = k == Null || k == Empty ? "" : args_.dir + "missing dir\\" + (args_.get(k) + args_.dir.size());
             std::vector<char> n(p.begin(), p.end());
             n.push_back(0);
             return fuCreateFile(k == Null ? nullptr : n.data(), OF_READWRITE) == nullptr;
         }},
        {"fuGetFileSizeEx", [](Kind k) { return fuGetFileSizeEx(args_.get(k)) == -1; }},
        {"fuGetFileData", [](Kind k) { return fuGetFileData(args_.get(k)) == nullptr; }},
    };
    for (const Row& r : rows)
        for (Kind k : {Null, Empty, Long, Dbcs}) EXPECT_TRUE(r.fails(k)) << r.what << " with " << kKindName[k];
}

TEST_F(BadInput, DoubleByteNamesWork) {
    std::vector<char> name = args_.mutableCopy(Dbcs);
    // Wine stores such names only when the Unix locale can spell them; where
    // the platform itself refuses the name, the layer must fail the same way.
    HANDLE probe = CreateFileA(name.data(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    DWORD platformError = GetLastError();
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        DeleteFileA(name.data());
    }
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
    // The file has its double-byte name on disk.
    std::wstring wide = testutil::wideFromUtf8(args_.dir.c_str()) + testutil::wideFromUtf8("表示データ.txt");
    EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(fuGetFileSizeEx(name.data()), static_cast<LONG>(line.size()));
}

TEST_F(BadInput, NullHandles) {
    Guarded buf(32);
    struct Row {
        const char* what;
        std::function<LONG()> call;
        LONG failure;
    };
    const Row rows[] = {
        {"fuCloseFile", [] { return static_cast<LONG>(fuCloseFile(nullptr)); }, -1},
        {"fuGetOpenFileName", [&] { return static_cast<LONG>(fuGetOpenFileName(nullptr, buf.get())); }, FALSE},
        {"fuReadLine", [&] { return static_cast<LONG>(fuReadLine(nullptr, buf.get())); }, 0},
        {"fuReadNLines", [&] { return static_cast<LONG>(fuReadNLines(nullptr, 2, buf.get())); }, 0},
        {"fuReadFile", [&] { return fuReadFile(nullptr, buf.get()); }, -1},
        {"fuReadFileEx", [&] { return fuReadFileEx(nullptr, buf.get(), 8); }, 0},
        {"fuWriteFile", [] { return fuWriteFile(nullptr, "x"); }, -1},
        {"fuWriteFileEx", [] { return fuWriteFileEx(nullptr, 0, "x"); }, -1},
        {"fuWriteFileExtended", [] { return fuWriteFileExtended(nullptr, 0, "x", 1); }, -1},
        {"fuGetFileSize", [] { return fuGetFileSize(nullptr); }, -1},
        {"fuGotoFileOffset", [] { return fuGotoFileOffset(nullptr, 0, 0); }, -1},
        {"fuGetCurFileOffset", [] { return fuGetCurFileOffset(nullptr); }, -1},
        {"fuGotoEndOfFile", [] { return fuGotoEndOfFile(nullptr); }, -1},
        {"fuGotoTopOfFile", [] { return fuGotoTopOfFile(nullptr); }, -1},
        {"fuGotoNextLine", [] { return fuGotoNextLine(nullptr); }, -1},
        {"fuGotoPrevLine", [] { return fuGotoPrevLine(nullptr); }, -1},
        {"fuGetNoofLines", [] { return fuGetNoofLines(nullptr); }, 0},
        {"fuSetFileSize", [] { return static_cast<LONG>(fuSetFileSize(nullptr, 0)); }, FALSE},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.call(), r.failure) << r.what;
        EXPECT_TRUE(buf.untouched()) << r.what;
    }
    // A pointer that is no handle of the layer is refused as well.
    GTLINEFILE fake{};
    EXPECT_EQ(fuGetFileSize(&fake), -1);
    EXPECT_EQ(fuCloseFile(&fake), -1);
}

TEST_F(BadInput, BuffersAndTextsOnAnOpenHandle) {
    std::string p = makeFile("data.txt", "first\r\nsecond\r\n");
    std::vector<char> name(p.begin(), p.end());
    name.push_back(0);
    LPGTLINEFILE h = fuOpenFile(name.data(), OF_READWRITE);
    ASSERT_NE(h, nullptr);
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
    Guarded small(4);
    fuGotoTopOfFile(h);
    EXPECT_EQ(fuReadFileEx(h, small.get(), 4), 4);
    EXPECT_TRUE(small.intact());
    Guarded name129(129);
    EXPECT_TRUE(fuGetOpenFileName(h, name129.get()));
    EXPECT_TRUE(name129.intact());
    Guarded lines(32);
    fuGotoTopOfFile(h);
    EXPECT_EQ(fuReadNLines(h, 2, lines.get()), 7);
    EXPECT_TRUE(lines.intact());

    // Over-long and empty texts are written as they are.
    fuGotoEndOfFile(h);
    std::string longText(300, 'L');
    EXPECT_EQ(fuWriteFile(h, longText.c_str()), 300);
    EXPECT_EQ(fuWriteFileEx(h, 2, ""), 0);
    EXPECT_EQ(fuGetFileSize(h), 315);
    EXPECT_EQ(fuCloseFile(h), 1);
}

TEST_F(BadInput, ProfileArguments) {
    std::string sub = "Software\\gtapi32 tests\\bad " + std::to_string(GetCurrentProcessId());
    std::string key = "HKEY_CURRENT_USER\\" + sub;
    std::string ini = args_.dir + "bad.ini";
    cleanup_.push_back(ini);
    ZProfile reg(nullptr, const_cast<char*>(key.c_str()));
    ZProfile file(const_cast<char*>(ini.c_str()), nullptr);
    std::string longName(300, 'k');
    std::string dbcs = testutil::ansiFromUtf8("表示");

    for (ZProfile* p : {&reg, &file}) {
        for (Kind k : {Null, Empty, Long, Dbcs}) {
            SCOPED_TRACE(testing::Message() << (p == &reg ? "registry " : "ini ") << kKindName[k]);
            char* arg = k == Null ? nullptr
                        : k == Empty ? const_cast<char*>("")
                        : k == Long  ? const_cast<char*>(longName.c_str())
                                     : const_cast<char*>(dbcs.c_str());
            Guarded buf(300);
            // As section, as key: reads give the default or nothing, and stay inside the buffer.
            p->GetProfileStringA(arg, const_cast<char*>("k"), const_cast<char*>("d"), buf.get(), 16);
            EXPECT_TRUE(buf.intact());
            p->GetProfileStringA(const_cast<char*>("S"), arg, const_cast<char*>("d"), buf.get(), 16);
            EXPECT_TRUE(buf.intact());
            if (k == Null) {
                EXPECT_EQ(p->GetProfileIntA(arg, const_cast<char*>("k"), 11), 11);
                EXPECT_FALSE(p->WriteProfileInt(arg, const_cast<char*>("k"), 1));
            }
            // As a value: written and read back whole, or refused.
            if (k != Null) {
                if (p->WriteProfileStringA(const_cast<char*>("S"), const_cast<char*>("v"), arg)) {
                    Guarded back(400);
                    p->GetProfileStringA(const_cast<char*>("S"), const_cast<char*>("v"), const_cast<char*>("?"),
                                         back.get(), 400);
                    EXPECT_TRUE(back.intact());
                    if (k != Long || p == &reg) EXPECT_STREQ(back.get(), arg);
                }
            }
        }
    }
    // Double-byte names round-trip as sections and keys.
    EXPECT_TRUE(reg.WriteProfileStringA(const_cast<char*>(dbcs.c_str()), const_cast<char*>(dbcs.c_str()),
                                        const_cast<char*>(dbcs.c_str())));
    char out[32] = {};
    EXPECT_STREQ(reg.GetProfileStringA(const_cast<char*>(dbcs.c_str()), const_cast<char*>(dbcs.c_str()),
                                       const_cast<char*>(""), out, sizeof(out)),
                 dbcs.c_str());
    // An over-long registry path: every operation fails cleanly.
    std::string longKey = "HKEY_CURRENT_USER\\" + std::string(300, 'x');
    ZProfile tooLong(nullptr, const_cast<char*>(longKey.c_str()));
    EXPECT_FALSE(tooLong.WriteProfileInt(const_cast<char*>("S"), const_cast<char*>("k"), 1));
    EXPECT_EQ(tooLong.GetProfileIntA(const_cast<char*>("S"), const_cast<char*>("k"), 8), 8);
    RegDeleteTreeA(HKEY_CURRENT_USER, sub.c_str());
}

TEST_F(BadInput, ProfileNamesWithDoubleByteCharacters) {
    // 0x5C as a trail byte is no separator: the sub-key starts after the real one.
    std::string key = testutil::ansiFromUtf8("表\\HKEY_USERS\\x");
    ZProfile p(nullptr, const_cast<char*>(key.c_str()));
    EXPECT_EQ(p.GetMainRegistryKey(), 0x80000003UL);
    EXPECT_STREQ(p.GetSubRegistryKey(), "HKEY_USERS\\x");
    // A copy cut at a length never splits a double-byte character.
    Guarded buf(8);
    std::string twoChars = testutil::ansiFromUtf8("表示");  // 4 bytes
    p.SetProfileName(const_cast<char*>(twoChars.c_str()));
    p.GetProfileName(buf.get(), 3);
    EXPECT_EQ(std::strlen(buf.get()), 2u);
    EXPECT_TRUE(buf.intact());
    char* copy = p.GetProfileName(nullptr, 3);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::strlen(copy), 2u);
    delete[] copy;
    // Over-long names are kept whole.
    std::string longName(300, 'n');
    EXPECT_TRUE(p.SetRegistryKey(const_cast<char*>(longName.c_str())));
    char* whole = p.GetRegistryKey(nullptr, 0);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(std::strlen(whole), 300u);
    delete[] whole;
    EXPECT_EQ(p.GetMainRegistryKey(), 0UL);
}

}  // namespace
