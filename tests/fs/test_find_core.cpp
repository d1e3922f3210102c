// Record conversion and loading of the find-file library, called directly.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fs/findfile.h"
#include "gtapi32.h"

namespace {

TEST(Convert, DosWordsUnterminatedNamesAndAMissingLibrary) {
    GTFINDRECORD r = {};
    r.dwDosTime = 0xFFFF6000u;  // only the low 16 bits count
    std::memset(r.fd.cFileName, 'n', sizeof r.fd.cFileName);  // no terminators
    std::memset(r.fd.cAlternateFileName, 's', sizeof r.fd.cAlternateFileName);
    GTFINDDATA out;
    gt::find::convert(r, out);
    EXPECT_EQ(out.wTime[0], 12);
    EXPECT_EQ(std::strlen(out.szName), 259u);
    EXPECT_EQ(std::string(out.szShortName), std::string(13, 's'));

    gt::find::Service none = gt::find::load(nullptr, "NO_SUCH_FIND_LIBRARY.dll");
    EXPECT_FALSE(none.ready());
    EXPECT_EQ(gt::find::first(none, "C:\\*", 23, &r), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

}  // namespace
