// Double-byte names under code page 932: an ANSI source name goes into the
// archive as UTF-8 with the UTF-8 flag, and comes back under its ANSI name.
#include <gtest/gtest.h>

#include <string>

#include "frame/owners.h"
#include "qrZipFile.h"
#include "testutil.h"
#include "zipcore/zipformat.h"
#include "zipcore/zipio.h"

namespace {

TEST(ArchiveDbcs, NamesRoundTripThroughUtf8) {
    ASSERT_EQ(GetACP(), 932u);
    std::string dir = testutil::freshTempDir("zipdbcs");
    std::string name = testutil::ansiFromUtf8(u8"日本語の表.txt");
    std::string source = dir + name, zipName = dir + testutil::ansiFromUtf8(u8"書庫.zip");
    {
        gt::FileHandle h(CreateFileA(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(h.valid());
        DWORD n = 0;
        WriteFile(h.get(), "dbcs", 4, &n, nullptr);
    }

    qrZipFile zip(source.c_str(), zipName.c_str(), 5, 0);
    ASSERT_EQ(zip.ZipFile(), TRUE) << "code " << zip.GetErrorCode();
    zc::Archive archive;
    ASSERT_EQ(archive.open(zc::wideFromAnsi(zipName.c_str())), QRZ_OK);
    ASSERT_EQ(archive.entries().size(), 1u);
    const zc::Entry& e = archive.entries()[0];
    EXPECT_EQ(e.rawName, u8"日本語の表.txt");
    EXPECT_EQ(e.flags & zc::FLAG_UTF8, zc::FLAG_UTF8);

    qrUnzipFile unzip(zipName.c_str(), (dir + "out").c_str(), qrUnzipFile::DEFAULT_FLAGS);
    unzip.SetFileSpec(testutil::ansiFromUtf8(u8"日本*.txt").c_str());
    ASSERT_EQ(unzip.UnzipFile(), TRUE) << "code " << unzip.GetErrorCode();
    EXPECT_NE(GetFileAttributesA((dir + "out\\" + name).c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
