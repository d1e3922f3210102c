// gtx tree / du / rm: the directory walks.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gtapi32.h"
#include "gtx.h"

namespace {

struct TreeState {
    size_t baseDepth;
    bool sizes;
};

size_t depthOf(const char* path) {
    size_t n = 0;
    for (const char* p = path; *p; p = CharNextA(p)) n += *p == '\\';
    return n;
}

int CALLBACK printDir(LPCSTR path, LPGTFINDDATA fd, DWORD user) {
    const auto* s = reinterpret_cast<const TreeState*>(static_cast<ULONG_PTR>(user));
    const size_t depth = depthOf(path) - s->baseDepth;
    if (s->sizes) {
        std::printf("%14llu  ", (static_cast<unsigned long long>(fd->dwSizeHigh) << 32) | fd->dwSizeLow);
    }
    std::printf("%*s%s\n", int(2 * depth), "", fd->szName);
    return 1;
}

int runTree(int argc, char** argv) {
    const bool sizes = argc == 3 && !std::strcmp(argv[2], "--sizes");
    if (argc != 2 && !sizes) {
        std::fprintf(stderr, "usage: gtx tree PATTERN [--sizes]\n  subdirectories, pre-order; --sizes adds each "
                     "one's total size\n");
        return GTX_USAGE;
    }
    TreeState state{depthOf(argv[1]), sizes};
    gtEnumSubDirsInDir(argv[1], &printDir, sizes ? TRUE : FALSE, TRUE,
                       static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(&state)), 0);
    return GTX_OK;
}

int runDu(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gtx du PATTERN\n  total bytes of the matching files, subdirectories included\n");
        return GTX_USAGE;
    }
    std::printf("%lld\t%s\n", static_cast<long long>(gtGetDirSize(argv[1], TRUE)), argv[1]);
    return GTX_OK;
}

int runRm(int argc, char** argv) {
    std::vector<std::string> keep;
    bool status = false, yes = false, bad = false;
    const char* pattern = nullptr;
    for (int i = 1; i < argc && !bad; ++i) {
        if (!std::strcmp(argv[i], "--status")) status = true;
        else if (!std::strcmp(argv[i], "--yes")) yes = true;
        else if (!std::strcmp(argv[i], "--keep") && i + 1 < argc) keep.push_back(argv[++i]);
        else if (!pattern && argv[i][0] != '-') pattern = argv[i];
        else bad = true;
    }
    if (!pattern || bad) {
        std::fprintf(stderr, "usage: gtx rm PATTERN [--keep NAME]... [--status] [--yes]\n  deletes what PATTERN "
                     "matches, subdirectories included, except the kept names; asks first unless --yes\n");
        return GTX_USAGE;
    }
    if (!yes) {
        std::fprintf(stderr, "delete %s and everything below it? [y/N] ", pattern);
        char answer[16] = {};
        if (!std::fgets(answer, sizeof answer, stdin) || (answer[0] != 'y' && answer[0] != 'Y')) {
            std::fprintf(stderr, "gtx: nothing deleted\n");
            return GTX_FAILED;
        }
    }
    // The keep-list: one 260-byte slot per name, then an empty one.
    constexpr size_t kSlot = 260;
    std::vector<char> slots((keep.size() + 1) * kSlot, 0);
    for (size_t i = 0; i < keep.size(); ++i) lstrcpynA(&slots[kSlot * i], keep[i].c_str(), kSlot);
    if (!gtDeleteFileEx(pattern, status ? TRUE : FALSE, nullptr, TRUE, slots.data())) {
        std::fprintf(stderr, "gtx: deleting %s failed (no such drive, or the walk stopped)\n", pattern);
        return GTX_FAILED;
    }
    return GTX_OK;
}

}  // namespace

GTX_SUBCOMMAND(tree, "tree", "tree PATTERN [--sizes]: subdirectories (and their sizes)", runTree);
GTX_SUBCOMMAND(du, "du", "du PATTERN: total size of the matching files", runDu);
GTX_SUBCOMMAND(rm, "rm", "rm PATTERN [--keep NAME]... [--status] [--yes]: delete with a keep-list", runRm);
