// Real extended boxes through the DLL: layout against live metrics, focus,
// keys, and the library's caption and texts.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "mbxbox.h"

using namespace mbxbox;

TEST(Boxes, YesNoLayoutFocusKeysAndLibraryTexts) {
    LPGTMBCONTEXT ctx = gtOpenMessageBoxExtended(nullptr, nullptr, nullptr, 0, 0);  // no font: the DC's own
    ASSERT_TRUE(ctx);
    GTMBDEF d = def("GTMB_YES|GTMB_NO", 2, 7);
    std::string text;
    RECT t{};
    int bw = 0, bh = 0;
    Box box;
    int result = drive([&] { return gtMessageBoxExtended(nullptr, ctx, GetModuleHandleA("gtapi32.dll"), MAKEINTRESOURCEA(28034), nullptr, &d, "7"); },
                       [&](const Box& b) {
                           text = ctx->pszText;
                           const int U = GetSystemMetrics(SM_CYCAPTION), F = GetSystemMetrics(SM_CXDLGFRAME);
                           GetWindowRect(GetDesktopWindow(), &t);
                           t.left += F + U, t.top += U;
                           HDC dc = GetDC(GetDesktopWindow());
                           DrawTextA(dc, text.c_str(), -1, &t, 0xE50);
                           ReleaseDC(GetDesktopWindow(), dc);
                           RECT unit{0, 0, 50, 14};
                           MapDialogRect(b.hwnd, &unit);
                           dc = GetDC(b.hwnd);
                           for (const char* s : {"&Yes", "&No"}) {
                               RECT r{0, 0, 10, 10};
                               DrawTextA(dc, s, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXTERNALLEADING);
                               bw = std::max(bw, int(r.right) + 15);
                           }
                           ReleaseDC(b.hwnd, dc);
                           bw = std::max(bw, int(unit.right)), bh = unit.bottom;
                           key(b, VK_ESCAPE);  // no id 2: ignored
                           key(b, VK_RETURN);
                       },
                       &box);
    EXPECT_EQ(result, 7);
    EXPECT_EQ(text, "Deleting 7 files");
    EXPECT_EQ(box.caption, "Error");
    const int U = GetSystemMetrics(SM_CYCAPTION), width = t.right + 3 * GetSystemMetrics(SM_CXDLGFRAME) + U;
    EXPECT_EQ(box.window.right - box.window.left, width);
    EXPECT_EQ(box.window.bottom - box.window.top, t.bottom + 3 * U + bh);
    ASSERT_EQ(box.buttons.size(), 2u);
    const char* captions[] = {"&Yes", "&No"};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(captions[i]);
        const Button& b = box.buttons[i];
        EXPECT_EQ(b.id, 7 + i);
        EXPECT_EQ(b.text, captions[i]);
        RECT want{width / 2 - (bw + 20) + i * (bw + 20), t.bottom + U, 0, 0};
        want.right = want.left + bw;
        want.bottom = want.top + bh;
        EXPECT_TRUE(EqualRect(&b.rect, &want))
            << b.rect.left << "," << b.rect.top << " " << b.rect.right << "," << b.rect.bottom;
        const DWORD push = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
        EXPECT_EQ(DWORD(b.style), i ? push | BS_PUSHBUTTON : push | BS_DEFPUSHBUTTON);
    }
    EXPECT_EQ(box.focus, box.buttons[0].hwnd);
    EXPECT_TRUE(gtCloseMessageBoxExtended(ctx, 0));
}

TEST(Boxes, EscapeCancelsAndNoButtonsGivesZero) {
    struct { const char* keywords; int result; bool shown; } cases[] = {
        {"GTMB_OK|GTMB_CANCEL", 2, true}, {"FOO|BAR", 0, false}};
    for (const auto& c : cases) {
        GTMBDEF d = def(c.keywords, 2, 1);
        Box box;
        int r = drive([&] { return gtMessageBoxExtended(nullptr, nullptr, nullptr, "Go on?", "Q", &d); },
                      [](const Box& b) { key(b, VK_ESCAPE); }, &box);
        EXPECT_EQ(r, c.result) << c.keywords;
        EXPECT_EQ(box.hwnd != nullptr, c.shown) << c.keywords;
    }
}
