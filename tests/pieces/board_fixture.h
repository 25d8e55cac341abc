// Boards for tests and benchmarks: rectangular pieces of a grid whose soft
// edges overlap their neighbours' only where both are partly transparent,
// a board recomposed from scratch to compare with, and the invariants.
#pragma once

#include <algorithm>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "image/mybit.h"
#include "pieces/board.h"
#include "pieces/board_ops.h"

namespace fixture {

// FNV-1a over the pixel words, a byte at a time.
inline uint32_t Fnv1a(const MYBIT& b) {
    uint32_t h = 2166136261u;
    for (uint32_t w : b.pixels)
        for (int i = 0; i < 4; ++i) h = (h ^ ((w >> (8 * i)) & 0xFF)) * 16777619u;
    return h;
}

// The picture's colour at a point of the finished picture: every pixel
// differs from its neighbours, so a piece drawn one pixel off shows.
inline uint32_t PictureColour(int hx, int hy) {
    return (static_cast<uint32_t>(hx * 7 + hy * 3) & 0xFF) << 16 |
           (static_cast<uint32_t>(hx * hy + 11) & 0xFF) << 8 | (static_cast<uint32_t>(hx ^ (hy * 5)) & 0xFF);
}

// Piece pictures of the home rectangle (hl, ht, hl + w, ht + h): opaque
// inside, partly transparent on a ring `soft` pixels wide, with a
// transparent notch 6 wide and 4 deep in the middle of the top edge through
// which the board shows; all eight orientations.
inline void MakeRectPiece(Piece& p, int hl, int ht, int w, int h, int soft) {
    MYBIT& pic = p.pictures[0];
    pic.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (y < 4 && x >= w / 2 - 3 && x < w / 2 + 3) continue;
            const int d = std::min(std::min(x, y), std::min(w - 1 - x, h - 1 - y));
            const uint32_t a = d >= soft ? 255u : static_cast<uint32_t>(255 * (d + 1) / (soft + 1));
            pic.At(x, y) = a << 24 | PictureColour(hl + x, ht + y);
        }
    MYBIT* r[7];
    for (int i = 0; i < 7; ++i) r[i] = &p.pictures[i + 1];
    pic.MakeOrientations(r);
    p.homeLeft = hl;
    p.homeTop = ht;
    p.homeRight = hl + w;
    p.homeBottom = ht + h;
}

// Places a piece with its current picture's top-left at (x, y).
inline void Place(Piece& p, int x, int y, int orientation) {
    p.orientation = orientation;
    p.left = x;
    p.top = y;
    p.right = x + p.Current().Width();
    p.bottom = y + p.Current().Height();
}

// A board picture and clean board of w x h, the clean board a gradient so
// that a piece of background copied from the wrong place shows.
struct TestBoard {
    MYBIT clean, picture;
    Board board;

    TestBoard(int w, int h) {
        clean.Create(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                clean.At(x, y) = static_cast<uint32_t>((x * 3) & 0xFF) << 16 |
                                 static_cast<uint32_t>((y * 5) & 0xFF) << 8 | 0x40;
        picture.CopyFrom(clean);
        board.boardPicture = &picture;
        board.cleanBoard = &clean;
    }
    // The board points into the object itself.
    TestBoard(const TestBoard&) = delete;
    TestBoard& operator=(const TestBoard&) = delete;

    // cols x rows pieces of cell size cw x ch; each home rectangle is its
    // cell grown by `soft` on every side, so neighbours overlap by 2 * soft
    // pixels of soft edge.  Piece r * cols + c is a group of its own, at
    // its home place shifted by (ox, oy), drawn in number order.
    void AddGrid(int cols, int rows, int cw, int ch, int soft, int ox = 0, int oy = 0) {
        const int base = board.count;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                const int num = base + r * cols + c;
                Piece& p = board.pieces[num];
                MakeRectPiece(p, c * cw - soft, r * ch - soft, cw + 2 * soft, ch + 2 * soft, 2 * soft);
                Place(p, p.homeLeft + ox, p.homeTop + oy, 0);
                p.group = num;
                p.neighbours.clear();
                if (c > 0) p.neighbours.push_back(num - 1);
                if (c + 1 < cols) p.neighbours.push_back(num + 1);
                if (r > 0) p.neighbours.push_back(num - cols);
                if (r + 1 < rows) p.neighbours.push_back(num + cols);
                p.neighbours.push_back(-1);
                board.order[num] = num;
            }
        board.count = base + cols * rows;
    }

    // The board picture as it must be: the clean board with every piece
    // pasted in drawing order.
    void Recompose(MYBIT& out) const {
        out.CopyFrom(clean);
        for (int k = 0; k < board.count; ++k) {
            const Piece& p = board.pieces[board.order[k]];
            out.PasteBlend(p.Current(), p.left, p.top);
        }
    }
    void Redraw() { Recompose(picture); }

    // Pixels that some piece covers with partial alpha: where a group's
    // pieces are drawn over one another such a pixel can be blended twice.
    std::vector<uint8_t> SoftMask() const {
        std::vector<uint8_t> m(static_cast<size_t>(picture.Width()) * picture.Height(), 0);
        for (int k = 0; k < board.count; ++k) {
            const Piece& p = board.pieces[board.order[k]];
            const MYBIT& pic = p.Current();
            for (int y = std::max(0, -p.top); y < pic.Height() && p.top + y < picture.Height(); ++y)
                for (int x = std::max(0, -p.left); x < pic.Width() && p.left + x < picture.Width(); ++x) {
                    const uint32_t a = pic.At(x, y) >> 24;
                    if (a != 0 && a != 255)
                        m[static_cast<size_t>(p.top + y) * picture.Width() + p.left + x] = 1;
                }
        }
        return m;
    }

    // Pixels where the board picture differs from the recomposed one,
    // leaving out those that SoftMask marks when `soft` is set.
    int Mismatches(bool soft = true) const {
        MYBIT want;
        Recompose(want);
        const std::vector<uint8_t> mask = soft ? SoftMask() : std::vector<uint8_t>();
        int bad = 0;
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x) {
                if (soft && mask[static_cast<size_t>(y) * picture.Width() + x]) continue;
                if (picture.At(x, y) != want.At(x, y)) ++bad;
            }
        return bad;
    }
};

// XORs a mark into every board pixel outside `area`, so that a test can
// see afterwards which pixels an operation rewrote.
constexpr uint32_t kMark = 0x00A5A5A5;
inline void MarkOutside(MYBIT& m, const Rect& area) {
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x)
            if (!(x >= area.left && x < area.right && y >= area.top && y < area.bottom)) m.At(x, y) ^= kMark;
}

// After MarkOutside and an operation: the pixels outside `area` that were
// rewritten (they lost their mark) plus those inside that are wrong.
inline int TouchedOutside(const TestBoard& t, const Rect& area) {
    MYBIT want;
    t.Recompose(want);
    const std::vector<uint8_t> soft = t.SoftMask();
    int bad = 0;
    for (int y = 0; y < want.Height(); ++y)
        for (int x = 0; x < want.Width(); ++x) {
            const bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
            if (inside && soft[static_cast<size_t>(y) * want.Width() + x]) continue;
            if (t.picture.At(x, y) != (inside ? want.At(x, y) : want.At(x, y) ^ kMark)) ++bad;
        }
    return bad;
}

// The board's invariants: the drawing order is a permutation, each group
// lies on consecutive positions, shares one orientation and keeps its home
// offsets turned by it, and every rectangle has its picture's size.  What
// is wrong, or "" when all hold.
inline std::string Invariants(const Board& b) {
    const int n = b.count;
    std::ostringstream why;
    std::vector<int> seen(n, 0);
    for (int k = 0; k < n; ++k) {
        const int num = b.order[k];
        if (num < 0 || num >= n || seen[num]++) {
            why << "order is no permutation at " << k;
            return why.str();
        }
    }
    std::set<int> closed;
    for (int k = 0; k < n; ++k) {
        const Piece& p = b.pieces[b.order[k]];
        if (closed.count(p.group)) why << "group " << p.group << " split";
        if (k + 1 < n && b.pieces[b.order[k + 1]].group != p.group) closed.insert(p.group);
        if (p.right - p.left != p.Current().Width() || p.bottom - p.top != p.Current().Height())
            why << "piece " << b.order[k] << " has a rectangle of the wrong size";
        if (k > 0 && b.pieces[b.order[k - 1]].group == p.group) {
            const Piece& q = b.pieces[b.order[k - 1]];
            const Rect hp = OrientRect(p.HomeRect(), p.orientation);
            const Rect hq = OrientRect(q.HomeRect(), q.orientation);
            if (q.orientation != p.orientation)
                why << "group " << p.group << " has two orientations";
            else if (p.left - q.left != hp.left - hq.left || p.top - q.top != hp.top - hq.top)
                why << "group " << p.group << " lost its home offsets";
        }
        if (!why.str().empty()) return why.str();
    }
    return "";
}

inline std::vector<int> Order(const Board& b) {
    return std::vector<int>(b.order.begin(), b.order.begin() + b.count);
}

}  // namespace fixture
