// gtx split PATH: the parts gtSplitPath gives for PATH.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "gtapi32.h"
#include "gtx.h"

namespace {

int runSplit(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gtx split PATH\n");
        return GTX_USAGE;
    }
    char path[1024];
    if (std::strlen(argv[1]) >= sizeof path) {
        std::fprintf(stderr, "gtx: path too long\n");
        return GTX_FAILED;
    }
    std::strcpy(path, argv[1]);
    GTSPLITPATH s;
    if (!gtSplitPath(path, &s)) {
        std::fprintf(stderr, "gtx: gtSplitPath refused the path\n");
        return GTX_FAILED;
    }
    std::printf("path        [%s]\n", s.szPath);
    std::printf("drive       [%s]%s\n", s.szDrive, gtIsUNCName(s.szPath) ? "  (UNC share)" : "");
    std::printf("directory   [%s]\n", s.szDir);
    std::printf("name        [%s]\n", s.szName);
    std::printf("extension   [%s]\n", s.szExt);
    std::printf("drive+dir   [%s]\n", s.szDriveDir);
    std::printf("name+ext    [%s]\n", s.szNameExt);
    std::printf("wildcards   %s\n", gtIsAnyWildCard(s.szPath) ? "yes" : "no");
    char full[261];
    std::strcpy(full, s.szPath);
    if (gtNormalizeFileName(full, nullptr, nullptr)) std::printf("absolute    [%s]\n", full);
    return GTX_OK;
}

}  // namespace

GTX_SUBCOMMAND(split, "split", "PATH: the parts of a path (gtSplitPath)", runSplit);
