// Every puzzle can be finished: a grid cut at any setting of the menu gives
// one piece per cell, each joinable to the cells beside it, with no hole in
// the assembled picture; a cutting pattern's pieces are all connected by
// neighbours, and its specks do not become pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "game/making_steps.h"
#include "image/picture_read.h"
#include "making/area_repair.h"
#include "making/grid.h"
#include "making/meeting_points.h"
#include "making_fixture.h"
#include "pieces/board.h"

namespace {

// The picture at home, pieces pasted in their first orientation: which
// picture pixels no piece covers at all.
int64_t Uncovered(const MakingState& m, const Board& b) {
    const int w = m.maskWidth / 2, h = m.maskHeight / 2;
    std::vector<uint8_t> covered(static_cast<size_t>(w) * h, 0);
    for (int k = 0; k < b.count; ++k) {
        const Piece& p = b.pieces[k];
        const MYBIT& pic = p.pictures[0];
        for (int y = 0; y < pic.Height(); ++y)
            for (int x = 0; x < pic.Width(); ++x)
                if (pic.At(x, y) >> 24) covered[static_cast<size_t>(p.homeTop + y) * w + p.homeLeft + x] = 1;
    }
    return std::count(covered.begin(), covered.end(), 0);
}

// Whether every piece can be reached from piece 0 through neighbour lists.
bool Connected(const Board& b) {
    std::vector<uint8_t> seen(b.count, 0);
    std::vector<int32_t> todo{0};
    seen[0] = 1;
    int reached = 1;
    while (!todo.empty()) {
        const int32_t a = todo.back();
        todo.pop_back();
        for (const int32_t n : b.pieces[a].neighbours)
            if (n >= 0 && !seen[n]) {
                seen[n] = 1;
                ++reached;
                todo.push_back(n);
            }
    }
    return reached == b.count;
}

// The picture sizes the size menu gives a picture of aspect aw : ah.
std::pair<int, int> ScaledSize(int size, int aw, int ah) {
    return aw >= ah ? std::pair{size, size * ah / aw} : std::pair{size * aw / ah, size};
}

// Every piece count of the menu at every size, on pictures from 3 : 1 to
// 1 : 3 and on small pictures played unscaled, through the making steps.
// Each grid is cut as the game cuts it, trimmed to at most kCells cells
// each way (a corner of the picture, with the same cell side: the lines of a
// cell depend on its side, not on how many cells there are), each distinct
// side and trim once per seed.  Sides beyond kLargest are left out: their
// pieces are over 80 picture pixels, and where lines come close enough to
// pinch off pockets is a matter of a few pixels.
TEST(Finishable, EveryGridOfTheMenuHasOneJoinablePiecePerCellAndNoHole) {
    constexpr int kCounts[] = {4, 10, 20, 30, 40, 50, 75, 100, 150, 200, 250, 300, 400, 500, 600, 700, 800, 900, 1000};
    constexpr int kSizes[] = {400, 600, 800, 1000, 1200, 1400, 1600, 1800, 2000};
    constexpr std::pair<int, int> kAspects[] = {{3, 1}, {16, 9}, {1, 1}, {1, 3}};
    constexpr std::pair<int, int> kUnscaled[] = {{100, 100}, {320, 180}, {100, 300}, {300, 100}};
    constexpr int kCells = 6, kLargest = 160;

    FakeHost host;
    std::vector<std::pair<int, int>> pictures;
    for (const int size : kSizes)
        for (const auto& [aw, ah] : kAspects) pictures.push_back(ScaledSize(size, aw, ah));
    for (const auto& p : kUnscaled) pictures.push_back(p);
    std::set<std::tuple<int, int, int>> grids;
    for (const int count : kCounts)
        for (const auto& [w, h] : pictures) {
            const GridDivision g = DivideGrid(count, 2 * w, 2 * h, 0, host);
            ASSERT_GE(g.cellWidth, kMinCellSide);
            if (g.cellWidth <= kLargest)
                grids.insert({g.cellWidth, std::min(g.columns, kCells), std::min(g.rows, kCells)});
        }

    int cut = 0;
    for (const auto& [side, cols, rows] : grids)
        for (uint32_t seed = 1; seed <= (side <= 40 ? 3u : 1u); ++seed) {
            SCOPED_TRACE(std::to_string(cols) + " x " + std::to_string(rows) + " cells of " + std::to_string(side) +
                         ", seed " + std::to_string(seed));
            MakingFixture f(seed);
            PuzzleGame& g = f.g();
            g.grid = GridDivision{side, side, cols, rows};
            MYBIT mask;
            mask.CreateFilled(0xFFFFFF, cols * side, rows * side);
            mask.DrawBeziers(CutLinesForGrid(g.grid, 0, BuildShapeTables(f.settings), g.rng), 0x000000);
            CloseMeetingPoints(mask, g.grid);
            MYBIT picture;
            picture.CreateFilled(0x808080, mask.Width() / 2, mask.Height() / 2);
            ASSERT_EQ(StartCutting(g.making, picture, std::move(mask), g.board, f.host), 1);
            ASSERT_EQ(RunMakingSteps(g, MSG_MAKE_1), 1);
            ++cut;

            const Board& b = g.board;
            ASSERT_EQ(b.count, cols * rows);
            // The cell holding the centre of each piece's home rectangle
            // (picture pixels): every cell holds exactly one.
            std::vector<int32_t> inCell(static_cast<size_t>(cols) * rows, -1);
            for (int k = 0; k < b.count; ++k) {
                const Piece& p = b.pieces[k];
                const int c = (p.homeLeft + p.homeRight) / side, r = (p.homeTop + p.homeBottom) / side;
                ASSERT_TRUE(c < cols && r < rows && inCell[r * cols + c] < 0) << "piece " << k;
                inCell[r * cols + c] = k;
            }
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < cols; ++c) {
                    const std::vector<int32_t>& list = b.pieces[inCell[r * cols + c]].neighbours;
                    for (const auto& [dc, dr] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                        if (c + dc < 0 || c + dc >= cols || r + dr < 0 || r + dr >= rows) continue;
                        EXPECT_NE(std::find(list.begin(), list.end(), inCell[(r + dr) * cols + c + dc]), list.end())
                            << "cell " << c << ", " << r << " lacks the cell " << dc << ", " << dr << " from it";
                    }
                }
            EXPECT_EQ(Uncovered(g.making, b), 0);
        }
    EXPECT_GT(cut, 100);
}

// A labelled area covering the top-left cell of 5 x 5 and one word of the
// bottom-right: its box centre lies in the middle cell, two cells from
// either.  It takes the cell it covers most.
TEST(Finishable, AnAreaTakesTheCellItCoversMostUpToTwoCellsFromItsCentre) {
    MakingState m;
    m.mask.Create(20, 20);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) m.mask.At(x, y) = 1;
    m.mask.At(19, 19) = 1;
    m.maskWidth = m.maskHeight = 20;
    m.areaCount = 1;
    m.boxes[0] = AreaBox{0, 0, 19, 19};
    EXPECT_EQ(FitAreasToCells(m, GridDivision{4, 4, 5, 5}), 0);
    std::vector<int32_t> want(25, -1);
    want[0] = 0;
    EXPECT_EQ(m.cellAreas, want);
}

// A pattern twice the picture's size is the mask as it was drawn.
void CutPattern(MakingFixture& f, MYBIT pattern) {
    MYBIT picture;
    MakeTestPicture(picture, pattern.Width() / 2, pattern.Height() / 2);
    f.g().grid = GridDivision{};
    ASSERT_EQ(StartCutting(f.g().making, picture, std::move(pattern), f.g().board, f.host), 1);
    ASSERT_EQ(RunMakingSteps(f.g(), MSG_MAKE_1), 1);
}

// Pairs of pieces listed as neighbours beyond those sharing 11 outline
// words: the neighbour search run again, alone, lists only the latter.
int Links(MakingFixture& f) {
    Board& b = f.g().board;
    std::vector<std::vector<int32_t>> made(b.count);
    for (int k = 0; k < b.count; ++k) made[k] = b.pieces[k].neighbours;
    FindNeighbours(f.g().making, f.host);
    int extra = 0;
    for (int k = 0; k < b.count; ++k) extra += static_cast<int>(made[k].size() - b.pieces[k].neighbours.size());
    return extra / 2;
}

TEST(Finishable, PatternPiecesAreAllJoinableAndSpecksAreNoPieces) {
    // The shipped patterns, and the same tiled: cut exactly by the rule.
    for (const char* name : {"波.bmp", "レンガ.bmp"}) {
        SCOPED_TRACE(name);
        MakingFixture f;
        MYBIT pattern;
        ASSERT_EQ(LoadFile(pattern, std::string(PUKKO_DATA_BIN "/pattern/") + name, f.host, 1), 1);
        CutPattern(f, std::move(pattern));
        EXPECT_GE(f.g().board.count, 20);
        EXPECT_TRUE(Connected(f.g().board));
        EXPECT_TRUE(f.g().making.looseRects.empty());
        EXPECT_EQ(Links(f), 0);
    }

    struct Drawn {
        const char* what;
        void (*draw)(MYBIT&);
        int pieces, links;
    };
    const Drawn drawn[] = {
        {"a ring inside the left half", [](MYBIT& m) {
             m.DrawLine(60, 0, 60, 120, 0);
             for (auto [x1, y1, x2, y2] : {std::tuple{15, 40, 45, 40}, {45, 40, 45, 80}, {45, 80, 15, 80}, {15, 80, 15, 40}})
                 m.DrawLine(x1, y1, x2, y2, 0);
         }, 3, 0},
        {"a line that ends inside the left half", [](MYBIT& m) {
             m.DrawLine(60, 0, 60, 120, 0);
             m.DrawLine(0, 60, 40, 60, 0);
         }, 2, 0},
        // Nothing of either half touches the other across the band, nor does
        // the island of 5 x 4 words in it: all three are linked.  The white
        // word and the square of 4 x 4 in the band are specks.
        {"a thick band with tiny islands", [](MYBIT& m) {
             for (int x = 56; x < 64; ++x) m.DrawLine(x, 0, x, 120, 0);
             auto white = [&](int left, int top, int w, int h) {
                 for (int y = top; y < top + h; ++y)
                     for (int x = left; x < left + w; ++x) m.At(x, y) = 0xFFFFFF;
             };
             white(59, 30, 1, 1);
             white(58, 60, 4, 4);
             white(58, 100, 5, 4);
         }, 3, 2},
        // Two halves apart by a line 1, 2 or 24 words thick: beside a line of
        // one word they share their outline; a thicker one leaves them only
        // the link across it.
        {"two halves beside a line 1 word thick", [](MYBIT& m) { m.DrawLine(60, 0, 60, 120, 0); }, 2, 0},
        {"two halves apart by a line 2 words thick", [](MYBIT& m) {
             for (int x = 59; x < 61; ++x) m.DrawLine(x, 0, x, 120, 0);
         }, 2, 1},
        {"two halves apart by a line 24 words thick", [](MYBIT& m) {
             for (int x = 48; x < 72; ++x) m.DrawLine(x, 0, x, 120, 0);
         }, 2, 1},
        // Nothing but specks of 4 x 4 words, 24 x 24 of them: they are the
        // puzzle, each linked to the next, since none shares 11 words with
        // another.  The same with the first column 5 words wide: its 24 areas
        // are the pieces, the specks go into the lines, and the words they
        // leave, given to the pieces beside them, make those neighbours.
        {"only specks", [](MYBIT& m) {
             for (int at = 4; at < 120; at += 5) {
                 m.DrawLine(at, 0, at, 120, 0);
                 m.DrawLine(0, at, 120, at, 0);
             }
         }, 576, 575},
        {"specks beside a column one word wider", [](MYBIT& m) {
             for (int at = 4; at < 120; at += 5) {
                 m.DrawLine(at == 4 ? 5 : at, 0, at == 4 ? 5 : at, 120, 0);
                 m.DrawLine(0, at, 120, at, 0);
             }
         }, 24, 0},
    };
    for (const Drawn& d : drawn) {
        SCOPED_TRACE(d.what);
        MakingFixture f;
        MYBIT pattern;
        pattern.CreateFilled(0xFFFFFF, 120, 120);
        d.draw(pattern);
        CutPattern(f, std::move(pattern));
        const Board& b = f.g().board;
        EXPECT_EQ(b.count, d.pieces);
        EXPECT_TRUE(Connected(b));
        for (int k = 0; k < b.count; ++k) EXPECT_GT(b.pieces[k].homeRight - b.pieces[k].homeLeft, 2);
        EXPECT_EQ(Links(f), d.links);
    }
}

// The linking of pieces apart as it was first written, the rule the steps
// must keep: every word's owner and distance in arrays of their own, the
// words no area holds taken breadth first from the area words beside them
// (queued row by row from the top, each reaching left, right, up, down),
// every meeting of two groups' fronts kept, all sorted by width and pieces,
// and the groups linked narrowest first.  `lists` are the neighbour
// search's lists; the result is what they become.
std::vector<std::vector<int32_t>> LinkedByRule(const MakingState& m,
                                               std::vector<std::vector<int32_t>> lists) {
    const int W = m.maskWidth, H = m.maskHeight, n = m.areaCount;
    auto label = [&](int x, int y) -> int32_t {
        if (x < 0 || y < 0 || x >= W || y >= H) return 0;
        const uint32_t v = m.mask.At(x, y);
        return v - 1u < static_cast<uint32_t>(n) ? static_cast<int32_t>(v) : 0;
    };
    std::vector<int32_t> parent(n);
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int32_t a) {
        while (parent[a] != a) a = parent[a];
        return a;
    };
    auto unite = [&](int32_t a, int32_t b) {
        a = find(a), b = find(b);
        if (a != b) parent[std::max(a, b)] = std::min(a, b);
        return a != b;
    };
    for (int32_t a = 0; a < n; ++a)
        for (const int32_t b : lists[a])
            if (b >= 0) unite(a, b);
    std::vector<int32_t> owner(static_cast<size_t>(W) * H, -1), dist(owner.size(), 0), queue;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (const int32_t v = label(x, y)) {
                owner[y * W + x] = v - 1;
                if (!label(x - 1, y) || !label(x + 1, y) || !label(x, y - 1) || !label(x, y + 1))
                    queue.push_back(y * W + x);
            }
    std::vector<std::array<int32_t, 3>> gaps;
    for (size_t head = 0; head < queue.size(); ++head) {
        const int32_t i = queue[head], x = i % W, y = i / W;
        for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
            if (x + dx < 0 || y + dy < 0 || x + dx >= W || y + dy >= H) continue;
            const int32_t j = (y + dy) * W + x + dx;
            if (owner[j] < 0) {
                owner[j] = owner[i];
                dist[j] = dist[i] + 1;
                queue.push_back(j);
            } else if (find(owner[j]) != find(owner[i])) {
                gaps.push_back(
                    {dist[i] + dist[j], std::min(owner[i], owner[j]), std::max(owner[i], owner[j])});
            }
        }
    }
    std::sort(gaps.begin(), gaps.end());
    for (const auto& [width, a, b] : gaps)
        if (unite(a, b))
            for (const auto& [p, q] : {std::pair{a, b}, {b, a}})
                lists[p].insert(std::lower_bound(lists[p].begin(), lists[p].end() - 1, q), q);
    return lists;
}

// Random patterns of lines from one word to seven wide, at every slope,
// with blots and islands in them: the pieces linked across the gaps, and
// the mask given back word for word.  Ties of width abound.
TEST(Finishable, PiecesApartAreLinkedByTheNarrowestGapsAsTheRuleLinksThem) {
    int searched = 0;
    for (uint32_t seed = 1; seed <= 120; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi) {
            return lo + static_cast<int>(rng() % static_cast<uint32_t>(hi - lo + 1));
        };
        const int W = 2 * pick(20, 90), H = 2 * pick(20, 70);
        MYBIT pattern;
        pattern.CreateFilled(0xFFFFFF, W, H);
        for (int lines = pick(1, 6); lines > 0; --lines) {
            const int x1 = pick(-5, W + 5), y1 = pick(-5, H + 5), x2 = pick(-5, W + 5), y2 = pick(-5, H + 5);
            for (int o = pick(1, 7) - 1; o >= 0; --o) pattern.DrawLine(x1 + o, y1, x2 + o, y2, 0);
        }
        for (int blots = pick(0, 3); blots > 0; --blots) {
            const int left = pick(0, W - 1), top = pick(0, H - 1), w = pick(1, 24), h = pick(1, 24);
            for (int y = top; y < std::min(H, top + h); ++y)
                for (int x = left; x < std::min(W, left + w); ++x) pattern.At(x, y) = 0;
            // An island in the blot, or a hole through it.
            if (w > 8 && h > 8)
                for (int y = top + 3; y < std::min(H, top + h - 3); ++y)
                    for (int x = left + 3; x < std::min(W, left + w - 3); ++x) pattern.At(x, y) = 0xFFFFFF;
        }
        MakingFixture f(seed);
        MYBIT picture;
        MakeTestPicture(picture, W / 2, H / 2);
        ASSERT_EQ(StartCutting(f.g().making, picture, std::move(pattern), f.g().board, f.host), 1);
        unsigned msg = MSG_MAKE_1;
        while (msg != MSG_MAKE_5) msg = MakingStage(f.g(), msg);
        const std::vector<uint32_t> labelled = f.g().making.mask.pixels;
        ASSERT_EQ(RunMakingSteps(f.g(), MSG_MAKE_5), 1);
        const MakingState& m = f.g().making;
        Board& b = f.g().board;
        EXPECT_TRUE(Connected(b));
        EXPECT_TRUE(m.mask.pixels == labelled);
        std::vector<std::vector<int32_t>> made(b.count);
        for (int k = 0; k < b.count; ++k) made[k] = b.pieces[k].neighbours;
        FindNeighbours(f.g().making, f.host);
        std::vector<std::vector<int32_t>> found(b.count);
        for (int k = 0; k < b.count; ++k) found[k] = b.pieces[k].neighbours;
        searched += made != found;
        EXPECT_EQ(made, LinkedByRule(m, found));
    }
    EXPECT_GT(searched, 60);
}

}  // namespace
