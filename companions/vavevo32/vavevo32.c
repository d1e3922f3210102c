/*
 * VAVEVO32.dll - the find-file library.
 *
 * Directory searches with DOS search attributes over the platform's
 * FindFirstFileA/FindNextFileA.  Each entry goes into the 332-byte
 * GTFINDRECORD: the platform's WIN32_FIND_DATAA, then the DOS time and date
 * of the entry's last write in local time.
 *
 * Which entries a mask admits (DOS rules, plus one for directory searches):
 *   - hidden entries only with bit 2, system entries only with bit 4;
 *   - directories only with bit 16;
 *   - a mask with bit 16 and none of the file bits 1, 2, 4 asks for
 *     directories alone (the library walks subdirectories with mask 16);
 *     every other mask admits plain and read-only files;
 *   - "." and ".." count as plain directories whatever the platform says.
 *
 * Search handles are slot numbers with a serial in the high bits, checked
 * on every call, so a stale or made-up handle is refused rather than
 * followed.  The table of open searches grows as callers open more; only
 * when it cannot grow does a search fail, with ERROR_NO_MORE_SEARCH_HANDLES.
 * A search that matches nothing leaves ERROR_FILE_NOT_FOUND or
 * ERROR_NO_MORE_FILES, so callers can tell "nothing there" from a failure.
 */
#include <windows.h>

#include <string.h>

#include "gtapi32.h"

#define QRFX_NO_HANDLE ((HANDLE)(ULONG_PTR)0xFFFFFFFFu)

#define DOS_READONLY 0x01u
#define DOS_HIDDEN 0x02u
#define DOS_SYSTEM 0x04u
#define DOS_DIRECTORY 0x10u
#define DOS_FILE_BITS (DOS_READONLY | DOS_HIDDEN | DOS_SYSTEM)

/* A handle is (serial << SLOT_BITS) | (slot + 1): 20 bits of slot (about a
 * million open searches) and 11 bits of serial, so no handle is 0 or
 * 0xFFFFFFFF. */
#define SLOT_BITS 20
#define MAX_SEARCHES ((1u << SLOT_BITS) - 1)
#define MAX_SERIAL 0x7FFu
#define FIRST_TABLE 64u

_Static_assert(sizeof(GTFINDRECORD) == 332, "find record layout");
_Static_assert(offsetof(GTFINDRECORD, dwDosTime) == 320, "find record layout");
_Static_assert(offsetof(GTFINDRECORD, dwDosDate) == 324, "find record layout");

typedef struct Search {
    HANDLE find;  /* the platform's search */
    DWORD mask;   /* the first call's mask holds for the whole search */
    WORD serial;  /* 0: slot free */
} Search;

static Search* g_searches;  /* g_capacity entries, from the process heap */
static DWORD g_capacity;
static DWORD g_lowestFree;  /* no free slot below this one */
static WORD g_nextSerial = 1;
static CRITICAL_SECTION g_lock;

static int isDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

static int admitted(const WIN32_FIND_DATAA* fd, DWORD mask) {
    const DWORD attr = fd->dwFileAttributes;
    if (attr & FILE_ATTRIBUTE_DIRECTORY) {
        if (!(mask & DOS_DIRECTORY)) return 0;
        if (isDotEntry(fd->cFileName)) return 1;
    } else if ((mask & DOS_DIRECTORY) && !(mask & DOS_FILE_BITS)) {
        return 0;
    }
    if ((attr & FILE_ATTRIBUTE_HIDDEN) && !(mask & DOS_HIDDEN)) return 0;
    if ((attr & FILE_ATTRIBUTE_SYSTEM) && !(mask & DOS_SYSTEM)) return 0;
    return 1;
}

static void fill(GTFINDRECORD* rec, const WIN32_FIND_DATAA* fd) {
    FILETIME local;
    WORD dosDate = 0, dosTime = 0;
    memset(rec, 0, sizeof *rec);
    rec->fd = *fd;
    rec->fd.cFileName[MAX_PATH - 1] = 0;
    rec->fd.cAlternateFileName[13] = 0;
    /* Dates before 1980 have no DOS form: the words stay 0. */
    if (FileTimeToLocalFileTime(&fd->ftLastWriteTime, &local) && FileTimeToDosDateTime(&local, &dosDate, &dosTime)) {
        rec->dwDosDate = dosDate;
        rec->dwDosTime = dosTime;
    }
}

/* Steps h to the next admitted entry (the current one included when
 * `current` is set); 0 at the end. */
static int seek(HANDLE h, WIN32_FIND_DATAA* fd, DWORD mask, int current) {
    if (current && admitted(fd, mask)) return 1;
    while (FindNextFileA(h, fd))
        if (admitted(fd, mask)) return 1;
    return 0;
}

static HANDLE makeHandle(DWORD slot, WORD serial) {
    return (HANDLE)(ULONG_PTR)(((DWORD)serial << SLOT_BITS) | (slot + 1));
}

/* The slot of a live handle, or -1.  Call under the lock. */
static int slotOf(HANDLE handle) {
    const DWORD v = (DWORD)(ULONG_PTR)handle;
    const DWORD slot = (v & MAX_SEARCHES) - 1;
    const WORD serial = (WORD)(v >> SLOT_BITS);
    if (serial == 0 || serial > MAX_SERIAL || slot >= g_capacity) return -1;
    if (g_searches[slot].serial != serial) return -1;
    return (int)slot;
}

/* A free slot (the table doubles when full), or -1 when it cannot grow.
 * Call under the lock. */
static int freeSlot(void) {
    DWORD i;
    for (i = g_lowestFree; i < g_capacity; ++i)
        if (g_searches[i].serial == 0) return (int)i;
    if (g_capacity < MAX_SEARCHES) {
        DWORD grown = g_capacity ? g_capacity * 2 : FIRST_TABLE;
        Search* bigger;
        if (grown > MAX_SEARCHES) grown = MAX_SEARCHES;
        bigger = g_searches ? HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, g_searches, grown * sizeof(Search))
                            : HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, grown * sizeof(Search));
        if (bigger) {
            g_searches = bigger;
            i = g_capacity;
            g_capacity = grown;
            return (int)i;
        }
    }
    return -1;
}

HANDLE WINAPI QRFX_FindFirstFile(LPCSTR pattern, DWORD mask, GTFINDRECORD* rec) {
    WIN32_FIND_DATAA fd;
    HANDLE h;
    HANDLE result = QRFX_NO_HANDLE;
    int slot;
    if (!pattern || !*pattern || !rec) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return QRFX_NO_HANDLE;
    }
    h = FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE) return QRFX_NO_HANDLE;  /* the platform's reason stays */
    if (!seek(h, &fd, mask, 1)) {
        FindClose(h);
        SetLastError(ERROR_NO_MORE_FILES);
        return QRFX_NO_HANDLE;
    }
    EnterCriticalSection(&g_lock);
    slot = freeSlot();
    if (slot >= 0) {
        g_searches[slot].find = h;
        g_searches[slot].mask = mask;
        g_searches[slot].serial = g_nextSerial;
        g_nextSerial = (WORD)(g_nextSerial % MAX_SERIAL + 1);
        g_lowestFree = (DWORD)slot + 1;
        result = makeHandle((DWORD)slot, g_searches[slot].serial);
    }
    LeaveCriticalSection(&g_lock);
    if (result == QRFX_NO_HANDLE) {
        FindClose(h);
        SetLastError(ERROR_NO_MORE_SEARCH_HANDLES);
        return QRFX_NO_HANDLE;
    }
    fill(rec, &fd);
    return result;
}

BOOL WINAPI QRFX_FindNextFile(HANDLE search, GTFINDRECORD* rec) {
    WIN32_FIND_DATAA fd;
    HANDLE h;
    DWORD mask;
    int slot;
    if (!rec) return FALSE;
    EnterCriticalSection(&g_lock);
    slot = slotOf(search);
    h = slot >= 0 ? g_searches[slot].find : NULL;
    mask = slot >= 0 ? g_searches[slot].mask : 0;
    LeaveCriticalSection(&g_lock);
    if (slot < 0 || !seek(h, &fd, mask, 0)) return FALSE;
    fill(rec, &fd);
    return TRUE;
}

BOOL WINAPI QRFX_FindClose(HANDLE search) {
    HANDLE h = NULL;
    int slot;
    EnterCriticalSection(&g_lock);
    slot = slotOf(search);
    if (slot >= 0) {
        h = g_searches[slot].find;
        g_searches[slot].find = NULL;
        g_searches[slot].serial = 0;
        if ((DWORD)slot < g_lowestFree) g_lowestFree = (DWORD)slot;
    }
    LeaveCriticalSection(&g_lock);
    return slot >= 0 && FindClose(h);
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    (void)module;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) InitializeCriticalSection(&g_lock);
    /* Open searches end with the process; nothing to tear down. */
    return TRUE;
}
