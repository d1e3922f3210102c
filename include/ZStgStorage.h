// ZStgStorage - one storage of a compound document: the root storage of a
// document file or a sub-storage inside another storage.
//
// Names are narrow strings in the ANSI code page, converted per call.  The
// object's own name is kept in lower case; stream names keep their case.
// Element names longer than 31 characters (the compound-file limit) are
// refused with STG_E_INVALIDNAME before the platform sees them, paths longer
// than the object's name buffer likewise.
//
// Every operation returns a BOOL and keeps the platform status (or one of the
// codes below) of its last failure; the code is not reset on success, so read
// it only after FALSE.  Forwarded operations on a storage that is not open do
// nothing and return TRUE (MoveElement, CopyElement and the sub-storage and
// stream requests excepted).
//
// Plain class without virtual functions, exported from gtapi32.dll.  Copies
// share the interface without a reference of their own: one of them closes
// it (Close gives back one reference per call, as after AddRef).
// A sub-storage must be closed before its parent, and the parent must outlive
// it.
#ifndef ZSTGSTORAGE_H
#define ZSTGSTORAGE_H

#include <windows.h>
#include <objbase.h>
#include <objidl.h>

class ZStgStreamFile;

class ZStgStorage {
public:
    enum {
        ERR_NOT_OPEN = 21,    // sub-storage asked of a storage that is not open
        ERR_ARGUMENT = 41,    // a required argument is null or empty
        ERR_NO_NAME = 997,    // existence asked of an object without a name
    };
    enum { MAX_NAME = 261, MAX_ELEMENT_NAME = 31 };

    ZStgStorage();
    ZStgStorage(const char* name, ZStgStorage* parent);
    // createFlag 1 creates the document, any other value opens it.
    ZStgStorage(const char* name, DWORD mode, BOOL createFlag);
    ZStgStorage(const ZStgStorage& other);
    ~ZStgStorage();
    ZStgStorage& operator=(const ZStgStorage& other);

    void SetName(const char* name);
    char* GetName(char* buffer, WORD length);
    void SetParent(ZStgStorage* parent);
    ZStgStorage* GetParent();
    BOOL IsChild();
    BOOL IsRoot();
    IStorage* GetIStorage();
    int GetErrorCode();

    // An open object is closed (committed) first.
    BOOL Create(DWORD mode, const char* name);
    BOOL Open(DWORD mode, const char* name);
    BOOL Close();
    BOOL IsExist();

    BOOL CreateSubStorage(DWORD mode, const char* name, ZStgStorage* sub);
    BOOL CreateSubStorageEx(DWORD mode, const char* name, ZStgStorage* sub);
    BOOL OpenSubStorage(DWORD mode, const char* name, ZStgStorage* sub);
    BOOL CreateStream(const char* name, DWORD mode, ZStgStreamFile* file);
    BOOL OpenStream(const char* name, DWORD mode, ZStgStreamFile* file);

    ULONG AddRef();
    ULONG Release();

    BOOL Copy(ZStgStorage* destination, DWORD excludeCount, const IID* exclude, SNB excludeNames);
    BOOL MoveElement(const char* name, ZStgStorage* destination, const char* newName);
    BOOL CopyElement(const char* name, ZStgStorage* destination, const char* newName);
    BOOL Commit(DWORD flags);
    BOOL Revert();
    // The enumerator is the caller's to release.
    BOOL EnumElements(IEnumSTATSTG** enumerator);
    BOOL DestroyElement(const char* name);
    BOOL RenameElement(const char* oldName, const char* newName);
    BOOL SetElementTimes(const char* name, const FILETIME* created, const FILETIME* accessed,
                         const FILETIME* modified);
    BOOL SetClass(REFCLSID clsid);
    BOOL SetStateBits(DWORD bits, DWORD mask);
    BOOL Stat(STATSTG* stat, DWORD flag);
    // The object's name keeps naming the old file.
    BOOL SwitchToFile(const char* path);
    // Stamps the document file named by the object, open or not.
    BOOL SetTimes(const FILETIME* created, const FILETIME* accessed, const FILETIME* modified);

private:
    void Init();
    BOOL SubStorage(DWORD mode, const char* name, ZStgStorage* sub, bool create);
    BOOL StreamRequest(const char* name, DWORD mode, ZStgStreamFile* file, bool create);
    BOOL MoveTo(const char* name, ZStgStorage* destination, const char* newName, DWORD flag);
    BOOL Result(HRESULT status);

    IStorage* m_pStorage;
    char m_szName[MAX_NAME + 1];
    ZStgStorage* m_pParent;
    int m_nErrorCode;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(ZStgStorage) == 276, "ZStgStorage layout");
#endif

#endif  // ZSTGSTORAGE_H
