// Memory blocks: gtGlobal*Ptr family and gtIncrementPtr.
// Flags are accepted for compatibility and ignored: every block is fixed in
// place and zero-filled.
#include "gtapi32.h"
#include "text/blockheap.h"
#include "text/mbchar.h"

extern "C" {

LPVOID GTAPI gtGlobalAllocPtr(UINT /*flags*/, DWORD size) { return gt::heap::allocate(size); }

BOOL GTAPI gtGlobalFreePtr(LPVOID block) { return gt::heap::release(block) ? TRUE : FALSE; }

LPVOID GTAPI gtGlobalReAllocPtr(LPVOID block, DWORD size, UINT /*flags*/) {
    if (!block || size == 0) return nullptr;
    return gt::heap::reallocate(block, size);
}

LPVOID GTAPI gtGlobalUnlockPtr(LPVOID block) { return block; }

LPVOID GTAPI gtGlobalAllocPtrEx(UINT flags, DWORD minSize, LPDWORD size) {
    if (!size) return nullptr;
    DWORD request = *size ? *size : 65500;
    for (;;) {
        if (LPVOID p = gtGlobalAllocPtr(flags, request)) {
            *size = request;
            return p;
        }
        // Lower by 1 KiB, never below the minimum; stop once the minimum
        // itself (or nothing smaller) has failed.
        if (request <= minSize || request <= 1) return nullptr;
        DWORD lower = request > 1024 ? request - 1024 : 1;
        request = lower < minSize ? minSize : lower;
        if (request == 0) return nullptr;
    }
}

LPSTR GTAPI gtIncrementPtr(LPCSTR text, int count) {
    if (!text) return nullptr;
    const char* p = text;
    for (int i = 0; i < count; ++i) p = gt::mb::next(p);
    return const_cast<LPSTR>(p);
}

}  // extern "C"
