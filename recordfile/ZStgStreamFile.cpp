// ZStgStreamFile: a record file on a stream of a compound document.
#include "ZStgStreamFile.h"

#include <algorithm>
#include <string>

#include "frame/owners.h"
#include "gtapi32.h"
#include "recordfile/recordfile.h"

namespace rf = gt::recordfile;

namespace {

constexpr DWORD kExistMode = STGM_READ | STGM_SHARE_EXCLUSIVE;
// Streams refuse to be created for writing alone or without exclusive
// sharing; a copy target is created for reading and writing, replacing an
// element of the same name.
constexpr DWORD kCopyTargetStreamMode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE;
constexpr DWORD kCopyTargetFileMode = OF_WRITE;
// Opening for writing alone would empty the file again.
constexpr DWORD kReopenMode = OF_READWRITE;
constexpr char kBesideSuffix[] = ".~gt";
constexpr DWORD kCopySourceMode = OF_READ;
constexpr DWORD kCopyChunk = 64 * 1024;

bool validOrigin(int origin) { return origin >= STREAM_SEEK_SET && origin <= STREAM_SEEK_END; }

}  // namespace

ZStgStreamFile::ZStgStreamFile() : ZFile() { ZStgStreamFile::Init(); }

ZStgStreamFile::ZStgStreamFile(const char* name) : ZFile(name) { ZStgStreamFile::Init(); }

ZStgStreamFile::ZStgStreamFile(const char* name, ZStgStorage* storage) : ZFile(name) {
    ZStgStreamFile::Init();
    SetStorage(storage);
}

// Each copy holds a reference of its own on the stream (they share its seek
// position), so every copy may be closed or destroyed.
ZStgStreamFile::ZStgStreamFile(const ZStgStreamFile& other)
    : ZFile(other), m_pStorage(other.m_pStorage), m_pStream(other.m_pStream) {
    if (m_pStream) m_pStream->AddRef();
}

ZStgStreamFile& ZStgStreamFile::operator=(const ZStgStreamFile& other) {
    if (this == &other) return *this;
    if (other.m_pStream) other.m_pStream->AddRef();
    if (m_pStream) Close();
    ZFile::operator=(other);
    m_pStorage = other.m_pStorage;
    m_pStream = other.m_pStream;
    return *this;
}

ZStgStreamFile::~ZStgStreamFile() {
    if (m_pStream) ZStgStreamFile::Close();
    ZStgStreamFile::Init();
}

void ZStgStreamFile::Init() {
    m_pStorage = nullptr;
    m_pStream = nullptr;
}

ZStgStorage* ZStgStreamFile::SetStorage(ZStgStorage* storage) { return m_pStorage = storage; }
ZStgStorage* ZStgStreamFile::GetStorage() { return m_pStorage; }
IStream* ZStgStreamFile::GetIStream() { return m_pStream; }

// Usable while the storage is set and open and a stream is held: a stream
// whose storage was closed answers nothing sensible any more.
BOOL ZStgStreamFile::IsValid() {
    if (m_pStorage && m_pStorage->GetIStorage() && m_pStream) return TRUE;
    SetErrorCode(ERR_NOT_VALID);
    return FALSE;
}

BOOL ZStgStreamFile::Copy(ZStgStreamFile* destination, DWORD count, DWORD* bytesRead, DWORD* bytesWritten) {
    if (!destination) {
        SetErrorCode(ERR_ARGUMENT);
        return FALSE;
    }
    if (!IsValid()) return FALSE;
    if (!destination->IsValid()) {
        SetErrorCode(ERR_NOT_VALID);
        return FALSE;
    }
    ULARGE_INTEGER want, read = {}, written = {};
    want.QuadPart = count;
    HRESULT hr = m_pStream->CopyTo(destination->m_pStream, want, &read, &written);
    if (hr != S_OK) {
        SetErrorCode(hr);
        return FALSE;
    }
    if (bytesRead) *bytesRead = read.LowPart;
    if (bytesWritten) *bytesWritten = written.LowPart;
    return TRUE;
}

BOOL ZStgStreamFile::Commit(DWORD flags) {
    if (!IsValid()) return FALSE;
    HRESULT hr = m_pStream->Commit(flags);
    if (hr != S_OK) SetErrorCode(hr);
    return hr == S_OK;
}

BOOL ZStgStreamFile::Revert() {
    if (!IsValid()) return FALSE;
    HRESULT hr = m_pStream->Revert();
    if (hr != S_OK) SetErrorCode(hr);
    return hr == S_OK;
}

BOOL ZStgStreamFile::Stat(STATSTG* stat, DWORD flag) {
    if (!stat) {
        SetErrorCode(ERR_ARGUMENT);
        return FALSE;
    }
    if (!IsValid()) return FALSE;
    HRESULT hr = m_pStream->Stat(stat, flag);
    if (hr != S_OK) SetErrorCode(hr);
    return hr == S_OK;
}

BOOL ZStgStreamFile::CopyOut(ZFile* destination) {
    if (!destination) {
        SetErrorCode(ERR_ARGUMENT);
        return FALSE;
    }
    if (auto* file = dynamic_cast<ZNativeFile*>(destination)) return CopyOutBeside(file);
    bool toStream = dynamic_cast<ZStgStreamFile*>(destination) != nullptr;
    if (!destination->Create(toStream ? kCopyTargetStreamMode : kCopyTargetFileMode)) return FALSE;
    return CopyFileA(destination, this);
}

// A disk file is written beside the destination and replaces it only when
// the copy is complete: a copy that fails leaves the old file as it was.
// The destination ends open for reading and writing, positioned after the
// copied bytes.
BOOL ZStgStreamFile::CopyOutBeside(ZNativeFile* destination) {
    char name[MAX_NAME + 1];
    destination->GetName(name, sizeof(name));
    std::string beside = std::string(name) + kBesideSuffix;
    if (!name[0] || beside.size() > MAX_NAME) {
        destination->SetErrorCode(ERR_CREATE);
        return FALSE;
    }
    ZNativeFile temp(beside.c_str());
    temp.SetHeaderSize(destination->GetHeaderSize());
    if (!temp.Create(kCopyTargetFileMode)) {
        destination->SetErrorCode(ERR_CREATE);
        return FALSE;
    }
    if (!CopyFileA(&temp, this)) {
        temp.Delete();
        return FALSE;
    }
    temp.GetName(&beside[0], static_cast<WORD>(beside.size() + 1));
    temp.Close();
    destination->Close();
    if (!MoveFileExA(beside.c_str(), name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        temp.Delete();
        destination->SetErrorCode(ERR_CREATE);
        return FALSE;
    }
    if (!destination->Open(kReopenMode)) return FALSE;
    destination->GoBottom();
    return TRUE;
}

BOOL ZStgStreamFile::CopyIn(ZFile* source) {
    if (!source) {
        SetErrorCode(ERR_ARGUMENT);
        return FALSE;
    }
    // Writing needs the stream open; without it the copy could only fail and
    // remove the element it was meant to fill.
    if (!IsValid()) return FALSE;
    return CopyFileA(this, source);
}

// Copies the whole source (from its first byte) behind the destination's
// header.  A copy that comes out short removes the destination, so no
// destination of the wrong size is left.
BOOL ZStgStreamFile::CopyFileA(ZFile* destination, ZFile* source) {
    if (!source->IsOpen() && !source->Open(kCopySourceMode)) return FALSE;
    DWORD size = source->GetSize();
    if (size == 0 || size == 0xFFFFFFFF) return FALSE;
    DWORD chunk = std::min(size, kCopyChunk);
    gt::Block buffer(gtGlobalAllocPtr(0x42, chunk));
    if (!buffer) {
        SetErrorCode(ERR_COPY_BUFFER);
        return FALSE;
    }
    char* data = static_cast<char*>(buffer.get());
    int saved = source->GetPos();
    destination->GoTop();
    destination->SetSize(0);
    bool failed = source->SetPos(0, FILE_BEGIN) != 0;
    DWORD copied = 0;
    for (int n = failed ? 0 : source->Read(data, static_cast<int>(chunk)); n > 0;
         n = source->Read(data, static_cast<int>(chunk))) {
        if (destination->Write(data, n, FILE_CURRENT) != n) {
            failed = true;
            break;
        }
        copied += static_cast<DWORD>(n);
    }
    source->SetPos(saved, FILE_BEGIN);
    if (copied != size) {
        destination->Delete();
        return FALSE;
    }
    return failed ? FALSE : TRUE;
}

BOOL ZStgStreamFile::IsExist() {
    if (m_pStream) {
        STATSTG stat;
        return Stat(&stat, STATFLAG_NONAME);
    }
    if (!Open(kExistMode)) return FALSE;
    Close();
    return TRUE;
}

BOOL ZStgStreamFile::Open(DWORD mode) {
    if (m_pStream) return TRUE;
    if (!m_pStorage || !m_pStorage->GetIStorage()) {
        SetErrorCode(ERR_NOT_VALID);
        return FALSE;
    }
    std::wstring wide;
    if (!rf::widen(m_szName, ZStgStorage::MAX_ELEMENT_NAME, wide) || wide.empty()) {
        SetErrorCode(STG_E_INVALIDNAME);
        return FALSE;
    }
    HRESULT hr = m_pStorage->GetIStorage()->OpenStream(wide.c_str(), nullptr, mode, 0, &m_pStream);
    if (hr != S_OK) {
        m_pStream = nullptr;
        SetErrorCode(hr);
        return FALSE;
    }
    return TRUE;
}

BOOL ZStgStreamFile::IsOpen() { return m_pStream != nullptr; }

BOOL ZStgStreamFile::Create(DWORD mode) {
    if (!m_pStorage || !m_pStorage->GetIStorage()) {
        SetErrorCode(ERR_NOT_VALID);
        return FALSE;
    }
    // The stream held so far would be lost: it is closed first.
    if (m_pStream) Close();
    std::wstring wide;
    if (!rf::widen(m_szName, ZStgStorage::MAX_ELEMENT_NAME, wide) || wide.empty()) {
        SetErrorCode(STG_E_INVALIDNAME);
        return FALSE;
    }
    HRESULT hr = m_pStorage->GetIStorage()->CreateStream(wide.c_str(), mode, 0, 0, &m_pStream);
    if (hr != S_OK) {
        m_pStream = nullptr;
        SetErrorCode(hr);
        return FALSE;
    }
    return TRUE;
}

int ZStgStreamFile::Read(void* buffer, int length) {
    if (!IsValid()) return -1;
    if (length < 0) {
        SetErrorCode(ERR_ARGUMENT);
        return -1;
    }
    ULONG count = 0;
    SetErrorCode(m_pStream->Read(buffer, static_cast<ULONG>(length), &count));
    return static_cast<int>(count);
}

int ZStgStreamFile::Write(const void* buffer, int length, int origin) {
    if (!validOrigin(origin) || length < 0) {
        SetErrorCode(ERR_ARGUMENT);
        return -1;
    }
    if (!IsValid()) return -1;
    SetPos(0, origin);
    ULONG count = 0;
    SetErrorCode(m_pStream->Write(buffer, static_cast<ULONG>(length), &count));
    return static_cast<int>(count);
}

int ZStgStreamFile::SetPos(int offset, int origin) {
    if (!IsValid()) return -1;
    LARGE_INTEGER move;
    move.QuadPart = offset;
    ULARGE_INTEGER pos = {};
    HRESULT hr = validOrigin(origin) ? m_pStream->Seek(move, static_cast<DWORD>(origin), &pos) : STG_E_INVALIDFUNCTION;
    if (hr != S_OK) {
        SetErrorCode(hr);
        return 0;
    }
    return static_cast<int>(pos.LowPart);
}

int ZStgStreamFile::GetPos() { return SetPos(0, STREAM_SEEK_CUR); }

int ZStgStreamFile::GoTop() {
    if (!IsValid()) return -1;
    int pos = SetPos(0, STREAM_SEEK_SET);
    if (pos == -1) return -1;
    if (m_dwHeaderSize != 0) pos = SetPos(static_cast<int>(m_dwHeaderSize), STREAM_SEEK_SET);
    return pos;
}

int ZStgStreamFile::GoBottom() { return SetPos(0, STREAM_SEEK_END); }

BOOL ZStgStreamFile::GetFirst(void* buffer, int length, int& cursor) {
    return rf::firstRecord(*this, buffer, length, cursor, false);
}
BOOL ZStgStreamFile::GetNext(void* buffer, int length, int& cursor) {
    return rf::nextRecord(*this, buffer, length, cursor, false);
}
int ZStgStreamFile::GetPrev(int distance, void* buffer, int length) {
    return rf::previousRecord(*this, distance, buffer, length, false);
}
int ZStgStreamFile::GetLast(void* buffer, int length) { return rf::lastRecord(*this, buffer, length, false); }

WORD ZStgStreamFile::GetCurrentRecordNo(int offset, int recLen) {
    return rf::recordNumber(offset, m_dwHeaderSize, recLen);
}

WORD ZStgStreamFile::GetTotalRecords(int recLen) {
    DWORD size = GetSize();
    return rf::totalRecords(size == 0xFFFFFFFF ? -1 : static_cast<long>(size), m_dwHeaderSize, recLen);
}

BOOL ZStgStreamFile::SetSize(DWORD size) {
    if (!IsValid()) return FALSE;
    ULARGE_INTEGER n;
    n.QuadPart = size;
    HRESULT hr = m_pStream->SetSize(n);
    if (hr != S_OK) SetErrorCode(hr);
    return hr == S_OK;
}

DWORD ZStgStreamFile::GetSize() {
    if (!IsValid()) return 0xFFFFFFFF;
    STATSTG stat;
    HRESULT hr = m_pStream->Stat(&stat, STATFLAG_NONAME);
    if (hr != S_OK) {
        SetErrorCode(hr);
        return 0xFFFFFFFF;
    }
    return stat.cbSize.LowPart;
}

BOOL ZStgStreamFile::Delete() {
    if (!m_pStorage) {
        SetErrorCode(ERR_NOT_VALID);
        return FALSE;
    }
    Close();
    return m_pStorage->DestroyElement(m_szName);
}

BOOL ZStgStreamFile::Close() {
    BOOL committed = Commit(STGC_DEFAULT);
    if (m_pStream) {
        m_pStream->Release();
        m_pStream = nullptr;
    }
    return committed;
}
