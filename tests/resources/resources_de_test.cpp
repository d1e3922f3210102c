// Under a German user the platform's lookups pick the German strings, and
// the dialog templates (English and Japanese only) fall back to English.
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

TEST(ResourcesGerman, LoadStringGivesGerman) {
    ASSERT_NE(restest::library(), nullptr);
    EXPECT_EQ(GetACP(), 1252u);
    EXPECT_EQ(loadA(IDS_GT_CANCEL), "Abbrechen");
    EXPECT_EQ(loadA(IDS_GT_STOP), "&Stopp");
    EXPECT_EQ(loadA(IDS_GT_DELETINGFILES), "%s Dateien werden gel\xf6scht");
    EXPECT_EQ(loadA(IDS_GT_ACCESSORIES), "Zubeh\xf6r");
}

TEST(ResourcesGerman, TemplatesFallBackToEnglish) {
    for (WORD id : {IDD_GT_MSGBOX, IDD_GT_STATUS}) {
        SCOPED_TRACE(id);
        HRSRC info = FindResourceW(restest::library(), MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_DIALOG));
        ASSERT_NE(info, nullptr);
        HGLOBAL res = LoadResource(restest::library(), info);
        restest::Dialog d = restest::parseDialog(static_cast<const BYTE*>(LockResource(res)),
                                                 SizeofResource(restest::library(), info));
        EXPECT_EQ(d.font, L"MS Sans Serif");
        EXPECT_EQ(d.pointSize, 8);
    }
}

}  // namespace
