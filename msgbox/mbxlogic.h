// Decisions of the extended message box that need no window: the button
// keyword table and its parsing, and the layout arithmetic.
#pragma once
#include <windows.h>

#include "gtapi32.h"

namespace gt::mbx {

struct KeywordRow {
    const char* keyword;
    WORD id;        // button id
    WORD stringId;  // caption, a string of this library
};

// The 31 keywords in id order, ended by a row with an empty keyword.
extern const KeywordRow kKeywords[];

// Most buttons a box takes.  One row of 64 buttons of the template's
// minimum width is already some 6,000 pixels, wider than any screen, while
// the count field would allow 65,535 windows (enough to exhaust the
// window manager's objects).  A keyword list fills at most 32 of them.
constexpr WORD kMaxButtons = 64;

// Row of kKeywords that `token` selects, or -1.  The first row whose
// keyword occurs in the token decides; a longer keyword of the table that
// begins with that one and occurs at the same place wins over it.
int matchKeyword(const char* token);

// Buttons of a keyword list: a new zero-filled block (gtGlobalAllocPtr) of
// `count` entries filled in token order with (id, GTMBBTN_STRINGID, caption
// id) until `count` are filled.  Only the first 254 characters of the list
// count.  Null when no token selects a keyword, count is 0 or memory is
// short.
LPGTMBBUTTON buildKeywordButtons(const char* list, WORD count);

// --- layout ---

// Start of the text rectangle, before the text is measured into it.
RECT textStartRect(const RECT& screen, int U, int F, bool picture, LONG pictureWidth);

struct BoxLayoutInput {
    RECT text;             // the start rectangle after measuring (DT_CALCRECT)
    int U;                 // caption-bar height, the spacing unit
    int F;                 // dialog frame width
    bool picture;
    LONG pictureWidth, pictureHeight;
    WORD alignment;        // GTMBALIGN_*
    bool textEmpty;
    int buttons;           // n
    int captionWidth;      // widest measured caption
    int minButtonWidth;    // the template button's width
    int buttonHeight;      // the template button's height
};

struct BoxLayout {
    RECT text;       // client coordinates
    RECT picture;    // all zero without a picture
    int width;       // window size
    int height;
    int buttonWidth;
    int buttonHeight;
    int rowX;        // first button's client origin
    int rowY;
    int step;        // distance from one button's left edge to the next
};

BoxLayout layoutBox(const BoxLayoutInput& in);

}  // namespace gt::mbx
