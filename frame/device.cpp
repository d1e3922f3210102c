#include "frame/device.h"

#include <cstring>

namespace gt::device {
namespace {
Seam platformSeam() { return Seam{&CreateFileA, &DeviceIoControl, &CloseHandle}; }
Seam g_seam = platformSeam();

constexpr char kDevicePrefix[] = "\\\\.\\";
// Room for a device file's name, terminator included.
constexpr size_t kDeviceNameRoom = 257;
}  // namespace

Seam& seam() { return g_seam; }
void resetSeam() { g_seam = platformSeam(); }

HANDLE openDevice(const char* fileName) {
    if (!fileName || !*fileName) return nullptr;
    char shortName[kDeviceNameRoom] = {};
    DWORD n = GetShortPathNameA(fileName, shortName, sizeof(shortName) - 1);
    if (n == 0 || n >= sizeof(shortName) - 1) {
        // No short form (the file may not exist): the name as given, bounded.
        lstrcpynA(shortName, fileName, sizeof shortName);
    }
    char device[sizeof kDevicePrefix - 1 + kDeviceNameRoom] = {};
    lstrcpyA(device, kDevicePrefix);
    lstrcpynA(device + sizeof kDevicePrefix - 1, shortName, kDeviceNameRoom);
    HANDLE h = g_seam.createFile(device, 0, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

}  // namespace gt::device
