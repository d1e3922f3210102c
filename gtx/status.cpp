// gtx status: shows a status window for a while.
//   gtx status TEXT [--seconds N]     (N defaults to 3, at most 3600)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gtapi32.h"
#include "gtx.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: gtx status TEXT [--seconds N]\n");
    return GTX_USAGE;
}

// Keeps the window alive: dispatches messages until the deadline.
void pumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
}

int runStatus(int argc, char** argv) {
    const char* text = nullptr;
    long seconds = 3;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--seconds")) {
            if (++i >= argc) return usage();
            char* end = nullptr;
            seconds = std::strtol(argv[i], &end, 10);
            if (!*argv[i] || *end || seconds < 0 || seconds > 3600) return usage();
        } else if (!text) {
            text = argv[i];
        } else {
            return usage();
        }
    }
    if (!text) return usage();
    HWND status = gtPasteStatusMessage(nullptr, text);
    if (!status) {
        std::fprintf(stderr, "gtx: the status window could not be created\n");
        return GTX_FAILED;
    }
    pumpFor(static_cast<DWORD>(seconds) * 1000);
    gtPeelStatusMessage(status);
    return GTX_OK;
}

}  // namespace

GTX_SUBCOMMAND(status, "status", "shows TEXT in a status window for --seconds N", runStatus);
