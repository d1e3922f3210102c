// gtx find PATTERN [MASK]: the find-file service's entries, decoded.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "gtapi32.h"
#include "gtx.h"

namespace {

void attributeLetters(DWORD a, char* out) {
    out[0] = (a & FILE_ATTRIBUTE_DIRECTORY) ? 'd' : '-';
    out[1] = (a & FILE_ATTRIBUTE_READONLY) ? 'r' : '-';
    out[2] = (a & FILE_ATTRIBUTE_HIDDEN) ? 'h' : '-';
    out[3] = (a & FILE_ATTRIBUTE_SYSTEM) ? 's' : '-';
    out[4] = (a & FILE_ATTRIBUTE_ARCHIVE) ? 'a' : '-';
    out[5] = 0;
}

void printEntry(const GTFINDDATA& f) {
    char attrs[6];
    attributeLetters(f.dwAttributes, attrs);
    const unsigned long long size = (static_cast<unsigned long long>(f.dwSizeHigh) << 32) | f.dwSizeLow;
    std::printf("%s 0x%04lX  %04u-%02u-%02u %02u:%02u:%02u  %12llu  %-13s  %s\n", attrs,
                static_cast<unsigned long>(f.dwAttributes), f.wDate[2], f.wDate[1], f.wDate[0], f.wTime[0],
                f.wTime[1], f.wTime[2], size, f.szShortName, f.szName);
    std::printf("      created %04u-%02u-%02u %02u:%02u:%02u  accessed %04u-%02u-%02u %02u:%02u:%02u\n",
                f.wCreationDate[2], f.wCreationDate[1], f.wCreationDate[0], f.wCreationTime[0], f.wCreationTime[1],
                f.wCreationTime[2], f.wAccessDate[2], f.wAccessDate[1], f.wAccessDate[0], f.wAccessTime[0],
                f.wAccessTime[1], f.wAccessTime[2]);
}

int runFind(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: gtx find PATTERN [MASK]   (MASK: DOS search attributes, default 23)\n");
        return GTX_USAGE;
    }
    DWORD mask = 23;
    if (argc == 3) {
        char* end = nullptr;
        mask = static_cast<DWORD>(std::strtoul(argv[2], &end, 0));
        if (!end || *end) {
            std::fprintf(stderr, "gtx: bad mask '%s'\n", argv[2]);
            return GTX_USAGE;
        }
    }
    GTFINDDATA f;
    SetLastError(0);
    HANDLE h = gtFindFirst(argv[1], &f, mask);
    if (!h) {
        if (GetLastError() == ERROR_MOD_NOT_FOUND)
            std::fprintf(stderr, "gtx: the find-file library VAVEVO32.dll is not available\n");
        else
            std::printf("nothing found\n");
        return GTX_FAILED;
    }
    std::printf("%-5s %-6s  %-10s %-8s  %12s  %-13s  %s\n", "attrs", "value", "date", "time", "size", "short name",
                "name");
    int count = 0;
    do {
        printEntry(f);
        ++count;
    } while (gtFindNext(h, &f, mask));
    gtFindClose(h);
    std::printf("%d entr%s (mask %lu)\n", count, count == 1 ? "y" : "ies", static_cast<unsigned long>(mask));
    return GTX_OK;
}

}  // namespace

GTX_SUBCOMMAND(find, "find", "PATTERN [MASK]: the find-file service's entries, decoded", runFind);
