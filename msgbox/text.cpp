// Message text reader: stReadString, stUnReadString, stSkipDigits,
// stFormatString, and the bounded formatting the other message functions
// share.
#include "msgbox/text.h"

#include <cstdlib>
#include <cstring>

#include "text/blockheap.h"
#include "text/mbchar.h"

namespace gt::msg {

namespace {

// Length of s without a lead byte left alone at its end: the platform's
// formatter cuts its output by bytes, and such a lead would pair with
// whatever text comes after it.
size_t lengthOfWholeChars(const char* s) {
    const size_t len = std::strlen(s);
    const char* last = mb::prev(s, s + len);
    if (last && last[1] == 0 && mb::isLead(static_cast<unsigned char>(*last))) return len - 1;
    return len;
}

}  // namespace

size_t formatV(char* dst, size_t size, const char* format, va_list args) {
    if (size == 0) return 0;
    // wvsprintfA writes at most 1024 bytes; the rest is a guard.
    char scratch[kExpandArea + 16] = {};
    wvsprintfA(scratch, format, args);
    scratch[kExpandArea - 1] = 0;
    return mb::copyToBuffer(dst, size, scratch, lengthOfWholeChars(scratch));
}

int loadText(HMODULE module, UINT id, char* area) {
    area[0] = 0;
    int n = LoadStringA(module, id, area, static_cast<int>(kLoadArea));
    if (n <= 0) {
        area[0] = 0;
        return 0;
    }
    return n;
}

char* expand(char* text, size_t size, DWORD context1, GTFORMATPROC proc, DWORD context2) {
    if (!text) return nullptr;
    // A local area rather than a shared one: a callback that formats other
    // texts (or another thread) cannot clobber it.
    char out[kExpandArea] = {};
    size_t cap = size < kExpandArea ? size : kExpandArea;
    if (cap == 0) return text;
    size_t n = 0;  // bytes in out; out[n] is always 0
    bool full = false;
    auto append = [&](const char* s, size_t len) {
        if (full) return;
        if (n + len > cap - 1) {
            // Cut at the capacity, whole characters only.
            n += mb::copyToBuffer(out + n, cap - n, s, lengthOfWholeChars(s));
            full = true;
            return;
        }
        std::memcpy(out + n, s, len);
        n += len;
        out[n] = 0;
    };
    const char* p = text;
    while (*p && !full) {
        if (*p != '%') {
            size_t len = mb::charLen(p);
            if (len == 2 || !mb::isLead(static_cast<unsigned char>(*p)) || p[1] != 0) {
                char ch[3] = {p[0], len == 2 ? p[1] : '\0', 0};
                append(ch, len);
            }
            p += len;
            continue;
        }
        ++p;  // the per-cent sign
        if (*p == '%') {
            append("%", 1);
            ++p;
            continue;
        }
        if (*p == 0) break;
        int number = std::atoi(p);
        if (number != 0) {
            if (proc) {
                if (const char* s = proc(number, context1, context2)) append(s, std::strlen(s));
            }
            p = stSkipDigits(p);
        }
        // number 0: the character after the per-cent sign is ordinary text.
    }
    out[n] = 0;
    std::memcpy(text, out, n + 1);
    return text;
}

}  // namespace gt::msg

namespace {

namespace msg = gt::msg;

// Block of the library's allocator that a text lives in, and the bytes from
// the text to the block's end; 0 when the text is not in one.  Asks the
// allocator's region table first, so no foreign memory is read.
size_t blockRoom(const char* text) {
    if (gt::heap::isLive(text)) return gt::heap::capacity(text);
    const char* block = text - sizeof(msg::kMarker);
    if (gt::heap::isLive(block) && std::memcmp(block, msg::kMarker, sizeof(msg::kMarker)) == 0)
        return gt::heap::capacity(block) - sizeof(msg::kMarker);
    return 0;
}

}  // namespace

extern "C" {

LPSTR GTAPIV stReadString(HMODULE module, UINT id, LPSTR buffer, int minCapacity, ...) {
    char loaded[msg::kLoadArea];
    int length = msg::loadText(module, id, loaded);
    if (length == 0) return nullptr;
    va_list args;
    va_start(args, minCapacity);
    if (buffer) {
        size_t size = minCapacity > 0 ? static_cast<size_t>(minCapacity) : msg::kExpandArea;
        msg::formatV(buffer, size, loaded, args);
        va_end(args);
        return buffer;
    }
    int n = length > minCapacity ? length : minCapacity;
    auto* block = static_cast<char*>(gtGlobalAllocPtr(GHND | GMEM_DDESHARE, static_cast<DWORD>(n) + 5));
    if (!block) {
        va_end(args);
        return nullptr;
    }
    std::memcpy(block, msg::kMarker, sizeof(msg::kMarker));
    msg::formatV(block + 4, static_cast<size_t>(n) + 1, loaded, args);
    va_end(args);
    return block + 4;
}

BOOL GTAPI stUnReadString(LPSTR text) {
    if (!text) return FALSE;
    char* block = text - sizeof(msg::kMarker);
    // Only blocks of our own allocator are looked at, so a text with nothing
    // readable before it is refused rather than read.
    if (!gt::heap::isLive(block)) return FALSE;
    if (std::memcmp(block, msg::kMarker, sizeof(msg::kMarker)) != 0) return FALSE;
    return gtGlobalFreePtr(block) ? TRUE : FALSE;
}

LPSTR GTAPI stSkipDigits(LPCSTR text) {
    if (!text) return nullptr;
    const char* p = text;
    while (*p && *p >= '0' && *p <= '9') p = gt::mb::next(p);
    return const_cast<LPSTR>(p);
}

LPSTR GTAPI stFormatString(LPSTR text, DWORD context1, GTFORMATPROC proc, DWORD context2) {
    if (!text) return nullptr;
    size_t room = blockRoom(text);
    return msg::expand(text, room ? room : msg::kExpandArea, context1, proc, context2);
}

}  // extern "C"
