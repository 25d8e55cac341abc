#include "pieces/turn.h"

#include "pieces/board_ops.h"

int TurnedOrientation(int o, int buttons) {
    // A turn of a mirrored piece runs the other way round its four
    // orientations: turning mirror(P) left shows mirror(P turned right).
    if (buttons == kTurnLeft) return o <= 3 ? (o + 1) % 4 : (o - 1) % 4 + 4;
    if (buttons == kTurnRight) return o <= 3 ? (o + 3) % 4 : (o - 3) % 4 + 4;
    return (o + 4) % 8;
}

void TurnPiece(Board& board, int piece, int cx, int cy, int buttons) {
    if (piece < 0 || piece >= kMaxPieces) return;
    Piece& p = board.pieces[piece];
    const int L = p.left - cx, T = p.top - cy, R = p.right - cx, B = p.bottom - cy;
    Rect r;
    if (buttons == kTurnLeft)
        r = Rect{T, -R, B, -L};
    else if (buttons == kTurnRight)
        r = Rect{-B, L, -T, R};
    else
        r = Rect{-R, T, -L, B};
    p.orientation = TurnedOrientation(p.orientation, buttons);
    p.left = r.left + cx;
    p.top = r.top + cy;
    p.right = r.right + cx;
    p.bottom = r.bottom + cy;
}

int TurnGroup(Board& board, int k, int cx, int cy, int buttons) {
    const int n = board.count;
    if (k < 0 || k >= n) return k;
    const int32_t g = board.pieces[board.order[k]].group;
    const int p = LowestPositionOf(board, g);

    RepaintUnder(board, p, p - 1);
    for (int num = 0; num < n; ++num)
        if (board.pieces[num].group == g) TurnPiece(board, num, cx, cy, buttons);
    for (int i = p; i < n; ++i) RedrawRegion(board, board.pieces[board.order[i]].BoardRect(), p, n - 1);
    return k;
}
