#include "window/logic.h"

#include "text/mbchar.h"

namespace gt::win {

bool isSystemClass(const char* className) {
    static const char* const kClasses[] = {"#32768", "#32769", "#32771", "#32772",
                                           "#42",    "combolbox", "mdiclient", ""};
    for (const char* const* c = kClasses; **c; ++c)
        if (lstrcmpiA(className, *c) == 0) return true;
    return false;
}

SearchRecord makeSearch(const char* className, const char* title) {
    SearchRecord s{};
    if (className) gt::mb::copyToBuffer(s.className, sizeof s.className, className);
    if (title) gt::mb::copyToBuffer(s.title, sizeof s.title, title);
    return s;
}

bool threadWindowMatches(const SearchRecord& s, const char* windowClass) {
    if (!s.className[0]) return !isSystemClass(windowClass);
    return lstrcmpiA(windowClass, s.className) == 0;
}

bool windowMatches(const SearchRecord& s, const char* windowClass, const char* windowText) {
    if (s.className[0] && lstrcmpiA(windowClass, s.className) != 0) return false;
    if (!s.title[0]) return true;
    // The window's own text must lie within the wanted title, so a window
    // called "Setup" is found by "Setup - Step 2".
    return windowText && windowText[0] && gt::mb::findStr(s.title, windowText) != nullptr;
}

ExtentStep extentStep(unsigned mode) {
    switch (mode) {
        case 0: return ExtentStep::ResetAndMeasure;
        case 1: return ExtentStep::ResetOnly;
        case 2: return ExtentStep::ApplyStored;
        default: return ExtentStep::Measure;
    }
}

bool takeIfLongest(ExtentState& s, int length) {
    if (length <= s.longest) return false;
    s.longest = length;
    return true;
}

bool storeIfWider(ExtentState& s, SIZE measured, WORD listWidth) {
    if (measured.cx <= static_cast<LONG>(listWidth)) return false;
    s.extent = measured;
    return true;
}

}  // namespace gt::win
