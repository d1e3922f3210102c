// Library loading and 16-bit module access: the pure parts.
#pragma once
#include <windows.h>

#include <string>

namespace gt::legacy {

// The name a library is loaded under: ".DLL" appended to a name whose file
// part has no extension.  Empty when the name does not split.
std::string libraryFileName(const char* name);

// The directory part of a module path: cut after the last backslash, keeping
// it when keepSlash; a path without backslash stays whole.  In place.
void cutToDirectory(char* path, bool keepSlash);

// The 16-bit tool-help module record.
#pragma pack(push, 1)
struct ModuleEntry16 {
    DWORD dwSize;
    char szModule[10];
    WORD hModule;
    WORD wcUsage;
    char szExePath[256];
    WORD wNext;
};
#pragma pack(pop)
static_assert(sizeof(ModuleEntry16) == 276, "MODULEENTRY layout");

// Whether a tool-help entry's file is the one asked for: a bare name (no
// directory) is compared with the entry's file name and extension, a path
// with the entry's whole path; both case-insensitively.
bool moduleFileMatches(const char* wanted, bool wantedIsBare, const char* exePath);
// True when name has no directory part (it equals its own file name).
bool isBareFileName(const char* name);

}  // namespace gt::legacy
