// gtx drives: every drive with the library's type code and its space.
#include <windows.h>

#include <cstdio>

#include "gtapi32.h"
#include "gtx.h"

namespace {

const char* typeName(DWORD type) {
    switch (type) {
        case GTDRIVE_REMOVABLE: return "removable";
        case GTDRIVE_FIXED: return "fixed";
        case GTDRIVE_REMOTE: return "remote";
        case GTDRIVE_CDROM: return "cd-rom";
        case GTDRIVE_FLOPPY: return "floppy";
        default: return "?";
    }
}

BOOL CALLBACK printDrive(char letter, DWORD type, DWORD user) {
    auto* count = reinterpret_cast<int*>(static_cast<ULONG_PTR>(user));
    ++*count;
    // Floppy and CD-ROM drives are not asked for space: a drive without a
    // medium would only spin up or answer 0.
    if (type == GTDRIVE_FLOPPY || type == GTDRIVE_CDROM) {
        std::printf("%c:  %lu  %-9s  %20s  %20s\n", letter, static_cast<unsigned long>(type), typeName(type), "-",
                    "-");
        return TRUE;
    }
    std::printf("%c:  %lu  %-9s  %20lld  %20lld\n", letter, static_cast<unsigned long>(type), typeName(type),
                static_cast<long long>(gtGetDiskFreeSpace(letter)), static_cast<long long>(gtGetDiskSpace(letter)));
    return TRUE;
}

int runDrives(int argc, char** argv) {
    bool all = argc == 2 && !lstrcmpiA(argv[1], "--all");
    if (argc > 2 || (argc == 2 && !all)) {
        std::fprintf(stderr, "usage: gtx drives [--all]\n  --all  also ask floppy and CD-ROM drives for space\n");
        return GTX_USAGE;
    }
    std::printf("drive type  kind       %20s  %20s\n", "free bytes", "total bytes");
    int count = 0;
    if (all) {
        for (int i = 0; i <= 25; ++i) {
            const int type = gtGetDriveTypeEx(static_cast<UINT>(i));
            if (type == GTDRIVE_NONE || type == 1) continue;
            const char letter = gtConvertDriveIndex(i);
            ++count;
            std::printf("%c:  %d  %-9s  %20lld  %20lld\n", letter, type, typeName(type),
                        static_cast<long long>(gtGetDiskFreeSpace(letter)),
                        static_cast<long long>(gtGetDiskSpace(letter)));
        }
    } else if (!gtEnumDrives(GetModuleHandleA("gtapi32.dll"), &printDrive,
                             static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(&count)))) {
        std::fprintf(stderr, "gtx: gtEnumDrives failed\n");
        return GTX_FAILED;
    }
    char hard[4] = "-", floppy[4] = "-";
    if (char c = gtGetFirstHardDiskDrive()) wsprintfA(hard, "%c:", c);
    if (char c = gtGetFirstFloppyDiskDrive()) wsprintfA(floppy, "%c:", c);
    std::printf("%d drive(s); first fixed disk %s, first floppy %s, boot drive %c:\n", count, hard, floppy,
                gtConvertDriveIndex(gtGetBootDrive()));
    return GTX_OK;
}

}  // namespace

GTX_SUBCOMMAND(drives, "drives", "drives: letter, library type code, free and total bytes", runDrives);
