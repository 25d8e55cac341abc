#include "pieces/board.h"

void Piece::Clear() {
    for (MYBIT& p : pictures) p.Free();
    left = top = right = bottom = 0;
    orientation = 0;
    group = 0;
    neighbours.clear();
    neighbours.shrink_to_fit();
    homeLeft = homeTop = homeRight = homeBottom = 0;
}

Board::Board() : pieces(kMaxPieces), order(kMaxPieces, -1) {}

void Board::Empty() {
    for (Piece& p : pieces) p.Clear();
    count = 0;
    changed = Rect{};
    std::fill(order.begin(), order.end(), -1);
}
