// Searches left open: thousands of them neither exhaust the find service
// nor make a disk read as empty.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gtapi32.h"
#include "testutil.h"

namespace {

TEST(Find, SearchesLeftOpenNeitherExhaustTheServiceNorEmptyADisk) {
    const std::string dir = testutil::freshTempDir("hostile_find");
    CloseHandle(CreateFileA((dir + "one.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    std::vector<HANDLE> open;
    for (int i = 0; i < 5000; ++i) open.push_back(gtFindFirst((dir + "*").c_str(), nullptr, 23));
    DWORD opened = 0;
    for (HANDLE h : open) opened += h != nullptr;
    EXPECT_EQ(opened, 5000u);
    GTFINDDATA fd{};
    HANDLE more = gtFindFirst((dir + "one.txt").c_str(), &fd, 7);
    EXPECT_NE(more, nullptr);
    EXPECT_STREQ(fd.szName, "one.txt");
    gtFindClose(more);
    EXPECT_FALSE(gtIsDiskEmpty('C'));
    DWORD closed = 0;
    for (HANDLE h : open) closed += gtFindClose(h) != FALSE;
    EXPECT_EQ(closed, 5000u);
    DeleteFileA((dir + "one.txt").c_str());
    RemoveDirectoryA(dir.c_str());
}

}  // namespace
