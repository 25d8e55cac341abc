// The table operations everything else on the board is built from: finding
// the piece under a point, raising a group, recomposing a region of the board
// picture, taking a piece out of its group and counting the groups left.
//
// Coordinates are board pixels (the main window's client area).  Drawing
// positions run 0 .. count-1, bottom first.
#pragma once

#include "base/geom.h"
#include "pieces/board.h"

// The drawing position of the topmost piece whose own pixel (a non-zero word
// of its current picture) lies under (x, y), or -1.  A point on a piece's
// left or top edge is outside it.
int HitTest(const Board& board, int x, int y);

// Moves the whole group of the piece at position k to the top, keeping the
// order within the group and among the others, and redraws its pieces.
// Returns the clicked piece's new position; -1 when k is not a position.
int RaiseGroup(Board& board, int k);

// Pastes (blending by alpha) the part inside r of every piece at positions
// first .. last, upwards, onto the board picture.  Positions outside
// 0 .. count-1 are left out.  The window is not invalidated.
void RedrawRegion(Board& board, const Rect& r, int first, int last);

// Takes the piece at position k out of its group: it gets a fresh group
// number, goes to the top and shows 5 pixels right and down; what remains of
// its old group is split into its connected parts.  Nothing when k is not a
// position.
void DetachPiece(Board& board, int k);

// One more than the largest group number of the pieces in use; 0 when there
// are none.
int NextGroupNumber(const Board& board);

// The lowest drawing position holding a piece of group g, or -1.
int LowestPositionOf(const Board& board, int g);

// Removes the pieces at positions from .. count-1 from the board picture
// the one way every operation does, one after another upwards: the clean
// board copied over each one's rectangle (clipped to the board) and the
// pieces at positions 0 .. last pasted there again.  The pieces that can
// show in any of the rectangles are found once for all of them.
void RepaintUnder(Board& board, int from, int last);

// The clean board copied over r (clipped to the board); no piece repainted.
void PasteClean(Board& board, const Rect& r);

// r turned into orientation o: o mod 4 counter-clockwise quarter-turns about
// the origin, then a left-right mirror when o >= 4.  A quarter-turn maps
// (l, t, r, b) to (t, -r, b, -l), the mirror to (-r, t, -l, b).
Rect OrientRect(const Rect& r, int o);

// The smallest rectangle holding both (an empty a is ignored).
Rect UnionRect(const Rect& a, const Rect& b);

// A piece whose home rectangle is at most 2 x 2 pixels: a speck a cutting
// pattern can leave.  It never counts as a group and has no part in the
// finished picture's place.
bool IsSpeck(const Piece& p);

// The groups left, walking the drawing order and counting where the group
// number changes; specks are passed over.  Correct because every group lies
// on consecutive positions.
int CountGroups(const Board& board);
