// The pieces' places on the board, for tests that move them about.
#pragma once

#include <vector>

#include "base/geom.h"
#include "pieces/board.h"

// Every piece's board rectangle, by piece number.
inline std::vector<Rect> BoardRects(const Board& b) {
    std::vector<Rect> out;
    for (int a = 0; a < b.count; ++a) out.push_back(b.pieces[a].BoardRect());
    return out;
}

// Whether two rectangles share a pixel.
inline bool Meet(const Rect& a, const Rect& b) {
    Rect common;
    return IntersectRect(&common, a, b);
}
