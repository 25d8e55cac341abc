// The main window: its class, creation, window procedure and painting, and
// the program's long-lived records it works on.
#pragma once

#include <windows.h>

#include "app/host_win.h"
#include "browser/browser_view.h"
#include "config/settings.h"
#include "game/puzzle_game.h"
#include "views/background.h"

inline constexpr wchar_t kMainClassName[] = L"pukko_Class";
inline constexpr wchar_t kInstanceMutexName[] = L"pukko_Instance";

// Allocated once for the whole run; the window owns none of them.
struct ShellRecords {
    Settings settings{};
    Background background;
    BrowserSet browsers;
    PuzzleGame game;
    // The client area's pixels while the view is scaled: only what is
    // painted is made, from the board picture.
    MYBIT viewPixels;
    WinHost winHost;
    // The host the window hands to the game.  Tests that drive the window
    // in-process put a recording host here before creating it.
    WinHost* host = &winHost;
    // The player chose at start-up to resume the game of the recovery
    // record: the window opens on it instead of the start screen.
    bool resumeAtStart = false;
};
ShellRecords& Shell();

// Class "pukko_Class": redrawn whole on resizing, the program's icon, the
// arrow cursor and no background brush (WM_PAINT covers the client area).
bool RegisterMainClass(HINSTANCE instance);

// The main window with the menu IDM_MAIN_MENU, not yet shown.  WM_CREATE
// runs inside: the game takes the window, the menu shows the settings.
HWND CreateMainWindow(HINSTANCE instance);

LRESULT CALLBACK MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// What WM_PAINT draws in `area` of the client: the board picture as the
// view shows it (at 100 % straight from the picture, scaled through
// `pixels`, a buffer of the client's size), and the background's dark
// margin colour wherever the table does not reach (all of the area while
// the board picture is still empty).
void PaintBoard(HDC dc, const RECT& area, const Background& background, const TableView& view, MYBIT& pixels);

// The whole run: single-instance check, settings, window, message loop,
// settings saved.  The result is the process's exit code.
int RunProgram(HINSTANCE instance);
