// ZStgStorage: one storage of a compound document, with narrow names.
#include "ZStgStorage.h"

#include <cstring>
#include <string>

#include "ZStgStreamFile.h"
#include "frame/owners.h"
#include "recordfile/recordfile.h"

namespace rf = gt::recordfile;

namespace {

constexpr DWORD kExistMode = STGM_READ | STGM_SHARE_EXCLUSIVE;

bool empty(const char* s) { return !s || !*s; }

// An element name for the platform, or why it is refused: a missing name
// (ERR_ARGUMENT) or one the compound format cannot hold.
HRESULT elementName(const char* name, std::wstring& wide) {
    if (empty(name)) return ZStgStorage::ERR_ARGUMENT;
    return gt::recordfile::widen(name, ZStgStorage::MAX_ELEMENT_NAME, wide) ? S_OK : STG_E_INVALIDNAME;
}

}  // namespace

ZStgStorage::ZStgStorage() { Init(); }

ZStgStorage::ZStgStorage(const char* name, ZStgStorage* parent) {
    Init();
    SetName(name);
    SetParent(parent);
}

ZStgStorage::ZStgStorage(const char* name, DWORD mode, BOOL createFlag) {
    Init();
    SetName(name);
    if (createFlag == 1) Create(mode, name);
    else Open(mode, name);
}

// Copies share the interface as it stands (one owner closes it): Close gives
// back one reference per call, so a copy cannot tell its own reference apart.
ZStgStorage::ZStgStorage(const ZStgStorage& other) = default;
ZStgStorage& ZStgStorage::operator=(const ZStgStorage& other) = default;

ZStgStorage::~ZStgStorage() {
    Close();
    Init();
}

void ZStgStorage::Init() {
    m_pStorage = nullptr;
    m_szName[0] = 0;
    m_pParent = nullptr;
    m_nErrorCode = 0;
}

void ZStgStorage::SetName(const char* name) {
    if (!name) return;
    size_t n = strnlen(name, MAX_NAME);
    std::memcpy(m_szName, name, n);
    m_szName[n] = 0;
    CharLowerA(m_szName);
}

char* ZStgStorage::GetName(char* buffer, WORD length) {
    if (buffer && length > 0) {
        size_t n = strnlen(m_szName, length - 1u);
        std::memcpy(buffer, m_szName, n);
        buffer[n] = 0;
    }
    return buffer;
}

void ZStgStorage::SetParent(ZStgStorage* parent) { m_pParent = parent; }
ZStgStorage* ZStgStorage::GetParent() { return m_pParent; }
BOOL ZStgStorage::IsChild() { return m_pParent != nullptr; }
BOOL ZStgStorage::IsRoot() { return m_pParent == nullptr; }
IStorage* ZStgStorage::GetIStorage() { return m_pStorage; }
int ZStgStorage::GetErrorCode() { return m_nErrorCode; }

BOOL ZStgStorage::Result(HRESULT status) {
    if (status == S_OK) return TRUE;
    m_nErrorCode = status;
    return FALSE;
}

BOOL ZStgStorage::Create(DWORD mode, const char* name) {
    SetName(name);
    // The interface held so far would be lost: it is closed first.
    if (m_pStorage) Close();
    std::wstring wide;
    if (!m_szName[0]) {
        m_nErrorCode = ERR_ARGUMENT;
        return FALSE;
    }
    if (!rf::widen(m_szName, MAX_NAME, wide)) {
        m_nErrorCode = STG_E_INVALIDNAME;
        return FALSE;
    }
    HRESULT hr = StgCreateDocfile(wide.c_str(), mode | STGM_CREATE, 0, &m_pStorage);
    if (FAILED(hr)) {
        m_pStorage = nullptr;
        m_nErrorCode = hr;
        return FALSE;
    }
    return TRUE;
}

BOOL ZStgStorage::Open(DWORD mode, const char* name) {
    SetName(name);
    if (m_pStorage) Close();
    std::wstring wide;
    if (!m_szName[0]) {
        m_nErrorCode = ERR_ARGUMENT;
        return FALSE;
    }
    if (!rf::widen(m_szName, MAX_NAME, wide)) {
        m_nErrorCode = STG_E_INVALIDNAME;
        return FALSE;
    }
    // The platform's reader loops or crashes on broken sector chains.
    if (rf::checkCompound(wide.c_str()) == rf::Compound::Corrupt) {
        m_nErrorCode = STG_E_DOCFILECORRUPT;
        return FALSE;
    }
    HRESULT hr = StgOpenStorage(wide.c_str(), nullptr, mode & ~static_cast<DWORD>(STGM_CREATE), nullptr, 0, &m_pStorage);
    if (FAILED(hr)) {
        m_pStorage = nullptr;
        m_nErrorCode = hr;
        return FALSE;
    }
    return TRUE;
}

BOOL ZStgStorage::Close() {
    BOOL committed = Commit(STGC_DEFAULT);
    if (m_pStorage && m_pStorage->Release() == 0) m_pStorage = nullptr;
    return committed;
}

BOOL ZStgStorage::IsExist() {
    if (!m_szName[0]) {
        m_nErrorCode = ERR_NO_NAME;
        return FALSE;
    }
    if (IsRoot()) {
        std::wstring wide;
        return rf::widen(m_szName, MAX_NAME, wide) && StgIsStorageFile(wide.c_str()) == S_OK;
    }
    if (m_pStorage) return TRUE;
    ZStgStorage probe;
    BOOL found = m_pParent->OpenSubStorage(kExistMode, m_szName, &probe);
    probe.Close();
    return found;
}

BOOL ZStgStorage::SubStorage(DWORD mode, const char* name, ZStgStorage* sub, bool create) {
    if (!sub || (empty(name) && !sub->m_szName[0])) {
        m_nErrorCode = ERR_ARGUMENT;
        return FALSE;
    }
    if (!m_pStorage) {
        m_nErrorCode = ERR_NOT_OPEN;
        return FALSE;
    }
    if (!empty(name)) sub->SetName(name);
    std::wstring wide;
    if (HRESULT refused = elementName(sub->m_szName, wide)) return Result(refused);
    if (sub->m_pStorage) sub->Close();
    IStorage* opened = nullptr;
    HRESULT hr = create ? m_pStorage->CreateStorage(wide.c_str(), mode | STGM_CREATE, 0, 0, &opened)
                        : m_pStorage->OpenStorage(wide.c_str(), nullptr, mode & ~static_cast<DWORD>(STGM_CREATE),
                                                  nullptr, 0, &opened);
    if (hr != S_OK) {
        if (opened) opened->Release();
        m_nErrorCode = hr;
        return FALSE;
    }
    sub->m_pStorage = opened;
    sub->m_pParent = this;
    return TRUE;
}

BOOL ZStgStorage::CreateSubStorage(DWORD mode, const char* name, ZStgStorage* sub) {
    return SubStorage(mode, name, sub, true);
}
BOOL ZStgStorage::CreateSubStorageEx(DWORD mode, const char* name, ZStgStorage* sub) {
    return SubStorage(mode, name, sub, true);
}
BOOL ZStgStorage::OpenSubStorage(DWORD mode, const char* name, ZStgStorage* sub) {
    return SubStorage(mode, name, sub, false);
}

BOOL ZStgStorage::StreamRequest(const char* name, DWORD mode, ZStgStreamFile* file, bool create) {
    if (!file) {
        m_nErrorCode = ERR_ARGUMENT;
        return FALSE;
    }
    char held[2] = {};
    file->GetName(held, sizeof(held));
    if (empty(name) && !held[0]) {
        m_nErrorCode = ERR_ARGUMENT;
        return FALSE;
    }
    if (!empty(name)) file->ZFile::SetName(name);
    file->SetStorage(this);
    BOOL ok = create ? file->Create(mode) : file->Open(mode);
    if (!ok) m_nErrorCode = file->GetErrorCode();
    return ok;
}

BOOL ZStgStorage::CreateStream(const char* name, DWORD mode, ZStgStreamFile* file) {
    return StreamRequest(name, mode, file, true);
}
BOOL ZStgStorage::OpenStream(const char* name, DWORD mode, ZStgStreamFile* file) {
    return StreamRequest(name, mode, file, false);
}

ULONG ZStgStorage::AddRef() { return m_pStorage ? m_pStorage->AddRef() : 0; }

ULONG ZStgStorage::Release() {
    if (!m_pStorage) return 0;
    ULONG count = m_pStorage->Release();
    // The last reference is gone: nothing may call through it again.
    if (count == 0) m_pStorage = nullptr;
    return count;
}

BOOL ZStgStorage::Copy(ZStgStorage* destination, DWORD excludeCount, const IID* exclude, SNB excludeNames) {
    if (!m_pStorage) return TRUE;
    if (!destination || !destination->m_pStorage) {
        m_nErrorCode = destination ? ERR_NOT_OPEN : ERR_ARGUMENT;
        return FALSE;
    }
    return Result(m_pStorage->CopyTo(excludeCount, exclude, excludeNames, destination->m_pStorage));
}

BOOL ZStgStorage::MoveTo(const char* name, ZStgStorage* destination, const char* newName, DWORD flag) {
    if (empty(name) || !destination || empty(newName)) {
        m_nErrorCode = ERR_ARGUMENT;
        return FALSE;
    }
    if (!m_pStorage) return FALSE;
    if (!destination->m_pStorage) {
        m_nErrorCode = ERR_NOT_OPEN;
        return FALSE;
    }
    std::wstring from, to;
    if (HRESULT refused = elementName(name, from)) return Result(refused);
    if (HRESULT refused = elementName(newName, to)) return Result(refused);
    return Result(m_pStorage->MoveElementTo(from.c_str(), destination->m_pStorage, to.c_str(), flag));
}

BOOL ZStgStorage::MoveElement(const char* name, ZStgStorage* destination, const char* newName) {
    return MoveTo(name, destination, newName, STGMOVE_MOVE);
}
BOOL ZStgStorage::CopyElement(const char* name, ZStgStorage* destination, const char* newName) {
    return MoveTo(name, destination, newName, STGMOVE_COPY);
}

BOOL ZStgStorage::Commit(DWORD flags) {
    if (!m_pStorage) return TRUE;
    // The platform crashes committing a sub-storage whose root is gone; the
    // statistics call answers that case with a status.
    STATSTG stat;
    HRESULT alive = m_pStorage->Stat(&stat, STATFLAG_NONAME);
    if (alive == STG_E_REVERTED) return Result(alive);
    return Result(m_pStorage->Commit(flags));
}
BOOL ZStgStorage::Revert() { return m_pStorage ? Result(m_pStorage->Revert()) : TRUE; }

BOOL ZStgStorage::EnumElements(IEnumSTATSTG** enumerator) {
    if (!enumerator) {
        m_nErrorCode = ERR_ARGUMENT;
        return FALSE;
    }
    return m_pStorage ? Result(m_pStorage->EnumElements(0, nullptr, 0, enumerator)) : TRUE;
}

BOOL ZStgStorage::DestroyElement(const char* name) {
    std::wstring wide;
    if (HRESULT refused = elementName(name, wide)) return Result(refused);
    return m_pStorage ? Result(m_pStorage->DestroyElement(wide.c_str())) : TRUE;
}

BOOL ZStgStorage::RenameElement(const char* oldName, const char* newName) {
    std::wstring from, to;
    if (HRESULT refused = elementName(oldName, from)) return Result(refused);
    if (HRESULT refused = elementName(newName, to)) return Result(refused);
    return m_pStorage ? Result(m_pStorage->RenameElement(from.c_str(), to.c_str())) : TRUE;
}

BOOL ZStgStorage::SetElementTimes(const char* name, const FILETIME* created, const FILETIME* accessed,
                                  const FILETIME* modified) {
    std::wstring wide;
    if (HRESULT refused = elementName(name, wide)) return Result(refused);
    return m_pStorage ? Result(m_pStorage->SetElementTimes(wide.c_str(), created, accessed, modified)) : TRUE;
}

BOOL ZStgStorage::SetClass(REFCLSID clsid) { return m_pStorage ? Result(m_pStorage->SetClass(clsid)) : TRUE; }

BOOL ZStgStorage::SetStateBits(DWORD bits, DWORD mask) {
    return m_pStorage ? Result(m_pStorage->SetStateBits(bits, mask)) : TRUE;
}

BOOL ZStgStorage::Stat(STATSTG* stat, DWORD flag) {
    if (!stat) {
        m_nErrorCode = ERR_ARGUMENT;
        return FALSE;
    }
    return m_pStorage ? Result(m_pStorage->Stat(stat, flag)) : TRUE;
}

BOOL ZStgStorage::SwitchToFile(const char* path) {
    if (empty(path)) {
        m_nErrorCode = ERR_ARGUMENT;
        return FALSE;
    }
    if (!m_pStorage) return TRUE;
    gt::ComPtr<IRootStorage> root;
    HRESULT hr = m_pStorage->QueryInterface(IID_IRootStorage, reinterpret_cast<void**>(root.out()));
    if (hr != S_OK) return Result(hr);
    std::wstring wide;
    if (!rf::widen(path, MAX_NAME, wide)) {
        m_nErrorCode = STG_E_INVALIDNAME;
        return FALSE;
    }
    return Result(root->SwitchToFile(&wide[0]));
}

BOOL ZStgStorage::SetTimes(const FILETIME* created, const FILETIME* accessed, const FILETIME* modified) {
    std::wstring wide;
    if (!rf::widen(m_szName, MAX_NAME, wide)) {
        m_nErrorCode = STG_E_INVALIDNAME;
        return FALSE;
    }
    return Result(StgSetTimes(wide.c_str(), created, accessed, modified));
}
