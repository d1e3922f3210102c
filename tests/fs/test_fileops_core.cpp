// The decision logic of the file operations and directory walks, on plain
// data: temporary names, progress fields, keep-lists, directory chains and
// the names under which walk entries are reached.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fs/fileops.h"
#include "testutil.h"

namespace fo = gt::fileops;

namespace {

TEST(TempNames, PrefixExtensionAndCounter) {
    const struct { const char* name; const char* prefix; const char* extension; DWORD counter; const char* want; } rows[] = {
        {"two characters of the prefix", "ABC", "tmp", 0, "AB0.tmp"},
        {"dotted extension keeps four characters", "x", ".tmpl", 1, "x1.tmp"},
        {"undotted extension gets a dot and three", "x", "abcd", 2, "x2.abc"},
        {"counter in upper-case hexadecimal", "", "", 0xABCDE, "ABCDE"},
        {"no prefix, no extension", nullptr, nullptr, 0xFFFFFE, "FFFFFE"},
    };
    for (const auto& row : rows) {
        const std::string name = fo::tempName(fo::tempPrefix(row.prefix), row.counter, fo::tempExtension(row.extension));
        EXPECT_EQ(name, row.want) << "case " << row.name;
    }
}

// Keep-list of 260-byte slots, the last one empty.
std::vector<char> keepList(std::initializer_list<std::string> names) {
    std::vector<char> slots((names.size() + 1) * fo::kKeepSlot, 0);
    size_t i = 0;
    for (const std::string& n : names) std::memcpy(&slots[fo::kKeepSlot * i++], n.data(), n.size());
    return slots;
}

TEST(KeepList, LongOrShortNameInAnyCase) {
    const std::vector<char> list = keepList({"Quarterly Report.xlsx", std::string(fo::kKeepSlot, 'w'), "G.TXT"});
    const struct { const char* name; std::string entry; const char* shortName; bool want; } rows[] = {
        {"long name with blanks", "Quarterly Report.xlsx", "QUARTE~1.XLS", true},
        {"long name in another case", "QUARTERLY REPORT.XLSX", "QUARTE~1.XLS", true},
        {"short name", "g.txt", "G.TXT", true},
        {"neither name", "Annual Report.xlsx", "ANNUAL~1.XLS", false},
        {"prefix of a kept name", "Quarterly", "QUARTE~2", false},
        {"slot that fills its whole width", std::string(fo::kKeepSlot, 'W'), "W", true},
        {"full slot does not run into the next", std::string(fo::kKeepSlot, 'w') + "G.TXT", "W", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(fo::isKept(list.data(), row.entry.c_str(), row.shortName), row.want) << "case " << row.name;
    }
    EXPECT_FALSE(fo::isKept(nullptr, "G.TXT", "G.TXT"));
}

TEST(DirChain, LevelsToCreate) {
    const std::string longPath = "C:\\" + std::string(300, 'a');
    const struct { const char* name; std::string path; bool ok; std::vector<std::string> levels; } rows[] = {
        {"drive path", "C:\\a\\b\\c", true, {"C:\\a", "C:\\a\\b", "C:\\a\\b\\c"}},
        {"trailing backslash", "C:\\a\\b\\", true, {"C:\\a", "C:\\a\\b"}},
        {"UNC path below the share", "\\\\srv\\share\\x\\y", true, {"\\\\srv\\share\\x", "\\\\srv\\share\\x\\y"}},
        {"relative path", "a\\b", true, {"a", "a\\b"}},
        {"UNC share alone", "\\\\srv\\share", false, {}},
        {"drive alone", "C:\\", false, {}},
        {"260 characters or more", longPath, false, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> levels;
        EXPECT_EQ(fo::dirChain(row.path.c_str(), levels), row.ok);
        EXPECT_EQ(levels, row.levels);
    }
}

}  // namespace
