#include "text/memprobe.h"

#include <windows.h>

namespace gt::mem {
namespace {

bool committedWith(const void* p, size_t size, DWORD access) {
    if (!p) return false;
    auto* cur = static_cast<const BYTE*>(p);
    if (size > static_cast<size_t>(-1) - reinterpret_cast<size_t>(cur)) return false;
    const BYTE* end = cur + size;
    while (cur < end) {
        MEMORY_BASIC_INFORMATION mbi{};
        if (!VirtualQuery(cur, &mbi, sizeof mbi)) return false;
        // A guard page (the next page of a growing stack) counts: the access
        // itself commits it.
        if (mbi.State != MEM_COMMIT || !(mbi.Protect & access)) return false;
        cur = static_cast<const BYTE*>(mbi.BaseAddress) + mbi.RegionSize;
    }
    return true;
}

}  // namespace

bool isWritable(void* p, size_t size) {
    return committedWith(p, size, PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY);
}

bool isReadable(const void* p, size_t size) {
    return committedWith(p, size,
                         PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                             PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY);
}

}  // namespace gt::mem
