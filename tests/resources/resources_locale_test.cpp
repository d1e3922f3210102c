// Under a Japanese (code page 932) or German user, LoadStringA picks that language's table.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>
#include "../../resources/gtapi32_res.h"

TEST(ResourcesLocale, LoadStringAGivesTheUsersLanguage) {
    const char* lc = getenv("LC_ALL");
    bool ja = lc && std::strncmp(lc, "ja", 2) == 0;
    HMODULE lib = LoadLibraryExA("gtapi32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(GetACP(), ja ? 932u : 1252u);
    char buf[64] = {};
    int n = LoadStringA(lib, IDS_GT_CANCEL, buf, sizeof buf);
    EXPECT_EQ(std::string(buf, n > 0 ? n : 0), ja ? "\x83\x4c\x83\x83\x83\x93\x83\x5a\x83\x8b" : "Abbrechen");
}
