// Low-level disk access and the driver's DOS services: records and decisions
// on plain values, apart from the device calls.
#pragma once
#include <windows.h>

#include <cstddef>

namespace gt::legacy {

// Interrupt 25h with CX = 0xFFFF reads through this packet.
#pragma pack(push, 1)
struct DiskReadPacket {
    DWORD startSector;
    WORD count;
    DWORD buffer;
};
#pragma pack(pop)
static_assert(sizeof(DiskReadPacket) == 10, "disk-read packet");

// The driver's interrupt record: registers in, registers out.
struct DriverRegs {
    DWORD eax;
    DWORD ebx;
    DWORD ecx;
    DWORD edx;
    DWORD reserved[4];
    DWORD interrupt;  // low byte: the interrupt number
};
static_assert(sizeof(DriverRegs) == 36, "driver interrupt record");
static_assert(offsetof(DriverRegs, edx) == 12 && offsetof(DriverRegs, interrupt) == 32, "driver interrupt record");

enum : DWORD {
    kDriverRunInterrupt = 0x2004,
    kDriverRestart = 0x2007,
};

// Error words as interrupt 25h reports them: BIOS error in AH, DOS error in AL.
enum : DWORD {
    kDiskErrNoDevice = 0xFFFFFFFF,  // neither the system device nor the volume opened
    kDiskErrNotReady = 0x8002,      // time-out / drive not ready
    kDiskErrUnformatted = 0x020C,   // address mark not found / general failure
    kDiskErrSectorNotFound = 0x0408,
};

// Floppy type codes by DOS device type (0 when the type is not a floppy's).
int floppyTypeCode(int deviceType);
// The DOS device type a floppy of that many sectors has; -1 for none.
int deviceTypeFromSectorCount(DWORD sectors);

// What a FAT boot sector says, when it says anything DOS would accept.
struct BootSector {
    bool valid;
    WORD bytesPerSector;
    DWORD totalSectors;
};
BootSector parseBootSector(const BYTE* sector, size_t size);

// Version word of the DOS version call: major in the high byte.
WORD dosVersionWord(DWORD eaxAfter);

}  // namespace gt::legacy
