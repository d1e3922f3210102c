/*
 * Command records passed to the archiving companions DZIP32.DLL ("dzip") and
 * DUNZIP32.DLL ("dunzip"), and the result codes they return.  C and C++.
 *
 * Both entries are __stdcall, take a pointer to their record and return a
 * 32-bit code, 0 for success.  Fields that carry no meaning are 0; the
 * companions ignore them.  companions/README.md describes every field.
 */
#ifndef QRZIPCOMMAND_H
#define QRZIPCOMMAND_H

#include <windows.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 1)

/* 188 bytes. */
typedef struct ZipCommand {
    DWORD cbSize;          /* 0x00  188 */
    DWORD function;        /* 0x04  ZIPFN_SETUP, ZIPFN_ADD before a call */
    LPCSTR zipFile;        /* 0x08  the archive */
    LPCSTR sources;        /* 0x0C  one or more names, each may be in quotes */
    DWORD reserved10[6];   /* 0x10 */
    DWORD rate;            /* 0x28  0 store, 1-9 deflate level */
    DWORD recurse;         /* 0x2C  zip flag 0x1 */
    DWORD reserved30[5];   /* 0x30 */
    DWORD dropPaths;       /* 0x44  zip flag 0x2 */
    DWORD reserved48;      /* 0x48 */
    DWORD addToExisting;   /* 0x4C  zip flag 0x4 */
    DWORD reserved50[11];  /* 0x50 */
    DWORD hiddenFiles;     /* 0x7C  zip flag 0x8 */
    DWORD reserved80[2];   /* 0x80 */
    DWORD noDirEntries;    /* 0x88  zip flag 0x20 */
    DWORD reserved8C[4];   /* 0x8C */
    WORD reserved9C;       /* 0x9C */
    WORD options;          /* 0x9E  ZIPOPT_VERIFY = zip flag 0x10 */
    DWORD reservedA0[7];   /* 0xA0 */
} ZipCommand;

/* 142 bytes, packed: the fields from 0x6E on are not 4-aligned. */
typedef struct UnzipCommand {
    DWORD cbSize;          /* 0x00  142 */
    DWORD function;        /* 0x04  UNZIPFN_SETUP, UNZIPFN_EXTRACT before a call */
    LPCSTR zipFile;        /* 0x08  the archive */
    DWORD reserved0C;      /* 0x0C */
    LPCSTR fileSpec;       /* 0x10  wildcard pattern for the entries' file names */
    DWORD entryIndex;      /* 0x14  UNZIP_ALL_ENTRIES */
    LPCSTR destination;    /* 0x18  directory to extract into */
    DWORD reserved1C[2];   /* 0x1C */
    DWORD recurse;         /* 0x24  zip flag 0x1 */
    DWORD keepPaths;       /* 0x28  zip flag 0x4 */
    DWORD testOnly;        /* 0x2C  zip flag 0x2 */
    DWORD overwrite;       /* 0x30  zip flag 0x100 */
    DWORD restoreTimes;    /* 0x34  zip flag 0x200 */
    DWORD restoreAttribs;  /* 0x38  zip flag 0x20 */
    DWORD reserved3C[6];   /* 0x3C */
    DWORD replaceReadOnly; /* 0x54  zip flag 0x40 */
    DWORD reserved58[5];   /* 0x58 */
    WORD options;          /* 0x6C  UNZIPOPT_CONTINUE = zip flag 0x80 */
    BYTE reserved6E[32];   /* 0x6E */
} UnzipCommand;

#pragma pack(pop)

enum {
    ZIPCMD_SIZE = 188,
    UNZIPCMD_SIZE = 142,
    ZIPFN_SETUP = 6,
    ZIPFN_ADD = 4,
    UNZIPFN_SETUP = 0,
    UNZIPFN_EXTRACT = 8,
    ZIPOPT_VERIFY = 0x0001,
    UNZIPOPT_CONTINUE = 0x0001
};
#define UNZIP_ALL_ENTRIES 0xFFFFFFFFu

/* Zip flags of the wrappers (qrZipFile / qrUnzipFile). */
enum {
    QRZIP_RECURSE = 0x1,        /* both: walk subdirectories / match in subdirectories */
    QRZIP_DROP_PATHS = 0x2,     /* zip: store file names only */
    QRZIP_TEST_ONLY = 0x2,      /* unzip: check every entry, write nothing */
    QRZIP_ADD = 0x4,            /* zip: add to an existing archive */
    QRZIP_KEEP_PATHS = 0x4,     /* unzip: recreate the entries' directories */
    QRZIP_HIDDEN = 0x8,         /* zip: take hidden and system files too */
    QRZIP_VERIFY = 0x10,        /* zip: re-read the new archive before it replaces the old */
    QRZIP_NO_DIR_ENTRIES = 0x20,/* zip: no entries for directories */
    QRZIP_RESTORE_ATTRIBS = 0x20,/* unzip: restore read-only, hidden, system */
    QRZIP_REPLACE_READONLY = 0x40,/* unzip: overwriting may replace read-only files */
    QRZIP_CONTINUE = 0x80,      /* unzip: go on after a failed entry */
    QRZIP_OVERWRITE = 0x100,    /* unzip: replace existing files (else keep them) */
    QRZIP_RESTORE_TIMES = 0x200 /* unzip: give files the entries' times */
};

/* Result codes.  The companions return 0-9; the wrappers add one of their own. */
enum {
    QRZ_OK = 0,
    QRZ_BAD_RECORD = 1,      /* null record, wrong size or function, missing name */
    QRZ_NO_ARCHIVE = 2,      /* the archive does not exist or cannot be opened */
    QRZ_DAMAGED = 3,         /* structure, CRC or data of the archive is wrong */
    QRZ_DISK_FULL = 4,       /* the destination has no room */
    QRZ_UNSAFE_ENTRY = 5,    /* an entry's name leaves the destination, or its data exceeds its size */
    QRZ_NO_SOURCE = 6,       /* no file matched the source name */
    QRZ_IO_ERROR = 7,        /* a file could not be read, created or replaced */
    QRZ_UNSUPPORTED = 8,     /* encrypted entry or unknown compression method */
    QRZ_NO_MEMORY = 9,
    QRZ_NO_ENTRY_POINT = 100 /* wrapper: the companion's entry was not found at start-up */
};

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
static_assert(sizeof(ZipCommand) == 188, "ZipCommand size");
static_assert(offsetof(ZipCommand, rate) == 0x28, "ZipCommand rate");
static_assert(offsetof(ZipCommand, recurse) == 0x2C, "ZipCommand 0x2C");
static_assert(offsetof(ZipCommand, dropPaths) == 0x44, "ZipCommand 0x44");
static_assert(offsetof(ZipCommand, addToExisting) == 0x4C, "ZipCommand 0x4C");
static_assert(offsetof(ZipCommand, hiddenFiles) == 0x7C, "ZipCommand 0x7C");
static_assert(offsetof(ZipCommand, noDirEntries) == 0x88, "ZipCommand 0x88");
static_assert(offsetof(ZipCommand, options) == 0x9E, "ZipCommand 0x9E");
static_assert(offsetof(ZipCommand, reservedA0) == 0xA0, "ZipCommand 0xA0");
static_assert(sizeof(UnzipCommand) == 142, "UnzipCommand size");
static_assert(offsetof(UnzipCommand, fileSpec) == 0x10, "UnzipCommand 0x10");
static_assert(offsetof(UnzipCommand, destination) == 0x18, "UnzipCommand 0x18");
static_assert(offsetof(UnzipCommand, recurse) == 0x24, "UnzipCommand 0x24");
static_assert(offsetof(UnzipCommand, restoreAttribs) == 0x38, "UnzipCommand 0x38");
static_assert(offsetof(UnzipCommand, replaceReadOnly) == 0x54, "UnzipCommand 0x54");
static_assert(offsetof(UnzipCommand, options) == 0x6C, "UnzipCommand 0x6C");
static_assert(offsetof(UnzipCommand, reserved6E) == 0x6E, "UnzipCommand 0x6E");
#endif

#endif /* QRZIPCOMMAND_H */
