// Status window and string 28034 in the language the locale selects
// (the program runs under German and under Japanese).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "gtapi32.h"
#include "resources/gtapi32_res.h"
#include "testutil.h"

namespace {

std::string expectedDeleting() {
    std::string lc = std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "";
    if (lc.rfind("de", 0) == 0) return testutil::ansiFromUtf8("C: Dateien werden gelöscht");
    if (lc.rfind("ja", 0) == 0) return testutil::ansiFromUtf8("C: ファイルを削除中");
    return "Deleting C: files";
}

}  // namespace

TEST(StatusLanguage, TranslatedDeletionText) {
    HMODULE lib = GetModuleHandleA("gtapi32.dll");
    HWND status = gtPasteStatusMessageEx(nullptr, lib, IDS_GT_DELETINGFILES, "C:");
    ASSERT_NE(status, nullptr);
    char buf[256] = {};
    GetDlgItemTextA(status, IDC_GT_STATUSTEXT, buf, sizeof buf);
    EXPECT_EQ(std::string(buf), expectedDeleting());

    gtChangeStatusMessageEx(status, lib, IDS_GT_DELETINGFILES, "D:");
    GetDlgItemTextA(status, IDC_GT_STATUSTEXT, buf, sizeof buf);
    std::string d = expectedDeleting();
    d[d.find("C:")] = 'D';
    EXPECT_EQ(std::string(buf), d);
    gtPeelStatusMessage(status);

    char text[256] = {};
    EXPECT_EQ(stReadString(lib, IDS_GT_DELETINGFILES, text, sizeof text, "C:"), text);
    EXPECT_EQ(std::string(text), expectedDeleting());
}
