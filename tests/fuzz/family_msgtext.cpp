// Message texts: placeholder expansion of texts anywhere inside library
// blocks (the block behind stays untouched) and in caller buffers of the
// documented 1024 bytes; resource texts formatted into buffers of exactly
// the minimum capacity; releases of texts that stReadString did not make.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz.h"
#include "gtapi32.h"

namespace {

std::vector<std::string> g_inserts;  // what the callback hands out, by number

LPCSTR GTCALLBACK insert(int number, DWORD, DWORD) {
    if (number <= 0 || static_cast<size_t>(number) > g_inserts.size()) return nullptr;
    return g_inserts[static_cast<size_t>(number) - 1].c_str();
}

std::string anyFormat(fuzz::Case& c, const std::string& alphabet, size_t max) {
    std::string s;
    while (s.size() < max && !c.chance(8)) s += c.chance(30) ? "%" + std::to_string(c.below(6)) : c.text(6, alphabet);
    return s.substr(0, max);
}

// Expansion inside a block of `size` bytes at a random offset; a second
// block of the same size (usually the next slot) must keep its bytes.
void inBlock(fuzz::Case& c, const std::string& alphabet) {
    const DWORD size = c.pick({16u, 40u, 64u, 300u, 5000u, 16384u, 70000u});
    auto* a = static_cast<char*>(gtGlobalAllocPtr(0x42, size));
    auto* b = static_cast<char*>(gtGlobalAllocPtr(0x42, size));
    if (!c.check(a && b, "two blocks")) return;
    std::memset(b, 'B', size);
    const DWORD off = c.below(size);
    const std::string format = anyFormat(c, alphabet, size - off - 1);
    std::memcpy(a + off, format.c_str(), format.size() + 1);
    c.check(stFormatString(a + off, 1, insert, 2) == a + off, "stFormatString gives its text");
    bool intact = true;
    for (DWORD i = 0; i < size; ++i) intact = intact && b[i] == 'B';
    c.check(intact, "the next block keeps its bytes (text at " + std::to_string(off) + " of " + std::to_string(size) + ")");
    gtGlobalFreePtr(a);
    gtGlobalFreePtr(b);
}

void inBuffer(fuzz::Case& c, const std::string& alphabet) {
    fuzz::Guarded buffer(1024);
    const std::string format = anyFormat(c, alphabet, 1023);
    std::memcpy(buffer.data(), format.c_str(), format.size() + 1);
    stFormatString(buffer.data(), 0, c.chance(10) ? nullptr : insert, 0);
    c.check(strnlen(buffer.data(), 1024) < 1024, "an expansion in a 1024-byte buffer stays terminated");
}

void readString(fuzz::Case& c, const std::string& alphabet) {
    HMODULE self = GetModuleHandleA("gtapi32.dll");
    const UINT id = c.pick({28034u, 28001u, 28035u, 27999u, 28100u});
    const int minimum = c.pick({-5, 0, 1, 2, 5, 20, 300});
    const std::string arg = c.text(c.chance(20) ? 3000 : 30, alphabet);
    if (c.chance(50)) {
        fuzz::Guarded buffer(minimum > 0 ? static_cast<size_t>(minimum) : 1024);
        LPSTR r = stReadString(self, id, buffer.data(), minimum, arg.c_str());
        if (r) c.check(r == buffer.data(), "stReadString with a buffer gives the buffer");
        if (r) c.check(strnlen(buffer.data(), buffer.size()) < buffer.size(), "the formatted text fits the buffer");
        c.check(stUnReadString(buffer.data()) == FALSE, "a caller's buffer is not released");
        return;
    }
    LPSTR t = stReadString(self, id, nullptr, minimum, arg.c_str());
    if (!t) return;
    // Texts inside the block that are not its text are refused.
    c.check(stUnReadString(t + 1 + c.below(4)) == FALSE, "an interior text is not released");
    c.check(stUnReadString(t) != FALSE, "the marked text is released");
    c.check(stUnReadString(t) == FALSE, "a released text is not released again");
}

}  // namespace

GT_FUZZ_FAMILY(msgtext) {
    const std::string& alphabet = GetACP() == 932 && c.chance(80) ? fuzz::kDbcsBytes : fuzz::kAsciiBytes;
    g_inserts.clear();
    for (int i = 0; i < 5; ++i) g_inserts.push_back(c.text(c.chance(10) ? 3000 : 40, alphabet));
    switch (c.below(3)) {
        case 0: inBlock(c, alphabet); break;
        case 1: inBuffer(c, alphabet); break;
        default: readString(c, alphabet); break;
    }
}
