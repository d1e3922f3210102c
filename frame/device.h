// The one seam through which the library talks to devices and drivers
// (CreateFileA on "\\.\" names, DeviceIoControl, CloseHandle).  Tests swap
// the function pointers to drive the decision logic without real devices.
#pragma once
#include <windows.h>

#include "frame/owners.h"

namespace gt::device {

struct Seam {
    HANDLE(WINAPI* createFile)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    BOOL(WINAPI* ioControl)(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    BOOL(WINAPI* close)(HANDLE);
};

// The seam in force; starts with the platform's functions.
Seam& seam();
// Puts the platform's functions back.
void resetSeam();

namespace owner_traits {
struct Device {  // handles from the seam, closed through the seam
    using Type = HANDLE;
    static Type invalid() { return nullptr; }
    static void release(Type h) { seam().close(h); }
};
}  // namespace owner_traits

// A device handle; give it nullptr, not INVALID_HANDLE_VALUE, for "none".
using DeviceHandle = Owner<owner_traits::Device>;

// Opens a device file: "\\.\" + the short form of fileName, no access, no
// sharing, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE.  0 on failure.
HANDLE openDevice(const char* fileName);

}  // namespace gt::device
