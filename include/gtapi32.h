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

/* ======================================================================
 * Library frame (frame/)
 * ====================================================================== */

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

/* ======================================================================
 * Memory blocks (text/)
 * ====================================================================== */

LPVOID GTAPI gtGlobalAllocPtr(UINT flags, DWORD size);
BOOL   GTAPI gtGlobalFreePtr(LPVOID block);
LPVOID GTAPI gtGlobalReAllocPtr(LPVOID block, DWORD size, UINT flags);
LPVOID GTAPI gtGlobalUnlockPtr(LPVOID block);
LPVOID GTAPI gtGlobalAllocPtrEx(UINT flags, DWORD minSize, LPDWORD size);
LPSTR  GTAPI gtIncrementPtr(LPCSTR text, int count);

/* ======================================================================
 * String utilities (text/)
 * ====================================================================== */

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

LPSTR     GTAPI gtGetToken(LPSTR text, char delimiter);
LPGTSTRTOK GTAPI gtStartStrTok(BOOL skipTabs, BOOL skipSpaces);
LPSTR     GTAPI gtContinueStrTok(LPGTSTRTOK tok, LPSTR text, char delimiter);
BOOL      GTAPI gtEndStrTok(LPGTSTRTOK tok);
BOOL      GTAPI gtIsStrStr(LPCSTR text, LPCSTR pattern);
LPSTR     GTAPI gtStrStri(LPCSTR text, LPCSTR pattern);
BOOL      GTAPI gtIsStrStri(LPCSTR text, LPCSTR pattern);
LPSTR     GTAPI gtFindString(LPCSTR text, LPCSTR pattern, int caseMode);
BOOL      GTAPI gtStuffStr(LPCSTR source, LPCSTR pattern, int occurrence, LPCSTR replacement,
                           BOOL all, int caseMode, LPSTR output);
LPSTR     GTAPI gtGetLine(LPCSTR text, LPSTR line, WORD lineSize, BOOL keepNewline);
BOOL      GTAPI gtRemoveToken(LPSTR text, LPCSTR token, BOOL exact, BOOL dropSeparator,
                              char startSeparator, char endSeparator, LPSTR output);
BOOL      GTAPI gtReplaceChars(char oldChar, char newChar, LPSTR source, LPSTR destination);
BOOL      GTAPI gtHasTrailingCharacter(LPCSTR text, char ch);
BOOL      GTAPI gtHasTrailingSlash(LPCSTR text);
void      GTAPI gtRemoveTrailingSlash(LPSTR path);
BOOL      GTAPI gtAppendTrailingSlash(LPSTR path, LPSTR output);
void      GTAPI gtLeftTrim(LPSTR text, char ch);
void      GTAPI gtRightTrim(LPSTR text, char ch);
void      GTAPI gtAllTrim(LPSTR text, char ch);
void      GTAPI gtLeftTrimEx(LPSTR text, LPCSTR set);
void      GTAPI gtRightTrimEx(LPSTR text, LPCSTR set);
void      GTAPI gtAllTrimEx(LPSTR text, LPCSTR set);
BOOL      GTAPI gtComposeEmbeddingString(const GTEMBEDDING* embedding, LPSTR output);
BOOL      GTAPI gtDecomposeEmbeddingString(LPCSTR className, LPSTR value, LPGTEMBEDDING embedding);
int       GTAPI gtIntStrToInt(LPCSTR text);
DWORD     GTAPI gtHexStrToInt(LPCSTR text);

/* ======================================================================
 * Linked list (text/)
 * ====================================================================== */

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

LPGTLIST     GTAPI gtCreateList(void);
BOOL         GTAPI gtDestroyList(LPGTLIST list);
BOOL         GTAPI gtRemoveAllElems(LPGTLIST list);
LPGTPOSITION GTAPI gtAddHeadElem(LPGTLIST list, LPVOID data, DWORD size);
LPGTPOSITION GTAPI gtAddTailElem(LPGTLIST list, LPVOID data, DWORD size);
LPGTPOSITION GTAPI gtInsertElemBefore(LPGTLIST list, LPGTPOSITION pos, LPVOID data, DWORD size);
LPGTPOSITION GTAPI gtInsertElemAfter(LPGTLIST list, LPGTPOSITION pos, LPVOID data, DWORD size);
LPGTPOSITION GTAPI gtGetHeadPosition(LPGTLIST list);
LPGTPOSITION GTAPI gtGetTailPosition(LPGTLIST list);
LPVOID       GTAPI gtGetNextElem(LPGTPOSITION* pos);
LPVOID       GTAPI gtGetPrevElem(LPGTPOSITION* pos);
LPVOID       GTAPI gtGetElemAt(LPGTPOSITION pos);
LPVOID       GTAPI gtSetElemAt(LPGTPOSITION pos, LPVOID data, DWORD size);
BOOL         GTAPI gtRemoveElemAt(LPGTLIST list, LPGTPOSITION pos, BOOL freeData);
BOOL         GTAPI gtRemoveHeadElem(LPGTLIST list, BOOL freeData);
BOOL         GTAPI gtRemoveTailElem(LPGTLIST list, BOOL freeData);
LPGTPOSITION GTAPI gtFindElemPos(LPGTLIST list, DWORD key, BOOL fromHead, GTMATCHPROC match, DWORD user);
LPGTPOSITION GTAPI gtGetElemPosition(LPGTLIST list, UINT index);
DWORD        GTAPI gtGetElemIndex(LPGTLIST list, LPGTPOSITION pos);
DWORD        GTAPI gtGetElemCount(LPGTLIST list);
BOOL         GTAPI gtIsListEmpty(LPGTLIST list);
BOOL         GTAPI gtCopyList(LPGTLIST dest, LPGTLIST source);
BOOL         GTAPI gtMergeList(LPGTLIST dest, LPGTLIST source);

/* ---- section: line files (linefile/) ---- */

/* ---- section: settings store (profile/) — see ZProfile.h ---- */

/* ---- section: file-system utilities (fs/) ---- */

/* ---- section: message boxes (msgbox/) ---- */

/* ---- section: window utilities (window/) ---- */

#ifdef __cplusplus
} /* extern "C" */
#endif

/* Layouts the callers rely on (i686). */
#if defined(__cplusplus) && defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(GTSTRTOK) == 12, "GTSTRTOK layout");
static_assert(sizeof(GTEMBEDDING) == 440, "GTEMBEDDING layout");
static_assert(offsetof(GTEMBEDDING, szServerPath) == 153, "GTEMBEDDING layout");
static_assert(offsetof(GTEMBEDDING, szFormat) == 414, "GTEMBEDDING layout");
static_assert(sizeof(GTLIST) == 16 && offsetof(GTLIST, dwCount) == 12, "GTLIST layout");
static_assert(sizeof(GTPOSITION) == 20 && offsetof(GTPOSITION, pPrev) == 16, "GTPOSITION layout");
#endif

#endif /* GTAPI32_H */
