// The resources compiled into gtapi32.dll, read back raw: string tables in
// the five languages, the two dialog templates, the four icon groups.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "restest.h"

using restest::library;
using restest::tableString;
using restest::wide;

namespace {

const WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const WORD kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
const WORD kFrench = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);
const WORD kItalian = MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN);
const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

struct Language {
    WORD lang;
    const char* name;
    const char* cancel;    // 28002
    const char* yes;       // 28007
    const char* note;      // 28000
    const char* reboot;    // 28032
    const char* deleting;  // 28034
};

const char kNote[] = "String Id's start from 28001. Other resource values start from 2700.";
const char kNoTransNote[] = "NoTrans!. String Id's start from 28001. Other resource values start from 2700.";

const Language kLanguages[] = {
    {kEnglish, "English", "Cancel", "&Yes", kNote,
     "Press the Reset button on your PC to restart.", "Deleting %s files"},
    {kGerman, "German", "Abbrechen", "&Ja", kNoTransNote,
     "Drücken Sie die Reset-Taste an Ihrem PC, um ihn neu zu starten.", "%s Dateien werden gelöscht"},
    {kFrench, "French", "Annuler", "&Oui", kNoTransNote,
     "Appuyez sur le bouton de réinitialisation de votre PC pour redémarrer.", "Suppression des fichiers %s..."},
    {kItalian, "Italian", "Annulla", "&Sì", kNote,
     "Premere il pulsante di reset del PC per riavviare.", "Eliminazione di %s file in corso"},
    {kJapanese, "Japanese", "キャンセル", "はい(&Y)", kNoTransNote,
     "再起動するには、PC のリセット ボタンを押してください。", "%s ファイルを削除中"},
};

std::string show(const std::optional<std::wstring>& s) {
    return s ? restest::narrow(*s) : std::string("<missing>");
}

TEST(ResourceStrings, LibraryLoadsAsData) {
    ASSERT_NE(library(), nullptr) << GetLastError();
}

TEST(ResourceStrings, KnownEntriesInEveryLanguage) {
    for (const Language& l : kLanguages) {
        SCOPED_TRACE(l.name);
        EXPECT_EQ(tableString(l.lang, 28000), wide(l.note)) << show(tableString(l.lang, 28000));
        EXPECT_EQ(tableString(l.lang, 28001), wide("OK"));
        EXPECT_EQ(tableString(l.lang, 28002), wide(l.cancel)) << show(tableString(l.lang, 28002));
        EXPECT_EQ(tableString(l.lang, 28007), wide(l.yes)) << show(tableString(l.lang, 28007));
        EXPECT_EQ(tableString(l.lang, 28032), wide(l.reboot)) << show(tableString(l.lang, 28032));
        EXPECT_EQ(tableString(l.lang, 28034), wide(l.deleting)) << show(tableString(l.lang, 28034));
    }
    EXPECT_EQ(tableString(kEnglish, 28033), wide("REBOOT MACHINE"));
    EXPECT_EQ(tableString(kEnglish, 28035), wide("Accessories"));
    EXPECT_EQ(tableString(kEnglish, 28031), wide("&Stop"));
    EXPECT_EQ(tableString(kFrench, 28006), wide("Éc&hec"));
    EXPECT_EQ(tableString(kGerman, 28026), wide("&Überspringen"));
    EXPECT_EQ(tableString(kJapanese, 28015), wide("Windowsの再起動(&W)"));
}

// Every language has the full range 28000-28035 and nothing beyond it in
// the last block (a shifted or missing entry shows here).
TEST(ResourceStrings, FullRangeInEveryLanguage) {
    for (const Language& l : kLanguages) {
        SCOPED_TRACE(l.name);
        for (UINT id = 28000; id <= 28035; ++id)
            EXPECT_TRUE(tableString(l.lang, id).has_value()) << id;
        for (UINT id = 28036; id < 28048; ++id)
            EXPECT_FALSE(tableString(l.lang, id).has_value()) << id;
    }
}

// Captions 28003-28031 are button texts with one mnemonic each; the status
// text is a wvsprintf format with exactly one %s and no other directive.
TEST(ResourceStrings, MnemonicsAndFormatDirectives) {
    for (const Language& l : kLanguages) {
        SCOPED_TRACE(l.name);
        for (UINT id = 28001; id <= 28031; ++id) {
            std::wstring s = tableString(l.lang, id).value_or(L"");
            size_t amps = std::count(s.begin(), s.end(), L'&');
            EXPECT_EQ(amps, id <= 28002 ? 0u : 1u) << id << " " << restest::narrow(s);
            size_t at = s.find(L'&');
            if (at != std::wstring::npos) {
                ASSERT_LT(at + 1, s.size()) << id;
                EXPECT_NE(s[at + 1], L' ') << id;
            }
        }
        std::wstring del = tableString(l.lang, 28034).value_or(L"");
        EXPECT_EQ(std::count(del.begin(), del.end(), L'%'), 1);
        EXPECT_NE(del.find(L"%s"), std::wstring::npos);
    }
}

// --- dialog templates -------------------------------------------------------

void expectFont(const restest::Dialog& d, WORD lang) {
    if (lang == kJapanese) {
        EXPECT_EQ(d.pointSize, 9);
        EXPECT_EQ(d.font, wide("ＭＳ ゴシック"));
    } else {
        EXPECT_EQ(d.pointSize, 8);
        EXPECT_EQ(d.font, L"MS Sans Serif");
    }
}

void expectFrame(const restest::Dialog& d, DWORD style, short cx, short cy, size_t items) {
    EXPECT_FALSE(d.extended);
    EXPECT_TRUE(d.complete);
    EXPECT_EQ(d.style, style);
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, cx);
    EXPECT_EQ(d.cy, cy);
    EXPECT_EQ(d.menu.ordinal, 0);
    EXPECT_TRUE(d.menu.name.empty());
    EXPECT_EQ(d.cls.ordinal, 0);
    EXPECT_TRUE(d.cls.name.empty());
    EXPECT_TRUE(d.title.empty());
    EXPECT_EQ(d.items.size(), items);
}

void expectItem(const restest::DialogItem& it, WORD id, WORD classOrdinal, DWORD style,
                short x, short y, short cx, short cy, const wchar_t* text) {
    SCOPED_TRACE(id);
    EXPECT_EQ(it.id, id);
    EXPECT_EQ(it.cls.ordinal, classOrdinal);
    EXPECT_EQ(it.style, style);
    EXPECT_EQ(it.exStyle, 0u);
    EXPECT_EQ(it.x, x);
    EXPECT_EQ(it.y, y);
    EXPECT_EQ(it.cx, cx);
    EXPECT_EQ(it.cy, cy);
    EXPECT_EQ(it.text.ordinal, 0);
    EXPECT_EQ(it.text.name, text);
    EXPECT_EQ(it.extraBytes, 0);
}

TEST(ResourceDialogs, MessageBoxTemplate) {
    for (WORD lang : {kEnglish, kJapanese}) {
        SCOPED_TRACE(lang);
        auto d = restest::dialog(IDD_GT_MSGBOX, lang);
        ASSERT_TRUE(d.has_value());
        expectFrame(*d, 0x90C800C0, 92, 31, 1);
        expectFont(*d, lang);
        if (d->items.size() == 1) expectItem(d->items[0], IDOK, 0x0080, 0x50010001, 16, 8, 50, 14, L"OK");
    }
}

TEST(ResourceDialogs, StatusTemplate) {
    for (WORD lang : {kEnglish, kJapanese}) {
        SCOPED_TRACE(lang);
        auto d = restest::dialog(IDD_GT_STATUS, lang);
        ASSERT_TRUE(d.has_value());
        expectFrame(*d, 0x900000C0, 238, 62, 2);
        expectFont(*d, lang);
        if (d->items.size() == 2) {
            expectItem(d->items[0], 0xFFFF, 0x0080, 0x50000007, 4, 2, 230, 56, L"");
            expectItem(d->items[1], IDC_GT_STATUSTEXT, 0x0082, 0x50020081, 10, 21, 218, 33, L"");
        }
    }
}

// The dialog manager builds windows of the expected classes from the
// templates (created hidden so that no focus changes hands).
TEST(ResourceDialogs, DialogManagerAcceptsTemplates) {
    struct Case {
        WORD dialog, control;
        const char* cls;
    } cases[] = {{IDD_GT_MSGBOX, IDOK, "Button"}, {IDD_GT_STATUS, IDC_GT_STATUSTEXT, "Static"}};
    for (WORD lang : {kEnglish, kJapanese}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.dialog);
            restest::Blob b = restest::resource(library(), reinterpret_cast<LPCWSTR>(RT_DIALOG),
                                                MAKEINTRESOURCEW(c.dialog), lang);
            ASSERT_NE(b.data, nullptr);
            std::vector<BYTE> copy(b.data, b.data + b.size);
            DWORD style;
            std::memcpy(&style, copy.data(), 4);
            style &= ~WS_VISIBLE;
            std::memcpy(copy.data(), &style, 4);
            HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                                  reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()),
                                                  nullptr, nullptr, 0);
            ASSERT_NE(dlg, nullptr) << GetLastError();
            HWND ctl = GetDlgItem(dlg, c.control);
            ASSERT_NE(ctl, nullptr);
            char cls[64] = {};
            GetClassNameA(ctl, cls, sizeof(cls));
            EXPECT_STRCASEEQ(cls, c.cls);
            DestroyWindow(dlg);
        }
    }
}

// --- icons ----------------------------------------------------------------------

#pragma pack(push, 2)
struct GroupIconDir {
    WORD reserved, type, count;
};
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14, "GRPICONDIRENTRY is 14 bytes");

const WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

TEST(ResourceIcons, GroupsHoldSixteenColourAndMonochromeImages) {
    for (WORD group = IDI_GT_QUESTION; group <= IDI_GT_STOP; ++group) {
        SCOPED_TRACE(group);
        restest::Blob b = restest::resource(library(), reinterpret_cast<LPCWSTR>(RT_GROUP_ICON),
                                            MAKEINTRESOURCEW(group), kNeutral);
        ASSERT_NE(b.data, nullptr);
        ASSERT_GE(b.size, sizeof(GroupIconDir));
        GroupIconDir dir;
        std::memcpy(&dir, b.data, sizeof dir);
        EXPECT_EQ(dir.type, 1);
        ASSERT_EQ(b.size, sizeof dir + dir.count * sizeof(GroupIconEntry));
        bool have4 = false, have1 = false;
        for (WORD i = 0; i < dir.count; ++i) {
            GroupIconEntry e;
            std::memcpy(&e, b.data + sizeof dir + i * sizeof e, sizeof e);
            EXPECT_EQ(e.width, 32);
            EXPECT_EQ(e.height, 32);
            // The image itself must agree with its directory entry.
            restest::Blob img = restest::resource(library(), reinterpret_cast<LPCWSTR>(RT_ICON),
                                                  MAKEINTRESOURCEW(e.id), kNeutral);
            ASSERT_NE(img.data, nullptr) << e.id;
            EXPECT_EQ(img.size, e.bytesInRes);
            BITMAPINFOHEADER h;
            ASSERT_GE(img.size, sizeof h);
            std::memcpy(&h, img.data, sizeof h);
            EXPECT_EQ(h.biWidth, 32);
            EXPECT_EQ(h.biHeight, 64);  // colour image and mask
            EXPECT_EQ(h.biBitCount, e.bitCount);
            DWORD expected = sizeof h + (4u << e.bitCount) + 32 * ((32 * e.bitCount + 31) / 32 * 4) + 32 * 4;
            EXPECT_EQ(img.size, expected);
            if (e.bitCount == 4 && e.colorCount == 16) have4 = true;
            if (e.bitCount == 1 && e.colorCount == 2) have1 = true;
        }
        EXPECT_TRUE(have4);
        EXPECT_TRUE(have1);
    }
}

const COLORREF kClear = 0xFF000000u;  // transparent: the background shows

struct Probe {
    int x, y;
    COLORREF colour;
};

struct IconCase {
    WORD id;
    Probe probes[5];
};

// Drawn on a 32-bit surface, each icon shows its 16-colour image: a few
// pixels that identify the drawing, and a transparent corner.
TEST(ResourceIcons, LoadAndDraw) {
    const COLORREF white = RGB(255, 255, 255), blue = RGB(0, 0, 255), black = RGB(0, 0, 0);
    const IconCase cases[] = {
        {IDI_GT_QUESTION, {{0, 0, kClear}, {4, 12, white}, {11, 8, blue}, {15, 18, blue}, {31, 12, RGB(128, 128, 128)}}},
        {IDI_GT_INFORMATION, {{0, 0, kClear}, {4, 12, white}, {11, 8, white}, {12, 18, blue}, {15, 14, blue}}},
        {IDI_GT_EXCLAMATION, {{0, 0, kClear}, {8, 26, RGB(255, 255, 0)}, {15, 12, black}, {15, 25, black}, {31, 31, kClear}}},
        {IDI_GT_STOP, {{0, 0, kClear}, {16, 4, RGB(255, 0, 0)}, {15, 15, white}, {9, 9, white}, {31, 31, kClear}}},
    };
    const COLORREF background = RGB(10, 200, 30);

    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 32;
    bi.bmiHeader.biHeight = -32;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bmp, nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    auto pixel = [&](int x, int y) {
        DWORD v = static_cast<const DWORD*>(bits)[y * 32 + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    };

    for (const IconCase& c : cases) {
        SCOPED_TRACE(c.id);
        HICON icon = static_cast<HICON>(LoadImageW(library(), MAKEINTRESOURCEW(c.id), IMAGE_ICON, 32, 32, 0));
        ASSERT_NE(icon, nullptr) << GetLastError();
        RECT all = {0, 0, 32, 32};
        HBRUSH brush = CreateSolidBrush(background);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        EXPECT_TRUE(DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL));
        GdiFlush();
        for (const Probe& p : c.probes) {
            COLORREF want = p.colour == kClear ? background : p.colour;
            EXPECT_EQ(pixel(p.x, p.y), want) << "at " << p.x << "," << p.y;
        }
        DestroyIcon(icon);
    }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

}  // namespace
