// Laying loose pieces out in rows for the player to see: which pieces lie
// on the finished picture's border, and a row packer that keeps clear of
// what stays on the board.
//
// Coordinates are board pixels (the main window's client area).
#pragma once

#include <vector>

#include "base/geom.h"
#include "pieces/board.h"

// Sides of the finished picture a home rectangle touches.
enum : int {
    kSideTop = 1,
    kSideRight = 2,
    kSideBottom = 4,
    kSideLeft = 8,
};

// The finished picture: the union of the home rectangles of pieces
// 0 .. count-1.
Rect HomeBounds(const Board& board);

// The sides of `picture` that piece a's home rectangle reaches; 0 for an
// inner piece.
int EdgeSides(const Piece& a, const Rect& picture);

// The edge pieces among `pieces`, in the order the player would walk the
// border: the corners first (top left, top right, bottom right, bottom
// left), then the top edge left to right, the right edge downwards, the
// bottom edge right to left and the left edge upwards.  A piece of a
// picture one row high touches top and bottom and walks with the top
// edge; its two ends are corners (one column alike).
std::vector<int> EdgePiecesInOrder(const Board& board, const std::vector<int>& pieces);

// Free space left round the pieces and at the window's edges (board pixels).
constexpr int kLayoutGap = 4;

// Where rectangles of the given sizes go, in rows from the top left of
// the area (0, 0, area.cx, area.cy), none touching an obstacle.  `step` is
// the share of each size (gap included) that the next rectangle of the row,
// and the next row, advance by: 1 when they all fit apart; below 1 they
// overlap evenly, and each one's top-left step x step share stays clear of
// every later rectangle.
struct RowLayout {
    std::vector<Point> at;  // one per size
    double step = 1;
    bool clearOfObstacles = true;  // false: even a tight grid did not fit beside them
};
RowLayout PackInRows(const std::vector<Size>& sizes, Size area, const std::vector<Rect>& obstacles);

// Puts the pieces (piece numbers) at the given top-left corners in their
// current orientations and moves them, in the order given, to the top of
// the drawing order.  Each must be a group of its own.  The board picture
// is not redrawn.
void PlaceOnTop(Board& board, const std::vector<int>& pieces, const std::vector<Point>& at);
