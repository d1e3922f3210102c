// Drive classification and the VWIN32 register record, through a replaced
// device seam and replaced platform drive queries.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/device.h"
#include "fs/probes.h"
#include "gtapi32.h"

namespace {

using gt::fs::Vwin32Regs;

// What the fake VWIN32 device saw and what it answers.
struct FakeDevice {
    bool opens = true;
    bool ioResult = true;
    bool clearCarry = true;
    int deviceType = 7;  // written to byte 1 of the caller's record
    int opened = 0, closed = 0, calls = 0;
    std::string name;
    DWORD access = 0xFFFF, share = 0xFFFF, disposition = 0, flags = 0;
    DWORD code = 0, inSize = 0, outSize = 0;
    Vwin32Regs seen{};
};
FakeDevice g_dev;
const HANDLE kFakeHandle = reinterpret_cast<HANDLE>(0x1234);

HANDLE WINAPI fakeCreate(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD disposition,
                         DWORD flags, HANDLE) {
    g_dev.name = name;
    g_dev.access = access;
    g_dev.share = share;
    g_dev.disposition = disposition;
    g_dev.flags = flags;
    if (!g_dev.opens) return INVALID_HANDLE_VALUE;
    ++g_dev.opened;
    return kFakeHandle;
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

BOOL WINAPI fakeClose(HANDLE h) {
    if (h == kFakeHandle) ++g_dev.closed;
    return TRUE;
}

// Platform drive queries with a chosen answer.
UINT g_platformType = DRIVE_REMOVABLE;
const char* g_dosDevice = nullptr;
std::string g_askedRoot, g_askedDevice;

UINT WINAPI fakeDriveType(LPCSTR root) {
    g_askedRoot = root;
    return g_platformType;
}
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
        g_askedDevice.clear();
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
    EXPECT_EQ(g_dev.access, 0u);
    EXPECT_EQ(g_dev.share, 0u);
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
}

TEST_F(DeviceSeam, DriveParametersFailOnEveryFailedStepAndAlwaysClose) {
    BYTE params[64] = {};
    g_dev.opens = false;
    EXPECT_FALSE(gtGetDriveParameters(0, params));
    EXPECT_EQ(g_dev.calls, 0);

    g_dev = FakeDevice{};
    g_dev.clearCarry = false;  // the device reports an error through the carry
    EXPECT_FALSE(gtGetDriveParameters(0, params));
    EXPECT_EQ(g_dev.closed, 1);

    g_dev = FakeDevice{};
    g_dev.ioResult = false;
    EXPECT_FALSE(gtGetDriveParameters(0, params));
    EXPECT_EQ(g_dev.closed, 1);
}

TEST_F(DeviceSeam, DriveParametersRefuseBadArgumentsWithoutADeviceCall) {
    BYTE params[64] = {};
    EXPECT_FALSE(gtGetDriveParametersEx('?', params));
    EXPECT_FALSE(gtGetDriveParameters(0, nullptr));
    EXPECT_FALSE(gtGetDriveParameters(0xFFFFFFFFu, params));  // would be DOS drive 0, the default
    EXPECT_EQ(g_dev.opened + g_dev.calls, 0);
}

TEST_F(DeviceSeam, RemovableDrivesAreClassifiedByTheirDeviceType) {
    // 0-4, 7 and 9 are floppy formats; 5 is a removable hard disk; 6 and 8
    // are tape and other devices.
    const int expected[10] = {7, 7, 7, 7, 7, 2, 2, 7, 2, 7};
    for (int t = 0; t <= 9; ++t) {
        g_dev.deviceType = t;
        EXPECT_EQ(gt::fs::driveType(0, kFakeQueries), expected[t]) << "device type " << t;
    }
    EXPECT_EQ(g_askedRoot, "A:\\");
    // Parameters that cannot be read, and no DOS device name: plain removable.
    g_dev.opens = false;
    EXPECT_EQ(gt::fs::driveType(0, kFakeQueries), 2);
}

TEST_F(DeviceSeam, WithoutTheDeviceTheDosDeviceNameTellsFloppies) {
    g_dev.opens = false;
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
    const struct {
        UINT platform;
        int library;
    } cases[] = {{DRIVE_UNKNOWN, 0}, {DRIVE_NO_ROOT_DIR, 0}, {DRIVE_FIXED, 3},
                 {DRIVE_REMOTE, 4},  {DRIVE_CDROM, 5},       {DRIVE_RAMDISK, 3}, {99, 0}};
    for (const auto& c : cases) {
        g_platformType = c.platform;
        EXPECT_EQ(gt::fs::driveType(25, kFakeQueries), c.library) << c.platform;
    }
    EXPECT_EQ(g_askedRoot, "Z:\\");
    EXPECT_EQ(g_dev.opened, 0);
    g_askedRoot.clear();
    EXPECT_EQ(gt::fs::driveType(26, kFakeQueries), 0);
    EXPECT_EQ(gt::fs::driveType(0xFFFFFFFFu, kFakeQueries), 0);  // not the current drive
    EXPECT_TRUE(g_askedRoot.empty());
}

TEST_F(DeviceSeam, TheRecordIsSharedWithOtherControlCodes) {
    Vwin32Regs r{};
    r.eax = 0x25;
    ASSERT_TRUE(gt::fs::vwin32Call(gt::fs::kVwin32AbsDiskRead, r, 0));
    EXPECT_EQ(g_dev.code, 2u);
    EXPECT_EQ(g_dev.disposition, 0u);
    EXPECT_EQ(g_dev.seen.eax, 0x25u);
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

}  // namespace
