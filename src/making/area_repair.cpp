#include "making/area_repair.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

#include "base/host.h"
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

namespace {

// A word the search has taken: the label of the area that reached it first,
// its distance from that area modulo 4, and whether it was a white word left
// unlabelled (labelling stopped at kMaxAreas) rather than a line word.  The
// labelled mask holds nothing but labels, kMaskLine and kMaskWhite, so the
// top bit tells a taken word from every other.
constexpr uint32_t kTaken = 0x80000000u;
constexpr uint32_t kTakenWhite = 0x40000000u;
constexpr uint32_t kTakenLabel = 0xFFFFu;  // labels run to kMaxAreas
constexpr int kTakenDistanceShift = 16;
static_assert(kMaxAreas <= kTakenLabel);

uint32_t TakenWord(uint32_t was, uint32_t label, uint32_t distance) {
    return kTaken | (was == kMaskWhite ? kTakenWhite : 0) | (distance & 3) << kTakenDistanceShift | label;
}

// Mask words scanned, and taken words spread from, in one step: a few
// milliseconds each.
constexpr int64_t kScanWordsPerStep = int64_t{1} << 22;
constexpr int64_t kSpreadWordsPerStep = int64_t{1} << 17;

// The neighbour bar's colours (COLORREF): the search belongs to the
// neighbours.
constexpr ColorRef kSearchBack = 0xF9A080, kSearchBar = 0xD9430B;

// Words of a row the scan counts and passes over together.
constexpr int32_t kScanBlock = 32;

// Words of the spread fetched ahead of their turn.
constexpr size_t kAhead = 16;

inline void Prefetch(const uint32_t* p) {
#if defined(__GNUC__)
    __builtin_prefetch(p, 1);
#else
    (void)p;
#endif
}

struct Gap {
    int32_t width, a, b;  // pieces a < b
    friend bool operator<(const Gap& x, const Gap& y) {
        return x.width != y.width ? x.width < y.width : x.a != y.a ? x.a < y.a : x.b < y.b;
    }
};

// The narrowest gap found so far between each pair of groups, in an open
// hash table: fronts meet thousands of times along every gap, and only the
// narrowest meeting of two groups can ever be the one that links them.
class NarrowestGaps {
  public:
    void Keep(uint32_t groupA, uint32_t groupB, const Gap& gap) {
        const uint64_t key = (uint64_t{std::min(groupA, groupB)} + 1) << 32 | (std::max(groupA, groupB) + 1);
        // Meetings come in runs along one gap.
        if (key != lastKey_) {
            lastSlot_ = Find(key);
            lastKey_ = key;
        }
        Slot& s = slots_[lastSlot_];
        if (s.key == 0) {
            s = Slot{key, gap};
            if (++used_ * 2 > slots_.size()) Grow();
        } else if (gap < s.gap) {
            s.gap = gap;
        }
    }
    std::vector<Gap> Sorted() const {
        std::vector<Gap> gaps;
        gaps.reserve(used_);
        for (const Slot& s : slots_)
            if (s.key) gaps.push_back(s.gap);
        std::sort(gaps.begin(), gaps.end());
        return gaps;
    }

  private:
    struct Slot {
        uint64_t key;  // 0 for an empty slot
        Gap gap;
    };
    size_t Find(uint64_t key) const {
        const size_t mask = slots_.size() - 1;
        size_t i = (key * 0x9E3779B97F4A7C15ull) >> 20 & mask;
        while (slots_[i].key != 0 && slots_[i].key != key) i = (i + 1) & mask;
        return i;
    }
    void Grow() {
        std::vector<Slot> old(slots_.size() * 2, Slot{0, {}});
        old.swap(slots_);
        for (const Slot& s : old)
            if (s.key) slots_[Find(s.key)] = s;
        lastKey_ = 0;  // no key
    }

    std::vector<Slot> slots_ = std::vector<Slot>(1024, Slot{0, {}});
    size_t used_ = 0;
    uint64_t lastKey_ = 0;
    size_t lastSlot_ = 0;
};

}  // namespace

// The search, kept between steps.  Words are addressed by their index in
// the mask's pixel array (rows bottom-up), so the row above a word is W
// further on.
struct ApartSearch {
    int32_t areas = 0;              // labels 1 .. areas name areas
    int32_t pieces = 0;             // areas with a piece: the ones linked
    Groups groups{0};               // of the pieces, as the search found them
    std::vector<uint32_t> groupOf;  // by label - 1; an area without a piece is a group of its own
    int32_t apart = 0;              // groups still apart
    int32_t row = 0;                // the next mask row to scan, from the top
    int32_t rowsPerStep = 1;        // of the scan and of giving the words back
    int64_t open = 0;               // words no area holds: what the spread takes
    // Per block of kScanBlock words, the words no area holds in the rows
    // above, at and below the row being scanned.
    std::vector<uint8_t> linesAbove, linesHere, linesBelow;
    // Taken words by distance: the layer spreading (from `head` on) and
    // the one it reaches.  The layers before are looked at no more.
    std::vector<uint32_t> current, next;
    size_t head = 0;
    uint32_t distance = 1;  // of the words in `current`
    bool spread = false;    // every word no area holds is taken
    int32_t givenRows = 0;  // rows of the array whose taken words are given back
    NarrowestGaps gaps;

    // Area `from` (a label) meets area `to` across a gap of `width` words.
    void Meet(uint32_t fromGroup, uint32_t from, uint32_t to, int32_t width) {
        const uint32_t toGroup = groupOf[to - 1];
        if (toGroup == fromGroup) return;
        const int32_t a = static_cast<int32_t>(from) - 1, b = static_cast<int32_t>(to) - 1;
        gaps.Keep(fromGroup, toGroup, Gap{width, std::min(a, b), std::max(a, b)});
    }

    // Mask row y (from the top): every area word reaches the words beside
    // it (left, right, above, below) that no area holds, at distance 1.
    // Scanning row by row from the top gives the areas their turns in the
    // order the ties are settled.
    void ScanRow(MYBIT& mask, int32_t y) {
        const int32_t W = mask.Width(), H = mask.Height();
        uint32_t* const base = mask.pixels.data();
        uint32_t* const row = base + static_cast<size_t>(H - 1 - y) * W;
        uint32_t* const above = y > 0 ? row + W : nullptr;
        uint32_t* const below = y + 1 < H ? row - W : nullptr;
        const uint32_t n = static_cast<uint32_t>(areas);
        auto reach = [&](uint32_t label, uint32_t group, uint32_t* word) {
            const uint32_t v = *word;
            if (v - 1u < n) return;  // the same area: areas never touch
            if (!(v & kTaken)) {
                *word = TakenWord(v, label, 1);
                current.push_back(static_cast<uint32_t>(word - base));
            } else {
                Meet(group, label, v & kTakenLabel, 1);
            }
        };
        // Blocks of words with no word outside an area in them, nor above
        // or below them, are passed over at once: most of the mask.  Each
        // row is counted once, a row ahead of its turn.
        const uint32_t* const up = above ? above : row;
        const uint32_t* const down = below ? below : row;
        const int32_t blocks = (W + kScanBlock - 1) / kScanBlock;
        if (y == 0) {
            linesAbove.assign(blocks, 0);
            CountLines(row, W, linesHere);
        }
        if (below)
            CountLines(below, W, linesBelow);
        else
            linesBelow.assign(blocks, 0);
        for (int32_t k = 0; k < blocks; ++k) {
            const int32_t x0 = k * kScanBlock, x1 = std::min(W, x0 + kScanBlock);
            const uint8_t here = linesHere[k];
            open += here;
            if (here == x1 - x0) continue;  // no area word
            if (here == 0 && linesAbove[k] == 0 && linesBelow[k] == 0 && (x0 == 0 || row[x0 - 1] - 1u < n) &&
                (x1 == W || row[x1] - 1u < n))
                continue;
            // Which words of the block are area words beside a word no area
            // holds (the words beyond the mask's edges count as area words
            // here), worked out for the whole block at once.
            uint8_t seed[kScanBlock];
            auto seedAt = [&](int32_t x) {
                const uint32_t left = x > 0 ? row[x - 1] : 1, right = x + 1 < W ? row[x + 1] : 1;
                return static_cast<uint8_t>((row[x] - 1u < n) & ((left - 1u >= n) | (right - 1u >= n) |
                                                                 (up[x] - 1u >= n) | (down[x] - 1u >= n)));
            };
            const int32_t lo = std::max(x0, 1), hi = std::min(x1, W - 1);
            for (int32_t x = lo; x < hi; ++x)
                seed[x - x0] = (row[x] - 1u < n) & ((row[x - 1] - 1u >= n) | (row[x + 1] - 1u >= n) |
                                                    (up[x] - 1u >= n) | (down[x] - 1u >= n));
            if (x0 == 0) seed[0] = seedAt(0);
            if (x1 == W) seed[W - 1 - x0] = seedAt(W - 1);
            for (int32_t x = x0; x < x1; ++x) {
                if (!seed[x - x0]) continue;
                const uint32_t v = row[x];
                const uint32_t group = groupOf[v - 1];
                if (x > 0) reach(v, group, row + x - 1);
                if (x + 1 < W) reach(v, group, row + x + 1);
                if (above) reach(v, group, above + x);
                if (below) reach(v, group, below + x);
            }
        }
        linesAbove.swap(linesHere);
        linesHere.swap(linesBelow);
    }

    // The words of each block of a row that no area holds.
    void CountLines(const uint32_t* row, int32_t W, std::vector<uint8_t>& count) const {
        const uint32_t n = static_cast<uint32_t>(areas);
        count.resize((W + kScanBlock - 1) / kScanBlock);
        const int32_t whole = W / kScanBlock;
        // Whole blocks with a fixed count, which the compiler turns into
        // vector instructions; then the rest.
        for (int32_t k = 0; k < whole; ++k) {
            const uint32_t* block = row + static_cast<size_t>(k) * kScanBlock;
            uint32_t lines = 0;
            for (int32_t j = 0; j < kScanBlock; ++j) lines += block[j] - 1u >= n;
            count[k] = static_cast<uint8_t>(lines);
        }
        if (whole < static_cast<int32_t>(count.size())) {
            uint32_t lines = 0;
            for (int32_t x = whole * kScanBlock; x < W; ++x) lines += row[x] - 1u >= n;
            count[whole] = static_cast<uint8_t>(lines);
        }
    }

    // The taken words of `current` from `head` on, at most `budget` of them:
    // each reaches the words beside it.  A word no area holds yet is taken
    // at distance + 1; any other word of another group is a meeting, and
    // the gap is both distances added.
    void Spread(MYBIT& mask, int64_t budget) {
        const uint32_t W = static_cast<uint32_t>(mask.Width());
        const size_t total = mask.pixels.size();
        uint32_t* const base = mask.pixels.data();
        const uint32_t n = static_cast<uint32_t>(areas);
        const double perRow = 1.0 / W;
        const int32_t d = static_cast<int32_t>(distance);
        const size_t end = std::min(current.size(), head + static_cast<size_t>(budget));
        for (; head < end; ++head) {
            // The words of a layer lie all over the mask, far too large to
            // stay in the cache from one layer to the next: the rows round
            // a word a few turns ahead are fetched while this one spreads.
            if (head + kAhead < end) {
                const uint32_t* ahead = base + current[head + kAhead];
                Prefetch(ahead);
                if (ahead + W < base + total) Prefetch(ahead + W);
                if (ahead >= base + W) Prefetch(ahead - W);
            }
            const uint32_t i = current[head];
            const uint32_t label = base[i] & kTakenLabel;
            const uint32_t group = groupOf[label - 1];
            auto reach = [&](uint32_t j) {
                const uint32_t v = base[j];
                if (v - 1u < n) {
                    Meet(group, label, v, d);
                } else if (!(v & kTaken)) {
                    base[j] = TakenWord(v, label, distance + 1);
                    next.push_back(j);
                } else if (groupOf[(v & kTakenLabel) - 1] != group) {
                    // Words side by side lie at most one apart.
                    const uint32_t step = ((v >> kTakenDistanceShift) - distance) & 3;
                    Meet(group, label, v & kTakenLabel, 2 * d + (step == 1 ? 1 : step == 3 ? -1 : 0));
                }
            };
            // The column, without a division per word.
            uint32_t x = i - static_cast<uint32_t>(i * perRow) * W;
            if (static_cast<int32_t>(x) < 0) x += W;
            if (x >= W) x -= W;
            if (x > 0) reach(i - 1);
            if (x + 1 < W) reach(i + 1);
            if (i + W < total) reach(i + W);
            if (i >= W) reach(i - W);
        }
    }

    // The narrowest gaps link the groups, narrowest first.
    void Link(std::vector<Piece>& list) {
        for (const Gap& g : gaps.Sorted()) {
            if (g.a >= pieces || g.b >= pieces || !groups.Unite(g.a, g.b)) continue;
            AddNeighbour(list[g.a].neighbours, g.b);
            AddNeighbour(list[g.b].neighbours, g.a);
            if (--apart == 1) break;
        }
    }
};

namespace {

// The grid's cells and the groups; a search when the pieces are apart.
std::unique_ptr<ApartSearch> BeginLinking(MakingState& m) {
    if (!m.table) return nullptr;
    const int32_t n = std::min(m.areaCount, m.table->count);
    if (n <= 1) return nullptr;
    std::vector<Piece>& pieces = m.table->pieces;
    auto link = [&](int32_t a, int32_t b) {
        AddNeighbour(pieces[a].neighbours, b);
        AddNeighbour(pieces[b].neighbours, a);
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
    auto s = std::make_unique<ApartSearch>();
    s->groups = Groups(n);
    s->apart = n;
    for (int32_t a = 0; a < n; ++a)
        for (const int32_t b : pieces[a].neighbours)
            if (b >= 0 && b < n && s->groups.Unite(a, b)) --s->apart;
    if (s->apart == 1 || m.mask.Empty()) return nullptr;
    s->areas = m.areaCount;
    s->pieces = n;
    s->groupOf.resize(m.areaCount);
    for (int32_t a = 0; a < m.areaCount; ++a)
        s->groupOf[a] = static_cast<uint32_t>(a < n ? s->groups.Find(a) : a);
    s->rowsPerStep = static_cast<int32_t>(std::max<int64_t>(1, kScanWordsPerStep / m.maskWidth));
    return s;
}

// One step: a band of rows scanned, a stretch of the spread, or a band of
// rows given back.  False once the search is done and the pieces linked.
bool SearchStep(MakingState& m, ApartSearch& s) {
    if (s.row < m.maskHeight) {
        const int32_t end = std::min(m.maskHeight, s.row + s.rowsPerStep);
        for (; s.row < end; ++s.row) s.ScanRow(m.mask, s.row);
        return true;
    }
    if (!s.spread) {
        int64_t budget = kSpreadWordsPerStep;
        while (budget > 0) {
            if (s.head == s.current.size()) {
                s.current.clear();
                s.current.swap(s.next);
                s.head = 0;
                ++s.distance;
                if (s.current.empty()) {
                    s.spread = true;
                    std::vector<uint32_t>().swap(s.current);
                    std::vector<uint32_t>().swap(s.next);
                    return true;
                }
            }
            const size_t from = s.head;
            s.Spread(m.mask, budget);
            budget -= static_cast<int64_t>(s.head - from);
        }
        return true;
    }
    if (s.givenRows < m.maskHeight) {
        // In the order of the array, which is all one to this pass.
        const int32_t end = std::min(m.maskHeight, s.givenRows + s.rowsPerStep);
        uint32_t* v = m.mask.pixels.data() + static_cast<size_t>(s.givenRows) * m.maskWidth;
        uint32_t* const stop = m.mask.pixels.data() + static_cast<size_t>(end) * m.maskWidth;
        for (; v != stop; ++v) {
            const uint32_t taken = 0u - (*v >> 31);
            const uint32_t was = (*v >> 30 & 1) * kMaskWhite;
            *v = (*v & ~taken) | (was & taken);
        }
        s.givenRows = end;
        return true;
    }
    s.Link(m.table->pieces);
    return false;
}

// Steps of the progress bar: the bands of the scan; then the spread and
// the bands given back.
int ScanSteps(const MakingState& m, const ApartSearch& s) {
    return (m.maskHeight + s.rowsPerStep - 1) / s.rowsPerStep;
}
int SpreadSteps(const MakingState& m, const ApartSearch& s) {
    return static_cast<int>(s.open / kSpreadWordsPerStep) + ScanSteps(m, s) + 1;
}

}  // namespace

int StartLinkingApart(MakingState& m, Host& host) {
    m.apartSearch.reset();
    std::unique_ptr<ApartSearch> s = BeginLinking(m);
    if (!s) return 0;
    host.ShowProgress(ScanSteps(m, *s), kSearchBack, kSearchBar);
    m.apartSearch = std::move(s);
    return 1;
}

int LinkApartStep(MakingState& m, Host& host) {
    if (!m.apartSearch || !m.table) return 0;
    ApartSearch& s = *m.apartSearch;
    const bool scanning = s.row < m.maskHeight;
    const bool more = SearchStep(m, s);
    if (!more) {
        host.CloseProgress();
        m.apartSearch.reset();
        return 0;
    }
    host.StepProgress();
    // The scan is done: a bar for the rest.
    if (scanning && s.row >= m.maskHeight) host.ShowProgress(SpreadSteps(m, s), kSearchBack, kSearchBar);
    return 1;
}
