// Turning and mirroring pieces.  A piece never changes its pictures: every
// orientation was made in advance, and turning changes only the orientation
// number and the rectangle.
#pragma once

#include <cstdint>

#include "pieces/board.h"

// The buttons value of a click: the left button alone turns a quarter
// counter-clockwise, the right button alone a quarter clockwise, anything
// else mirrors left to right.
enum : int {
    kTurnLeft = 0x80,
    kTurnRight = 0x40,
};

// Turns or mirrors piece number `piece` about (cx, cy).
void TurnPiece(Board& board, int piece, int cx, int cy, int buttons);

// Turns or mirrors the whole group of the piece at position k about
// (cx, cy), all its pieces about the same point so that they keep their
// places relative to one another, and redraws it.  Returns k.
int TurnGroup(Board& board, int k, int cx, int cy, int buttons);

// The orientation a turn or mirror gives: o mod 4 quarter-turns, mirrored
// when o >= 4.
int TurnedOrientation(int o, int buttons);
