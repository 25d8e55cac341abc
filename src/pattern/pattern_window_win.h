// The pattern-creation window on Win32: the outer window of class
// PatternlineLineWin with its toolbar, and the canvas PatternlineLine2Win
// below the toolbar, whose drawing lives in the core (pattern_canvas.h).
#pragma once

#include <windows.h>

// Opens the window, owned by the main window, at the main window's client
// origin.  While it is open it is brought to the front instead: one canvas
// serves one window.
void OpenPatternWindow(HINSTANCE instance, HWND mainWindow);

// The open window and its parts, null while it is closed.
HWND PatternWindow();
HWND PatternToolbar();
HWND PatternCanvasWindow();
