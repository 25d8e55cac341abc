#include "making/area_repair.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "pieces/board.h"

namespace {

// into[a] is the area that area a joins: into[a] == a for every area that
// stays, -1 for one dissolved into the cutting lines.  The labelled mask,
// the boxes and the cell table are renumbered so that the areas that stay
// keep their order and run from 0 without a gap.  A dissolved area's words
// become line words; its box, one word wider all round, is kept in
// m.looseRects so that its words are given to the pieces round it.
void MergeAreas(MakingState& m, const std::vector<int32_t>& into) {
    const int32_t n = m.areaCount;
    std::vector<int32_t> newIndex(n, -1);
    int32_t kept = 0;
    for (int32_t a = 0; a < n; ++a)
        if (into[a] == a) newIndex[a] = kept++;
    // newLabel[v] for the old label v (1 .. n).
    std::vector<uint32_t> newLabel(static_cast<size_t>(n) + 1, kMaskLine);
    std::vector<AreaBox> boxes(kept);
    std::vector<uint8_t> boxSet(kept, 0);
    for (int32_t a = 0; a < n; ++a) {
        const AreaBox& b = m.boxes[a];
        if (into[a] < 0) {
            m.looseRects.push_back(Rect{std::max(b.minX - 1, 0), std::max(b.minY - 1, 0),
                                        std::min(b.maxX + 2, m.maskWidth), std::min(b.maxY + 2, m.maskHeight)});
            continue;
        }
        const int32_t t = newIndex[into[a]];
        newLabel[a + 1] = static_cast<uint32_t>(t + 1);
        AreaBox& u = boxes[t];
        if (!boxSet[t]) {
            u = b;
            boxSet[t] = 1;
        } else {
            u = AreaBox{std::min(u.minX, b.minX), std::min(u.minY, b.minY), std::max(u.maxX, b.maxX),
                        std::max(u.maxY, b.maxY)};
        }
    }
    for (uint32_t& v : m.mask.pixels)
        if (v - 1u < static_cast<uint32_t>(n)) v = newLabel[v];
    std::copy(boxes.begin(), boxes.end(), m.boxes.begin());
    std::fill(m.boxes.begin() + kept, m.boxes.begin() + n, AreaBox{});
    for (int32_t& a : m.cellAreas)
        if (a >= 0) a = newIndex[into[a]];
    m.areaCount = kept;
}

// The area label at (x, y), 0 for a line word, a word beyond the mask or
// one left unlabelled.
uint32_t LabelAt(const MakingState& m, int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= m.maskWidth || y >= m.maskHeight) return 0;
    const uint32_t v = m.mask.At(x, y);
    return v - 1u < static_cast<uint32_t>(m.areaCount) ? v : 0;
}

// Union-find over pieces.
struct Groups {
    std::vector<int32_t> parent;
    explicit Groups(int32_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
    int32_t Find(int32_t a) {
        while (parent[a] != a) a = parent[a] = parent[parent[a]];
        return a;
    }
    bool Unite(int32_t a, int32_t b) {
        a = Find(a);
        b = Find(b);
        if (a == b) return false;
        parent[std::max(a, b)] = std::min(a, b);
        return true;
    }
};

// Adds b to a's neighbour list (increasing, ended by -1) unless it is there.
bool AddNeighbour(std::vector<int32_t>& list, int32_t b) {
    if (list.empty()) list.push_back(-1);
    const auto end = list.end() - 1;
    const auto at = std::lower_bound(list.begin(), end, b);
    if (at != end && *at == b) return false;
    list.insert(at, b);
    return true;
}

struct Gap {
    int32_t width, a, b;
    friend bool operator<(const Gap& x, const Gap& y) {
        return x.width != y.width ? x.width < y.width : x.a != y.a ? x.a < y.a : x.b < y.b;
    }
};

// The gaps between pieces of different groups: a search that spreads from
// every area through the words no area holds, each word taken by the area
// that reaches it first; where two fronts of different groups meet, the gap
// between their areas is the words crossed from both sides.
std::vector<Gap> GapsBetweenGroups(const MakingState& m, Groups& groups) {
    const int32_t W = m.maskWidth, H = m.maskHeight;
    const size_t total = static_cast<size_t>(W) * H;
    std::vector<int32_t> owner(total, -1);
    std::vector<int32_t> dist(total, 0);
    std::vector<uint32_t> queue;
    for (int32_t y = 0; y < H; ++y)
        for (int32_t x = 0; x < W; ++x)
            if (const uint32_t v = LabelAt(m, x, y)) {
                const size_t i = static_cast<size_t>(y) * W + x;
                owner[i] = static_cast<int32_t>(v) - 1;
                if (!LabelAt(m, x - 1, y) || !LabelAt(m, x + 1, y) || !LabelAt(m, x, y - 1) ||
                    !LabelAt(m, x, y + 1))
                    queue.push_back(static_cast<uint32_t>(i));
            }
    std::vector<Gap> gaps;
    for (size_t head = 0; head < queue.size(); ++head) {
        const uint32_t i = queue[head];
        const int32_t x = static_cast<int32_t>(i % W), y = static_cast<int32_t>(i / W);
        const int32_t a = owner[i];
        auto visit = [&](int32_t nx, int32_t ny) {
            if (nx < 0 || ny < 0 || nx >= W || ny >= H) return;
            const size_t j = static_cast<size_t>(ny) * W + nx;
            if (owner[j] < 0) {
                owner[j] = a;
                dist[j] = dist[i] + 1;
                queue.push_back(static_cast<uint32_t>(j));
            } else if (groups.Find(owner[j]) != groups.Find(a)) {
                gaps.push_back({dist[i] + dist[j], std::min(a, owner[j]), std::max(a, owner[j])});
            }
        };
        visit(x - 1, y);
        visit(x + 1, y);
        visit(x, y - 1);
        visit(x, y + 1);
    }
    std::sort(gaps.begin(), gaps.end());
    return gaps;
}

}  // namespace

int32_t FitAreasToCells(MakingState& m, const GridDivision& grid) {
    m.cellAreas.clear();
    m.cellColumns = 0;
    const int32_t cols = grid.columns, rows = grid.rows, side = grid.cellWidth;
    const int32_t n = m.areaCount;
    if (cols <= 0 || rows <= 0 || side <= 0 || n == 0 || m.mask.Empty()) return 0;
    const int32_t cells = cols * rows;
    m.cellAreas.assign(cells, -1);
    m.cellColumns = cols;

    // As a rule each cell's centre lies in its own area and every area is
    // some cell's: nothing to mend, and no need to look at every word.
    if (n == cells) {
        std::vector<uint8_t> seen(n, 0);
        bool one = true;
        for (int32_t r = 0; r < rows && one; ++r)
            for (int32_t c = 0; c < cols && one; ++c) {
                const uint32_t v = LabelAt(m, c * side + side / 2, r * side + side / 2);
                one = v != 0 && !seen[v - 1];
                if (one) {
                    seen[v - 1] = 1;
                    m.cellAreas[r * cols + c] = static_cast<int32_t>(v) - 1;
                }
            }
        if (one) return 0;
        std::fill(m.cellAreas.begin(), m.cellAreas.end(), -1);
    }

    // How many words of each area lie in each cell, for the 5 x 5 cells round
    // the cell of the area's box centre: a knob reaches one cell over, so an
    // area's words lie in the cells beside its own.
    constexpr int32_t kSpan = 5, kBins = kSpan * kSpan;
    std::vector<int32_t> homeCol(n), homeRow(n);
    for (int32_t a = 0; a < n; ++a) {
        const AreaBox& b = m.boxes[a];
        homeCol[a] = std::clamp((b.minX + b.maxX) / 2 / side, 0, cols - 1);
        homeRow[a] = std::clamp((b.minY + b.maxY) / 2 / side, 0, rows - 1);
    }
    std::vector<int32_t> colOf(m.maskWidth);
    for (int32_t x = 0; x < m.maskWidth; ++x) colOf[x] = std::min(x / side, cols - 1);
    std::vector<int32_t> cover(static_cast<size_t>(n) * kBins, 0);
    for (int32_t y = 0; y < m.maskHeight; ++y) {
        const int32_t r = std::min(y / side, rows - 1);
        const uint32_t* row = m.mask.Row(y);
        for (int32_t x = 0; x < m.maskWidth; ++x) {
            const uint32_t v = row[x] - 1u;
            if (v >= static_cast<uint32_t>(n)) continue;
            const int32_t dc = colOf[x] - homeCol[v] + 2, dr = r - homeRow[v] + 2;
            if (dc >= 0 && dc < kSpan && dr >= 0 && dr < kSpan) ++cover[v * kBins + dr * kSpan + dc];
        }
    }
    struct Cover {
        int32_t words, area, cell;
    };
    std::vector<Cover> covers;
    std::vector<uint8_t> covered(n, 0);  // per area, whether it covers any cell
    for (int32_t a = 0; a < n; ++a) {
        for (int32_t bin = 0; bin < kBins; ++bin) {
            const int32_t words = cover[a * kBins + bin];
            if (words == 0) continue;
            const int32_t c = homeCol[a] + bin % kSpan - 2, r = homeRow[a] + bin / kSpan - 2;
            const int32_t cell = r * cols + c;
            covers.push_back({words, a, cell});
            covered[a] = 1;
        }
    }
    std::sort(covers.begin(), covers.end(), [](const Cover& p, const Cover& q) {
        return p.words != q.words ? p.words > q.words : p.area != q.area ? p.area < q.area : p.cell < q.cell;
    });
    std::vector<int32_t> into(n, -1);
    for (const Cover& c : covers)
        if (into[c.area] < 0 && m.cellAreas[c.cell] < 0) {
            m.cellAreas[c.cell] = c.area;
            into[c.area] = c.area;
        }
    // Every cell an area covers was taken by a larger cover before the area
    // could take it: the area is a pocket between the lines of those cells,
    // and goes back to the lines.  An area seen in no cell at all (its words
    // lie far from its box centre) stays as it is.
    int32_t dissolved = 0;
    for (int32_t a = 0; a < n; ++a) {
        if (into[a] >= 0) continue;
        into[a] = covered[a] ? -1 : a;
        dissolved += into[a] < 0;
    }
    if (dissolved) MergeAreas(m, into);
    return dissolved;
}

int32_t DissolveSpecks(MakingState& m) {
    const int32_t n = m.areaCount;
    std::vector<int32_t> into(n);
    int32_t specks = 0;
    for (int32_t a = 0; a < n; ++a) {
        const AreaBox& b = m.boxes[a];
        const bool speck = b.maxX - b.minX < kSpeckSide && b.maxY - b.minY < kSpeckSide;
        into[a] = speck ? -1 : a;
        specks += speck;
    }
    // A mask of nothing but specks keeps them: there would be no puzzle.
    if (specks == 0 || specks == n) return 0;
    MergeAreas(m, into);
    return specks;
}

int32_t LinkApartPieces(MakingState& m) {
    if (!m.table) return 0;
    const int32_t n = std::min(m.areaCount, m.table->count);
    if (n <= 1) return 0;
    std::vector<Piece>& pieces = m.table->pieces;
    int32_t linked = 0;
    auto link = [&](int32_t a, int32_t b) {
        const bool added = AddNeighbour(pieces[a].neighbours, b);
        AddNeighbour(pieces[b].neighbours, a);
        linked += added;
    };
    if (!m.cellAreas.empty() && m.cellColumns > 0) {
        // The cells beside each other in a row, then in a column.
        const int32_t cells = static_cast<int32_t>(m.cellAreas.size()), cols = m.cellColumns;
        for (int32_t i = 0; i < cells; ++i) {
            const int32_t a = m.cellAreas[i];
            if (a < 0 || a >= n) continue;
            const int32_t right = (i + 1) % cols ? m.cellAreas[i + 1] : -1;
            const int32_t below = i + cols < cells ? m.cellAreas[i + cols] : -1;
            for (const int32_t b : {right, below})
                if (b >= 0 && b < n && b != a) link(a, b);
        }
    }
    Groups groups(n);
    int32_t apart = n;
    for (int32_t a = 0; a < n; ++a)
        for (const int32_t b : pieces[a].neighbours)
            if (b >= 0 && b < n && groups.Unite(a, b)) --apart;
    if (apart == 1) return linked;
    for (const Gap& g : GapsBetweenGroups(m, groups)) {
        if (g.a >= n || g.b >= n || !groups.Unite(g.a, g.b)) continue;
        link(g.a, g.b);
        if (--apart == 1) break;
    }
    return linked;
}
