// Record conversion and the loading of the find-file library, called
// directly.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fs/findfile.h"
#include "gtapi32.h"

namespace {

FILETIME utcFromLocal(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s) {
    SYSTEMTIME st{};
    st.wYear = y;
    st.wMonth = mo;
    st.wDay = d;
    st.wHour = h;
    st.wMinute = mi;
    st.wSecond = s;
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

TEST(Convert, TimesDatesAndAttributes) {
    GTFINDRECORD r = record("file.txt", "");
    r.fd.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY;
    r.fd.ftCreationTime = utcFromLocal(1999, 12, 31, 23, 59, 58);
    r.fd.ftLastAccessTime = utcFromLocal(2020, 2, 29, 0, 0, 1);  // odd seconds round down
    r.dwDosTime = 0xFFFF0000u | 0x6000;  // only the low 16 bits count
    r.dwDosDate = 0x2A21;
    GTFINDDATA out;
    std::memset(&out, 0x5A, sizeof out);
    gt::find::convert(r, out);
    EXPECT_EQ(out.dwAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    const WORD ct[3] = {23, 59, 58}, cd[3] = {31, 12, 1999};
    const WORD at[3] = {0, 0, 0}, ad[3] = {29, 2, 2020};
    const WORD et[3] = {12, 0, 0}, ed[3] = {1, 1, 2001};
    EXPECT_EQ(0, std::memcmp(out.wCreationTime, ct, 6));
    EXPECT_EQ(0, std::memcmp(out.wCreationDate, cd, 6));
    EXPECT_EQ(0, std::memcmp(out.wAccessTime, at, 6));
    EXPECT_EQ(0, std::memcmp(out.wAccessDate, ad, 6));
    EXPECT_EQ(0, std::memcmp(out.wTime, et, 6));
    EXPECT_EQ(0, std::memcmp(out.wDate, ed, 6));
    EXPECT_EQ(out.bDirReport, 0);
}

TEST(Convert, TimesWithoutADosFormStayZero) {
    GTFINDRECORD r = record("old", "");  // file times 0 (1601): no DOS form
    GTFINDDATA out;
    std::memset(&out, 0x5A, sizeof out);
    gt::find::convert(r, out);
    const WORD zero[3] = {0, 0, 0};
    EXPECT_EQ(0, std::memcmp(out.wCreationDate, zero, 6));
    EXPECT_EQ(0, std::memcmp(out.wAccessTime, zero, 6));
    EXPECT_EQ(0, std::memcmp(out.wDate, zero, 6));  // DOS date 0 decodes to nothing
    EXPECT_EQ(0, std::memcmp(out.wTime, zero, 6));
}

TEST(Convert, SizeKeepsAllSixtyFourBits) {
    GTFINDRECORD r = record("big", "");
    r.fd.nFileSizeHigh = 1;
    r.fd.nFileSizeLow = 5;
    GTFINDDATA out;
    gt::find::convert(r, out);
    EXPECT_EQ(out.dwSizeLow, 5u);
    EXPECT_EQ(out.dwSizeHigh, 1u);
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

TEST(Service, LoadsFromTheLibrarysDirectory) {
    const gt::find::Service& s = gt::find::service();
    EXPECT_TRUE(s.ready());
    EXPECT_EQ(&s, &gt::find::service());  // loaded once
}

TEST(Service, MissingLibraryFindsNothing) {
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
}

TEST(Service, LibraryWithoutTheEntriesIsReleased) {
    ASSERT_EQ(GetModuleHandleA("DZIP32.DLL"), nullptr);
    gt::find::Service wrong = gt::find::load(nullptr, "DZIP32.DLL");
    EXPECT_FALSE(wrong.ready());
    EXPECT_EQ(wrong.lib, nullptr);
    EXPECT_EQ(GetModuleHandleA("DZIP32.DLL"), nullptr);
}

}  // namespace
