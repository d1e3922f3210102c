// Path splitting, called directly.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fs/pathnames.h"
#include "gtapi32.h"

namespace {

TEST(SplitLogic, DrivesSharesRelativeNamesSlashesAndLimits) {
    const std::string n255(255, 'n');
    const struct { std::string path; std::string parts; } cases[] = {
        {"C:\\dir\\sub\\file.txt", "C:|\\dir\\sub\\|file|.txt"},
        {"C:file.txt", "C:||file|.txt"},
        {"..\\up\\a.b.c", "|..\\up\\|a.b|.c"},
        {"c:/dir/sub/file.txt", "c:|/dir/sub/|file|.txt"},
        {"dir/mixed\\f.tar.gz", "|dir/mixed\\|f.tar|.gz"},
        {"..", "||.|."},
        {"\\\\server\\share\\dir\\file.txt", "\\\\server\\share|\\dir\\|file|.txt"},
        {"\\\\server", "\\\\server|||"},
        {"\\\\srv\\sh/x\\d/f.e", "\\\\srv\\sh/x|\\d/|f|.e"},
        {"//server/share/f.txt", "|//server/share/|f|.txt"},
        {"C:\\" + n255, "C:|\\|" + n255 + "|"},  // a 255-character name fits
        {"C:\\" + n255 + "n", "-"},
        {"C:\\" + std::string(255, 'd') + "\\f", "-"},
        {"f." + n255, "-"},
        {std::string(260, 'a'), "-"},
    };
    for (const auto& c : cases) {
        GTSPLITPATH s;
        std::memset(&s, 0xCC, sizeof s);
        const bool ok = gt::path::split(c.path.c_str(), s);
        const bool clean = std::string(reinterpret_cast<char*>(&s), sizeof s) == std::string(sizeof s, '\0');
        SCOPED_TRACE("path " + c.path);
        // "-": refused with the record cleared; "?" would be a refusal that left bytes behind.
        EXPECT_EQ(ok ? std::string(s.szDrive) + "|" + s.szDir + "|" + s.szName + "|" + s.szExt : clean ? "-" : "?",
                  c.parts);
        if (ok) {
            EXPECT_EQ(std::string(s.szDriveDir) + s.szNameExt, c.path) << "the two halves";
        }
    }
}

}  // namespace
