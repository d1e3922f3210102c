// gtx copy / cat / mktemp: the file operations.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "gtapi32.h"
#include "gtx.h"

namespace {

constexpr int kBarWidth = 40;

// Draws the bar on stderr from the progress record; never cancels.
int CALLBACK drawProgress(UINT message, LPGTCOPYPROGRESS p, DWORD /*user*/) {
    const double done = p->dwSourceSize ? double(p->dwBytesWritten) / double(p->dwSourceSize) : 1.0;
    const int filled = message == GTCOPY_DONE ? kBarWidth : int(done * kBarWidth);
    char bar[kBarWidth + 1];
    for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kBarWidth] = 0;
    std::fprintf(stderr, "\r[%s] %3d%%  %lu of %lu bytes", bar, filled * 100 / kBarWidth,
                 static_cast<unsigned long>(p->dwBytesWritten), static_cast<unsigned long>(p->dwSourceSize));
    if (message == GTCOPY_DONE) std::fprintf(stderr, "\n");
    return 1;
}

bool exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

int runCopy(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gtx copy DST SRC\n  copies SRC to DST with a progress bar on stderr\n");
        return GTX_USAGE;
    }
    const bool had = exists(argv[1]);
    if (!gtCopyFileEx(argv[1], argv[2], &drawProgress, 0)) {
        std::fprintf(stderr, "\ngtx: copying %s to %s failed (missing or empty source, no room, read-only or same "
                     "file); %s\n", argv[2], argv[1], had ? "the destination is unchanged" : "nothing was created");
        return GTX_FAILED;
    }
    return GTX_OK;
}

int runCat(int argc, char** argv) {
    const bool deleteSource = argc == 4 && !std::strcmp(argv[3], "--delete-source");
    if (argc != 3 && !deleteSource) {
        std::fprintf(stderr, "usage: gtx cat DST SRC [--delete-source]\n  appends SRC to DST\n");
        return GTX_USAGE;
    }
    if (!gtCatFile(argv[1], argv[2], deleteSource ? TRUE : FALSE)) {
        std::fprintf(stderr, "gtx: appending %s to %s failed; the destination is as it was\n", argv[2], argv[1]);
        return GTX_FAILED;
    }
    return GTX_OK;
}

int runMktemp(int argc, char** argv) {
    const bool dir = argc == 5 && !std::strcmp(argv[4], "--dir");
    if (argc != 4 && !dir) {
        std::fprintf(stderr, "usage: gtx mktemp DIR PREFIX EXT [--dir]\n  creates a new file (or directory) "
                     "named DIR\\PREFIX<hex>.EXT and prints its name\n");
        return GTX_USAGE;
    }
    char out[MAX_PATH + 1] = {};
    if (!gtCreateTempFile(argv[1], argv[2], argv[3], out, sizeof out, TRUE, dir ? FALSE : TRUE)) {
        std::fprintf(stderr, "gtx: no temporary name could be created in %s\n", argv[1]);
        return GTX_FAILED;
    }
    std::printf("%s\n", out);
    return GTX_OK;
}

}  // namespace

GTX_SUBCOMMAND(copy, "copy", "copy DST SRC: buffered copy with a progress bar", runCopy);
GTX_SUBCOMMAND(cat, "cat", "cat DST SRC [--delete-source]: append SRC to DST", runCat);
GTX_SUBCOMMAND(mktemp, "mktemp", "mktemp DIR PREFIX EXT [--dir]: a new uniquely named file or directory", runMktemp);
