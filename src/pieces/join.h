// Joining: when the held group is let go close to its right place beside a
// neighbour in the same orientation, it snaps there and the two groups
// merge.  At most one join per drop.
#pragma once

#include "pieces/board.h"

// How far (board pixels, in each direction) a dropped piece may lie from
// its exact place and still snap.
constexpr int kJoinReach = 6;

// Tries to join the group of the top piece to a neighbouring group.  Returns
// 1 when it joined (the held group then carries the neighbour's group number
// and both lie on top of the drawing order), 0 when nothing changed.
int TryJoin(Board& board);
