#pragma once

#include <windows.h>

// The window-system function that reports a window's DPI exists from Windows 10 (1607) on, so
// it is looked up at run time in user32. Tests replace the lookup.
namespace oskel::platform::win {

using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
using DpiLookup = GetDpiForWindowProc (*)();

// Replaces how the function is found (null restores the user32 lookup) and forgets the
// address found so far.
void SetDpiLookup(DpiLookup lookup);

}  // namespace oskel::platform::win
