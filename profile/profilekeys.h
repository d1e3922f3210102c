// Settings store internals: the registry-path decisions of ZProfile and the
// key wrapper its operations use.
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

// Copies at most maxBytes bytes of text into dst without splitting a
// double-byte character and terminates (dst holds maxBytes + 1).
void copyBounded(char* dst, const char* text, size_t maxBytes);

// The access every ZProfile key is opened with (KEY_READ | KEY_WRITE).
constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

using RegKey = gt::RegKey;

}  // namespace gt::profile
