// The main window's view of the table: the table a puzzle is played on, the
// zoom commands, the wheel, and showing what the board operations changed.
// Points handed in are client pixels of the main window.
#pragma once

#include "base/geom.h"

struct PuzzleGame;

// The table for the game's picture (the screen's size while there is none):
// the board pictures are made at its size, and the view starts on it, at
// 100 % from its top-left corner when it is the screen's size and fitted
// otherwise.
void SetPuzzleTable(PuzzleGame& g);

// The view follows the client's size as the host reports it now.
void SyncView(PuzzleGame& g);

// Where pieces are scattered and laid out (PlayArea).
Size GamePlayArea(PuzzleGame& g);

// The commands of the view menu and their keys.  `at` is the pointer; a
// point outside the client stands for its centre.
enum class ZoomCommand { kFit, kActualSize, kIn, kOut };
void OnZoomCommand(PuzzleGame& g, ZoomCommand command, Point at);

// The wheel over the board: delta in units of 1/120 of a notch, positive
// away from the player (nearer).  Each whole notch is a zoom step at `at`.
void OnWheel(PuzzleGame& g, int delta, Point at);

// WM_SIZE: a fitted view fits again, another stays within its limits.
void OnClientResized(PuzzleGame& g);

// The client pixels of what the board operations changed (Board::changed)
// are repainted; the record is cleared.
void ShowBoardChanges(PuzzleGame& g);

// The snap reach in table pixels: 6 screen pixels at 96 DPI, grown with the
// DPI, as many table pixels as the view's scale makes of them.
int SnapReach(const PuzzleGame& g);

// The finished picture comes to rest at r (table pixels) with a frame
// `frame` pixels wide round it: when the view does not show the picture
// whole, it is fitted to the picture and its frame.
void ShowFinished(PuzzleGame& g, const Rect& r, int frame);
