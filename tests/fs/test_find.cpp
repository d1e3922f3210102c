// VAVEVO32.dll directly, and the find exports through gtapi32.dll, over a
// real directory.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "gtapi32.h"
#include "testutil.h"

namespace {

using S = std::set<std::string>;
const HANDLE kNone = reinterpret_cast<HANDLE>(0xFFFFFFFF);
const char* const kNames[] = {"plain.txt", "hid.txt", "sys.txt", "sub", "hsub"};
const DWORD kAttrs[] = {0, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM, 16, 16 | FILE_ATTRIBUTE_HIDDEN};

TEST(Find, MaskRulesDosWordsAndHandles) {
    const std::string dir = testutil::freshTempDir("find");
    HMODULE lib = LoadLibraryA((testutil::programDir() + "VAVEVO32.dll").c_str());
    auto first = reinterpret_cast<HANDLE(WINAPI*)(LPCSTR, DWORD, void*)>(GetProcAddress(lib, "_QRFX_FindFirstFile@12"));
    auto next = reinterpret_cast<BOOL(WINAPI*)(HANDLE, void*)>(GetProcAddress(lib, "_QRFX_FindNextFile@8"));
    auto close = reinterpret_cast<BOOL(WINAPI*)(HANDLE)>(GetProcAddress(lib, "_QRFX_FindClose@4"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(next, nullptr);
    ASSERT_NE(close, nullptr);
    bool kept = true;  // the host file system may not keep DOS attributes
    for (int i = 0; i < 5; ++i) {
        const std::string p = dir + kNames[i];
        if (kAttrs[i] & 16) CreateDirectoryA(p.c_str(), nullptr);
        else CloseHandle(CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        SetFileAttributesA(p.c_str(), kAttrs[i]);
        kept = kept && (GetFileAttributesA(p.c_str()) & kAttrs[i]) == kAttrs[i];
    }
    auto names = [&](DWORD mask) {
        S n;
        GTFINDRECORD r;
        HANDLE h = first((dir + "*").c_str(), mask, &r);
        if (h == kNone) return n;
        do n.insert(r.fd.cFileName); while (next(h, &r));
        close(h);
        return n;
    };
    const struct { DWORD mask; S want; } cases[] = {
        {0, {"plain.txt"}}, {2, {"plain.txt", "hid.txt"}}, {4, {"plain.txt", "sys.txt"}},
        {16, {".", "..", "sub"}}, {23, {".", "..", "sub", "hsub", "plain.txt", "hid.txt", "sys.txt"}},
    };
    for (const auto& c : cases) {
        if (!kept && c.mask != 23) continue;
        EXPECT_EQ(names(c.mask), c.want) << "case mask " << c.mask;
    }

    // The entry's DOS time and date, local, in the words at 320 and 324.
    HANDLE h = CreateFileA((dir + "plain.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SYSTEMTIME st{2001, 1, 0, 1, 12, 0, 0, 0};
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    SetFileTime(h, nullptr, nullptr, &utc);
    CloseHandle(h);
    unsigned char rec[332] = {};
    ASSERT_NE(h = first((dir + "plain.txt").c_str(), 7, rec), kNone);
    EXPECT_EQ(reinterpret_cast<DWORD*>(rec)[320 / 4], 0x6000u);  // 12:00:00
    EXPECT_EQ(reinterpret_cast<DWORD*>(rec)[324 / 4], 0x2A21u);  // 2001-01-01
    EXPECT_TRUE(close(h));
    EXPECT_FALSE(close(h)) << "case closed once only";
    EXPECT_EQ(first((dir + "none*.xyz").c_str(), 23, rec), kNone);

    // Through the DLL: the first mask holds for the whole search; dead handles fail.
    GTFINDDATA fd;
    ASSERT_NE(h = gtFindFirst((dir + "*").c_str(), &fd, 16), nullptr);
    S seen = {fd.szName};
    while (gtFindNext(h, &fd, 23)) seen.insert(fd.szName);
    EXPECT_EQ(seen, (kept ? S{".", "..", "sub"} : S{".", "..", "sub", "hsub"}));
    EXPECT_TRUE(gtFindClose(h));
    EXPECT_FALSE(gtFindNext(h, &fd, 23)) << "case next after close";
    EXPECT_FALSE(gtFindClose(h)) << "case closed twice";
    EXPECT_FALSE(gtFindClose(reinterpret_cast<HANDLE>(0x12345))) << "case made-up handle";
    EXPECT_EQ(gtFindFirst((dir + "plain.txt").c_str(), &fd, 16), nullptr);  // a file, in a directory search
    for (const char* name : kNames) {
        const std::string p = dir + name;
        SetFileAttributesA(p.c_str(), 0);
        DeleteFileA(p.c_str());
        RemoveDirectoryA(p.c_str());
    }
    RemoveDirectoryA(dir.c_str());
    FreeLibrary(lib);
}

}  // namespace
