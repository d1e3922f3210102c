// Box definitions and bitmaps: extended message boxes with random button
// counts (up to 0xFFFF), keyword lists, caller buttons with string ids that
// name nothing, pictures of every kind (bitmaps of odd sizes and depths),
// appearance blocks and stale ones.  A box that is shown is ended by a
// timer; it must have exactly as many buttons as its count, and nothing of
// it may be left once the call returns.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz.h"
#include "gtapi32.h"

namespace {

constexpr INT_PTR kEndedByTimer = 4242;

struct Seen {
    bool shown = false;
    int buttons = 0;
};
Seen g_seen;

BOOL CALLBACK countButton(HWND child, LPARAM) {
    char cls[16] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") == 0) ++g_seen.buttons;
    return TRUE;
}

BOOL CALLBACK findBox(HWND w, LPARAM found) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

HWND threadBox() {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findBox, reinterpret_cast<LPARAM>(&box));
    return box;
}

void CALLBACK endBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = threadBox();
    if (!box || g_seen.shown) return;
    g_seen.shown = true;
    EnumChildWindows(box, countButton, 0);
    EndDialog(box, kEndedByTimer);
}

std::string keywordList(fuzz::Case& c) {
    static const char* const words[] = {"GTMB_OK", "GTMB_CANCEL", "GTMB_NOACTION", "GTMB_YES", "GTMB_NO", "GTMB_STOP",
                                        "GTMB_RESTOREPREV", "NOTHING", "", "GTMB_"};
    std::string list;
    for (int i = static_cast<int>(c.below(12)); i > 0; --i)
        list += std::string(c.below(2), ' ') + words[c.below(10)] + (c.chance(10) ? "\t" : "") + "|";
    if (c.chance(10)) list += std::string(300, 'X') + "GTMB_OK";
    return list;
}

HBITMAP anyBitmap(fuzz::Case& c) {
    const int w = c.pick({0, 1, 2, 7, 64, 300, 4000}), h = c.pick({0, 1, 3, 48, 200, 3000});
    const UINT bits = c.pick({1u, 4u, 8u, 16u, 24u, 32u});
    return CreateBitmap(w, h, 1, bits, nullptr);
}

}  // namespace

GT_FUZZ_FAMILY(boxes) {
    GTMBDEF def{};
    def.wButtonCount = c.chance(10) ? static_cast<WORD>(c.word()) : static_cast<WORD>(c.below(70));
    def.wDefaultId = static_cast<WORD>(c.below(32));
    def.dwCenter = c.pick({0u, 1u, 2u});
    def.dwPicture = c.chance(50);
    def.wPictureAlign = static_cast<WORD>(c.below(5));
    def.wSystemModal = static_cast<WORD>(c.below(3));
    HBITMAP picture = nullptr;
    def.picture.wKind = static_cast<WORD>(c.below(6));
    def.picture.hModule = GetModuleHandleA("gtapi32.dll");
    def.picture.crTransparent = c.chance(50) ? 0 : c.word() & 0xFFFFFF;
    def.picture.dwResource = c.below(6);
    if (def.picture.wKind == GTMBPIC_HBITMAP) def.picture.dwResource = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(picture = anyBitmap(c)));
    const std::string keywords = keywordList(c);
    std::vector<char> keywordText(keywords.begin(), keywords.end() + 1);
    std::vector<GTMBBUTTON> buttons(def.wButtonCount < 100 ? def.wButtonCount : 100);
    for (GTMBBUTTON& b : buttons) {
        b.wId = static_cast<WORD>(c.below(40));
        b.dwKind = c.chance(30) ? GTMBBTN_STRINGID : 0;
        if (b.dwKind == GTMBBTN_STRINGID) *reinterpret_cast<WORD*>(b.szText) = static_cast<WORD>(28000 + c.below(40));
        else std::strncpy(b.szText, c.text(60, fuzz::kAsciiBytes).c_str(), sizeof b.szText);  // may lack a terminator
    }
    const bool byKeywords = c.chance(60);
    def.pszKeywords = byKeywords ? keywordText.data() : nullptr;
    def.pButtons = def.wButtonCount <= buttons.size() && !buttons.empty() ? buttons.data() : nullptr;

    HBITMAP background = c.chance(30) ? anyBitmap(c) : nullptr;
    LPGTMBCONTEXT ctx = c.chance(50) ? gtOpenMessageBoxExtended(nullptr, nullptr, background, c.word() & 0xFFFFFF, c.word() & 0xFFFFFF)
                                     : nullptr;
    GTMBCONTEXT fakeContext{};
    LPGTMBCONTEXT passed = c.chance(10) ? &fakeContext : ctx;
    std::string text = c.text(c.chance(10) ? 2000 : 60, fuzz::kAsciiBytes);
    for (char& ch : text)
        if (ch == '%') ch = '#';  // the text is a format of the arguments below
    g_seen = Seen{};
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, endBox);
    const int result = gtMessageBoxExtended(nullptr, passed, GetModuleHandleA("gtapi32.dll"), text.c_str(),
                                            c.chance(20) ? nullptr : "fuzz", &def, 1, 2, 3);
    KillTimer(nullptr, timer);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    }
    if (def.wButtonCount > 64) c.check(!g_seen.shown, "a count above 64 shows no box");
    if (def.wButtonCount > 64) c.check(result == 0, "a count above 64 gives 0");
    if (g_seen.shown) c.check(result == kEndedByTimer, "a shown box returns what ended it");
    if (g_seen.shown) c.check(g_seen.buttons == def.wButtonCount, "a shown box has a button per entry");
    if (!g_seen.shown) c.check(result == 0 || result == -1, "a box not shown gives 0 or -1");
    c.check(threadBox() == nullptr, "no box is left behind");
    if (ctx) c.check(gtCloseMessageBoxExtended(ctx, 1) != FALSE, "the appearance block closes");
    if (ctx) c.check(gtCloseMessageBoxExtended(ctx, 1) == FALSE, "a closed appearance block does not close again");
    if (!ctx && background) DeleteObject(background);
    if (picture) DeleteObject(picture);
}
