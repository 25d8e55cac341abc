// The main menu on Win32: redrawing it from the settings, and the
// WM_COMMAND dispatch.
#pragma once

#include <windows.h>

struct PuzzleGame;
struct Settings;

// Applies the identifier's setting (0: none), then relabels the piece-count
// and size entries and sets every radio mark from the settings.  1 when the
// identifier changed a setting.
int MenuRefresh(HWND window, Settings& s, unsigned id);

// WM_COMMAND of the main window.
void OnCommand(PuzzleGame& g, HWND window, unsigned id);
