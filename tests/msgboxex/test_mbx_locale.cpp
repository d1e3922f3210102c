// The extended box under LC_ALL=de_DE.UTF-8 and ja_JP.UTF-8 (code page 1252
// or 932): keyword buttons and the library's texts come from the German or
// Japanese tables, and the layout still follows the rules.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "gtapi32.h"
#include "mbx_layout_check.h"
#include "testutil.h"

using namespace mbxcheck;

namespace {
// Yes, No, Cancel, string 28034 with "7"; UTF-8 as the tables have them.
std::vector<std::string> expected() {
    std::vector<std::string> v = GetACP() == 932
        ? std::vector<std::string>{"はい(&Y)", "いいえ(&N)", "キャンセル", "7 ファイルを削除中"}
        : std::vector<std::string>{"&Ja", "&Nein", "Abbrechen", "7 Dateien werden gelöscht"};
    for (std::string& s : v) s = testutil::ansiFromUtf8(s.c_str());
    return v;
}
}  // namespace

TEST(LocalBoxes, KeywordCaptionsAndLayout) {
    const LANGID ui = PRIMARYLANGID(GetUserDefaultUILanguage());
    EXPECT_TRUE(ui == LANG_GERMAN || ui == LANG_JAPANESE) << std::hex << ui;
    const std::vector<std::string> lang = expected();
    GTMBDEF d = def("GTMB_YES|GTMB_NO|GTMB_CANCEL", 3, 7, GTMBALIGN_MIDDLE);
    HFONT font = defaultFont();
    Shown s = show([&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "?", "Q", &d); },
                   params(font, "?", {lang[0], lang[1], lang[2]}, GTMBALIGN_MIDDLE), key(VK_ESCAPE));
    DeleteObject(font);
    EXPECT_EQ(s.result, 2);
    s.expectLayout({7, 8, 2}, 7);
    for (size_t i = 0; i < 3 && i < s.box.buttons.size(); ++i) EXPECT_EQ(s.box.buttons[i].text, lang[i]);
}

TEST(LocalBoxes, LibraryTextIdIsTranslated) {
    LPGTMBCONTEXT ctx = gtOpenMessageBoxExtended(nullptr, nullptr, nullptr, 0, 0);
    GTMBDEF d = def("GTMB_OK", 1, 1);
    std::string text;
    Shown s = show([&] { return gtMessageBoxExtended(nullptr, ctx, GetModuleHandleA("gtapi32.dll"), MAKEINTRESOURCEA(28034),
                                                     nullptr, &d, "7"); },
                   {}, [&](const boxdriver::Box& b) {
                       text = ctx->pszText;
                       boxdriver::key(b, VK_RETURN);
                   });
    EXPECT_EQ(s.result, 1);
    EXPECT_EQ(text, expected()[3]);
    EXPECT_EQ(s.box.caption, "Error");
    gtCloseMessageBoxExtended(ctx, 0);
}
