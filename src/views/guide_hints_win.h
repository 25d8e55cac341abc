// The guide window's part in finding pieces (game/finder.h): a click on the
// fitted picture goes to the main window as the picture pixel it shows
// (MSG_GUIDE_PICK), and a home area is marked on a copy of the canvas.
#pragma once

#include <windows.h>

#include "views/guide.h"

// WM_LBUTTONDOWN of the guide window at client pixel (x, y) over the
// guide's view.  Nothing on the grey margin.
void OnGuideClick(HWND window, const GuideView& view, int x, int y);

// The guide window marks the home area (picture pixels; empty: no mark) and
// repaints only the pixels of the old and the new ring.  Nothing without a
// window.
void MarkGuideWindow(HWND window, GuideView& view, const Rect& home);
