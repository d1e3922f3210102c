// Message texts: the formatting and expansion shared by the message boxes,
// the status windows and the window-text helpers.  Everything here writes
// within an explicit capacity; a result that does not fit is cut at a
// character boundary.
#pragma once
#include <windows.h>

#include <cstdarg>
#include <cstddef>

#include "gtapi32.h"

namespace gt::msg {

// Loaded string resources: at most 255 characters.
constexpr size_t kLoadArea = 256;
// Work area of the placeholder expansion.
constexpr size_t kExpandArea = 1024;
// Formatted texts of the message boxes, status windows and window texts,
// terminator included.
constexpr size_t kFormatArea = 728;

// Formats with the platform's wvsprintfA into dst (size bytes, terminator
// included), cut at the capacity.  Returns the length written.
size_t formatV(char* dst, size_t size, const char* format, va_list args);

// Loads string `id` of `module` into area (kLoadArea bytes); its length, 0
// when the string is missing or empty.
int loadText(HMODULE module, UINT id, char* area);

// Placeholder expansion of stFormatString into text, which holds `size`
// bytes (terminator included).
char* expand(char* text, size_t size, DWORD context1, GTFORMATPROC proc, DWORD context2);

// The four bytes before a text made by stReadString without a buffer.
constexpr char kMarker[4] = {'~', 's', 't', '~'};

}  // namespace gt::msg
