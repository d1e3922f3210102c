// gtx rec: fixed-length record files through ZNativeFile.
//   gtx rec ls FILE --header N --len L        records as hex, numbered from 1
//   gtx rec rm FILE RECNO --header N --len L  removes record RECNO
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ZFile.h"
#include "gtx.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: gtx rec ls FILE --header N --len L\n"
                 "       gtx rec rm FILE RECNO --header N --len L\n");
    return GTX_USAGE;
}

int runRec(int argc, char** argv) {
    long header = 0, len = 0;
    std::vector<char*> args;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--header") && i + 1 < argc) header = std::strtol(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "--len") && i + 1 < argc) len = std::strtol(argv[++i], nullptr, 10);
        else args.push_back(argv[i]);
    }
    if (args.size() < 2 || len < 1 || header < 0) return usage();
    bool ls = !std::strcmp(args[0], "ls") && args.size() == 2;
    bool rm = !std::strcmp(args[0], "rm") && args.size() == 3;
    if (!ls && !rm) return usage();
    ZNativeFile file(args[1]);
    file.SetHeaderSize(static_cast<DWORD>(header));
    if (!file.Open(ls ? (OF_READ | OF_SHARE_DENY_NONE) : OF_READWRITE)) {
        std::fprintf(stderr, "gtx: cannot open %s\n", args[1]);
        return GTX_FAILED;
    }
    if (rm) {
        long recno = std::strtol(args[2], nullptr, 10);
        BOOL ok = recno >= 1 && file.Remove(static_cast<int>(header + (recno - 1) * len), static_cast<int>(len)) == TRUE;
        if (!ok) std::fprintf(stderr, "gtx: record %ld not removed (error %d)\n", recno, file.GetErrorCode());
        file.Close();
        return ok ? GTX_OK : GTX_FAILED;
    }
    std::vector<unsigned char> rec(static_cast<size_t>(len));
    int cursor = -1;
    long number = 1;
    for (BOOL more = file.GetFirst(rec.data(), static_cast<int>(len), cursor); more;
         more = file.GetNext(rec.data(), static_cast<int>(len), cursor), ++number) {
        std::printf("%6ld %10ld ", number, cursor - len);
        for (unsigned char c : rec) std::printf("%02x", c);
        std::printf("\n");
    }
    std::printf("records %u\n", file.GetTotalRecords(static_cast<int>(len)));
    file.Close();
    return GTX_OK;
}

}  // namespace

GTX_SUBCOMMAND(rec, "rec", "ls|rm records of a fixed-length record file", runRec);
