// The container's decisions: which names may be extracted, which names a
// name pattern selects, how sources split, and the Zip64 end records.
#include <gtest/gtest.h>

#include "zipcore/zipformat.h"

namespace {

TEST(ZipFormat, EntryNamesStayInsideTheDestination) {
    struct Row {
        const wchar_t* name;
        const wchar_t* relative;  // null: refused
    } rows[] = {
        {L"dir/sub/file.txt", L"dir\\sub\\file.txt"},
        {L"./a//b.txt", L"a\\b.txt"},
        {L"dir/", L"dir"},
        {L"../x", nullptr},
        {L"a/../../x", nullptr},
        {L"..\\x", nullptr},
        {L"/abs", nullptr},
        {L"\\abs", nullptr},
        {L"C:\\x", nullptr},
        {L"C:x", nullptr},
        {L"\\\\server\\share\\x", nullptr},
        {L"a/.../x", nullptr},
        {L"a/x. ", nullptr},
        {L"nul.txt", nullptr},
        {L"dir/COM1", nullptr},
        {L"stream:ads", nullptr},
        {L"", nullptr},
    };
    for (const auto& row : rows) {
        std::wstring rel;
        bool ok = zc::safeRelativePath(row.name, rel);
        EXPECT_EQ(ok, row.relative != nullptr) << "case " << testing::PrintToString(std::wstring(row.name));
        if (row.relative) {
            EXPECT_EQ(rel, row.relative) << "case " << testing::PrintToString(std::wstring(row.name));
        }
    }
}

TEST(ZipFormat, NamePatternsFollowWindowsWildcards) {
    struct Row {
        const wchar_t* spec;
        const wchar_t* name;
        bool selected;
    } rows[] = {
        {L"*.*", L"README", true},
        {L"*.*", L"a.b.c", true},
        {L"*.txt", L"NOTES.TXT", true},
        {L"*.txt", L"notes.txt.bak", false},
        {L"data.*", L"data", true},
        {L"*.", L"README", true},
        {L"*.", L"a.txt", false},
        {L"a?c.txt", L"abc.txt", true},
        {L"a?c.txt", L"ac.txt", false},
        {L"file??", L"file1", true},
        {L"*.doc;*.txt", L"b.txt", true},
        {L"*.doc;*.txt", L"b.bin", false},
    };
    for (const auto& row : rows) {
        std::string name = testing::PrintToString(std::wstring(row.spec) + L" ~ " + row.name);
        EXPECT_EQ(zc::matchSpec(row.spec, row.name), row.selected) << "case " << name;
    }
}

TEST(ZipFormat, EntriesAreSelectedByFlagsAndNamePattern) {
    struct Row {
        const char* name;
        const wchar_t* relative;
        bool directory, recurse, keepPaths;
        const wchar_t* spec;
        bool selected;
    } rows[] = {
        {"top-level file matching", L"a.txt", false, false, true, L"*.txt", true},
        {"top-level file not matching", L"a.bin", false, true, true, L"*.txt", false},
        {"nested file with recursion", L"d\\a.txt", false, true, false, L"*.txt", true},
        {"nested file without recursion", L"d\\a.txt", false, false, true, L"*.*", false},
        {"pattern applies to the file name only", L"x.txt\\a.bin", false, true, true, L"*.txt", false},
        {"directory with paths kept", L"d", true, true, true, L"*.txt", true},
        {"directory with paths dropped", L"d", true, true, false, L"*.*", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(zc::selectEntry(row.relative, row.directory, row.spec, row.recurse, row.keepPaths), row.selected)
            << "case " << row.name;
}

TEST(ZipFormat, SourcesSplitAtBlanksOutsideQuotes) {
    std::vector<std::string> got = zc::splitSources("\"C:\\a b\\*.txt\" D:\\one  \"E:\\x\"");
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], "C:\\a b\\*.txt");
    EXPECT_EQ(got[1], "D:\\one");
    EXPECT_EQ(got[2], "E:\\x");
}

// What the writer emits, read back by the reader's own parser.
TEST(ZipFormat, EndRecordsRoundTrip) {
    struct Row {
        const char* name;
        uint64_t count, offset, size;
        bool zip64;
    } rows[] = {
        {"small archive", 3, 1000, 138, false},
        {"65535 entries", 0xFFFF, 5000000, 0xFFFF * 46ull, true},
        {"directory past 4 GiB", 2, 0x100000000ull, 92, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string end = zc::endRecords(row.count, row.offset, row.size);
        uint64_t fileSize = row.offset + row.size + end.size();
        zc::Directory dir;
        uint64_t end64 = 0;
        ASSERT_TRUE(zc::parseEnd(reinterpret_cast<const uint8_t*>(end.data()), end.size(), row.offset + row.size,
                                 fileSize, dir, end64));
        EXPECT_EQ(end64 != UINT64_MAX, row.zip64);
        if (row.zip64) {
            ASSERT_EQ(end64, row.offset + row.size);
            ASSERT_TRUE(zc::parseEnd64(reinterpret_cast<const uint8_t*>(end.data()), end.size(), fileSize, dir));
        }
        EXPECT_EQ(dir.count, row.count);
        EXPECT_EQ(dir.offset, row.offset);
        EXPECT_EQ(dir.size, row.size);
    }
}

TEST(ZipFormat, CentralHeadersCarryZip64FieldsWhenNeeded) {
    struct Row {
        const char* name;
        uint64_t usize, csize, offset;
    } rows[] = {
        {"small", 10, 8, 0},
        {"5 GiB entry", 5ull << 30, 1ull << 20, 0},
        {"entry past 4 GiB", 10, 10, 0x123456789ull},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        zc::NewEntry e;
        e.rawName = "dir/f.bin";
        e.usize = row.usize;
        e.csize = row.csize;
        e.localOffset = row.offset;
        std::string h = zc::centralHeader(e);
        std::vector<zc::Entry> parsed;
        ASSERT_TRUE(zc::parseCentral(reinterpret_cast<const uint8_t*>(h.data()), h.size(), 1, parsed));
        EXPECT_EQ(parsed[0].usize, row.usize);
        EXPECT_EQ(parsed[0].csize, row.csize);
        EXPECT_EQ(parsed[0].localOffset, row.offset);
        EXPECT_EQ(parsed[0].name, L"dir/f.bin");
    }
}

TEST(ZipFormat, NamesOutsideAsciiAreUtf8AndFlagged) {
    uint16_t flags = 0;
    std::string raw = zc::encodeName(L"dir\\\x65E5\x672C.txt", flags);
    EXPECT_EQ(raw, "dir/\xE6\x97\xA5\xE6\x9C\xAC.txt");
    EXPECT_EQ(flags & zc::FLAG_UTF8, zc::FLAG_UTF8);
    EXPECT_EQ(zc::decodeName(raw, flags, std::string()), L"dir/\x65E5\x672C.txt");
    uint16_t asciiFlags = zc::FLAG_UTF8;
    zc::encodeName(L"plain.txt", asciiFlags);
    EXPECT_EQ(asciiFlags & zc::FLAG_UTF8, 0);
}

}  // namespace
