// qrZipFile, qrUnzipFile - command records in front of the archiving
// companions DZIP32.DLL and DUNZIP32.DLL.
//
// Each wrapper owns its names and its command record; copies get their own.
// The record's name pointers point at the wrapper's strings, so they stay
// valid while the wrapper lives and the setter is not called again.
// ZipFile/UnzipFile return TRUE exactly when the companion returned 0;
// GetErrorCode gives that code (QRZ_* in qrZipCommand.h), QRZ_NO_ENTRY_POINT
// when the companion's entry is missing.
#ifndef QRZIPFILE_H
#define QRZIPFILE_H

#include <windows.h>

#include "qrZipCommand.h"

class qrZipFile {
public:
    enum { DEFAULT_RATE = 5, DEFAULT_FLAGS = 5, MAX_RATE = 9 };

    qrZipFile();
    qrZipFile(const char* sourceFileName, const char* zipFileName, int compressionRate, unsigned long zipFlags);
    qrZipFile(const qrZipFile& other);
    ~qrZipFile();
    qrZipFile& operator=(const qrZipFile& other);

    // Stored in double quotes unless it already begins with one.
    void SetSourceFileName(const char* name);
    const char* GetSourceFileName();
    void SetZipFilename(const char* name);
    const char* GetZipFilename();
    // Clamped to 0-9.
    void SetCompressionRate(int rate);
    int GetCompressionRate();
    void SetZipFlags(unsigned long flags);
    unsigned long GetZipFlags();
    int GetErrorCode();
    int IsDllLoaded();
    int ZipFile();

protected:
    void Init();

private:
    char* m_pszSourceFileName;
    char* m_pszZipFileName;
    unsigned long m_ulZipFlags;
    int m_nCompressionRate;
    int m_nErrorCode;
    ZipCommand* m_pCommand;
};

class qrUnzipFile {
public:
    enum { DEFAULT_FLAGS = 0x285, FILESPEC_SIZE = 10 };

    qrUnzipFile();
    qrUnzipFile(const char* zipFileName, const char* destinationDir, unsigned long zipFlags);
    qrUnzipFile(const qrUnzipFile& other);
    ~qrUnzipFile();
    qrUnzipFile& operator=(const qrUnzipFile& other);

    void SetZipFilename(const char* name);
    const char* GetZipFilename();
    void SetDestinationDir(const char* dir);
    const char* GetDestinationDir();
    void SetZipFlags(unsigned long flags);
    unsigned long GetZipFlags();
    // The entries' file names to extract; null or empty gives "*.*".
    void SetFileSpec(const char* spec);
    const char* GetFileSpec();
    int GetErrorCode();
    int IsDllLoaded();
    int UnzipFile();

protected:
    void Init();

private:
    char* m_pszZipFileName;
    char* m_pszDestinationDir;
    unsigned long m_ulZipFlags;
    char* m_pszFileSpec;
    int m_nErrorCode;
    UnzipCommand* m_pCommand;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(qrZipFile) == 24, "qrZipFile layout");
static_assert(sizeof(qrUnzipFile) == 24, "qrUnzipFile layout");
#endif

#endif  // QRZIPFILE_H
