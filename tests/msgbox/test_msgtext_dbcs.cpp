// Message texts under code page 932: double-byte characters stay whole.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "gtapi32.h"
#include "msgbox/text.h"
#include "msgtext_ids.h"
#include "testutil.h"

namespace {

LPCSTR CALLBACK kanjiProc(int number, DWORD, DWORD) {
    static std::string s = testutil::ansiFromUtf8("表示");
    return number == 1 ? s.c_str() : nullptr;
}

}  // namespace

TEST(MessageTextDbcs, PlaceholdersBetweenDoubleByteText) {
    ASSERT_EQ(GetACP(), 932u);
    // 0x955C ("表") has '\' as its trail byte; 0x8341 has 'A'.
    std::string text = testutil::ansiFromUtf8("表%1ア%%表");
    char buf[64] = {};
    std::strcpy(buf, text.c_str());
    stFormatString(buf, 0, kanjiProc, 0);
    EXPECT_EQ(std::string(buf), testutil::ansiFromUtf8("表表示ア%表"));
}

TEST(MessageTextDbcs, CutsNeverSplitACharacter) {
    std::string text = testutil::ansiFromUtf8("ア表示表");  // 8 bytes
    char buf[16];
    std::memset(buf, '#', sizeof buf);
    std::strcpy(buf, text.c_str());
    gt::msg::expand(buf, 6, 0, nullptr, 0);  // room for 5 bytes: two characters
    EXPECT_EQ(std::string(buf), testutil::ansiFromUtf8("ア表"));

    char* t = stReadString(GetModuleHandleA(nullptr), IDS_T_JAPANESE, nullptr, 0, text.c_str());
    ASSERT_NE(t, nullptr);  // "漢字%s字": L = 8, so 8 bytes of text
    EXPECT_EQ(std::string(t), testutil::ansiFromUtf8("漢字ア表"));
    stUnReadString(t);
}
