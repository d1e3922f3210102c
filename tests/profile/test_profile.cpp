// ZProfile through the DLL's class exports, on Wine's real registry (checked
// from outside with reg.exe) and real INI files.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "ZProfile.h"
#include "testutil.h"

namespace {

// Runs a command line and returns what it printed.
std::string runCapture(const std::string& commandLine) {
    std::string out;
    if (FILE* f = _popen((commandLine + " 2>&1").c_str(), "r")) {
        char buf[512];
        while (size_t n = std::fread(buf, 1, sizeof buf, f)) out.append(buf, n);
        _pclose(f);
    }
    return out;
}

bool keyExists(HKEY root, const std::string& path) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

class Profile : public ::testing::Test {
protected:
    void SetUp() override {
        sub_ = "Software\\gtapi32 tests\\profile " + std::to_string(GetCurrentProcessId());
        key_ = "HKEY_CURRENT_USER\\" + sub_;
        dir_ = testutil::freshTempDir("profile");
        ini_ = dir_ + "settings.ini";
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, sub_.c_str());
        DeleteFileA(ini_.c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    static char* s(const std::string& text) { return const_cast<char*>(text.c_str()); }
    static char* s(const char* text) { return const_cast<char*>(text); }

    std::string sub_, key_, dir_, ini_;
};

TEST_F(Profile, RegistryValuesSeenFromOutside) {
    ZProfile p(nullptr, s(key_));
    ASSERT_TRUE(p.IsObjectValid());
    EXPECT_EQ(p.GetMainRegistryKey(), 0x80000001UL);
    EXPECT_STREQ(p.GetSubRegistryKey(), sub_.c_str());

    EXPECT_TRUE(p.WriteProfileStringA(s("Window"), s("Title"), s("Hello world")));
    EXPECT_TRUE(p.WriteProfileInt(s("Window"), s("Width"), 640));
    EXPECT_TRUE(p.WriteProfileInt(s("Window"), s("Offset"), -12));

    char buf[64] = {};
    EXPECT_EQ(p.GetProfileStringA(s("Window"), s("Title"), s("dflt"), buf, sizeof(buf)), buf);
    EXPECT_STREQ(buf, "Hello world");
    EXPECT_EQ(p.GetProfileIntA(s("Window"), s("Width"), 7), 640);
    EXPECT_EQ(p.GetProfileIntA(s("Window"), s("Offset"), 7), -12);

    // reg.exe, another program, sees the section key and the typed values.
    std::string q = runCapture("reg.exe query \"HKCU\\" + sub_ + "\\Window\"");
    EXPECT_NE(q.find("Title"), std::string::npos) << q;
    EXPECT_NE(q.find("REG_SZ"), std::string::npos) << q;
    EXPECT_NE(q.find("Hello world"), std::string::npos) << q;
    EXPECT_NE(q.find("REG_DWORD"), std::string::npos) << q;
    EXPECT_NE(q.find("0x280"), std::string::npos) << q;

    // Types are kept apart: a DWORD read as a string, a string read as a number.
    EXPECT_STREQ(p.GetProfileStringA(s("Window"), s("Width"), s("dflt"), buf, sizeof(buf)), "dflt");
    EXPECT_EQ(p.GetProfileIntA(s("Window"), s("Title"), 99), 99);
    // A value longer than the buffer gives the default.
    char small[6];
    EXPECT_STREQ(p.GetProfileStringA(s("Window"), s("Title"), s("no"), small, sizeof(small)), "no");

    // Null value removes the value, null key the whole section.
    EXPECT_TRUE(p.WriteProfileStringA(s("Window"), s("Title"), nullptr));
    EXPECT_STREQ(p.GetProfileStringA(s("Window"), s("Title"), s("gone"), buf, sizeof(buf)), "gone");
    EXPECT_TRUE(p.WriteProfileStringA(s("Window"), nullptr, nullptr));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, sub_ + "\\Window"));
    q = runCapture("reg.exe query \"HKCU\\" + sub_ + "\\Window\"");
    EXPECT_EQ(q.find("Hello world"), std::string::npos) << q;

    EXPECT_TRUE(p.WriteProfileInt(s("Other"), s("n"), 1));
    EXPECT_TRUE(p.WriteProfileInt(s("Other"), nullptr, 0));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, sub_ + "\\Other"));
    // An empty section name would name the store's own key: refused.
    EXPECT_FALSE(p.WriteProfileStringA(s(""), nullptr, nullptr));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, sub_));
}

TEST_F(Profile, ReadingCreatesMissingKeysAndSectionsMaySitUnderTheRoot) {
    ZProfile p(nullptr, s(key_));
    ASSERT_FALSE(keyExists(HKEY_CURRENT_USER, sub_));
    char buf[32] = "untouched";
    EXPECT_STREQ(p.GetProfileStringA(s("Fresh"), s("x"), s("d"), buf, sizeof(buf)), "d");
    EXPECT_EQ(p.GetProfileIntA(s("Fresh2"), s("x"), 5), 5);
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, sub_ + "\\Fresh") && keyExists(HKEY_CURRENT_USER, sub_ + "\\Fresh2"));

    ZProfile root(nullptr, s("HKEY_CURRENT_USER"));
    std::string section = "gtapi32 root section " + std::to_string(GetCurrentProcessId());
    EXPECT_TRUE(root.WriteProfileInt(s(section), s("v"), 42));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, section));
    EXPECT_EQ(root.GetProfileIntA(s(section), s("v"), 0), 42);
    EXPECT_TRUE(root.WriteProfileStringA(s(section), nullptr, nullptr));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, section));
}

TEST_F(Profile, RootNameSearch) {
    // Found anywhere in the string, in the order of the search (not of the string); "?": sub-key not checked.
    const std::pair<const char*, const char*> subs[] = {
        {"HKEY_LOCAL_MACHINE", "(none)"}, {"Software\\HKEY_USERS\\x", "HKEY_USERS\\x"},
        {"HKEY_CURRENT_USER\\HKEY_CLASSES_ROOT", "?"}, {"HKEY_CURRENT_CONFIG\\a", "?"}, {"HKEY_DYN_DATA\\a", "?"},
        {"HKEY_PERFORMANCE_DATA\\a", "?"}};
    const unsigned long roots[] = {0x80000002UL, 0x80000003UL, 0x80000000UL, 0x80000005UL, 0x80000006UL, 0UL};
    for (int i = 0; i < 6; ++i) {
        ZProfile p(nullptr, s(subs[i].first));
        EXPECT_EQ(p.GetMainRegistryKey(), roots[i]) << subs[i].first;
        const char* sub = p.GetSubRegistryKey();
        if (std::strcmp(subs[i].second, "?") != 0) {
            EXPECT_STREQ(sub ? sub : "(none)", subs[i].second);
        }
    }

    // No known root: registry operations fail, reads leave the buffer.
    ZProfile unknown(nullptr, s("HKCU\\Software\\x"));
    EXPECT_EQ(unknown.GetMainRegistryKey(), 0UL);
    EXPECT_FALSE(unknown.WriteProfileStringA(s("a"), s("b"), s("c")));
    char buf[16] = "untouched";
    EXPECT_STREQ(unknown.GetProfileStringA(s("a"), s("b"), s("d"), buf, sizeof(buf)), "untouched");
    EXPECT_EQ(unknown.GetProfileIntA(s("a"), s("b"), 3), 3);

    // Setting and clearing the key re-derives the root.
    EXPECT_TRUE(unknown.SetRegistryKey(s("HKEY_CLASSES_ROOT\\y")));
    EXPECT_EQ(unknown.GetMainRegistryKey(), 0x80000000UL);
    EXPECT_TRUE(unknown.SetRegistryKey(nullptr));
    EXPECT_EQ(unknown.GetMainRegistryKey(), 0UL);
    EXPECT_EQ(unknown.GetSubRegistryKey(), nullptr);
    // A key taken from the store's own string.
    ZProfile self(nullptr, s("HKEY_CURRENT_USER\\Software\\HKEY_USERS\\z"));
    EXPECT_TRUE(self.SetRegistryKey(self.GetSubRegistryKey()));
    EXPECT_EQ(self.GetMainRegistryKey(), 0x80000003UL);
    EXPECT_STREQ(self.GetSubRegistryKey(), "HKEY_USERS\\z");
}

TEST_F(Profile, IniFile) {
    ZProfile p(s(ini_), nullptr);
    EXPECT_TRUE(p.WriteProfileStringA(s("Paths"), s("Home"), s("C:\\Vantil")));
    EXPECT_TRUE(p.WriteProfileInt(s("Paths"), s("Count"), -3));
    char buf[300];
    EXPECT_STREQ(p.GetProfileStringA(s("Paths"), s("Home"), s(""), buf, sizeof(buf)), "C:\\Vantil");
    EXPECT_EQ(p.GetProfileIntA(s("Paths"), s("Count"), 0), -3);
    EXPECT_STREQ(p.GetProfileStringA(s("Paths"), s("None"), s("dflt"), buf, sizeof(buf)), "dflt");
    // The file holds plain text as the private-profile functions write it.
    char raw[64] = {};
    GetPrivateProfileStringA("Paths", "Count", "", raw, sizeof(raw), ini_.c_str());
    EXPECT_STREQ(raw, "-3");

    // Reads stop at 255 bytes with the terminator, whatever the buffer.
    std::string longValue(300, 'v');
    EXPECT_TRUE(p.WriteProfileStringA(s("Paths"), s("Long"), s(longValue)));
    std::memset(buf, 0x55, sizeof(buf));
    p.GetProfileStringA(s("Paths"), s("Long"), s(""), buf, sizeof(buf));
    EXPECT_EQ(std::strlen(buf), 254u);
    // ... and never past a smaller buffer than that.
    char small[12];
    std::memset(small, 0x55, sizeof(small));
    p.GetProfileStringA(s("Paths"), s("Long"), s(""), small, 8);
    EXPECT_EQ(std::strlen(small), 7u);
    EXPECT_EQ(small[8], 0x55);

    EXPECT_TRUE(p.WriteProfileStringA(s("Paths"), s("Home"), nullptr));
    EXPECT_STREQ(p.GetProfileStringA(s("Paths"), s("Home"), s("x"), buf, sizeof(buf)), "x");
    EXPECT_TRUE(p.WriteProfileStringA(s("Paths"), nullptr, nullptr));
    EXPECT_EQ(p.GetProfileIntA(s("Paths"), s("Count"), 9), 9);
}

TEST_F(Profile, ExplicitMedium) {
    ZProfile p(s(ini_), s(key_));
    EXPECT_TRUE(p.WriteProfileStringA(ZProfile::MEDIUM_INI, s("S"), s("k"), s("ini")));
    EXPECT_TRUE(p.WriteProfileStringA(s("S"), s("k"), s("reg")));  // registry wins without a medium
    char buf[64];
    EXPECT_STREQ(p.GetProfileStringA(ZProfile::MEDIUM_INI, s("S"), s("k"), s(""), buf, sizeof(buf)), "ini");
    EXPECT_STREQ(p.GetProfileStringA(ZProfile::MEDIUM_REGISTRY, s("S"), s("k"), s(""), buf, sizeof(buf)), "reg");
    EXPECT_TRUE(p.WriteProfileInt(ZProfile::MEDIUM_INI, s("S"), s("n"), 17));
    EXPECT_EQ(p.GetProfileIntA(ZProfile::MEDIUM_INI, s("S"), s("n"), 0), 17);
    EXPECT_EQ(p.GetProfileIntA(ZProfile::MEDIUM_REGISTRY, s("S"), s("n"), 4), 4);

    // Any other medium does nothing.
    std::strcpy(buf, "untouched");
    EXPECT_STREQ(p.GetProfileStringA(2, s("S"), s("k"), s("d"), buf, sizeof(buf)), "untouched");
    EXPECT_FALSE(p.WriteProfileStringA(2, s("S"), s("k"), s("v")));
    EXPECT_FALSE(p.WriteProfileInt(-1, s("S"), s("k"), 1));
    EXPECT_EQ(p.GetProfileIntA(7, s("S"), s("k"), 5), 5);

    // The INI medium of a store without an INI file must not reach WIN.INI.
    ZProfile regOnly(nullptr, s(key_));
    EXPECT_FALSE(regOnly.WriteProfileStringA(ZProfile::MEDIUM_INI, s("gtapi32 test"), s("k"), s("v")));
    char win[16] = {};
    GetProfileStringA("gtapi32 test", "k", "", win, sizeof(win));
    EXPECT_STREQ(win, "");
}

TEST_F(Profile, EmptyStoreAndNewStrings) {
    ZProfile empty;
    EXPECT_TRUE(empty.IsObjectValid());
    EXPECT_EQ(empty.GetProfileIntA(s("a"), s("b"), 123), -1);
    EXPECT_FALSE(empty.WriteProfileStringA(s("a"), s("b"), s("c")));
    EXPECT_FALSE(empty.WriteProfileInt(s("a"), s("b"), 1));
    char buf[8] = "keep";
    EXPECT_EQ(empty.GetProfileStringA(s("a"), s("b"), s("d"), buf, sizeof(buf)), buf);
    EXPECT_STREQ(buf, "keep");
    EXPECT_EQ(empty.GetRegistryKey(buf, 0), buf);
    EXPECT_EQ(empty.GetProfileName(nullptr, 0), nullptr);

    ZProfile p(nullptr, s(key_));
    // No buffer: a new 256-byte string from the default, filled by the read.
    p.WriteProfileStringA(s("N"), s("k"), s("value"));
    char* fresh = p.GetProfileStringA(s("N"), s("k"), s("default"), nullptr, 100);
    ASSERT_NE(fresh, nullptr);
    EXPECT_STREQ(fresh, "value");
    delete[] fresh;
    fresh = p.GetProfileStringA(s("N"), s("missing"), s("default"), nullptr, 100);
    ASSERT_NE(fresh, nullptr);
    EXPECT_STREQ(fresh, "default");
    delete[] fresh;
    EXPECT_EQ(p.GetProfileStringA(s("N"), s("k"), nullptr, nullptr, 100), nullptr);
    EXPECT_EQ(p.GetProfileStringA(s("N"), s("k"), s("d"), buf, 0), nullptr);
    // Null section or key: the buffer as it was.
    std::strcpy(buf, "same");
    EXPECT_STREQ(p.GetProfileStringA(nullptr, s("k"), s("d"), buf, sizeof(buf)), "same");

    char part[8];
    EXPECT_STREQ(p.GetRegistryKey(part, 4), "HKEY");
    char* whole = p.GetRegistryKey(nullptr, 0);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole, key_);
    delete[] whole;
}

TEST_F(Profile, CopiesOwnTheirStrings) {
    auto* original = new ZProfile(s(ini_), s(key_));
    ZProfile copy(*original);
    EXPECT_NE(copy.GetSubRegistryKey(), original->GetSubRegistryKey());
    EXPECT_STREQ(copy.GetSubRegistryKey(), sub_.c_str());
    ZProfile assigned;
    assigned = *original;
    assigned = assigned;
    EXPECT_NE(assigned.GetSubRegistryKey(), original->GetSubRegistryKey());
    EXPECT_EQ(assigned.GetMainRegistryKey(), 0x80000001UL);
    original->SetRegistryKey(s("HKEY_USERS\\elsewhere"));
    delete original;
    // Both keep working after the original has gone.
    EXPECT_TRUE(copy.WriteProfileInt(s("C"), s("n"), 1));
    EXPECT_EQ(assigned.GetProfileIntA(s("C"), s("n"), 0), 1);
    char name[MAX_PATH];
    EXPECT_EQ(std::string(assigned.GetProfileName(name, 0)), ini_);
}

}  // namespace
