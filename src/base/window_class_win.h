// The window classes of the program's own windows.
#pragma once

#include <windows.h>

// A class with the program's icon, the arrow cursor, no background brush
// (each window paints its whole client area) and no menu.  true when the
// class is registered, now or by an earlier call.
bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, UINT style = 0);
