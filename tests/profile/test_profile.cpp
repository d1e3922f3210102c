// ZProfile on Wine's real registry (checked with reg.exe) and a real INI file.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "ZProfile.h"
#include "testutil.h"

char* s(const std::string& text) { return const_cast<char*>(text.c_str()); }
const std::string g_sub = "Software\\gtapi32 tests\\profile " + std::to_string(GetCurrentProcessId()),
                  g_key = "HKEY_CURRENT_USER\\" + g_sub, g_ini = testutil::freshTempDir("profile") + "p.ini";

bool keyExists(const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

TEST(Profile, RegistrySeenFromOutside) {
    ZProfile p(nullptr, s(g_key));
    EXPECT_EQ(p.GetMainRegistryKey(), static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(HKEY_CURRENT_USER)));
    EXPECT_TRUE(p.WriteProfileStringA(s("Window"), s("Title"), s("Hello world")));
    EXPECT_TRUE(p.WriteProfileInt(s("Window"), s("Width"), 640));
    std::string q;
    if (FILE* f = _popen(("reg.exe query \"HKCU\\" + g_sub + "\\Window\" 2>&1").c_str(), "r")) {
        char buf[512];
        while (size_t n = std::fread(buf, 1, sizeof buf, f)) q.append(buf, n);
        _pclose(f);
    }
    for (const char* want : {"Title", "REG_SZ", "Hello world", "REG_DWORD", "0x280"}) EXPECT_NE(q.find(want), std::string::npos) << q;
    char buf[64], small[6];
    EXPECT_STREQ(p.GetProfileStringA(s("Window"), s("Width"), s("d"), buf, sizeof buf), "d");  // types kept apart
    EXPECT_EQ(p.GetProfileIntA(s("Window"), s("Title"), 99), 99);
    EXPECT_STREQ(p.GetProfileStringA(s("Window"), s("Title"), s("no"), small, sizeof small), "no");  // too long
    EXPECT_TRUE(p.WriteProfileStringA(s("Window"), nullptr, nullptr));
    EXPECT_FALSE(p.WriteProfileStringA(s(""), nullptr, nullptr));  // would name the store's own key
    EXPECT_FALSE(keyExists(g_sub + "\\Window")) << "case the section is gone";
    EXPECT_TRUE(keyExists(g_sub)) << "case the store's key stays";
    EXPECT_FALSE(ZProfile(nullptr, s("HKCU\\Software\\x")).WriteProfileInt(s("a"), s("b"), 1));  // no known root
    RegDeleteTreeA(HKEY_CURRENT_USER, g_sub.c_str());
}

TEST(Profile, IniFileAndCopies) {
    auto* p = new ZProfile(s(g_ini), s(g_key));
    EXPECT_TRUE(p->WriteProfileStringA(ZProfile::MEDIUM_INI, s("P"), s("Long"), s(std::string(300, 'v'))));
    EXPECT_TRUE(p->WriteProfileInt(ZProfile::MEDIUM_INI, s("P"), s("n"), -3));
    EXPECT_TRUE(p->WriteProfileInt(s("P"), s("n"), 5));  // registry without a medium
    char buf[300], small[12];
    EXPECT_EQ(GetPrivateProfileIntA("P", "n", 0, g_ini.c_str()), -3);
    EXPECT_EQ(p->GetProfileIntA(ZProfile::MEDIUM_INI, s("P"), s("n"), 0), -3);
    EXPECT_EQ(p->GetProfileIntA(ZProfile::MEDIUM_REGISTRY, s("P"), s("n"), 0), 5);
    std::memset(small, 0x55, sizeof small);
    p->GetProfileStringA(ZProfile::MEDIUM_INI, s("P"), s("Long"), s(""), buf, sizeof buf);
    p->GetProfileStringA(ZProfile::MEDIUM_INI, s("P"), s("Long"), s(""), small, 8);
    EXPECT_EQ(std::strlen(buf), 254u);  // 255 bytes at most, whatever the buffer
    EXPECT_EQ(std::strlen(small), 7u);
    EXPECT_EQ(small[8], 0x55) << "case the byte past the buffer";
    ZProfile copy(*p), assigned;  // copies own their strings and outlive the original
    assigned = *p;
    assigned = *&assigned;  // self-assignment keeps its strings
    EXPECT_NE(copy.GetSubRegistryKey(), p->GetSubRegistryKey());
    EXPECT_NE(assigned.GetSubRegistryKey(), p->GetSubRegistryKey());
    p->SetRegistryKey(s("HKEY_USERS\\elsewhere"));
    delete p;
    EXPECT_STREQ(copy.GetSubRegistryKey(), g_sub.c_str());
    EXPECT_TRUE(copy.WriteProfileInt(s("C"), s("n"), 1));
    EXPECT_EQ(assigned.GetProfileIntA(s("C"), s("n"), 0), 1);
    EXPECT_EQ(std::string(assigned.GetProfileName(buf, 0)), g_ini);
    RegDeleteTreeA(HKEY_CURRENT_USER, g_sub.c_str());
    DeleteFileA(g_ini.c_str());
}
