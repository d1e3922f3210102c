// Record files on a disk that is full for real (a 1 MiB tmpfs prepared by
// run-full-disk.sh): removal still leaves a whole record grid, a copy that
// cannot be completed leaves no destination behind.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ZFile.h"
#include "ZStgStorage.h"
#include "ZStgStreamFile.h"
#include "testutil.h"

namespace {

constexpr DWORD kRW = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr int kRecLen = 1000;

std::string fullDir() {
    const char* d = std::getenv("GT_FULL_DIR");
    return d ? std::string(d) + "\\" : std::string();
}

std::string recordBytes(int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += std::string(kRecLen, static_cast<char>('a' + i % 26));
    return s;
}

bool writeWhole(const std::string& path, const std::string& data) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    BOOL ok = WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
    CloseHandle(h);
    return ok && n == data.size();
}

std::string readWhole(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string s(GetFileSize(h, nullptr), 0);
    DWORD n = 0;
    if (!s.empty()) ReadFile(h, &s[0], static_cast<DWORD>(s.size()), &n, nullptr);
    CloseHandle(h);
    return s;
}

// Fills what is left of the disk; true when a write was refused for lack of
// space.
bool fillDisk(const std::string& dir) {
    HANDLE h = CreateFileA((dir + "filler").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::string block(4096, 'f');
    DWORD n = 0;
    bool full = false;
    for (int i = 0; i < 1024 && !full; ++i) full = !WriteFile(h, block.data(), 4096, &n, nullptr) || n != 4096;
    CloseHandle(h);
    return full;
}

}  // namespace

TEST(FullDisk, RemovalAndCopies) {
    std::string dir = fullDir();
    if (dir.empty()) GTEST_SKIP() << "no tmpfs could be mounted";
    std::string path = dir + "records.dat";
    ASSERT_TRUE(writeWhole(path, recordBytes(400)));
    std::string other = testutil::freshTempDir("fulldisk") + "doc.stg";
    ZStgStorage doc(other.c_str(), kRW, TRUE);
    ZStgStreamFile stream;
    ASSERT_TRUE(doc.CreateStream("big", kRW | STGM_CREATE, &stream));
    std::string big = recordBytes(700);
    ASSERT_EQ(stream.Write(big.data(), static_cast<int>(big.size()), FILE_BEGIN), static_cast<int>(big.size()));
    ASSERT_TRUE(fillDisk(dir)) << "the disk is full";

    struct Row {
        const char* name;
        int offset;
        std::string after;
    } rows[] = {
        {"first record", 0, recordBytes(400).substr(kRecLen)},
        {"a middle record", 100 * kRecLen, recordBytes(399).substr(0, 100 * kRecLen) + recordBytes(399).substr(101 * kRecLen)},
    };
    std::string expected = recordBytes(400);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ZNativeFile f(path.c_str());
        ASSERT_TRUE(f.Open(OF_READWRITE));
        BOOL removed = f.Remove(r.offset, kRecLen);
        f.Close();
        std::string now = readWhole(path);
        if (removed) expected.erase(static_cast<size_t>(r.offset), kRecLen);
        EXPECT_EQ(now.size() % kRecLen, 0u) << "whole records only";
        EXPECT_TRUE(now == expected) << "removed " << removed << ": file as before or correctly shortened";
    }

    std::string copy = dir + "copy.dat";
    ZNativeFile target(copy.c_str());
    EXPECT_FALSE(stream.CopyOut(&target)) << "copy larger than the free space";
    EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES) << "no destination of the wrong size";
    stream.Close();
}
