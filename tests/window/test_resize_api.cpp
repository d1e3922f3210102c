// Dialog resize layout on real dialogs: rules moving real controls, tables
// that fail and move nothing, dialog units against the platform's, and
// tables that end at an inaccessible page.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "gtapi32.h"

namespace {

constexpr int kClientWidth = 300;
constexpr int kClientHeight = 200;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | DS_SETFONT;

INT_PTR CALLBACK quietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// An empty dialog template in the dialog font, so that its base units are
// the font's and not the system's.
std::vector<WORD> emptyTemplate() {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD));
    auto* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
    d->style = kDialogStyle;
    d->cx = 200;
    d->cy = 140;
    t.push_back(0);  // no menu
    t.push_back(0);  // the dialog class
    for (wchar_t c : std::wstring(L"Resize test")) t.push_back(c);
    t.push_back(0);
    t.push_back(8);  // point size
    for (wchar_t c : std::wstring(L"MS Shell Dlg")) t.push_back(c);
    t.push_back(0);
    return t;
}

std::string str(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

struct Control {
    int id;
    const char* cls;
    RECT r;
};

// A dialog with a 300 by 200 client area and the given children.
class Dialog {
public:
    explicit Dialog(const std::vector<Control>& controls = {}) {
        const std::vector<WORD> t = emptyTemplate();
        hwnd_ = CreateDialogIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(t.data()), nullptr, quietProc, 0);
        RECT frame{0, 0, kClientWidth, kClientHeight};
        AdjustWindowRectEx(&frame, GetWindowLongA(hwnd_, GWL_STYLE), FALSE, GetWindowLongA(hwnd_, GWL_EXSTYLE));
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        for (const Control& c : controls) {
            const DWORD extra = lstrcmpiA(c.cls, "LISTBOX") == 0 ? LBS_NOINTEGRALHEIGHT : 0;
            CreateWindowExA(0, c.cls, "", WS_CHILD | WS_VISIBLE | extra, c.r.left, c.r.top, c.r.right - c.r.left,
                            c.r.bottom - c.r.top, hwnd_, reinterpret_cast<HMENU>(INT_PTR(c.id)), nullptr, nullptr);
        }
    }
    ~Dialog() { DestroyWindow(hwnd_); }
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    HWND hwnd() const { return hwnd_; }
    RECT client() const {
        RECT r{};
        GetClientRect(hwnd_, &r);
        return r;
    }
    std::string rectOf(int id) const {
        RECT r{};
        GetWindowRect(GetDlgItem(hwnd_, id), &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        return str(r);
    }
    // The platform's pixels for dialog units along each axis.
    int dx(int units) const { return mapped(RECT{0, 0, units, 0}).right; }
    int dy(int units) const { return mapped(RECT{0, 0, 0, units}).bottom; }

private:
    RECT mapped(RECT r) const {
        MapDialogRect(hwnd_, &r);
        return r;
    }
    HWND hwnd_;
};

constexpr GTRESIZERULE kEndRule{GTRS_END, 0, 0, 0, 0, 0, 0, 0, 0, 0};

GTRESIZERULE edge(LONG type, LONG attr, LONG id, LONG refAttr, LONG refId, LONG offset, LONG percent = 100) {
    return GTRESIZERULE{type, attr, id, 0, refAttr, refId, percent, offset, 0, 0};
}
GTRESIZERULE block(LONG type, LONG first, LONG last, LONG refAttr, LONG refId, LONG offset) {
    return GTRESIZERULE{type, 0, first, last, refAttr, refId, 100, offset, 0, 0};
}
std::vector<GTRESIZERULE> table(std::vector<GTRESIZERULE> rules) {
    rules.push_back(kEndRule);
    return rules;
}

constexpr RECT kOk{200, 170, 250, 190};
constexpr RECT kLeftButton{10, 170, 60, 190};
constexpr RECT kNextButton{70, 170, 120, 190};
constexpr RECT kList{10, 10, 150, 120};
constexpr RECT kEdit{10, 130, 60, 150};
constexpr RECT kLabel{250, 10, 290, 30};  // no rule names it

struct Expect {
    int id;
    RECT r;
};

struct Row {
    const char* name;
    std::vector<Control> controls;  // the label is added to each
    std::vector<GTRESIZERULE> rules;
    BOOL result;
    std::vector<Expect> after;  // the label is checked in each
};

// Offsets in pixels come from the platform's conversion on a probe dialog.
std::vector<Row> rows(const Dialog& u) {
    const int right = kClientWidth + u.dx(-7);
    return {
        {"a right-anchored button moves",
         {{1, "BUTTON", kOk}},
         {edge(GTRS_MOVE, GTRS_RIGHT, 1, GTRS_RIGHT, GTRS_CLIENT, -7)},
         TRUE,
         {{1, {right - 50, 170, right, 190}}}},
        {"a right-anchored button stretches",
         {{1, "BUTTON", kOk}},
         {edge(GTRS_SIZE, GTRS_RIGHT, 1, GTRS_RIGHT, GTRS_CLIENT, -7)},
         TRUE,
         {{1, {200, 170, right, 190}}}},
        {"a list box follows the bottom",
         {{2, "LISTBOX", kList}},
         {edge(GTRS_SIZE, GTRS_BOTTOM, 2, GTRS_BOTTOM, GTRS_CLIENT, -30)},
         TRUE,
         {{2, {10, 10, 150, kClientHeight + u.dy(-30)}}}},
        {"an edit half as wide as the client",
         {{4, "EDIT", kEdit}},
         {edge(GTRS_SIZE, GTRS_WIDTH, 4, GTRS_WIDTH, GTRS_CLIENT, 0, 50)},
         TRUE,
         {{4, {10, 130, 160, 150}}}},
        {"a block of two buttons is centred",
         {{1, "BUTTON", kLeftButton}, {2, "BUTTON", kNextButton}},
         {block(GTRS_CENTER_HORZ, 1, 2, GTRS_EXTENT, GTRS_CLIENT, 0)},
         TRUE,
         {{1, {95, 170, 145, 190}}, {2, {155, 170, 205, 190}}}},
        {"a rule waits for a later rule",
         {{1, "BUTTON", kOk}, {2, "BUTTON", kLeftButton}},
         {edge(GTRS_MOVE, GTRS_RIGHT, 2, GTRS_LEFT, 1, -4), edge(GTRS_MOVE, GTRS_RIGHT, 1, GTRS_RIGHT, GTRS_CLIENT, -7)},
         TRUE,
         {{1, {right - 50, 170, right, 190}}, {2, {right - 100 + u.dx(-4), 170, right - 50 + u.dx(-4), 190}}}},
        {"two rules waiting for each other move nothing",
         {{1, "BUTTON", kOk}, {2, "BUTTON", kLeftButton}},
         {edge(GTRS_MOVE, GTRS_RIGHT, 1, GTRS_RIGHT, GTRS_CLIENT, -7), edge(GTRS_MOVE, GTRS_LEFT, 2, GTRS_LEFT, 4, 0),
          edge(GTRS_MOVE, GTRS_LEFT, 4, GTRS_LEFT, 2, 0)},
         FALSE,
         {{1, kOk}, {2, kLeftButton}}},
        {"a missing target moves nothing",
         {{1, "BUTTON", kOk}},
         {edge(GTRS_MOVE, GTRS_RIGHT, 1, GTRS_RIGHT, GTRS_CLIENT, -7), edge(GTRS_MOVE, GTRS_RIGHT, 77, GTRS_RIGHT, GTRS_CLIENT, -7)},
         FALSE,
         {{1, kOk}}},
        {"a missing reference moves nothing",
         {{1, "BUTTON", kOk}, {2, "BUTTON", kLeftButton}},
         {edge(GTRS_MOVE, GTRS_RIGHT, 1, GTRS_RIGHT, GTRS_CLIENT, -7), edge(GTRS_MOVE, GTRS_LEFT, 2, GTRS_RIGHT, 77, 0)},
         FALSE,
         {{1, kOk}, {2, kLeftButton}}},
    };
}

// Counts the position changes the label is asked for.
WNDPROC g_labelProc = nullptr;
int g_labelMoves = 0;
LRESULT CALLBACK countingProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_WINDOWPOSCHANGING) ++g_labelMoves;
    return CallWindowProcA(g_labelProc, h, msg, wp, lp);
}

}  // namespace

TEST(ResizeWindow, RulesOnRealDialogs) {
    const Dialog probe;
    for (Row& row : rows(probe)) {
        SCOPED_TRACE(row.name);
        row.controls.push_back({9, "STATIC", kLabel});
        Dialog d(row.controls);
        ASSERT_EQ(str(d.client()), str({0, 0, kClientWidth, kClientHeight}));
        g_labelMoves = 0;
        g_labelProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(GetDlgItem(d.hwnd(), 9), GWLP_WNDPROC,
                                                                  reinterpret_cast<LONG_PTR>(countingProc)));
        std::vector<GTRESIZERULE> rules = table(row.rules);
        EXPECT_EQ(gtResizeWindow(d.hwnd(), rules.data()), row.result);
        for (const Expect& e : row.after) EXPECT_EQ(d.rectOf(e.id), str(e.r)) << "control " << e.id;
        EXPECT_EQ(g_labelMoves, 0) << "the label no rule names was in the batch";
    }
}

TEST(ResizeWindow, CallsThatDoNothing) {
    Dialog empty;
    Dialog one({{1, "BUTTON", kOk}});
    Dialog minimised({{1, "BUTTON", kOk}});
    ShowWindow(minimised.hwnd(), SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(minimised.hwnd()));
    std::vector<GTRESIZERULE> moving = table({edge(GTRS_MOVE, GTRS_RIGHT, 1, GTRS_RIGHT, GTRS_CLIENT, -7)});
    const struct {
        const char* name;
        HWND window;
        LPGTRESIZERULE rules;
        BOOL result;
    } rows[] = {
        {"no table", one.hwnd(), nullptr, FALSE},
        {"no window", nullptr, moving.data(), FALSE},
        {"a destroyed window", reinterpret_cast<HWND>(0x7ff0), moving.data(), FALSE},
        {"a dialog without children", empty.hwnd(), moving.data(), FALSE},
        {"a minimised dialog", minimised.hwnd(), moving.data(), TRUE},
    };
    for (const auto& row : rows) EXPECT_EQ(gtResizeWindow(row.window, row.rules), row.result) << row.name;
    EXPECT_EQ(one.rectOf(1), str(kOk));
    EXPECT_EQ(minimised.rectOf(1), str(kOk));
}

// More children than a first snapshot block holds: the first and the
// last created both follow their rules.
TEST(ResizeWindow, ManyChildren) {
    std::vector<Control> controls;
    for (int id = 1; id <= 100; ++id) controls.push_back({id, "STATIC", {id, id, id + 10, id + 10}});
    Dialog d(controls);
    std::vector<GTRESIZERULE> rules = table({edge(GTRS_MOVE, GTRS_LEFT, 1, GTRS_LEFT, GTRS_CLIENT, 0),
                                             edge(GTRS_MOVE, GTRS_TOP, 100, GTRS_TOP, GTRS_CLIENT, 0)});
    ASSERT_TRUE(gtResizeWindow(d.hwnd(), rules.data()));
    EXPECT_EQ(d.rectOf(1), "0,1,10,11");
    EXPECT_EQ(d.rectOf(100), "100,0,110,10");
    EXPECT_EQ(d.rectOf(50), "50,50,60,60");
}

// Every rule's offset is converted along its own axis exactly as the
// window converts dialog units: a dialog as the platform does (rounding), a
// plain window with its own font (truncating).
TEST(ResizeWindow, OffsetsInTheWindowsDialogUnits) {
    Dialog d({{1, "BUTTON", kOk}});
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    CreateWindowExA(0, "BUTTON", "", WS_CHILD, 200, 170, 50, 20, plain, reinterpret_cast<HMENU>(1), nullptr, nullptr);
    HFONT font = CreateFontA(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    SendMessageA(plain, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const struct {
        const char* name;
        HWND window;
        BOOL(WINAPI* map)(HWND, LPRECT);
    } rows[] = {{"dialog", d.hwnd(), MapDialogRect}, {"plain window", plain, gtMapDialogRect}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<GTRESIZERULE> rules;
        for (LONG units = -41; units <= 41; ++units) {
            rules.push_back(edge(GTRS_MOVE, GTRS_LEFT, 1, GTRS_LEFT, GTRS_CLIENT, units));
            rules.push_back(edge(GTRS_MOVE, GTRS_TOP, 1, GTRS_TOP, GTRS_CLIENT, units));
        }
        rules = table(rules);
        ASSERT_TRUE(gtResizeWindow(row.window, rules.data()));
        for (size_t i = 0; i + 1 < rules.size(); ++i) {
            const bool horizontal = rules[i].nTargetAttr == GTRS_LEFT;
            RECT want{0, 0, rules[i].nOffset, rules[i].nOffset};
            row.map(row.window, &want);
            EXPECT_EQ(rules[i].nOffsetPixels, horizontal ? want.right : want.bottom)
                << (horizontal ? "horizontal " : "vertical ") << rules[i].nOffset;
            EXPECT_EQ(rules[i].bDone, 1) << "rule " << i;
        }
    }
    DestroyWindow(plain);
    DeleteObject(font);
}

TEST(MapDialogRect, DialogsAndPlainWindows) {
    Dialog d;
    const RECT samples[] = {{0, 0, 4, 8}, {7, 7, 7, 7}, {-7, -3, 100, 250}, {1, 1, 1, 1}};
    for (const RECT& units : samples) {
        RECT mine = units, platform = units;
        ASSERT_TRUE(gtMapDialogRect(d.hwnd(), &mine));
        MapDialogRect(d.hwnd(), &platform);
        EXPECT_EQ(str(mine), str(platform)) << "dialog units " << str(units);
    }

    // A plain window converts with its own font: the average width of the
    // 52 letters and the font's height, truncating toward zero.
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    HFONT font = CreateFontA(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    SendMessageA(plain, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    HDC dc = GetDC(plain);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE letters{};
    GetTextExtentPointA(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    SelectObject(dc, old);
    ReleaseDC(plain, dc);
    const LONG bx = (letters.cx / 26 + 1) / 2, by = letters.cy;
    for (LONG u = -7; u <= 7; ++u) {
        RECT r{u, u, u, u};
        ASSERT_TRUE(gtMapDialogRect(plain, &r));
        EXPECT_EQ(str(r), str({u * bx / 4, u * by / 8, u * bx / 4, u * by / 8})) << "dialog units " << u;
    }
    DestroyWindow(plain);
    DeleteObject(font);

    RECT r{1, 2, 3, 4};
    EXPECT_FALSE(gtMapDialogRect(nullptr, &r)) << "no window";
    EXPECT_FALSE(gtMapDialogRect(d.hwnd(), nullptr)) << "no rectangle";
}

TEST(ChildWindowCount, Children) {
    Dialog none, three({{1, "BUTTON", kOk}, {2, "LISTBOX", kList}, {9, "STATIC", kLabel}});
    const struct {
        const char* name;
        HWND window;
        int count;
    } rows[] = {{"no children", none.hwnd(), 0}, {"three children", three.hwnd(), 3}, {"no window", nullptr, 0}};
    for (const auto& row : rows) EXPECT_EQ(gtGetChildWindowCount(row.window), row.count) << row.name;
}

// Tables placed so that their end rule is the last thing before a page the
// process may not touch: nothing past the end rule is read, and input out
// of range moves nothing.
TEST(ResizeWindow, TablesAtTheEdgeOfAPage) {
    SYSTEM_INFO si{};
    GetSystemInfo(&si);
    auto* pages = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * si.dwPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(pages + si.dwPageSize, si.dwPageSize, PAGE_NOACCESS, &old));
    const Dialog probe;
    const int right = kClientWidth + probe.dx(-7);
    const RECT held = kLeftButton, moved{probe.dx(1), 170, probe.dx(1) + 50, 190};
    const struct {
        const char* name;
        GTRESIZERULE rule;
        BOOL result;
        RECT after;
    } rows[] = {
        {"a sound rule", edge(GTRS_MOVE, GTRS_RIGHT, 1, GTRS_RIGHT, GTRS_CLIENT, -7), TRUE, {right - 50, 170, right, 190}},
        {"type 9", edge(9, GTRS_RIGHT, 1, GTRS_RIGHT, GTRS_CLIENT, -7), FALSE, kOk},
        {"target attribute 6", edge(GTRS_MOVE, 6, 1, GTRS_RIGHT, GTRS_CLIENT, -7), FALSE, kOk},
        {"reference attribute -1", edge(GTRS_MOVE, GTRS_RIGHT, 1, -1, GTRS_CLIENT, -7), FALSE, kOk},
        {"block reference attribute 1000000", block(GTRS_CENTER_HORZ, 1, 1, 1000000, GTRS_CLIENT, 0), FALSE, kOk},
        {"the largest offset", edge(GTRS_MOVE, GTRS_RIGHT, 1, GTRS_RIGHT, GTRS_CLIENT, INT_MAX), FALSE, kOk},
        {"the largest percentage", edge(GTRS_SIZE, GTRS_WIDTH, 1, GTRS_WIDTH, GTRS_CLIENT, 0, INT_MAX), FALSE, kOk},
        {"a negative percentage leaves no width", edge(GTRS_SIZE, GTRS_WIDTH, 1, GTRS_WIDTH, GTRS_CLIENT, 0, -50), TRUE,
         {200, 170, 200, 190}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Dialog d({{1, "BUTTON", kOk}, {2, "BUTTON", kLeftButton}});
        // A sound rule first, so that a failure has something to hold back.
        auto* rules = reinterpret_cast<GTRESIZERULE*>(pages + si.dwPageSize) - 3;
        rules[0] = edge(GTRS_MOVE, GTRS_LEFT, 2, GTRS_LEFT, GTRS_CLIENT, 1);
        rules[1] = row.rule;
        rules[2] = kEndRule;
        EXPECT_EQ(gtResizeWindow(d.hwnd(), rules), row.result);
        EXPECT_EQ(d.rectOf(1), str(row.after));
        EXPECT_EQ(d.rectOf(2), str(row.result ? moved : held)) << "the sound rule's control";
    }
    VirtualFree(pages, 0, MEM_RELEASE);
}
