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
    const gt::find::FirstResult missing = gt::find::first(none, "C:\\*", 23, &r);
    EXPECT_EQ(missing.search, nullptr);
    EXPECT_EQ(missing.outcome, gt::find::Outcome::Failed);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

// Only the service's own "nothing there" reads as empty; a full table of
// searches or a silent service must not make a disk look empty.
TEST(Classify, OnlyNoFilesIsEmpty) {
    using gt::find::Outcome;
    const HANDLE none = gt::find::noSearch(), some = reinterpret_cast<HANDLE>(0x00100001);
    const struct { const char* name; HANDLE answer; DWORD error; Outcome want; } rows[] = {
        {"a handle", some, ERROR_SUCCESS, Outcome::Found},
        {"no file matches", none, ERROR_FILE_NOT_FOUND, Outcome::Empty},
        {"no entry admitted", none, ERROR_NO_MORE_FILES, Outcome::Empty},
        {"too many searches", none, ERROR_NO_MORE_SEARCH_HANDLES, Outcome::Failed},
        {"no error left", none, ERROR_SUCCESS, Outcome::Failed},
        {"drive not ready", none, ERROR_NOT_READY, Outcome::Failed},
        {"handle 0", nullptr, ERROR_FILE_NOT_FOUND, Outcome::Empty},
    };
    for (const auto& row : rows) EXPECT_EQ(gt::find::classify(row.answer, row.error), row.want) << "case " << row.name;
}

}  // namespace
