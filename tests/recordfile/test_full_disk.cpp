// Record files on a disk that is full for real (a 1 MiB tmpfs prepared by
// run-full-disk.sh): removal still leaves a whole record grid, a copy that
// cannot be completed leaves the old destination as it was.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "ZFile.h"
#include "ZStgStorage.h"
#include "ZStgStreamFile.h"
#include "testutil.h"

namespace {
constexpr DWORD kRW = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr int kRecLen = 1000;

std::string recordBytes(int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += std::string(kRecLen, static_cast<char>('a' + i % 26));
    return s;
}
std::string readWhole(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}
}  // namespace

TEST(FullDisk, RemovalAndCopies) {
    const char* full = std::getenv("GT_FULL_DIR");
    if (!full) GTEST_SKIP() << "no tmpfs could be mounted";
    std::string dir = std::string(full) + "\\", path = dir + "records.dat";
    std::ofstream(path, std::ios::binary) << recordBytes(400);
    ZStgStorage doc((testutil::freshTempDir("fulldisk") + "doc.stg").c_str(), kRW, TRUE);
    ZStgStreamFile stream;
    ASSERT_TRUE(doc.CreateStream("big", kRW | STGM_CREATE, &stream));
    std::string big = recordBytes(700);
    ASSERT_EQ(stream.Write(big.data(), static_cast<int>(big.size()), FILE_BEGIN), static_cast<int>(big.size()));
    std::string copy = dir + "copy.dat";
    std::ofstream(copy, std::ios::binary) << "previous content";
    std::ofstream filler(dir + "filler", std::ios::binary);
    for (int i = 0; i < 256 && filler; ++i) filler << std::string(4096, 'f') << std::flush;
    ASSERT_FALSE(filler) << "the disk is full";

    std::string expected = recordBytes(400);
    for (int offset : {0, 100 * kRecLen}) {
        SCOPED_TRACE(offset ? "a middle record" : "the first record");
        ZNativeFile f(path.c_str());
        ASSERT_TRUE(f.Open(OF_READWRITE));
        if (f.Remove(offset, kRecLen)) expected.erase(static_cast<size_t>(offset), kRecLen);
        f.Close();
        EXPECT_TRUE(readWhole(path) == expected) << "as before or correctly shortened";
    }
    ZNativeFile target(copy.c_str());
    EXPECT_FALSE(stream.CopyOut(&target)) << "copy larger than the free space";
    EXPECT_EQ(readWhole(copy), "previous content") << "the destination as it was";
    EXPECT_EQ(GetFileAttributesA((copy + ".~gt").c_str()), INVALID_FILE_ATTRIBUTES) << "nothing left beside it";
    stream.Close();
}
