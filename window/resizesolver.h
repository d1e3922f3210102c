// The resize layout as plain data: a snapshot of control rectangles, a rule
// table and the dialog's base units in, the new snapshot, the rules' done
// flags and offsets in pixels and an outcome out.  No window is touched, so
// the rules can be checked on any layout.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "gtapi32.h"

namespace gt::win {

constexpr int kAttrCount = 6;  // left, top, right, bottom, width, height

// One control (or, first in a snapshot, the window's client area), in the
// window's client coordinates.
struct ControlRecord {
    LONG id;
    bool touched;                // a rule sets one of its values
    bool settled[kAttrCount];
    LONG value[kAttrCount];
    HWND window;                 // for the caller's batch; the solver never reads it
};

// Edges settled, sizes derived from them.
ControlRecord recordOf(LONG id, const RECT& r, HWND window = nullptr);
// Fills open values from settled ones, once, in the order left, top, right,
// bottom, width, height.  False when a result leaves the 32-bit range.
bool derive(ControlRecord& r);

constexpr LONG kUnitsPerBaseX = 4;  // dialog units per horizontal base unit
constexpr LONG kUnitsPerBaseY = 8;

// Pixels per 4 horizontal and per 8 vertical dialog units.  Dialogs round
// halves away from zero (the platform's MulDiv); other windows truncate.
struct BaseUnits {
    LONG x;
    LONG y;
    bool rounded;
};

// units * base / per, rounded or truncated toward zero, in 64 bits.
int64_t dialogToPixels(LONG units, LONG base, LONG per, bool rounded);
// Horizontal base unit from the extent of the 52 letters A-Z a-z: their
// average width to the nearest whole pixel.
LONG averageLetterWidth(LONG extentOf52);

enum class Outcome {
    Solved,          // every rule applied
    Waiting,         // some rules wait for values no rule settles
    MissingControl,  // a rule names a target or reference that is not there
    BadRule,         // a type or attribute out of range
    OutOfRange,      // a coordinate or offset beyond 32 bits
};

// Solves the table (ended by GTRS_END) on records[0..count), records[0]
// being the client area.  Writes every rule's bDone and nOffsetPixels.
// Only Solved leaves a layout worth applying.
Outcome solveLayout(ControlRecord* records, size_t count, GTRESIZERULE* rules, const BaseUnits& units);

}  // namespace gt::win
