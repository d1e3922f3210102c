// Message texts under code page 932: double-byte characters stay whole.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>
#include "gtapi32.h"
#include "msgbox/text.h"
#include "testutil.h"
using testutil::ansiFromUtf8;
static LPCSTR CALLBACK kanji(int n, DWORD, DWORD) { return n == 1 ? "\x95\x5c\x8e\xa6" : nullptr; }  // "表示"

TEST(MessageTextDbcs, PlaceholdersAndCuts) {
    ASSERT_EQ(GetACP(), 932u);
    char buf[64] = {};  // 0x955C ("表") has '\' as its trail byte; 0x8341 ("ア") has 'A'
    std::strcpy(buf, ansiFromUtf8("表%1ア%%表").c_str());
    stFormatString(buf, 0, kanji, 0);
    EXPECT_EQ(std::string(buf), ansiFromUtf8("表表示ア%表"));
    const std::string text = ansiFromUtf8("ア表示表");  // 8 bytes
    std::strcpy(buf, text.c_str());
    gt::msg::expand(buf, 6, 0, nullptr, 0);  // room for 5 bytes: two characters
    EXPECT_EQ(std::string(buf), ansiFromUtf8("ア表"));
    char* t = stReadString(GetModuleHandleA(nullptr), 104, nullptr, 0, text.c_str());
    ASSERT_NE(t, nullptr);  // "漢字%s字": 8 bytes of text
    EXPECT_EQ(std::string(t), ansiFromUtf8("漢字ア表"));
    stUnReadString(t);
}
