/* Loads fine but exports no "dunzip". */
#include <windows.h>
__declspec(dllexport) int WINAPI somethingElse(void) { return 0; }
