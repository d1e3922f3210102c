// Process-wide state of the library, written once at process attach and
// only read afterwards.  Every family that needs the module handle, the
// driver, the 16-bit thunks or the archiving entries reads it from here.
#pragma once
#include <windows.h>

namespace gt::frame {

struct Thunks {
    FARPROC loadLibrary16;     // KERNEL32 ordinal 35
    FARPROC freeLibrary16;     // KERNEL32 ordinal 36
    FARPROC getProcAddress16;  // KERNEL32 ordinal 37
    FARPROC qtThunk;
    FARPROC smapLS;
    FARPROC sunmapLS;
    bool complete() const {
        return loadLibrary16 && freeLibrary16 && getProcAddress16 && qtThunk && smapLS && sunmapLS;
    }
};

struct State {
    HMODULE module;
    HANDLE driver;
    Thunks thunks;
    HMODULE zipLib;
    FARPROC dzip;
    HMODULE unzipLib;
    FARPROC dunzip;
};

// The state; zero until attach.
const State& state();
// The library's own module handle (resources, own directory).
inline HMODULE module() { return state().module; }

// Process attach: the four start-up steps in order.  FALSE fails the load.
BOOL attach(HMODULE module);

// --- pieces of attach, exposed for tests ---
using OrdinalLookup = FARPROC (*)(int ordinal);
// Entry n (>= 1) of KERNEL32's export address table, 0 when out of range.
FARPROC kernel32Ordinal(int ordinal);
// Resolves the six thunk entry points, all or none.
Thunks resolveThunks(OrdinalLookup lookup);
// Loads a companion library (the archivers, the find library) from the
// directory of `module` with the platform's error boxes off, and looks up
// `entry`.
HMODULE loadCompanion(HMODULE module, const char* fileName, const char* entry, FARPROC* proc);
// Test hooks: stand in for what attach found (missing 16-bit entries, a
// driver handle served by a fake device seam).
void setThunksForTests(const Thunks& thunks);
void setDriverForTests(HANDLE driver);

}  // namespace gt::frame
