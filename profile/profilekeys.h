// Settings store internals: the registry-path decisions of ZProfile and the
// access its keys are opened with (the keys themselves are gt::Hkey).
#pragma once
#include <windows.h>

#include "frame/owners.h"

#include <cstddef>

namespace gt::profile {

// Root handle named anywhere in a registry path ("HKEY_CLASSES_ROOT" first,
// then CURRENT_USER, LOCAL_MACHINE, USERS, CURRENT_CONFIG, DYN_DATA); 0 when
// none occurs.
HKEY findRootKey(const char* path);

// The part of a registry path after its first backslash; nullptr without one.
const char* subKeyOf(const char* path);

// Longest texts the INI medium hands to the private-profile functions,
// which misbehave (up to crashing) on longer ones: file names as a path
// holds them, section and key names as a registry key name holds them (so
// both media take the same names), values within one line of the format.
constexpr size_t kIniNameMax = MAX_PATH - 1;
constexpr size_t kIniSectionMax = 255;
constexpr size_t kIniKeyMax = 255;
constexpr size_t kIniValueMax = 32000;

// True when a read or write of (section, key, value) may go to the INI
// file: a file name and a section are required (as on the registry), a
// null key or value keeps its meaning (for writes: remove), and every text
// is within its limit.  Reads pass value null.
bool iniAllowed(const char* fileName, const char* section, const char* key, const char* value);

// The access every ZProfile key is opened with (KEY_READ | KEY_WRITE).
constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

}  // namespace gt::profile
