// ZFile - record files: a header of a caller-chosen size followed by
// fixed-length records, over a native file (ZNativeFile) or a stream inside a
// compound document (ZStgStreamFile, ZStgStreamFile.h).
//
// The record length is not stored anywhere: every record operation takes it.
// Record numbers are 1-based and 16-bit; positions are byte offsets.  Every
// operation reaches the others through the virtual table, so a class that
// replaces the primitives (open, read, write, position, size, close) inherits
// the composite ones (cursors, Remove).  The slot order of the virtual table
// is part of the interface: callers compiled against it call by slot.
//
// Copies are member-wise and share the open handle; only one of them may
// close it (detach the other with SetHandle(0)).
//
// Exported from gtapi32.dll with constructors, destructors, copy
// constructors, assignment operators, virtual tables and type information;
// callers built with the same toolchain use it through the import library.
#ifndef ZFILE_H
#define ZFILE_H

#include <windows.h>

class ZFile {
public:
    // Error codes kept by GetErrorCode (0: the last call succeeded).
    enum {
        ERR_NONE = 0,
        ERR_NO_BUFFER = 1,    // no work buffer (Remove)
        ERR_READ = 12,        // fewer bytes than asked were read
        ERR_WRITE = 13,       // fewer bytes than asked were written
        ERR_POSITION = 16,    // positioning failed
        ERR_OPEN = 17,        // the file did not open
        ERR_CREATE = 21,      // the file was not created
        ERR_ARGUMENT = 41,    // a required buffer, name or length is missing or unusable
    };
    enum { MAX_NAME = 260 };

    ZFile();
    explicit ZFile(const char* name);
    ZFile(const ZFile& other);
    ZFile& operator=(const ZFile& other);

    // Virtual table, in slot order.
    virtual ~ZFile();
    virtual void Init();
    virtual void SetErrorCode(int code);
    virtual int GetErrorCode();
    virtual char* GetName(char* buffer, WORD length);
    virtual void SetName(const char* name);
    virtual DWORD GetHeaderSize();
    virtual void SetHeaderSize(DWORD size);
    virtual BOOL IsExist();
    virtual BOOL Open(DWORD mode);
    virtual BOOL IsOpen();
    // On an open object the old file is closed first.
    virtual BOOL Create(DWORD mode);
    virtual int Read(void* buffer, int length);
    virtual int Write(const void* buffer, int length, int origin);
    // Removes the record starting at offset (on the record grid).  A failure
    // leaves the file as it was; the error code names the failing step.
    virtual int Remove(int offset, int recLen);
    virtual int SetPos(int offset, int origin);
    virtual int GetPos();
    virtual int GoTop();
    virtual int GoBottom();
    virtual BOOL GetFirst(void* buffer, int length, int& cursor);
    virtual BOOL GetNext(void* buffer, int length, int& cursor);
    virtual int GetPrev(int distance, void* buffer, int length);
    virtual int GetLast(void* buffer, int length);
    virtual WORD GetCurrentRecordNo(int offset, int recLen);
    virtual WORD GetTotalRecords(int recLen);
    virtual BOOL SetSize(DWORD size);
    virtual DWORD GetSize();
    virtual void SetHandle(int handle);
    virtual int GetHandle();
    virtual BOOL Delete();
    virtual void Flush();
    virtual BOOL Close() = 0;  // has a body: closes the native handle

protected:
    char m_szName[MAX_NAME + 1];
    int m_hFile;  // line-file handle (LPGTLINEFILE), 0 when closed
    DWORD m_dwHeaderSize;
    int m_nErrorCode;
};

// A record file on disk.
class ZNativeFile : public ZFile {
public:
    ZNativeFile();
    explicit ZNativeFile(const char* name);
    ZNativeFile(const ZNativeFile& other);
    ZNativeFile& operator=(const ZNativeFile& other);
    virtual ~ZNativeFile();
    virtual BOOL Close();
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(ZFile) == 280, "ZFile layout");
static_assert(sizeof(ZNativeFile) == 280, "ZNativeFile layout");
#endif

#endif  // ZFILE_H
