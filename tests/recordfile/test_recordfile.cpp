// ZNativeFile through the DLL's class exports: the virtual table's slots,
// records and cursors, removal (also when a step fails for real) and the
// handle's life.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "ZFile.h"
#include "ZStgStreamFile.h"
#include "gtapi32.h"
#include "testutil.h"

namespace {

const std::string dir = testutil::freshTempDir("recordfile");

void writeFile(const std::string& path, const std::string& data) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}
std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// 16 header bytes, then records of 8 bytes: "record1_", "record2_", ...
const std::string kHeader = "HEADER-16-BYTES.";
std::string records(int count, const std::string& partial = "") {
    std::string s = kHeader;
    for (int i = 1; i <= count; ++i) s += "record" + std::to_string(i % 10) + "_";
    return s + partial;
}

}  // namespace

// --- the virtual table ------------------------------------------------------------

namespace {
typedef void* Slot;
Slot* vtableOf(void* object) { return *static_cast<Slot**>(object); }
Slot exported(const char* name) { return reinterpret_cast<Slot>(GetProcAddress(GetModuleHandleA("gtapi32.dll"), name)); }

// Slot order of the record files, with the member that fills each slot in
// ZNativeFile and in ZStgStreamFile.
struct SlotRow {
    const char* operation;
    const char* native;
    const char* stream;
};
const SlotRow kSlots[] = {
    {"complete destructor", "_ZN11ZNativeFileD1Ev", "_ZN14ZStgStreamFileD1Ev"},
    {"deleting destructor", "_ZN11ZNativeFileD0Ev", "_ZN14ZStgStreamFileD0Ev"},
    {"Init", "_ZN5ZFile4InitEv", "_ZN14ZStgStreamFile4InitEv"},
    {"SetErrorCode", "_ZN5ZFile12SetErrorCodeEi", "_ZN5ZFile12SetErrorCodeEi"},
    {"GetErrorCode", "_ZN5ZFile12GetErrorCodeEv", "_ZN5ZFile12GetErrorCodeEv"},
    {"GetName", "_ZN5ZFile7GetNameEPct", "_ZN5ZFile7GetNameEPct"},
    {"SetName", "_ZN5ZFile7SetNameEPKc", "_ZN5ZFile7SetNameEPKc"},
    {"GetHeaderSize", "_ZN5ZFile13GetHeaderSizeEv", "_ZN5ZFile13GetHeaderSizeEv"},
    {"SetHeaderSize", "_ZN5ZFile13SetHeaderSizeEm", "_ZN5ZFile13SetHeaderSizeEm"},
    {"IsExist", "_ZN5ZFile7IsExistEv", "_ZN14ZStgStreamFile7IsExistEv"},
    {"Open", "_ZN5ZFile4OpenEm", "_ZN14ZStgStreamFile4OpenEm"},
    {"IsOpen", "_ZN5ZFile6IsOpenEv", "_ZN14ZStgStreamFile6IsOpenEv"},
    {"Create", "_ZN5ZFile6CreateEm", "_ZN14ZStgStreamFile6CreateEm"},
    {"Read", "_ZN5ZFile4ReadEPvi", "_ZN14ZStgStreamFile4ReadEPvi"},
    {"Write", "_ZN5ZFile5WriteEPKvii", "_ZN14ZStgStreamFile5WriteEPKvii"},
    {"Remove", "_ZN5ZFile6RemoveEii", "_ZN5ZFile6RemoveEii"},
    {"SetPos", "_ZN5ZFile6SetPosEii", "_ZN14ZStgStreamFile6SetPosEii"},
    {"GetPos", "_ZN5ZFile6GetPosEv", "_ZN14ZStgStreamFile6GetPosEv"},
    {"GoTop", "_ZN5ZFile5GoTopEv", "_ZN14ZStgStreamFile5GoTopEv"},
    {"GoBottom", "_ZN5ZFile8GoBottomEv", "_ZN14ZStgStreamFile8GoBottomEv"},
    {"GetFirst", "_ZN5ZFile8GetFirstEPviRi", "_ZN14ZStgStreamFile8GetFirstEPviRi"},
    {"GetNext", "_ZN5ZFile7GetNextEPviRi", "_ZN14ZStgStreamFile7GetNextEPviRi"},
    {"GetPrev", "_ZN5ZFile7GetPrevEiPvi", "_ZN14ZStgStreamFile7GetPrevEiPvi"},
    {"GetLast", "_ZN5ZFile7GetLastEPvi", "_ZN14ZStgStreamFile7GetLastEPvi"},
    {"GetCurrentRecordNo", "_ZN5ZFile18GetCurrentRecordNoEii", "_ZN14ZStgStreamFile18GetCurrentRecordNoEii"},
    {"GetTotalRecords", "_ZN5ZFile15GetTotalRecordsEi", "_ZN14ZStgStreamFile15GetTotalRecordsEi"},
    {"SetSize", "_ZN5ZFile7SetSizeEm", "_ZN14ZStgStreamFile7SetSizeEm"},
    {"GetSize", "_ZN5ZFile7GetSizeEv", "_ZN14ZStgStreamFile7GetSizeEv"},
    {"SetHandle", "_ZN5ZFile9SetHandleEi", "_ZN5ZFile9SetHandleEi"},
    {"GetHandle", "_ZN5ZFile9GetHandleEv", "_ZN5ZFile9GetHandleEv"},
    {"Delete", "_ZN5ZFile6DeleteEv", "_ZN14ZStgStreamFile6DeleteEv"},
    {"Flush", "_ZN5ZFile5FlushEv", "_ZN5ZFile5FlushEv"},
    {"Close", "_ZN11ZNativeFile5CloseEv", "_ZN14ZStgStreamFile5CloseEv"},
};
}  // namespace

TEST(VirtualTable, SlotOrderOfBothRecordFiles) {
    ZNativeFile native;
    ZStgStreamFile stream;
    Slot* n = vtableOf(&native);
    Slot* s = vtableOf(&stream);
    for (size_t i = 0; i < sizeof(kSlots) / sizeof(kSlots[0]); ++i) {
        SCOPED_TRACE(kSlots[i].operation);
        ASSERT_NE(exported(kSlots[i].native), nullptr) << "exported: " << kSlots[i].native;
        ASSERT_NE(exported(kSlots[i].stream), nullptr) << "exported: " << kSlots[i].stream;
        EXPECT_EQ(n[i], exported(kSlots[i].native)) << "native slot " << i;
        EXPECT_EQ(s[i], exported(kSlots[i].stream)) << "stream slot " << i;
    }
    EXPECT_EQ(n[-1], exported("_ZTI11ZNativeFile")) << "type information before the native slots";
    EXPECT_EQ(s[-1], exported("_ZTI14ZStgStreamFile")) << "type information before the stream slots";
}

// A caller compiled against the slot order calls by index.
TEST(VirtualTable, CallsThroughSlotIndexes) {
    typedef void(__thiscall * SetHeader)(void*, DWORD);
    typedef DWORD(__thiscall * GetHeader)(void*);
    typedef BOOL(__thiscall * Create)(void*, DWORD);
    typedef int(__thiscall * Write)(void*, const void*, int, int);
    typedef WORD(__thiscall * Total)(void*, int);
    typedef BOOL(__thiscall * Close)(void*);
    std::string path = dir + "slots.dat";
    ZNativeFile f(path.c_str());
    Slot* v = vtableOf(&f);
    reinterpret_cast<SetHeader>(v[8])(&f, 16);
    EXPECT_EQ(reinterpret_cast<GetHeader>(v[7])(&f), 16u) << "slots 7 and 8";
    EXPECT_TRUE(reinterpret_cast<Create>(v[12])(&f, OF_READWRITE)) << "slot 12";
    EXPECT_EQ(reinterpret_cast<Write>(v[14])(&f, records(3).data(), 40, FILE_BEGIN), 40) << "slot 14";
    EXPECT_EQ(reinterpret_cast<Total>(v[25])(&f, 8), 3) << "slot 25";
    EXPECT_EQ(reinterpret_cast<Close>(v[32])(&f), 1) << "slot 32";
}

// --- records and cursors ----------------------------------------------------------------

TEST(NativeRecords, CursorsAndArithmetic) {
    std::string path = dir + "cursor.dat";
    writeFile(path, records(2, "xyz"));  // 2 whole records and 3 further bytes
    ZNativeFile f(path.c_str());
    f.SetHeaderSize(16);
    ASSERT_TRUE(f.Open(OF_READWRITE));
    char buf[9] = {};
    int cursor = 99;
    EXPECT_EQ(f.GetTotalRecords(8), 2) << "partial record not counted";
    EXPECT_TRUE(f.GetFirst(buf, 8, cursor)) << "first";
    EXPECT_STREQ(buf, "record1_");
    EXPECT_EQ(cursor, 24);
    EXPECT_TRUE(f.GetNext(buf, 8, cursor)) << "second";
    EXPECT_STREQ(buf, "record2_");
    EXPECT_FALSE(f.GetNext(buf, 8, cursor)) << "partial record ends the walk";
    EXPECT_EQ(cursor, -1);
    EXPECT_EQ(f.GetErrorCode(), ZFile::ERR_READ);
    f.SetErrorCode(77);
    EXPECT_FALSE(f.GetNext(buf, 8, cursor)) << "walk already ended";
    EXPECT_EQ(f.GetErrorCode(), 77) << "ended walk leaves the code";
    EXPECT_EQ(f.GetLast(buf, 8), 35 - 8) << "last bytes, off the grid";
    EXPECT_EQ(f.GetPrev(16, buf, 8), 19) << "back over the bytes read and one length more";
}

TEST(NativeRecords, HandlesAndStates) {
    ZNativeFile f;
    EXPECT_EQ(f.Close(), 0) << "Close on a closed object";
    std::string path = dir + "states.dat";
    ZNativeFile g(path.c_str());
    ASSERT_TRUE(g.Create(OF_READWRITE));
    int first = g.GetHandle();
    EXPECT_TRUE(g.Open(OF_READ)) << "Open on an open object";
    EXPECT_EQ(g.GetHandle(), first) << "Open keeps the handle";
    ASSERT_TRUE(g.Create(OF_READWRITE)) << "Create on an open object";
    EXPECT_EQ(g.Close(), 1);
    // Exclusive access is granted only when no handle of the file is left open.
    HANDLE exclusive = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(exclusive, INVALID_HANDLE_VALUE) << "the first handle was closed by the second Create";
    CloseHandle(exclusive);
    ASSERT_TRUE(g.Open(OF_READWRITE));
    ZNativeFile copy(g);
    EXPECT_EQ(copy.GetHandle(), g.GetHandle()) << "copies share the handle";
    copy.SetHandle(0);
    EXPECT_TRUE(g.IsExist());
    EXPECT_TRUE(g.Delete()) << "Delete closes and removes";
    EXPECT_FALSE(g.IsOpen());
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "file gone";
}

// --- removal ---------------------------------------------------------------------------

TEST(NativeRemove, Outcomes) {
    struct Row {
        const char* name;
        std::string before;
        int offset, recLen, result;
        std::string after;
        int position;  // expected afterwards (-2: not checked)
        int code;
    } rows[] = {
        {"only record", records(1), 16, 8, TRUE, kHeader, 16, 0},
        {"last of three, position to the start", records(3), 32, 8, TRUE, records(2), 0, 0},
        {"middle of three, position restored", records(3), 24, 8, TRUE, kHeader + "record1_record3_", 5, 0},
        {"partial bytes after the last record move with it", records(2, "xyz"), 24, 8, TRUE,
         kHeader + "record1_xyz", -2, 0},
        {"offset inside a record is refused", records(3), 20, 8, FALSE, records(3), -2, ZFile::ERR_ARGUMENT},
        {"record length 0 is refused", records(3), 16, 0, FALSE, records(3), -2, ZFile::ERR_ARGUMENT},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::string path = dir + "remove.dat";
        writeFile(path, r.before);
        ZNativeFile f(path.c_str());
        f.SetHeaderSize(16);
        ASSERT_TRUE(f.Open(OF_READWRITE));
        f.SetPos(5, FILE_BEGIN);
        EXPECT_EQ(f.Remove(r.offset, r.recLen), r.result);
        EXPECT_EQ(f.GetErrorCode(), r.code);
        if (r.position != -2) {
            EXPECT_EQ(f.GetPos(), r.position);
        }
        f.Close();
        EXPECT_EQ(readFile(path), r.after);
    }
}

// Counts past 16 bits: the tail moved is every later record.
TEST(NativeRemove, MoreRecordsThanSixteenBitsCount) {
    std::string path = dir + "many.dat";
    std::string data;
    for (int i = 0; i < 65536 + 10; ++i) data += static_cast<char>('A' + i % 26);
    writeFile(path, data);
    ZNativeFile f(path.c_str());
    ASSERT_TRUE(f.Open(OF_READWRITE));
    EXPECT_EQ(f.GetTotalRecords(1), 10) << "the count as the interface delivers it";
    EXPECT_EQ(f.Remove(0, 1), TRUE);
    f.Close();
    EXPECT_EQ(readFile(path), data.substr(1));
}

namespace {
// Writes a part of what it is given and reports the short count, as a device
// that fails half-way does; `failures` writes fail that way.
class HalfWritingFile : public ZNativeFile {
public:
    using ZNativeFile::ZNativeFile;
    int failures = 1;
    int Write(const void* buffer, int length, int origin) override {
        if (failures-- <= 0) return ZNativeFile::Write(buffer, length, origin);
        ZNativeFile::Write(buffer, length / 2, origin);
        SetErrorCode(ERR_WRITE);
        return length / 2;
    }
};
// Refuses to change its size.
class FixedSizeFile : public ZNativeFile {
public:
    using ZNativeFile::ZNativeFile;
    BOOL SetSize(DWORD) override { return FALSE; }
};
}  // namespace

TEST(NativeRemove, FailedStepsLeaveTheFileWhole) {
    std::string path = dir + "faults.dat";
    struct Row {
        const char* name;
        ZFile* file;
        DWORD mode;
        int code;
    };
    HalfWritingFile half(path.c_str());
    FixedSizeFile fixed(path.c_str());
    ZNativeFile readOnly(path.c_str());
    Row rows[] = {
        {"write stops half-way", &half, OF_READWRITE, ZFile::ERR_WRITE},
        {"truncation refused", &fixed, OF_READWRITE, ZFile::ERR_WRITE},
        {"file opened for reading only", &readOnly, OF_READ, ZFile::ERR_WRITE},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        writeFile(path, records(4));
        r.file->SetHeaderSize(16);
        ASSERT_TRUE(r.file->Open(r.mode));
        r.file->SetPos(7, FILE_BEGIN);
        EXPECT_EQ(r.file->Remove(24, 8), 0);
        EXPECT_EQ(r.file->GetErrorCode(), r.code) << "code of the failing step survives";
        EXPECT_EQ(r.file->GetPos(), 7) << "position restored";
        r.file->Close();
        EXPECT_EQ(readFile(path), records(4)) << "file as it was";
    }
}
