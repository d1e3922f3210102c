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
DWORD WINAPI fakeDosDevice(LPCSTR, LPSTR t, DWORD n) { return g_dos ? lstrcpynA(t, g_dos, n), lstrlenA(t) + 2 : 0; }
const gt::fs::DriveQueries kQ{&fakeDriveType, &fakeDosDevice};

struct Seam : ::testing::Test {
    void SetUp() override {
        g_opens = g_carry = true, g_devType = 7, g_closed = 0, g_platform = DRIVE_REMOVABLE, g_dos = nullptr;
        auto& s = gt::device::seam();
        s.createFile = &fakeCreate, s.ioControl = &fakeIo, s.close = &fakeClose;
    }
    void TearDown() override { gt::device::resetSeam(); }
};

TEST_F(Seam, DriveParametersAndTheirFailures) {
    BYTE p[64] = {};
    ASSERT_TRUE(gtGetDriveParameters(2, p));
    EXPECT_EQ(p[1], 7);
    EXPECT_EQ(g_ebx, 3u);  // DOS drive numbers are 1-based
    g_carry = false;
    EXPECT_FALSE(gtGetDriveParameters(2, p));
    EXPECT_EQ(g_closed, 2);
    EXPECT_FALSE((g_opens = false, gtGetDriveParameters(2, p)));
    EXPECT_FALSE(gtGetDriveParameters(0xFFFFFFFFu, p) || gtGetDriveParameters(0, nullptr));
}

TEST_F(Seam, RemovableDrivesByDeviceTypeThenDosName) {
    const int expected[10] = {7, 7, 7, 7, 7, 2, 2, 7, 2, 7};  // 5: removable hard disk
    for (int t = 0; t <= 9; ++t) EXPECT_EQ((g_devType = t, gt::fs::driveType(0, kQ)), expected[t]) << t;
    g_dos = "\\Device\\Floppy0";
    EXPECT_EQ((g_devType = 5, gt::fs::driveType(1, kQ)), 2) << "readable parameters win over the name";
    EXPECT_EQ((g_opens = false, gt::fs::driveType(1, kQ)), 7);
    EXPECT_EQ((g_dos = "\\Device\\Harddisk1\\DP(1)0-0+5", gt::fs::driveType(1, kQ)), 2);
    EXPECT_EQ((g_dos = nullptr, gt::fs::driveType(1, kQ)), 2);
    const std::pair<UINT, int> other[] = {{DRIVE_UNKNOWN, 0}, {DRIVE_NO_ROOT_DIR, 0}, {DRIVE_FIXED, 3},
                                          {DRIVE_REMOTE, 4},  {DRIVE_CDROM, 5},       {DRIVE_RAMDISK, 3}};
    for (const auto& c : other) EXPECT_EQ((g_platform = c.first, gt::fs::driveType(25, kQ)), c.second) << c.first;
    EXPECT_EQ(gt::fs::driveType(26, kQ), 0);
}

}  // namespace
