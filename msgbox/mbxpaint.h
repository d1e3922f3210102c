// Painting of the extended message box: its picture, its text and its
// window background, all read from the appearance block in the dialog's
// user-data slot.
#pragma once
#include <windows.h>

#include "gtapi32.h"

namespace gt::mbx {

// True for a block of gtOpenMessageBoxExtended (its marker).
bool isValidContext(const GTMBCONTEXT* context);

// The appearance block of a box (DWL_USER), or null.
LPGTMBCONTEXT boxContext(HWND box);

// This library's icon resource for standard picture ids 1-4 (stop,
// question, exclamation, information); 0 for any other id.
WORD standardIconId(DWORD pictureId);

// Size of a picture: SM_CXICON by SM_CYICON for icons, the bitmap's size for
// bitmaps, 0 by 0 for any other kind or a bitmap that cannot be had.
void pictureSize(const GTMBPICTURE& picture, LONG* width, LONG* height);

// Draws the picture with its top-left corner at `at`.  Always 1.
BOOL drawPicture(const GTMBPICTURE& picture, HDC dc, POINT at);

// WM_PAINT: picture and text.  Always 0.
LRESULT paintBox(HWND box);

// WM_ERASEBKGND: 1 when the box's brush or bitmap painted the background,
// 0 to leave it to the dialog manager.
BOOL eraseBox(HWND box, HDC dc);

}  // namespace gt::mbx
