// The places where a grid's cutting lines meet: the cell corners, and the
// points where a line reaches the mask border.
//
// Up to four curves leave a corner, each at a slant, and where two of them
// lean into the same cell their one-pixel lines pinch off single white words
// next to the corner.  Left alone, each such pocket would be labelled as an
// area of its own and cut into a speck without neighbours, and the corner
// word itself, touched by the pieces only across its diagonals, would lie
// in no piece's outline: a hole in the assembled picture.  These operations
// keep a grid's pieces to exactly one per cell and its mask fully covered;
// masks from cutting patterns never pass through them.
#pragma once

#include <cstdint>

#include "base/geom.h"
#include "making/grid.h"
#include "making/making_state.h"

class MYBIT;

// How far round a meeting point (mask pixels, in each direction) its
// pockets are sought: the square window of side 2 * reach + 1 centred on it.
// At most kMeetingReach, and short of the cell's centre, so that no cell's
// whole area can lie inside a window.
constexpr int kMeetingReach = 4;
int32_t MeetingReach(const GridDivision& grid);

// The window round the meeting point of grid column line c and row line r
// (0 .. columns, 0 .. rows), clipped to the mask; right and bottom
// exclusive.  Empty when it lies wholly outside.
Rect MeetingWindow(const GridDivision& grid, int32_t c, int32_t r, int32_t maskWidth, int32_t maskHeight);

// On a freshly drawn mask (line words 0, anything else white): every white
// word in a meeting window that cannot reach the window's sides through
// white words (the mask border is no way out) becomes a line word.  Returns
// the number of words closed.
int64_t CloseMeetingPoints(MYBIT& mask, const GridDivision& grid);

// After labelling: every line word in a meeting window or in one of
// m.looseRects whose four side-neighbours are all line words (a closed
// pocket, the corner itself) is given to each area nearest it, as a
// cutting-line word of that piece is given to the pieces on both sides; the
// area's box grows when the word lies beyond its margin.  The words are kept in m.meetingWords for the
// cutting.  Replaces what an earlier call gave.
void GiveMeetingWords(MakingState& m, const GridDivision& grid);
