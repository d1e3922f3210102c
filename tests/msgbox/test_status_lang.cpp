// String 28034 in the locale's language (German or Japanese).
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdlib>
#include <string>
#include "gtapi32.h"
#include "resources/gtapi32_res.h"
#include "testutil.h"

TEST(StatusLanguage, TranslatedDeletionText) {
    const bool de = std::string(std::getenv("LC_ALL")).rfind("de", 0) == 0;
    const std::string want = testutil::ansiFromUtf8(de ? "C: Dateien werden gelöscht" : "C: ファイルを削除中");
    HMODULE lib = GetModuleHandleA("gtapi32.dll");
    HWND status = gtPasteStatusMessageEx(nullptr, lib, IDS_GT_DELETINGFILES, "C:");
    ASSERT_NE(status, nullptr);
    char buf[256] = {};
    GetDlgItemTextA(status, IDC_GT_STATUSTEXT, buf, sizeof buf);
    gtPeelStatusMessage(status);
    EXPECT_EQ(std::string(buf), want);
    EXPECT_EQ(std::string(stReadString(lib, IDS_GT_DELETINGFILES, buf, sizeof buf, "C:")), want);
}
