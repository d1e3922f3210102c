// The library's entry: only process attach does anything.  Nothing is torn
// down at detach (the archiving libraries stay loaded until the process ends,
// and the process's end releases the driver handle).
#include <windows.h>

#include "frame/frame.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    return gt::frame::attach(module);
}
