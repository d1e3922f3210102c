// The library's start-up: export table, attach state, load failures without the archiving libraries.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <fstream>
#include <string>
#include "frame/frame.h"
#include "gtapi32.h"
#include "testutil.h"

namespace {

GTLIBSTATE stateOf(HMODULE lib) {
    GTLIBSTATE s{};
    s.cbSize = sizeof(s);
    auto get = reinterpret_cast<BOOL(WINAPI*)(GTLIBSTATE*)>(GetProcAddress(lib, "gtGetLibraryState"));
    EXPECT_NE(get, nullptr);
    if (get) {
        EXPECT_TRUE(get(&s));
    }
    return s;
}

HMODULE mainLibrary() { static HMODULE lib = LoadLibraryA((testutil::programDir() + "gtapi32.dll").c_str()); return lib; }

TEST(Frame, EveryDefNameResolves) {
    ASSERT_NE(mainLibrary(), nullptr);
    std::ifstream def(std::string("Z:") + getenv("GT_SOURCE_DIR") + "/frame/gtapi32.def");
    ASSERT_TRUE(def.good());
    std::string line;
    int count = 0;
    for (bool exports = false; std::getline(def, line);) {
        std::string name = line.substr(0, line.find_first_of(" \t\r"));
        if (name == "EXPORTS") {
            exports = true;
        } else if (exports && !name.empty() && name[0] != ';') {
            ++count;
            EXPECT_NE(GetProcAddress(mainLibrary(), name.c_str()), nullptr) << "case " << name;
        }
    }
    EXPECT_GT(count, 50);
}
TEST(Frame, AttachSetsSixThunksAndFindsBothArchivers) {
    GTLIBSTATE s = stateOf(mainLibrary());
    EXPECT_EQ(s.hModule, mainLibrary());
    gt::frame::Thunks t;  // the six thunk fields are laid out as in Thunks
    std::memcpy(&t, &s.pfnLoadLibrary16, sizeof t);
    EXPECT_TRUE(t.complete());
    EXPECT_EQ(s.pfnGetProcAddress16, GetProcAddress(GetModuleHandleA("KERNEL32"), MAKEINTRESOURCEA(37)));
    EXPECT_NE(s.hZipLib, nullptr);
    EXPECT_NE(s.pfnDzip, nullptr);
    EXPECT_NE(s.hUnzipLib, nullptr);
    EXPECT_NE(s.pfnDunzip, nullptr);
}

TEST(FrameLoad, ArchiverLibrariesDecideTheLoad) {
    struct { const char *tag, *dzip, *dunzip; bool loads; } cases[] = {
        {"nozip", nullptr, "DUNZIP32.DLL", false},
        {"nounzip", "DZIP32.DLL", nullptr, false},
        {"noentry", "DZIP32.DLL", "fake_dunzip_noentry.dll", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        // Copies named apart so the loader never hands back the module already loaded.
        std::string bin = testutil::programDir(), dir = testutil::freshTempDir(c.tag), copy = dir + "gt" + c.tag + ".dll";
        ASSERT_TRUE(CopyFileA((bin + "gtapi32.dll").c_str(), copy.c_str(), FALSE));
        if (c.dzip) ASSERT_TRUE(CopyFileA((bin + c.dzip).c_str(), (dir + "DZIP32.DLL").c_str(), FALSE));
        if (c.dunzip) ASSERT_TRUE(CopyFileA((bin + c.dunzip).c_str(), (dir + "DUNZIP32.DLL").c_str(), FALSE));
        HMODULE lib = LoadLibraryA(copy.c_str());
        EXPECT_EQ(lib != nullptr, c.loads);
        // A failed step leaves earlier loads in place and skips later ones.
        EXPECT_EQ(GetModuleHandleA((dir + "DZIP32.DLL").c_str()) != nullptr, c.dzip != nullptr);
        EXPECT_EQ(GetModuleHandleA((dir + "DUNZIP32.DLL").c_str()) != nullptr, c.loads);
        if (!lib) continue;
        const GTLIBSTATE s = stateOf(lib);
        EXPECT_NE(s.hUnzipLib, nullptr);
        EXPECT_EQ(s.pfnDunzip, nullptr);
        EXPECT_NE(s.pfnDzip, nullptr);
    }
}
FARPROC without36(int n) { return n == 36 ? nullptr : gt::frame::kernel32Ordinal(n); }
FARPROC beyondCount(int n) { return gt::frame::kernel32Ordinal(n + 100000); }

TEST(FrameOrdinals, BeyondCountGivesZeroAndThunksAreAllOrNothing) {
    EXPECT_EQ(gt::frame::kernel32Ordinal(100000), nullptr);
    EXPECT_EQ(gt::frame::kernel32Ordinal(0), nullptr);
    EXPECT_TRUE(gt::frame::resolveThunks(&gt::frame::kernel32Ordinal).complete());
    const gt::frame::Thunks none{};
    for (auto lookup : {&without36, &beyondCount}) {
        gt::frame::Thunks t = gt::frame::resolveThunks(lookup);
        EXPECT_EQ(std::memcmp(&t, &none, sizeof t), 0);
    }
}

TEST(Companions, PlaceholdersNeverReturnZero) {
    struct { const char *dll, *entry; DWORD size; } cases[] = {{"DZIP32.DLL", "dzip", 188}, {"DUNZIP32.DLL", "dunzip", 142}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dll);
        HMODULE m = LoadLibraryA((testutil::programDir() + c.dll).c_str());
        auto fn = reinterpret_cast<DWORD(WINAPI*)(void*)>(GetProcAddress(m, c.entry));
        ASSERT_NE(fn, nullptr) << c.entry;
        DWORD record[64] = {c.size + 1};  // wrong size, then right size but unsupported
        EXPECT_NE(fn(nullptr), 0u);
        EXPECT_NE(fn(record), 0u);
        record[0] = c.size;
        EXPECT_NE(fn(record), 0u);
    }
}

}  // namespace
