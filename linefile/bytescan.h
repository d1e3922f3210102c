// Byte searches for the line scanner.  The runtime's memchr steps one byte
// at a time; these look at sixteen bytes a step where the processor can.
#pragma once
#include <cstddef>

namespace gt::linefile {

// First byte equal to c in [p, p+n), nullptr if none.
const char* findByte(const char* p, char c, size_t n);
// First byte that is not zero in [p, p+n), nullptr if none.
const char* findNonZero(const char* p, size_t n);

}  // namespace gt::linefile
