// gtx lines FILE [N]: the line count of a CR LF text file and, with N, line
// N (1 = first, -1 = last) reached through the line-file layer: forward with
// fuGotoNextLine, or backward from the end with fuGotoPrevLine.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gtapi32.h"
#include "gtx.h"

namespace {

int runLines(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: gtx lines FILE [N]   (N > 0 from the top, N < 0 from the end)\n");
        return GTX_USAGE;
    }
    std::vector<char> name(argv[1], argv[1] + std::strlen(argv[1]) + 1);
    LPGTLINEFILE h = fuOpenFile(name.data(), OF_READ | OF_SHARE_DENY_NONE);
    if (!h) {
        std::fprintf(stderr, "gtx: cannot open %s (error %d)\n", argv[1], fuGetErrorCode());
        return GTX_FAILED;
    }
    LONG count = fuGetNoofLines(h);
    std::printf("lines  %ld\n", static_cast<long>(count));
    int rc = GTX_OK;
    if (argc == 3) {
        long n = std::strtol(argv[2], nullptr, 10);
        if (n == 0 || n > count || -n > count) {
            std::fprintf(stderr, "gtx: no line %ld\n", n);
            rc = GTX_FAILED;
        } else {
            LONG pos;
            if (n > 0) {
                fuGotoTopOfFile(h);
                for (long i = 1; i < n; ++i) fuGotoNextLine(h);
                pos = fuGetCurFileOffset(h);
            } else {
                // Backward from the end; an unterminated tail is stepped over
                // by the first step like any partial line.
                fuGotoEndOfFile(h);
                for (long i = 0; i < -n; ++i) fuGotoPrevLine(h);
                pos = fuGetCurFileOffset(h);
            }
            std::vector<char> line(65536 + 2);
            int len = fuReadLine(h, line.data());
            std::string text(line.data());
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
            std::printf("line   %ld at offset %ld, %d bytes\n%s\n", n, static_cast<long>(pos), len, text.c_str());
        }
    }
    fuCloseFile(h);
    return rc;
}

}  // namespace

GTX_SUBCOMMAND(lines, "lines", "FILE [N]: line count, and line N (negative: from the end)", runLines);
