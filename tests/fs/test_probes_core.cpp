// Drive classification and the VWIN32 register record through a replaced
// device seam and replaced platform drive queries; disk-space arithmetic and
// the boot-drive decision with chosen platform answers.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "frame/device.h"
#include "fs/drives.h"
#include "fs/probes.h"
#include "gtapi32.h"

namespace {

using gt::fs::Vwin32Regs;

UINT currentErrorMode() {
    UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    return mode;
}

// The fake VWIN32 device: what it saw and what it answers.
struct FakeDevice {
    bool opens = true, ioResult = true, clearCarry = true;
    int deviceType = 7;  // written to byte 1 of the caller's record
    int opened = 0, closed = 0, calls = 0;
    std::string name;
    DWORD access = 0xFFFF, share = 0xFFFF, disposition = 0, flags = 0, code = 0, inSize = 0, outSize = 0;
    Vwin32Regs seen{};
} g_dev;
const HANDLE kFakeHandle = reinterpret_cast<HANDLE>(0x1234);

HANDLE WINAPI fakeCreate(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD disposition,
                         DWORD flags, HANDLE) {
    g_dev.name = name;
    g_dev.access = access;
    g_dev.share = share;
    g_dev.disposition = disposition;
    g_dev.flags = flags;
    return g_dev.opens ? (++g_dev.opened, kFakeHandle) : INVALID_HANDLE_VALUE;
}

BOOL WINAPI fakeIo(HANDLE h, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD returned,
                   LPOVERLAPPED) {
    ++g_dev.calls;
    g_dev.code = code;
    g_dev.inSize = inSize;
    g_dev.outSize = outSize;
    if (h != kFakeHandle || in != out || inSize != sizeof(Vwin32Regs)) return FALSE;
    auto* r = static_cast<Vwin32Regs*>(in);
    g_dev.seen = *r;
    if (r->eax == 0x440D && r->ecx == 0x0860 && r->edx) reinterpret_cast<BYTE*>(r->edx)[1] = static_cast<BYTE>(g_dev.deviceType);
    if (g_dev.clearCarry) r->flags &= ~1u;
    if (returned) *returned = sizeof(Vwin32Regs);
    return g_dev.ioResult;
}

BOOL WINAPI fakeClose(HANDLE h) { return g_dev.closed += (h == kFakeHandle), TRUE; }

// Platform drive queries with a chosen answer.
UINT g_platformType = DRIVE_REMOVABLE;
const char* g_dosDevice = nullptr;
std::string g_askedRoot, g_askedDevice;
UINT WINAPI fakeDriveType(LPCSTR root) { return g_askedRoot = root, g_platformType; }
DWORD WINAPI fakeQueryDosDevice(LPCSTR name, LPSTR target, DWORD size) {
    g_askedDevice = name;
    if (!g_dosDevice) return 0;
    lstrcpynA(target, g_dosDevice, size);
    return static_cast<DWORD>(std::strlen(target) + 2);
}
const gt::fs::DriveQueries kFakeQueries{&fakeDriveType, &fakeQueryDosDevice};

class DeviceSeam : public ::testing::Test {
protected:
    void SetUp() override {
        g_dev = FakeDevice{};
        g_platformType = DRIVE_REMOVABLE;
        g_dosDevice = nullptr;
        g_askedRoot.clear();
        auto& s = gt::device::seam();
        s.createFile = &fakeCreate;
        s.ioControl = &fakeIo;
        s.close = &fakeClose;
    }
    void TearDown() override { gt::device::resetSeam(); }
};

TEST_F(DeviceSeam, DriveParametersSendTheGetDeviceParametersRecord) {
    BYTE params[64] = {};
    ASSERT_TRUE(gtGetDriveParameters(2, params));
    EXPECT_EQ(g_dev.name, "\\\\.\\VWIN32");
    EXPECT_EQ(g_dev.access | g_dev.share, 0u);
    EXPECT_EQ(g_dev.disposition, static_cast<DWORD>(OPEN_EXISTING));
    EXPECT_EQ(g_dev.flags, static_cast<DWORD>(FILE_FLAG_DELETE_ON_CLOSE));
    EXPECT_EQ(g_dev.code, 1u);
    EXPECT_EQ(g_dev.inSize, 28u);
    EXPECT_EQ(g_dev.outSize, 28u);
    EXPECT_EQ(g_dev.seen.eax, 0x440Du);
    EXPECT_EQ(g_dev.seen.ebx, 3u);  // DOS drive numbers are 1-based
    EXPECT_EQ(g_dev.seen.ecx, 0x0860u);
    EXPECT_EQ(g_dev.seen.edx, static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(params)));
    EXPECT_EQ(g_dev.seen.flags & 1, 1u) << "carry must be set before the call";
    EXPECT_EQ(params[1], 7);
    EXPECT_EQ(g_dev.opened, 1);
    EXPECT_EQ(g_dev.closed, 1);

    // Another control code shares the record.
    Vwin32Regs r{};
    r.eax = 0x25;
    ASSERT_TRUE(gt::fs::vwin32Call(gt::fs::kVwin32AbsDiskRead, r, 0));
    EXPECT_EQ(g_dev.code, 2u);
    EXPECT_EQ(g_dev.disposition, 0u);
    EXPECT_EQ(g_dev.seen.eax, 0x25u);
}

TEST_F(DeviceSeam, DriveParametersFailOnEveryFailedStepAndAlwaysClose) {
    BYTE params[64] = {};
    g_dev.opens = false;
    EXPECT_FALSE(gtGetDriveParameters(0, params));
    EXPECT_EQ(g_dev.calls, 0);
    for (int step = 0; step < 2; ++step) {
        g_dev = FakeDevice{};
        (step ? g_dev.ioResult : g_dev.clearCarry) = false;  // the carry reports a device error
        EXPECT_FALSE(gtGetDriveParameters(0, params)) << step;
        EXPECT_EQ(g_dev.closed, 1) << step;
    }
    // Bad arguments: no device call.
    g_dev = FakeDevice{};
    EXPECT_FALSE(gtGetDriveParametersEx('?', params));
    EXPECT_FALSE(gtGetDriveParameters(0, nullptr));
    EXPECT_FALSE(gtGetDriveParameters(0xFFFFFFFFu, params));  // would be DOS drive 0, the default
    EXPECT_EQ(g_dev.opened + g_dev.calls, 0);
}

TEST_F(DeviceSeam, RemovableDrivesAreClassifiedByTheirDeviceType) {
    // 0-4, 7 and 9 are floppy formats; 5 a removable hard disk; 6 and 8 tape and others.
    const int expected[10] = {7, 7, 7, 7, 7, 2, 2, 7, 2, 7};
    for (int t = 0; t <= 9; ++t) {
        g_dev.deviceType = t;
        EXPECT_EQ(gt::fs::driveType(0, kFakeQueries), expected[t]) << "device type " << t;
    }
    EXPECT_EQ(g_askedRoot, "A:\\");
    // No parameters: the DOS device name tells floppies, else plain removable.
    g_dev.opens = false;
    EXPECT_EQ(gt::fs::driveType(0, kFakeQueries), 2);
    g_dosDevice = "\\Device\\Floppy0";
    EXPECT_EQ(gt::fs::driveType(1, kFakeQueries), 7);
    EXPECT_EQ(g_askedDevice, "B:");
    g_dosDevice = "\\Device\\Harddisk1\\DP(1)0-0+5";
    EXPECT_EQ(gt::fs::driveType(1, kFakeQueries), 2);
    // Readable parameters win over the name.
    g_dev = FakeDevice{};
    g_dev.deviceType = 5;
    g_dosDevice = "\\Device\\Floppy0";
    EXPECT_EQ(gt::fs::driveType(1, kFakeQueries), 2);
}

TEST_F(DeviceSeam, OtherPlatformTypesNeedNoDeviceCall) {
    const std::pair<UINT, int> cases[] = {{DRIVE_UNKNOWN, 0}, {DRIVE_NO_ROOT_DIR, 0}, {DRIVE_FIXED, 3},
                                          {DRIVE_REMOTE, 4},  {DRIVE_CDROM, 5},       {DRIVE_RAMDISK, 3}, {99, 0}};
    for (const auto& c : cases) {
        g_platformType = c.first;
        EXPECT_EQ(gt::fs::driveType(25, kFakeQueries), c.second) << c.first;
    }
    EXPECT_EQ(g_askedRoot, "Z:\\");
    EXPECT_EQ(g_dev.opened, 0);
    g_askedRoot.clear();
    EXPECT_EQ(gt::fs::driveType(26, kFakeQueries), 0);
    EXPECT_EQ(gt::fs::driveType(0xFFFFFFFFu, kFakeQueries), 0);  // not the current drive
    EXPECT_TRUE(g_askedRoot.empty());
}

TEST(DriveNumbering, LettersAndIndices) {
    EXPECT_EQ(gtConvertDriveLetter('c'), 2);
    EXPECT_EQ(gtConvertDriveLetter('C'), 2);
    EXPECT_EQ(gtConvertDriveLetter('Z'), 25);
    for (char c : {'1', '@', '[', '`', '{'}) EXPECT_EQ(gtConvertDriveLetter(c), -1) << c;
    EXPECT_EQ(gtConvertDriveIndex(2), 'C');
    EXPECT_EQ(gtConvertDriveIndex(-1), '\0');
    EXPECT_EQ(gtConvertDriveIndex(30), static_cast<char>('A' + 30));
}

// ---- disk space with chosen answers ----
struct SpaceAnswer {
    BOOL ok = TRUE;
    ULONGLONG available = 0, total = 0, free = 0;
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    std::string root;
    UINT errorMode = 0;
} g_space;

BOOL WINAPI fakeEx(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER free) {
    g_space.root = root;
    g_space.errorMode = currentErrorMode();
    available->QuadPart = g_space.available;
    total->QuadPart = g_space.total;
    free->QuadPart = g_space.free;
    return g_space.ok;
}

BOOL WINAPI fakeClusters(LPCSTR root, LPDWORD spc, LPDWORD bps, LPDWORD freeClusters, LPDWORD totalClusters) {
    g_space.root = root;
    *spc = g_space.sectorsPerCluster;
    *bps = g_space.bytesPerSector;
    *freeClusters = g_space.freeClusters;
    *totalClusters = g_space.totalClusters;
    return g_space.ok;
}

TEST(DiskSpace, ExtendedAndClusterQueries) {
    using gt::fs::diskSpace;
    g_space = SpaceAnswer{};
    g_space.available = 1000;  // the quota: not what is asked for
    g_space.free = 5000;
    g_space.total = 9000;
    const UINT before = SetErrorMode(0);
    EXPECT_EQ(diskSpace('d', false, &fakeEx, &fakeClusters), 5000);
    EXPECT_EQ(g_space.root, "d:\\");
    EXPECT_EQ(g_space.errorMode, static_cast<UINT>(SEM_FAILCRITICALERRORS));
    EXPECT_EQ(currentErrorMode(), 0u);
    SetErrorMode(before);
    EXPECT_EQ(diskSpace('D', true, &fakeEx, &fakeClusters), 9000);
    g_space.ok = FALSE;
    EXPECT_EQ(diskSpace('D', false, &fakeEx, &fakeClusters), 0);

    // Without the extended query: clusters, in 64 bits.
    g_space = SpaceAnswer{};
    g_space.sectorsPerCluster = 64;
    g_space.bytesPerSector = 512;
    g_space.freeClusters = 3;
    g_space.totalClusters = 0x00200000;
    EXPECT_EQ(diskSpace('C', false, nullptr, &fakeClusters), 3 * 64 * 512);
    EXPECT_EQ(diskSpace('C', true, nullptr, &fakeClusters), 0x00200000LL * 64 * 512);
    g_space.ok = FALSE;
    EXPECT_EQ(diskSpace('C', true, nullptr, &fakeClusters), 0);

    // Non-letters are not asked.
    g_space = SpaceAnswer{};
    for (char c : {'\0', '?', '1', '\\'}) EXPECT_EQ(diskSpace(c, false, &fakeEx, &fakeClusters), 0);
    EXPECT_TRUE(g_space.root.empty());

    EXPECT_EQ(gt::fs::clusterBytes(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF), 0);  // no wrap to a small figure
    EXPECT_EQ(gt::fs::clusterBytes(0, 64, 512), 0);
    EXPECT_EQ(gt::fs::kilobytesToBytes(LLONG_MAX >> 10), (LLONG_MAX >> 10) << 10);
    EXPECT_EQ(gt::fs::kilobytesToBytes((LLONG_MAX >> 10) + 1), -1);
}

TEST(BootDrive, SetupValueAndDosNumber) {
    using namespace gt::fs;
    EXPECT_EQ(bootDriveFromSetupValue("C:\\"), 3);
    EXPECT_EQ(bootDriveFromSetupValue("a:"), 1);
    for (const char* v : {"", "\\\\srv", static_cast<const char*>(nullptr)}) EXPECT_EQ(bootDriveFromSetupValue(v), 0);
    EXPECT_EQ(bootDriveIndex(3, 0), 2);
    EXPECT_EQ(bootDriveIndex(3, 5), 2) << "the DOS answer wins";
    EXPECT_EQ(bootDriveIndex(0, 3), 2);
    EXPECT_EQ(bootDriveIndex(0, 0), 0);
    EXPECT_EQ(bootDriveIndex(1, 0), 0);  // A: and "nothing" read the same
    EXPECT_EQ(dosBootDrive(), 0) << "no virtual-device entry on this platform";
}

}  // namespace
