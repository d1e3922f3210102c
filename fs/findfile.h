// The find-file service: VAVEVO32.dll's three entries, loaded on first use
// from the library's own directory, and the conversion of its 332-byte
// record into GTFINDDATA.  Other file-system code that needs the raw record
// searches through first/next/close here.
#pragma once
#include <windows.h>

#include "gtapi32.h"

namespace gt::find {

using FirstFn = HANDLE(WINAPI*)(LPCSTR pattern, DWORD mask, GTFINDRECORD* record);
using NextFn = BOOL(WINAPI*)(HANDLE search, GTFINDRECORD* record);
using CloseFn = BOOL(WINAPI*)(HANDLE search);

// The library's "nothing matches" answer.
inline HANDLE noSearch() { return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0xFFFFFFFFu)); }

struct Service {
    HMODULE lib;
    FirstFn first;
    NextFn next;
    CloseFn close;
    bool ready() const { return lib && first && next && close; }
};

constexpr const char* kLibraryName = "VAVEVO32.dll";

// Loads fileName from the directory of `module` and resolves the three
// entries; all or nothing (a library without them is released again).
Service load(HMODULE module, const char* fileName);

// The process's service: loaded once, on the first search.  A missing
// library stays missing for the process; every search then finds nothing.
const Service& service();

// What a first search came to.  Only Empty says that nothing matches;
// Failed covers a missing service, a refused pattern, too many open
// searches and every other error the service or the platform reports.
enum class Outcome { Found, Empty, Failed };

// The outcome of the service's first-search answer, given the last error
// it left (read right after the call).
Outcome classify(HANDLE answer, DWORD lastError);

struct FirstResult {
    HANDLE search;  // 0 unless Found
    Outcome outcome;
};

// Searches through `svc`.  first() gives handle 0 unless something matches;
// its outcome says why (a missing service is Failed).  next() and close()
// give FALSE for handle 0 or a missing service.
FirstResult first(const Service& svc, LPCSTR pattern, DWORD mask, GTFINDRECORD* record);
BOOL next(const Service& svc, HANDLE search, GTFINDRECORD* record);
BOOL close(const Service& svc, HANDLE search);

// Converts one record into a cleared GTFINDDATA (directory-report flag 0).
void convert(const GTFINDRECORD& record, GTFINDDATA& out);

}  // namespace gt::find
