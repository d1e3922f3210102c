// ZFile and ZNativeFile: record files on the line-file layer.
#include "ZFile.h"

#include <cstring>

#include "frame/owners.h"
#include "gtapi32.h"
#include "linefile/linefile.h"
#include "recordfile/recordfile.h"

namespace rf = gt::recordfile;

namespace {

LPGTLINEFILE lineFile(int handle) { return reinterpret_cast<LPGTLINEFILE>(static_cast<INT_PTR>(handle)); }
int handleOf(LPGTLINEFILE file) { return static_cast<int>(reinterpret_cast<INT_PTR>(file)); }

void copyName(char* dst, const char* src) {
    size_t n = strnlen(src, ZFile::MAX_NAME);
    std::memcpy(dst, src, n);
    dst[n] = 0;
}

}  // namespace

// --- cursor walks ----------------------------------------------------------------

namespace gt::recordfile {

BOOL firstRecord(ZFile& f, void* buf, int len, int& cursor, bool setCodes) {
    if (setCodes) f.SetErrorCode(ZFile::ERR_NONE);
    cursor = -1;
    f.GoTop();
    if (len < 1 || f.Read(buf, len) < len) {
        if (setCodes) f.SetErrorCode(len < 1 ? ZFile::ERR_ARGUMENT : ZFile::ERR_READ);
        return FALSE;
    }
    cursor = f.GetPos();
    return TRUE;
}

BOOL nextRecord(ZFile& f, void* buf, int len, int& cursor, bool setCodes) {
    if (cursor == -1) return FALSE;
    if (setCodes) f.SetErrorCode(ZFile::ERR_NONE);
    f.SetPos(cursor, FILE_BEGIN);
    if (len < 1 || f.Read(buf, len) < len) {
        cursor = -1;
        if (setCodes) f.SetErrorCode(len < 1 ? ZFile::ERR_ARGUMENT : ZFile::ERR_READ);
        return FALSE;
    }
    cursor = f.GetPos();
    return TRUE;
}

// Reads len bytes at p (already the position); p, or -1 on a short read.
static int readAtPosition(ZFile& f, int p, void* buf, int len, bool setCodes) {
    if (len < 1 || f.Read(buf, len) < len) {
        if (setCodes) f.SetErrorCode(len < 1 ? ZFile::ERR_ARGUMENT : ZFile::ERR_READ);
        return -1;
    }
    return p;
}

int lastRecord(ZFile& f, void* buf, int len, bool setCodes) {
    if (setCodes) f.SetErrorCode(ZFile::ERR_NONE);
    f.GoBottom();
    f.SetPos(-len, FILE_END);
    return readAtPosition(f, f.GetPos(), buf, len, setCodes);
}

int previousRecord(ZFile& f, int distance, void* buf, int len, bool setCodes) {
    if (setCodes) f.SetErrorCode(ZFile::ERR_NONE);
    f.SetPos(-distance, FILE_CURRENT);
    return readAtPosition(f, f.GetPos(), buf, len, setCodes);
}

}  // namespace gt::recordfile

// --- ZFile -------------------------------------------------------------------------

ZFile::ZFile() { Init(); }

ZFile::ZFile(const char* name) {
    Init();
    if (name) copyName(m_szName, name);
}

ZFile::ZFile(const ZFile& other) = default;
ZFile& ZFile::operator=(const ZFile& other) = default;

ZFile::~ZFile() {
    ZFile::Close();
    ZFile::Init();
}

void ZFile::Init() {
    m_szName[0] = 0;
    m_hFile = 0;
    m_dwHeaderSize = 0;
    m_nErrorCode = ERR_NONE;
}

void ZFile::SetErrorCode(int code) { m_nErrorCode = code; }
int ZFile::GetErrorCode() { return m_nErrorCode; }

char* ZFile::GetName(char* buffer, WORD length) {
    SetErrorCode(ERR_NONE);
    if (!buffer) {
        SetErrorCode(ERR_ARGUMENT);
        return buffer;
    }
    if (length == 0) return buffer;
    size_t n = strnlen(m_szName, length - 1u);
    std::memcpy(buffer, m_szName, n);
    buffer[n] = 0;
    return buffer;
}

void ZFile::SetName(const char* name) {
    SetErrorCode(ERR_NONE);
    if (!name) {
        SetErrorCode(ERR_ARGUMENT);
        return;
    }
    copyName(m_szName, name);
}

DWORD ZFile::GetHeaderSize() { return m_dwHeaderSize; }
void ZFile::SetHeaderSize(DWORD size) { m_dwHeaderSize = size; }

BOOL ZFile::IsExist() { return gtIsFileExist(m_szName); }

BOOL ZFile::Open(DWORD mode) {
    if (IsOpen()) return TRUE;
    SetErrorCode(ERR_NONE);
    LPGTLINEFILE file = fuOpenFile(m_szName, mode);
    m_hFile = handleOf(file);
    if (!file) SetErrorCode(ERR_OPEN);
    return file ? TRUE : FALSE;
}

BOOL ZFile::IsOpen() { return m_hFile != 0; }

BOOL ZFile::Create(DWORD mode) {
    SetErrorCode(ERR_NONE);
    // A handle still held would be lost: the old file is closed first.
    if (m_hFile) ZFile::Close();
    LPGTLINEFILE file = fuCreateFile(m_szName, mode);
    m_hFile = handleOf(file);
    if (!file) SetErrorCode(ERR_CREATE);
    return file ? TRUE : FALSE;
}

int ZFile::Read(void* buffer, int length) {
    SetErrorCode(ERR_NONE);
    int n = fuReadFileEx(lineFile(m_hFile), buffer, length);
    if (n == 0) SetErrorCode(ERR_READ);
    return n;
}

int ZFile::Write(const void* buffer, int length, int origin) {
    SetErrorCode(ERR_NONE);
    int n = fuWriteFileExtended(lineFile(m_hFile), origin, buffer, length);
    if (n != length) SetErrorCode(ERR_WRITE);
    return n;
}

int ZFile::SetPos(int offset, int origin) {
    SetErrorCode(ERR_NONE);
    int pos = fuGotoFileOffset(lineFile(m_hFile), offset, origin);
    if (pos == HFILE_ERROR) SetErrorCode(ERR_POSITION);
    return pos;
}

int ZFile::GetPos() {
    SetErrorCode(ERR_NONE);
    int pos = fuGetCurFileOffset(lineFile(m_hFile));
    if (pos == HFILE_ERROR) SetErrorCode(ERR_POSITION);
    return pos;
}

int ZFile::GoTop() {
    if (fuGotoTopOfFile(lineFile(m_hFile)) == HFILE_ERROR) SetErrorCode(ERR_POSITION);
    if (m_dwHeaderSize != 0) SetPos(static_cast<int>(m_dwHeaderSize), FILE_BEGIN);
    return GetPos();
}

int ZFile::GoBottom() {
    SetErrorCode(ERR_NONE);
    int pos = fuGotoEndOfFile(lineFile(m_hFile));
    if (pos == HFILE_ERROR) SetErrorCode(ERR_POSITION);
    return pos;
}

BOOL ZFile::GetFirst(void* buffer, int length, int& cursor) { return rf::firstRecord(*this, buffer, length, cursor, true); }
BOOL ZFile::GetNext(void* buffer, int length, int& cursor) { return rf::nextRecord(*this, buffer, length, cursor, true); }
int ZFile::GetPrev(int distance, void* buffer, int length) {
    return rf::previousRecord(*this, distance, buffer, length, true);
}
int ZFile::GetLast(void* buffer, int length) { return rf::lastRecord(*this, buffer, length, true); }

WORD ZFile::GetCurrentRecordNo(int offset, int recLen) { return rf::recordNumber(offset, m_dwHeaderSize, recLen); }

WORD ZFile::GetTotalRecords(int recLen) {
    return rf::totalRecords(fuGetFileSize(lineFile(m_hFile)), m_dwHeaderSize, recLen);
}

// The tail after the record moves down in one read and one write.  The block
// read includes the removed record, so that a failed write or truncation can
// put the file back as it was; the error code names the failing step.
int ZFile::Remove(int offset, int recLen) {
    SetErrorCode(ERR_NONE);
    DWORD size = GetSize();
    rf::RemovePlan plan = rf::planRemove(size == 0xFFFFFFFF ? -1 : static_cast<long>(size), GetHeaderSize(),
                                         offset, recLen);
    if (plan.kind == rf::RemovePlan::Refuse) {
        SetErrorCode(size == 0xFFFFFFFF ? ERR_READ : ERR_ARGUMENT);
        return 0;
    }
    if (plan.kind == rf::RemovePlan::Truncate) {
        if (plan.onlyRecord) SetPos(offset, FILE_BEGIN);
        BOOL cut = SetSize(static_cast<DWORD>(plan.newSize));
        if (!plan.onlyRecord) SetPos(0, FILE_BEGIN);
        if (!cut) SetErrorCode(ERR_WRITE);
        return cut;
    }
    const long blockBytes = plan.tailBytes + recLen;
    gt::Block block(gtGlobalAllocPtr(0x42, static_cast<DWORD>(blockBytes)));
    if (!block) {
        SetErrorCode(ERR_NO_BUFFER);
        return -1;
    }
    char* data = static_cast<char*>(block.get());
    // Fresh pages are faulted in far more slowly by a file read under Wine
    // than by a write from here: touch them first.
    std::memset(data, 0, static_cast<size_t>(blockBytes));
    int saved = GetPos();
    int failure = ERR_NONE;
    BOOL result = FALSE;
    if (SetPos(offset, FILE_BEGIN) != offset || Read(data, blockBytes) != blockBytes) {
        failure = ERR_READ;
    } else {
        SetPos(offset, FILE_BEGIN);
        bool moved = Write(data + recLen, plan.tailBytes, FILE_CURRENT) == plan.tailBytes;
        result = moved ? SetSize(static_cast<DWORD>(plan.newSize)) : FALSE;
        if (!result) {
            failure = ERR_WRITE;
            // Put the record and the tail back where they were.
            SetPos(offset, FILE_BEGIN);
            Write(data, blockBytes, FILE_CURRENT);
        }
    }
    SetPos(saved, FILE_BEGIN);
    if (failure != ERR_NONE) SetErrorCode(failure);
    return result;
}

BOOL ZFile::SetSize(DWORD size) { return fuSetFileSize(lineFile(m_hFile), static_cast<LONG>(size)); }
DWORD ZFile::GetSize() { return static_cast<DWORD>(fuGetFileSize(lineFile(m_hFile))); }

void ZFile::SetHandle(int handle) { m_hFile = handle; }
int ZFile::GetHandle() { return m_hFile; }

BOOL ZFile::Delete() {
    Close();
    return gtDeleteFile(m_szName);
}

void ZFile::Flush() {
    if (m_hFile) gt::linefile::flush(lineFile(m_hFile));
}

BOOL ZFile::Close() {
    if (!m_hFile) return 0;
    int result = fuCloseFile(lineFile(m_hFile));
    m_hFile = 0;
    return result;
}

// --- ZNativeFile ---------------------------------------------------------------------

ZNativeFile::ZNativeFile() : ZFile() {}
ZNativeFile::ZNativeFile(const char* name) : ZFile(name) {}
ZNativeFile::ZNativeFile(const ZNativeFile& other) = default;
ZNativeFile& ZNativeFile::operator=(const ZNativeFile& other) = default;
ZNativeFile::~ZNativeFile() = default;
BOOL ZNativeFile::Close() { return ZFile::Close(); }
