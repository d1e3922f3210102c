// Decisions of the window helpers that need no window: the search
// conditions and the list-box extent state machine.
#pragma once
#include <windows.h>

namespace gt::win {

// --- window searches

struct SearchRecord {
    char className[33];  // empty: no class condition
    char title[56];      // empty: no title condition
    HWND found;
};

// One of the platform's own top-level classes that a search by thread alone
// passes over (menus, desktop, task switch, icon titles, combo drop-downs,
// MDI clients); case-insensitive.
bool isSystemClass(const char* className);
// Fills a record: class up to 32 characters, title up to 55 (whole
// characters); null means no condition.
SearchRecord makeSearch(const char* className, const char* title);
// The thread search's test of one window's class.
bool threadWindowMatches(const SearchRecord& s, const char* windowClass);
// The search by class and title; windowText is only looked at with a title.
bool windowMatches(const SearchRecord& s, const char* windowClass, const char* windowText);

// --- horizontal extent of list boxes

struct ExtentState {
    int longest;  // characters of the longest text since the last reset
    SIZE extent;  // the extent to apply
};

enum class ExtentStep { ResetOnly, ApplyStored, Measure, ResetAndMeasure };
ExtentStep extentStep(unsigned mode);

// A text of `length` characters: true (and recorded) when it is longer than
// any since the last reset, so that it has to be measured.
bool takeIfLongest(ExtentState& s, int length);
// Its measured size (average character width included) against the list
// box's width: true when stored as the new extent.
bool storeIfWider(ExtentState& s, SIZE measured, WORD listWidth);

}  // namespace gt::win
