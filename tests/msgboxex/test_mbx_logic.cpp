// Keyword parsing and layout arithmetic of the extended message box.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "gtapi32.h"
#include "msgbox/mbxlogic.h"

using namespace gt::mbx;

namespace {
// Button ids built from a keyword list (empty: no array).
std::vector<int> parse(const char* list, WORD n, std::vector<int>* captions = nullptr) {
    LPGTMBBUTTON b = buildKeywordButtons(list, n);
    std::vector<int> ids;
    for (int i = 0; b && i < n; ++i) {
        ids.push_back(b[i].wId);
        WORD c;
        std::memcpy(&c, b[i].szText, 2);
        if (captions) captions->push_back(b[i].wId ? c : b[i].szText[0]);
        if (b[i].wId) EXPECT_EQ(b[i].dwKind, 1u);
        else EXPECT_EQ(b[i].dwKind, 0u);
    }
    if (b) gtGlobalFreePtr(b);
    return ids;
}
}  // namespace

TEST(Keywords, TableHasThirtyOneRowsInIdOrder) {
    int rows = 0;
    for (; *kKeywords[rows].keyword; ++rows) {
        EXPECT_EQ(kKeywords[rows].id, rows + 1);
        EXPECT_EQ(kKeywords[rows].stringId, 28001 + rows);
    }
    EXPECT_EQ(rows, 31);
}

TEST(Keywords, Lists) {
    std::vector<int> captions;
    EXPECT_EQ(parse("GTMB_YES|GTMB_NO", 2, &captions), (std::vector<int>{7, 8}));
    EXPECT_EQ(captions, (std::vector<int>{28007, 28008}));
    captions.clear();
    EXPECT_EQ(parse("GTMB_OK", 3, &captions), (std::vector<int>{1, 0, 0}));  // fewer: empty entries
    EXPECT_EQ(captions, (std::vector<int>{28001, 0, 0}));
    struct {
        const char* list;
        WORD n;
        std::vector<int> ids;
    } cases[] = {
        {" GTMB_OK | \tGTMB_CANCEL  ", 2, {1, 2}},
        {"FOO|GTMB_OK", 1, {1}},
        {"gtmb_ok|xxGTMB_HELPxx", 1, {14}},  // case matters; inside other text counts
        {"GTMB_ABORT|GTMB_RETRY|GTMB_IGNORE", 2, {3, 4}},
        {"FOO|BAR", 2, {}}, {"", 2, {}}, {nullptr, 2, {}}, {"GTMB_OK", 0, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(parse(c.list, c.n), c.ids) << (c.list ? c.list : "null");
    // Only the first 254 characters count.
    EXPECT_TRUE(parse((std::string(250, ' ') + "|GTMB_OK").c_str(), 1).empty());
    EXPECT_EQ(parse((std::string(240, ' ') + "|GTMB_OK").c_str(), 1), (std::vector<int>{1}));
}

TEST(Keywords, LongerKeywordsThatExtendAnEarlierOneAreReached) {
    struct {
        const char* token;
        int id;
    } cases[] = {
        {"GTMB_NOACTION", 17},    {"GTMB_BACKUPCURR", 18},  {"GTMB_BACKUPPREV", 19}, {"GTMB_RESTORECURR", 20},
        {"GTMB_RESTOREPREV", 21}, {"GTMB_NO", 8},           {"GTMB_BACKUP", 12},     {"GTMB_RESTORE", 11},
        {"GTMB_RESTARTWINDOWS", 15}, {"GTMB_AUTOFIX", 30},  {"GTMB_FIX", 29},        {"GTMB_NEXT", 22},
        {"GTMB_BACKUPCURR ", 18}, {"GTMB_NOACTIONS", 17},   {"GTMB_CANCEL GTMB_OK", 1}, {"GTMB_NO GTMB_BACKUP", 8},
        {"GTMB_", 0},
    };
    for (const auto& c : cases) {
        int row = matchKeyword(c.token);
        EXPECT_EQ(row < 0 ? 0 : kKeywords[row].id, c.id) << c.token;
    }
}

// ---------------------------------------------------------------- layout

namespace {
BoxLayoutInput input(bool picture = false, LONG ph = 0, int textHeight = 32, WORD align = GTMBALIGN_TOP) {
    BoxLayoutInput in{};
    in.U = 19;
    in.F = 3;
    in.text = picture ? RECT{73, 19, 273, 19 + textHeight} : RECT{22, 19, 222, 51};
    in.buttons = 2;
    in.captionWidth = 40;
    in.minButtonWidth = 75;
    in.buttonHeight = 23;
    in.picture = picture;
    in.pictureWidth = 32;
    in.pictureHeight = ph;
    in.alignment = align;
    return in;
}
}  // namespace

TEST(Layout, TextStartAndButtonRow) {
    RECT t = textStartRect(RECT{0, 0, 1024, 768}, 19, 3, false, 32);
    RECT want{22, 19, 1024, 768};
    EXPECT_TRUE(EqualRect(&t, &want));
    EXPECT_EQ(textStartRect(RECT{0, 0, 1024, 768}, 19, 3, true, 32).left, 3 + 32 + 38);

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

    BoxLayoutInput in = input();
    in.buttons = 1;
    in.captionWidth = 100;
    l = layoutBox(in);
    EXPECT_EQ(l.buttonWidth, 115);
    EXPECT_EQ(l.rowX, 250 / 2 - 115 / 2);
    in.buttons = 3;
    EXPECT_EQ(layoutBox(in).rowX, -77);  // 125 - 3 * 135 / 2: no clamping
}

TEST(Layout, PictureAlignmentsAndTallPictures) {
    BoxLayout l = layoutBox(input(true, 20, 40));
    EXPECT_EQ(l.picture.left, 73 - 19 - 32);
    EXPECT_EQ(l.picture.right, 73 - 19);
    EXPECT_EQ(l.picture.bottom, 39);
    EXPECT_EQ(l.text.bottom, 59);
    struct {
        LONG ph;
        int textHeight;
        WORD align;
        LONG top, textBottom;
    } cases[] = {
        {20, 40, GTMBALIGN_TOP, 19, 59},
        {20, 40, GTMBALIGN_BOTTOM, 39, 59},
        {20, 40, GTMBALIGN_MIDDLE, 19 + 20 - 10, 59},
        {20, 40, 0, 0, 59},
        {80, 16, GTMBALIGN_BOTTOM, 19, 19 + 80},  // 35 - 80 < 0: starts at the text; text stretched
        {33, 16, GTMBALIGN_MIDDLE, 19 + 8 - 16, 19 + 33},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ph * 10 + c.align);
        l = layoutBox(input(true, c.ph, c.textHeight, c.align));
        EXPECT_EQ(l.picture.top, c.top);
        EXPECT_EQ(l.text.bottom, c.textBottom);
    }
    EXPECT_EQ(layoutBox(input(true, 80, 16, GTMBALIGN_BOTTOM)).height, 99 + 57 + 23);

    BoxLayoutInput in = input(true, 32, 0);
    in.textEmpty = true;  // the width comes from the picture
    l = layoutBox(in);
    EXPECT_EQ(l.width, 54 + 9 + 19);
    EXPECT_EQ(l.text.bottom, 19 + 32);
}
