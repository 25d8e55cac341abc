#include "pieces/join.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "pieces/board_ops.h"

int TryJoin(Board& board, int reach) {
    const int n = board.count;
    if (n <= 0) return 0;
    const Piece& d = board.pieces[board.order[n - 1]];
    const int32_t G = d.group;
    const int o = d.orientation;

    // Mark every piece any piece of the held group touches in the finished
    // picture.  The held group lies on the top positions.
    std::vector<uint8_t> flag(n, 0);
    for (int k = n - 1; k >= 0; --k) {
        const Piece& p = board.pieces[board.order[k]];
        if (p.group != G) break;
        for (int32_t nb : p.neighbours) {
            if (nb < 0) break;
            if (nb < n) flag[nb] = 1;
        }
    }

    const Rect dHome = OrientRect(d.HomeRect(), o);
    int match = -1, ex = 0, ey = 0;
    for (int c = 0; c < n; ++c) {
        const Piece& pc = board.pieces[c];
        if (!flag[c] || pc.group == G || pc.orientation != o) continue;
        const Rect cHome = OrientRect(pc.HomeRect(), o);
        // How far d lies from its exact place beside c.
        const int x = (dHome.left - cHome.left) + (pc.left - d.left);
        const int y = (dHome.top - cHome.top) + (pc.top - d.top);
        if (std::abs(x) <= reach && std::abs(y) <= reach) {
            match = c;
            ex = x;
            ey = y;
            break;
        }
    }
    if (match < 0) return 0;
    const int32_t H = board.pieces[match].group;

    // Both groups go on top together, each keeping its order.
    std::vector<int32_t> merged;
    int m = 0;
    for (int k = 0; k < n; ++k) {
        const int32_t num = board.order[k];
        const int32_t g = board.pieces[num].group;
        if (g == G || g == H)
            merged.push_back(num);
        else
            board.order[m++] = num;
    }
    std::copy(merged.begin(), merged.end(), board.order.begin() + m);

    RepaintUnder(board, m, m - 1);
    for (int k = m; k < n; ++k) {
        Piece& p = board.pieces[board.order[k]];
        if (p.group != G) continue;
        p.left += ex;
        p.right += ex;
        p.top += ey;
        p.bottom += ey;
        p.group = H;
    }
    for (int k = m; k < n; ++k) RedrawRegion(board, board.pieces[board.order[k]].BoardRect(), m, n - 1);
    return 1;
}
