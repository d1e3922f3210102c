// The wrappers' command records as a companion receives them, offset by
// offset; the owned copies; the result when the companion is missing.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "archive/zipcommand.h"
#include "qrZipFile.h"

namespace {

std::vector<uint8_t> g_seen;
DWORD g_answer = QRZ_OK;

template <size_t N>
DWORD WINAPI recordingCompanion(void* cmd) {
    const uint8_t* p = static_cast<const uint8_t*>(cmd);
    g_seen.assign(p, p + N);
    return g_answer;
}

uint32_t fieldAt(const std::vector<uint8_t>& bytes, size_t offset, size_t width) {
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + offset, width);
    return v;
}

uint32_t addressOf(const char* s) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(s)); }

// Expected values by offset; every other 32-bit word (16-bit at the packed
// tail) must be 0.
using Fields = std::map<size_t, uint32_t>;

void expectRecord(const std::vector<uint8_t>& seen, const Fields& want, size_t size, size_t narrowFrom) {
    ASSERT_EQ(seen.size(), size);
    for (size_t off = 0; off < size;) {
        size_t width = off >= narrowFrom ? 2 : 4;
        auto it = want.find(off);
        uint32_t expected = it == want.end() ? 0 : it->second;
        EXPECT_EQ(fieldAt(seen, off, width), expected) << "offset 0x" << std::hex << off;
        off += width;
    }
}

class Records : public ::testing::Test {
protected:
    void SetUp() override {
        gt::archive::setEntriesForTests(recordingCompanion<ZIPCMD_SIZE>, recordingCompanion<UNZIPCMD_SIZE>);
        g_answer = QRZ_OK;
        g_seen.clear();
    }
};

struct ZipRow {
    const char* name;
    bool defaults;
    int rate;
    unsigned long flags;
    bool clearAfter;  // SetZipFlags(0) before the call
    uint32_t storedRate;
};

TEST_F(Records, ZipCommandMatchesTheTable) {
    const ZipRow rows[] = {
        {"default constructor", true, 0, 0, false, 5},
        {"every flag, rate 12 clamped to 9", false, 12, 0xFFFFFFFF, false, 9},
        {"flags 0x1 0x4, rate -3 clamped to 0", false, -3, 0x5, false, 0},
        {"flags 0x2 0x8 0x20", false, 1, 0x2A, false, 1},
        {"flag 0x10 set and cleared", false, 7, 0x10, true, 7},
    };
    for (const ZipRow& row : rows) {
        SCOPED_TRACE(row.name);
        qrZipFile zip = row.defaults ? qrZipFile() : qrZipFile("C:\\data\\a b.txt", "C:\\out.zip", row.rate, row.flags);
        if (row.clearAfter) zip.SetZipFlags(0);
        unsigned long f = zip.GetZipFlags();
        EXPECT_EQ(row.defaults ? 5u : (row.clearAfter ? 0u : row.flags), f);
        EXPECT_EQ(zip.ZipFile(), TRUE);
        Fields want{{0x00, 188},
                    {0x04, 4},
                    {0x08, addressOf(zip.GetZipFilename())},
                    {0x0C, addressOf(zip.GetSourceFileName())},
                    {0x28, row.storedRate},
                    {0x2C, (f & 0x1) ? 1u : 0u},
                    {0x44, (f & 0x2) ? 1u : 0u},
                    {0x4C, (f & 0x4) ? 1u : 0u},
                    {0x7C, (f & 0x8) ? 1u : 0u},
                    {0x88, (f & 0x20) ? 1u : 0u}};
        // 0x9C and 0x9E are 16-bit: read as one word, 0x9E in the high half.
        want[0x9C] = (f & 0x10) ? 0x10000u : 0u;
        expectRecord(g_seen, want, ZIPCMD_SIZE, ZIPCMD_SIZE);
        EXPECT_EQ(zip.GetCompressionRate(), int(row.storedRate));
    }
}

struct UnzipRow {
    const char* name;
    bool defaults;
    unsigned long flags;
    unsigned long thenFlags;  // applied second when not ~0
};

TEST_F(Records, UnzipCommandMatchesTheTable) {
    const UnzipRow rows[] = {
        {"default constructor, flags 0x285", true, 0, ~0ul},
        {"every flag", false, 0xFFFFFFFF, ~0ul},
        {"flags 0x2 0x20 0x40 0x100", false, 0x162, ~0ul},
        {"flag 0x80 then none clears 0x6C", false, 0x80, 0x0},
    };
    for (const UnzipRow& row : rows) {
        SCOPED_TRACE(row.name);
        qrUnzipFile unzip = row.defaults ? qrUnzipFile() : qrUnzipFile("C:\\in.zip", "C:\\dest", row.flags);
        if (row.thenFlags != ~0ul) unzip.SetZipFlags(row.thenFlags);
        unsigned long f = unzip.GetZipFlags();
        EXPECT_EQ(unzip.UnzipFile(), TRUE);
        Fields want{{0x00, 142},
                    {0x04, 8},
                    {0x08, addressOf(unzip.GetZipFilename())},
                    {0x10, addressOf(unzip.GetFileSpec())},
                    {0x14, 0xFFFFFFFF},
                    {0x18, addressOf(unzip.GetDestinationDir())},
                    {0x24, (f & 0x1) ? 1u : 0u},
                    {0x28, (f & 0x4) ? 1u : 0u},
                    {0x2C, (f & 0x2) ? 1u : 0u},
                    {0x30, (f & 0x100) ? 1u : 0u},
                    {0x34, (f & 0x200) ? 1u : 0u},
                    {0x38, (f & 0x20) ? 1u : 0u},
                    {0x54, (f & 0x40) ? 1u : 0u},
                    {0x6C, (f & 0x80) ? 1u : 0u}};
        expectRecord(g_seen, want, UNZIPCMD_SIZE, 0x6C);
        EXPECT_STREQ(unzip.GetFileSpec(), "*.*");
    }
}

TEST_F(Records, SourceNamesAreQuotedOnce) {
    struct Row {
        const char* name;
        const char* given;
        const char* stored;  // null: none
    } rows[] = {
        {"name with a blank", "C:\\a b.txt", "\"C:\\a b.txt\""},
        {"name without a blank", "C:\\ab.txt", "\"C:\\ab.txt\""},
        {"already quoted", "\"C:\\ab.txt\"", "\"C:\\ab.txt\""},
        {"empty", "", nullptr},
        {"null", nullptr, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        qrZipFile zip(row.given, row.given, 5, 5);
        if (row.stored)
            EXPECT_STREQ(zip.GetSourceFileName(), row.stored);
        else
            EXPECT_EQ(zip.GetSourceFileName(), nullptr);
        ASSERT_EQ(zip.ZipFile(), TRUE);
        EXPECT_EQ(fieldAt(g_seen, 0x0C, 4), addressOf(zip.GetSourceFileName()));
    }
}

// A copy outlives its original and its record points at its own strings.
TEST_F(Records, CopiesOwnTheirStringsAndRecord) {
    qrZipFile* zipOriginal = new qrZipFile("C:\\src.txt", "C:\\a.zip", 3, 0x10);
    qrUnzipFile* unzipOriginal = new qrUnzipFile("C:\\a.zip", "C:\\dest", 0x80);
    qrZipFile zipCopy(*zipOriginal);
    qrZipFile zipAssigned;
    zipAssigned = *zipOriginal;
    qrUnzipFile unzipCopy(*unzipOriginal);
    qrUnzipFile unzipAssigned;
    unzipAssigned = *unzipOriginal;
    EXPECT_NE(zipCopy.GetZipFilename(), zipOriginal->GetZipFilename());
    EXPECT_NE(unzipAssigned.GetDestinationDir(), unzipOriginal->GetDestinationDir());
    delete zipOriginal;
    delete unzipOriginal;

    for (qrZipFile* z : {&zipCopy, &zipAssigned}) {
        SCOPED_TRACE(z == &zipCopy ? "zip copy" : "zip assigned");
        ASSERT_EQ(z->ZipFile(), TRUE);
        EXPECT_STREQ(z->GetSourceFileName(), "\"C:\\src.txt\"");
        EXPECT_EQ(fieldAt(g_seen, 0x08, 4), addressOf(z->GetZipFilename()));
        EXPECT_EQ(fieldAt(g_seen, 0x0C, 4), addressOf(z->GetSourceFileName()));
        EXPECT_EQ(fieldAt(g_seen, 0x28, 4), 3u);
        EXPECT_EQ(fieldAt(g_seen, 0x9E, 2), 1u);
    }
    for (qrUnzipFile* u : {&unzipCopy, &unzipAssigned}) {
        SCOPED_TRACE(u == &unzipCopy ? "unzip copy" : "unzip assigned");
        ASSERT_EQ(u->UnzipFile(), TRUE);
        EXPECT_STREQ(u->GetDestinationDir(), "C:\\dest");
        EXPECT_EQ(fieldAt(g_seen, 0x08, 4), addressOf(u->GetZipFilename()));
        EXPECT_EQ(fieldAt(g_seen, 0x10, 4), addressOf(u->GetFileSpec()));
        EXPECT_EQ(fieldAt(g_seen, 0x18, 4), addressOf(u->GetDestinationDir()));
        EXPECT_EQ(fieldAt(g_seen, 0x6C, 2), 1u);
    }
}

TEST_F(Records, ResultFollowsTheCompanion) {
    struct Row {
        const char* name;
        bool present;
        DWORD answer;
        int result;
        int code;
    } rows[] = {
        {"success", true, QRZ_OK, TRUE, QRZ_OK},
        {"damaged archive", true, QRZ_DAMAGED, FALSE, QRZ_DAMAGED},
        {"entry missing after a success", false, QRZ_OK, FALSE, QRZ_NO_ENTRY_POINT},
    };
    qrZipFile zip("C:\\a.txt", "C:\\a.zip", 5, 5);
    qrUnzipFile unzip("C:\\a.zip", "C:\\d", 0x285);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.present)
            gt::archive::setEntriesForTests(recordingCompanion<ZIPCMD_SIZE>, recordingCompanion<UNZIPCMD_SIZE>);
        else
            gt::archive::setEntriesForTests(nullptr, nullptr);
        g_answer = row.answer;
        EXPECT_EQ(zip.ZipFile(), row.result);
        EXPECT_EQ(zip.GetErrorCode(), row.code);
        EXPECT_EQ(zip.IsDllLoaded(), row.present ? TRUE : FALSE);
        EXPECT_EQ(unzip.UnzipFile(), row.result);
        EXPECT_EQ(unzip.GetErrorCode(), row.code);
        EXPECT_EQ(unzip.IsDllLoaded(), row.present ? TRUE : FALSE);
    }
}

}  // namespace
