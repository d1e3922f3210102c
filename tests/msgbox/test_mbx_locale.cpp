// Under LC_ALL=de_DE.UTF-8 / ja_JP.UTF-8 keyword captions and library texts are translated.
#include <gtest/gtest.h>
#include <windows.h>

#include "mbxbox.h"
#include "testutil.h"

using namespace mbxbox;

TEST(LocalBoxes, CaptionsAndTextAreTranslated) {
    std::vector<std::string> want = GetACP() == 932
        ? std::vector<std::string>{"はい(&Y)", "いいえ(&N)", "キャンセル", "7 ファイルを削除中"}
        : std::vector<std::string>{"&Ja", "&Nein", "Abbrechen", "7 Dateien werden gelöscht"};
    for (std::string& s : want) s = testutil::ansiFromUtf8(s.c_str());
    LPGTMBCONTEXT ctx = gtOpenMessageBoxExtended(nullptr, nullptr, nullptr, 0, 0);
    GTMBDEF d = def("GTMB_YES|GTMB_NO|GTMB_CANCEL", 3, 7);
    std::string text;
    Box box;
    int r = drive([&] { return gtMessageBoxExtended(nullptr, ctx, GetModuleHandleA("gtapi32.dll"), MAKEINTRESOURCEA(28034), nullptr, &d, "7"); },
                  [&](const Box& b) { text = ctx->pszText, key(b, VK_ESCAPE); }, &box);
    EXPECT_EQ(r, 2);
    EXPECT_EQ(text, want[3]);
    EXPECT_EQ(box.caption, "Error");
    ASSERT_EQ(box.buttons.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(box.buttons[i].text, want[i]) << "button " << i;
    gtCloseMessageBoxExtended(ctx, 0);
}
