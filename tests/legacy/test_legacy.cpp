// Legacy system access through the DLL on this system: real 16-bit values,
// library loading, the 3-D control stand-in, locale texts, system questions
// and the reboot fallback box.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gtapi32.h"
#include "mbxbox.h"
#include "testutil.h"

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(CharLowerA(reinterpret_cast<LPSTR>(static_cast<BYTE>(c)))
                                                ? tolower(static_cast<unsigned char>(c))
                                                : c);
    return s;
}

// ---- 16-bit modules ----

TEST(Modules16, KernelHandleAndFileName) {
    const UINT kernel = gtGetModuleHandle16("KERNEL");
    EXPECT_GE(kernel, 32u);
    EXPECT_EQ(gtGetModuleHandle16("KRNL386.EXE"), kernel) << "module name and file name find the same module";
    EXPECT_EQ(gtGetModuleHandle16("NOSUCHMODULE"), 0u);
    EXPECT_EQ(gtGetModuleHandle16(nullptr), 0u);

    char name[MAX_PATH] = {};
    ASSERT_TRUE(gtGetModuleFileName16(kernel, name, sizeof(name)));
    EXPECT_NE(lower(name).find("krnl386.exe"), std::string::npos) << "got \"" << name << "\"";

    char tiny[4] = "xyz";
    gtGetModuleFileName16(kernel, tiny, sizeof(tiny));
    EXPECT_EQ(tiny[3], 0) << "a short buffer stays terminated";
    EXPECT_FALSE(gtGetModuleFileName16(kernel, nullptr, 10));
}

TEST(Modules16, ToolHelpFindsLoadedFiles) {
    const UINT kernel = gtGetModuleHandle16("KERNEL");
    EXPECT_TRUE(gtIsModuleFile16Loaded("krnl386.exe")) << "a bare name compares file names";
    EXPECT_TRUE(gtIsModuleFile16Loaded("KRNL386.EXE")) << "case-insensitively";
    EXPECT_EQ(gtGet16bitFilesModuleHandle("krnl386.exe"), kernel);
    EXPECT_FALSE(gtIsModuleFile16Loaded("C:\\nowhere\\krnl386.exe")) << "a path compares whole paths";
    EXPECT_FALSE(gtIsModuleFile16Loaded("nosuch16.dll"));
    EXPECT_EQ(gtGet16bitFilesModuleHandle(""), 0u);
}

TEST(Modules16, FreeSystemResourcesArePercentages) {
    for (WORD type = 0; type <= 2; ++type) {
        const WORD free = gtGetFreeSystemResources(type);
        EXPECT_GE(free, 1) << "type " << type;
        EXPECT_LE(free, 100) << "type " << type;
    }
}

TEST(Modules16, Loader16) {
    const UINT toolhelp = gtLoadLibrary16("TOOLHELP");
    EXPECT_GE(toolhelp, 32u) << "\".DLL\" is appended";
    EXPECT_LT(gtLoadLibrary16Ex("NOSUCH16.DLL"), 32u) << "the loader's error value";
    EXPECT_EQ(gtLoadLibrary16("NOSUCH16.DLL"), 0u);
}

// ---- 32-bit modules ----

TEST(Modules32, LoadingAndPaths) {
    HMODULE version = gtLoadLibraryEx("version");
    ASSERT_NE(version, nullptr) << "\".DLL\" is appended";
    EXPECT_EQ(version, GetModuleHandleA("version.dll"));
    EXPECT_NE(gtLoadLibrary("version.dll"), nullptr) << "an extension stays";
    EXPECT_EQ(gtLoadLibrary("nosuch_library"), nullptr);
    EXPECT_EQ(gtGetModuleHandle(nullptr), nullptr);

    EXPECT_TRUE(gtIsModuleFileLoaded("C:\\anywhere\\gtapi32.dll")) << "file name and extension decide";
    EXPECT_FALSE(gtIsModuleFileLoaded("notloaded.dll"));
    EXPECT_FALSE(gtIsModuleFileLoaded(""));

    const std::string dir = testutil::programDir();  // ends with a backslash
    char path[MAX_PATH] = {};
    ASSERT_TRUE(gtGetModulePathEx("gtapi32.dll", 1, path, sizeof(path)));
    EXPECT_EQ(lower(path), lower(dir)) << "mode 1 keeps the backslash";
    ASSERT_TRUE(gtGetModulePath(GetModuleHandleA("gtapi32.dll"), 0, path, sizeof(path)));
    EXPECT_EQ(lower(path), lower(dir.substr(0, dir.size() - 1))) << "mode 0 drops it";
    char small[8] = "keep";
    EXPECT_FALSE(gtGetModulePath(GetModuleHandleA("gtapi32.dll"), 1, small, sizeof(small)))
        << "a cut path is no path";
    EXPECT_FALSE(gtGetModulePath(nullptr, 1, path, sizeof(path)));
    EXPECT_FALSE(gtGetModulePathEx("", 1, path, sizeof(path)));
}

// ---- the 3-D control library (the test's own stand-in) ----

using CallsProc = void(WINAPI*)(LONG*);

struct Ctl3dCalls {
    LONG registers, autoSubclasses, unregisters;
};

Ctl3dCalls callsSoFar() {
    Ctl3dCalls c{};
    HMODULE lib = GetModuleHandleA("CTL3D32.DLL");
    auto calls = lib ? reinterpret_cast<CallsProc>(GetProcAddress(lib, "Ctl3dStandInCalls")) : nullptr;
    if (calls) calls(&c.registers);
    return c;
}

TEST(Ctl3d, RegisterThenAutoSubclassAndUnregister) {
    SetDllDirectoryA((testutil::programDir() + "ctl3d").c_str());
    HINSTANCE self = GetModuleHandleA(nullptr);
    SetEnvironmentVariableA("GT_CTL3D_REGISTER", "1");
    SetEnvironmentVariableA("GT_CTL3D_AUTOSUBCLASS", "7");
    EXPECT_EQ(gtInitializeCtl3D(self), 7) << "the auto-subclass result is the last one";
    ASSERT_NE(GetProcAddress(GetModuleHandleA("CTL3D32.DLL"), "Ctl3dStandInCalls"), nullptr)
        << "the test's own library is the one loaded";
    EXPECT_EQ(callsSoFar().autoSubclasses, 1);
    EXPECT_TRUE(gtUnInitializeCtl3D(self));
    EXPECT_EQ(GetModuleHandleA("CTL3D32.DLL"), nullptr) << "unloaded again";
    EXPECT_FALSE(gtUnInitializeCtl3D(self)) << "nothing left to unregister";
}

TEST(Ctl3d, RefusedRegistrationLetsTheLibraryGo) {
    SetDllDirectoryA((testutil::programDir() + "ctl3d").c_str());
    SetEnvironmentVariableA("GT_CTL3D_REGISTER", "0");
    EXPECT_EQ(gtInitializeCtl3D(GetModuleHandleA(nullptr)), 0);
    EXPECT_EQ(GetModuleHandleA("CTL3D32.DLL"), nullptr);

    SetEnvironmentVariableA("GT_CTL3D_REGISTER", "2");
    EXPECT_EQ(gtInitializeCtl3D(GetModuleHandleA(nullptr)), 2) << "only exactly 1 goes on to auto-subclass";
    EXPECT_EQ(callsSoFar().autoSubclasses, 0);
    EXPECT_TRUE(gtUnInitializeCtl3D(GetModuleHandleA(nullptr)));
}

// Runs in the test entry that disables the library.
TEST(Ctl3dMissing, GivesZero) {
    if (!GetEnvironmentVariableA("GT_CTL3D_DISABLED", nullptr, 0)) GTEST_SKIP() << "the library is present here";
    EXPECT_EQ(gtInitializeCtl3D(GetModuleHandleA(nullptr)), 0);
}

// ---- dates, times and numbers ----

std::string platformDate(WORD day, WORD month, WORD year) {
    SYSTEMTIME st{};
    st.wDay = day;
    st.wMonth = month;
    st.wYear = year;
    char text[64] = {};
    GetDateFormatA(0, DATE_SHORTDATE, &st, nullptr, text, sizeof(text));
    return text;
}

// Run under each of the five UI languages.
TEST(LocaleTexts, DateAndTimeAsThePlatformWritesThem) {
    WORD date[3] = {4, 7, 1997};
    char text[64];
    std::memset(text, '#', sizeof(text));
    ASSERT_TRUE(gtConvertDateToStr(date, text));
    EXPECT_EQ(text, platformDate(4, 7, 1997));
    EXPECT_EQ(text[15], '#') << "never more than 15 characters";

    WORD time[3] = {13, 5, 9};
    std::memset(text, '#', sizeof(text));
    ASSERT_TRUE(gtConvertTimeToStr(time, text));
    EXPECT_NE(std::string(text).find("05"), std::string::npos) << "got \"" << text << "\"";
    EXPECT_EQ(text[15], '#');

    std::memset(text, '#', sizeof(text));
    gtGetSysDateStr(text);
    EXPECT_GT(std::strlen(text), 0u);
    EXPECT_EQ(text[15], '#');
    std::memset(text, '#', sizeof(text));
    gtGetSysTimeStr(text);
    EXPECT_GT(std::strlen(text), 0u);
    EXPECT_EQ(text[15], '#');
}

TEST(DatesAndTimes, FailuresAreReported) {
    char text[32] = "x";
    WORD badDate[3] = {31, 2, 1997};
    EXPECT_FALSE(gtConvertDateToStr(badDate, text)) << "31 February cannot be formatted";
    EXPECT_STREQ(text, "");
    WORD badTime[3] = {25, 0, 0};
    EXPECT_FALSE(gtConvertTimeToStr(badTime, text));
    EXPECT_FALSE(gtConvertTimeToStr(nullptr, text));
    EXPECT_FALSE(gtConvertTimeToStr(badTime, nullptr));
    EXPECT_FALSE(gtConvertDateToStr(nullptr, text));
    gtGetSysDateStr(nullptr);  // does nothing
}

TEST(DatesAndTimes, FileDateAsLocaleText) {
    const std::string path = testutil::freshTempDir("filedate") + "dated.txt";
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    FILETIME local, utc;
    SYSTEMTIME st{};
    st.wYear = 1997;
    st.wMonth = 7;
    st.wDay = 4;
    st.wHour = 12;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    SetFileTime(f, nullptr, nullptr, &utc);
    CloseHandle(f);

    char text[32] = {};
    EXPECT_EQ(gtGetFileDateStr(path.c_str(), text), text);
    EXPECT_EQ(text, platformDate(4, 7, 1997));
    EXPECT_EQ(gtGetFileDateStr("C:\\no\\such\\file.txt", text), nullptr);
    EXPECT_EQ(gtGetFileDateStr("", text), nullptr);
    EXPECT_EQ(gtGetFileDateStr(path.c_str(), nullptr), nullptr);
    DeleteFileA(path.c_str());
}

TEST(DatesAndTimes, TriplesOfNow) {
    SYSTEMTIME before;
    GetLocalTime(&before);
    WORD date[3] = {}, time[3] = {};
    ASSERT_TRUE(gtGetSystemDate(date));
    ASSERT_TRUE(gtGetSystemTime(time));
    EXPECT_EQ(date[0], before.wDay);
    EXPECT_EQ(date[1], before.wMonth);
    EXPECT_EQ(date[2], before.wYear);
    EXPECT_EQ(time[0], before.wHour);
    EXPECT_FALSE(gtGetSystemDate(nullptr));
    EXPECT_FALSE(gtGetSystemTime(nullptr));
}

TEST(Numbers, FixedPointTexts) {
    const struct {
        float value;
        int digits;
        const char* want;
    } rows[] = {{3.14159f, 2, "3.14"}, {-2.5f, 1, "-2.5"}, {0.5f, 1, ".5"},     {7.0f, 0, "7."},
                {1234567.0f, 2, "1234567.00"}, {0.05f, 2, ".05"}, {0.004f, 2, ".00"}};
    for (const auto& row : rows) {
        char text[64] = {};
        ASSERT_TRUE(gtFloatToFloatStr(row.value, row.digits, text)) << row.value;
        EXPECT_STREQ(text, row.want) << row.value << " with " << row.digits << " digits";
    }
    EXPECT_FALSE(gtFloatToFloatStr(1.0f, 2, nullptr));
}

// ---- system questions ----

TEST(SystemQuestions, VersionCodePageAndDevices) {
    const DWORD version = GetVersion();
    EXPECT_EQ(gtGetWindowsVersion(), LOWORD(version));
    EXPECT_TRUE(gtIsWindows95()) << "every version from 3.10 on";
    EXPECT_EQ(gtDoYouSpeakJACK(), GetACP() == 932 ? TRUE : FALSE) << "code page " << GetACP();

    HDC screen = GetDC(nullptr);
    EXPECT_FALSE(gtIsPrinterDC(screen));
    ReleaseDC(nullptr, screen);
    HDC meta = CreateMetaFileA(nullptr);
    EXPECT_FALSE(gtIsPrinterDC(meta)) << "a metafile is no printer";
    DeleteMetaFile(CloseMetaFile(meta));
    EXPECT_FALSE(gtTalkToDevice(0, 0x2004, nullptr, 0, nullptr, 0));
}

TEST(Environment, ValuesIntoBuffersAndBlocks) {
    SetEnvironmentVariableA("GT_LEGACY_VALUE", "C:\\DOS\\COMMAND.COM");
    char buffer[64] = {};
    EXPECT_EQ(gtGetEnv("GT_LEGACY_VALUE", buffer, sizeof(buffer)), buffer);
    EXPECT_STREQ(buffer, "C:\\DOS\\COMMAND.COM");

    LPSTR block = gtGetEnv("GT_LEGACY_VALUE", nullptr, 261);
    ASSERT_NE(block, nullptr);
    EXPECT_STREQ(block, "C:\\DOS\\COMMAND.COM");
    EXPECT_TRUE(gtGlobalFreePtr(block));

    EXPECT_EQ(gtGetEnv("GT_LEGACY_VALUE", nullptr, 5), nullptr) << "too long for the size";
    EXPECT_EQ(gtGetEnv("GT_LEGACY_VALUE", buffer, 18), nullptr) << "18 characters need 19 bytes";
    EXPECT_EQ(gtGetEnv("GT_NO_SUCH_VARIABLE", buffer, sizeof(buffer)), nullptr);
    EXPECT_EQ(gtGetEnv("", buffer, sizeof(buffer)), nullptr);
    EXPECT_EQ(gtGetEnv("GT_LEGACY_VALUE", buffer, 0), nullptr);
}

// ---- without a driver, the reboot falls back to a box ----

TEST(Reboot, WithoutDriverShowsTheResetBox) {
    mbxbox::Box box;
    std::string text;
    const int result = mbxbox::drive([] { return gtRebootMachine(); },
                                     [&](const mbxbox::Box& b) {
                                         text = mbxbox::textOf(GetDlgItem(b.hwnd, 0xFFFF));
                                         mbxbox::key(b, VK_RETURN);
                                     },
                                     &box);
    EXPECT_EQ(result, FALSE) << "the driver's result";
    EXPECT_EQ(box.caption, "REBOOT MACHINE");
    EXPECT_EQ(text, "Press the Reset button on your PC to restart.");
}

}  // namespace
