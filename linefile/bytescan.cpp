// Sixteen bytes a step with SSE2 when the processor has it (every processor
// that runs a current Windows does); the runtime's byte loop otherwise.
#include "linefile/bytescan.h"

#include <windows.h>
#include <emmintrin.h>

#include <cstring>

namespace gt::linefile {
namespace {

const bool g_sse2 = IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != FALSE;

// Index of the first set bit of a 16-bit mask (mask != 0).
inline size_t firstBit(unsigned mask) { return static_cast<size_t>(__builtin_ctz(mask)); }

// want: true looks for c, false for a byte other than c.
__attribute__((target("sse2"), force_align_arg_pointer)) const char* scan16(const char* p, char c, size_t n,
                                                                            bool want) {
    const __m128i needle = _mm_set1_epi8(c);
    const unsigned flip = want ? 0u : 0xFFFFu;
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        unsigned m = (static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, needle))) ^ flip) & 0xFFFFu;
        if (m) return p + i + firstBit(m);
    }
    for (; i < n; ++i)
        if ((p[i] == c) == want) return p + i;
    return nullptr;
}

}  // namespace

const char* findByte(const char* p, char c, size_t n) {
    if (g_sse2) return scan16(p, c, n, true);
    return static_cast<const char*>(std::memchr(p, c, n));
}

const char* findNonZero(const char* p, size_t n) {
    if (g_sse2) return scan16(p, 0, n, false);
    for (size_t i = 0; i < n; ++i)
        if (p[i]) return p + i;
    return nullptr;
}

}  // namespace gt::linefile
