// Record conversion and the loading of the find-file library, called directly.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fs/findfile.h"
#include "gtapi32.h"

namespace {

FILETIME utcFromLocal(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s) {
    SYSTEMTIME st{y, mo, 0, d, h, mi, s, 0};
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

GTFINDRECORD record(const char* name, const char* shortName) {
    GTFINDRECORD r;
    std::memset(&r, 0, sizeof r);
    std::strcpy(r.fd.cFileName, name);
    std::strcpy(r.fd.cAlternateFileName, shortName);
    return r;
}

std::string triple(const WORD* w) {
    return std::to_string(w[0]) + "/" + std::to_string(w[1]) + "/" + std::to_string(w[2]);
}

TEST(Convert, TimesDatesAttributesAndSize) {
    GTFINDRECORD r = record("file.txt", "");
    r.fd.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY;
    r.fd.ftCreationTime = utcFromLocal(1999, 12, 31, 23, 59, 58);
    r.fd.ftLastAccessTime = utcFromLocal(2020, 2, 29, 0, 0, 1);  // odd seconds round down
    r.dwDosTime = 0xFFFF0000u | 0x6000;                          // only the low 16 bits count
    r.dwDosDate = 0x2A21;
    r.fd.nFileSizeHigh = 1;
    r.fd.nFileSizeLow = 5;
    GTFINDDATA out;
    std::memset(&out, 0x5A, sizeof out);
    gt::find::convert(r, out);
    EXPECT_EQ(out.dwAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(triple(out.wCreationTime), "23/59/58");
    EXPECT_EQ(triple(out.wCreationDate), "31/12/1999");
    EXPECT_EQ(triple(out.wAccessTime), "0/0/0");
    EXPECT_EQ(triple(out.wAccessDate), "29/2/2020");
    EXPECT_EQ(triple(out.wTime), "12/0/0");
    EXPECT_EQ(triple(out.wDate), "1/1/2001");
    EXPECT_EQ(out.bDirReport, 0);
    EXPECT_EQ(out.dwSizeLow, 5u);
    EXPECT_EQ(out.dwSizeHigh, 1u);

    // File times 0 (1601) have no DOS form, DOS date 0 decodes to nothing: all zero.
    r = record("old", "");
    std::memset(&out, 0x5A, sizeof out);
    gt::find::convert(r, out);
    for (const WORD* w : {out.wCreationDate, out.wAccessTime, out.wDate, out.wTime}) EXPECT_EQ(triple(w), "0/0/0");
}

TEST(Convert, NamesAndShortNames) {
    GTFINDDATA out;
    GTFINDRECORD r = record("a_rather_long_file_name.text", "ARATHE~1.TEX");
    gt::find::convert(r, out);
    EXPECT_STREQ(out.szName, "a_rather_long_file_name.text");
    EXPECT_STREQ(out.szShortName, "ARATHE~1.TEX");
    r = record("a_rather_long_file_name.text", "");
    gt::find::convert(r, out);
    EXPECT_STREQ(out.szShortName, "a_rather_long");  // first 13 characters
    // Fields without terminators stay inside their fields.
    std::memset(r.fd.cFileName, 'n', sizeof r.fd.cFileName);
    std::memset(r.fd.cAlternateFileName, 's', sizeof r.fd.cAlternateFileName);
    gt::find::convert(r, out);
    EXPECT_EQ(std::strlen(out.szName), 259u);
    EXPECT_EQ(std::string(out.szShortName), std::string(13, 's'));
}

TEST(Service, LoadingTheLibrary) {
    const gt::find::Service& s = gt::find::service();
    EXPECT_TRUE(s.ready());
    EXPECT_EQ(&s, &gt::find::service());  // loaded once

    gt::find::Service none = gt::find::load(nullptr, "NO_SUCH_FIND_LIBRARY.dll");
    EXPECT_FALSE(none.ready());
    GTFINDRECORD r;
    std::memset(&r, 0x77, sizeof r);
    SetLastError(0);
    EXPECT_EQ(gt::find::first(none, "C:\\*", 23, &r), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_FALSE(gt::find::next(none, reinterpret_cast<HANDLE>(0x10001), &r));
    EXPECT_FALSE(gt::find::close(none, reinterpret_cast<HANDLE>(0x10001)));
    EXPECT_EQ(reinterpret_cast<unsigned char*>(&r)[0], 0x77);

    // A library without the entries is released again.
    ASSERT_EQ(GetModuleHandleA("DZIP32.DLL"), nullptr);
    gt::find::Service wrong = gt::find::load(nullptr, "DZIP32.DLL");
    EXPECT_FALSE(wrong.ready());
    EXPECT_EQ(wrong.lib, nullptr);
    EXPECT_EQ(GetModuleHandleA("DZIP32.DLL"), nullptr);
}

}  // namespace
