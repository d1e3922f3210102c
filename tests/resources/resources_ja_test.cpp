// Under a Japanese user (code page 932) the platform's lookups pick the
// Japanese tables and templates, and LoadStringA hands out Shift-JIS.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "restest.h"

namespace {

std::string loadA(UINT id) {
    char buf[256] = {};
    int n = LoadStringA(restest::library(), id, buf, sizeof(buf));
    return std::string(buf, n > 0 ? n : 0);
}

TEST(ResourcesJapanese, CodePageIs932) {
    EXPECT_EQ(GetACP(), 932u);
    ASSERT_NE(restest::library(), nullptr);
}

TEST(ResourcesJapanese, LoadStringGivesShiftJis) {
    // キャンセル
    EXPECT_EQ(loadA(IDS_GT_CANCEL), "\x83\x4c\x83\x83\x83\x93\x83\x5a\x83\x8b");
    // はい(&Y)
    EXPECT_EQ(loadA(IDS_GT_YES), "\x82\xcd\x82\xa2(&Y)");
    // %s ファイルを削除中
    EXPECT_EQ(loadA(IDS_GT_DELETINGFILES),
              "%s \x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8d\xed\x8f\x9c\x92\x86");
}

TEST(ResourcesJapanese, DefaultLookupPicksJapaneseTemplates) {
    for (WORD id : {IDD_GT_MSGBOX, IDD_GT_STATUS}) {
        SCOPED_TRACE(id);
        HRSRC info = FindResourceW(restest::library(), MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_DIALOG));
        ASSERT_NE(info, nullptr);
        HGLOBAL res = LoadResource(restest::library(), info);
        restest::Dialog d = restest::parseDialog(static_cast<const BYTE*>(LockResource(res)),
                                                 SizeofResource(restest::library(), info));
        EXPECT_EQ(d.font, restest::wide("ＭＳ ゴシック"));
        EXPECT_EQ(d.pointSize, 9);
    }
}

}  // namespace
