// Moving pieces with the mouse: dragging the held group, and the Ctrl-sweep
// that pushes the groups near the pointer along.  Both change the piece
// records and the board picture only; the caller invalidates the window.
#pragma once

#include "pieces/board.h"

// How far around a piece's rectangle a sweep reaches (board pixels), and how
// many groups one sweep step can push.
constexpr int kSweepReach = 20;
constexpr int kSweepGroups = 10;

// Moves the group of the top piece (the held group, raised when it was
// taken) by dx, dy.  Nothing clamps it: a group may leave the board and come
// back whole.
void MoveGroup(Board& board, int dx, int dy);

// The pointer moved from (x0, y0) to (x1, y1) with Ctrl down.  The groups of
// the pieces whose rectangle grown by kSweepReach holds (x0, y0), found from
// the top down and at most kSweepGroups of them, move by the pointer's
// movement times 0.8 to the power of their rank, truncated toward zero.
// The drawing order does not change.
void SweepGroups(Board& board, int x0, int y0, int x1, int y1);
