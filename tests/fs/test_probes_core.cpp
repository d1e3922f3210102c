// Drive classification through a replaced device seam and platform queries.
#include <windows.h>

#include <gtest/gtest.h>

#include "frame/device.h"
#include "fs/probes.h"
#include "gtapi32.h"

namespace {

bool g_opens, g_carry;
int g_devType, g_closed;
DWORD g_ebx;
UINT g_platform;
const char* g_dos;
const HANDLE kH = reinterpret_cast<HANDLE>(0x1234);

HANDLE WINAPI fakeCreate(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    return g_opens ? kH : INVALID_HANDLE_VALUE;
}
BOOL WINAPI fakeIo(HANDLE h, DWORD, LPVOID in, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) {
    auto* r = static_cast<gt::fs::Vwin32Regs*>(in);
    g_ebx = r->ebx;
    if (r->eax == 0x440D && r->ecx == 0x0860 && r->edx) reinterpret_cast<BYTE*>(r->edx)[1] = BYTE(g_devType);
    if (g_carry) r->flags &= ~1u;  // a set carry reports a device error
    return h == kH;
}
BOOL WINAPI fakeClose(HANDLE h) { return g_closed += (h == kH), TRUE; }
UINT WINAPI fakeDriveType(LPCSTR) { return g_platform; }
DWORD WINAPI fakeDosDevice(LPCSTR, LPSTR t, DWORD n) {
    if (!g_dos) return 0;
    lstrcpynA(t, g_dos, n);
    return lstrlenA(t) + 2;
}
const gt::fs::DriveQueries kQ{&fakeDriveType, &fakeDosDevice};

struct Seam : ::testing::Test {
    void SetUp() override {
        g_opens = g_carry = true;
        g_devType = 7;
        g_closed = 0;
        g_platform = DRIVE_REMOVABLE;
        g_dos = nullptr;
        auto& s = gt::device::seam();
        s.createFile = &fakeCreate;
        s.ioControl = &fakeIo;
        s.close = &fakeClose;
    }
    void TearDown() override { gt::device::resetSeam(); }
};

TEST_F(Seam, DriveParametersAndTheirFailures) {
    BYTE p[64] = {};
    ASSERT_TRUE(gtGetDriveParameters(2, p));
    EXPECT_EQ(p[1], 7);
    EXPECT_EQ(g_ebx, 3u);  // DOS drive numbers are 1-based
    g_carry = false;
    EXPECT_FALSE(gtGetDriveParameters(2, p)) << "case carry set";
    EXPECT_EQ(g_closed, 2) << "case every opened device is closed";
    g_opens = false;
    EXPECT_FALSE(gtGetDriveParameters(2, p)) << "case no device";
    EXPECT_FALSE(gtGetDriveParameters(0xFFFFFFFFu, p)) << "case index past Z";
    EXPECT_FALSE(gtGetDriveParameters(0, nullptr)) << "case no buffer";
}

TEST_F(Seam, RemovableDrivesByDeviceTypeThenDosName) {
    const int F = GTDRIVE_FLOPPY, R = GTDRIVE_REMOVABLE;
    const int expected[10] = {F, F, F, F, F, R, R, F, R, F};  // 5: removable hard disk
    for (int t = 0; t <= 9; ++t) {
        g_devType = t;
        EXPECT_EQ(gt::fs::driveType(0, kQ), expected[t]) << "case device type " << t;
    }
    const struct { const char* name; bool opens; const char* dos; int want; } byName[] = {
        {"readable parameters win over the name", true, "\\Device\\Floppy0", R},
        {"without parameters the floppy name", false, "\\Device\\Floppy0", F},
        {"without parameters another name", false, "\\Device\\Harddisk1\\DP(1)0-0+5", R},
        {"neither parameters nor a name", false, nullptr, R},
    };
    g_devType = 5;
    for (const auto& row : byName) {
        g_opens = row.opens;
        g_dos = row.dos;
        EXPECT_EQ(gt::fs::driveType(1, kQ), row.want) << "case " << row.name;
    }
    const std::pair<UINT, int> other[] = {{DRIVE_UNKNOWN, GTDRIVE_NONE}, {DRIVE_NO_ROOT_DIR, GTDRIVE_NONE},
                                          {DRIVE_FIXED, GTDRIVE_FIXED},  {DRIVE_REMOTE, GTDRIVE_REMOTE},
                                          {DRIVE_CDROM, GTDRIVE_CDROM},  {DRIVE_RAMDISK, GTDRIVE_FIXED}};
    for (const auto& c : other) {
        g_platform = c.first;
        EXPECT_EQ(gt::fs::driveType(25, kQ), c.second) << "case platform type " << c.first;
    }
    EXPECT_EQ(gt::fs::driveType(26, kQ), GTDRIVE_NONE) << "case index past Z";
}

}  // namespace
