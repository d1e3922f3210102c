// The library's start-up: its export table, the attach state and the load
// failures when the archiving libraries are missing.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <set>
#include <string>

#include "frame/device.h"
#include "frame/frame.h"
#include "gtapi32.h"
#include "testutil.h"

namespace {

using GetStateFn = BOOL(WINAPI*)(GTLIBSTATE*);

std::string unixToWine(const char* unixPath) {
    std::string s = std::string("Z:") + unixPath;
    for (char& c : s)
        if (c == '/') c = '\\';
    return s;
}

bool copyTo(const std::string& from, const std::string& to) { return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0; }

GTLIBSTATE stateOf(HMODULE lib) {
    GTLIBSTATE s{};
    s.cbSize = sizeof(s);
    auto get = reinterpret_cast<GetStateFn>(GetProcAddress(lib, "gtGetLibraryState"));
    EXPECT_NE(get, nullptr);
    if (get) EXPECT_TRUE(get(&s));
    return s;
}

// The library from the build directory, loaded once for the whole program.
HMODULE mainLibrary() {
    static HMODULE lib = LoadLibraryA((testutil::programDir() + "gtapi32.dll").c_str());
    return lib;
}

TEST(Frame, EveryDefNameResolves) {
    HMODULE lib = mainLibrary();
    ASSERT_NE(lib, nullptr);
    const char* src = getenv("GT_SOURCE_DIR");
    ASSERT_NE(src, nullptr);
    std::ifstream def(unixToWine(src) + "\\frame\\gtapi32.def");
    ASSERT_TRUE(def.good());
    std::string line;
    bool inExports = false;
    std::set<std::string> names;
    while (std::getline(def, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("EXPORTS", 0) == 0) { inExports = true; continue; }
        if (!inExports || line.empty() || line[0] == ';') continue;
        std::string name = line.substr(0, line.find_first_of(" \t"));
        EXPECT_TRUE(names.insert(name).second) << "listed twice: " << name;
        EXPECT_NE(GetProcAddress(lib, name.c_str()), nullptr) << name;
    }
    EXPECT_GT(names.size(), 50u);
}

TEST(Frame, AttachStateIsComplete) {
    HMODULE lib = mainLibrary();
    ASSERT_NE(lib, nullptr);
    GTLIBSTATE s = stateOf(lib);
    EXPECT_EQ(s.hModule, lib);
    // No private driver in the Windows directory here.
    EXPECT_EQ(s.hDriver, nullptr);
    // Wine offers the 16-bit thunk entry points: all six are set.
    EXPECT_NE(s.pfnLoadLibrary16, nullptr);
    EXPECT_NE(s.pfnFreeLibrary16, nullptr);
    EXPECT_NE(s.pfnGetProcAddress16, nullptr);
    HMODULE k32 = GetModuleHandleA("KERNEL32.DLL");
    EXPECT_EQ(s.pfnQT_Thunk, GetProcAddress(k32, "QT_Thunk"));
    EXPECT_EQ(s.pfnSMapLS_IP_EBP_8, GetProcAddress(k32, "SMapLS_IP_EBP_8"));
    EXPECT_EQ(s.pfnSUnMapLS_IP_EBP_8, GetProcAddress(k32, "SUnMapLS_IP_EBP_8"));
    // The ordinal entries are the ones the platform gives for those ordinals.
    EXPECT_EQ(s.pfnLoadLibrary16, GetProcAddress(k32, MAKEINTRESOURCEA(35)));
    EXPECT_EQ(s.pfnGetProcAddress16, GetProcAddress(k32, MAKEINTRESOURCEA(37)));
    EXPECT_NE(s.hZipLib, nullptr);
    EXPECT_NE(s.pfnDzip, nullptr);
    EXPECT_NE(s.hUnzipLib, nullptr);
    EXPECT_NE(s.pfnDunzip, nullptr);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(s.hZipLib, path, MAX_PATH);
    EXPECT_EQ(std::string(path), testutil::programDir() + "DZIP32.DLL");
}

TEST(Frame, StateQueryRejectsBadArguments) {
    auto get = reinterpret_cast<GetStateFn>(GetProcAddress(mainLibrary(), "gtGetLibraryState"));
    ASSERT_NE(get, nullptr);
    EXPECT_FALSE(get(nullptr));
    GTLIBSTATE s{};
    s.cbSize = 4;
    EXPECT_FALSE(get(&s));
}

TEST(Frame, EntryIgnoresEverythingButProcessAttach) {
    auto* base = reinterpret_cast<BYTE*>(mainLibrary());
    ASSERT_NE(base, nullptr);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS32*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto entry = reinterpret_cast<BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID)>(base + nt->OptionalHeader.AddressOfEntryPoint);
    GTLIBSTATE before = stateOf(mainLibrary());
    EXPECT_TRUE(entry(reinterpret_cast<HINSTANCE>(base), DLL_THREAD_ATTACH, nullptr));
    EXPECT_TRUE(entry(reinterpret_cast<HINSTANCE>(base), DLL_THREAD_DETACH, nullptr));
    GTLIBSTATE after = stateOf(mainLibrary());
    EXPECT_EQ(0, memcmp(&before, &after, sizeof(before)));
}

// Load cases in directories of their own.  Copies are named differently so
// that the loader never hands back the module already loaded above.
class FrameLoad : public ::testing::Test {
protected:
    std::string bin = testutil::programDir();
    std::string dirFor(const char* tag) { return testutil::freshTempDir(tag); }
};

TEST_F(FrameLoad, FailsWithoutZipLibrary) {
    std::string dir = dirFor("nozip");
    ASSERT_TRUE(copyTo(bin + "gtapi32.dll", dir + "gtcopy1.dll"));
    ASSERT_TRUE(copyTo(bin + "DUNZIP32.DLL", dir + "DUNZIP32.DLL"));
    UINT before = SetErrorMode(0);
    SetErrorMode(before);
    EXPECT_EQ(LoadLibraryA((dir + "gtcopy1.dll").c_str()), nullptr);
    // The failure of the first skips the second.
    EXPECT_EQ(GetModuleHandleA((dir + "DUNZIP32.DLL").c_str()), nullptr);
    // The quiet error mode used for the loads has been put back.
    EXPECT_EQ(SetErrorMode(before), before);
}

TEST_F(FrameLoad, FailsWithoutUnzipLibraryAndKeepsZipLoaded) {
    std::string dir = dirFor("nounzip");
    ASSERT_TRUE(copyTo(bin + "gtapi32.dll", dir + "gtcopy2.dll"));
    ASSERT_TRUE(copyTo(bin + "DZIP32.DLL", dir + "DZIP32.DLL"));
    EXPECT_EQ(LoadLibraryA((dir + "gtcopy2.dll").c_str()), nullptr);
    // Nothing done by the earlier steps is undone: the zip library stays.
    HMODULE zip = GetModuleHandleA((dir + "DZIP32.DLL").c_str());
    EXPECT_NE(zip, nullptr);
}

TEST_F(FrameLoad, UnzipLibraryWithoutEntryStillLoads) {
    std::string dir = dirFor("noentry");
    ASSERT_TRUE(copyTo(bin + "gtapi32.dll", dir + "gtcopy3.dll"));
    ASSERT_TRUE(copyTo(bin + "DZIP32.DLL", dir + "DZIP32.DLL"));
    ASSERT_TRUE(copyTo(bin + "fake_dunzip_noentry.dll", dir + "DUNZIP32.DLL"));
    HMODULE lib = LoadLibraryA((dir + "gtcopy3.dll").c_str());
    ASSERT_NE(lib, nullptr);
    GTLIBSTATE s = stateOf(lib);
    EXPECT_EQ(s.hModule, lib);
    EXPECT_NE(s.hUnzipLib, nullptr);
    EXPECT_EQ(s.pfnDunzip, nullptr);  // visible to the unzip wrapper later
    EXPECT_NE(s.pfnDzip, nullptr);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(s.hUnzipLib, path, MAX_PATH);
    EXPECT_EQ(std::string(path), dir + "DUNZIP32.DLL");
}

// --- pieces of the attach sequence, linked directly ---

TEST(FrameOrdinals, LookupMatchesThePlatformAndStopsAtTheCount) {
    HMODULE k32 = GetModuleHandleA("KERNEL32");
    for (int n : {1, 35, 36, 37})
        EXPECT_EQ(gt::frame::kernel32Ordinal(n), GetProcAddress(k32, MAKEINTRESOURCEA(n))) << n;
    EXPECT_EQ(gt::frame::kernel32Ordinal(0), nullptr);
    EXPECT_EQ(gt::frame::kernel32Ordinal(-5), nullptr);
    EXPECT_EQ(gt::frame::kernel32Ordinal(100000), nullptr);
}

FARPROC lookupWithout36(int n) { return n == 36 ? nullptr : gt::frame::kernel32Ordinal(n); }
FARPROC lookupBeyondCount(int n) { return gt::frame::kernel32Ordinal(n + 100000); }

TEST(FrameOrdinals, ThunksAreAllOrNothing) {
    gt::frame::Thunks all = gt::frame::resolveThunks(&gt::frame::kernel32Ordinal);
    EXPECT_TRUE(all.complete());
    for (auto lookup : {&lookupWithout36, &lookupBeyondCount}) {
        gt::frame::Thunks t = gt::frame::resolveThunks(lookup);
        EXPECT_EQ(t.loadLibrary16, nullptr);
        EXPECT_EQ(t.freeLibrary16, nullptr);
        EXPECT_EQ(t.getProcAddress16, nullptr);
        EXPECT_EQ(t.qtThunk, nullptr);
        EXPECT_EQ(t.smapLS, nullptr);
        EXPECT_EQ(t.sunmapLS, nullptr);
    }
}

struct OpenCall {
    std::string name;
    DWORD access, share, disposition, flags;
    int calls;
} g_open;

HANDLE WINAPI fakeCreate(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD disp, DWORD flags,
                         HANDLE) {
    g_open = {name, access, share, disp, flags, g_open.calls + 1};
    return INVALID_HANDLE_VALUE;
}

TEST(FrameDevice, OpenerUsesShortNameAndFailsToZero) {
    std::string dir = testutil::freshTempDir("device");
    std::string file = dir + "a long driver name.rar";
    { std::ofstream(file) << "x"; }
    char shortName[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(file.c_str(), shortName, MAX_PATH), 0u);
    auto& seam = gt::device::seam();
    seam.createFile = &fakeCreate;
    g_open = {};
    EXPECT_EQ(gt::device::openDevice(file.c_str()), nullptr);  // INVALID_HANDLE_VALUE becomes 0
    gt::device::resetSeam();
    EXPECT_EQ(g_open.calls, 1);
    EXPECT_EQ(g_open.name, std::string("\\\\.\\") + shortName);
    EXPECT_EQ(g_open.access, 0u);
    EXPECT_EQ(g_open.share, 0u);
    EXPECT_EQ(g_open.disposition, (DWORD)OPEN_EXISTING);
    EXPECT_EQ(g_open.flags, (DWORD)FILE_FLAG_DELETE_ON_CLOSE);
    EXPECT_EQ(gt::device::openDevice(nullptr), nullptr);
}

// The placeholders never claim success.
TEST(Companions, PlaceholdersCheckTheRecordAndRefuse) {
    using Entry = DWORD(WINAPI*)(void*);
    struct {
        const char* dll;
        const char* entry;
        DWORD size;
    } cases[] = {{"DZIP32.DLL", "dzip", 188}, {"DUNZIP32.DLL", "dunzip", 142}};
    for (const auto& c : cases) {
        HMODULE m = LoadLibraryA((testutil::programDir() + c.dll).c_str());
        ASSERT_NE(m, nullptr) << c.dll;
        auto fn = reinterpret_cast<Entry>(GetProcAddress(m, c.entry));
        ASSERT_NE(fn, nullptr) << c.entry;
        BYTE record[256] = {};
        EXPECT_NE(fn(nullptr), 0u);
        *reinterpret_cast<DWORD*>(record) = c.size + 1;
        DWORD bad = fn(record);
        *reinterpret_cast<DWORD*>(record) = c.size;
        DWORD unsupported = fn(record);
        EXPECT_NE(bad, 0u);
        EXPECT_NE(unsupported, 0u);
        EXPECT_NE(bad, unsupported);
    }
}

}  // namespace
