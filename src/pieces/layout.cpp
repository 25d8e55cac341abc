#include "pieces/layout.h"

#include <algorithm>
#include <climits>
#include <tuple>

namespace {

// Below this share a piece would show too little of itself to be told
// apart; the obstacles are given up before the step goes lower.
constexpr double kLeastStepBesideObstacles = 0.2;
// A row always advances by one pixel at least, so this only bounds the
// search.
constexpr double kLeastStep = 0.001;
constexpr int kStepSearchRounds = 12;

bool Overlaps(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

int Advance(double step, int size) {
    return std::max(1, static_cast<int>(step * (size + kLayoutGap)));
}

// One attempt at a given step.  A row runs left to right and skips past
// every obstacle a rectangle (with its gap) would touch; a row that finds
// no place at all moves down to where the first obstacle in its way ends.
// A size larger than the area counts as the area's, so that one huge piece
// does not keep the rest out of the window: it goes to the left or top
// edge and overhangs.  False when the rows run out of height.
bool TryRows(const std::vector<Size>& sizes, Size area, const std::vector<Rect>* obstacles, double step,
             std::vector<Point>& at) {
    const int n = static_cast<int>(sizes.size());
    const int right = area.cx - kLayoutGap, bottom = area.cy - kLayoutGap;
    const int widest = std::max(1, right - kLayoutGap), tallest = std::max(1, bottom - kLayoutGap);
    int maxH = 0;
    for (const Size& s : sizes) maxH = std::max(maxH, std::min(s.cy, tallest));
    at.assign(n, Point{});
    std::vector<Rect> band;
    int y = kLayoutGap, i = 0;
    while (i < n) {
        if (y + std::min(sizes[i].cy, tallest) > bottom) return false;
        // The obstacles any rectangle of this row could touch, by left edge.
        band.clear();
        if (obstacles)
            for (const Rect& o : *obstacles)
                if (o.top < y + maxH + kLayoutGap && o.bottom + kLayoutGap > y && !o.IsEmpty()) band.push_back(o);
        std::sort(band.begin(), band.end(), [](const Rect& a, const Rect& b) { return a.left < b.left; });
        int x = kLayoutGap, rowH = 0, placed = 0;
        while (i < n) {
            const int w = std::min(sizes[i].cx, widest), h = std::min(sizes[i].cy, tallest);
            if (x + w > right || y + h > bottom) break;
            const Rect room{x - kLayoutGap, y - kLayoutGap, x + w + kLayoutGap, y + h + kLayoutGap};
            int past = INT_MIN;
            for (const Rect& o : band) {
                if (o.left >= room.right) break;
                if (Overlaps(o, room)) past = std::max(past, o.right);
            }
            if (past != INT_MIN) {
                x = std::max(x + 1, past + kLayoutGap);
                continue;
            }
            at[i] = Point{x, y};
            x += Advance(step, w);
            rowH = std::max(rowH, h);
            ++i;
            ++placed;
        }
        if (placed > 0) {
            y += Advance(step, rowH);
            continue;
        }
        int next = INT_MAX;
        for (const Rect& o : band)
            if (o.bottom + kLayoutGap > y) next = std::min(next, o.bottom + kLayoutGap);
        if (next == INT_MAX) return false;
        y = next;
    }
    return true;
}

// The largest step from `least` to 1 at which TryRows fits them all; false
// when even `least` does not.
bool SearchStep(const std::vector<Size>& sizes, Size area, const std::vector<Rect>* obstacles, double least,
                RowLayout& out) {
    std::vector<Point> at;
    if (TryRows(sizes, area, obstacles, 1.0, at)) {
        out.at = std::move(at);
        out.step = 1;
        return true;
    }
    if (!TryRows(sizes, area, obstacles, least, at)) return false;
    out.at = at;
    double lo = least, hi = 1;
    for (int round = 0; round < kStepSearchRounds; ++round) {
        const double mid = (lo + hi) / 2;
        if (TryRows(sizes, area, obstacles, mid, at)) {
            lo = mid;
            out.at = at;
        } else {
            hi = mid;
        }
    }
    out.step = lo;
    return true;
}

}  // namespace

Rect HomeBounds(const Board& board) {
    Rect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int a = 0; a < board.count; ++a) {
        const Piece& p = board.pieces[a];
        r = Rect{std::min(r.left, p.homeLeft), std::min(r.top, p.homeTop), std::max(r.right, p.homeRight),
                 std::max(r.bottom, p.homeBottom)};
    }
    return board.count > 0 ? r : Rect{};
}

int EdgeSides(const Piece& a, const Rect& picture) {
    return (a.homeTop <= picture.top ? kSideTop : 0) | (a.homeRight >= picture.right ? kSideRight : 0) |
           (a.homeBottom >= picture.bottom ? kSideBottom : 0) | (a.homeLeft <= picture.left ? kSideLeft : 0);
}

std::vector<int> EdgePiecesInOrder(const Board& board, const std::vector<int>& pieces) {
    const Rect picture = HomeBounds(board);
    // (part of the border, place along it, piece number)
    std::vector<std::tuple<int, int, int>> keyed;
    for (int a : pieces) {
        const Piece& p = board.pieces[a];
        const int sides = EdgeSides(p, picture);
        if (sides == 0) continue;
        const bool across = sides & (kSideTop | kSideBottom), upright = sides & (kSideLeft | kSideRight);
        if (across && upright) {
            const int corner = (sides & kSideTop) ? ((sides & kSideLeft) ? 0 : 1) : ((sides & kSideRight) ? 2 : 3);
            keyed.emplace_back(0, corner, a);
        } else if (sides & kSideTop) {
            keyed.emplace_back(1, p.homeLeft, a);
        } else if (sides & kSideRight) {
            keyed.emplace_back(2, p.homeTop, a);
        } else if (sides & kSideBottom) {
            keyed.emplace_back(3, -p.homeLeft, a);
        } else {
            keyed.emplace_back(4, -p.homeTop, a);
        }
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<int> out;
    out.reserve(keyed.size());
    for (const auto& k : keyed) out.push_back(std::get<2>(k));
    return out;
}

RowLayout PackInRows(const std::vector<Size>& sizes, Size area, const std::vector<Rect>& obstacles) {
    RowLayout out;
    if (sizes.empty()) return out;
    if (SearchStep(sizes, area, &obstacles, kLeastStepBesideObstacles, out)) return out;
    // No room beside what stays: the pieces go over it rather than out of
    // the window.  With one pixel per piece at least, this always ends.
    out.clearOfObstacles = false;
    SearchStep(sizes, area, nullptr, kLeastStep, out);
    return out;
}

void PlaceOnTop(Board& board, const std::vector<int>& pieces, const std::vector<Point>& at) {
    std::vector<char> moving(board.count, 0);
    for (size_t i = 0; i < pieces.size(); ++i) {
        Piece& p = board.pieces[pieces[i]];
        const int w = p.right - p.left, h = p.bottom - p.top;
        p.left = at[i].x;
        p.top = at[i].y;
        p.right = p.left + w;
        p.bottom = p.top + h;
        moving[pieces[i]] = 1;
    }
    int k = 0;
    for (int j = 0; j < board.count; ++j)
        if (!moving[board.order[j]]) board.order[k++] = board.order[j];
    for (int a : pieces) board.order[k++] = a;
}
