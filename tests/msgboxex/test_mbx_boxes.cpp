// Real extended message boxes driven from a helper thread: buttons, captions,
// rectangles, styles, focus and pixels against the layout rules evaluated
// from the live system, and the results of clicks and keys.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "boxdriver.h"
#include "gtapi32.h"
#include "mbx_layout_check.h"
#include "mbx_testbitmaps.h"

using boxdriver::Box;
using namespace mbxcheck;

namespace {

HMODULE library() { return GetModuleHandleA("gtapi32.dll"); }
HMODULE self() { return GetModuleHandleA(nullptr); }
struct Boxes : ::testing::Test {
    void SetUp() override { font = mbxcheck::defaultFont(); }
    void TearDown() override { DeleteObject(font); }
    HFONT font = nullptr;
};

}  // namespace

TEST_F(Boxes, YesNoWithDefaultSevenIsLaidOutByTheRulesAndNoReturnsEight) {
    GTMBDEF d = def("GTMB_YES|GTMB_NO", 2, 7, GTMBALIGN_TOP);
    d.wSystemModal = 1;
    Shown s = show([&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "Save the changes to %s?", "Question", &d, "a.txt"); },
                   params(font, "Save the changes to a.txt?", {"&Yes", "&No"}, GTMBALIGN_TOP), click(8));
    EXPECT_EQ(s.result, 8);
    ASSERT_TRUE(s.box.hwnd);
    EXPECT_EQ(s.box.caption, "Question");
    EXPECT_EQ(s.box.window.left, 0);  // centre flag 0
    EXPECT_EQ(s.box.window.top, 0);
    EXPECT_TRUE(s.box.style & DS_SYSMODAL);
    s.expectLayout({7, 8}, 7);
    EXPECT_EQ(s.box.buttons[0].text, "&Yes");
    EXPECT_EQ(s.box.buttons[1].text, "&No");
    ASSERT_TRUE(s.box.focus);
    EXPECT_EQ(s.box.focus, s.box.button(7)->hwnd);
    EXPECT_EQ(d.pButtons, nullptr);  // the keyword list's array is gone again
}

TEST_F(Boxes, EnterEscapeAndTheCloseBox) {
    GTMBDEF d = def(" GTMB_YES |\tGTMB_NO  ", 2, 7);
    Shown s = show([&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "Proceed?", "Q", &d); }, {}, key(VK_RETURN));
    EXPECT_EQ(s.result, 7);
    ASSERT_EQ(s.box.buttons.size(), 2u);
    EXPECT_EQ(s.box.buttons[1].text, "&No");

    d = def("GTMB_OK|GTMB_CANCEL", 2, 1);
    EXPECT_EQ(show([&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "Go on?", "Q", &d); }, {}, key(VK_ESCAPE)).result, 2);
    // Without id 2 Escape and the close box do nothing; the click after them decides.
    d = def("GTMB_YES|GTMB_NO", 2, 7);
    s = show([&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "Go on?", "Q", &d); }, {}, [](const Box& b) {
        boxdriver::key(b, VK_ESCAPE);
        PostMessageA(b.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        boxdriver::click(b, 8);
    });
    EXPECT_EQ(s.result, 8);
}

TEST_F(Boxes, ButtonCountAgainstTheKeywords) {
    struct {
        const char* keywords;
        WORD count, defaultId;
        std::vector<std::string> captions;
        std::vector<int> ids;
    } cases[] = {
        {"FOO|GTMB_OK", 1, 1, {"OK"}, {1}},  // one button: centred
        {"GTMB_ABORT|GTMB_RETRY|GTMB_IGNORE", 2, 4, {"&Abort", "&Retry"}, {3, 4}},
        {"GTMB_OK", 3, 1, {"OK", "", ""}, {1, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keywords);
        GTMBDEF d = def(c.keywords, c.count, c.defaultId);
        Shown s = show([&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "Done.", "Info", &d); },
                       params(font, "Done.", c.captions), click(c.ids[0]));
        EXPECT_EQ(s.result, c.ids[0]);
        s.expectLayout(c.ids, c.defaultId);
        for (size_t i = 0; i < c.captions.size() && i < s.box.buttons.size(); ++i)
            EXPECT_EQ(s.box.buttons[i].text, c.captions[i]);
        if (c.count == 1) EXPECT_EQ(s.e.x0, s.e.width / 2 - s.e.buttonWidth / 2);
    }
}

TEST_F(Boxes, NothingToShowGivesZeroAndNoWindow) {
    GTMBBUTTON missing[1] = {};  // a caller button whose caption id names no string
    missing[0].wId = 1;
    missing[0].dwKind = GTMBBTN_STRINGID;
    WORD id = 998;
    std::memcpy(missing[0].szText, &id, 2);
    GTMBDEF withMissing = def(nullptr, 1, 1);
    withMissing.pButtons = missing;
    struct {
        GTMBDEF d;
        HMODULE module;
        LPCSTR text, caption;
    } cases[] = {
        {def("FOO|BAR", 2, 1), nullptr, "x", "y"},
        {def(nullptr, 2, 1), nullptr, "x", "y"},
        {def("", 0, 1), nullptr, "x", "y"},
        {def("GTMB_OK", 1, 1), self(), MAKEINTRESOURCEA(999), "y"},
        {def("GTMB_OK", 1, 1), self(), "x", MAKEINTRESOURCEA(999)},
        {withMissing, self(), "x", "y"},
    };
    for (auto& c : cases) {
        Shown s = show([&] { return gtMessageBoxExtended(nullptr, nullptr, c.module, c.text, c.caption, &c.d); }, {}, nullptr);
        EXPECT_EQ(s.result, 0) << (&c - cases);
        EXPECT_FALSE(s.box.hwnd) << (&c - cases);
    }
    EXPECT_EQ(gtMessageBoxExtended(nullptr, nullptr, nullptr, "x", "y", nullptr), 0);
}

TEST_F(Boxes, CallerButtonsTakeStringCaptionsFromTheCallersModule) {
    GTMBBUTTON b[2] = {};
    b[0].wId = 100;
    b[0].dwKind = GTMBBTN_STRINGID;
    WORD id = 100;
    std::memcpy(b[0].szText, &id, 2);
    b[1].wId = 55;
    std::memset(b[1].szText, 'W', sizeof(b[1].szText));  // 55 characters, no terminator: cut at 55
    GTMBDEF d = def(nullptr, 2, 55);
    d.pButtons = b;
    Shown s = show([&] { return gtMessageBoxExtended(nullptr, nullptr, self(), MAKEINTRESOURCEA(102), MAKEINTRESOURCEA(103), &d, 42); },
                   params(font, "Text of the caller with 42%", {"Caller &One", std::string(55, 'W')}), key(VK_RETURN));
    EXPECT_EQ(s.result, 55);
    EXPECT_EQ(s.box.caption, "Caption of the caller");
    s.expectLayout({100, 55}, 55);
    EXPECT_EQ(s.box.button(100)->text, "Caller &One");
    EXPECT_EQ(s.box.button(55)->text, std::string(55, 'W'));
    EXPECT_EQ(d.pButtons, b);
}

TEST_F(Boxes, CaptionZeroIsErrorAndLibraryTextIdsAreFormatted) {
    LPGTMBCONTEXT ctx = gtOpenMessageBoxExtended(nullptr, nullptr, nullptr, 0, 0);
    ASSERT_TRUE(ctx);
    GTMBDEF d = def("GTMB_OK", 1, 1);
    std::string text;
    Shown s = show([&] { return gtMessageBoxExtended(nullptr, ctx, library(), MAKEINTRESOURCEA(28034), nullptr, &d, "7"); }, {},
                   [&](const Box& b) {
                       text = ctx->pszText;
                       boxdriver::click(b, 1);
                   });
    EXPECT_EQ(s.result, 1);
    EXPECT_EQ(s.box.caption, "Error");
    EXPECT_EQ(text, "Deleting 7 files");
    EXPECT_EQ(ctx->pDef, &d);
    EXPECT_TRUE(gtCloseMessageBoxExtended(ctx, 0));
}

TEST_F(Boxes, OverWideTextBreaksAtTheScreenEdgeAndEmptyTextFollowsThePicture) {
    std::string longText;
    for (int i = 0; i < 60; ++i) longText += "word" + std::to_string(i) + " ";
    GTMBDEF d = def("GTMB_OK", 1, 1);
    LPGTMBCONTEXT ctx = gtOpenMessageBoxExtended(nullptr, nullptr, nullptr, 0, 0);  // no font: the DC's own
    RECT text{};
    Shown s = show([&] { return gtMessageBoxExtended(nullptr, ctx, nullptr, longText.c_str(), "Long", &d); },
                   params(nullptr, longText, {"OK"}), [&](const Box& b) {
                       text = ctx->rcText;
                       boxdriver::click(b, 1);
                   });
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    EXPECT_TRUE(EqualRect(&text, &s.e.text));
    EXPECT_LE(text.right, screen.right);
    EXPECT_GT(text.right, screen.right - 200);  // filled up to the edge
    EXPECT_GT(text.bottom - text.top, 30);       // more than one line
    s.expectLayout({1}, 1);

    d = def("GTMB_OK", 1, 1, GTMBALIGN_TOP);
    s = show([&] { return gtMessageBoxExtended(nullptr, ctx, nullptr, "", "Empty", &d); },
             params(nullptr, "", {"OK"}, GTMBALIGN_TOP), click(1));
    EXPECT_EQ(s.box.window.right - s.box.window.left,
              s.e.picture.right + 3 * GetSystemMetrics(SM_CXDLGFRAME) + GetSystemMetrics(SM_CYCAPTION));
    s.expectLayout({1}, 1);
    gtCloseMessageBoxExtended(ctx, 0);
}

TEST_F(Boxes, CentreFlagOneCentresOverTheParent) {
    HWND parent = CreateWindowExA(0, "Static", "parent", WS_POPUP | WS_VISIBLE, 100, 80, 600, 400, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_TRUE(parent);
    GTMBDEF d = def("GTMB_OK", 1, 1);
    d.dwCenter = 1;
    Box box = show([&] { return gtMessageBoxExtended(parent, nullptr, nullptr, "Centred", "C", &d); }, {}, click(1)).box;
    ASSERT_TRUE(box.hwnd);
    RECT client;
    GetClientRect(parent, &client);
    POINT centre{client.right / 2, client.bottom / 2};
    ClientToScreen(parent, &centre);
    EXPECT_EQ(box.window.left, centre.x - (box.window.right - box.window.left) / 2);
    EXPECT_EQ(box.window.top, centre.y - (box.window.bottom - box.window.top) / 2);
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
        GTMBDEF d = def("GTMB_OK", 1, 1, GTMBALIGN_MIDDLE);
        d.picture.dwResource = id;
        d.picture.hModule = self();
        std::vector<COLORREF> got;
        RECT pic{};
        show([&] { return gtMessageBoxExtended(nullptr, ctx, nullptr, "Icon", "I", &d); }, {}, [&](const Box& b) {
            pic = ctx->rcPicture;
            got = boxdriver::capture(b.hwnd, pic);
            boxdriver::click(b, 1);
        });
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
        ASSERT_EQ(got.size(), want.size());
        int diffs = 0;
        for (size_t i = 0; i < got.size(); ++i)
            if (got[i] != want[i] && diffs++ < 5)
                ADD_FAILURE() << "pixel " << i % cx << "," << i / cx << " got " << std::hex << got[i] << " want " << want[i];
    }
    EXPECT_TRUE(gtCloseMessageBoxExtended(ctx, 1));
    EXPECT_EQ(GetObjectType(brush), 0u);  // deleted with the block
}

TEST_F(Boxes, TransparentPictureOverTheBrushAndBrushBeatsBackgroundBitmap) {
    using namespace mbxtest;
    HBITMAP picture = nullptr, background = nullptr;
    ASSERT_TRUE(gtLoadBitmapResource(self(), MAKEINTRESOURCEA(kPicture), &picture, nullptr));
    ASSERT_TRUE(gtLoadBitmapResource(self(), MAKEINTRESOURCEA(kTrue24), &background, nullptr));
    const COLORREF fill = RGB(240, 200, 40);
    HBRUSH brush = CreateSolidBrush(fill);
    LPGTMBCONTEXT ctx = gtOpenMessageBoxExtended(nullptr, brush, background, 0, 0);
    GTMBDEF d = def("GTMB_OK", 1, 1, GTMBALIGN_TOP);
    d.picture.wKind = GTMBPIC_HBITMAP;
    d.picture.dwResource = DWORD(ULONG_PTR(picture));
    d.picture.crTransparent = RGB(255, 255, 255);
    std::vector<COLORREF> pic, corner;
    RECT pr{};
    show([&] { return gtMessageBoxExtended(nullptr, ctx, nullptr, "Picture", "P", &d); }, {}, [&](const Box& b) {
        pr = ctx->rcPicture;
        pic = boxdriver::capture(b.hwnd, pr);
        corner = boxdriver::capture(b.hwnd, RECT{0, 0, 4, 4});
        boxdriver::click(b, 1);
    });
    ASSERT_EQ(pr.right - pr.left, kPictureWidth);
    ASSERT_EQ(pic.size(), size_t(kPictureWidth * kPictureHeight));
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            COLORREF src = picturePixel(x, y);
            ASSERT_EQ(pic[y * kPictureWidth + x], src == RGB(255, 255, 255) ? fill : src) << x << "," << y;
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
    HGDIOBJ objs[3] = {CreateFontA(12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"), CreateSolidBrush(RGB(1, 2, 3)),
                       CreateBitmap(4, 4, 1, 1, nullptr)};
    LPGTMBCONTEXT ctx = gtOpenMessageBoxExtended(HFONT(objs[0]), HBRUSH(objs[1]), HBITMAP(objs[2]), RGB(1, 1, 1), RGB(2, 2, 2));
    ASSERT_TRUE(ctx);
    EXPECT_STREQ(ctx->szMarker, "~MSG~");
    EXPECT_EQ(ctx->hFont, objs[0]);
    EXPECT_EQ(ctx->hBrush, objs[1]);
    EXPECT_EQ(ctx->hBitmap, objs[2]);
    EXPECT_EQ(ctx->crText, RGB(1, 1, 1));
    EXPECT_EQ(ctx->crTextBk, RGB(2, 2, 2));
    EXPECT_EQ(ctx->hParent, nullptr);
    EXPECT_TRUE(gtCloseMessageBoxExtended(ctx, 2));  // only exactly 1 deletes
    for (HGDIOBJ o : objs) EXPECT_NE(GetObjectType(o), 0u);
    ctx = gtOpenMessageBoxExtended(HFONT(objs[0]), HBRUSH(objs[1]), HBITMAP(objs[2]), 0, 0);
    EXPECT_TRUE(gtCloseMessageBoxExtended(ctx, 1));
    for (HGDIOBJ o : objs) EXPECT_EQ(GetObjectType(o), 0u);
}
