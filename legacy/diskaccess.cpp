// Absolute sector reads, floppy and disk states, and the DOS services that
// the product's driver runs.  Sector reads go to "\\.\VWIN32" where it
// exists (the Windows 95 family); elsewhere to the volume device ("\\.\A:"),
// which gives the same answers for the questions callers ask.
#include "legacy/diskaccess.h"

#include <cstring>
#include <vector>

#include "frame/device.h"
#include "frame/errormode.h"
#include "frame/frame.h"
#include "frame/owners.h"
#include "fs/probes.h"
#include "gtapi32.h"
#include "resources/gtapi32_res.h"
#include "text/memprobe.h"

namespace gt::legacy {

int floppyTypeCode(int deviceType) {
    switch (deviceType) {
    case 0: return 111;  // 320/360 KB 5.25"
    case 1: return 112;  // 1.2 MB 5.25"
    case 2: return 113;  // 720 KB 3.5"
    case 3: return 114;  // 8" single density
    case 4: return 115;  // 8" double density
    case 7: return 116;  // other: in practice 1.44 MB 3.5"
    case 9: return 117;  // 2.88 MB 3.5"
    default: return 0;
    }
}

int deviceTypeFromSectorCount(DWORD sectors) {
    switch (sectors) {
    case 320: case 360: case 640: case 720: return 0;
    case 2400: return 1;
    case 1440: return 2;
    case 2880: return 7;
    case 5760: return 9;
    default: return -1;
    }
}

BootSector parseBootSector(const BYTE* s, size_t size) {
    BootSector b{};
    if (!s || size < 512) return b;
    const bool jump = s[0] == 0xEB || s[0] == 0xE9;
    WORD bps;
    std::memcpy(&bps, s + 11, 2);
    const BYTE perCluster = s[13];
    WORD reserved;
    std::memcpy(&reserved, s + 14, 2);
    const BYTE fats = s[16];
    WORD small;
    std::memcpy(&small, s + 19, 2);
    DWORD large;
    std::memcpy(&large, s + 32, 4);
    const bool sizeOk = bps == 512 || bps == 1024 || bps == 2048 || bps == 4096;
    const bool clusterOk = perCluster != 0 && (perCluster & (perCluster - 1)) == 0;
    b.valid = jump && sizeOk && clusterOk && reserved >= 1 && fats >= 1;
    b.bytesPerSector = bps;
    b.totalSectors = small ? small : large;
    return b;
}

WORD dosVersionWord(DWORD eaxAfter) {
    const BYTE major = LOBYTE(LOWORD(eaxAfter));
    const BYTE minor = HIBYTE(LOWORD(eaxAfter));
    return static_cast<WORD>(major << 8 | minor);
}

namespace {

constexpr DWORD kVwin32AbsoluteRead = 2;  // interrupt 25h
constexpr UINT kQuietMode = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
constexpr size_t kSectorBufferSize = 1024;
constexpr int kLastDriveIndex = 25;
constexpr UINT kEnvBlockFlags = GHND | GMEM_DDESHARE;

struct SeamDeviceTraits {
    using Type = HANDLE;
    static Type invalid() { return INVALID_HANDLE_VALUE; }
    static void release(Type h) { gt::device::seam().close(h); }
};
using SeamDevice = gt::Owner<SeamDeviceTraits>;

enum class Outcome { NoDevice, Failed, Done };

// Interrupt 25h through VWIN32; the open passes disposition 0 as the
// Windows 95 family expects for this call.
Outcome vwin32Read(int drive, DWORD start, WORD count, void* buffer, DWORD& error) {
    SeamDevice dev(gt::device::seam().createFile("\\\\.\\VWIN32", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE,
                                                 nullptr));
    if (!dev.valid() || !dev.get()) {
        dev.release();
        return Outcome::NoDevice;
    }
    DiskReadPacket packet{start, count, static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(buffer))};
    gt::fs::Vwin32Regs regs{};
    regs.ebx = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(&packet));
    regs.ecx = 0xFFFF;
    regs.eax = static_cast<DWORD>(drive);
    regs.flags = 1;  // a device that does nothing reports failure
    DWORD returned = 0;
    BOOL ok = gt::device::seam().ioControl(dev.get(), kVwin32AbsoluteRead, &regs, sizeof(regs), &regs,
                                           sizeof(regs), &returned, nullptr);
    if (ok && (regs.flags & 1) == 0) return Outcome::Done;
    error = regs.eax;
    return Outcome::Failed;
}

// The volume device of a drive, opened for reading.
gt::FileHandle openVolume(int drive) {
    char name[] = "\\\\.\\A:";
    name[4] = static_cast<char>('A' + drive);
    gt::ErrorModeScope quiet(kQuietMode);
    return gt::FileHandle(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
}

bool readAt(HANDLE h, ULONGLONG offset, void* buffer, DWORD size) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    return SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && ReadFile(h, buffer, size, &got, nullptr) && got == size;
}

// The boot sector of the medium in a drive; .valid false when none is
// readable or it is no FAT boot sector.  error says which.
BootSector volumeBootSector(HANDLE volume, DWORD& error) {
    BYTE sector[512];
    if (!readAt(volume, 0, sector, sizeof(sector))) {
        error = kDiskErrNotReady;
        return {};
    }
    BootSector boot = parseBootSector(sector, sizeof(sector));
    if (!boot.valid) error = kDiskErrUnformatted;
    return boot;
}

// Interrupt 25h answered from the volume device: DOS reads nothing from a
// medium without a boot sector it accepts.
bool volumeRead(int drive, DWORD start, WORD count, void* buffer, DWORD& error) {
    gt::FileHandle volume = openVolume(drive);
    if (!volume) {
        error = kDiskErrNotReady;
        return false;
    }
    BootSector boot = volumeBootSector(volume.get(), error);
    if (!boot.valid) return false;
    if (count == 0) return true;
    const DWORD bytes = static_cast<DWORD>(count) * boot.bytesPerSector;
    if (!gt::mem::isWritable(buffer, bytes)) {
        error = kDiskErrSectorNotFound;
        return false;
    }
    if (static_cast<ULONGLONG>(start) + count > boot.totalSectors ||
        !readAt(volume.get(), static_cast<ULONGLONG>(start) * boot.bytesPerSector, buffer, bytes)) {
        error = kDiskErrSectorNotFound;
        return false;
    }
    return true;
}

// One DOS interrupt run by the product's driver.
bool driverInterrupt(DriverRegs& regs) {
    const HANDLE driver = gt::frame::state().driver;
    return gtTalkToDevice(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(driver)), kDriverRunInterrupt, &regs,
                          sizeof(regs), &regs, sizeof(regs)) != FALSE;
}

DriverRegs interruptRecord(BYTE interrupt, DWORD eax, DWORD ebx, DWORD edx) {
    DriverRegs r{};
    r.eax = eax;
    r.ebx = ebx;
    r.edx = edx;
    r.interrupt = interrupt;
    return r;
}

// Multiplex-interrupt check of a command shell: its version, or 0.
UINT shellVersion(DWORD question, WORD answer) {
    DriverRegs r = interruptRecord(0x2F, question, 0, 0);
    if (!driverInterrupt(r) || LOWORD(r.eax) != answer) return 0;
    return LOWORD(r.ebx);
}

}  // namespace
}  // namespace gt::legacy

using namespace gt::legacy;

extern "C" BOOL GTAPI gtAbsRead(int drive, DWORD start, WORD count, LPVOID buffer, LPDWORD error) {
    if (drive < 0) return FALSE;
    DWORD code = 0;
    bool ok = false;
    if (drive > kLastDriveIndex || (count && !buffer)) {
        code = kDiskErrNotReady;
    } else {
        switch (vwin32Read(drive, start, count, buffer, code)) {
        case Outcome::Done: ok = true; break;
        case Outcome::Failed: break;
        case Outcome::NoDevice: ok = volumeRead(drive, start, count, buffer, code); break;
        }
    }
    if (error) *error = ok ? 0 : code;
    return ok ? TRUE : FALSE;
}

extern "C" BOOL GTAPI gtAbsReadEx(char letter, DWORD start, WORD count, LPVOID buffer, LPDWORD error) {
    const int index = gtConvertDriveLetter(letter);
    if (index == -1) return FALSE;
    return gtAbsRead(index, start, count, buffer, error);
}

extern "C" int GTAPI gtGetFloppyDriveType(UINT drive) {
    if (drive > static_cast<UINT>(kLastDriveIndex)) return 0;
    BYTE params[gt::fs::kDeviceParamsSize] = {};
    if (gtGetDriveParameters(drive, params)) return floppyTypeCode(params[gt::fs::kDeviceTypeOffset]);
    // Without VWIN32: the medium's own geometry on a floppy drive.
    if (gtGetDriveTypeEx(drive) != GTDRIVE_FLOPPY) return 0;
    gt::FileHandle volume = openVolume(static_cast<int>(drive));
    if (!volume) return 0;
    DWORD error = 0;
    BootSector boot = volumeBootSector(volume.get(), error);
    return boot.valid ? floppyTypeCode(deviceTypeFromSectorCount(boot.totalSectors)) : 0;
}

extern "C" BOOL GTAPI gtiGetDiskStatus(char letter, LPDWORD error) {
    BYTE sector[kSectorBufferSize];
    return gtAbsReadEx(letter, 0, 1, sector, error);
}

extern "C" BOOL GTAPI gtIsDriveReady(char letter) { return gtiGetDiskStatus(letter, nullptr); }

extern "C" BOOL GTAPI gtIsDiskFormated(char letter) { return gtiGetDiskStatus(letter, nullptr); }

extern "C" BOOL GTAPI gtIsDiskWriteProtected(char letter) {
    if (gtConvertDriveLetter(letter) == -1) return FALSE;
    char name[] = "A:\\~~~~~~~~.~~~";
    name[0] = letter;
    gt::ErrorModeScope quiet(kQuietMode);
    // Only a probe we create ourselves is ever removed: an existing file of
    // that name is opened for writing without being changed.
    gt::FileHandle probe(CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!probe) {
        DWORD why = GetLastError();
        if (why == ERROR_FILE_EXISTS || why == ERROR_ALREADY_EXISTS) {
            probe.reset(CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
            if (probe) return FALSE;
            why = GetLastError();
        }
        return why == ERROR_WRITE_PROTECT ? TRUE : FALSE;
    }
    return FALSE;
}

extern "C" WORD GTAPI gtGetDosVersion(void) {
    DriverRegs r = interruptRecord(0x21, 0x3000, 0, 0);
    return driverInterrupt(r) ? dosVersionWord(r.eax) : 0;
}

extern "C" BOOL GTAPI gtGetDeviceParameterBlock(int drive, LPVOID buffer) {
    constexpr size_t kBlockSize = 33;
    if (drive < 0 || !buffer) return FALSE;
    DriverRegs r = interruptRecord(0x21, 0x3200, 0xFFFF, static_cast<DWORD>(drive) + 1);
    if (!driverInterrupt(r) || LOBYTE(LOWORD(r.eax)) != 0 || LOWORD(r.ebx) == 0xFFFF) return FALSE;
    const void* block = reinterpret_cast<const void*>(static_cast<ULONG_PTR>(r.ebx));
    if (!gt::mem::isReadable(block, kBlockSize) || !gt::mem::isWritable(buffer, kBlockSize)) return FALSE;
    std::memcpy(buffer, block, kBlockSize);
    return TRUE;
}

extern "C" BOOL GTAPI gtGetDeviceParameterBlockEx(char letter, LPVOID buffer) {
    const int index = gtConvertDriveLetter(letter);
    if (index == -1) return FALSE;
    return gtGetDeviceParameterBlock(index, buffer);
}

extern "C" UINT GTAPI gtIs4DOSLoaded(void) { return shellVersion(0xD44D, 0x44DD); }

extern "C" UINT GTAPI gtIsNDOSLoaded(void) { return shellVersion(0xE44D, 0x44EE); }

extern "C" LPSTR GTAPI gtGetEnv(LPCSTR name, LPSTR buffer, WORD size) {
    if (!name || !*name || size == 0) return nullptr;
    gt::Block allocated(buffer ? nullptr : gtGlobalAllocPtr(kEnvBlockFlags, size));
    char* target = buffer ? buffer : static_cast<char*>(allocated.get());
    if (!target) return nullptr;
    const DWORD n = GetEnvironmentVariableA(name, target, size);
    if (n == 0 || n >= size) return nullptr;
    allocated.release();
    return target;
}

extern "C" BOOL GTAPI gtRebootMachine(void) {
    const HANDLE driver = gt::frame::state().driver;
    BOOL ok = gtTalkToDevice(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(driver)), kDriverRestart, nullptr, 0,
                             nullptr, 0);
    if (!ok) {
        gtMessageBoxEx(nullptr, gt::frame::module(), MAKEINTRESOURCEA(IDS_GT_REBOOTTEXT),
                       MAKEINTRESOURCEA(IDS_GT_REBOOTCAPTION), MB_SYSTEMMODAL | MB_ICONHAND);
    }
    return ok;
}
