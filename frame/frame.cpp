#include "frame/frame.h"

#include <objbase.h>

#include "frame/device.h"
#include "frame/errormode.h"
#include "gtapi32.h"

namespace gt::frame {
namespace {

State g_state;  // zero-initialised; written only by attach()

// The private driver, opened from the Windows directory when it is there.
constexpr char kDriverFile[] = "ZUDERARI.RAR";
// KERNEL32's export ordinals of the 16-bit loader entries.
constexpr int kLoadLibrary16Ordinal = 35;
constexpr int kFreeLibrary16Ordinal = 36;
constexpr int kGetProcAddress16Ordinal = 37;

BOOL comHook() {
    CoInitialize(nullptr);  // a failure is of no consequence to the library
    return TRUE;
}

BOOL deviceAndThunkHook() {
    char path[MAX_PATH + 16] = {};
    UINT n = GetWindowsDirectoryA(path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        gtAppendTrailingSlash(path, nullptr);
        if (lstrlenA(path) + lstrlenA(kDriverFile) < MAX_PATH) {
            lstrcatA(path, kDriverFile);
            g_state.driver = device::openDevice(path);
        }
    }
    g_state.thunks = resolveThunks(&kernel32Ordinal);
    return TRUE;
}

BOOL zipHook() {
    g_state.zipLib = loadCompanion(g_state.module, "DZIP32.DLL", "dzip", &g_state.dzip);
    return g_state.zipLib != nullptr;
}

BOOL unzipHook() {
    g_state.unzipLib = loadCompanion(g_state.module, "DUNZIP32.DLL", "dunzip", &g_state.dunzip);
    return g_state.unzipLib != nullptr;
}

}  // namespace

const State& state() { return g_state; }

void setThunksForTests(const Thunks& thunks) { g_state.thunks = thunks; }
void setDriverForTests(HANDLE driver) { g_state.driver = driver; }

BOOL attach(HMODULE module) {
    g_state.module = module;
    return comHook() && deviceAndThunkHook() && zipHook() && unzipHook();
}

FARPROC kernel32Ordinal(int ordinal) {
    if (ordinal < 1) return nullptr;
    HMODULE k32 = GetModuleHandleA("KERNEL32");
    if (!k32) return nullptr;
    auto* base = reinterpret_cast<const BYTE*>(k32);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    const IMAGE_DATA_DIRECTORY& exports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const DWORD exportRva = exports.VirtualAddress;
    if (!exportRva) return nullptr;
    const auto* dir = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + exportRva);
    const auto* functions = reinterpret_cast<const DWORD*>(base + dir->AddressOfFunctions);
    if (static_cast<DWORD>(ordinal) > dir->NumberOfFunctions) return nullptr;
    DWORD rva = functions[ordinal - 1];
    if (!rva) return nullptr;
    if (rva >= exportRva && rva < exportRva + exports.Size) {
        // A forwarder: the entry is the text "MODULE.Name", not code.  Calling
        // it would crash, so let the loader follow the forward instead.
        return GetProcAddress(k32, MAKEINTRESOURCEA(dir->Base + static_cast<DWORD>(ordinal) - 1));
    }
    return reinterpret_cast<FARPROC>(const_cast<BYTE*>(base) + rva);
}

Thunks resolveThunks(OrdinalLookup lookup) {
    Thunks t{};
    HMODULE k32 = GetModuleHandleA("KERNEL32.DLL");
    if (!k32 || !lookup) return t;
    t.loadLibrary16 = lookup(kLoadLibrary16Ordinal);
    t.freeLibrary16 = lookup(kFreeLibrary16Ordinal);
    t.getProcAddress16 = lookup(kGetProcAddress16Ordinal);
    t.qtThunk = GetProcAddress(k32, "QT_Thunk");
    t.smapLS = GetProcAddress(k32, "SMapLS_IP_EBP_8");
    t.sunmapLS = GetProcAddress(k32, "SUnMapLS_IP_EBP_8");
    if (!t.complete()) t = Thunks{};
    return t;
}

HMODULE loadCompanion(HMODULE module, const char* fileName, const char* entry, FARPROC* proc) {
    if (proc) *proc = nullptr;
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    char* slash = nullptr;
    for (char* p = path; *p; p = CharNextA(p))
        if (*p == '\\') slash = p;
    if (!slash) return nullptr;
    slash[1] = 0;
    if (lstrlenA(path) + lstrlenA(fileName) >= MAX_PATH) return nullptr;
    lstrcatA(path, fileName);
    HMODULE lib;
    {
        gt::ErrorModeScope quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        lib = LoadLibraryA(path);
    }
    if (lib && proc) *proc = GetProcAddress(lib, entry);
    return lib;
}

}  // namespace gt::frame

extern "C" BOOL GTAPI gtGetLibraryState(GTLIBSTATE* out) {
    if (!out || out->cbSize != sizeof(GTLIBSTATE)) return FALSE;
    const auto& s = gt::frame::state();
    out->hModule = s.module;
    out->hDriver = s.driver;
    out->pfnLoadLibrary16 = s.thunks.loadLibrary16;
    out->pfnFreeLibrary16 = s.thunks.freeLibrary16;
    out->pfnGetProcAddress16 = s.thunks.getProcAddress16;
    out->pfnQT_Thunk = s.thunks.qtThunk;
    out->pfnSMapLS_IP_EBP_8 = s.thunks.smapLS;
    out->pfnSUnMapLS_IP_EBP_8 = s.thunks.sunmapLS;
    out->hZipLib = s.zipLib;
    out->pfnDzip = s.dzip;
    out->hUnzipLib = s.unzipLib;
    out->pfnDunzip = s.dunzip;
    return TRUE;
}
