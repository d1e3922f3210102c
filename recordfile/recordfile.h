// Record-file internals: record arithmetic, the plan of a record removal,
// name conversion for compound documents, and the cursor walks shared by the
// native and the stream record files.  Plain functions; tests call them
// directly.
#pragma once
#include <windows.h>

#include <string>

class ZFile;

namespace gt::recordfile {

// --- record arithmetic --------------------------------------------------------

// Number (1-based) of the record that holds `offset`; the offset just after
// the last record gives the count plus 1.  0 for a record length below 1.
WORD recordNumber(long offset, DWORD header, long recLen);
// Whole records after the header, full width; 0 for a record length below 1
// or a file shorter than its header.
long wholeRecords(long length, DWORD header, long recLen);
// The same delivered in 16 bits, as the interface reports it.
inline WORD totalRecords(long length, DWORD header, long recLen) {
    return static_cast<WORD>(wholeRecords(length, header, recLen));
}

// What removing the record at `offset` does to a file of `size` bytes.
struct RemovePlan {
    enum Kind {
        Refuse,      // bad length, offset off the record grid or past the records
        Truncate,    // nothing follows the record: cut the file at offset
        MoveTail,    // move the bytes after the record down by recLen
    } kind;
    long tailBytes;   // bytes after the record (MoveTail)
    long newSize;     // size afterwards
    bool onlyRecord;  // the record was the only one (the position stays at offset)
};
RemovePlan planRemove(long size, DWORD header, long offset, long recLen);

// --- names of compound documents ---------------------------------------------

// The longest element name the compound-file format stores (without the
// terminator).
constexpr size_t kMaxElementName = 31;
// Narrow (ANSI code page) to wide, refused when the conversion fails or the
// result would hold more than maxChars characters.  Every call converts into
// its own string: no buffer is shared between calls or threads.
bool widen(const char* name, size_t maxChars, std::wstring& out);

// --- compound document check ---------------------------------------------------

// Reads `count` bytes at `offset` of the file; returns the count read.
using ReadAt = long (*)(void* ctx, unsigned long offset, void* dst, long count);
enum class Compound {
    NotCompound,  // no compound-document signature
    Sound,        // header, sector tables, directory and every chain consistent
    Corrupt,      // a chain or link runs outside the file, loops or is cross-linked
    Unreadable,   // the file could not be read here (missing, locked)
};
// Sound means a reader that follows the chains and links cannot run off the
// file, loop or meet a sector twice.
Compound checkCompound(ReadAt read, void* ctx, unsigned long fileSize);
Compound checkCompound(const wchar_t* path);

// --- cursor walks (both record-file kinds) ---------------------------------------

// setCodes false: the walks leave the error code to the primitives (streams).
BOOL firstRecord(ZFile& f, void* buf, int len, int& cursor, bool setCodes);
BOOL nextRecord(ZFile& f, void* buf, int len, int& cursor, bool setCodes);
int lastRecord(ZFile& f, void* buf, int len, bool setCodes);
int previousRecord(ZFile& f, int distance, void* buf, int len, bool setCodes);

}  // namespace gt::recordfile
