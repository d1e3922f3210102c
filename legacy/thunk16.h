// Calls into 16-bit code through the entry points the frame resolved at
// attach (the 16-bit loader ordinals, QT_Thunk and the pointer mapping
// pair).  The glue itself is in thunk16.cpp; everything above it works on
// plain values.
#pragma once
#include <windows.h>

#include <cstddef>

#include "frame/frame.h"

namespace gt::legacy {

using Handle16 = WORD;   // a 16-bit module or instance handle
using SegPtr = DWORD;    // a 16:16 far pointer
constexpr Handle16 kFirstValidHandle16 = 32;  // smaller values are loader errors

// The arguments of one 16-bit pascal call, laid out as they lie on the 16-bit
// stack: the last argument at the lowest address.  Add them first to last.
class Args16 {
public:
    void word(WORD v);
    void dword(DWORD v);  // far pointers and longs
    const BYTE* data() const { return bytes_ + (sizeof(bytes_) - size_); }
    DWORD size() const { return size_; }

private:
    BYTE bytes_[32] = {};
    DWORD size_ = 0;
};

// How the 32-bit side reaches 16-bit code.  Tests substitute a recorder.
struct Thunk16 {
    virtual ~Thunk16() = default;
    virtual Handle16 load(const char* name) = 0;               // ordinal 35
    virtual void free(Handle16 module) = 0;                    // ordinal 36
    virtual SegPtr procedure(Handle16 module, const char* name) = 0;  // ordinal 37
    // Calls proc; the low 16 bits of the result are its AX.
    virtual DWORD call(SegPtr proc, const Args16& args) = 0;
    // Maps a 32-bit pointer to a 16:16 alias for the call; unmap afterwards.
    virtual SegPtr map(void* p) = 0;
    virtual void unmap(SegPtr alias) = 0;
};

// The thunk in force: the platform's when the frame resolved all six entry
// points, else nullptr (every 16-bit function then reports failure).
Thunk16* thunk16();
// Test hook: replaces the thunk (nullptr puts the platform's back).
void setThunk16ForTests(Thunk16* thunk);

// The platform thunk over given entry points (exposed for tests that check
// the QT_Thunk path on its own).  callPath chooses how calls are made.
enum class CallPath { Automatic, QtThunk, WowCallback };
Thunk16* platformThunk16(const frame::Thunks& entries, CallPath path);

}  // namespace gt::legacy
