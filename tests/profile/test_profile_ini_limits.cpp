// INI names, sections and values that the platform's private-profile
// functions cannot take are refused before they get there.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZProfile.h"
#include "testutil.h"

namespace {

// Limits: names up to MAX_PATH - 1 characters, sections and keys up to 255
// (as registry names), values up to 32,000; a section is required.
TEST(Profile, IniTextsBeyondTheFormatAreRefused) {
    const std::string dir = testutil::freshTempDir("ini_limits");
    const std::string file = dir + "store.ini", longest = dir + std::string(259 - dir.size() - 4, 'n') + ".ini";
    std::string relative(600, 'r'), hugeSection(32767, 's'), section255(255, 's'), section256(256, 's'),
        key256(256, 'k'), value32768(32768, 'v'), value32001(32001, 'v'), value32000(32000, 'v');
    char key[] = "key", plain[] = "plain";
    const struct { const char* name; std::string file; char *section, *key, *value; BOOL want; } rows[] = {
        {"relative name of 600 characters", relative, plain, key, plain, FALSE},
        {"name of 259 characters", longest, plain, key, plain, TRUE},
        {"name of 260 characters", longest + "x", plain, key, plain, FALSE},
        {"section of 32,767 characters", file, &hugeSection[0], key, plain, FALSE},
        {"section of 255 characters", file, &section255[0], key, plain, TRUE},
        {"section of 256 characters", file, &section256[0], key, plain, FALSE},
        {"key of 256 characters", file, plain, &key256[0], plain, FALSE},
        {"value of 32,768 characters", file, plain, key, &value32768[0], FALSE},
        {"value of 32,001 characters", file, plain, key, &value32001[0], FALSE},
        {"value of 32,000 characters", file, plain, key, &value32000[0], TRUE},
        {"null section with a value", file, nullptr, key, plain, FALSE},
    };
    for (const auto& row : rows) {
        std::vector<char> name(row.file.begin(), row.file.end() + 1);
        ZProfile store(name.data(), nullptr);
        EXPECT_EQ(store.WriteProfileStringA(row.section, row.key, row.value), row.want) << "case " << row.name;
    }
    DeleteFileA(file.c_str());
    DeleteFileA(longest.c_str());
    RemoveDirectoryA(dir.c_str());
}

}  // namespace
