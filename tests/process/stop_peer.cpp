// The second process of the stop-request tests, linked to the library.
//   wait CAPTION READY   sets the named event READY, reads its own flag
//                        (waiting while another process asks), and exits
//                        with kBoxStillUp when the box titled CAPTION was
//                        still there at that moment, plus kFlagSet when its
//                        flag was not 0
//   ask CAPTION          shows the stop question until it is killed
#include <windows.h>

#include <cstring>

#include "gtapi32.h"
#include "stop_peer.h"

int main(int argc, char** argv) {
    if (argc == 4 && !std::strcmp(argv[1], "wait")) {
        HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
        if (!ready) return stop_peer::kNoEvent;
        SetEvent(ready);
        CloseHandle(ready);
        const int flag = GetStopRequestFlag();
        int code = 0;
        if (FindWindowA("#32770", argv[2])) code |= stop_peer::kBoxStillUp;
        if (flag != 0) code |= stop_peer::kFlagSet;
        return code;
    }
    if (argc == 3 && !std::strcmp(argv[1], "ask")) {
        DisplayStopMessage(nullptr, "Stop the peer?", argv[2], MB_YESNO, 0);
        return 0;
    }
    return stop_peer::kUsage;
}
