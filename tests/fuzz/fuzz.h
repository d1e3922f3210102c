// The fuzz harness: deterministic generators ("families") that call the
// library as a hostile caller would and check what must hold whatever the
// input.  Every case is made from one 32-bit seed; a failing case prints
// its family and seed, and `fuzz_gtapi32 FAMILY --seed S --cases 1` runs
// exactly that case again.
//
// A family is one file:
//
//     #include "fuzz.h"
//     GT_FUZZ_FAMILY(name) {      // c is the fuzz::Case
//         std::string s = c.text(40, fuzz::kAsciiBytes);
//         ...
//         c.check(result == expected, "what must hold");
//     }
//
// plus one line `gt_fuzz_family(name)` in tests/fuzz/CMakeLists.txt.  A case
// must make and release everything it uses, so that its seed alone decides
// what it does.
#pragma once
#include <windows.h>

#include <cstdint>
#include <random>
#include <string>

namespace fuzz {

class Case {
public:
    explicit Case(uint32_t seed) : seed_(seed), rng_(seed) {}

    uint32_t seed() const { return seed_; }
    // Uniform in [0, n) (0 for n == 0).
    uint32_t below(uint32_t n) { return n ? static_cast<uint32_t>(rng_() % n) : 0; }
    uint32_t word() { return static_cast<uint32_t>(rng_()); }
    bool chance(int percent) { return below(100) < static_cast<uint32_t>(percent); }
    // Mostly short lengths, sometimes up to max.
    size_t length(size_t max) { return chance(70) ? below(static_cast<uint32_t>(max < 16 ? max + 1 : 17)) : below(static_cast<uint32_t>(max + 1)); }
    // A text of up to max bytes drawn from `alphabet` (no zero byte).
    std::string text(size_t max, const std::string& alphabet);
    template <class T>
    const T& pick(std::initializer_list<T> values) { return values.begin()[below(static_cast<uint32_t>(values.size()))]; }

    // Records a failed fact (the first one is reported with the seed).
    bool check(bool ok, const std::string& fact);
    bool failed() const { return failed_; }
    const std::string& firstFailure() const { return first_; }

private:
    uint32_t seed_;
    std::mt19937 rng_;
    bool failed_ = false;
    std::string first_;
};

// Alphabets of the generators: plain letters and separators; the bytes that
// make double-byte characters under code page 932 (lead bytes, trail bytes
// that look like '\' or '|'); the lot.
extern const std::string kAsciiBytes;
extern const std::string kPathBytes;
extern const std::string kDbcsBytes;

// Files of the families that work on disk.  scratchDir makes (once per
// call) "<temp>\\gtfuzz_<tag>_<pid>\\" and returns it with its backslash.
std::string scratchDir(const char* tag);
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);  // empty when missing
// Removes everything under dir (dir itself stays) and tells what was there.
struct TreeStats {
    size_t files = 0;
    size_t largest = 0;
};
TreeStats removeTree(const std::string& dir);

using FamilyFn = void (*)(Case&);
int registerFamily(const char* name, FamilyFn fn);

// Bytes placed flush against an inaccessible page, so that reading or
// writing one byte past them faults at once.  The bytes before them are
// readable and writable as far as the page start.
class Guarded {
public:
    explicit Guarded(size_t size, unsigned char fill = 0xA5);
    // A copy of s with its terminator as the last byte before the guard.
    static Guarded text(const std::string& s);
    ~Guarded();
    Guarded(const Guarded&) = delete;
    Guarded& operator=(const Guarded&) = delete;
    Guarded(Guarded&& other) noexcept;

    char* data() const { return data_; }
    size_t size() const { return size_; }

private:
    void* base_ = nullptr;
    char* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace fuzz

#define GT_FUZZ_FAMILY(name)                                                              \
    static void gtFuzzFamily_##name(fuzz::Case& c);                                       \
    static const int gtFuzzRegistered_##name = fuzz::registerFamily(#name, gtFuzzFamily_##name); \
    static void gtFuzzFamily_##name(fuzz::Case& c)
