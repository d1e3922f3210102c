// Directory exports through the DLL on a scratch directory: chains that must
// not be cut short, and the status window of the deletion walks.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gtapi32.h"
#include "filetestutil.h"

namespace {

const std::string& scratch() {
    static const std::string dir = filetest::uniqueDir();
    return dir;
}

using filetest::exists;

TEST(CreateDirEx, ChainsAndRefusals) {
    CreateDirectoryA((scratch() + "a").c_str(), nullptr);
    filetest::writeFile(scratch() + "afile", "x");
    // checked: the first level the call must create (or must not).
    const struct { const char* name; std::string path; BOOL want; std::string checked; } rows[] = {
        {"two missing levels", scratch() + "a\\b\\c", TRUE, scratch() + "a\\b\\c"},
        {"260 characters or more", scratch() + "long\\" + std::string(270, 'x'), FALSE, scratch() + "long"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(gtCreateDirEx(row.path.c_str()), row.want);
        EXPECT_EQ(exists(row.checked), row.want == TRUE);
    }
    // A file where a level must go: nothing is created in front of it.
    EXPECT_FALSE(gtCreateDirEx((scratch() + "afile\\n2\\n3").c_str()));
    EXPECT_FALSE(exists(scratch() + "afile\\n2"));
}

BOOL CALLBACK lastChildText(HWND child, LPARAM out) {
    char text[512] = {};
    GetWindowTextA(child, text, sizeof text);
    if (*text) lstrcpyA(reinterpret_cast<char*>(out), text);
    return TRUE;
}

// The deletion callback shows string 28034 with the entry's full name.
TEST(DeleteFilesProc, StatusWindowShowsTheDeletedName) {
    const std::string d = scratch() + "del";
    CreateDirectoryA(d.c_str(), nullptr);
    HWND status = gtPasteStatusMessage(nullptr, " ");
    ASSERT_NE(status, nullptr);
    GTDELETECONTEXT context{nullptr, status};
    GTFINDDATA fd{};
    lstrcpyA(fd.szName, "f2");
    lstrcpyA(fd.szShortName, "f2");
    filetest::writeFile(d + "\\f2", "x");
    EXPECT_EQ(gtiDeleteFilesProc((d + "\\*.*").c_str(), &fd, DWORD(ULONG_PTR(&context))), 1);
    char shown[512] = {};
    EnumChildWindows(status, &lastChildText, LPARAM(shown));
    gtPeelStatusMessage(status);
    EXPECT_EQ(std::string(shown), "Deleting " + d + "\\f2 files");
    EXPECT_FALSE(exists(d + "\\f2"));
    EXPECT_FALSE(gtDeleteFileEx("?:\\x\\*.*", FALSE, nullptr, TRUE, nullptr));
}

}  // namespace
