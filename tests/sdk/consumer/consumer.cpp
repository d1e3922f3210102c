// A C++ caller: the exported classes through the import library.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "ZProfile.h"

static int failures;

static void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) failures++;
}

static void checkProfile() {
    char dir[MAX_PATH];
    GetCurrentDirectoryA(sizeof(dir), dir);
    char ini[MAX_PATH + 32];
    std::snprintf(ini, sizeof(ini), "%s\\consumer.ini", dir);
    DeleteFileA(ini);

    ZProfile store(ini, nullptr);
    check(store.IsObjectValid() != 0, "ZProfile over an INI file is valid");
    check(store.WriteProfileStringA((char*)"Window", (char*)"Title", (char*)"Reports") != 0, "WriteProfileStringA");
    char value[64] = "";
    store.GetProfileStringA((char*)"Window", (char*)"Title", (char*)"", value, sizeof(value));
    check(std::strcmp(value, "Reports") == 0, "the value reads back");

    ZProfile copy(store);
    check(copy.GetProfileIntA((char*)"Window", (char*)"Missing", 42) == 42, "a copy reads the same store");
    DeleteFileA(ini);
}

int main() {
    checkProfile();
    return failures ? 1 : 0;
}
