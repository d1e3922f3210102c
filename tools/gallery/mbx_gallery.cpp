// Shows one extended message box or status window for scripts/gallery.sh:
//   mbx_gallery yesno|picture|status DONEFILE
// When the window is up and painted it prints "READY left top width height"
// (screen pixels), then keeps it up until DONEFILE exists.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "gtapi32.h"

namespace {

const char* g_done = nullptr;

std::string ansi(const wchar_t* w) {
    char a[512] = {};
    WideCharToMultiByte(CP_ACP, 0, w, -1, a, sizeof(a), nullptr, nullptr);
    return a;
}

BOOL CALLBACK findVisible(HWND w, LPARAM lp) {
    if (IsWindowVisible(w)) {
        *reinterpret_cast<HWND*>(lp) = w;
        return FALSE;
    }
    return TRUE;
}

// Waits for the window of `thread`, reports its place once painted, then
// waits for the done file and ends it with `endId` (0: status window).
struct Watch {
    DWORD thread;
    int endId;
};

DWORD WINAPI watcher(LPVOID p) {
    auto* w = static_cast<Watch*>(p);
    HWND box = nullptr;
    while (!box) {
        EnumThreadWindows(w->thread, findVisible, reinterpret_cast<LPARAM>(&box));
        Sleep(20);
    }
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    Sleep(1500);  // let the window system show it
    RECT r;
    GetWindowRect(box, &r);
    std::printf("READY %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fflush(stdout);
    while (GetFileAttributesA(g_done) == INVALID_FILE_ATTRIBUTES) Sleep(50);
    if (w->endId)
        PostMessageA(GetDlgItem(box, w->endId), BM_CLICK, 0, 0);
    else
        PostThreadMessageA(w->thread, WM_QUIT, 0, 0);
    return 0;
}

void watch(int endId) {
    static Watch w;
    w = Watch{GetCurrentThreadId(), endId};
    CloseHandle(CreateThread(nullptr, 0, watcher, &w, 0, nullptr));
}

// The question in the user's language (the buttons translate themselves).
int yesNo() {
    const wchar_t* text = L"Do you want to save the changes to \"Report.txt\"?";
    const wchar_t* caption = L"Question";
    switch (PRIMARYLANGID(GetUserDefaultUILanguage())) {
    case LANG_GERMAN: text = L"Möchten Sie die Änderungen an \"Report.txt\" speichern?"; caption = L"Frage"; break;
    case LANG_FRENCH: text = L"Voulez-vous enregistrer les modifications de \"Report.txt\" ?"; caption = L"Question"; break;
    case LANG_ITALIAN: text = L"Salvare le modifiche a \"Report.txt\"?"; caption = L"Domanda"; break;
    case LANG_JAPANESE: {
        text = L"\"Report.txt\" への変更を保存しますか?";
        caption = L"確認";
        // The prefix's title-bar font has no Japanese glyphs: use a face that has.
        NONCLIENTMETRICSW ncm{};
        ncm.cbSize = sizeof(ncm);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
            lstrcpyW(ncm.lfCaptionFont.lfFaceName, L"IPAPGothic");
            SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(ncm), &ncm, SPIF_SENDCHANGE);
        }
        break;
    }
    default: break;
    }
    std::string t = ansi(text), c = ansi(caption);
    GTMBDEF d{};
    d.pszKeywords = const_cast<LPSTR>("GTMB_YES|GTMB_NO");
    d.wButtonCount = 2;
    d.wDefaultId = 7;
    d.dwCenter = 1;
    d.dwPicture = 1;
    d.wPictureAlign = GTMBALIGN_MIDDLE;
    d.picture.wKind = GTMBPIC_ICON;
    d.picture.dwResource = 2;
    watch(7);
    return gtMessageBoxExtended(nullptr, nullptr, nullptr, t.c_str(), c.c_str(), &d);
}

// A caller's bitmap on white, drawn with white transparent over a patterned
// background brush.
int picture() {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 48, 48);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT all{0, 0, 48, 48};
    FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HBRUSH red = CreateSolidBrush(RGB(200, 30, 30)), blue = CreateSolidBrush(RGB(30, 60, 200));
    HGDIOBJ ob = SelectObject(mem, red);
    Ellipse(mem, 2, 2, 34, 34);
    SelectObject(mem, blue);
    POINT tri[3] = {{30, 14}, {46, 46}, {14, 46}};
    Polygon(mem, tri, 3);
    SelectObject(mem, ob);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(red);
    DeleteObject(blue);

    HBRUSH back = CreateHatchBrush(HS_DIAGCROSS, RGB(150, 190, 150));
    LPGTMBCONTEXT ctx = gtOpenMessageBoxExtended(nullptr, back, nullptr, RGB(0, 0, 96), 0);
    GTMBDEF d{};
    d.pszKeywords = const_cast<LPSTR>("GTMB_OK|GTMB_CANCEL");
    d.wButtonCount = 2;
    d.wDefaultId = 1;
    d.dwCenter = 1;
    d.dwPicture = 1;
    d.wPictureAlign = GTMBALIGN_TOP;
    d.picture.wKind = GTMBPIC_HBITMAP;
    d.picture.crTransparent = RGB(255, 255, 255);
    d.picture.dwResource = DWORD(ULONG_PTR(bmp));
    watch(1);
    int r = gtMessageBoxExtended(nullptr, ctx, nullptr,
                                 "The picture is the caller's own bitmap,\ndrawn with white transparent "
                                 "over the box's background brush.",
                                 "Caller bitmap", &d);
    gtCloseMessageBoxExtended(ctx, 1);
    DeleteObject(bmp);
    return r;
}

int status() {
    HWND s = gtPasteStatusMessage(nullptr, "Deleting C:\\TEMP\\REPORT.TXT files");
    if (!s) return 1;
    watch(0);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(s, &m)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    gtPeelStatusMessage(s);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mbx_gallery yesno|picture|status DONEFILE\n");
        return 2;
    }
    g_done = argv[2];
    if (!std::strcmp(argv[1], "yesno")) return yesNo() == 7 ? 0 : 1;
    if (!std::strcmp(argv[1], "picture")) return picture() == 1 ? 0 : 1;
    if (!std::strcmp(argv[1], "status")) return status();
    return 2;
}
