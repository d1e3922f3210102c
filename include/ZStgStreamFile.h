// ZStgStreamFile - the record file of ZFile.h on a stream inside a compound
// document held by a ZStgStorage.  It replaces the primitive operations with
// IStream calls, so the composite ones (cursors, Remove) work unchanged.
//
// The name is the stream's element name (case kept, at most 31 characters
// reach the platform).  An object is usable while its storage is set and open
// and a stream is held; otherwise operations fail with ERR_NOT_VALID.  The
// storage object is not owned and must outlive the open stream.  Copies share
// the stream (and its position), each with a reference of its own.
#ifndef ZSTGSTREAMFILE_H
#define ZSTGSTREAMFILE_H

#include "ZFile.h"
#include "ZStgStorage.h"

class ZStgStreamFile : public ZFile {
public:
    enum {
        ERR_COPY_BUFFER = 1,  // the copy buffer was not available
        ERR_NOT_VALID = 997,  // no storage, storage not open, or no stream
    };

    ZStgStreamFile();
    explicit ZStgStreamFile(const char* name);
    ZStgStreamFile(const char* name, ZStgStorage* storage);
    ZStgStreamFile(const ZStgStreamFile& other);
    ZStgStreamFile& operator=(const ZStgStreamFile& other);
    virtual ~ZStgStreamFile();

    ZStgStorage* SetStorage(ZStgStorage* storage);
    ZStgStorage* GetStorage();
    IStream* GetIStream();

    // IStream::CopyTo from this stream's position to the destination's.
    BOOL Copy(ZStgStreamFile* destination, DWORD count, DWORD* bytesRead, DWORD* bytesWritten);
    BOOL Commit(DWORD flags);
    BOOL Revert();
    BOOL Stat(STATSTG* stat, DWORD flag);
    // Whole-file copies between this stream and any record file; the
    // destination is positioned by its GoTop (after its header).  A disk
    // file is written beside its destination and replaces it when complete.
    BOOL CopyOut(ZFile* destination);
    BOOL CopyIn(ZFile* source);

    // Replaced virtual operations.
    virtual void Init();
    virtual BOOL IsExist();
    virtual BOOL Open(DWORD mode);
    virtual BOOL IsOpen();
    virtual BOOL Create(DWORD mode);
    virtual int Read(void* buffer, int length);
    virtual int Write(const void* buffer, int length, int origin);
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
    virtual BOOL Delete();
    virtual BOOL Close();

private:
    BOOL IsValid();
    BOOL CopyFileA(ZFile* destination, ZFile* source);
    BOOL CopyOutBeside(ZNativeFile* destination);

    ZStgStorage* m_pStorage;
    IStream* m_pStream;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(ZStgStreamFile) == 288, "ZStgStreamFile layout");
#endif

#endif  // ZSTGSTREAMFILE_H
