// Record arithmetic, removal plans, name conversion and the compound-document
// check, called directly.
#include <windows.h>
#include <objbase.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "recordfile/recordfile.h"
#include "testutil.h"

namespace rf = gt::recordfile;

TEST(RecordArithmetic, NumbersAndCounts) {
    struct Row {
        const char* name;
        long length, offset;
        DWORD header;
        long recLen;
        WORD number, total;
    } rows[] = {
        {"first record after a 16-byte header", 40, 16, 16, 8, 1, 3},
        {"second record", 40, 24, 16, 8, 2, 3},
        {"inside the second record", 40, 31, 16, 8, 2, 3},
        {"just after the last record", 40, 40, 16, 8, 4, 3},
        {"file of exactly the header", 16, 16, 16, 8, 1, 0},
        {"partial record not counted", 35, 16, 16, 8, 1, 2},
        {"file shorter than its header", 10, 16, 16, 8, 1, 0},
        {"record length 0", 40, 24, 16, 0, 0, 0},
        {"negative record length", 40, 24, 16, -8, 0, 0},
        {"count delivered in 16 bits", 16 + 65537L * 4, 16, 16, 4, 1, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(rf::recordNumber(r.offset, r.header, r.recLen), r.number);
        EXPECT_EQ(rf::totalRecords(r.length, r.header, r.recLen), r.total);
    }
    EXPECT_EQ(rf::wholeRecords(16 + 65537L * 4, 16, 4), 65537) << "full-width count";
}

TEST(RecordArithmetic, RemovePlans) {
    using K = rf::RemovePlan;
    struct Row {
        const char* name;
        long size, offset;
        DWORD header;
        long recLen;
        K::Kind kind;
        long tail, newSize;
        bool only;
    } rows[] = {
        {"only record", 24, 16, 16, 8, K::Truncate, 0, 16, true},
        {"last of three", 40, 32, 16, 8, K::Truncate, 0, 32, false},
        {"middle of three", 40, 24, 16, 8, K::MoveTail, 8, 32, false},
        {"first of three", 40, 16, 16, 8, K::MoveTail, 16, 32, false},
        {"last record before a partial one moves the partial bytes", 43, 32, 16, 8, K::MoveTail, 3, 35, false},
        {"only record before a partial one", 27, 16, 16, 8, K::MoveTail, 3, 19, true},
        {"offset inside a record", 40, 20, 16, 8, K::Refuse, 0, 40, false},
        {"offset in the header", 40, 8, 16, 8, K::Refuse, 0, 40, false},
        {"offset at the end", 40, 40, 16, 8, K::Refuse, 0, 40, false},
        {"offset on the partial record", 43, 40, 16, 8, K::Refuse, 0, 43, false},
        {"record length 0", 40, 16, 16, 0, K::Refuse, 0, 40, false},
        {"negative record length", 40, 16, 16, -8, K::Refuse, 0, 40, false},
        {"no records", 16, 16, 16, 8, K::Refuse, 0, 16, false},
        {"size unknown", -1, 16, 16, 8, K::Refuse, 0, -1, false},
        {"first of 65537 records", 65537L * 4, 0, 0, 4, K::MoveTail, 65536L * 4, 65536L * 4, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        K p = rf::planRemove(r.size, r.header, r.offset, r.recLen);
        EXPECT_EQ(p.kind, r.kind);
        if (r.kind == K::Refuse) continue;
        EXPECT_EQ(p.tailBytes, r.tail);
        EXPECT_EQ(p.newSize, r.newSize);
        EXPECT_EQ(p.onlyRecord, r.only);
    }
}

TEST(NameConversion, LimitsAndPerCallBuffers) {
    struct Row {
        const char* name;
        std::string narrow;
        size_t max;
        bool ok;
        size_t wideLength;
    } rows[] = {
        {"31 characters fit an element", std::string(31, 'a'), rf::kMaxElementName, true, 31},
        {"32 characters are refused", std::string(32, 'a'), rf::kMaxElementName, false, 0},
        {"empty", "", rf::kMaxElementName, true, 0},
        {"261-character path", std::string(261, 'p'), 261, true, 261},
        {"555 characters never cut to the limit", std::string(555, 'p'), 261, false, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::wstring out = L"left over from an earlier call";
        EXPECT_EQ(rf::widen(r.narrow.c_str(), r.max, out), r.ok);
        if (r.ok) EXPECT_EQ(out.size(), r.wideLength);
        else EXPECT_TRUE(out.empty());
    }
    std::wstring out = L"stale";
    EXPECT_FALSE(rf::widen(nullptr, 31, out)) << "null name";
    EXPECT_TRUE(out.empty()) << "null name leaves no earlier name behind";
}

// --- compound document check ------------------------------------------------------

namespace {

struct Bytes {
    std::vector<unsigned char> data;
};

long readBytes(void* ctx, unsigned long offset, void* dst, long count) {
    auto* b = static_cast<Bytes*>(ctx);
    if (offset >= b->data.size()) return 0;
    long n = static_cast<long>(std::min<size_t>(count, b->data.size() - offset));
    std::memcpy(dst, &b->data[offset], n);
    return n;
}

uint32_t get32(const Bytes& b, size_t at) {
    uint32_t v;
    std::memcpy(&v, &b.data[at], 4);
    return v;
}
void put32(Bytes& b, size_t at, uint32_t v) { std::memcpy(&b.data[at], &v, 4); }

// A document with a big stream (regular sectors), a small one (mini
// sectors) and a sub-storage, written by the platform.
Bytes makeDocument() {
    std::string path = testutil::freshTempDir("rfcore") + "doc.stg";
    std::wstring wide(path.begin(), path.end());
    IStorage* stg = nullptr;
    StgCreateDocfile(wide.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &stg);
    std::vector<char> big(20000, 'b'), small(100, 's');
    for (auto [name, data] : {std::pair{L"big", &big}, std::pair{L"small", &small}}) {
        IStream* s = nullptr;
        stg->CreateStream(name, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &s);
        ULONG n = 0;
        s->Write(data->data(), static_cast<ULONG>(data->size()), &n);
        s->Release();
    }
    IStorage* sub = nullptr;
    stg->CreateStorage(L"sub", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &sub);
    sub->Release();
    stg->Release();
    Bytes b;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    b.data.resize(GetFileSize(h, nullptr));
    DWORD got = 0;
    ReadFile(h, b.data.data(), static_cast<DWORD>(b.data.size()), &got, nullptr);
    CloseHandle(h);
    DeleteFileA(path.c_str());
    return b;
}

constexpr size_t kSector = 512;
size_t sectorAt(uint32_t s) { return (s + 1) * kSector; }
size_t fatEntry(const Bytes& b, uint32_t s) { return sectorAt(get32(b, 76)) + 4 * s; }
// Directory entry `id` (the directory of these small documents is one chain
// that starts at the header's directory sector).
size_t dirEntry(const Bytes& b, uint32_t id) {
    uint32_t s = get32(b, 48);
    for (uint32_t skip = id / 4; skip > 0; --skip) s = get32(b, fatEntry(b, s));
    return sectorAt(s) + 128 * (id % 4);
}
uint32_t findEntry(const Bytes& b, const wchar_t* name) {
    for (uint32_t id = 0; id < 8; ++id)
        if (std::memcmp(&b.data[dirEntry(b, id)], name, wcslen(name) * 2) == 0) return id;
    return 0;
}

}  // namespace

TEST(CompoundCheck, SoundBrokenAndForeignDocuments) {
    CoInitialize(nullptr);
    const Bytes valid = makeDocument();
    ASSERT_GT(valid.data.size(), 4 * kSector);
    const size_t big = dirEntry(valid, findEntry(valid, L"big"));
    const size_t small = dirEntry(valid, findEntry(valid, L"small"));
    const uint32_t bigStart = get32(valid, big + 116);
    struct Row {
        const char* name;
        void (*mutate)(Bytes&, size_t big, size_t small, uint32_t bigStart);
        rf::Compound verdict;
    } rows[] = {
        {"as written", [](Bytes&, size_t, size_t, uint32_t) {}, rf::Compound::Sound},
        {"not a compound document", [](Bytes& b, size_t, size_t, uint32_t) { b.data.assign(4096, 'x'); },
         rf::Compound::NotCompound},
        {"shorter than a header", [](Bytes& b, size_t, size_t, uint32_t) { b.data.resize(100); },
         rf::Compound::NotCompound},
        {"truncated to half", [](Bytes& b, size_t, size_t, uint32_t) { b.data.resize(b.data.size() / 2); },
         rf::Compound::Corrupt},
        {"stream chain loops back", [](Bytes& b, size_t, size_t, uint32_t s) { put32(b, fatEntry(b, s + 3), s); },
         rf::Compound::Corrupt},
        {"stream chain leaves the file",
         [](Bytes& b, size_t, size_t, uint32_t s) { put32(b, fatEntry(b, s + 3), 0x7FFFFF); }, rf::Compound::Corrupt},
        {"stream chain ends early",
         [](Bytes& b, size_t, size_t, uint32_t s) { put32(b, fatEntry(b, s + 3), 0xFFFFFFFE); }, rf::Compound::Corrupt},
        {"directory chain loops",
         [](Bytes& b, size_t, size_t, uint32_t) { put32(b, fatEntry(b, get32(b, 48)), get32(b, 48)); },
         rf::Compound::Corrupt},
        {"sibling link loops to the root child",
         [](Bytes& b, size_t bg, size_t, uint32_t) { put32(b, bg + 68, get32(b, dirEntry(b, 0) + 76)); },
         rf::Compound::Corrupt},
        {"sibling link past the directory", [](Bytes& b, size_t bg, size_t, uint32_t) { put32(b, bg + 72, 5000); },
         rf::Compound::Corrupt},
        {"small stream's mini chain loops",
         [](Bytes& b, size_t, size_t sm, uint32_t) {
             uint32_t m = get32(b, sm + 116);
             put32(b, sectorAt(get32(b, 60)) + 4 * m, m);
         },
         rf::Compound::Corrupt},
        {"first FAT sector outside the file", [](Bytes& b, size_t, size_t, uint32_t) { put32(b, 76, 0x7FFFFF); },
         rf::Compound::Corrupt},
        {"FAT count larger than the file", [](Bytes& b, size_t, size_t, uint32_t) { put32(b, 44, 0x100000); },
         rf::Compound::Corrupt},
        {"sector size 1024", [](Bytes& b, size_t, size_t, uint32_t) { b.data[30] = 10; }, rf::Compound::Corrupt},
        {"stream longer than its chain",
         [](Bytes& b, size_t bg, size_t, uint32_t) { put32(b, bg + 120, 20000 + 4096); }, rf::Compound::Corrupt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Bytes b = valid;
        r.mutate(b, big, small, bigStart);
        EXPECT_EQ(rf::checkCompound(&readBytes, &b, static_cast<unsigned long>(b.data.size())), r.verdict);
    }
}
