// Legacy system access without the old system: the decisions on plain
// values, the VWIN32 read through a fake device, the driver's DOS services
// through a fake driver, and the 16-bit functions without 16-bit entries.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "frame/device.h"
#include "frame/frame.h"
#include "fs/probes.h"
#include "gtapi32.h"
#include "legacy/diskaccess.h"
#include "legacy/sysinfo.h"
#include "legacy/thunk16.h"

namespace {

using namespace gt::legacy;

// ---- plain decisions ----

struct FixedPointRow {
    const char* name;
    const char* digits;
    int point;
    bool negative;
    const char* want;
};

TEST(FixedPointText, BuildsSignDigitsPointAndFraction) {
    const FixedPointRow rows[] = {
        {"3.14159 with 2 digits", "314", 1, false, "3.14"},
        {"-2.5 with 1 digit", "25", 1, true, "-2.5"},
        {"0.5 with 1 digit: no digit before the point", "5", 0, false, ".5"},
        {"0 digits after the point", "4", 1, false, "4."},
        {"large value", "123456789000", 10, false, "1234567890.00"},
        {"0.05 with 2 digits: zeros after the point", "5", -1, false, ".05"},
        {"0.004 with 1 digit rounds to nothing", "", -1, false, ".0"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(fixedPointText(row.digits, row.point, row.negative), row.want) << "case " << row.name;
    }
}

TEST(SystemQuestions, DoubleByteCodePages) {
    const struct {
        UINT codePage;
        bool want;
    } rows[] = {{932, true}, {936, true}, {949, true}, {950, true}, {1252, false}, {437, false}, {65001, false}};
    for (const auto& row : rows) {
        EXPECT_EQ(isDoubleByteCodePage(row.codePage), row.want) << "code page " << row.codePage;
    }
}

TEST(SystemQuestions, Windows95FamilyByVersionWord) {
    const struct {
        const char* name;
        WORD version;
        bool want;
    } rows[] = {{"3.0", 0x0003, false}, {"3.10", 0x0A03, true}, {"4.0", 0x0004, true}, {"6.1", 0x0106, true}};
    for (const auto& row : rows) {
        EXPECT_EQ(isWindows95OrLater(row.version), row.want) << "version " << row.name;
    }
}

TEST(SystemQuestions, PrinterTechnologies) {
    const struct {
        int technology;
        bool want;
    } rows[] = {{DT_PLOTTER, false}, {DT_RASDISPLAY, false}, {DT_RASPRINTER, true}, {DT_RASCAMERA, true},
                {DT_CHARSTREAM, false}, {DT_METAFILE, false}, {DT_DISPFILE, true}};
    for (const auto& row : rows) {
        EXPECT_EQ(isPrinterTechnology(row.technology), row.want) << "technology " << row.technology;
    }
}

TEST(FloppyTypes, DeviceTypeToCodeAndSectorsToDeviceType) {
    const struct {
        int deviceType;
        int code;
    } codes[] = {{0, 111}, {1, 112}, {2, 113}, {3, 114}, {4, 115}, {5, 0}, {6, 0}, {7, 116}, {8, 0}, {9, 117}, {-1, 0}};
    for (const auto& row : codes) {
        EXPECT_EQ(floppyTypeCode(row.deviceType), row.code) << "device type " << row.deviceType;
    }
    const struct {
        DWORD sectors;
        int deviceType;
    } sizes[] = {{720, 0}, {2400, 1}, {1440, 2}, {2880, 7}, {5760, 9}, {1000, -1}};
    for (const auto& row : sizes) {
        EXPECT_EQ(deviceTypeFromSectorCount(row.sectors), row.deviceType) << row.sectors << " sectors";
    }
}

// A 1.44 MB FAT12 boot sector, as mkfs.fat writes one.
void makeBootSector(BYTE* s) {
    std::memset(s, 0, 512);
    s[0] = 0xEB;
    s[1] = 0x3C;
    s[2] = 0x90;
    s[11] = 0x00;  // 512 bytes per sector
    s[12] = 0x02;
    s[13] = 1;     // sectors per cluster
    s[14] = 1;     // reserved sectors
    s[16] = 2;     // FATs
    s[19] = 0x40;  // 2880 sectors
    s[20] = 0x0B;
    s[510] = 0x55;
    s[511] = 0xAA;
}

TEST(BootSectors, AcceptsFatAndRefusesZerosAndNonsense) {
    BYTE s[512];
    makeBootSector(s);
    BootSector fat = parseBootSector(s, sizeof(s));
    EXPECT_TRUE(fat.valid);
    EXPECT_EQ(fat.bytesPerSector, 512);
    EXPECT_EQ(fat.totalSectors, 2880u);

    const struct {
        const char* name;
        int offset;
        BYTE value;
    } damage[] = {{"no jump", 0, 0x00}, {"sector size 500", 11, 0xF4}, {"no sectors per cluster", 13, 0},
                  {"three sectors per cluster", 13, 3}, {"no FAT", 16, 0}};
    for (const auto& row : damage) {
        makeBootSector(s);
        s[row.offset] = row.value;
        EXPECT_FALSE(parseBootSector(s, sizeof(s)).valid) << "case " << row.name;
    }
    BYTE zeros[512] = {};
    EXPECT_FALSE(parseBootSector(zeros, sizeof(zeros)).valid) << "an unformatted disk reads as zeros";
}

TEST(DosVersion, MajorInTheHighByte) {
    EXPECT_EQ(dosVersionWord(0x0A07), 0x070A) << "DOS 7.10 answers AL = 7, AH = 10";
    EXPECT_EQ(dosVersionWord(0xFFFF0006), 0x0600) << "only AX counts";
}

// ---- a fake VWIN32 device and a fake driver behind the device seam ----

const HANDLE kVwin32 = reinterpret_cast<HANDLE>(0x5150);
const HANDLE kDriver = reinterpret_cast<HANDLE>(0x7070);

struct FakeSystem {
    bool vwin32Opens = true;
    DWORD diskError = 0;  // EAX with the carry set; 0 = the read works
    DWORD lastIoCode = 0;
    DiskReadPacket lastPacket{};
    DriverRegs lastDriverIn{};
    DriverRegs driverOut{};
    bool driverAnswers = true;
    int closes = 0;
    BYTE parameterBlock[33] = {};
} g_fake;

HANDLE WINAPI fakeCreate(LPCSTR name, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    if (lstrcmpiA(name, "\\\\.\\VWIN32") == 0 && g_fake.vwin32Opens) return kVwin32;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

BOOL WINAPI fakeIo(HANDLE h, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD, LPDWORD, LPOVERLAPPED) {
    g_fake.lastIoCode = code;
    if (h == kVwin32 && inSize == sizeof(gt::fs::Vwin32Regs)) {
        auto* regs = static_cast<gt::fs::Vwin32Regs*>(out);
        std::memcpy(&g_fake.lastPacket, reinterpret_cast<void*>(regs->ebx), sizeof(DiskReadPacket));
        if (g_fake.diskError) {
            regs->eax = g_fake.diskError;
            regs->flags |= 1;
            return TRUE;
        }
        // Each sector is filled with its own number, as a disk would give.
        auto* buffer = reinterpret_cast<BYTE*>(g_fake.lastPacket.buffer);
        for (WORD i = 0; i < g_fake.lastPacket.count; ++i) std::memset(buffer + i * 512, BYTE(g_fake.lastPacket.startSector + i), 512);
        regs->flags &= ~1u;
        return TRUE;
    }
    if (h == kDriver) {
        if (!g_fake.driverAnswers) return FALSE;
        if (code == kDriverRunInterrupt) {
            std::memcpy(&g_fake.lastDriverIn, in, sizeof(DriverRegs));
            std::memcpy(out, &g_fake.driverOut, sizeof(DriverRegs));
        }
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI fakeClose(HANDLE) {
    ++g_fake.closes;
    return TRUE;
}

struct OldSystem : ::testing::Test {
    void SetUp() override {
        g_fake = FakeSystem{};
        auto& s = gt::device::seam();
        s.createFile = &fakeCreate;
        s.ioControl = &fakeIo;
        s.close = &fakeClose;
        gt::frame::setDriverForTests(kDriver);
    }
    void TearDown() override {
        gt::device::resetSeam();
        gt::frame::setDriverForTests(nullptr);
    }
};

TEST_F(OldSystem, AbsoluteReadSendsThePacketAndFillsTheBuffer) {
    BYTE buffer[2 * 512] = {};
    DWORD error = 0xDEAD;
    ASSERT_TRUE(gtAbsRead(0, 17, 2, buffer, &error));
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(g_fake.lastIoCode, 2u) << "interrupt 25h";
    EXPECT_EQ(g_fake.lastPacket.startSector, 17u);
    EXPECT_EQ(g_fake.lastPacket.count, 2);
    EXPECT_EQ(buffer[0], 17);
    EXPECT_EQ(buffer[512], 18);
    EXPECT_EQ(g_fake.closes, 1) << "each request closes its device";
}

TEST_F(OldSystem, AbsoluteReadFailuresReportTheirErrorWord) {
    BYTE buffer[512];
    DWORD error = 0;
    g_fake.diskError = 0x020C;
    EXPECT_FALSE(gtAbsReadEx('a', 0, 1, buffer, &error));
    EXPECT_EQ(error, 0x020Cu) << "unformatted: AH = 02h, AL = 0Ch";
    EXPECT_FALSE(gtIsDiskFormated('A'));

    error = 0x1234;
    EXPECT_FALSE(gtAbsRead(-1, 0, 1, buffer, &error));
    EXPECT_EQ(error, 0x1234u) << "a negative drive leaves the error out alone";
    EXPECT_FALSE(gtAbsReadEx('?', 0, 1, buffer, &error)) << "not a drive letter";
}

TEST_F(OldSystem, FloppyTypeFromTheDeviceParameters) {
    // The device-parameter call goes through the same fake: answer type 9.
    struct Answer {
        static BOOL WINAPI io(HANDLE, DWORD, LPVOID in, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) {
            auto* r = static_cast<gt::fs::Vwin32Regs*>(in);
            reinterpret_cast<BYTE*>(r->edx)[gt::fs::kDeviceTypeOffset] = 9;
            r->flags &= ~1u;
            return TRUE;
        }
    };
    gt::device::seam().ioControl = &Answer::io;
    EXPECT_EQ(gtGetFloppyDriveType(0), 117) << "2.88 MB";
}

TEST_F(OldSystem, DriverDosServices) {
    g_fake.driverOut.eax = 0x0A07;
    EXPECT_EQ(gtGetDosVersion(), 0x070A);
    EXPECT_EQ(g_fake.lastDriverIn.eax, 0x3000u);
    EXPECT_EQ(g_fake.lastDriverIn.interrupt, 0x21u);

    g_fake.driverOut = DriverRegs{};
    g_fake.driverOut.eax = 0x44DD;
    g_fake.driverOut.ebx = 0x0602;
    EXPECT_EQ(gtIs4DOSLoaded(), 0x0602u);
    EXPECT_EQ(g_fake.lastDriverIn.eax, 0xD44Du);
    EXPECT_EQ(g_fake.lastDriverIn.interrupt, 0x2Fu);
    EXPECT_EQ(gtIsNDOSLoaded(), 0u) << "4DOS's answer is not NDOS's";
}

TEST_F(OldSystem, DeviceParameterBlockIsCopiedFromTheReturnedAddress) {
    for (int i = 0; i < 33; ++i) g_fake.parameterBlock[i] = BYTE(i + 1);
    g_fake.driverOut.eax = 0x3200;
    g_fake.driverOut.ebx = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(g_fake.parameterBlock));
    BYTE block[40] = {};
    ASSERT_TRUE(gtGetDeviceParameterBlockEx('C', block));
    EXPECT_EQ(g_fake.lastDriverIn.edx, 3u) << "drive C is DOS drive 3";
    EXPECT_EQ(g_fake.lastDriverIn.ebx, 0xFFFFu);
    EXPECT_EQ(block[32], 33) << "all 33 bytes";
    EXPECT_EQ(block[33], 0) << "and no more";

    g_fake.driverOut.eax = 0x32FF;
    EXPECT_FALSE(gtGetDeviceParameterBlock(2, block)) << "AL = FFh: invalid drive";
    g_fake.driverOut.eax = 0x3200;
    g_fake.driverOut.ebx = 0x0000FFFF;
    EXPECT_FALSE(gtGetDeviceParameterBlock(2, block)) << "BX unchanged";
    g_fake.driverOut.ebx = 0x00000010;
    EXPECT_FALSE(gtGetDeviceParameterBlock(2, block)) << "an address that cannot be read";
    EXPECT_FALSE(gtGetDeviceParameterBlock(-1, block));
    EXPECT_FALSE(gtGetDeviceParameterBlock(2, nullptr));
}

TEST_F(OldSystem, WithoutDriverEveryServiceFails) {
    gt::frame::setDriverForTests(nullptr);
    EXPECT_EQ(gtGetDosVersion(), 0);
    EXPECT_EQ(gtIs4DOSLoaded(), 0u);
    EXPECT_EQ(g_fake.lastIoCode, 0u) << "handle 0 never reaches the system";
    EXPECT_FALSE(gtTalkToDevice(0, kDriverRunInterrupt, nullptr, 0, nullptr, 0));
}

TEST_F(OldSystem, RebootThroughTheDriverShowsNoBox) {
    EXPECT_TRUE(gtRebootMachine());
    EXPECT_EQ(g_fake.lastIoCode, kDriverRestart);
}

// ---- 16-bit calls: the argument bytes and the missing entries ----

struct Recorder : Thunk16 {
    BYTE lastArgs[32] = {};
    DWORD lastSize = 0;
    int loads = 0, frees = 0, maps = 0, unmaps = 0;
    Handle16 load(const char*) override {
        ++loads;
        return 0x107;
    }
    void free(Handle16) override { ++frees; }
    SegPtr procedure(Handle16, const char*) override { return 0x01230456; }
    DWORD call(SegPtr, const Args16& args) override {
        std::memcpy(lastArgs, args.data(), args.size());
        lastSize = args.size();
        return 1;
    }
    SegPtr map(void*) override {
        ++maps;
        return 0x00AB00CD;
    }
    void unmap(SegPtr) override { ++unmaps; }
};

TEST(Thunk16Calls, ArgumentsLieAsOnThe16BitStack) {
    Recorder rec;
    setThunk16ForTests(&rec);
    char buffer[64];
    EXPECT_TRUE(gtGetModuleFileName16(0x0107, buffer, sizeof(buffer)));
    setThunk16ForTests(nullptr);
    // pascal: hModule, lpszFileName, cbFileName pushed in that order, so the
    // size lies lowest.
    const BYTE want[8] = {64, 0, 0xCD, 0x00, 0xAB, 0x00, 0x07, 0x01};
    ASSERT_EQ(rec.lastSize, 8u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(rec.lastArgs[i], want[i]) << "byte " << i;
    EXPECT_EQ(rec.maps, 1);
    EXPECT_EQ(rec.unmaps, 1) << "every mapping is released";
    EXPECT_EQ(rec.loads, rec.frees) << "KRNL386 is freed after the call";
}

TEST(Thunk16Calls, MissingEntriesGiveTheFailureValues) {
    const gt::frame::Thunks saved = gt::frame::state().thunks;
    gt::frame::setThunksForTests(gt::frame::Thunks{});
    char buffer[16] = "x";
    EXPECT_EQ(gtGetModuleHandle16("KERNEL"), 0u);
    EXPECT_FALSE(gtGetModuleFileName16(0x0107, buffer, sizeof(buffer)));
    EXPECT_STREQ(buffer, "") << "the buffer is emptied";
    EXPECT_EQ(gtGetFreeSystemResources(0), 0xFFFF);
    EXPECT_EQ(gtLoadLibrary16Ex("TOOLHELP.DLL"), 0u);
    EXPECT_EQ(gtLoadLibrary16("TOOLHELP.DLL"), 0u);
    EXPECT_FALSE(gtIsModuleFile16Loaded("krnl386.exe"));
    EXPECT_EQ(gtGet16bitFilesModuleHandle("krnl386.exe"), 0u);
    gt::frame::setThunksForTests(saved);
}

// The QT_Thunk path on its own: under this system it passes arguments and
// far-pointer buffers, though its result does not come back.
TEST(Thunk16Calls, QtThunkPassesArgumentsAndBuffers) {
    gt::frame::Thunks entries = gt::frame::resolveThunks(&gt::frame::kernel32Ordinal);
    if (!entries.complete()) GTEST_SKIP() << "no 16-bit entries on this system";
    Thunk16* qt = platformThunk16(entries, CallPath::QtThunk);
    ASSERT_NE(qt, nullptr);
    Handle16 kernel = qt->load("KRNL386.EXE");
    ASSERT_GE(kernel, kFirstValidHandle16);
    SegPtr proc = qt->procedure(kernel, "GetModuleFileName");
    ASSERT_NE(proc, 0u);
    char name[80] = {};
    {
        SegPtr alias = qt->map(name);
        Args16 args;
        args.word(kernel);
        args.dword(alias);
        args.word(sizeof(name));
        qt->call(proc, args);
        qt->unmap(alias);
    }
    qt->free(kernel);
    EXPECT_NE(std::strstr(CharLowerA(name), "krnl386.exe"), nullptr) << "got \"" << name << "\"";
}

}  // namespace
