// Disk-space arithmetic and the boot-drive decision with chosen platform
// answers.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "fs/drives.h"

namespace {

using namespace gt::fs;

struct SpaceAnswer {
    BOOL ok = TRUE;
    ULONGLONG available = 0, total = 0, free = 0;
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    std::string root;
    UINT errorMode = 0;
};
SpaceAnswer g_space;

UINT currentErrorMode() {
    UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    return mode;
}

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

TEST(DiskSpace, ExtendedQueryGivesAllFreeBytesNotTheQuota) {
    g_space = SpaceAnswer{};
    g_space.available = 1000;
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
}

TEST(DiskSpace, ClusterQueryWhenTheExtendedOneIsMissing) {
    g_space = SpaceAnswer{};
    g_space.sectorsPerCluster = 64;
    g_space.bytesPerSector = 512;
    g_space.freeClusters = 3;
    g_space.totalClusters = 0x00200000;  // 32768 x 64 x 512 would wrap in 32 bits
    EXPECT_EQ(diskSpace('C', false, nullptr, &fakeClusters), 3 * 64 * 512);
    EXPECT_EQ(diskSpace('C', true, nullptr, &fakeClusters), 0x00200000LL * 64 * 512);
    g_space.ok = FALSE;
    EXPECT_EQ(diskSpace('C', true, nullptr, &fakeClusters), 0);
}

TEST(DiskSpace, NonLettersAreNotAsked) {
    g_space = SpaceAnswer{};
    g_space.free = 1;
    for (char c : {'\0', '?', '1', '\\'}) EXPECT_EQ(diskSpace(c, false, &fakeEx, &fakeClusters), 0);
    EXPECT_TRUE(g_space.root.empty());
}

TEST(DiskSpace, ByteArithmeticStaysInRange) {
    EXPECT_EQ(clusterBytes(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF), 0);  // no wrap to a small figure
    EXPECT_EQ(clusterBytes(0, 64, 512), 0);
    EXPECT_EQ(kilobytesToBytes(1), 1024);
    EXPECT_EQ(kilobytesToBytes(LLONG_MAX >> 10), (LLONG_MAX >> 10) << 10);
    EXPECT_EQ(kilobytesToBytes((LLONG_MAX >> 10) + 1), -1);
}

TEST(BootDrive, SetupValueAndDosNumber) {
    EXPECT_EQ(bootDriveFromSetupValue("C:\\"), 3);
    EXPECT_EQ(bootDriveFromSetupValue("a:"), 1);
    EXPECT_EQ(bootDriveFromSetupValue(""), 0);
    EXPECT_EQ(bootDriveFromSetupValue("\\\\srv"), 0);
    EXPECT_EQ(bootDriveFromSetupValue(nullptr), 0);
    EXPECT_EQ(bootDriveIndex(3, 0), 2);
    EXPECT_EQ(bootDriveIndex(3, 5), 2) << "the DOS answer wins";
    EXPECT_EQ(bootDriveIndex(0, 3), 2);
    EXPECT_EQ(bootDriveIndex(0, 0), 0);
    EXPECT_EQ(bootDriveIndex(1, 0), 0);  // A: and "nothing" read the same
    EXPECT_EQ(dosBootDrive(), 0) << "no virtual-device entry on this platform";
}

}  // namespace
