// Every puzzle can be finished: a grid cut at any setting of the menu gives
// one piece per cell, each joinable to the cells beside it, with no hole in
// the assembled picture; a cutting pattern's pieces are all connected by
// neighbours, and its specks do not become pieces.
#include <gtest/gtest.h>

#include <algorithm>
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

}  // namespace
