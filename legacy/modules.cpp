// Library loading, module paths and the 16-bit module functions.
#include "legacy/modules.h"

#include <mutex>

#include "frame/errormode.h"
#include "gtapi32.h"
#include "legacy/thunk16.h"
#include "text/mbchar.h"

namespace gt::legacy {
namespace {

constexpr UINT kQuietLoadMode = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
constexpr WORD kFreeResourcesFailed = 0xFFFF;

// gtSplitPath trims its argument in place: split a copy.
bool splitCopy(const char* name, GTSPLITPATH& split) {
    if (!name || !*name || lstrlenA(name) >= MAX_PATH) return false;
    char copy[MAX_PATH];
    gt::mb::copyToBuffer(copy, MAX_PATH, name);
    return gtSplitPath(copy, &split) != FALSE;
}

// A 16-bit module loaded for the length of one call.
class Loaded16 {
public:
    Loaded16(Thunk16& t, const char* name) : t_(t), h_(t.load(name)) {}
    ~Loaded16() {
        if (ok()) t_.free(h_);
    }
    Loaded16(const Loaded16&) = delete;
    Loaded16& operator=(const Loaded16&) = delete;
    bool ok() const { return h_ >= kFirstValidHandle16; }
    Handle16 get() const { return h_; }

private:
    Thunk16& t_;
    Handle16 h_;
};

// A 32-bit pointer mapped for one 16-bit call.
class Mapped16 {
public:
    Mapped16(Thunk16& t, void* p) : t_(t), alias_(t.map(p)) {}
    ~Mapped16() { t_.unmap(alias_); }
    Mapped16(const Mapped16&) = delete;
    Mapped16& operator=(const Mapped16&) = delete;
    SegPtr get() const { return alias_; }

private:
    Thunk16& t_;
    SegPtr alias_;
};

// Tool help, open for one search; searches are serialised so that two
// threads never share the module list walk.
std::mutex g_toolHelpLock;

// Searches the 16-bit module list for a file; on a match copies the module
// name into moduleName (10 bytes) when given.
bool toolHelpSearch(const char* file, char* moduleName) {
    GTSPLITPATH split;
    if (!splitCopy(file, split)) return false;
    Thunk16* t = thunk16();
    if (!t) return false;
    std::lock_guard<std::mutex> guard(g_toolHelpLock);
    Loaded16 toolHelp(*t, "TOOLHELP.DLL");
    if (!toolHelp.ok()) return false;
    SegPtr first = t->procedure(toolHelp.get(), "ModuleFirst");
    SegPtr next = t->procedure(toolHelp.get(), "ModuleNext");
    if (!first || !next) return false;

    const bool bare = isBareFileName(file);
    ModuleEntry16 entry{};
    entry.dwSize = sizeof(entry);
    for (SegPtr step = first;; step = next) {
        Args16 args;
        DWORD more;
        {
            Mapped16 mapped(*t, &entry);
            args.dword(mapped.get());
            more = LOWORD(t->call(step, args));
        }
        if (!more) return false;
        entry.szExePath[sizeof(entry.szExePath) - 1] = 0;
        if (moduleFileMatches(file, bare, entry.szExePath)) {
            if (moduleName) {
                gt::mb::copyToBuffer(moduleName, sizeof(entry.szModule), entry.szModule);
            }
            return true;
        }
    }
}

}  // namespace

std::string libraryFileName(const char* name) {
    GTSPLITPATH split;
    if (!splitCopy(name, split)) return {};
    std::string result = split.szPath;
    if (!split.szExt[0]) result += ".DLL";
    return result;
}

void cutToDirectory(char* path, bool keepSlash) {
    char* last = nullptr;
    for (char* p = path; *p; p = gt::mb::next(p))
        if (*p == '\\') last = p;
    if (last) last[keepSlash ? 1 : 0] = 0;
}

bool isBareFileName(const char* name) {
    GTSPLITPATH split;
    return splitCopy(name, split) && lstrcmpiA(split.szPath, split.szNameExt) == 0;
}

bool moduleFileMatches(const char* wanted, bool wantedIsBare, const char* exePath) {
    if (!wantedIsBare) return lstrcmpiA(wanted, exePath) == 0;
    GTSPLITPATH split;
    return splitCopy(exePath, split) && lstrcmpiA(wanted, split.szNameExt) == 0;
}

}  // namespace gt::legacy

using namespace gt::legacy;

extern "C" HMODULE GTAPI gtLoadLibraryEx(LPCSTR name) {
    std::string file = libraryFileName(name);
    if (file.empty()) return nullptr;
    gt::ErrorModeScope quiet(kQuietLoadMode);
    return LoadLibraryA(file.c_str());
}

extern "C" HMODULE GTAPI gtLoadLibrary(LPCSTR name) { return gtLoadLibraryEx(name); }

extern "C" UINT GTAPI gtLoadLibrary16Ex(LPCSTR name) {
    Thunk16* t = thunk16();
    if (!t) return 0;
    std::string file = libraryFileName(name);
    if (file.empty()) return 0;
    gt::ErrorModeScope quiet(kQuietLoadMode);
    return t->load(file.c_str());
}

extern "C" UINT GTAPI gtLoadLibrary16(LPCSTR name) {
    UINT h = gtLoadLibrary16Ex(name);
    return h >= kFirstValidHandle16 ? h : 0;
}

extern "C" HMODULE GTAPI gtGetModuleHandle(LPCSTR name) { return name ? GetModuleHandleA(name) : nullptr; }

extern "C" UINT GTAPI gtGetModuleHandle16(LPCSTR name) {
    // A cut name could name another module.
    if (!name || lstrlenA(name) >= MAX_PATH) return 0;
    Thunk16* t = thunk16();
    if (!t) return 0;
    Loaded16 kernel(*t, "KRNL386.EXE");
    if (!kernel.ok()) return 0;
    SegPtr proc = t->procedure(kernel.get(), "GetModuleHandle");
    if (!proc) return 0;
    char copy[MAX_PATH];
    gt::mb::copyToBuffer(copy, sizeof(copy), name);
    Mapped16 mapped(*t, copy);
    Args16 args;
    args.dword(mapped.get());
    return LOWORD(t->call(proc, args));
}

extern "C" BOOL GTAPI gtGetModuleFileName16(UINT module, LPSTR buffer, UINT size) {
    if (!buffer) return FALSE;
    if (size) buffer[0] = 0;
    Thunk16* t = thunk16();
    if (!t || size == 0) return FALSE;
    Loaded16 kernel(*t, "KRNL386.EXE");
    if (!kernel.ok()) return FALSE;
    SegPtr proc = t->procedure(kernel.get(), "GetModuleFileName");
    if (!proc) return FALSE;
    // The 16-bit call takes a 16-bit size.
    WORD size16 = size > 0xFFFF ? 0xFFFF : static_cast<WORD>(size);
    Mapped16 mapped(*t, buffer);
    Args16 args;
    args.word(static_cast<WORD>(module));
    args.dword(mapped.get());
    args.word(size16);
    BOOL ok = LOWORD(t->call(proc, args)) != 0;
    buffer[size - 1] = 0;
    return ok;
}

extern "C" UINT GTAPI gtGet16bitFilesModuleHandle(LPCSTR file) {
    char module[sizeof(ModuleEntry16::szModule)] = {};
    if (!toolHelpSearch(file, module)) return 0;
    return gtGetModuleHandle16(module);
}

extern "C" BOOL GTAPI gtIsModuleFile16Loaded(LPCSTR file) { return toolHelpSearch(file, nullptr); }

extern "C" BOOL GTAPI gtIsModuleFileLoaded(LPCSTR file) {
    GTSPLITPATH split;
    if (!splitCopy(file, split)) return FALSE;
    return GetModuleHandleA(split.szNameExt) != nullptr;
}

extern "C" BOOL GTAPI gtGetModulePath(HMODULE module, UINT mode, LPSTR buffer, WORD size) {
    if (!module || !buffer || size == 0) return FALSE;
    DWORD n = GetModuleFileNameA(module, buffer, size);
    // A path cut to the buffer names another directory.
    if (n == 0 || n >= size) {
        buffer[0] = 0;
        return FALSE;
    }
    cutToDirectory(buffer, mode == 1);
    return TRUE;
}

extern "C" BOOL GTAPI gtGetModulePathEx(LPCSTR name, UINT mode, LPSTR buffer, WORD size) {
    if (!name || !*name) return FALSE;
    return gtGetModulePath(GetModuleHandleA(name), mode, buffer, size);
}

extern "C" WORD GTAPI gtGetFreeSystemResources(WORD type) {
    Thunk16* t = thunk16();
    if (!t) return kFreeResourcesFailed;
    Handle16 user = static_cast<Handle16>(gtGetModuleHandle16("USER"));
    // A 32-bit process has no 16-bit USER until something loads it: load it
    // for the question and let it go again.
    Handle16 loaded = 0;
    if (user < kFirstValidHandle16) {
        loaded = t->load("USER.EXE");
        if (loaded < kFirstValidHandle16) return kFreeResourcesFailed;
        user = loaded;
    }
    WORD result = kFreeResourcesFailed;
    if (SegPtr proc = t->procedure(user, "GetFreeSystemResources")) {
        Args16 args;
        args.word(type);
        result = LOWORD(t->call(proc, args));
    }
    if (loaded) t->free(loaded);
    return result;
}
