// Keys and mouse input of the main window, as the window procedure hands
// them over.  Coordinates are client pixels of the main window.
#pragma once

#include <cstdint>

#include "base/geom.h"

struct PuzzleGame;

// Virtual-key codes of the key table.
enum : int {
    kVkSpace = 0x20,
    kVkLeft = 0x25,
    kVkUp = 0x26,
    kVkRight = 0x27,
    kVkDown = 0x28,
    kVkF5 = 0x74,
    kVkF6 = 0x75,
    kVkF7 = 0x76,
    kVkF8 = 0x77,
    kVkF9 = 0x78,
    kVk0 = 0x30,
    kVk1 = 0x31,
    kVkNumpad0 = 0x60,
    kVkNumpad1 = 0x61,
    kVkAdd = 0x6B,
    kVkSubtract = 0x6D,
    kVkOemPlus = 0xBB,
    kVkOemMinus = 0xBD,
};

// wParam bits of a mouse move: MK_LBUTTON | MK_RBUTTON | MK_MBUTTON.
constexpr unsigned kMouseButtonMask = 0x13;

// WM_KEYDOWN.  cursor is the mouse position in client coordinates (used by
// the space key and the zoom keys).  With Ctrl, 0 shows the whole table, 1
// shows it at 100 % at the cursor, + and - zoom one step.
void OnKeyDown(PuzzleGame& g, int vk, bool ctrl, bool shift, Point cursor);

// Mouse input comes in client pixels; the view turns it into table pixels.
// WM_xBUTTONDOWN with kButtonLeft, kButtonRight or kButtonMiddle.  A press
// beside every piece starts dragging the view.
void OnPress(PuzzleGame& g, uint8_t button, int x, int y);
// WM_MOUSEMOVE: keyState is wParam.
void OnMouseMove(PuzzleGame& g, unsigned keyState, bool ctrl, int x, int y);
// WM_xBUTTONUP.
void OnRelease(PuzzleGame& g);
// WM_TIMER of the main window.
void OnTimer(PuzzleGame& g, unsigned id);
// After WM_PAINT has shown the board: the joint sound of the last drop.
void AfterPaint(PuzzleGame& g);
// WM_CLOSE before the window goes: closing sound and the save on exit.
void OnClose(PuzzleGame& g);
