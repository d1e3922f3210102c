// Real extended message boxes, driven from a helper thread: their buttons,
// captions, rectangles, styles, focus and pixels against the layout rules
// evaluated from the live system, and the results of clicks and keys.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "boxdriver.h"
#include "gtapi32.h"
#include "mbx_layout_check.h"
#include "mbx_testbitmaps.h"

using boxdriver::Box;
using mbxcheck::Expected;
using mbxcheck::Params;

namespace {

HMODULE library() { return GetModuleHandleA("gtapi32.dll"); }
HMODULE self() { return GetModuleHandleA(nullptr); }

GTMBDEF keywordDef(const char* keywords, WORD count, WORD defaultId) {
    GTMBDEF d{};
    d.pszKeywords = const_cast<LPSTR>(keywords);
    d.wButtonCount = count;
    d.wDefaultId = defaultId;
    return d;
}

void questionIcon(GTMBDEF* d, WORD align = GTMBALIGN_TOP) {
    d->dwPicture = 1;
    d->wPictureAlign = align;
    d->picture.wKind = GTMBPIC_ICON;
    d->picture.dwResource = 2;
}

// Compares what the box shows with the rules.
void expectLayout(const Box& box, const Expected& e, const std::vector<int>& ids, int defaultId) {
    EXPECT_EQ(box.window.right - box.window.left, e.width);
    EXPECT_EQ(box.window.bottom - box.window.top, e.height);
    ASSERT_EQ(box.buttons.size(), ids.size());
    for (size_t i = 0; i < ids.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& b = box.buttons[i];
        EXPECT_EQ(b.id, ids[i]);
        EXPECT_EQ(b.rect.left, e.x0 + int(i) * (e.buttonWidth + 20));
        EXPECT_EQ(b.rect.top, e.y);
        EXPECT_EQ(b.rect.right - b.rect.left, e.buttonWidth);
        EXPECT_EQ(b.rect.bottom - b.rect.top, e.buttonHeight);
        EXPECT_EQ(DWORD(b.style), ids[i] == defaultId ? 0x50010001u : 0x50010000u);
    }
}

struct Fixture : ::testing::Test {
    void SetUp() override { font = mbxcheck::defaultFont(); }
    void TearDown() override { DeleteObject(font); }
    HFONT font = nullptr;
};

using Boxes = Fixture;

}  // namespace

TEST_F(Boxes, YesNoWithDefaultSevenIsLaidOutByTheRulesAndNoReturnsEight) {
    GTMBDEF d = keywordDef("GTMB_YES|GTMB_NO", 2, 7);
    questionIcon(&d);
    d.wSystemModal = 1;
    Expected e;
    Box box;
    int r = boxdriver::drive(
        [&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "Save the changes to %s?", "Question", &d, "a.txt"); },
        [&](const Box& b) {
            Params p;
            p.font = font;
            p.text = "Save the changes to a.txt?";
            p.picture = true;
            p.pw = GetSystemMetrics(SM_CXICON);
            p.ph = GetSystemMetrics(SM_CYICON);
            p.align = GTMBALIGN_TOP;
            p.buttons = 2;
            p.captions = {"&Yes", "&No"};
            e = mbxcheck::evaluate(b.hwnd, p);
            boxdriver::click(b, 8);
        },
        &box);
    EXPECT_EQ(r, 8);
    ASSERT_TRUE(box.hwnd);
    EXPECT_EQ(box.caption, "Question");
    EXPECT_EQ(box.window.left, 0);  // centre flag 0
    EXPECT_EQ(box.window.top, 0);
    EXPECT_TRUE(box.style & DS_SYSMODAL);
    expectLayout(box, e, {7, 8}, 7);
    EXPECT_EQ(box.button(7)->text, "&Yes");
    EXPECT_EQ(box.button(8)->text, "&No");
    ASSERT_TRUE(box.focus);
    EXPECT_EQ(box.focus, box.button(7)->hwnd);
    // The keyword list's array is gone again; the caller's field is back.
    EXPECT_EQ(d.pButtons, nullptr);
}

TEST_F(Boxes, EnterPressesTheDefaultAndBlanksAroundKeywordsChangeNothing) {
    GTMBDEF d = keywordDef(" GTMB_YES |\tGTMB_NO  ", 2, 7);
    Box box;
    int r = boxdriver::drive([&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "Proceed?", "Q", &d); },
                             [](const Box& b) { boxdriver::key(b, VK_RETURN); }, &box);
    EXPECT_EQ(r, 7);
    ASSERT_EQ(box.buttons.size(), 2u);
    EXPECT_EQ(box.buttons[0].text, "&Yes");
    EXPECT_EQ(box.buttons[1].text, "&No");
}

TEST_F(Boxes, EscapeEndsOnlyABoxWithIdTwo) {
    GTMBDEF d = keywordDef("GTMB_OK|GTMB_CANCEL", 2, 1);
    int r = boxdriver::drive([&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "Go on?", "Q", &d); },
                             [](const Box& b) { boxdriver::key(b, VK_ESCAPE); }, nullptr);
    EXPECT_EQ(r, 2);
    // Without id 2 Escape (and the close box) do nothing; the click after it decides.
    d = keywordDef("GTMB_YES|GTMB_NO", 2, 7);
    r = boxdriver::drive([&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "Go on?", "Q", &d); },
                         [](const Box& b) {
                             boxdriver::key(b, VK_ESCAPE);
                             PostMessageA(b.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
                             boxdriver::click(b, 8);
                         },
                         nullptr);
    EXPECT_EQ(r, 8);
}

TEST_F(Boxes, UnknownTokensAreSkippedAndOneButtonIsCentred) {
    GTMBDEF d = keywordDef("FOO|GTMB_OK", 1, 1);
    Expected e;
    Box box;
    int r = boxdriver::drive(
        [&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "Done.", "Info", &d); },
        [&](const Box& b) {
            Params p;
            p.font = font;
            p.text = "Done.";
            p.buttons = 1;
            p.captions = {"OK"};
            e = mbxcheck::evaluate(b.hwnd, p);
            boxdriver::key(b, VK_RETURN);
        },
        &box);
    EXPECT_EQ(r, 1);
    expectLayout(box, e, {1}, 1);
    EXPECT_EQ(box.buttons[0].text, "OK");
    EXPECT_EQ(e.x0, e.width / 2 - e.buttonWidth / 2);
}

TEST_F(Boxes, MoreKeywordsThanTheCountAreIgnoredFewerLeaveEmptyButtons) {
    GTMBDEF d = keywordDef("GTMB_ABORT|GTMB_RETRY|GTMB_IGNORE", 2, 4);
    Box box;
    int r = boxdriver::drive([&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "Disk error", "E", &d); },
                             [](const Box& b) { boxdriver::click(b, 3); }, &box);
    EXPECT_EQ(r, 3);
    ASSERT_EQ(box.buttons.size(), 2u);
    EXPECT_EQ(box.buttons[0].text, "&Abort");
    EXPECT_EQ(box.buttons[1].text, "&Retry");

    d = keywordDef("GTMB_OK", 3, 1);
    Expected e;
    r = boxdriver::drive(
        [&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "Three buttons", "E", &d); },
        [&](const Box& b) {
            Params p;
            p.font = font;
            p.text = "Three buttons";
            p.buttons = 3;
            p.captions = {"OK", "", ""};
            e = mbxcheck::evaluate(b.hwnd, p);
            boxdriver::click(b, 1);
        },
        &box);
    EXPECT_EQ(r, 1);
    expectLayout(box, e, {1, 0, 0}, 1);
    EXPECT_EQ(box.buttons[1].text, "");
}

TEST_F(Boxes, NothingToShowGivesZeroAndNoWindow) {
    Box box;
    GTMBDEF d = keywordDef("FOO|BAR", 2, 1);
    EXPECT_EQ(boxdriver::drive([&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "x", "y", &d); }, nullptr, &box), 0);
    EXPECT_FALSE(box.hwnd);
    // No keyword list and no array; no buttons at all; a text id that names no string.
    d = keywordDef(nullptr, 2, 1);
    EXPECT_EQ(boxdriver::drive([&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "x", "y", &d); }, nullptr, &box), 0);
    d = keywordDef("", 0, 1);
    EXPECT_EQ(boxdriver::drive([&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "x", "y", &d); }, nullptr, &box), 0);
    d = keywordDef("GTMB_OK", 1, 1);
    EXPECT_EQ(boxdriver::drive([&] { return gtMessageBoxExtended(nullptr, nullptr, self(), MAKEINTRESOURCEA(999), "y", &d); },
                               nullptr, &box), 0);
    EXPECT_EQ(boxdriver::drive([&] { return gtMessageBoxExtended(nullptr, nullptr, self(), "x", MAKEINTRESOURCEA(999), &d); },
                               nullptr, &box), 0);
    // A caller button whose caption id names no string: refused before any window.
    GTMBBUTTON b[1] = {};
    b[0].wId = 1;
    b[0].dwKind = GTMBBTN_STRINGID;
    WORD missing = 998;
    std::memcpy(b[0].szText, &missing, 2);
    d = keywordDef(nullptr, 1, 1);
    d.pButtons = b;
    EXPECT_EQ(boxdriver::drive([&] { return gtMessageBoxExtended(nullptr, nullptr, self(), "x", "y", &d); }, nullptr, &box), 0);
    EXPECT_FALSE(box.hwnd);
    EXPECT_EQ(gtMessageBoxExtended(nullptr, nullptr, nullptr, "x", "y", nullptr), 0);
}

TEST_F(Boxes, CallerButtonsTakeStringCaptionsFromTheCallersModule) {
    GTMBBUTTON b[2] = {};
    b[0].wId = 100;
    b[0].dwKind = GTMBBTN_STRINGID;
    WORD id = 100;
    std::memcpy(b[0].szText, &id, 2);
    b[1].wId = 55;
    b[1].dwKind = 0;
    std::memset(b[1].szText, 'W', sizeof(b[1].szText));  // 55 characters, no terminator: cut at 55
    GTMBDEF d{};
    d.wButtonCount = 2;
    d.wDefaultId = 55;
    d.pButtons = b;
    Expected e;
    Box box;
    int r = boxdriver::drive(
        [&] { return gtMessageBoxExtended(nullptr, nullptr, self(), MAKEINTRESOURCEA(102), MAKEINTRESOURCEA(103), &d, 42); },
        [&](const Box& bx) {
            Params p;
            p.font = font;
            p.text = "Text of the caller with 42%";
            p.buttons = 2;
            p.captions = {"Caller &One", std::string(55, 'W')};
            e = mbxcheck::evaluate(bx.hwnd, p);
            boxdriver::key(bx, VK_RETURN);
        },
        &box);
    EXPECT_EQ(r, 55);
    EXPECT_EQ(box.caption, "Caption of the caller");
    expectLayout(box, e, {100, 55}, 55);
    EXPECT_EQ(box.button(100)->text, "Caller &One");
    EXPECT_EQ(box.button(55)->text, std::string(55, 'W'));
    EXPECT_EQ(d.pButtons, b);
}

TEST_F(Boxes, CaptionZeroIsErrorAndLibraryTextIdsAreFormatted) {
    LPGTMBCONTEXT ctx = gtOpenMessageBoxExtended(nullptr, nullptr, nullptr, 0, 0);
    ASSERT_TRUE(ctx);
    GTMBDEF d = keywordDef("GTMB_OK", 1, 1);
    std::string shownText;
    Box box;
    int r = boxdriver::drive(
        [&] { return gtMessageBoxExtended(nullptr, ctx, library(), MAKEINTRESOURCEA(28034), nullptr, &d, "7"); },
        [&](const Box& b) {
            shownText = ctx->pszText;
            boxdriver::click(b, 1);
        },
        &box);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(shownText, "Deleting 7 files");
    EXPECT_EQ(ctx->pDef, &d);
    EXPECT_TRUE(gtCloseMessageBoxExtended(ctx, 0));
}

TEST_F(Boxes, OverWideTextBreaksAtTheScreenEdgeAndEmptyTextFollowsThePicture) {
    std::string longText;
    for (int i = 0; i < 60; ++i) longText += "word" + std::to_string(i) + " ";
    GTMBDEF d = keywordDef("GTMB_OK", 1, 1);
    LPGTMBCONTEXT ctx = gtOpenMessageBoxExtended(nullptr, nullptr, nullptr, 0, 0);
    Expected e;
    RECT text{};
    Box box;
    boxdriver::drive(
        [&] { return gtMessageBoxExtended(nullptr, ctx, nullptr, longText.c_str(), "Long", &d); },
        [&](const Box& b) {
            Params p;  // the block has no font: measured with the DC's own
            p.text = longText;
            p.buttons = 1;
            p.captions = {"OK"};
            e = mbxcheck::evaluate(b.hwnd, p);
            text = ctx->rcText;
            boxdriver::click(b, 1);
        },
        &box);
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    EXPECT_TRUE(EqualRect(&text, &e.text));
    EXPECT_LE(text.right, screen.right);
    EXPECT_GT(text.right, screen.right - 200);  // filled up to the edge
    EXPECT_GT(text.bottom - text.top, 30);       // more than one line
    expectLayout(box, e, {1}, 1);

    questionIcon(&d);
    boxdriver::drive(
        [&] { return gtMessageBoxExtended(nullptr, ctx, nullptr, "", "Empty", &d); },
        [&](const Box& b) {
            Params p;
            p.picture = true;
            p.pw = GetSystemMetrics(SM_CXICON);
            p.ph = GetSystemMetrics(SM_CYICON);
            p.align = GTMBALIGN_TOP;
            p.buttons = 1;
            p.captions = {"OK"};
            e = mbxcheck::evaluate(b.hwnd, p);
            boxdriver::click(b, 1);
        },
        &box);
    EXPECT_EQ(box.window.right - box.window.left,
              e.picture.right + 3 * GetSystemMetrics(SM_CXDLGFRAME) + GetSystemMetrics(SM_CYCAPTION));
    expectLayout(box, e, {1}, 1);
    gtCloseMessageBoxExtended(ctx, 0);
}

TEST_F(Boxes, CentreFlagOneCentresOverTheParent) {
    HWND parent = CreateWindowExA(0, "Static", "parent", WS_POPUP | WS_VISIBLE, 100, 80, 600, 400, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_TRUE(parent);
    GTMBDEF d = keywordDef("GTMB_OK", 1, 1);
    d.dwCenter = 1;
    Box box;
    boxdriver::drive([&] { return gtMessageBoxExtended(parent, nullptr, nullptr, "Centred", "C", &d); },
                     [](const Box& b) { boxdriver::click(b, 1); }, &box);
    ASSERT_TRUE(box.hwnd);
    RECT client;
    GetClientRect(parent, &client);
    POINT centre{client.right / 2, client.bottom / 2};
    ClientToScreen(parent, &centre);
    const int w = box.window.right - box.window.left, h = box.window.bottom - box.window.top;
    EXPECT_EQ(box.window.left, centre.x - w / 2);
    EXPECT_EQ(box.window.top, centre.y - h / 2);
    EXPECT_TRUE(IsWindowEnabled(parent));
    DestroyWindow(parent);
}

TEST_F(Boxes, StandardIconsOneToFourArePaintedFromTheLibrary) {
    const WORD icons[4] = {27503, 27500, 27502, 27501};
    HBRUSH brush = CreateSolidBrush(RGB(0, 128, 128));
    LPGTMBCONTEXT ctx = gtOpenMessageBoxExtended(nullptr, brush, nullptr, 0, 0);
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    for (DWORD id = 1; id <= 4; ++id) {
        SCOPED_TRACE(id);
        GTMBDEF d = keywordDef("GTMB_OK", 1, 1);
        questionIcon(&d, GTMBALIGN_MIDDLE);
        d.picture.dwResource = id;
        d.picture.hModule = self();
        std::vector<COLORREF> got;
        RECT pic{};
        boxdriver::drive([&] { return gtMessageBoxExtended(nullptr, ctx, nullptr, "Icon", "I", &d); },
                         [&](const Box& b) {
                             pic = ctx->rcPicture;
                             got = boxdriver::capture(b.hwnd, pic);
                             boxdriver::click(b, 1);
                         },
                         nullptr);
        EXPECT_EQ(pic.right - pic.left, cx);
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, cx, cy);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(mem, bmp);
        RECT all{0, 0, cx, cy};
        FillRect(mem, &all, brush);
        DrawIcon(mem, 0, 0, LoadIconA(library(), MAKEINTRESOURCEA(icons[id - 1])));
        std::vector<COLORREF> want;
        for (int y = 0; y < cy; ++y)
            for (int x = 0; x < cx; ++x) want.push_back(GetPixel(mem, x, y));
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        int diffs = 0;
        for (size_t i = 0; i < got.size() && i < want.size(); ++i)
            if (got[i] != want[i] && diffs++ < 5)
                ADD_FAILURE() << "pixel " << i % cx << "," << i / cx << " got " << std::hex << got[i] << " want " << want[i];
        EXPECT_EQ(got.size(), want.size());
        EXPECT_EQ(diffs, 0);
    }
    EXPECT_TRUE(gtCloseMessageBoxExtended(ctx, 1));
    EXPECT_EQ(GetObjectType(brush), 0u);  // deleted with the block
}

TEST_F(Boxes, TransparentPictureOverTheBrushAndBrushBeatsBackgroundBitmap) {
    HBITMAP picture = nullptr, background = nullptr;
    ASSERT_TRUE(gtLoadBitmapResource(self(), MAKEINTRESOURCEA(mbxtest::kPicture), &picture, nullptr));
    ASSERT_TRUE(gtLoadBitmapResource(self(), MAKEINTRESOURCEA(mbxtest::kTrue24), &background, nullptr));
    const COLORREF fill = RGB(240, 200, 40);
    HBRUSH brush = CreateSolidBrush(fill);
    LPGTMBCONTEXT ctx = gtOpenMessageBoxExtended(nullptr, brush, background, 0, 0);
    GTMBDEF d = keywordDef("GTMB_OK", 1, 1);
    d.dwPicture = 1;
    d.wPictureAlign = GTMBALIGN_TOP;
    d.picture.wKind = GTMBPIC_HBITMAP;
    d.picture.dwResource = DWORD(ULONG_PTR(picture));
    d.picture.crTransparent = RGB(255, 255, 255);
    std::vector<COLORREF> pic, corner;
    RECT pr{};
    boxdriver::drive([&] { return gtMessageBoxExtended(nullptr, ctx, nullptr, "Picture", "P", &d); },
                     [&](const Box& b) {
                         pr = ctx->rcPicture;
                         pic = boxdriver::capture(b.hwnd, pr);
                         corner = boxdriver::capture(b.hwnd, RECT{0, 0, 4, 4});
                         boxdriver::click(b, 1);
                     },
                     nullptr);
    ASSERT_EQ(pr.right - pr.left, mbxtest::kPictureWidth);
    ASSERT_EQ(pic.size(), size_t(mbxtest::kPictureWidth * mbxtest::kPictureHeight));
    for (int y = 0; y < mbxtest::kPictureHeight; ++y)
        for (int x = 0; x < mbxtest::kPictureWidth; ++x) {
            COLORREF src = mbxtest::picturePixel(x, y);
            ASSERT_EQ(pic[y * mbxtest::kPictureWidth + x], src == RGB(255, 255, 255) ? fill : src) << x << "," << y;
        }
    for (COLORREF c : corner) EXPECT_EQ(c, fill);
    BITMAP bm{};
    EXPECT_TRUE(GetObjectA(picture, sizeof(bm), &bm));  // still the caller's
    EXPECT_TRUE(gtCloseMessageBoxExtended(ctx, 0));
    EXPECT_NE(GetObjectType(brush), 0u);  // flag 0: left to the caller
    DeleteObject(brush);
    DeleteObject(picture);
    DeleteObject(background);
}

TEST(Blocks, OpenAndCloseWithAndWithoutDeleting) {
    EXPECT_FALSE(gtCloseMessageBoxExtended(nullptr, 1));
    GTMBCONTEXT fake{};
    std::memcpy(fake.szMarker, "~MSX~", 6);
    EXPECT_FALSE(gtCloseMessageBoxExtended(&fake, 1));
    HFONT f = CreateFontA(12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    HBRUSH br = CreateSolidBrush(RGB(1, 2, 3));
    HBITMAP bm = CreateBitmap(4, 4, 1, 1, nullptr);
    LPGTMBCONTEXT ctx = gtOpenMessageBoxExtended(f, br, bm, RGB(1, 1, 1), RGB(2, 2, 2));
    ASSERT_TRUE(ctx);
    EXPECT_STREQ(ctx->szMarker, "~MSG~");
    EXPECT_EQ(ctx->hFont, f);
    EXPECT_EQ(ctx->hBrush, br);
    EXPECT_EQ(ctx->hBitmap, bm);
    EXPECT_EQ(ctx->crText, RGB(1, 1, 1));
    EXPECT_EQ(ctx->crTextBk, RGB(2, 2, 2));
    EXPECT_EQ(ctx->hParent, nullptr);
    EXPECT_TRUE(gtCloseMessageBoxExtended(ctx, 2));  // only exactly 1 deletes
    EXPECT_NE(GetObjectType(f), 0u);
    EXPECT_NE(GetObjectType(br), 0u);
    EXPECT_NE(GetObjectType(bm), 0u);
    ctx = gtOpenMessageBoxExtended(f, br, bm, 0, 0);
    EXPECT_TRUE(gtCloseMessageBoxExtended(ctx, 1));
    EXPECT_EQ(GetObjectType(f), 0u);
    EXPECT_EQ(GetObjectType(br), 0u);
    EXPECT_EQ(GetObjectType(bm), 0u);
}
