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
 * Search handles are slot numbers with a serial in the high half, checked
 * on every call, so a stale or made-up handle is refused rather than
 * followed.
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

#define MAX_SEARCHES 4096

_Static_assert(sizeof(GTFINDRECORD) == 332, "find record layout");
_Static_assert(offsetof(GTFINDRECORD, dwDosTime) == 320, "find record layout");
_Static_assert(offsetof(GTFINDRECORD, dwDosDate) == 324, "find record layout");

typedef struct Search {
    HANDLE find;  /* the platform's search */
    DWORD mask;   /* the first call's mask holds for the whole search */
    WORD serial;  /* 0: slot free */
} Search;

static Search g_searches[MAX_SEARCHES];
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

static HANDLE makeHandle(int slot, WORD serial) { return (HANDLE)(ULONG_PTR)(((DWORD)serial << 16) | (DWORD)(slot + 1)); }

/* The slot of a live handle, or -1.  Call under the lock. */
static int slotOf(HANDLE handle) {
    const DWORD v = (DWORD)(ULONG_PTR)handle;
    const DWORD slot = (v & 0xFFFFu) - 1;
    const WORD serial = (WORD)(v >> 16);
    if (serial == 0 || slot >= MAX_SEARCHES) return -1;
    if (g_searches[slot].serial != serial) return -1;
    return (int)slot;
}

HANDLE WINAPI QRFX_FindFirstFile(LPCSTR pattern, DWORD mask, GTFINDRECORD* rec) {
    WIN32_FIND_DATAA fd;
    HANDLE h;
    HANDLE result = QRFX_NO_HANDLE;
    int i;
    if (!pattern || !*pattern || !rec) return QRFX_NO_HANDLE;
    h = FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE) return QRFX_NO_HANDLE;
    if (!seek(h, &fd, mask, 1)) {
        FindClose(h);
        return QRFX_NO_HANDLE;
    }
    EnterCriticalSection(&g_lock);
    for (i = 0; i < MAX_SEARCHES; ++i) {
        if (g_searches[i].serial == 0) {
            g_searches[i].find = h;
            g_searches[i].mask = mask;
            g_searches[i].serial = g_nextSerial;
            /* Serials run 1..0x7FFF so that no handle is 0xFFFFFFFF. */
            g_nextSerial = (WORD)(g_nextSerial % 0x7FFF + 1);
            result = makeHandle(i, g_searches[i].serial);
            break;
        }
    }
    LeaveCriticalSection(&g_lock);
    if (result == QRFX_NO_HANDLE) {
        FindClose(h);
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
