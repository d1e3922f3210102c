// gtx sysinfo | sectors DRIVE START COUNT | floppy DRIVE: the legacy family.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "gtapi32.h"
#include "gtx.h"

namespace {

const char* yesNo(BOOL b) { return b ? "yes" : "no"; }

bool driveLetter(const char* arg, char* letter) {
    if (!arg || !arg[0] || (arg[1] && !(arg[1] == ':' && !arg[2]))) return false;
    *letter = arg[0];
    return gtConvertDriveLetter(arg[0]) != -1;
}

int runSysinfo(int argc, char**) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: gtx sysinfo\n");
        return GTX_USAGE;
    }
    const WORD v = gtGetWindowsVersion();
    std::printf("windows version   %u.%u (Windows 95 family or later: %s)\n", LOBYTE(v), HIBYTE(v),
                yesNo(gtIsWindows95()));
    std::printf("ANSI code page    %u (double-byte: %s)\n", GetACP(), yesNo(gtDoYouSpeakJACK()));
    char date[16] = {}, time[16] = {};
    gtGetSysDateStr(date);
    gtGetSysTimeStr(time);
    std::printf("date, time        %s  %s\n", date, time);
    const WORD dos = gtGetDosVersion();
    if (dos) {
        std::printf("DOS version       %u.%02u\n", HIBYTE(dos), LOBYTE(dos));
    } else {
        std::printf("DOS version       (no driver)\n");
    }
    const UINT kernel = gtGetModuleHandle16("KERNEL");
    char file[MAX_PATH] = {};
    gtGetModuleFileName16(kernel, file, sizeof(file));
    std::printf("16-bit KERNEL     0x%04X %s\n", kernel, file);
    std::printf("16-bit USER       0x%04X\n", gtGetModuleHandle16("USER"));
    const WORD free = gtGetFreeSystemResources(0);
    if (free == 0xFFFF) {
        std::printf("free resources    (unknown)\n");
    } else {
        std::printf("free resources    %u%%\n", free);
    }
    return GTX_OK;
}

int runSectors(int argc, char** argv) {
    char letter;
    if (argc != 4 || !driveLetter(argv[1], &letter)) {
        std::fprintf(stderr, "usage: gtx sectors DRIVE START COUNT\n");
        return GTX_USAGE;
    }
    const DWORD start = std::strtoul(argv[2], nullptr, 0);
    const unsigned long count = std::strtoul(argv[3], nullptr, 0);
    if (count == 0 || count > 64) {
        std::fprintf(stderr, "gtx: COUNT must be 1 to 64\n");
        return GTX_USAGE;
    }
    std::vector<BYTE> data(count * 4096);
    DWORD error = 0;
    if (!gtAbsReadEx(letter, start, static_cast<WORD>(count), data.data(), &error)) {
        std::fprintf(stderr, "gtx: reading failed (error 0x%04lX)\n", error);
        return GTX_FAILED;
    }
    for (unsigned long row = 0; row < count * 512; row += 16) {
        std::printf("%08lX ", start * 512 + row);
        for (int i = 0; i < 16; ++i) std::printf(" %02X", data[row + i]);
        std::printf("  ");
        for (int i = 0; i < 16; ++i) {
            const BYTE b = data[row + i];
            std::putchar(b >= 0x20 && b < 0x7F ? b : '.');
        }
        std::putchar('\n');
    }
    return GTX_OK;
}

int runFloppy(int argc, char** argv) {
    char letter;
    if (argc != 2 || !driveLetter(argv[1], &letter)) {
        std::fprintf(stderr, "usage: gtx floppy DRIVE\n");
        return GTX_USAGE;
    }
    const int type = gtGetFloppyDriveType(static_cast<UINT>(gtConvertDriveLetter(letter)));
    DWORD error = 0;
    const BOOL ready = gtiGetDiskStatus(letter, &error);
    std::printf("type              %d\n", type);
    std::printf("ready             %s", yesNo(ready));
    if (!ready) std::printf(" (error 0x%04lX)", error);
    std::printf("\nformatted         %s\n", yesNo(gtIsDiskFormated(letter)));
    std::printf("write-protected   %s\n", yesNo(gtIsDiskWriteProtected(letter)));
    return GTX_OK;
}

}  // namespace

GTX_SUBCOMMAND(sysinfo, "sysinfo", "version, code page, date/time, DOS, 16-bit modules, free resources", runSysinfo);
GTX_SUBCOMMAND(sectors, "sectors", "DRIVE START COUNT: absolute sectors as hex", runSectors);
GTX_SUBCOMMAND(floppy, "floppy", "DRIVE: floppy type, ready, formatted, write-protected", runFloppy);
