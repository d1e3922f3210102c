// Drive-space arithmetic and the boot-drive decision, apart from the
// platform calls so that tests can feed them chosen values.
#pragma once
#include <windows.h>

namespace gt::fs {

using GetDiskFreeSpaceExFn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
using GetDiskFreeSpaceFn = BOOL(WINAPI*)(LPCSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD);

// Free (total == false) or total bytes of the drive with letter `letter`:
// through exQuery when there is one (total free bytes, not the caller's
// quota), else through clusterQuery.  0 on failure or for a non-letter.
LONGLONG diskSpace(char letter, bool total, GetDiskFreeSpaceExFn exQuery, GetDiskFreeSpaceFn clusterQuery);

// clusters x sectors per cluster x bytes per sector, without 32-bit wrap.
LONGLONG clusterBytes(DWORD clusters, DWORD sectorsPerCluster, DWORD bytesPerSector);

// Kilobytes to bytes; -1 when the product does not fit (no drive has that).
LONGLONG kilobytesToBytes(LONGLONG kilobytes);

// 1-based boot drive from the "BootDir" setup value: its first character's
// drive number, 0 when that is not a letter or there is no value.
int bootDriveFromSetupValue(const char* value);

// The drive index gtGetBootDrive reports: from the DOS query's 1-based
// number when it is not 0, else from the registry's; 0 when both are 0.
WORD bootDriveIndex(int dosNumber, int registryNumber);

// The DOS "get boot drive" query through the kernel's entry for calls into
// virtual devices; 0 where there is no such entry (NT family, Wine).
int dosBootDrive();

}  // namespace gt::fs
