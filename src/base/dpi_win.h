// The DPI of a window on its monitor, and the sizes Windows computes for
// it.  The scale itself is the core's (dpi_scale.h).
#pragma once

#include <windows.h>

// The window's DPI: GetDpiForWindow where the system has it (Windows 10
// 1607 on), else the screen's; 96 for no window.
int WindowDpi(HWND window);

// The window rectangle around the client rectangle r (changed in place) of
// a window of this style at dpi.  AdjustWindowRectExForDpi where the system
// has it (Windows 10 1607 on); else AdjustWindowRectEx, which can only
// measure the frame at the system's DPI.
void FrameAroundClient(RECT& r, DWORD style, DWORD exStyle, int dpi);

// WM_DPICHANGED: the window takes the rectangle the system suggests
// (lParam); the new DPI is in the high word of wParam.
int OnDpiChangedMove(HWND window, WPARAM wParam, LPARAM lParam);
