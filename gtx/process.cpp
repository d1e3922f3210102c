// gtx run | assoc | stop-ask: the process runners, the document lookup and
// the stop question.
//   gtx run PROGRAM [ARGS...] [--hidden] [--nowait] [--cwd DIR] [--dos]
//   gtx assoc DOCUMENT
//   gtx stop-ask TEXT
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "gtapi32.h"
#include "gtx.h"

namespace {

int runUsage() {
    std::fprintf(stderr, "usage: gtx run PROGRAM [ARGS...] [--hidden] [--nowait] [--cwd DIR] [--dos]\n");
    return GTX_USAGE;
}

// An argument with a blank goes back on the command line quoted.
void appendArgument(std::string& line, const char* arg) {
    if (!line.empty()) line += ' ';
    if (std::strchr(arg, ' ')) {
        line += '"';
        line += arg;
        line += '"';
    } else {
        line += arg;
    }
}

int runRun(int argc, char** argv) {
    std::string program, args;
    const char* cwd = nullptr;
    bool hidden = false, noWait = false, dos = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--hidden")) {
            hidden = true;
        } else if (!std::strcmp(argv[i], "--nowait")) {
            noWait = true;
        } else if (!std::strcmp(argv[i], "--dos")) {
            dos = true;
        } else if (!std::strcmp(argv[i], "--cwd")) {
            if (++i >= argc) return runUsage();
            cwd = argv[i];
        } else if (program.empty()) {
            program = argv[i];
        } else {
            appendArgument(args, argv[i]);
        }
    }
    if (program.empty()) return runUsage();
    if (dos) {
        const BOOL ok = gtExecHiddenDosApp(&program[0], args.empty() ? nullptr : args.c_str(), cwd, 0, noWait);
        std::printf("gtExecHiddenDosApp: %s\n", ok ? "TRUE" : "FALSE");
        return ok ? GTX_OK : GTX_FAILED;
    }
    const DWORD result = gtExecuteProcess(&program[0], &args[0], cwd, noWait, hidden);
    std::printf("gtExecuteProcess: %lu\n", static_cast<unsigned long>(result));
    return result == 0 ? GTX_OK : GTX_FAILED;
}

int runAssoc(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gtx assoc DOCUMENT\n");
        return GTX_USAGE;
    }
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof directory, directory);
    std::string document = argv[1];
    char line[MAX_PATH] = {};
    if (!gtFindExecutableEx(&document[0], directory, line)) {
        std::fprintf(stderr, "gtx: nothing opens %s\n", argv[1]);
        return GTX_FAILED;
    }
    std::printf("%s\n", line);
    return GTX_OK;
}

int runStopAsk(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gtx stop-ask TEXT\n");
        return GTX_USAGE;
    }
    // TEXT goes in as an insert, so that a per-cent sign typed in it is
    // shown instead of reading arguments that were never passed.
    const int answer = DisplayStopMessage(nullptr, "%1", "gtx", MB_YESNO | MB_ICONQUESTION, 0, argv[1]);
    if (answer == 0) {
        std::fprintf(stderr, "gtx: the question could not be shown\n");
        return GTX_FAILED;
    }
    std::printf("answer %d, stop request flag %d\n", answer, GetStopRequestFlag());
    return GTX_OK;
}

}  // namespace

GTX_SUBCOMMAND(run, "run", "runs PROGRAM [ARGS] (--hidden, --nowait, --cwd DIR, --dos) and prints the result",
               runRun);
GTX_SUBCOMMAND(assoc, "assoc", "prints the command line that opens DOCUMENT", runAssoc);
GTX_SUBCOMMAND(stopask, "stop-ask", "asks TEXT as the stop question and prints the resulting flag", runStopAsk);
