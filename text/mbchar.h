// Multi-byte character stepping under the process's ANSI code page.
// Every string walk in the library goes through these, so a single-byte
// delimiter is only ever compared with the first byte of a character.
#pragma once
#include <cstddef>

namespace gt::mb {

// True when b is a lead byte of a double-byte character in the ANSI code page.
bool isLead(unsigned char b);

// Forward one whole character.  A lead byte followed by the terminator counts
// as one byte, so a walk never steps past a string's end.
const char* next(const char* p);
inline char* next(char* p) { return const_cast<char*>(next(static_cast<const char*>(p))); }

// Back one character, bounded by start; nullptr when p <= start.  Agrees
// with next(): a lead byte right before the terminator is a character of
// its own.
const char* prev(const char* start, const char* p);
inline char* prev(char* start, char* p) { return const_cast<char*>(prev(static_cast<const char*>(start), p)); }

// Byte length of the character at p (1 or 2; 0 at the terminator).
size_t charLen(const char* p);

// First / last character whose first byte is c (c != 0); nullptr when absent.
const char* findChar(const char* s, char c);
const char* findLastChar(const char* s, char c);

// First occurrence of pattern in s, on character boundaries; empty pattern
// matches at s.
const char* findStr(const char* s, const char* pattern);

// srcLen of copyToBuffer for "the whole text".
constexpr size_t kWholeText = static_cast<size_t>(-1);

// Copies whole characters of src, at most srcLen bytes of it, into dst, a
// buffer of bufferSize bytes with the terminator included; a double-byte
// character that does not fit is left out whole.  Returns the bytes copied
// before the terminator.  bufferSize 0 writes nothing; a null src copies an
// empty text; dst may overlap src.
size_t copyToBuffer(char* dst, size_t bufferSize, const char* src, size_t srcLen = kWholeText);

}  // namespace gt::mb
