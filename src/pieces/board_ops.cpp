#include "pieces/board_ops.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

Rect PictureRect(const Piece& p) {
    const MYBIT& pic = p.Current();
    return Rect{p.left, p.top, p.left + pic.Width(), p.top + pic.Height()};
}

Rect BoardBounds(const MYBIT& b) {
    return Rect{0, 0, b.Width(), b.Height()};
}

// Blends the part r of the piece's picture onto the board picture; r is
// already clipped to the board and to the picture.  The arithmetic is that
// of MYBIT::PasteBlend: alpha 0 leaves the board, 255 copies the word, any
// other alpha mixes the colours (the result's alpha byte is 0).
void BlendPart(MYBIT& board, const Piece& p, const Rect& r) {
    const MYBIT& pic = p.Current();
    const int w = r.Width();
    const int sx = r.left - p.left;
    for (int y = r.top; y < r.bottom; ++y) {
        const uint32_t* s = pic.Row(y - p.top) + sx;
        uint32_t* t = board.Row(y) + r.left;
        for (int i = 0; i < w; ++i) {
            const uint32_t sp = s[i];
            const uint32_t a = sp >> 24;
            if (a == 0) continue;
            if (a == 255) {
                t[i] = sp;
                continue;
            }
            const uint32_t tp = t[i];
            const uint32_t na = 255 - a;
            const uint32_t b = ((sp & 0xFF) * a + (tp & 0xFF) * na) >> 8;
            const uint32_t g = (((sp >> 8) & 0xFF) * a + ((tp >> 8) & 0xFF) * na) >> 8;
            const uint32_t rr = (((sp >> 16) & 0xFF) * a + ((tp >> 16) & 0xFF) * na) >> 8;
            t[i] = (rr << 16) | (g << 8) | b;
        }
    }
}

bool IsPosition(const Board& board, int k) {
    return k >= 0 && k < board.count;
}

int32_t NeighbourCount(const Piece& p) {
    int32_t n = 0;
    while (n < static_cast<int32_t>(p.neighbours.size()) && p.neighbours[n] >= 0) ++n;
    return n;
}

}  // namespace

Rect OrientRect(const Rect& r, int o) {
    Rect t = r;
    for (int i = 0; i < (o & 3); ++i) t = Rect{t.top, -t.right, t.bottom, -t.left};
    if (o & 4) t = Rect{-t.right, t.top, -t.left, t.bottom};
    return t;
}

Rect UnionRect(const Rect& a, const Rect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

int NextGroupNumber(const Board& board) {
    int32_t most = -1;
    for (int i = 0; i < board.count; ++i) most = std::max(most, board.pieces[i].group);
    return most + 1;
}

int LowestPositionOf(const Board& board, int g) {
    for (int k = 0; k < board.count; ++k)
        if (board.pieces[board.order[k]].group == g) return k;
    return -1;
}

int HitTest(const Board& board, int x, int y) {
    for (int k = board.count - 1; k >= 0; --k) {
        const Piece& p = board.pieces[board.order[k]];
        if (!(p.left < x && x < p.right && p.top < y && y < p.bottom)) continue;
        const MYBIT& pic = p.Current();
        const int px = x - p.left, py = y - p.top;
        // A rectangle that disagrees with its picture must not read outside it.
        if (px >= pic.Width() || py >= pic.Height()) continue;
        if (pic.At(px, py) != 0) return k;
    }
    return -1;
}

void RedrawRegion(Board& board, const Rect& r, int first, int last) {
    if (!board.boardPicture || board.boardPicture->Empty()) return;
    MYBIT& target = *board.boardPicture;
    Rect area;
    if (!IntersectRect(&area, r, BoardBounds(target))) return;
    const int from = std::max(first, 0), to = std::min(last, board.count - 1);
    for (int k = from; k <= to; ++k) {
        const Piece& p = board.pieces[board.order[k]];
        Rect part;
        if (!IntersectRect(&part, area, PictureRect(p))) continue;
        BlendPart(target, p, part);
    }
}

void PasteClean(Board& board, const Rect& r) {
    if (!board.boardPicture || !board.cleanBoard) return;
    MYBIT& target = *board.boardPicture;
    const MYBIT& clean = *board.cleanBoard;
    Rect part;
    if (!IntersectRect(&part, r, BoardBounds(target))) return;
    if (!IntersectRect(&part, part, BoardBounds(clean))) return;
    const size_t bytes = sizeof(uint32_t) * static_cast<size_t>(part.Width());
    for (int y = part.top; y < part.bottom; ++y)
        std::memcpy(target.Row(y) + part.left, clean.Row(y) + part.left, bytes);
}

void ErasePiece(Board& board, const Piece& piece, int below) {
    const Rect r = PictureRect(piece);
    PasteClean(board, r);
    RedrawRegion(board, r, 0, below - 1);
}

int RaiseGroup(Board& board, int k) {
    if (!IsPosition(board, k)) return -1;
    const int n = board.count;
    const int32_t clicked = board.order[k];
    const int32_t g = board.pieces[clicked].group;

    // Stable partition: the others keep their order below, the group keeps
    // its own order on top.
    std::vector<int32_t> raised;
    int w = 0;
    for (int i = 0; i < n; ++i) {
        const int32_t num = board.order[i];
        if (board.pieces[num].group == g)
            raised.push_back(num);
        else
            board.order[w++] = num;
    }
    const int first = w;
    int result = -1;
    for (int32_t num : raised) {
        if (num == clicked) result = w;
        board.order[w++] = num;
    }

    for (int i = first; i < n; ++i) {
        const Rect r = PictureRect(board.pieces[board.order[i]]);
        PasteClean(board, r);
        RedrawRegion(board, r, 0, n - 1);
    }
    return result;
}

void DetachPiece(Board& board, int k) {
    if (!IsPosition(board, k)) return;
    const int n = board.count;
    const int fresh = NextGroupNumber(board);
    const int32_t a = board.order[k];
    Piece& pa = board.pieces[a];
    const int32_t oldGroup = pa.group;
    pa.group = fresh;

    std::copy(board.order.begin() + k + 1, board.order.begin() + n, board.order.begin() + k);
    board.order[n - 1] = a;

    // What is left of the old group lies on positions p .. f.  Split it into
    // connected parts along the neighbour lists; each part gets a fresh
    // number and the positions are rewritten in the order the walks reach
    // the pieces, so every part lies on consecutive positions again.
    const int p = LowestPositionOf(board, oldGroup);
    if (p >= 0) {
        int f = p;
        while (f + 1 < n - 1 && board.pieces[board.order[f + 1]].group == oldGroup) ++f;
        if (f > p) {
            std::vector<int32_t> reached;
            reached.reserve(f - p + 1);
            std::vector<uint8_t> seen(n, 0);
            int part = fresh;
            for (int start = p; start <= f; ++start) {
                const int32_t s = board.order[start];
                if (seen[s]) continue;
                ++part;
                seen[s] = 1;
                const size_t partStart = reached.size();
                size_t head = partStart;
                reached.push_back(s);
                while (head < reached.size()) {
                    const Piece& cur = board.pieces[reached[head++]];
                    const int32_t count = NeighbourCount(cur);
                    for (int32_t j = 0; j < count; ++j) {
                        const int32_t nb = cur.neighbours[j];
                        if (nb >= n || seen[nb] || board.pieces[nb].group != oldGroup) continue;
                        seen[nb] = 1;
                        reached.push_back(nb);
                    }
                }
                for (size_t i = partStart; i < reached.size(); ++i) board.pieces[reached[i]].group = part;
            }
            std::copy(reached.begin(), reached.end(), board.order.begin() + p);
        }
    }

    ErasePiece(board, pa, n - 1);
    pa.left += 5;
    pa.right += 5;
    pa.top += 5;
    pa.bottom += 5;
    RedrawRegion(board, PictureRect(pa), n - 1, n - 1);
}
