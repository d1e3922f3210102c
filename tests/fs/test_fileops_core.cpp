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
        {"one-character prefix", "Q", "", 15, "QF"},
    };
    for (const auto& row : rows) {
        const std::string name = fo::tempName(fo::tempPrefix(row.prefix), row.counter, fo::tempExtension(row.extension));
        EXPECT_EQ(name, row.want) << "case " << row.name;
    }
}

TEST(TempNames, DoubleBytePrefixIsNeverCut) {
    // Code page 932: U+8868 is 0x95 0x5C, whose trail byte is a backslash.
    const std::string table = testutil::ansiFromUtf8("\xE8\xA1\xA8");
    ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
    const struct { const char* name; std::string prefix; std::string want; } rows[] = {
        {"two double-byte characters", table + table + table, table + table},
        {"single byte then double byte", "a" + table + "b", "a" + table},
        {"double byte then single byte", table + "ab", table + "a"},
    };
    for (const auto& row : rows) EXPECT_EQ(fo::tempPrefix(row.prefix.c_str()), row.want) << "case " << row.name;
}

TEST(ProgressField, CountsOfFourGibibytesAndMoreSaturate) {
    const struct { const char* name; uint64_t count; DWORD want; } rows[] = {
        {"zero", 0, 0},
        {"largest 32-bit count", 0xFFFFFFFFull, 0xFFFFFFFFu},
        {"four gibibytes", 0x100000000ull, 0xFFFFFFFFu},
        {"five gibibytes and a byte", 0x140000001ull, 0xFFFFFFFFu},
    };
    for (const auto& row : rows) EXPECT_EQ(fo::progressField(row.count), row.want) << "case " << row.name;
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
        {"short name given where the long differs", "ginger.txt", "G.TXT", true},
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
        {"rooted path without drive", "\\top\\sub", true, {"\\top", "\\top\\sub"}},
        {"doubled backslash", "C:\\a\\\\b", true, {"C:\\a", "C:\\a\\\\b"}},
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

GTFINDDATA entryNamed(const char* name, const char* shortName) {
    GTFINDDATA fd{};
    lstrcpynA(fd.szName, name, sizeof fd.szName);
    lstrcpynA(fd.szShortName, shortName, sizeof fd.szShortName);
    return fd;
}

TEST(ReachableName, LongNameWhileItFitsThenRealShortName) {
    const std::string shallow = "C:\\d\\", deep = "C:\\" + std::string(240, 'd') + "\\";
    const std::string longName(20, 'n');
    const struct { const char* name; std::string dir; GTFINDDATA fd; const char* want; } rows[] = {
        {"long name fits", shallow, entryNamed("Quarterly Report.xlsx", "QUARTE~1.XLS"), "Quarterly Report.xlsx"},
        {"deep: real short name", deep, entryNamed(longName.c_str(), "NNNNNN~1"), "NNNNNN~1"},
        {"deep: cut name is no short name", deep, entryNamed(longName.c_str(), longName.substr(0, 13).c_str()), nullptr},
        {"short-enough name is its own short name", deep, entryNamed("a.txt", "a.txt"), "a.txt"},
    };
    for (const auto& row : rows) {
        const char* got = fo::reachableName(row.dir, row.fd, 0);
        EXPECT_STREQ(got, row.want) << "case " << row.name;
    }
}

TEST(SameFile, SpellingsOfOneFileAndOtherFiles) {
    const std::string dir = testutil::freshTempDir("samefile");
    CreateDirectoryA((dir + "sub").c_str(), nullptr);
    const std::string self = dir + "Self Name.txt", other = dir + "other.txt";
    for (const std::string& f : {self, other}) CloseHandle(CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    char shortName[MAX_PATH] = {};
    GetShortPathNameA(self.c_str(), shortName, MAX_PATH);
    std::string upper = self;
    CharUpperA(&upper[0]);
    const struct { const char* name; std::string a, b; bool want; } rows[] = {
        {"same name", self, self, true},
        {"other case", self, upper, true},
        {"short name", self, shortName, true},
        {"through a dotted directory", self, dir + "sub\\..\\Self Name.txt", true},
        {"another file", self, other, false},
        {"a missing file", self, dir + "missing.txt", false},
    };
    for (const auto& row : rows) EXPECT_EQ(fo::sameFile(row.a.c_str(), row.b.c_str()), row.want) << "case " << row.name;
}

}  // namespace
