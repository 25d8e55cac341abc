// Boards for tests and benchmarks: rectangular pieces of a grid whose soft
// edges overlap their neighbours' only where both are partly transparent,
// the board recomposed from scratch to compare with, and the invariants.
#pragma once

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "image/mybit.h"
#include "pieces/board.h"
#include "pieces/board_ops.h"

namespace fixture {

inline uint32_t Fnv1a(const MYBIT& b) {
    uint32_t h = 2166136261u;
    for (uint32_t w : b.pixels)
        for (int i = 0; i < 4; ++i) h = (h ^ ((w >> (8 * i)) & 0xFF)) * 16777619u;
    return h;
}

// Every pixel of the finished picture differs from its neighbours, so a
// piece drawn one pixel off shows.
inline uint32_t PictureColour(int x, int y) {
    return (uint32_t(x * 7 + y * 3) & 0xFF) << 16 | (uint32_t(x * y + 11) & 0xFF) << 8 |
           (uint32_t(x ^ (y * 5)) & 0xFF);
}

// The pictures of home rectangle (hl, ht, hl + w, ht + h) in all eight
// orientations: opaque inside a partly transparent ring `soft` wide, with a
// transparent notch (6 wide, 4 deep) in the top edge where the board shows.
inline void MakeRectPiece(Piece& p, int hl, int ht, int w, int h, int soft) {
    MYBIT& pic = p.pictures[0];
    pic.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (y < 4 && x >= w / 2 - 3 && x < w / 2 + 3) continue;
            const int d = std::min(std::min(x, y), std::min(w - 1 - x, h - 1 - y));
            const uint32_t a = d >= soft ? 255u : uint32_t(255 * (d + 1) / (soft + 1));
            pic.At(x, y) = a << 24 | PictureColour(hl + x, ht + y);
        }
    MYBIT* r[7];
    for (int i = 0; i < 7; ++i) r[i] = &p.pictures[i + 1];
    pic.MakeOrientations(r);
    p.homeLeft = hl, p.homeTop = ht, p.homeRight = hl + w, p.homeBottom = ht + h;
}

// The board picture as every operation must leave it: the clean board
// with every piece blended on it in drawing order.
inline void Recompose(const Board& b, const MYBIT& clean, MYBIT& out) {
    out.CopyFrom(clean);
    for (int k = 0; k < b.count; ++k) {
        const Piece& p = b.pieces[b.order[k]];
        out.PasteBlend(p.Current(), p.left, p.top);
    }
}

inline void Place(Piece& p, int x, int y, int orientation) {
    p.orientation = orientation;
    p.left = x, p.top = y;
    p.right = x + p.Current().Width(), p.bottom = y + p.Current().Height();
}

struct TestBoard {
    MYBIT clean, picture;
    Board board;

    // The clean board is a gradient, so background copied from the wrong
    // place shows.
    TestBoard(int w, int h) {
        clean.Create(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                clean.At(x, y) = uint32_t((x * 3) & 0xFF) << 16 | uint32_t((y * 5) & 0xFF) << 8;
        picture.CopyFrom(clean);
        board.boardPicture = &picture;
        board.cleanBoard = &clean;
    }
    TestBoard(const TestBoard&) = delete;  // the board points into the object

    // cols x rows pieces of cw x ch cells grown by `soft` on every side, so
    // neighbours overlap by 2 * soft pixels of soft edge.  Piece r * cols + c
    // is a group of its own, drawn in number order, at home + (ox, oy).
    void AddGrid(int cols, int rows, int cw, int ch, int soft, int ox = 0, int oy = 0) {
        for (int num = 0; num < cols * rows; ++num) {
            const int r = num / cols, c = num % cols;
            Piece& p = board.pieces[num];
            MakeRectPiece(p, c * cw - soft, r * ch - soft, cw + 2 * soft, ch + 2 * soft, 2 * soft);
            Place(p, p.homeLeft + ox, p.homeTop + oy, 0);
            p.group = num;
            p.neighbours.clear();
            for (int nb : {c > 0 ? num - 1 : -1, c + 1 < cols ? num + 1 : -1, num - cols, num + cols})
                if (nb >= 0 && nb < cols * rows) p.neighbours.push_back(nb);
            p.neighbours.push_back(-1);
            board.order[num] = num;
        }
        board.count = cols * rows;
    }

    void Recompose(MYBIT& out) const { fixture::Recompose(board, clean, out); }
    void Redraw() { Recompose(picture); }

    // Pixels where the board picture differs from the recomposed one.  With
    // `soft`, pixels a piece covers with partial alpha are left out: where a
    // group's pieces are drawn over one another they can be blended twice.
    int Mismatches(bool soft = true) const {
        MYBIT want;
        Recompose(want);
        std::vector<uint8_t> skip(want.pixels.size(), 0);
        for (int k = 0; k < board.count && soft; ++k) {
            const Piece& p = board.pieces[board.order[k]];
            for (int y = std::max(0, p.top); y < std::min(p.bottom, want.Height()); ++y)
                for (int x = std::max(0, p.left); x < std::min(p.right, want.Width()); ++x) {
                    const uint32_t a = p.Current().At(x - p.left, y - p.top) >> 24;
                    skip[size_t(want.Height() - 1 - y) * want.Width() + x] |=
                        a != 0 && a != 255;  // rows bottom-up
                }
        }
        int bad = 0;
        for (size_t i = 0; i < want.pixels.size(); ++i)
            bad += !skip[i] && picture.pixels[i] != want.pixels[i];
        return bad;
    }
};

// XORs a mark into every pixel outside r.  Marked before an operation and
// again after it, a pixel outside r that the operation rewrote keeps a mark
// and shows as a mismatch.
inline void MarkOutside(MYBIT& m, const Rect& r, uint32_t mark = 0xA5A5A5) {
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x)
            if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) m.At(x, y) ^= mark;
}

// The drawing order is a permutation; each group lies on consecutive
// positions, shares one orientation and keeps its home offsets turned by
// it; every rectangle has its picture's size.  What is wrong, or "".
inline std::string Invariants(const Board& b) {
    const int n = b.count;
    std::vector<int> seen(n, 0);
    for (int k = 0; k < n; ++k)
        if (b.order[k] < 0 || b.order[k] >= n || seen[b.order[k]]++) return "no permutation";
    std::set<int> closed;
    for (int k = 0; k < n; ++k) {
        const Piece& p = b.pieces[b.order[k]];
        if (closed.count(p.group)) return "group " + std::to_string(p.group) + " split";
        if (k + 1 < n && b.pieces[b.order[k + 1]].group != p.group) closed.insert(p.group);
        if (p.right - p.left != p.Current().Width() || p.bottom - p.top != p.Current().Height())
            return "piece " + std::to_string(b.order[k]) + " has a wrong rectangle";
        if (k == 0 || b.pieces[b.order[k - 1]].group != p.group) continue;
        const Piece& q = b.pieces[b.order[k - 1]];
        const Rect hp = OrientRect(p.HomeRect(), p.orientation), hq = OrientRect(q.HomeRect(), q.orientation);
        if (q.orientation != p.orientation || p.left - q.left != hp.left - hq.left ||
            p.top - q.top != hp.top - hq.top)
            return "group " + std::to_string(p.group) + " lost its shape";
    }
    return "";
}

inline std::vector<int> Order(const Board& b) {
    return std::vector<int>(b.order.begin(), b.order.begin() + b.count);
}

inline void SetOrder(Board& b, std::vector<int> order) {
    std::copy(order.begin(), order.end(), b.order.begin());
    b.count = int(order.size());
}

}  // namespace fixture
