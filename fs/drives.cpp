// Drives and disk space: validity, CD-ROM test, free and total space, the
// boot drive, enumeration of drives and the first drive of a kind.
// Every query that may touch a drive without a medium runs with
// SEM_FAILCRITICALERRORS, so the system never prompts.
#include "fs/drives.h"

#include <climits>

#include "frame/frame.h"
#include "frame/owners.h"
#include "fs/probes.h"
#include "gtapi32.h"

namespace gt::fs {
namespace {

bool isLetter(char c) { return gtConvertDriveLetter(c) >= 0; }

// DOS function 33h, sub-function 05h through the VWIN32 DOS dispatch
// (service 002A0010h).  The entry takes the service and one value on the
// stack and leaves the DOS registers; DL is the 1-based boot drive.  The
// stack pointer is kept aside in case the entry does not pop its arguments.
int callDosBootDrive(FARPROC entry) {
    DWORD edx = 0;
    DWORD eax = 0x3305;
    __asm__ volatile(
        "movl %%esp, %%edi\n\t"
        "pushl $0x3305\n\t"
        "pushl $0x002A0010\n\t"
        "call *%%esi\n\t"
        "movl %%edi, %%esp\n\t"
        : "+d"(edx), "+a"(eax)
        : "S"(entry)
        : "ebx", "ecx", "edi", "memory", "cc");
    return static_cast<int>(edx & 0xFF);
}

}  // namespace

LONGLONG clusterBytes(DWORD clusters, DWORD sectorsPerCluster, DWORD bytesPerSector) {
    // Far beyond any real drive; keeps the product inside 64 bits.
    const unsigned long long sectors = static_cast<unsigned long long>(clusters) * sectorsPerCluster;
    const unsigned long long bytes = sectors * bytesPerSector;
    if (bytesPerSector && bytes / bytesPerSector != sectors) return 0;
    return bytes > static_cast<unsigned long long>(LLONG_MAX) ? 0 : static_cast<LONGLONG>(bytes);
}

LONGLONG diskSpace(char letter, bool total, GetDiskFreeSpaceExFn exQuery, GetDiskFreeSpaceFn clusterQuery) {
    // Without a letter the root would be empty, and the platform might
    // answer for the current drive instead.
    if (!isLetter(letter)) return 0;
    ErrorModeScope quiet(SEM_FAILCRITICALERRORS);
    const char root[4] = {letter, ':', '\\', 0};
    if (exQuery) {
        ULARGE_INTEGER available{}, totalBytes{}, freeBytes{};
        if (!exQuery(root, &available, &totalBytes, &freeBytes)) return 0;
        const ULONGLONG v = total ? totalBytes.QuadPart : freeBytes.QuadPart;
        return v > static_cast<ULONGLONG>(LLONG_MAX) ? LLONG_MAX : static_cast<LONGLONG>(v);
    }
    if (!clusterQuery) return 0;
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!clusterQuery(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) return 0;
    return clusterBytes(total ? totalClusters : freeClusters, sectorsPerCluster, bytesPerSector);
}

LONGLONG kilobytesToBytes(LONGLONG kilobytes) {
    if (kilobytes > (LLONG_MAX >> 10)) return -1;
    return kilobytes << 10;
}

int bootDriveFromSetupValue(const char* value) {
    if (!value) return 0;
    const int index = gtConvertDriveLetter(value[0]);
    return index < 0 ? 0 : index + 1;
}

WORD bootDriveIndex(int dosNumber, int registryNumber) {
    const int number = dosNumber != 0 ? dosNumber : registryNumber;
    return number > 0 ? static_cast<WORD>(number - 1) : 0;
}

int dosBootDrive() {
    // Only the Windows 95 family has the entry behind ordinal 2; on the NT
    // family that ordinal is something else and must not be called.
    if ((GetVersion() & 0x80000000u) == 0) return 0;
    FARPROC entry = frame::kernel32Ordinal(2);
    return entry ? callDosBootDrive(entry) : 0;
}

}  // namespace gt::fs

namespace {

using gt::fs::ErrorModeScope;

// The record behind the first-drive lookups' enumeration.
#pragma pack(push, 1)
enum : WORD { kFirstHardDisk = 1, kFirstFloppy = 2 };
struct FirstDriveSearch {
    WORD kind;  // kFirstHardDisk or kFirstFloppy
    char letter;
    BYTE spare;
};
#pragma pack(pop)
static_assert(sizeof(FirstDriveSearch) == 4, "first-drive record");

BOOL GTCALLBACK firstDriveProc(char letter, DWORD type, DWORD user) {
    auto* search = reinterpret_cast<FirstDriveSearch*>(static_cast<ULONG_PTR>(user));
    const bool wanted = (search->kind == kFirstHardDisk && type == GTDRIVE_FIXED) ||
                        (search->kind == kFirstFloppy && type == GTDRIVE_FLOPPY);
    if (!wanted) return TRUE;
    search->letter = letter;
    return FALSE;
}

char firstDrive(WORD kind) {
    FirstDriveSearch search{};
    search.kind = kind;
    gtEnumDrives(reinterpret_cast<HANDLE>(gt::frame::module()), &firstDriveProc,
                 static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(&search)));
    return search.letter;
}

}  // namespace

extern "C" {

BOOL GTAPI gtIsDriveValid(char letter) {
    const int index = gtConvertDriveLetter(letter);
    if (index < 0) return FALSE;
    ErrorModeScope quiet(SEM_FAILCRITICALERRORS);
    const int type = gtGetDriveTypeEx(static_cast<UINT>(index));
    return type != GTDRIVE_NONE && type != DRIVE_NO_ROOT_DIR;
}

BOOL GTAPI gtIsCDROMDrive(WORD index) {
    // Past Z the letter arithmetic would wrap onto real drives.
    if (index > gt::fs::kLastDriveIndex) return FALSE;
    const char root[3] = {gtConvertDriveIndex(index), ':', 0};
    return GetDriveTypeA(root) == DRIVE_CDROM;
}

LONGLONG GTAPI gtGetDiskFreeSpace(char letter) {
    auto ex = reinterpret_cast<gt::fs::GetDiskFreeSpaceExFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA"));
    return gt::fs::diskSpace(letter, false, ex, &GetDiskFreeSpaceA);
}

LONGLONG GTAPI gtGetDiskSpace(char letter) {
    auto ex = reinterpret_cast<gt::fs::GetDiskFreeSpaceExFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA"));
    return gt::fs::diskSpace(letter, true, ex, &GetDiskFreeSpaceA);
}

LONGLONG GTAPI gtGetDiskFreeSpaceEx(char letter) { return gtGetDiskFreeSpace(letter) >> 10; }

BOOL GTAPI gtIsDiskSpaceAvailable(char letter, LONGLONG bytes) {
    if (bytes <= 0) return FALSE;
    return gtGetDiskFreeSpace(letter) >= bytes;
}

BOOL GTAPI gtIsDiskSpaceAvailableEx(char letter, LONGLONG kilobytes) {
    if (kilobytes <= 0) return FALSE;
    // A count too large to express in bytes is more than any drive holds.
    const LONGLONG bytes = gt::fs::kilobytesToBytes(kilobytes);
    if (bytes < 0) return FALSE;
    return gtIsDiskSpaceAvailable(letter, bytes);
}

BOOL GTAPI gtIsDiskEmpty(char letter) {
    if (!gtIsDriveValid(letter)) return FALSE;
    char pattern[8] = {};
    wsprintfA(pattern, "%c:\\*.*", letter);
    HANDLE search;
    {
        ErrorModeScope quiet(SEM_FAILCRITICALERRORS);
        SetLastError(ERROR_SUCCESS);
        search = gtFindFirst(pattern, nullptr, 0x17);
    }
    if (search) {
        gtFindClose(search);
        return FALSE;
    }
    // Without the find-file library nothing is ever found; that says
    // nothing about the disk, so it must not read as "empty".
    return GetLastError() == ERROR_MOD_NOT_FOUND ? FALSE : TRUE;
}

WORD GTAPI gtGetBootDrive(void) {
    const int dos = gt::fs::dosBootDrive();
    if (dos != 0) return gt::fs::bootDriveIndex(dos, 0);
    // Room for a whole path: a value cut short by a small buffer would
    // leave nothing to read.
    char value[MAX_PATH + 1] = {};
    {
        gt::Hkey key;
        // Query rights are needed to read the value on the NT family.
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup", 0,
                          KEY_QUERY_VALUE, key.out()) == ERROR_SUCCESS) {
            DWORD size = sizeof(value) - 1;  // keeps a terminator
            const LONG rc = RegQueryValueExA(key.get(), "BootDir", nullptr, nullptr,
                                             reinterpret_cast<BYTE*>(value), &size);
            if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) value[0] = 0;
        }
    }
    return gt::fs::bootDriveIndex(0, gt::fs::bootDriveFromSetupValue(value));
}

BOOL GTAPI gtEnumDrives(HANDLE handle, GTDRIVEPROC callback, DWORD user) {
    if (!handle || !callback) return FALSE;
    ErrorModeScope quiet(SEM_FAILCRITICALERRORS);
    for (UINT index = 0; index <= gt::fs::kLastDriveIndex; ++index) {
        const int type = gtGetDriveTypeEx(index);
        if (type == GTDRIVE_NONE || type == DRIVE_NO_ROOT_DIR) continue;
        if (!callback(gtConvertDriveIndex(static_cast<int>(index)), static_cast<DWORD>(type), user)) break;
    }
    return TRUE;
}

char GTAPI gtGetFirstHardDiskDrive(void) { return firstDrive(kFirstHardDisk); }

char GTAPI gtGetFirstFloppyDiskDrive(void) { return firstDrive(kFirstFloppy); }

}  // extern "C"
