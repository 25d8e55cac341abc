#include "pieces/drag.h"

#include <algorithm>

#include "pieces/board_ops.h"

namespace {

void Shift(Piece& p, int dx, int dy) {
    p.left += dx;
    p.right += dx;
    p.top += dy;
    p.bottom += dy;
}

}  // namespace

void MoveGroup(Board& board, int dx, int dy) {
    const int n = board.count;
    if (n <= 0) return;
    const int32_t g = board.pieces[board.order[n - 1]].group;
    // The held group is on top, so its pieces are positions p .. n-1.
    int p = n - 1;
    while (p > 0 && board.pieces[board.order[p - 1]].group == g) --p;

    RepaintUnder(board, p, p - 1);
    for (int k = p; k < n; ++k) Shift(board.pieces[board.order[k]], dx, dy);
    for (int k = p; k < n; ++k) RedrawRegion(board, board.pieces[board.order[k]].BoardRect(), p, n - 1);
}

void SweepGroups(Board& board, int x0, int y0, int x1, int y1) {
    const int n = board.count;
    int32_t groups[kSweepGroups];
    int found = 0;
    for (int k = n - 1; k >= 0 && found < kSweepGroups; --k) {
        const Piece& p = board.pieces[board.order[k]];
        const bool near = p.left - kSweepReach < x0 && x0 < p.right + kSweepReach &&
                          p.top - kSweepReach < y0 && y0 < p.bottom + kSweepReach;
        if (!near || std::find(groups, groups + found, p.group) != groups + found) continue;
        groups[found++] = p.group;
    }
    if (found == 0) return;

    // The amount for rank j, computed once so every piece of a group moves
    // alike: dx * 0.8^j truncated toward zero.
    int mx[kSweepGroups], my[kSweepGroups];
    double factor = 1.0;
    for (int j = 0; j < found; ++j) {
        mx[j] = static_cast<int>((x1 - x0) * factor);
        my[j] = static_cast<int>((y1 - y0) * factor);
        factor *= 0.8;
    }

    Rect oldArea, newArea;
    for (int k = 0; k < n; ++k) {
        Piece& p = board.pieces[board.order[k]];
        const int j = static_cast<int>(std::find(groups, groups + found, p.group) - groups);
        if (j == found) continue;
        // Only cleaned here; the enclosing rectangles below repaint it all.
        PasteClean(board, p.BoardRect());
        oldArea = UnionRect(oldArea, p.BoardRect());
        Shift(p, mx[j], my[j]);
        newArea = UnionRect(newArea, p.BoardRect());
    }
    RedrawRegion(board, oldArea, 0, n - 1);
    RedrawRegion(board, newArea, 0, n - 1);
}
