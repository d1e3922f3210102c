#include "text/mbchar.h"

#include <windows.h>

#include <atomic>
#include <cstring>

namespace gt::mb {
namespace {

struct LeadTable {
    bool lead[256];
};

LeadTable g_table;
std::atomic<int> g_ready{0};

void fill() {
    LeadTable t{};
    CPINFO info{};
    if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1) {
        for (int i = 0; i < MAX_LEADBYTES && (info.LeadByte[i] || info.LeadByte[i + 1]); i += 2)
            for (int b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) t.lead[b] = true;
    }
    g_table = t;  // filling twice gives the same table, so a race is harmless
    g_ready.store(1, std::memory_order_release);
}

inline const LeadTable& table() {
    if (!g_ready.load(std::memory_order_acquire)) fill();
    return g_table;
}

}  // namespace

bool isLead(unsigned char b) { return table().lead[b]; }

const char* next(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    if (table().lead[u[0]] && u[1] != 0) return p + 2;
    return p + 1;
}

size_t charLen(const char* p) {
    if (*p == 0) return 0;
    return static_cast<size_t>(next(p) - p);
}

namespace {

// Bytes with lead-byte values in a row right before end, none before start.
size_t leadRun(const unsigned char* start, const unsigned char* end) {
    const auto& t = table().lead;
    size_t n = 0;
    while (end - n > start && t[end[-1 - static_cast<ptrdiff_t>(n)]]) ++n;
    return n;
}

}  // namespace

const char* prev(const char* start, const char* p) {
    if (!start || !p || p <= start) return nullptr;
    const auto* s = reinterpret_cast<const unsigned char*>(start);
    const auto* cur = reinterpret_cast<const unsigned char*>(p);
    // A byte without a lead-byte value ends a character, whatever it is; the
    // lead-valued bytes after it pair up from there as next() pairs them.
    // An odd run ends in a lead byte (alone before the terminator), an even
    // one in a trail byte.
    const size_t run = leadRun(s, cur);
    if (run > 0) return p - ((run & 1) ? 1 : 2);
    // A single byte, or the trail of a lead byte that an odd run ends with.
    return p - 1 - (leadRun(s, cur - 1) & 1);
}

size_t copyToBuffer(char* dst, size_t bufferSize, const char* src, size_t srcLen) {
    if (bufferSize == 0) return 0;
    size_t n = 0;
    for (const char* p = src; p && *p && n < srcLen;) {
        const size_t len = charLen(p);
        if (n + len > bufferSize - 1 || n + len > srcLen) break;
        n += len;
        p += len;
    }
    if (n) std::memmove(dst, src, n);
    dst[n] = 0;
    return n;
}

const char* findChar(const char* s, char c) {
    if (!s) return nullptr;
    for (const char* p = s; *p; p = next(p))
        if (*p == c) return p;
    return nullptr;
}

const char* findLastChar(const char* s, char c) {
    if (!s) return nullptr;
    const char* last = nullptr;
    for (const char* p = s; *p; p = next(p))
        if (*p == c) last = p;
    return last;
}

const char* findStr(const char* s, const char* pattern) {
    if (!s || !pattern) return nullptr;
    size_t n = std::strlen(pattern);
    if (n == 0) return s;
    for (const char* p = s; *p; p = next(p))
        if (std::strncmp(p, pattern, n) == 0) return p;
    return nullptr;
}

}  // namespace gt::mb
