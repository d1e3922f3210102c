// The extended box in the user's language: run under LC_ALL=de_DE.UTF-8 and
// ja_JP.UTF-8 (code page 1252 or 932), the keyword buttons and the library's
// texts come from the German or Japanese tables, and the layout still follows
// the rules with the Japanese template font.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "boxdriver.h"
#include "gtapi32.h"
#include "mbx_layout_check.h"
#include "testutil.h"

using boxdriver::Box;

namespace {

struct Language {
    const char* yes;
    const char* no;
    const char* cancel;
    const char* deleting7;
};

// UTF-8, as the tables have them.
Language expected() {
    if (GetACP() == 932) return {"はい(&Y)", "いいえ(&N)", "キャンセル", "7 ファイルを削除中"};
    return {"&Ja", "&Nein", "Abbrechen", "7 Dateien werden gelöscht"};
}

}  // namespace

TEST(LocalBoxes, RunsInTheExpectedLanguage) {
    const LANGID ui = PRIMARYLANGID(GetUserDefaultUILanguage());
    EXPECT_TRUE(ui == LANG_GERMAN || ui == LANG_JAPANESE) << std::hex << ui;
}

TEST(LocalBoxes, KeywordCaptionsAndLayout) {
    const Language lang = expected();
    GTMBDEF d{};
    d.pszKeywords = const_cast<LPSTR>("GTMB_YES|GTMB_NO|GTMB_CANCEL");
    d.wButtonCount = 3;
    d.wDefaultId = 7;
    d.dwPicture = 1;
    d.wPictureAlign = GTMBALIGN_MIDDLE;
    d.picture.wKind = GTMBPIC_ICON;
    d.picture.dwResource = 2;
    HFONT font = mbxcheck::defaultFont();
    const std::string yes = testutil::ansiFromUtf8(lang.yes), no = testutil::ansiFromUtf8(lang.no),
                      cancel = testutil::ansiFromUtf8(lang.cancel);
    mbxcheck::Expected e;
    Box box;
    int r = boxdriver::drive(
        [&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "?", "Q", &d); },
        [&](const Box& b) {
            mbxcheck::Params p;
            p.font = font;
            p.text = "?";
            p.picture = true;
            p.pw = GetSystemMetrics(SM_CXICON);
            p.ph = GetSystemMetrics(SM_CYICON);
            p.align = GTMBALIGN_MIDDLE;
            p.buttons = 3;
            p.captions = {yes, no, cancel};
            e = mbxcheck::evaluate(b.hwnd, p);
            boxdriver::key(b, VK_ESCAPE);
        },
        &box);
    DeleteObject(font);
    EXPECT_EQ(r, 2);
    ASSERT_EQ(box.buttons.size(), 3u);
    EXPECT_EQ(box.buttons[0].text, yes);
    EXPECT_EQ(box.buttons[1].text, no);
    EXPECT_EQ(box.buttons[2].text, cancel);
    for (size_t i = 0; i < 3; ++i) {
        const RECT& rc = box.buttons[i].rect;
        EXPECT_EQ(rc.left, e.x0 + int(i) * (e.buttonWidth + 20)) << i;
        EXPECT_EQ(rc.top, e.y) << i;
        EXPECT_EQ(rc.right - rc.left, e.buttonWidth) << i;
        EXPECT_EQ(rc.bottom - rc.top, e.buttonHeight) << i;
    }
    EXPECT_EQ(box.window.right - box.window.left, e.width);
    EXPECT_EQ(box.window.bottom - box.window.top, e.height);
}

TEST(LocalBoxes, LibraryTextIdIsTranslated) {
    LPGTMBCONTEXT ctx = gtOpenMessageBoxExtended(nullptr, nullptr, nullptr, 0, 0);
    GTMBDEF d{};
    d.pszKeywords = const_cast<LPSTR>("GTMB_OK");
    d.wButtonCount = 1;
    d.wDefaultId = 1;
    std::string text;
    Box box;
    int r = boxdriver::drive(
        [&] {
            return gtMessageBoxExtended(nullptr, ctx, GetModuleHandleA("gtapi32.dll"), MAKEINTRESOURCEA(28034), nullptr,
                                        &d, "7");
        },
        [&](const Box& b) {
            text = ctx->pszText;
            boxdriver::key(b, VK_RETURN);
        },
        &box);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(text, testutil::ansiFromUtf8(expected().deleting7));
    EXPECT_EQ(box.caption, "Error");
    gtCloseMessageBoxExtended(ctx, 0);
}
