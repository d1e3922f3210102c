// gtx info: the library's attach state.
#include <windows.h>

#include <cstdio>

#include "gtapi32.h"
#include "gtx.h"

namespace {

const char* yesNo(const void* p) { return p ? "found" : "missing"; }

int runInfo(int, char**) {
    GTLIBSTATE s{};
    s.cbSize = sizeof(s);
    if (!gtGetLibraryState(&s)) {
        std::fprintf(stderr, "gtx: gtGetLibraryState failed\n");
        return GTX_FAILED;
    }
    char path[MAX_PATH] = {};
    GetModuleFileNameA(s.hModule, path, MAX_PATH);
    int thunks = !!s.pfnLoadLibrary16 + !!s.pfnFreeLibrary16 + !!s.pfnGetProcAddress16 + !!s.pfnQT_Thunk +
                 !!s.pfnSMapLS_IP_EBP_8 + !!s.pfnSUnMapLS_IP_EBP_8;
    std::printf("library        %s\n", path);
    std::printf("module handle  0x%08lX\n", (unsigned long)(ULONG_PTR)s.hModule);
    std::printf("driver handle  0x%08lX%s\n", (unsigned long)(ULONG_PTR)s.hDriver,
                s.hDriver ? "" : " (ZUDERARI.RAR not opened)");
    std::printf("thunk entries  %d of 6 set\n", thunks);
    std::printf("  ordinal 35 (16-bit load)     %s\n", yesNo((void*)s.pfnLoadLibrary16));
    std::printf("  ordinal 36 (16-bit free)     %s\n", yesNo((void*)s.pfnFreeLibrary16));
    std::printf("  ordinal 37 (16-bit proc)     %s\n", yesNo((void*)s.pfnGetProcAddress16));
    std::printf("  QT_Thunk                     %s\n", yesNo((void*)s.pfnQT_Thunk));
    std::printf("  SMapLS_IP_EBP_8              %s\n", yesNo((void*)s.pfnSMapLS_IP_EBP_8));
    std::printf("  SUnMapLS_IP_EBP_8            %s\n", yesNo((void*)s.pfnSUnMapLS_IP_EBP_8));
    std::printf("DZIP32.DLL     0x%08lX, entry dzip %s\n", (unsigned long)(ULONG_PTR)s.hZipLib,
                yesNo((void*)s.pfnDzip));
    std::printf("DUNZIP32.DLL   0x%08lX, entry dunzip %s\n", (unsigned long)(ULONG_PTR)s.hUnzipLib,
                yesNo((void*)s.pfnDunzip));
    std::printf("UI language    0x%04X\n", GetUserDefaultUILanguage());
    std::printf("ANSI code page %u\n", GetACP());
    return GTX_OK;
}

}  // namespace

GTX_SUBCOMMAND(info, "info", "the library's attach state", runInfo);
