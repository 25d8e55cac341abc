// The grid for a piece count and the cutting lines along its borders.
#include "making/grid.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "base/rand.h"
#include "config/settings.h"
#include "support/fake_host.h"

namespace {

int Side(int n, int W, int H, int arrange = 0) {
    FakeHost host;
    return DivideGrid(n, W, H, arrange, host).cellWidth;
}

TEST(DivideGrid, WorkedExamplesAndLimits) {
    FakeHost host;
    GridDivision g = DivideGrid(20, 600, 400, 0, host);  // sqrt(12000) = 109.5 -> 108
    EXPECT_EQ((std::vector<int>{g.cellWidth, g.cellHeight, g.columns, g.rows}),
              (std::vector<int>{108, 108, 5, 3}));
    EXPECT_EQ(Side(1000, 1200, 100), 10);  // sqrt(120) = 10.95: never odd
    EXPECT_EQ(Side(1000, 1430, 100), 10);  // sqrt(143) = 11.96
    // Arrange mode: sides 10 .. 200 give 2400, 600, 150, 96, 24, 6 pieces.
    EXPECT_EQ(Side(20, 600, 400, 1), 100);  // 24 is nearer to 20 than 6
    EXPECT_EQ(Side(96, 600, 400, 1), 50);   // exactly a candidate
    EXPECT_EQ(Side(15, 600, 400, 1), 100);  // 9 from both: more pieces win
    EXPECT_EQ(Side(14, 600, 400, 1), 200);
    EXPECT_EQ(Side(4, 600, 400, 1), 200);  // all above: the largest side
    EXPECT_EQ(Side(4, 200, 200, 1), 100);
    // No side of 10 or more divides both: the player is told, the general rule.
    g = DivideGrid(20, 202, 198, 1, host);
    EXPECT_EQ(g.cellWidth, 44);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "割り切れる分割数が見つかりません。\n端数が出る分割数になります。");
    EXPECT_EQ(host.boxes[0].caption, "pukko");
    EXPECT_EQ(Side(1, 8, 8, 1), 8);  // below 10: no candidate at all
    // Every mask of 2 x 2 or more gets a whole cell, of kMinCellSide where
    // the mask allows: sqrt(0.4) would be 0; on 400 x 400, 10000 pieces give
    // 4, 3265 give 7 and 4000 give 6.32, all 6; 2500 give 8.
    EXPECT_EQ(Side(1000, 20, 20), 6);
    for (auto [n, side] : {std::pair{10000, 6}, {3265, 6}, {4000, 6}, {2500, 8}}) EXPECT_EQ(Side(n, 400, 400), side) << n;
    EXPECT_EQ(Side(1, 4, 4), 4);  // narrower than kMinCellSide: the mask's side
    EXPECT_EQ(Side(1, 5, 9), 4);
    g = DivideGrid(4, 4000, 20, 0, host);  // 140 would leave no row
    EXPECT_EQ((std::vector<int>{g.cellWidth, g.columns, g.rows}), (std::vector<int>{20, 200, 1}));
    EXPECT_EQ(Side(1, 301, 31), 30);
    EXPECT_EQ(Side(0, 600, 400), 400);  // no request counts as one piece
    EXPECT_EQ(DivideGrid(20, 1, 400, 0, host).columns * DivideGrid(20, 1, 400, 0, host).rows, 0);
}

TEST(DivideGrid, NoMorePiecesThanTheBoardHolds) {
    FakeHost host;
    auto grid = [&](int n, int W, int H, int arrange) {
        GridDivision g = DivideGrid(n, W, H, arrange, host);
        return std::vector<int>{g.cellWidth, g.columns * g.rows};
    };
    // Counts past 10000 (only a damaged settings file holds them) are 10000,
    // on the largest mask and where the even side quadruples the cells.
    EXPECT_EQ(grid(INT32_MAX, 10000, 10000, 0), (std::vector<int>{100, 10000}));
    EXPECT_EQ(grid(10001, 10000, 10000, 0), grid(10000, 10000, 10000, 0));
    EXPECT_EQ(grid(9999, 10000, 10000, 0), (std::vector<int>{100, 10000}));  // 100.005 -> 100
    EXPECT_EQ(grid(2000000, 400, 399, 0), (std::vector<int>{6, 66 * 66}));
    // Arrange mode: 4970 x 5030 (twice a 2485 x 2515 picture) share only
    // the even divisor 10 and 2, and 497 x 503 cells are more than the board
    // holds: the player is told, and the general rule is used.
    EXPECT_EQ(grid(20, 4970, 5030, 1), grid(20, 4970, 5030, 0));
    ASSERT_EQ(host.boxes.size(), 1u);
    // A side giving exactly 10000 cells is taken, one giving 10100 is not.
    EXPECT_EQ(grid(10000, 1000, 1000, 1), (std::vector<int>{10, 10000}));
    EXPECT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(grid(10000, 1010, 1000, 1), grid(10000, 1010, 1000, 0));
    EXPECT_EQ(host.boxes.size(), 2u);
}

TEST(ShapeTables, VariantsMirrorTheBaseLinesAndEndOnTheCorners) {
    Settings s = DefaultSettings();
    ShapeTables t = BuildShapeTables(s);
    for (int k = 0; k < 16; ++k) {
        EXPECT_TRUE(t.h[k][0].x == 0 && t.h[k][0].y == 0 && t.h[k][9].x == 1 && t.h[k][9].y == 0) << k;
        EXPECT_TRUE(t.v[k][0].x == 0 && t.v[k][0].y == 0 && t.v[k][9].x == 0 && t.v[k][9].y == 1) << k;
        for (int j = 0; j < 10; ++j) {
            const int b = k % 8;
            if (k >= 8) {  // the knob on the other side
                EXPECT_TRUE(t.h[k][j].x == t.h[b][j].x && t.h[k][j].y == -t.h[b][j].y) << k;
                EXPECT_TRUE(t.v[k][j].x == -t.v[b][j].x && t.v[k][j].y == t.v[b][j].y) << k;
            } else if (k >= 4) {  // run backwards
                EXPECT_DOUBLE_EQ(t.h[k][j].x, 1 - t.h[k - 4][9 - j].x);
                EXPECT_EQ(t.v[k][j].x, t.v[k - 4][9 - j].x);
            } else {  // vertical: x and y exchanged
                EXPECT_TRUE(t.v[k][j].x == t.h[k][j].y && t.v[k][j].y == t.h[k][j].x) << k;
            }
        }
    }
    EXPECT_GT(t.h[0][4].y, 0.35);  // line 1's knob points down by 78 / 216
    // The end points of the base lines are never read.
    s.lineInitial[2][0][0] = 17;
    s.lineInitial[2][9][1] = 40;
    ShapeTables u = BuildShapeTables(s);
    EXPECT_EQ(0, std::memcmp(&t, &u, sizeof t));
}

TEST(BuildCutLines, LinesFollowTheBordersAndMeetAtTheCorners) {
    FakeHost host;
    Settings s = DefaultSettings();
    Rand rng(99);
    int32_t n = 20, W = 600, H = 400;
    ArrangeRects rects{{1, 2, 3, 4}, {5, 6, 7, 8}};
    CutList list = BuildCutLines(n, W, H, 0, rects, s, rng, host);
    EXPECT_EQ((std::vector<int>{n, W, H}), (std::vector<int>{15, 540, 324}));
    EXPECT_EQ(rects.whole, (Rect{1, 2, 3, 4}));  // untouched outside arrange mode
    const int nc = 5, nr = 3, w = 108;
    ASSERT_EQ(list.size(), static_cast<size_t>(nr * (nc - 1) + (nr - 1) * nc));
    size_t i = 0;  // per row, per column: the cut to the right, then the one below
    for (int r = 0; r < nr; ++r)
        for (int c = 0; c < nc; ++c) {
            if (c < nc - 1) {
                const std::vector<Point>& p = list[i++].points;
                EXPECT_EQ(p.front(), (Point{(c + 1) * w, r * w}));
                EXPECT_EQ(p.back(), (Point{(c + 1) * w, (r + 1) * w}));
            }
            if (r < nr - 1) {
                const std::vector<Point>& p = list[i++].points;
                EXPECT_EQ(p.front(), (Point{c * w, (r + 1) * w}));
                EXPECT_EQ(p.back(), (Point{(c + 1) * w, (r + 1) * w}));
                EXPECT_GT(std::abs(p[4].y - (r + 1) * w), w / 4);  // the knob
            }
        }
    Rand expected(99);  // one draw per line
    for (size_t k = 0; k < list.size(); ++k) expected.Next();
    EXPECT_EQ(rng.Next(), expected.Next());
    // One cell: no line, no draw.
    n = 1, W = H = 200;
    EXPECT_TRUE(BuildCutLines(n, W, H, 0, rects, s, rng, host).empty());
    // Arrange mode writes the picture rectangles.
    n = 20, W = 600, H = 400;
    BuildCutLines(n, W, H, 1, rects, s, rng, host);
    EXPECT_EQ(rects.whole, (Rect{0, 0, 300, 200}));
    EXPECT_EQ(rects.inner, (Rect{50, 50, 250, 150}));
}

TEST(BuildCutLines, PointsUseTheSinglePrecisionUnit) {
    // Line 1 everywhere; an unturned shape puts point 1 of a vertical cut
    // 24 / 216 of a 108-pixel cell down: 12 in single precision (11.9999
    // in double precision would truncate to 11).
    Settings s = DefaultSettings();
    for (int k = 1; k < 4; ++k) std::memcpy(s.lineInitial[k], s.lineInitial[0], sizeof s.lineInitial[0]);
    uint32_t seed = 1;
    while (Rand(seed).Next() % 16 >= 4) ++seed;
    Rand rng(seed);
    CutList list = CutLinesForGrid(GridDivision{108, 108, 2, 1}, 0, BuildShapeTables(s), rng);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].points[1].y, 12);
    // Points any distance off (a damaged settings file) end at the ends of
    // the 32-bit range: 2^31 / 216 of a 432-pixel cell is 2^32.
    for (int k = 0; k < 4; ++k) {
        s.lineInitial[k][1][0] = INT32_MAX;
        s.lineInitial[k][1][1] = INT32_MIN;
    }
    Rand again(seed);
    list = CutLinesForGrid(GridDivision{432, 432, 2, 1}, 0, BuildShapeTables(s), again);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].points[1], (Point{INT32_MIN, INT32_MAX}));
    EXPECT_EQ(list[0].points[0], (Point{432, 0}));
}

TEST(BuildCutLines, ArrangeModePairsTheFirstAndLastCuts) {
    ShapeTables shapes = BuildShapeTables(DefaultSettings());
    auto offsets = [](const CutLine& l) {
        std::vector<Point> d;
        for (const Point& p : l.points) d.push_back({p.x - l.points[0].x, p.y - l.points[0].y});
        return d;
    };
    // 4 x 3 cells of 100: V(0,0) at 0 and V(0,2) at 4 share a shape, as do
    // H(0,0) at 1 and H(1,0) at 8; cuts not paired are as without the mode.
    for (uint32_t seed = 1; seed < 30; ++seed) {
        Rand a(seed), b(seed);
        CutList paired = CutLinesForGrid(GridDivision{100, 100, 4, 3}, 1, shapes, a);
        CutList free = CutLinesForGrid(GridDivision{100, 100, 4, 3}, 0, shapes, b);
        EXPECT_EQ(offsets(paired[0]), offsets(paired[4])) << seed;
        EXPECT_EQ(offsets(paired[1]), offsets(paired[8])) << seed;
        for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u}) EXPECT_EQ(paired[i].points, free[i].points) << seed;
        EXPECT_EQ(a.Next(), b.Next());
    }
    // Two columns and rows: the first cut is the last, nothing is paired.
    Rand a(5), b(5);
    CutList p = CutLinesForGrid(GridDivision{100, 100, 2, 2}, 1, shapes, a);
    CutList f = CutLinesForGrid(GridDivision{100, 100, 2, 2}, 0, shapes, b);
    for (size_t i = 0; i < p.size(); ++i) EXPECT_EQ(p[i].points, f[i].points);
}

}  // namespace
