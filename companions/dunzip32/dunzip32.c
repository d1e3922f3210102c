/*
 * DUNZIP32.DLL - PLACEHOLDER.  It does not extract archives yet.
 *
 * `dunzip` checks the command record's size field (142) and otherwise answers
 * DUZ_ERR_NOT_SUPPORTED.  It never reports success: callers must not take a
 * zero result from this build to mean that anything was extracted.
 */
#include <windows.h>

#define DUNZIP_CMD_SIZE 142
#define DUZ_ERR_BAD_RECORD     0xFFFFFFFEu /* null record or wrong size field */
#define DUZ_ERR_NOT_SUPPORTED  0xFFFFFFFFu /* extraction not built yet */

DWORD WINAPI dunzip(void* cmd) {
    if (!cmd || *(const DWORD*)cmd != DUNZIP_CMD_SIZE) return DUZ_ERR_BAD_RECORD;
    return DUZ_ERR_NOT_SUPPORTED;
}
