/*
 * gtapi32.h - General API Functions DLL for WIN32: the plain exports.
 *
 * C and C++.  Every non-variadic export is WINAPI (__stdcall); variadic ones
 * are __cdecl (GTAPIV).  Records that cross the boundary are declared here
 * with their exact i686 layout.  Classes have headers of their own.
 *
 * Sections follow the library's subsystems; each family's exports are
 * declared in its section only.
 */
#ifndef GTAPI32_H
#define GTAPI32_H

#include <windows.h>
#include <stddef.h>

#define GTAPI  WINAPI   /* non-variadic exports */
#define GTAPIV __cdecl  /* variadic exports */
#define GTCALLBACK CALLBACK

#ifdef __cplusplus
extern "C" {
#endif

/* ---- section: library frame (frame/) ---- */

/* Attach state of the library, for diagnostics (gtx info, tests). */
typedef struct GTLIBSTATE {
    DWORD     cbSize;            /* set by the caller: sizeof(GTLIBSTATE) */
    HMODULE   hModule;           /* the library's own module handle */
    HANDLE    hDriver;           /* private driver handle, 0 when not opened */
    FARPROC   pfnLoadLibrary16;  /* KERNEL32 ordinal 35 */
    FARPROC   pfnFreeLibrary16;  /* KERNEL32 ordinal 36 */
    FARPROC   pfnGetProcAddress16; /* KERNEL32 ordinal 37 */
    FARPROC   pfnQT_Thunk;
    FARPROC   pfnSMapLS_IP_EBP_8;
    FARPROC   pfnSUnMapLS_IP_EBP_8;
    HMODULE   hZipLib;           /* DZIP32.DLL */
    FARPROC   pfnDzip;           /* its "dzip" entry, 0 when missing */
    HMODULE   hUnzipLib;         /* DUNZIP32.DLL */
    FARPROC   pfnDunzip;         /* its "dunzip" entry, 0 when missing */
} GTLIBSTATE;

/* Fills *state (cbSize must be sizeof(GTLIBSTATE)); FALSE on a bad argument. */
BOOL GTAPI gtGetLibraryState(GTLIBSTATE* state);

/* ---- section: memory blocks (text/) ---- */

/* Blocks are fixed in place and zero-filled whatever the flags say (callers
 * pass GHND, or GHND | GMEM_DDESHARE); a pointer that is not the start of a
 * live block is refused without being touched. */

/* A zero-filled block of size bytes; NULL for 0 or when no memory is left. */
LPVOID GTAPI gtGlobalAllocPtr(UINT flags, DWORD size);
/* Releases a block: TRUE; anything that is not a live block: FALSE. */
BOOL   GTAPI gtGlobalFreePtr(LPVOID block);
/* Resizes keeping the contents, growth reads as zero; NULL (the block kept)
 * for size 0, a non-block or no memory. */
LPVOID GTAPI gtGlobalReAllocPtr(LPVOID block, DWORD size, UINT flags);
/* block itself (blocks never move). */
LPVOID GTAPI gtGlobalUnlockPtr(LPVOID block);
/* A block of *size bytes (0: 65500), lowered 1 KiB at a time down to minSize
 * until one is had; *size gets the size obtained.  NULL when none is. */
LPVOID GTAPI gtGlobalAllocPtrEx(UINT flags, DWORD minSize, LPDWORD size);
/* count whole characters (of the ANSI code page) on from text; it does not
 * stop at the terminator: the caller keeps count within the string. */
LPSTR  GTAPI gtIncrementPtr(LPCSTR text, int count);

/* ---- section: string utilities (text/) ---- */

/* Every walk steps whole characters of the ANSI code page: a single-byte
 * delimiter, trim character or separator is only ever compared with the
 * first byte of a character, and a lead byte right before the terminator is
 * a character of its own.  Flags of type BOOL count only when exactly 1. */

#pragma pack(push, 1)
typedef struct GTSTRTOK {
    LPSTR pszPos;      /* current position in the caller's string */
    BOOL  bSkipTabs;   /* 1: skip leading tabs of each token */
    BOOL  bSkipSpaces; /* 1: skip leading spaces of each token */
} GTSTRTOK, *LPGTSTRTOK;

typedef struct GTEMBEDDING {
    char szClassName[51];    /* profile key */
    char szDescription1[51];
    char szDescription2[51];
    char szServerPath[261];  /* stored upper-cased */
    char szFormat[26];
} GTEMBEDDING, *LPGTEMBEDDING;
#pragma pack(pop)

/* Next token up to delimiter (written over with 0), leading blanks and tabs
 * skipped; text NULL continues the one walk of the process.  Delimiter 0:
 * the rest.  A first call without the delimiter gives the whole text, a
 * continuing one NULL. */
LPSTR     GTAPI gtGetToken(LPSTR text, char delimiter);
/* A tokenizer record of its own (a block; gtEndStrTok releases it). */
LPGTSTRTOK GTAPI gtStartStrTok(BOOL skipTabs, BOOL skipSpaces);
/* Next token of the record's walk (text NULL continues); NULL at the end. */
LPSTR     GTAPI gtContinueStrTok(LPGTSTRTOK tok, LPSTR text, char delimiter);
BOOL      GTAPI gtEndStrTok(LPGTSTRTOK tok);
/* Case-sensitive / case-insensitive search; the match or NULL. */
BOOL      GTAPI gtIsStrStr(LPCSTR text, LPCSTR pattern);
LPSTR     GTAPI gtStrStri(LPCSTR text, LPCSTR pattern);
BOOL      GTAPI gtIsStrStri(LPCSTR text, LPCSTR pattern);
/* caseMode 1: case-sensitive; anything else: case-insensitive. */
LPSTR     GTAPI gtFindString(LPCSTR text, LPCSTR pattern, int caseMode);
/* Replaces the occurrence-th match (all later ones too when all is 1) into
 * output, which may be source itself and must hold the result. */
BOOL      GTAPI gtStuffStr(LPCSTR source, LPCSTR pattern, int occurrence, LPCSTR replacement,
                           BOOL all, int caseMode, LPSTR output);
/* The line at text into line (at most lineSize bytes with the terminator,
 * whole characters), without its last character unless keepNewline; the
 * start of the next line, NULL for an empty line or the end. */
LPSTR     GTAPI gtGetLine(LPCSTR text, LPSTR line, WORD lineSize, BOOL keepNewline);
/* Removes token (with the text back to startSeparator unless exact, and the
 * endSeparator after it when dropSeparator) in place or into output. */
BOOL      GTAPI gtRemoveToken(LPSTR text, LPCSTR token, BOOL exact, BOOL dropSeparator,
                              char startSeparator, char endSeparator, LPSTR output);
/* Every character oldChar becomes newChar, in place or into destination. */
BOOL      GTAPI gtReplaceChars(char oldChar, char newChar, LPSTR source, LPSTR destination);
BOOL      GTAPI gtHasTrailingCharacter(LPCSTR text, char ch);
BOOL      GTAPI gtHasTrailingSlash(LPCSTR text);
/* Removes one trailing backslash. */
void      GTAPI gtRemoveTrailingSlash(LPSTR path);
/* Appends a backslash unless there is one, in place or into output (which
 * must hold 262 bytes); FALSE for an empty path or a result over 261. */
BOOL      GTAPI gtAppendTrailingSlash(LPSTR path, LPSTR output);
/* Trims ch (or any character of set) on the left, right or both sides, in
 * place.  gtRightTrimEx never removes the first character. */
void      GTAPI gtLeftTrim(LPSTR text, char ch);
void      GTAPI gtRightTrim(LPSTR text, char ch);
void      GTAPI gtAllTrim(LPSTR text, char ch);
void      GTAPI gtLeftTrimEx(LPSTR text, LPCSTR set);
void      GTAPI gtRightTrimEx(LPSTR text, LPCSTR set);
void      GTAPI gtAllTrimEx(LPSTR text, LPCSTR set);
/* "description1,description2,server path,format" from the record; FALSE
 * when a field is empty. */
BOOL      GTAPI gtComposeEmbeddingString(const GTEMBEDDING* embedding, LPSTR output);
/* The record from value (read from the [Embedding] section of WIN.INI under
 * className when value is empty); fields cut to whole characters. */
BOOL      GTAPI gtDecomposeEmbeddingString(LPCSTR className, LPSTR value, LPGTEMBEDDING embedding);
/* atoi of the first 19 characters; 0 for NULL. */
int       GTAPI gtIntStrToInt(LPCSTR text);
/* Up to four leading hexadecimal digits; 0 for NULL. */
DWORD     GTAPI gtHexStrToInt(LPCSTR text);

/* ---- section: linked list (text/) ---- */

/* A list and its positions are blocks of the library; a record whose tag
 * is not the live one is refused.  Elements hold the caller's pointer (size
 * 0) or a private copy of size bytes that goes with the element. */

typedef struct GTPOSITION {
    WORD               wTag;   /* 0x4D4C ("LM") while live */
    LPVOID             pData;
    DWORD              dwSize; /* 0: caller's pointer; else the list's private copy */
    struct GTPOSITION* pNext;
    struct GTPOSITION* pPrev;
} GTPOSITION, *LPGTPOSITION;

typedef struct GTLIST {
    WORD         wTag;         /* 0x474C ("LG") while live */
    LPGTPOSITION pHead;
    LPGTPOSITION pTail;
    DWORD        dwCount;
} GTLIST, *LPGTLIST;

typedef BOOL (GTCALLBACK* GTMATCHPROC)(LPGTLIST list, DWORD key, LPVOID data, DWORD size, DWORD user);

/* Lifetime: a new empty list; destroying removes every element first. */
LPGTLIST     GTAPI gtCreateList(void);
BOOL         GTAPI gtDestroyList(LPGTLIST list);
BOOL         GTAPI gtRemoveAllElems(LPGTLIST list);
/* Adding: the new element's position, NULL on failure; a NULL pos inserts
 * at the head (before) or the tail (after). */
LPGTPOSITION GTAPI gtAddHeadElem(LPGTLIST list, LPVOID data, DWORD size);
LPGTPOSITION GTAPI gtAddTailElem(LPGTLIST list, LPVOID data, DWORD size);
LPGTPOSITION GTAPI gtInsertElemBefore(LPGTLIST list, LPGTPOSITION pos, LPVOID data, DWORD size);
LPGTPOSITION GTAPI gtInsertElemAfter(LPGTLIST list, LPGTPOSITION pos, LPVOID data, DWORD size);
/* Walking: the element's data, the position moved on (NULL past the end). */
LPGTPOSITION GTAPI gtGetHeadPosition(LPGTLIST list);
LPGTPOSITION GTAPI gtGetTailPosition(LPGTLIST list);
LPVOID       GTAPI gtGetNextElem(LPGTPOSITION* pos);
LPVOID       GTAPI gtGetPrevElem(LPGTPOSITION* pos);
LPVOID       GTAPI gtGetElemAt(LPGTPOSITION pos);
/* Replaces the data and returns the former data (a former private copy is
 * the caller's now). */
LPVOID       GTAPI gtSetElemAt(LPGTPOSITION pos, LPVOID data, DWORD size);
/* Removing: a private copy is freed when freeData is 1, else handed over. */
BOOL         GTAPI gtRemoveElemAt(LPGTLIST list, LPGTPOSITION pos, BOOL freeData);
BOOL         GTAPI gtRemoveHeadElem(LPGTLIST list, BOOL freeData);
BOOL         GTAPI gtRemoveTailElem(LPGTLIST list, BOOL freeData);
/* Searching: the first position, from the head or from the tail, whose
 * element match accepts (returns 1); index and position convert both ways
 * (NULL past the end, 0xFFFFFFFF: not in the list). */
LPGTPOSITION GTAPI gtFindElemPos(LPGTLIST list, DWORD key, BOOL fromHead, GTMATCHPROC match, DWORD user);
LPGTPOSITION GTAPI gtGetElemPosition(LPGTLIST list, UINT index);
DWORD        GTAPI gtGetElemIndex(LPGTLIST list, LPGTPOSITION pos);
DWORD        GTAPI gtGetElemCount(LPGTLIST list);
BOOL         GTAPI gtIsListEmpty(LPGTLIST list);
/* Appends copies of source's elements (private copies copied again) / moves
 * them and destroys source. */
BOOL         GTAPI gtCopyList(LPGTLIST dest, LPGTLIST source);
BOOL         GTAPI gtMergeList(LPGTLIST dest, LPGTLIST source);

/* ---- section: line files (linefile/) ---- */

/* A line-file handle: a record from gtGlobalAllocPtr, released by fuCloseFile.
 * The file stays open while the handle lives (fuSetFileSize reopens it). */
typedef struct GTLINEFILE {
    char  szFileName[129];  /* full path reported by the open call */
    UINT  uOpenFlags;       /* open flags exactly as the caller gave them */
    BYTE  fFixedDisk;       /* as reported by the open call */
    HFILE hFile;            /* HFILE_ERROR after a failed reopen */
} GTLINEFILE, *LPGTLINEFILE;

/* Origins of the seek and write calls. */
#define FU_ORIGIN_BEGIN   0
#define FU_ORIGIN_CURRENT 1
#define FU_ORIGIN_END     2

/* Process-wide error code of the layer (fuGetErrorCode). */
#define FU_ERR_NONE          9999
#define FU_ERR_NAME_TOO_LONG 1001
#define FU_ERR_NO_MEMORY     1002
#define FU_ERR_READ          30
#define FU_ERR_WRITE         29
#define FU_ERR_SEEK          25
#define FU_ERR_CLOSE         89

/* Open flags are OpenFile's (0 read, 1 write, 2 read-write, 0x1000 create).
 * The name is rewritten in place to its short form when that is shorter. */
LPGTLINEFILE GTAPI fuCreateFile(LPSTR fileName, UINT openFlags);
LPGTLINEFILE GTAPI fuOpenFile(LPSTR fileName, UINT openFlags);
int    GTAPI fuCloseFile(LPGTLINEFILE file);
BOOL   GTAPI fuGetOpenFileName(LPGTLINEFILE file, LPSTR name /* 129 bytes */);
int    GTAPI fuGetErrorCode(void);
/* Lines end with CR LF; lengths include it and are 16-bit.  The buffers must
 * hold the whole line(s) and terminators. */
int    GTAPI fuReadLine(LPGTLINEFILE file, LPSTR line);
int    GTAPI fuReadNLines(LPGTLINEFILE file, int count, LPSTR lines);
LONG   GTAPI fuReadFile(LPGTLINEFILE file, LPVOID buffer);
LONG   GTAPI fuReadFileEx(LPGTLINEFILE file, LPVOID buffer, LONG count);
LONG   GTAPI fuWriteFile(LPGTLINEFILE file, LPCSTR text);
LONG   GTAPI fuWriteFileEx(LPGTLINEFILE file, int origin, LPCSTR text);
LONG   GTAPI fuWriteFileExtended(LPGTLINEFILE file, int origin, LPCVOID data, LONG count);
LONG   GTAPI fuGetFileSize(LPGTLINEFILE file);
LONG   GTAPI fuGetFileSizeEx(LPCSTR fileName);
LONG   GTAPI fuGotoFileOffset(LPGTLINEFILE file, LONG offset, int origin);
LONG   GTAPI fuGetCurFileOffset(LPGTLINEFILE file);
LONG   GTAPI fuGotoEndOfFile(LPGTLINEFILE file);
LONG   GTAPI fuGotoTopOfFile(LPGTLINEFILE file);
LONG   GTAPI fuGotoNextLine(LPGTLINEFILE file);
LONG   GTAPI fuGotoPrevLine(LPGTLINEFILE file);
LONG   GTAPI fuGetNoofLines(LPGTLINEFILE file);
/* The whole file in a new zero-terminated block; free with gtGlobalFreePtr. */
LPVOID GTAPI fuGetFileData(LPCSTR fileName);
BOOL   GTAPI fuSetFileSize(LPGTLINEFILE file, LONG size);


/* ---- section: settings store (profile/) — see ZProfile.h ---- */

/* ---- section: file-system utilities (fs/) ---- */

/* -- drive types and probes -- */

/* Drive type codes of gtGetDriveTypeEx (1 is never returned; callers treat
 * 0 and 1 as "no drive"). */
#define GTDRIVE_NONE      0
#define GTDRIVE_REMOVABLE 2  /* removable, not a floppy */
#define GTDRIVE_FIXED     3  /* RAM disks too */
#define GTDRIVE_REMOTE    4
#define GTDRIVE_CDROM     5
#define GTDRIVE_FLOPPY    7

/* "a"-"z" / "A"-"Z" -> 0-25; anything else -> -1. */
int   GTAPI gtConvertDriveLetter(char letter);
/* Index -> upper-case letter ("A" + index); a negative index -> 0. */
char  GTAPI gtConvertDriveIndex(int index);
/* DOS "get device parameters" through "\\.\VWIN32" into params (the DOS
 * device-parameter record, zeroed by the caller; byte 1 is the device
 * type).  FALSE where the device is missing (NT family, Wine). */
BOOL  GTAPI gtGetDriveParameters(UINT index, LPVOID params);
BOOL  GTAPI gtGetDriveParametersEx(char letter, LPVOID params);
/* One of the GTDRIVE_ codes for drive index (0 = A). */
int   GTAPI gtGetDriveTypeEx(UINT index);
/* TRUE and *attributes on success; FALSE and *attributes = 0 otherwise. */
BOOL  GTAPI gtGetFileAttributes(LPCSTR path, LPDWORD attributes);
/* TRUE for an existing directory or the root of an existing drive. */
BOOL  GTAPI gtIsDirExist(LPCSTR path);
/* FAT date -> day, month, year; FAT time -> hour, minute, second. */
BOOL  GTAPI gtConvertFindTDate(WORD dosDate, LPWORD date);
BOOL  GTAPI gtConvertFindTTime(WORD dosTime, LPWORD time);

/* -- drives and disk space -- */

/* Called by gtEnumDrives for each drive: (upper-case letter, GTDRIVE_ code,
 * user value); 0 ends the enumeration. */
typedef BOOL (GTCALLBACK* GTDRIVEPROC)(char letter, DWORD type, DWORD user);

/* TRUE for a letter naming a drive of a type other than GTDRIVE_NONE. */
BOOL     GTAPI gtIsDriveValid(char letter);
/* TRUE when drive index (0 = A) is a CD-ROM drive. */
BOOL     GTAPI gtIsCDROMDrive(WORD index);
/* Free / total bytes of the drive (all free bytes, not the caller's quota);
 * 0 on failure, which an empty or full disk cannot be told from. */
LONGLONG GTAPI gtGetDiskFreeSpace(char letter);
LONGLONG GTAPI gtGetDiskSpace(char letter);
/* Free space in whole kilobytes. */
LONGLONG GTAPI gtGetDiskFreeSpaceEx(char letter);
/* TRUE when at least `bytes` (kilobytes) are free; a count <= 0 gives FALSE. */
BOOL     GTAPI gtIsDiskSpaceAvailable(char letter, LONGLONG bytes);
BOOL     GTAPI gtIsDiskSpaceAvailableEx(char letter, LONGLONG kilobytes);
/* TRUE for a valid drive whose root holds no entry at all. */
BOOL     GTAPI gtIsDiskEmpty(char letter);
/* Drive index the system booted from (2 for C); 0 also when unknown. */
WORD     GTAPI gtGetBootDrive(void);
/* Calls callback for every drive from A to Z; FALSE only for a NULL handle
 * or callback. */
BOOL     GTAPI gtEnumDrives(HANDLE handle, GTDRIVEPROC callback, DWORD user);
/* Upper-case letter of the first fixed disk / floppy drive; 0 when none. */
char     GTAPI gtGetFirstHardDiskDrive(void);
char     GTAPI gtGetFirstFloppyDiskDrive(void);

/* -- path names -- */

/* A split path.  gtSplitPath clears it and fills every field; a UNC path's
 * share prefix ("\\server\share") stands in the drive field. */
typedef struct GTSPLITPATH {
    char szPath[260];      /* the trimmed input, at most 259 characters */
    char szDrive[260];     /* "C:", the share prefix, or empty */
    char szDir[256];       /* first to last separator, both included */
    char szName[256];      /* file name without extension */
    char szExt[256];       /* from the last dot of the file part, dot included */
    char szDriveDir[260];  /* szDrive followed by szDir */
    char szNameExt[260];   /* szName followed by szExt */
} GTSPLITPATH, *LPGTSPLITPATH;

/* TRUE when the first two characters are backslashes. */
BOOL  GTAPI gtIsUNCName(LPCSTR path);
/* Trims spaces around path in place, then splits it.  FALSE for NULL or
 * empty arguments (spaces alone included), a trimmed path of 260 characters
 * or more, or a part that does not fit its field (the record is then all
 * zero). */
BOOL  GTAPI gtSplitPath(LPSTR path, LPGTSPLITPATH split);
/* TRUE when the path has a directory part (a drive alone does not count). */
BOOL  GTAPI gtHasDirectoryName(LPCSTR path);
/* A path without a directory part gets `directory` in front of its name and
 * extension; one with a directory part is kept.  The result (at most 260
 * characters) goes to output (261 bytes) or, when output is NULL, over path. */
BOOL  GTAPI gtSetDirectoryName(LPSTR path, LPCSTR directory, LPSTR output);
/* Gives the path `extension` (one leading dot; NULL or empty: none) when
 * force is 1 or the path has none; else keeps it.  Result as above. */
BOOL  GTAPI gtSetFileExtension(LPSTR path, LPCSTR extension, LPSTR output, BOOL force);
/* Directory part: an existing directory is kept whole, else the text before
 * the last backslash.  Into output (outputSize bytes) or cut in place;
 * returns output or path, NULL without a backslash. */
LPSTR GTAPI gtStripFileName(LPSTR path, LPSTR output, int outputSize);
/* File part: the text after the last backslash, into output (outputSize
 * bytes) or moved to the start of path; NULL without a backslash. */
LPSTR GTAPI gtStripPathName(LPSTR path, LPSTR output, int outputSize);
/* directory + "\" (unless it ends with one) + fileName, into output (which
 * must be writable for outputSize bytes and hold the result) or into
 * directory (261 bytes).  NULL on failure, then nothing is written. */
LPSTR GTAPI gtAppendFileName(LPSTR directory, LPCSTR fileName, LPSTR output, int outputSize);
/* Absolute form of fileName, relative names taken against baseDir (when not
 * NULL or empty) or the current directory, which is the same afterwards.
 * Into output (261 bytes) or over fileName; FALSE above 260 characters. */
BOOL  GTAPI gtNormalizeFileName(LPSTR fileName, LPCSTR baseDir, LPSTR output);
/* TRUE when the path holds "*" or "?". */
BOOL  GTAPI gtIsAnyWildCard(LPCSTR path);

/* -- find-file service -- */

/* One search result, converted from the find-file library's record.  Time
 * triples are hour, minute, second; date triples day, month, year. */
typedef struct GTFINDDATA {
    DWORD dwAttributes;        /* Windows attribute bits (16 = directory) */
    WORD  wCreationTime[3];    /* local time */
    WORD  wCreationDate[3];
    WORD  wAccessTime[3];      /* last access, local time */
    WORD  wAccessDate[3];
    WORD  wTime[3];            /* the entry's DOS time, decoded */
    WORD  wDate[3];            /* the entry's DOS date, decoded */
    DWORD dwSizeLow;           /* size, 64-bit */
    DWORD dwSizeHigh;
    char  szName[260];
    char  szShortName[14];     /* 8.3 name, or the first 13 bytes of szName */
    BOOL  bDirReport;          /* 1 only while a walk reports a subdirectory */
} GTFINDDATA, *LPGTFINDDATA;

/* The record of VAVEVO32.dll's _QRFX_FindFirstFile@12/_QRFX_FindNextFile@8:
 * 332 bytes, a WIN32_FIND_DATAA followed by the entry's DOS time and date
 * (last write, local time; low 16 bits).  Callers zero the DOS words before
 * the first call. */
typedef struct GTFINDRECORD {
    WIN32_FIND_DATAA fd;
    DWORD dwDosTime;
    DWORD dwDosDate;
    DWORD dwReserved;
} GTFINDRECORD, *LPGTFINDRECORD;

/* Starts a search; the first entry goes to data (may be NULL).  mask is
 * the DOS search mask: 7 files of every kind, 23 also directories.  0 for
 * a NULL or empty pattern, when nothing matches, or when VAVEVO32.dll is
 * missing (GetLastError() then gives ERROR_MOD_NOT_FOUND). */
HANDLE GTAPI gtFindFirst(LPCSTR pattern, LPGTFINDDATA data, DWORD mask);
/* Next entry into data (may be NULL); FALSE for handle 0 or at the end.
 * The mask of gtFindFirst holds for the whole search. */
BOOL   GTAPI gtFindNext(HANDLE search, LPGTFINDDATA data, DWORD mask);
/* Ends a search; the find-file library's result. */
BOOL   GTAPI gtFindClose(HANDLE search);

/* -- file operations -- */

/* Progress callback of gtCopyFileEx: (message, record, user value); 0
 * cancels.  The record lives for the duration of the call only. */
#define GTCOPY_START    101  /* before the first block */
#define GTCOPY_PROGRESS 102  /* after each block is read and after it is written */
#define GTCOPY_DONE     104  /* the destination is complete and in place */

typedef struct GTCOPYPROGRESS {
    LPCSTR pszDestination;  /* the caller's strings */
    LPCSTR pszSource;
    DWORD  dwSourceSize;    /* bytes; counts of 4 GiB and more read 0xFFFFFFFF */
    LPVOID pBuffer;         /* the copy buffer */
    DWORD  dwLastBlock;     /* bytes of the latest read */
    DWORD  dwBytesRead;
    DWORD  dwBytesWritten;
    WORD   wSourceDate;     /* DOS form */
    WORD   wSourceTime;
} GTCOPYPROGRESS, *LPGTCOPYPROGRESS;

typedef int (GTCALLBACK* GTCOPYPROC)(UINT message, LPGTCOPYPROGRESS progress, DWORD user);

/* TRUE when the name or pattern matches at least one file or directory. */
BOOL  GTAPI gtIsFileExist(LPCSTR name);
/* TRUE when the path's file name (its directory ignored) is found along the
 * default search order. */
BOOL  GTAPI gtIsFileExistEx(LPCSTR path);
/* Full path found along the search order, into output (261 bytes) or a new
 * block of 261 bytes that the caller releases with gtGlobalFreePtr; NULL
 * when not found. */
LPSTR GTAPI gtFindFileInPath(LPCSTR name, LPSTR output);
/* Sets the attributes of every entry the pattern matches; TRUE when it
 * matched at least one. */
BOOL  GTAPI gtSetFileAttributes(LPCSTR pattern, DWORD attributes);
/* Last-write time as DOS date and time, without a time-zone conversion; a
 * value read and written back comes back unchanged.  Setting gives creation,
 * access and write time that value. */
BOOL  GTAPI gtGetFileDateTime(LPCSTR path, LPWORD date, LPWORD time);
BOOL  GTAPI gtSetFileDateTime(LPCSTR path, WORD date, WORD time);
/* Deletes one file, read-only, hidden and system ones too; when the deletion
 * fails the file keeps its attributes.  A directory or a pattern is never
 * deleted. */
BOOL  GTAPI gtDeleteFile(LPCSTR path);
/* MoveFileA: an existing new path is not replaced. */
BOOL  GTAPI gtRenameFile(LPCSTR oldPath, LPCSTR newPath);
/* Copies source over destination (destination first).  The copy is made
 * beside the destination and put in its place only when complete, so on
 * failure an existing destination is unchanged; a read-only destination is
 * replaced.  A file is never copied onto itself (FALSE). */
BOOL  GTAPI gtCopyFile(LPCSTR destination, LPCSTR source);
/* Buffered copy with progress: GTCOPY_START, GTCOPY_PROGRESS twice per
 * block, GTCOPY_DONE.  The destination gets the source's attributes and DOS
 * date and time.  FALSE on any failure or cancellation, and for an empty
 * source; the destination is then as it was (absent when it was absent). */
BOOL  GTAPI gtCopyFileEx(LPCSTR destination, LPCSTR source, GTCOPYPROC progress, DWORD user);
/* Appends source to destination (created when missing), which then carries
 * the source's DOS date and time.  A failed append leaves the destination at
 * its former size, content and times (a new one is removed).  deleteSource
 * 1 deletes the source after a verified append.  An empty source appends
 * nothing and gives FALSE. */
BOOL  GTAPI gtCatFile(LPCSTR destination, LPCSTR source, BOOL deleteSource);
/* Copies count bytes of an open line file, from offset (or from its
 * position for -1), into destination.  The line file's position is the same
 * afterwards; a failure leaves the destination as it was. */
BOOL  GTAPI gtExtractAndCopy(LPGTLINEFILE file, LONG offset, LONG count, LPCSTR destination);
/* A new file (makeFile 1) or directory (anything else) named directory +
 * two characters of prefix + a hexadecimal counter + extension; directory
 * is created when missing.  The output receives the full name (fullPath 1)
 * or the name alone.  NULL when the directory cannot be had, the name does
 * not fit the output (nothing is created), or creation fails for another
 * reason than an existing name. */
LPSTR GTAPI gtCreateTempFile(LPCSTR directory, LPCSTR prefix, LPCSTR extension, LPSTR output, int outputSize,
                             BOOL fullPath, BOOL makeFile);

/* -- directories -- */

/* Walk callback: (path text, entry, user value); 0 stops the whole walk.
 * The path text is the pattern of the level walked or, for the report of a
 * subdirectory before the walk descends into it (bDirReport 1), that
 * level's drive and directory. */
typedef int (GTCALLBACK* GTENUMPROC)(LPCSTR path, LPGTFINDDATA entry, DWORD user);

/* One entry's information (gtGetFileInfo).  DOS forms; creation and access
 * in local time. */
typedef struct GTFILEINFO {
    WORD  wCreationTime;
    WORD  wCreationDate;
    WORD  wAccessTime;
    WORD  wAccessDate;
    WORD  wTime;          /* the find service's DOS time */
    WORD  wDate;
    DWORD dwAttributes;
    DWORD dwSizeLow;      /* size, 64-bit */
    DWORD dwSizeHigh;
    char  szName[260];
    char  szShortName[14];
} GTFILEINFO, *LPGTFILEINFO;

/* User value of gtiDeleteFilesProc: entries named in the keep-list (260-byte
 * slots, ended by a slot whose first character is 0; long or short name,
 * any case) stay; the status window (or NULL) shows what is deleted. */
typedef struct GTDELETECONTEXT {
    LPCSTR pszKeepList;
    HWND   hStatus;
} GTDELETECONTEXT, *LPGTDELETECONTEXT;

/* TRUE when the directory exists or was created. */
BOOL     GTAPI gtCreateDir(LPCSTR path);
/* Creates every missing level (drive and UNC paths).  FALSE, creating
 * nothing, for a path of 260 characters or more or one with a file where a
 * directory must go. */
BOOL     GTAPI gtCreateDirEx(LPCSTR path);
/* RemoveDirectoryA of path (one trailing backslash ignored). */
BOOL     GTAPI gtRemoveDir(LPSTR path);
/* TRUE when the directory holds nothing but "." and "..", or nothing can be
 * found there (a missing directory); FALSE for NULL, empty or over-long
 * names. */
BOOL     GTAPI gtIsDirEmpty(LPCSTR directory);
/* Current directory with a trailing backslash, into buffer (size bytes) or
 * a new block of size + 1 bytes the caller releases; NULL when it does not
 * fit. */
LPSTR    GTAPI gtGetCurrentDir(LPSTR buffer, int size);
/* The drive's current directory into buffer (size bytes). */
BOOL     GTAPI gtGetDrivesCurrentDir(char letter, LPSTR buffer, int size);
/* Files (hidden and system too, no directories) matching the pattern; at
 * most 65535. */
WORD     GTAPI gtGetNoofFilesInDir(LPCSTR pattern);
/* Post-order walk: with recurse, a subdirectory is reported (bDirReport 1)
 * and walked before it is reported as an entry.  Walks never descend into
 * directory links.  Result: the last callback result; the recurse flag when
 * nothing matches. */
int      GTAPI gtEnumFilesInDir(LPCSTR pattern, GTENUMPROC proc, BOOL recurse, DWORD user, DWORD reserved);
/* Pre-order walk of subdirectories; sizes 1 puts each one's total size
 * (gtGetDirSize of its "*.*" with recurse) into the entry. */
int      GTAPI gtEnumSubDirsInDir(LPCSTR pattern, GTENUMPROC proc, BOOL sizes, BOOL recurse, DWORD user,
                                  DWORD reserved);
/* Adds each file's size to the ULONGLONG that user points to; always 1. */
int      GTAPI gtiFileSizeProc(LPCSTR path, LPGTFINDDATA entry, DWORD user);
/* Total size of the matching files. */
LONGLONG GTAPI gtGetDirSize(LPCSTR pattern, BOOL recurse);
/* The first matching entry's information; one trailing backslash of path is
 * removed in place. */
BOOL     GTAPI gtGetFileInfo(LPSTR path, LPGTFILEINFO info);
/* Deletes the reported entry unless it is kept (user: GTDELETECONTEXT or
 * NULL); always 1.  A directory link is removed, never its target. */
int      GTAPI gtiDeleteFilesProc(LPCSTR path, LPGTFINDDATA entry, DWORD user);
/* Deletes what the pattern matches (recursively with recurse), except the
 * keep-list's names; showStatus 1 shows each name in a status window
 * (string 28034).  FALSE for a drive that is not valid. */
int      GTAPI gtDeleteFileEx(LPCSTR pattern, BOOL showStatus, HWND parent, BOOL recurse, LPCSTR keepList);
/* Deletes everything on a drive except the keep-list's names. */
int      GTAPI gtWipeDisk(char letter, BOOL showStatus, HWND parent, LPCSTR keepList);

/* ---- section: message boxes (msgbox/) ---- */

/* -- extended message box -- */

/* Picture kinds (GTMBPICTURE.wKind) */
#define GTMBPIC_ICON      1  /* icon resource; ids 1-4: this library's stop, question, exclamation, information */
#define GTMBPIC_HICON     2  /* icon handle */
#define GTMBPIC_BITMAP    3  /* bitmap resource */
#define GTMBPIC_HBITMAP   4  /* bitmap handle (never deleted by the library) */
/* Picture alignment beside the text (GTMBDEF.wPictureAlign) */
#define GTMBALIGN_TOP     1
#define GTMBALIGN_BOTTOM  2
#define GTMBALIGN_MIDDLE  3
/* GTMBBUTTON.dwKind: the caption is a string id (first two bytes of szText) */
#define GTMBBTN_STRINGID  1

#pragma pack(push, 1)
typedef struct GTMBPICTURE {
    HMODULE  hModule;       /* holds the resource of kinds 1 and 3 */
    WORD     wKind;         /* GTMBPIC_*; anything else draws nothing, measures 0 by 0 */
    COLORREF crTransparent; /* bitmap kinds: non-zero = pixels of this colour are not drawn */
    DWORD    dwResource;    /* kinds 1, 3: resource id (low word); kinds 2, 4: the handle */
} GTMBPICTURE, *LPGTMBPICTURE;

typedef struct GTMBBUTTON {
    WORD  wId;              /* control id, and the box's result when pressed */
    DWORD dwKind;           /* GTMBBTN_STRINGID, or anything else for szText itself */
    char  szText[55];       /* caption (up to 54 characters) or the 16-bit string id */
} GTMBBUTTON, *LPGTMBBUTTON;

typedef struct GTMBDEF {
    WORD         wSystemModal;  /* 1: DS_SYSMODAL is added to the box */
    DWORD        dwPicture;     /* non-zero: show the picture */
    DWORD        dwCenter;      /* exactly 1: centre over the parent; else the box stays at (0, 0) */
    WORD         wPictureAlign; /* GTMBALIGN_*; anything else: picture top at client y 0 */
    GTMBPICTURE  picture;
    WORD         wButtonCount;  /* n */
    WORD         wDefaultId;    /* default push button, focused at the start */
    LPSTR        pszKeywords;   /* "GTMB_YES|GTMB_NO" ...; non-empty: decides the buttons */
    LPGTMBBUTTON pButtons;      /* n caller buttons when there is no keyword list;
                                   overwritten (and unusable afterwards) when there is one */
} GTMBDEF, *LPGTMBDEF;

typedef struct GTMBCONTEXT {
    char      szMarker[6];      /* "~MSG~" */
    HFONT     hFont;            /* text and buttons; 0: no font for the text, system font for buttons */
    HBRUSH    hBrush;           /* background; wins over hBitmap */
    HBITMAP   hBitmap;          /* background drawn at the client origin */
    COLORREF  crText;           /* 0: the DC's colour stays */
    COLORREF  crTextBk;         /* 0: transparent text background */
    HWND      hParent;          /* the fields from here on are written by every call */
    HMODULE   hCaptionModule;
    LPSTR     pszText;
    LPSTR     pszCaption;
    RECT      rcText;           /* client coordinates, set by the layout */
    RECT      rcPicture;
    LPGTMBDEF pDef;
} GTMBCONTEXT, *LPGTMBCONTEXT;
#pragma pack(pop)

/* A new appearance block with these five values (each may be 0); NULL when
 * no memory could be had. */
LPGTMBCONTEXT GTAPI gtOpenMessageBoxExtended(HFONT font, HBRUSH brush, HBITMAP bitmap,
                                             COLORREF textColor, COLORREF textBkColor);
/* Releases a block of gtOpenMessageBoxExtended: 1; NULL or anything else: 0
 * and nothing done.  deleteObjects 1 deletes its font, bitmap and brush
 * first. */
BOOL GTAPI gtCloseMessageBoxExtended(LPGTMBCONTEXT context, int deleteObjects);
/* Shows a modal box and returns the id of the button pressed; 0 when the box
 * cannot be prepared (nothing shown), -1 when the dialog cannot be created.
 * text and caption: a value below 0x10000 is a string id of `module`;
 * caption 0 is "Error".  The text is a wvsprintfA format for the arguments.
 * context: a block of gtOpenMessageBoxExtended, or anything else for the
 * default look.
 *
 * Keywords: tokens separated by "|"; leading blanks and tabs are skipped.  A
 * token selects the first GTMB_ keyword of the table (GTMB_OK ... GTMB_STOP,
 * ids 1-31) that it contains; where a longer keyword that starts with that
 * one is contained at the same place, the longer one wins, so GTMB_NOACTION,
 * GTMB_BACKUPCURR, GTMB_BACKUPPREV, GTMB_RESTORECURR and GTMB_RESTOREPREV
 * select ids 17-21 (not GTMB_NO, GTMB_BACKUP, GTMB_RESTORE).  A token with
 * no keyword is skipped; tokens after the n-th button are ignored; buttons
 * not filled have id 0 and an empty caption.
 *
 * Failures that give 0 before any window is shown: no keyword recognised, no
 * buttons at all (count 0, or no keyword list and no button array), a text
 * or caption id that names no string, and a button caption that cannot be
 * read (a string id that names no string). */
int GTAPIV gtMessageBoxExtended(HWND parent, LPGTMBCONTEXT context, HMODULE module, LPCSTR text,
                                LPCSTR caption, LPGTMBDEF def, ...);

/* -- bitmaps -- */

/* Loads bitmap resource `name` (text or MAKEINTRESOURCE id) of `module` as a
 * device-dependent bitmap realised with its own palette.  1 with *bitmap set
 * and, when palette is not NULL, *palette set (NULL for bitmaps without a
 * colour table); the caller deletes both.  0 with both set to NULL when the
 * resource is missing or malformed or the bitmap cannot be made. */
BOOL GTAPI gtLoadBitmapResource(HMODULE module, LPCSTR name, HBITMAP* bitmap, HPALETTE* palette);

/* -- message texts -- */

/* Substitution callback of stFormatString: (placeholder number, first
 * context, second context) -> text to insert, or NULL for nothing. */
typedef LPCSTR (GTCALLBACK* GTFORMATPROC)(int number, DWORD context1, DWORD context2);

/* Loads string `id` of `module` (at most 255 characters) and formats it with
 * the arguments (wvsprintfA directives).  NULL when the string is missing or
 * empty.
 * Without a buffer: returns a text in a new block of max(L, minCapacity) + 5
 * bytes, marked for stUnReadString; a longer result is cut at that capacity.
 * With a buffer: returns the buffer.  A positive minCapacity is then taken as
 * the buffer's size in bytes, terminator included, and the text is cut to
 * fit; otherwise the platform's own limit of 1024 bytes applies. */
LPSTR GTAPIV stReadString(HMODULE module, UINT id, LPSTR buffer, int minCapacity, ...);
/* Releases a text that stReadString made without a buffer: 1; anything
 * else is left alone: 0. */
BOOL  GTAPI  stUnReadString(LPSTR text);
/* First character at or after text that is not an ASCII digit. */
LPSTR GTAPI  stSkipDigits(LPCSTR text);
/* Expands %1, %2, ... in place through proc; "%%" is a per-cent sign.  The
 * result holds at most 1023 characters; in a block of this library (such as
 * a text of stReadString) it is also cut to the block's size. */
LPSTR GTAPI  stFormatString(LPSTR text, DWORD context1, GTFORMATPROC proc, DWORD context2);

/* -- simple message boxes and status windows -- */

/* The platform's message box with a formatted text (wvsprintfA directives,
 * at most 727 characters; longer results are cut).  IDCANCEL (2) without a
 * format. */
int  GTAPIV gtMessageBox(HWND owner, LPCSTR format, LPCSTR caption, UINT type, ...);
/* Same with text and caption as string ids of module (upper 16 bits zero)
 * or texts; a caption of NULL shows the platform's own.  IDCANCEL (2) when
 * the text is NULL or a string cannot be loaded. */
int  GTAPIV gtMessageBoxEx(HWND owner, HMODULE module, LPCSTR text, LPCSTR caption, UINT type, ...);
/* Modeless window with one centred line of text; its owner stays disabled
 * until the window is closed.  One at a time; the caller keeps pumping
 * messages.  NULL for a NULL text or on failure. */
HWND GTAPI  gtPasteStatusMessage(HWND owner, LPCSTR text);
HWND GTAPIV gtPasteStatusMessageEx(HWND owner, HMODULE module, UINT id, ...);
void GTAPI  gtChangeStatusMessage(HWND status, LPCSTR text);
void GTAPIV gtChangeStatusMessageEx(HWND status, HMODULE module, UINT id, ...);
/* Closes a status window; anything that is not a window is left alone.
 * Always 0. */
int  GTAPI  gtPeelStatusMessage(HWND status);

/* ---- section: window utilities (window/) ---- */

/* -- window helpers -- */

/* Moves *rect, keeping its size, into the work area. */
void GTAPI gtFitRectToScreen(LPRECT rect);
/* Centres window over parent's client area (parent usable: a window, not
 * minimised), else over the work area and brings it to the foreground; the
 * result is kept within the work area. */
void GTAPI gtCenterWindow(HWND window, HWND parent);
/* Size of the window rectangle; 0 when the handle is not a window. */
int  GTAPI gtGetWindowWidth(HWND window);
int  GTAPI gtGetWindowHeight(HWND window);

/* First top-level window of the thread whose class equals className (any
 * case); with no class, the first that is not one of the platform's own
 * (menu, desktop, task switch, icon title, "combolbox", "mdiclient"). */
HWND GTAPI gtGetWindowFromTask(DWORD threadId, LPCSTR className);
/* First top-level window of class className (any case) whose own non-empty
 * text occurs within title (so "Setup" is found by "Setup - Step 2").
 * Class up to 32, title up to 55 characters; both absent gives NULL. */
HWND GTAPI gtGetWindowHandle(LPCSTR className, LPCSTR title);
/* First id from firstId to lastId (inclusive, at most 65535) whose button is
 * checked or indeterminate; 0 when none. */
WORD GTAPI gtGetCheckedRadioButton(HWND dialog, WORD firstId, WORD lastId);

/* -- window texts -- */

/* Sets the window's text, formatted (wvsprintfA directives, at most 727
 * characters; longer results are cut).
 * The three positions after the format are reserved: they are never read,
 * and the format's arguments start after them.  Callers pass 0 for each:
 *     gtSetWindowText(hwnd, "%d of %d", 0, 0, 0, done, total); */
void GTAPIV gtSetWindowText(HWND window, LPCSTR format, DWORD reserved1, DWORD reserved2,
                            DWORD reserved3, ...);
/* Same with the format from string resource id of module (at most 255
 * characters); a missing string leaves the text unchanged. */
void GTAPIV gtSetWindowTextEx(HWND window, HMODULE module, UINT id, ...);

/* -- list boxes -- */

/* Horizontal extent kept in step with the longest text, one list box at a
 * time: mode 1 resets, every mode above 2 offers a text, mode 2 applies the
 * extent; mode 0 resets, offers one text and applies at once. */
void GTAPI gtProcessHorizontalExtent(LPCSTR text, HWND listBox, WORD mode);
BOOL GTAPI gtIsListBoxOwnerDrawn(HWND window);
BOOL GTAPI gtIsListBoxMultiSelect(HWND window);
/* Selected indexes of a multiple-selection list box, ascending, in a block
 * the caller releases with gtGlobalFreePtr; *count (if given) gets their
 * number.  NULL when nothing is selected or the box is single-selection. */
LPINT GTAPI gtGetLBSelItems(HWND listBox, LPINT count);
/* Deletes the selected items; FALSE when there were none. */
BOOL GTAPI gtDeleteLBSelItems(HWND listBox);

/* -- dialog resize layout -- */

/* GTRESIZERULE.nType */
#define GTRS_SIZE         0  /* sets a value; the opposite edge stays */
#define GTRS_MOVE         1  /* sets an edge and keeps the size */
#define GTRS_CENTER_VERT  2  /* centres the block nTargetId..nLastId vertically */
#define GTRS_CENTER_HORZ  3  /* centres the block horizontally */
#define GTRS_END          4  /* ends the table */
/* nTargetAttr and nRefAttr */
#define GTRS_LEFT    0
#define GTRS_TOP     1
#define GTRS_RIGHT   2
#define GTRS_BOTTOM  3
#define GTRS_WIDTH   4
#define GTRS_HEIGHT  5
#define GTRS_EXTENT  6       /* blocks only: the reference's whole span along the block's axis */
/* nRefId: the window's own client area */
#define GTRS_CLIENT  0x10000

/* One rule; a table is an array ended by a GTRS_END rule.  The library
 * writes bDone and nOffsetPixels of every rule on every call, so the table
 * must be writable. */
typedef struct GTRESIZERULE {
    LONG nType;         /* GTRS_SIZE .. GTRS_END */
    LONG nTargetAttr;   /* sizes and moves: GTRS_LEFT .. GTRS_HEIGHT */
    LONG nTargetId;     /* sizes and moves: the control; blocks: lowest id */
    LONG nLastId;       /* blocks: highest id (inclusive, signed) */
    LONG nRefAttr;      /* GTRS_LEFT .. GTRS_HEIGHT; blocks also GTRS_EXTENT */
    LONG nRefId;        /* a control id or GTRS_CLIENT */
    LONG nPercent;      /* with GTRS_WIDTH/GTRS_HEIGHT references: value * nPercent / 100 */
    LONG nOffset;       /* dialog units, added to the result */
    LONG bDone;         /* written: 1 once applied in this call */
    LONG nOffsetPixels; /* written: nOffset in pixels along the rule's axis */
} GTRESIZERULE, *LPGTRESIZERULE;

/* Moves and sizes the window's child controls by the rules, all at once.
 * 1 when every rule was applied (or the window is minimised: nothing done);
 * 0 with no control moved for a null table, no window, no children, a rule
 * naming a missing control or an attribute out of range, rules that wait
 * for each other, or coordinates beyond 32 bits.  Negative sizes are
 * applied as 0.  A GTRS_MOVE rule on a width keeps the right edge, on a
 * height the bottom edge; GTRS_SIZE keeps the left or top edge. */
BOOL GTAPI gtResizeWindow(HWND window, LPGTRESIZERULE rules);
/* Dialog units to pixels: the platform's conversion for dialogs, the
 * window's font (average width of A-Z a-z, height; truncating, results
 * held to 32 bits) for other windows.  0 when the window does not exist or
 * rect is NULL. */
BOOL GTAPI gtMapDialogRect(HWND window, LPRECT rect);
/* Number of child windows; 0 when it is not a window. */
int  GTAPI gtGetChildWindowCount(HWND window);

/* ---- section: stop request and processes (process/) ---- */

/* -- stop request -- */

/* The flag of this process, read and written under the system-wide mutex
 * "VANTIL_MUTEX_STOP_REQUEST"; both wait while any process of the product
 * shows the stop question.  Set returns the value it replaced. */
int GTAPI GetStopRequestFlag(void);
int GTAPI SetStopRequestFlag(DWORD value);
/* Asks the user, holding the mutex while the box is up.  text is a
 * FormatMessage template (%1, %2 ... from the variable arguments, lines
 * broken at 50 columns, at most 511 characters); style takes MB_ flags and
 * always gets MB_SETFOREGROUND, and MB_HELP when helpContext is not 0.
 * Returns the button pressed and sets the flag to 1 for IDYES, else 0.
 * Returns 0, showing nothing and leaving the flag, when the text cannot be
 * formatted (or the box cannot be shown). */
int GTAPIV DisplayStopMessage(HWND owner, LPCSTR text, LPCSTR caption, UINT style, DWORD helpContext, ...);

/* -- process launching -- */

/* Runs program (quoted when it holds blanks and is not quoted yet) with
 * arguments (NULL or "" for none) in workDir (NULL: the caller's), shown
 * normally or hidden (hidden = 1), and waits for it unless noWait is 1;
 * meanwhile a window titled "Finished - " and the program's name is asked
 * to close.  0 on success; else a system error code: the failed
 * CreateProcessA's, ERROR_INVALID_PARAMETER for a NULL or empty program,
 * ERROR_FILENAME_EXCED_RANGE for a command line over 1023 characters.
 * The process and thread handles are always closed. */
DWORD GTAPI gtExecuteProcess(LPSTR program, LPSTR arguments, LPCSTR workDir, BOOL noWait, BOOL hidden);
/* Runs a console program hidden: program, a blank and arguments (NULL adds
 * nothing; the line holds at most 520 characters) in workDir.  Unless
 * noWait is 1 it waits in slices of waitSlice ms (0: 3000); with a chosen
 * slice the program's "tty" window is shown once, at the first slice that
 * ends, and its "Finished - " window is asked to close.  TRUE when started
 * (and, if waited for, ended). */
BOOL  GTAPI gtExecHiddenDosApp(LPSTR program, LPCSTR arguments, LPCSTR workDir, UINT waitSlice, BOOL noWait);
/* The command line that opens document (looked up from directory) into
 * result (260 bytes): the associated program, a blank and document; or the
 * program alone when the document's extension is a whole entry of WIN.INI's
 * [windows] Programs list (default "exe com").  FALSE, result empty, when
 * nothing is associated or the line would not fit. */
BOOL  GTAPI gtFindExecutableEx(LPSTR document, LPSTR directory, LPSTR result);

/* ---- section: legacy system access (legacy/) ---- */

/* -- 16-bit modules and library loading -- */

/* LoadLibraryA of name, with ".DLL" appended when its file part has no
 * extension, under error mode 0x8001.  NULL on failure. */
HMODULE GTAPI gtLoadLibraryEx(LPCSTR name);
HMODULE GTAPI gtLoadLibrary(LPCSTR name);
/* The same with the 16-bit loader: its handle, or its error value (below
 * 32); 0 when the system has no 16-bit loader. */
UINT    GTAPI gtLoadLibrary16Ex(LPCSTR name);
/* As gtLoadLibrary16Ex with every value below 32 turned into 0. */
UINT    GTAPI gtLoadLibrary16(LPCSTR name);
HMODULE GTAPI gtGetModuleHandle(LPCSTR name);
/* 16-bit module handle of a module name ("KERNEL", "USER"), 0 when none. */
UINT    GTAPI gtGetModuleHandle16(LPCSTR name);
/* File name of a 16-bit module into buffer (size bytes, always terminated;
 * empty on failure). */
BOOL    GTAPI gtGetModuleFileName16(UINT module, LPSTR buffer, UINT size);
/* Searches the 16-bit module list for a file: a bare name is compared with
 * the modules' file names, a path with their whole paths. */
UINT    GTAPI gtGet16bitFilesModuleHandle(LPCSTR file);
BOOL    GTAPI gtIsModuleFile16Loaded(LPCSTR file);
/* TRUE when a module of that file name and extension is loaded. */
BOOL    GTAPI gtIsModuleFileLoaded(LPCSTR file);
/* Directory of a module's file: with its trailing backslash in mode 1,
 * without in any other mode.  FALSE (and an empty buffer) when the path does
 * not fit size. */
BOOL    GTAPI gtGetModulePath(HMODULE module, UINT mode, LPSTR buffer, WORD size);
BOOL    GTAPI gtGetModulePathEx(LPCSTR module, UINT mode, LPSTR buffer, WORD size);
/* Per cent of the given 16-bit system resources free; 0xFFFF on failure. */
WORD    GTAPI gtGetFreeSystemResources(WORD type);

/* -- system information and devices -- */

/* Registers the 3-D control library: the last result of Ctl3dRegister and
 * Ctl3dAutoSubclass; 0 (and the library let go) when it is missing or
 * refuses. */
int   GTAPI gtInitializeCtl3D(HINSTANCE instance);
/* Unregisters and frees it; FALSE when it is not loaded. */
BOOL  GTAPI gtUnInitializeCtl3D(HINSTANCE instance);
/* Locale texts into buffers of at least 15 characters (never more are
 * written; a text that does not fit leaves the buffer empty). */
void  GTAPI gtGetSysDateStr(LPSTR buffer);
void  GTAPI gtGetSysTimeStr(LPSTR buffer);
/* time: hour, minute, second; date: day, month, year.  FALSE when an
 * argument is NULL or the platform cannot format the value. */
BOOL  GTAPI gtConvertTimeToStr(LPWORD time, LPSTR buffer);
BOOL  GTAPI gtConvertDateToStr(LPWORD date, LPSTR buffer);
/* The file's last-write date as locale text (15 characters); NULL when the
 * file cannot be read or the date cannot be formatted. */
LPSTR GTAPI gtGetFileDateStr(LPCSTR path, LPSTR buffer);
BOOL  GTAPI gtGetSystemTime(LPWORD time);
BOOL  GTAPI gtGetSystemDate(LPWORD date);
/* Fixed-point text: 3.14159, 2 -> "3.14"; -2.5, 1 -> "-2.5"; 0.5, 1 -> ".5";
 * 0.05, 2 -> ".05".  The buffer holds sign, integer digits, point, digits
 * and terminator. */
BOOL  GTAPI gtFloatToFloatStr(float value, int digits, LPSTR buffer);
/* Low word of GetVersion: major version in the low byte. */
WORD  GTAPI gtGetWindowsVersion(void);
BOOL  GTAPI gtIsWindows95(void);
/* TRUE under the double-byte code pages 932, 936, 949 and 950. */
BOOL  GTAPI gtDoYouSpeakJACK(void);
BOOL  GTAPI gtIsPrinterDC(HDC dc);
/* DeviceIoControl on a driver handle; FALSE for handle 0. */
BOOL  GTAPI gtTalkToDevice(DWORD device, DWORD code, LPVOID input, DWORD inputSize, LPVOID output,
                           DWORD outputSize);

/* -- low-level disk access -- */

/* Absolute sector read (interrupt 25h).  *error (if given) gets 0, or AH =
 * BIOS error and AL = DOS error on failure (0x8002 not ready, 0x020C no
 * formatted medium, 0x0408 sector not found).  FALSE for a negative drive
 * index without touching *error. */
BOOL  GTAPI gtAbsRead(int drive, DWORD start, WORD count, LPVOID buffer, LPDWORD error);
BOOL  GTAPI gtAbsReadEx(char letter, DWORD start, WORD count, LPVOID buffer, LPDWORD error);
/* 111-117 by floppy type (116: 1.44 MB 3.5"), 0 for anything else. */
int   GTAPI gtGetFloppyDriveType(UINT drive);
BOOL  GTAPI gtiGetDiskStatus(char letter, LPDWORD error);
BOOL  GTAPI gtIsDriveReady(char letter);
BOOL  GTAPI gtIsDiskFormated(char letter);
/* TRUE when the medium refuses writes as write-protected.  Probes with
 * "X:\~~~~~~~~.~~~", created only when no such file exists. */
BOOL  GTAPI gtIsDiskWriteProtected(char letter);
/* Through the product's driver: major version in the high byte; 0 without
 * a driver. */
WORD  GTAPI gtGetDosVersion(void);
BOOL  GTAPI gtGetDeviceParameterBlock(int drive, LPVOID buffer);
BOOL  GTAPI gtGetDeviceParameterBlockEx(char letter, LPVOID buffer);
/* The shell's version, 0 when it is not loaded. */
UINT  GTAPI gtIs4DOSLoaded(void);
UINT  GTAPI gtIsNDOSLoaded(void);
/* Value of an environment variable into buffer, or (buffer NULL) into a new
 * block of size bytes the caller releases with gtGlobalFreePtr.  NULL when
 * the variable is missing, empty or longer than size - 1. */
LPSTR GTAPI gtGetEnv(LPCSTR name, LPSTR buffer, WORD size);
/* Makes target a system disk with SYS run through the source root's
 * COMMAND.COM (copied there from \DOS or COMSPEC when copyShell is 1):
 * 1 done (or started, with noWait), 0 a drive is not valid or SYS did not
 * confirm, 10 no command interpreter, 11 no SYS program, 12 not started,
 * 13 no output to read. */
UINT  GTAPI gtMakeSystemDisk(char source, char target, UINT noWait, int copyShell);
/* Asks the driver to restart the machine; without one, shows the
 * "press the Reset button" box.  The driver's result. */
BOOL  GTAPI gtRebootMachine(void);

#ifdef __cplusplus
} /* extern "C" */
#endif

/* Layouts the callers rely on (i686). */
#if defined(__cplusplus) && defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(GTSTRTOK) == 12, "GTSTRTOK layout");
static_assert(sizeof(GTLINEFILE) == 144 && offsetof(GTLINEFILE, uOpenFlags) == 132 &&
              offsetof(GTLINEFILE, fFixedDisk) == 136 && offsetof(GTLINEFILE, hFile) == 140, "GTLINEFILE layout");
static_assert(sizeof(GTEMBEDDING) == 440, "GTEMBEDDING layout");
static_assert(offsetof(GTEMBEDDING, szServerPath) == 153, "GTEMBEDDING layout");
static_assert(offsetof(GTEMBEDDING, szFormat) == 414, "GTEMBEDDING layout");
static_assert(sizeof(GTLIST) == 16 && offsetof(GTLIST, dwCount) == 12, "GTLIST layout");
static_assert(sizeof(GTPOSITION) == 20 && offsetof(GTPOSITION, pPrev) == 16, "GTPOSITION layout");
static_assert(sizeof(GTMBPICTURE) == 14 && offsetof(GTMBPICTURE, wKind) == 4 &&
              offsetof(GTMBPICTURE, crTransparent) == 6 && offsetof(GTMBPICTURE, dwResource) == 10,
              "GTMBPICTURE layout");
static_assert(sizeof(GTMBBUTTON) == 61 && offsetof(GTMBBUTTON, dwKind) == 2 &&
              offsetof(GTMBBUTTON, szText) == 6, "GTMBBUTTON layout");
static_assert(sizeof(GTMBDEF) == 38 && offsetof(GTMBDEF, dwPicture) == 2 && offsetof(GTMBDEF, dwCenter) == 6 &&
              offsetof(GTMBDEF, wPictureAlign) == 10 && offsetof(GTMBDEF, picture) == 12 &&
              offsetof(GTMBDEF, wButtonCount) == 26 && offsetof(GTMBDEF, wDefaultId) == 28 &&
              offsetof(GTMBDEF, pszKeywords) == 30 && offsetof(GTMBDEF, pButtons) == 34, "GTMBDEF layout");
static_assert(sizeof(GTMBCONTEXT) == 78 && offsetof(GTMBCONTEXT, hFont) == 6 &&
              offsetof(GTMBCONTEXT, hBrush) == 10 && offsetof(GTMBCONTEXT, hBitmap) == 14 &&
              offsetof(GTMBCONTEXT, crText) == 18 && offsetof(GTMBCONTEXT, crTextBk) == 22 &&
              offsetof(GTMBCONTEXT, hParent) == 26 && offsetof(GTMBCONTEXT, hCaptionModule) == 30 &&
              offsetof(GTMBCONTEXT, pszText) == 34 && offsetof(GTMBCONTEXT, pszCaption) == 38 &&
              offsetof(GTMBCONTEXT, rcText) == 42 && offsetof(GTMBCONTEXT, rcPicture) == 58 &&
              offsetof(GTMBCONTEXT, pDef) == 74, "GTMBCONTEXT layout");
static_assert(sizeof(GTSPLITPATH) == 1808, "GTSPLITPATH layout");
static_assert(offsetof(GTSPLITPATH, szDir) == 520 && offsetof(GTSPLITPATH, szDriveDir) == 1288, "GTSPLITPATH layout");
static_assert(offsetof(GTSPLITPATH, szNameExt) == 1548, "GTSPLITPATH layout");
static_assert(sizeof(GTFINDDATA) == 328, "GTFINDDATA layout");
static_assert(offsetof(GTFINDDATA, wTime) == 28 && offsetof(GTFINDDATA, dwSizeLow) == 40, "GTFINDDATA layout");
static_assert(offsetof(GTFINDDATA, szName) == 48 && offsetof(GTFINDDATA, szShortName) == 308, "GTFINDDATA layout");
static_assert(offsetof(GTFINDDATA, bDirReport) == 324, "GTFINDDATA layout");
static_assert(sizeof(GTFINDRECORD) == 332, "GTFINDRECORD layout");
static_assert(offsetof(GTFINDRECORD, fd.nFileSizeHigh) == 28 && offsetof(GTFINDRECORD, fd.cFileName) == 44,
              "GTFINDRECORD layout");
static_assert(offsetof(GTFINDRECORD, fd.cAlternateFileName) == 304, "GTFINDRECORD layout");
static_assert(sizeof(GTCOPYPROGRESS) == 32 && offsetof(GTCOPYPROGRESS, dwLastBlock) == 16 &&
              offsetof(GTCOPYPROGRESS, wSourceDate) == 28 && offsetof(GTCOPYPROGRESS, wSourceTime) == 30,
              "GTCOPYPROGRESS layout");
static_assert(sizeof(GTFILEINFO) == 300 && offsetof(GTFILEINFO, dwAttributes) == 12 &&
              offsetof(GTFILEINFO, dwSizeLow) == 16 && offsetof(GTFILEINFO, szName) == 24 &&
              offsetof(GTFILEINFO, szShortName) == 284, "GTFILEINFO layout");
static_assert(sizeof(GTDELETECONTEXT) == 8, "GTDELETECONTEXT layout");
static_assert(offsetof(GTFINDRECORD, dwDosTime) == 320 && offsetof(GTFINDRECORD, dwDosDate) == 324,
              "GTFINDRECORD layout");
static_assert(sizeof(GTRESIZERULE) == 40 && offsetof(GTRESIZERULE, nRefAttr) == 16 &&
              offsetof(GTRESIZERULE, nOffset) == 28 && offsetof(GTRESIZERULE, bDone) == 32 &&
              offsetof(GTRESIZERULE, nOffsetPixels) == 36, "GTRESIZERULE layout");
#endif

#endif /* GTAPI32_H */
