// Drive classification and the VWIN32 register-record calls, as plain
// functions apart from the exports so that tests (and the legacy disk code)
// can use them directly.
#pragma once
#include <windows.h>

#include "frame/errormode.h"

namespace gt::fs {

// The 28-byte register record exchanged with "\\.\VWIN32": input and output
// of DeviceIoControl.  Bit 0 of flags is the carry flag.
struct Vwin32Regs {
    DWORD ebx;
    DWORD edx;
    DWORD ecx;
    DWORD eax;
    DWORD edi;
    DWORD esi;
    DWORD flags;
};
static_assert(sizeof(Vwin32Regs) == 28, "VWIN32 register record");

// Drive indexes run from 0 (A) to this one (Z).
constexpr UINT kLastDriveIndex = 25;

// Control code of the DOS IOCTL call (interrupt 21h function 44xxh).
constexpr DWORD kVwin32DosIoctl = 1;

// One VWIN32 request through the device seam: opens "\\.\VWIN32" with the
// given creation disposition, sets the carry, calls, closes.  True only when
// DeviceIoControl succeeds and the returned carry is clear.  A device that
// does not open (NT family, Wine) is a failure.
bool vwin32Call(DWORD code, Vwin32Regs& regs, DWORD disposition = OPEN_EXISTING);

// Register record of DOS "get device parameters" (440Dh, 0860h) for a drive
// index (0 = A) into buffer.
Vwin32Regs deviceParamsRegs(UINT index, void* buffer);

// Byte 1 of the DOS device-parameter record.
constexpr int kDeviceTypeOffset = 1;
// Room for the record and the track layout the call may append.
constexpr size_t kDeviceParamsSize = 256;

// True for the DOS device types of floppy drives (0-4, 7, 9).
bool isFloppyDeviceType(int deviceType);
// True for an NT DOS device target naming a floppy ("\Device\Floppy0").
bool isFloppyDeviceName(const char* target);

// The library's drive type code from what the platform says:
// platformType is GetDriveTypeA's answer; deviceType is byte 1 of the DOS
// device parameters or -1 when they could not be read; dosDevice is the
// drive's NT DOS device target or nullptr when unknown.  Only consulted for
// removable drives.
int classifyDrive(UINT platformType, int deviceType, const char* dosDevice);

// The platform queries behind gtGetDriveTypeEx, replaceable by tests.
struct DriveQueries {
    UINT(WINAPI* getDriveType)(LPCSTR root);
    DWORD(WINAPI* queryDosDevice)(LPCSTR name, LPSTR target, DWORD size);
};
DriveQueries platformDriveQueries();

// gtGetDriveTypeEx over the given queries (device parameters always go
// through the device seam).
int driveType(UINT index, const DriveQueries& queries);

using ErrorModeScope = gt::ErrorModeScope;

}  // namespace gt::fs
