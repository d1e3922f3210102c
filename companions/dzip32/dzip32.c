/*
 * DZIP32.DLL - PLACEHOLDER.  It does not write archives yet.
 *
 * `dzip` checks the command record's size field (188) and otherwise answers
 * DZ_ERR_NOT_SUPPORTED.  It never reports success: callers must not take a
 * zero result from this build to mean that an archive was written.
 */
#include <windows.h>

#define DZIP_CMD_SIZE 188
#define DZ_ERR_BAD_RECORD     0xFFFFFFFEu /* null record or wrong size field */
#define DZ_ERR_NOT_SUPPORTED  0xFFFFFFFFu /* archiving not built yet */

DWORD WINAPI dzip(void* cmd) {
    if (!cmd || *(const DWORD*)cmd != DZIP_CMD_SIZE) return DZ_ERR_BAD_RECORD;
    return DZ_ERR_NOT_SUPPORTED;
}
