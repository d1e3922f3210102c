#include "frame/device.h"

#include <cstring>

namespace gt::device {
namespace {
Seam platformSeam() { return Seam{&CreateFileA, &DeviceIoControl, &CloseHandle}; }
Seam g_seam = platformSeam();
}  // namespace

Seam& seam() { return g_seam; }
void resetSeam() { g_seam = platformSeam(); }

HANDLE openDevice(const char* fileName) {
    if (!fileName || !*fileName) return nullptr;
    char shortName[257] = {};
    DWORD n = GetShortPathNameA(fileName, shortName, sizeof(shortName) - 1);
    if (n == 0 || n >= sizeof(shortName) - 1) {
        // No short form (the file may not exist): the name as given, bounded.
        lstrcpynA(shortName, fileName, 257);
    }
    char device[4 + 257] = "\\\\.\\";
    lstrcpynA(device + 4, shortName, 257);
    HANDLE h = g_seam.createFile(device, 0, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

}  // namespace gt::device
