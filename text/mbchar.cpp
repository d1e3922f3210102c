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

void resetCodePage() { fill(); }

const char* next(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    if (table().lead[u[0]] && u[1] != 0) return p + 2;
    return p + 1;
}

size_t charLen(const char* p) {
    if (*p == 0) return 0;
    return static_cast<size_t>(next(p) - p);
}

const char* prev(const char* start, const char* p) {
    if (!start || !p || p <= start) return nullptr;
    const auto& t = table().lead;
    const auto* s = reinterpret_cast<const unsigned char*>(start);
    const auto* cur = reinterpret_cast<const unsigned char*>(p);
    const unsigned char* temp = cur - 1;
    // A byte with a lead-byte value right before p cannot be a single-byte
    // character, so it is the trail of the character that starts before it.
    if (t[*temp]) return temp - 1 >= s ? reinterpret_cast<const char*>(temp - 1) : start;
    // Count the run of lead-valued bytes before temp: an odd run means temp
    // is a trail byte.
    while (s <= --temp && t[*temp]) {
    }
    return reinterpret_cast<const char*>(cur - 1 - ((cur - temp) & 1));
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
