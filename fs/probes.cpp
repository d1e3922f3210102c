// Drive letters and indices, the library's drive types, attribute and
// directory probes, FAT date and time decoding.
#include "fs/probes.h"

#include <cstring>

#include "frame/device.h"
#include "gtapi32.h"

namespace gt::fs {
namespace {

// DOS IOCTL for block devices (function 440Dh), minor code "get device
// parameters" (category 08h, function 60h).
constexpr DWORD kDosIoctlBlockDevice = 0x440D;
constexpr DWORD kGetDeviceParameters = 0x0860;

// "\Device\Floppy" prefix, compared without regard to case.
constexpr char kFloppyPrefix[] = "\\Device\\Floppy";

}  // namespace

bool vwin32Call(DWORD code, Vwin32Regs& regs, DWORD disposition) {
    HANDLE opened =
        device::seam().createFile("\\\\.\\VWIN32", 0, 0, nullptr, disposition, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    device::DeviceHandle dev(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
    if (!dev) return false;
    regs.flags |= 1;  // carry set: a device that does nothing reports failure
    DWORD returned = 0;
    BOOL ok = device::seam().ioControl(dev.get(), code, &regs, sizeof(regs), &regs, sizeof(regs), &returned,
                                       nullptr);
    return ok && (regs.flags & 1) == 0;
}

Vwin32Regs deviceParamsRegs(UINT index, void* buffer) {
    Vwin32Regs r{};
    r.eax = kDosIoctlBlockDevice;
    r.ebx = index + 1;  // DOS drive numbers are 1-based
    r.ecx = kGetDeviceParameters;
    r.edx = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(buffer));
    return r;
}

bool isFloppyDeviceType(int deviceType) {
    // DOS device types of diskette drives: 360 KB, 1.2 MB, 720 KB, 8-inch
    // single and double density, "other" (1.44 MB) and 2.88 MB.
    switch (deviceType) {
        case 0: case 1: case 2: case 3: case 4: case 7: case 9:
            return true;
        default:
            return false;
    }
}

bool isFloppyDeviceName(const char* target) {
    if (!target) return false;
    const size_t n = sizeof(kFloppyPrefix) - 1;
    return std::strlen(target) >= n && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, target, static_cast<int>(n),
                                                      kFloppyPrefix, static_cast<int>(n)) == CSTR_EQUAL;
}

int classifyDrive(UINT platformType, int deviceType, const char* dosDevice) {
    switch (platformType) {
        case DRIVE_REMOVABLE:
            if (deviceType >= 0) return isFloppyDeviceType(deviceType) ? GTDRIVE_FLOPPY : GTDRIVE_REMOVABLE;
            // No device parameters (no VWIN32 on the NT family): the DOS
            // device name still tells a floppy drive from other media.
            return isFloppyDeviceName(dosDevice) ? GTDRIVE_FLOPPY : GTDRIVE_REMOVABLE;
        case DRIVE_FIXED:
        case DRIVE_RAMDISK:
            return GTDRIVE_FIXED;
        case DRIVE_REMOTE:
            return GTDRIVE_REMOTE;
        case DRIVE_CDROM:
            return GTDRIVE_CDROM;
        default:
            return GTDRIVE_NONE;
    }
}

DriveQueries platformDriveQueries() { return DriveQueries{&GetDriveTypeA, &QueryDosDeviceA}; }

int driveType(UINT index, const DriveQueries& queries) {
    // Beyond Z there is no drive; an index that wraps negative would
    // otherwise ask about the current drive's root.
    if (index > kLastDriveIndex) return GTDRIVE_NONE;
    const char letter = gtConvertDriveIndex(static_cast<int>(index));
    const char root[4] = {letter, ':', '\\', 0};
    const UINT platformType = queries.getDriveType(root);
    if (platformType != DRIVE_REMOVABLE) return classifyDrive(platformType, -1, nullptr);

    BYTE params[kDeviceParamsSize] = {};
    if (gtGetDriveParameters(index, params)) return classifyDrive(platformType, params[kDeviceTypeOffset], nullptr);

    const char name[3] = {letter, ':', 0};
    char target[MAX_PATH + 1] = {};
    // The answer may be a list of several strings; the first is the one in force.
    if (!queries.queryDosDevice || !queries.queryDosDevice(name, target, MAX_PATH)) target[0] = 0;
    return classifyDrive(platformType, -1, target);
}

}  // namespace gt::fs

namespace {

// The DOS date and time go through a file time and a system time, so the
// fields are exactly the platform's decoding of the FAT forms.
bool decodeDosDateTime(WORD date, WORD time, SYSTEMTIME& out) {
    FILETIME ft{};
    if (!DosDateTimeToFileTime(date, time, &ft)) return false;
    return FileTimeToSystemTime(&ft, &out) != FALSE;
}

constexpr WORD kFirstDosDate = 0x0021;  // 1 January 1980

// gtIsDirExist's work area, one for the process.
char g_dirPath[264];

bool isDriveRootForm(const char* p) {
    return gtConvertDriveLetter(p[0]) >= 0 && p[1] == ':' && p[2] == '\\' && p[3] == 0;
}

}  // namespace

extern "C" {

int GTAPI gtConvertDriveLetter(char letter) {
    if (letter >= 'a' && letter <= 'z') return letter - 'a';
    if (letter >= 'A' && letter <= 'Z') return letter - 'A';
    return -1;
}

char GTAPI gtConvertDriveIndex(int index) {
    if (index < 0) return 0;
    return static_cast<char>('A' + index);
}

BOOL GTAPI gtGetDriveParameters(UINT index, LPVOID params) {
    // Without a buffer the device would write through a null pointer; an
    // index past Z would wrap to DOS drive 0, the default drive.
    if (!params || index > gt::fs::kLastDriveIndex) return FALSE;
    gt::fs::Vwin32Regs regs = gt::fs::deviceParamsRegs(index, params);
    return gt::fs::vwin32Call(gt::fs::kVwin32DosIoctl, regs) ? TRUE : FALSE;
}

BOOL GTAPI gtGetDriveParametersEx(char letter, LPVOID params) {
    const int index = gtConvertDriveLetter(letter);
    if (index == -1) return FALSE;
    return gtGetDriveParameters(static_cast<UINT>(index), params);
}

int GTAPI gtGetDriveTypeEx(UINT index) { return gt::fs::driveType(index, gt::fs::platformDriveQueries()); }

BOOL GTAPI gtGetFileAttributes(LPCSTR path, LPDWORD attributes) {
    const DWORD a = (path && *path) ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
    const bool ok = a != INVALID_FILE_ATTRIBUTES;
    if (attributes) *attributes = ok ? a : 0;
    return ok ? TRUE : FALSE;
}

BOOL GTAPI gtIsDirExist(LPCSTR path) {
    if (!path || !*path) return FALSE;
    // A longer path cannot be held, and a cut one might name another directory.
    const size_t len = std::strlen(path);
    if (len >= sizeof(g_dirPath)) return FALSE;
    std::memcpy(g_dirPath, path, len + 1);
    gtRemoveTrailingSlash(g_dirPath);
    if (std::strlen(g_dirPath) == 2 && g_dirPath[1] == ':') lstrcatA(g_dirPath, "\\");
    // Only "X:\" is a drive root; short relative names ("..", "ab") are
    // looked up like any other path.
    if (isDriveRootForm(g_dirPath)) {
        const int type = gtGetDriveTypeEx(static_cast<UINT>(gtConvertDriveLetter(g_dirPath[0])));
        return type != GTDRIVE_NONE && type != DRIVE_NO_ROOT_DIR;
    }
    DWORD attributes = 0;
    return gtGetFileAttributes(g_dirPath, &attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL GTAPI gtConvertFindTDate(WORD dosDate, LPWORD date) {
    if (dosDate == 0 || !date) return FALSE;
    SYSTEMTIME st{};
    if (!decodeDosDateTime(dosDate, 0, st)) return FALSE;
    date[0] = st.wDay;
    date[1] = st.wMonth;
    date[2] = st.wYear;
    return TRUE;
}

BOOL GTAPI gtConvertFindTTime(WORD dosTime, LPWORD time) {
    if (!time) return FALSE;
    SYSTEMTIME st{};
    if (!decodeDosDateTime(kFirstDosDate, dosTime, st)) return FALSE;
    time[0] = st.wHour;
    time[1] = st.wMinute;
    time[2] = st.wSecond;
    return TRUE;
}

}  // extern "C"
