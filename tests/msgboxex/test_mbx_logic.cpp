// Keyword parsing and layout arithmetic of the extended message box.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "gtapi32.h"
#include "msgbox/mbxlogic.h"

using namespace gt::mbx;

namespace {

struct Parsed {
    LPGTMBBUTTON buttons;
    explicit Parsed(const char* list, WORD n) : buttons(buildKeywordButtons(list, n)) {}
    ~Parsed() {
        if (buttons) gtGlobalFreePtr(buttons);
    }
    WORD captionId(int i) const {
        WORD id;
        std::memcpy(&id, buttons[i].szText, 2);
        return id;
    }
};

}  // namespace

TEST(Keywords, TableHasThirtyOneRowsInIdOrder) {
    int rows = 0;
    for (; *kKeywords[rows].keyword; ++rows) {
        EXPECT_EQ(kKeywords[rows].id, rows + 1);
        EXPECT_EQ(kKeywords[rows].stringId, 28001 + rows);
    }
    EXPECT_EQ(rows, 31);
    EXPECT_STREQ(kKeywords[30].keyword, "GTMB_STOP");
}

TEST(Keywords, YesNoInOrderWithCaptionIds) {
    Parsed p("GTMB_YES|GTMB_NO", 2);
    ASSERT_TRUE(p.buttons);
    EXPECT_EQ(p.buttons[0].wId, 7);
    EXPECT_EQ(p.buttons[0].dwKind, 1u);
    EXPECT_EQ(p.captionId(0), 28007);
    EXPECT_EQ(p.buttons[1].wId, 8);
    EXPECT_EQ(p.captionId(1), 28008);
}

TEST(Keywords, BlanksTabsAndStrangersAroundKeywords) {
    Parsed blanks(" GTMB_OK | \tGTMB_CANCEL  ", 2);
    ASSERT_TRUE(blanks.buttons);
    EXPECT_EQ(blanks.buttons[0].wId, 1);
    EXPECT_EQ(blanks.buttons[1].wId, 2);
    Parsed stranger("FOO|GTMB_OK", 1);
    ASSERT_TRUE(stranger.buttons);
    EXPECT_EQ(stranger.buttons[0].wId, 1);
    // Case matters; a keyword inside other text still counts.
    Parsed lower("gtmb_ok|xxGTMB_HELPxx", 1);
    ASSERT_TRUE(lower.buttons);
    EXPECT_EQ(lower.buttons[0].wId, 14);
}

TEST(Keywords, CountDecidesHowManyEntries) {
    Parsed more("GTMB_ABORT|GTMB_RETRY|GTMB_IGNORE", 2);
    ASSERT_TRUE(more.buttons);
    EXPECT_EQ(more.buttons[0].wId, 3);
    EXPECT_EQ(more.buttons[1].wId, 4);
    Parsed fewer("GTMB_OK", 3);
    ASSERT_TRUE(fewer.buttons);
    EXPECT_EQ(fewer.buttons[0].wId, 1);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(fewer.buttons[i].wId, 0);
        EXPECT_EQ(fewer.buttons[i].dwKind, 0u);
        EXPECT_EQ(fewer.buttons[i].szText[0], 0);
    }
}

TEST(Keywords, NothingRecognisedGivesNoArray) {
    EXPECT_EQ(Parsed("FOO|BAR", 2).buttons, nullptr);
    EXPECT_EQ(Parsed("", 2).buttons, nullptr);
    EXPECT_EQ(Parsed(nullptr, 2).buttons, nullptr);
    EXPECT_EQ(Parsed("GTMB_OK", 0).buttons, nullptr);
}

TEST(Keywords, LongerKeywordsThatExtendAnEarlierOneAreReached) {
    struct {
        const char* token;
        WORD id;
    } cases[] = {
        {"GTMB_NOACTION", 17},    {"GTMB_BACKUPCURR", 18},  {"GTMB_BACKUPPREV", 19}, {"GTMB_RESTORECURR", 20},
        {"GTMB_RESTOREPREV", 21}, {"GTMB_NO", 8},           {"GTMB_BACKUP", 12},     {"GTMB_RESTORE", 11},
        {"GTMB_RESTARTWINDOWS", 15}, {"GTMB_AUTOFIX", 30},  {"GTMB_FIX", 29},        {"GTMB_NEXT", 22},
        {"GTMB_BACKUPCURR ", 18}, {"GTMB_NOACTIONS", 17},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.token);
        int row = matchKeyword(c.token);
        ASSERT_GE(row, 0);
        EXPECT_EQ(kKeywords[row].id, c.id);
    }
    // The first contained keyword still decides between unrelated ones.
    EXPECT_EQ(kKeywords[matchKeyword("GTMB_CANCEL GTMB_OK")].id, 1);
    EXPECT_EQ(kKeywords[matchKeyword("GTMB_NO GTMB_BACKUP")].id, 8);
    EXPECT_EQ(matchKeyword("GTMB_"), -1);
}

TEST(Keywords, OnlyTheFirst254CharactersCount) {
    std::string list(250, ' ');
    list += "|GTMB_OK";  // starts at 251, cut at 254
    EXPECT_EQ(Parsed(list.c_str(), 1).buttons, nullptr);
    list = std::string(240, ' ') + "|GTMB_OK";
    Parsed p(list.c_str(), 1);
    ASSERT_TRUE(p.buttons);
    EXPECT_EQ(p.buttons[0].wId, 1);
}

// ---------------------------------------------------------------- layout

namespace {

BoxLayoutInput input() {
    BoxLayoutInput in{};
    in.U = 19;
    in.F = 3;
    in.text = RECT{22, 19, 222, 51};  // measured: 200 by 32
    in.buttons = 2;
    in.captionWidth = 40;
    in.minButtonWidth = 75;
    in.buttonHeight = 23;
    return in;
}

}  // namespace

TEST(Layout, TextStartsOneFrameAndUnitInOrAfterThePicture) {
    RECT screen{0, 0, 1024, 768};
    RECT t = textStartRect(screen, 19, 3, false, 32);
    EXPECT_EQ(t.left, 22);
    EXPECT_EQ(t.top, 19);
    EXPECT_EQ(t.right, 1024);
    EXPECT_EQ(t.bottom, 768);
    t = textStartRect(screen, 19, 3, true, 32);
    EXPECT_EQ(t.left, 3 + 32 + 38);
}

TEST(Layout, WindowSizeAndButtonRowWithoutPicture) {
    BoxLayout l = layoutBox(input());
    EXPECT_EQ(l.width, 222 + 9 + 19);
    EXPECT_EQ(l.height, 51 + 57 + 23);
    EXPECT_EQ(l.buttonWidth, 75);  // 40 + 15 is below the template's width
    EXPECT_EQ(l.buttonHeight, 23);
    EXPECT_EQ(l.rowY, 51 + 19);
    EXPECT_EQ(l.step, 95);
    EXPECT_EQ(l.rowX, 250 / 2 - (2 * 95) / 2);
    RECT zero{};
    EXPECT_TRUE(EqualRect(&l.picture, &zero));
}

TEST(Layout, OneButtonIsCentredAndWideCaptionsWiden) {
    BoxLayoutInput in = input();
    in.buttons = 1;
    in.captionWidth = 100;
    BoxLayout l = layoutBox(in);
    EXPECT_EQ(l.buttonWidth, 115);
    EXPECT_EQ(l.rowX, 250 / 2 - 115 / 2);
    in.buttons = 3;
    l = layoutBox(in);
    EXPECT_EQ(l.rowX, 125 - (3 * 135) / 2);  // may be negative: no clamping
    EXPECT_EQ(l.rowX, -77);
}

TEST(Layout, PictureAlignments) {
    BoxLayoutInput in = input();
    in.picture = true;
    in.pictureWidth = 32;
    in.pictureHeight = 20;
    in.text = RECT{73, 19, 273, 59};  // 40 high
    in.alignment = GTMBALIGN_TOP;
    BoxLayout l = layoutBox(in);
    EXPECT_EQ(l.picture.top, 19);
    EXPECT_EQ(l.picture.left, 73 - 19 - 32);
    EXPECT_EQ(l.picture.right, 73 - 19);
    EXPECT_EQ(l.picture.bottom, 39);
    EXPECT_EQ(l.text.bottom, 59);
    in.alignment = GTMBALIGN_BOTTOM;
    EXPECT_EQ(layoutBox(in).picture.top, 39);
    in.alignment = GTMBALIGN_MIDDLE;
    EXPECT_EQ(layoutBox(in).picture.top, 19 + 20 - 10);
    in.alignment = 0;
    EXPECT_EQ(layoutBox(in).picture.top, 0);
}

TEST(Layout, TallPictureStretchesTheTextAreaAndNeverStartsAboveZero) {
    BoxLayoutInput in = input();
    in.picture = true;
    in.pictureWidth = 32;
    in.pictureHeight = 80;
    in.text = RECT{73, 19, 273, 35};  // 16 high
    in.alignment = GTMBALIGN_BOTTOM;
    BoxLayout l = layoutBox(in);
    EXPECT_EQ(l.picture.top, 19);  // 35 - 80 < 0
    EXPECT_EQ(l.text.bottom, 19 + 80);
    EXPECT_EQ(l.height, 99 + 57 + 23);
    in.alignment = GTMBALIGN_MIDDLE;
    in.pictureHeight = 33;
    l = layoutBox(in);
    EXPECT_EQ(l.picture.top, 19 + 8 - 16);
    EXPECT_EQ(l.text.bottom, 19 + 33);
}

TEST(Layout, EmptyTextTakesItsWidthFromThePicture) {
    BoxLayoutInput in = input();
    in.picture = true;
    in.pictureWidth = 32;
    in.pictureHeight = 32;
    in.text = RECT{73, 19, 73, 19};
    in.textEmpty = true;
    in.alignment = GTMBALIGN_TOP;
    BoxLayout l = layoutBox(in);
    EXPECT_EQ(l.picture.right, 54);
    EXPECT_EQ(l.width, 54 + 9 + 19);
    EXPECT_EQ(l.text.bottom, 19 + 32);
}
