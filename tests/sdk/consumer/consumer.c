/* A C caller: strings, paths and the list through the import library, and
 * the DLL's version resource against the package's version.  Prints one line
 * per check; exit code 0 when all hold. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "gtapi32.h"

static int failures;

static void check(int ok, const char* what) {
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) failures++;
}

static void checkVersionResource(void) {
    char path[MAX_PATH];
    DWORD handle = 0, size;
    static char info[4096];
    char* value = NULL;
    UINT len = 0;
    GetModuleFileNameA(GetModuleHandleA("gtapi32.dll"), path, sizeof(path));
    size = GetFileVersionInfoSizeA(path, &handle);
    check(size > 0 && size <= sizeof(info), "gtapi32.dll has a version resource");
    if (size == 0 || size > sizeof(info)) return;
    GetFileVersionInfoA(path, 0, size, info);
    VerQueryValueA(info, "\\StringFileInfo\\040904B0\\ProductVersion", (void**)&value, &len);
    printf("dll version %s, package version %s\n", value ? value : "(none)", PACKAGE_VERSION);
    check(value != NULL && strcmp(value, PACKAGE_VERSION) == 0, "the DLL's version is the package's");
}

int main(void) {
    char path[262] = "C:\\Data\\Reports";
    char source[] = "C:\\Data\\report.txt";
    GTSPLITPATH split;
    LPGTLIST list;

    check(gtAppendTrailingSlash(path, NULL) == TRUE, "gtAppendTrailingSlash succeeds");
    check(strcmp(path, "C:\\Data\\Reports\\") == 0, "gtAppendTrailingSlash adds the backslash");

    check(gtSplitPath(source, &split) == TRUE, "gtSplitPath succeeds");
    check(strcmp(split.szExt, ".txt") == 0, "gtSplitPath finds the extension");

    list = gtCreateList();
    check(list != NULL, "gtCreateList");
    gtAddTailElem(list, path, (DWORD)sizeof(path));
    check(gtGetElemCount(list) == 1, "the list holds one element");
    check(strcmp((char*)gtGetElemAt(gtGetHeadPosition(list)), path) == 0, "the element is a copy of the path");
    check(gtDestroyList(list) == TRUE, "gtDestroyList");

    checkVersionResource();
    return failures ? 1 : 0;
}
