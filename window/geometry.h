// Rectangle arithmetic of the window helpers, apart from the Win32 calls so
// that it can be checked with any work area.
#pragma once
#include <windows.h>

namespace gt::win {

// Moves r, keeping its size, into area: right edge first, then left, bottom,
// top, so a rectangle larger than the area ends at its left or top edge.
// The result is never inverted, whatever the input's edges (see fitAxis).
RECT fitRect(RECT r, const RECT& area);

// Centre of a reference rectangle, truncating toward zero.
POINT centreOf(const RECT& ref);

// The w-by-h rectangle centred on `centre` (half sizes truncated), fitted
// into area.
RECT centredRect(POINT centre, int w, int h, const RECT& area);

}  // namespace gt::win
