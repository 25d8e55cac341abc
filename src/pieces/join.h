// Joining: when the held group is let go close to its right place beside a
// neighbour in the same orientation, it snaps there and the two groups
// merge.  At most one join per drop.
#pragma once

#include "pieces/board.h"

#include "base/dpi_scale.h"

// How far (board pixels, in each direction) a dropped piece may lie from
// its exact place and still snap, at 96 DPI.  The board is never scaled,
// but the hand is: on a denser screen the same gap to the eye is more
// pixels, so the reach grows with the main window's DPI.
constexpr int kJoinReach = 6;
inline int JoinReach(int dpi) {
    return ScalePx(kJoinReach, dpi);
}

// Tries to join the group of the top piece to a neighbouring group lying
// within reach pixels of its place.  Returns 1 when it joined (the held
// group then carries the neighbour's group number and both lie on top of
// the drawing order), 0 when nothing changed.
int TryJoin(Board& board, int reach = kJoinReach);
