// Legacy system access with hostile arguments: library and module names,
// environment reads into buffers flush against a guard page, dates and
// times, fixed-point numbers and absolute reads with made-up drives.  What
// must hold: results within the caller's buffers, terminated, nothing
// written past them (the guard page would fault).
#include <cmath>
#include <cstring>
#include <string>

#include "fuzz.h"
#include "gtapi32.h"

namespace {

void namesAndModules(fuzz::Case& c) {
    const std::string name = c.text(300, c.chance(50) ? fuzz::kPathBytes : fuzz::kDbcsBytes);
    fuzz::Guarded text = fuzz::Guarded::text(name);
    if (HMODULE h = gtLoadLibraryEx(text.data())) FreeLibrary(h);
    gtIsModuleFileLoaded(text.data());
    const WORD size = static_cast<WORD>(c.below(300));
    fuzz::Guarded out(size ? size : 1);
    const char* module = c.pick<const char*>({"gtapi32.dll", "kernel32", "", "no such module"});
    if (gtGetModulePathEx(module, c.below(3), out.data(), size))
        c.check(std::memchr(out.data(), 0, size) != nullptr, "a module path is terminated inside its buffer");
}

void environment(fuzz::Case& c) {
    const std::string value = c.text(400, fuzz::kDbcsBytes);
    SetEnvironmentVariableA("GT_FUZZ_VALUE", value.empty() ? nullptr : value.c_str());
    const WORD size = static_cast<WORD>(c.below(500));
    fuzz::Guarded out(size ? size : 1);
    LPSTR got = gtGetEnv("GT_FUZZ_VALUE", c.chance(30) ? nullptr : out.data(), size);
    if (got) {
        c.check(std::strlen(got) < size, "a value fits its size");
        // The platform stores the value in Unicode: compare with its own answer.
        char expected[512] = {};
        GetEnvironmentVariableA("GT_FUZZ_VALUE", expected, sizeof(expected));
        c.check(std::strcmp(expected, got) == 0, "the value is the variable's");
        if (got != out.data()) c.check(gtGlobalFreePtr(got) == TRUE, "an allocated value is a block");
    }
    SetEnvironmentVariableA("GT_FUZZ_VALUE", nullptr);
}

void datesTimesNumbers(fuzz::Case& c) {
    WORD triple[3] = {static_cast<WORD>(c.below(40)), static_cast<WORD>(c.below(70)),
                      static_cast<WORD>(c.chance(50) ? 1900 + c.below(300) : c.word())};
    fuzz::Guarded text(15);
    if (gtConvertDateToStr(triple, text.data()))
        c.check(std::memchr(text.data(), 0, 15) != nullptr, "a date text holds at most 15 characters");
    if (gtConvertTimeToStr(triple, text.data()))
        c.check(std::memchr(text.data(), 0, 15) != nullptr, "a time text holds at most 15 characters");

    float value;
    do {
        const DWORD bits = c.word();
        std::memcpy(&value, &bits, sizeof(value));
    } while (!std::isfinite(value));
    const int digits = static_cast<int>(c.below(7));
    // Sign, 39 integer digits, point, digits, terminator.
    fuzz::Guarded number(1 + 39 + 1 + digits + 1);
    if (gtFloatToFloatStr(value, digits, number.data()))
        c.check(std::strchr(number.data(), '.') != nullptr, "a fixed-point text has its point");
}

void absoluteReads(fuzz::Case& c) {
    const int drive = static_cast<int>(c.below(34)) - 4;
    const WORD count = static_cast<WORD>(c.below(4));
    fuzz::Guarded buffer(count ? count * 512u : 1u);
    DWORD error = 0x5A5A5A5A;
    const BOOL ok = gtAbsRead(drive, c.below(4000), count, buffer.data(), c.chance(50) ? &error : nullptr);
    if (drive < 0) c.check(!ok, "a negative drive is refused");
}

}  // namespace

GT_FUZZ_FAMILY(legacy) {
    switch (c.below(4)) {
    case 0: namesAndModules(c); break;
    case 1: environment(c); break;
    case 2: datesTimesNumbers(c); break;
    default: absoluteReads(c); break;
    }
}
