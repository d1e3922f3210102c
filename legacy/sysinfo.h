// System information: the decisions behind the exports, on plain values.
#pragma once
#include <windows.h>

#include <string>

namespace gt::legacy {

// Text of a value from the runtime's fixed-point conversion: the digit
// string, the position of the decimal point in it and the sign.  "-" for a
// negative value, the digits before the point, ".", the rest.  A point
// position below 0 (a value under 0.1 with enough digits) gives the zeros
// between the point and the first digit: 0.05 with 2 digits is ".05".
std::string fixedPointText(const char* digits, int pointPosition, bool negative);

// True for the double-byte ANSI code pages (Japanese, Simplified Chinese,
// Korean, Traditional Chinese).
bool isDoubleByteCodePage(UINT codePage);
// True when the version word (major in the low byte, minor in the high byte)
// read as one number is 4 or more: 3.10 and every later version.
bool isWindows95OrLater(WORD versionWord);
// True for the device technologies with bit 1 set (raster printer, raster
// camera, display file).
bool isPrinterTechnology(int technology);

// Width of the caller's buffer for the locale date and time texts.
constexpr int kLocaleTextChars = 15;

}  // namespace gt::legacy
