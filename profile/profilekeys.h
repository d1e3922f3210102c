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

// The access every ZProfile key is opened with (KEY_READ | KEY_WRITE).
constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

}  // namespace gt::profile
