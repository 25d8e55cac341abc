// The guide window, class "GuideWin": a small resizable window owned by the
// main window that shows the puzzle's finished picture.  It never takes the
// keyboard away from the main window, whose keys play the puzzle.
#pragma once

#include <windows.h>

#include "views/guide.h"

// The one guide record of the run.
struct GuideWindow {
    HWND owner = nullptr;   // the main window
    HWND window = nullptr;  // null while there is no guide window
    GuideView view;
    int watchTicks = 0;  // looks left after a box (KeepGuideAboveOwner)
};
GuideWindow& TheGuideWindow();

inline constexpr wchar_t kGuideClassName[] = L"GuideWin";

// An open guide window is returned as it is, even for another picture.
// Otherwise the picture is copied and the window created with a 120 x 120
// client area in the bottom-right corner of the owner's client area, shown
// without being activated.  Null when the window cannot be created.
HWND OpenGuide(HINSTANCE instance, HWND owner, const MYBIT& picture);

// Closes the guide window, if any; the handle is forgotten in every case.
void CloseGuide();

// After a box closes: the guide comes back above its owner.  Windows keeps
// an owned window above its owner, but Wine's own desktop (no window
// manager) raises the window that takes the keyboard over all others, and
// its list of windows follows only when it reads the display's events,
// some time after the box has gone.  So for a short while the guide looks
// whether its owner has come above it and, if so, rises again.  Nothing
// happens while another program is in front.
void KeepGuideAboveOwner();

// The canvas refitted to a width x height client area and the window
// repainted; with move, the window also gets that client size and stands in
// the bottom-right corner of its owner's client area.
void FitGuide(HWND window, int width, int height, bool move);

LRESULT CALLBACK GuideWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
