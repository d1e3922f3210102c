// The resources compiled into gtapi32.dll, read back raw: string tables, dialog templates, icon groups.
#include <gtest/gtest.h>
#include <windows.h>
#include <set>
#include <string>
#include <vector>
#include "../../resources/gtapi32_res.h"
#include "testutil.h"

namespace {

const WORD EN = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), JA = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
enum : WORD { kIcon = 3, kDialog = 5, kString = 6, kGroupIcon = 14 };

std::vector<WORD> res(WORD type, UINT id, WORD lang) {
    static HMODULE lib = LoadLibraryExA("gtapi32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC r = FindResourceExW(lib, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id), lang);
    if (!r) return {};
    auto* p = static_cast<const WORD*>(LockResource(LoadResource(lib, r)));
    return std::vector<WORD>(p, p + SizeofResource(lib, r) / 2);
}

// Entry `id` of the string-table block of exactly `lang`; empty when missing.
std::wstring str(WORD lang, UINT id) {
    std::vector<WORD> b = res(kString, id / 16 + 1, lang);
    for (size_t p = 0, i = 0; p < b.size(); ++i, p += b[p] + 1)
        if (i == id % 16 && p + 1 + b[p] <= b.size()) return std::wstring(b.begin() + p + 1, b.begin() + p + 1 + b[p]);
    return L"";
}

TEST(ResourceStrings, EveryLanguageHasTheFullRange) {
    struct { WORD lang; const char *cancel, *deleting; } rows[] = {
        {EN, "Cancel", "Deleting %s files"},
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), "Abbrechen", "%s Dateien werden gelöscht"},
        {MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), "Annuler", "Suppression des fichiers %s..."},
        {MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN), "Annulla", "Eliminazione di %s file in corso"},
        {JA, "キャンセル", "%s ファイルを削除中"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.lang);
        EXPECT_EQ(str(r.lang, IDS_GT_CANCEL), testutil::wideFromUtf8(r.cancel));
        EXPECT_EQ(str(r.lang, IDS_GT_DELETINGFILES), testutil::wideFromUtf8(r.deleting));
        for (UINT id = 28000; id < 28048; ++id) EXPECT_EQ(str(r.lang, id).empty(), id > 28035) << id;
    }
}

// A classic dialog template as text: "style ex x y cx cy menu|class|title|pt font|", then per
// control "; style ex x y cx cy id #class text|extra"; "!" when the parse runs past the end.
std::wstring dialog(UINT id, WORD lang) {
    std::vector<WORD> w = res(kDialog, id, lang);
    size_t p = 0;
    std::wstring s;
    auto word = [&]() -> WORD { return p < w.size() ? w[p++] : (++p, 0); };
    auto num = [&](int n) { while (n--) s += std::to_wstring(short(word())) + L" "; };
    auto hex = [&] { DWORD v = word(); v |= DWORD(word()) << 16; wchar_t b[12]; swprintf(b, 12, L"%lx ", v); s += b; return v; };
    auto text = [&] {
        if (p < w.size() && w[p] == 0xFFFF) { ++p; s += L"#"; return num(1); }
        for (WORD c; (c = word()) != 0;) s += wchar_t(c);
        s += L"|";
    };
    if (w.size() < 9) return L"missing";
    DWORD style = hex();
    hex();
    WORD n = word();
    num(4), text(), text(), text();
    if (style & DS_SETFONT) num(1), text();
    for (WORD i = 0; i < n; ++i) {
        p += p & 1;
        s += L"; ", hex(), hex(), num(5), text(), text();
        WORD extra = word();
        s += std::to_wstring(extra), p += (extra + 1) / 2;
    }
    return p > w.size() ? s + L"!" : s;
}

TEST(ResourceDialogs, EnglishAndJapaneseTemplates) {
    struct { UINT id; const char *head, *controls; } dialogs[] = {
        {IDD_GT_MSGBOX, "90c800c0 0 0 0 92 31 |||", "; 50010001 0 16 8 50 14 1 #128 OK|0"},
        {IDD_GT_STATUS, "900000c0 0 0 0 238 62 |||", "; 50000007 0 4 2 230 56 -1 #128 |0; 50020081 0 10 21 218 33 27002 #130 |0"},
    };
    struct { WORD lang; const char* font; } fonts[] = {{EN, "8 MS Sans Serif|"}, {JA, "9 ＭＳ ゴシック|"}};
    for (const auto& f : fonts)
        for (const auto& d : dialogs)
            EXPECT_EQ(dialog(d.id, f.lang), testutil::wideFromUtf8((std::string(d.head) + f.font + d.controls).c_str()));
}

TEST(ResourceIcons, GroupsHold32x32FourBitAndOneBitImages) {
    const WORD neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    for (UINT g = IDI_GT_QUESTION; g <= IDI_GT_STOP; ++g) {
        SCOPED_TRACE(g);
        std::vector<WORD> d = res(kGroupIcon, g, neutral);  // header of 3 WORDs, entries of 7
        ASSERT_GE(d.size(), 3u);
        EXPECT_EQ(d[1], 1);
        ASSERT_EQ(d.size(), 3 + 7u * d[2]);
        std::set<WORD> depths;
        for (size_t e = 3; e < d.size(); e += 7) {
            WORD bits = d[e + 3];
            DWORD bytes = d[e + 4] | DWORD(d[e + 5]) << 16;
            EXPECT_EQ(d[e], 0x2020);                   // 32x32
            EXPECT_EQ(d[e + 1] & 0xFF, 1u << bits);    // colour count
            std::vector<WORD> img = res(kIcon, d[e + 6], neutral);  // BITMAPINFOHEADER first
            ASSERT_GE(img.size(), 20u);
            EXPECT_EQ(img.size() * 2, bytes);
            EXPECT_EQ(img[2], 32);
            EXPECT_EQ(img[4], 64);  // colour image and mask
            EXPECT_EQ(img[7], bits);
            EXPECT_EQ(bytes, 40 + (4u << bits) + 32 * ((32 * bits + 31) / 32 * 4) + 128);
            depths.insert(bits);
        }
        EXPECT_EQ(depths, (std::set<WORD>{1, 4}));
    }
}

}  // namespace
