// The DPI of a window on its monitor, and the sizes Windows computes for
// it.  The scale itself is the core's (dpi_scale.h).
#pragma once

#include <windows.h>

// The window's DPI: GetDpiForWindow where the system has it (Windows 10
// 1607 on), else the screen's; 96 for no window.
int WindowDpi(HWND window);

// WM_DPICHANGED: the window takes the rectangle the system suggests
// (lParam); the new DPI is in the high word of wParam.
int OnDpiChangedMove(HWND window, WPARAM wParam, LPARAM lParam);
