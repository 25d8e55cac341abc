// The grid for a piece count and the cutting lines along its borders.
#include "making/grid.h"

#include <gtest/gtest.h>

#include "app/settings.h"
#include "base/rand.h"
#include "support/fake_host.h"

namespace {

const char* const kNoExact = "割り切れる分割数が見つかりません。\n端数が出る分割数になります。";

GridDivision Divide(int n, int W, int H, int arrange, FakeHost& host) {
    return DivideGrid(n, W, H, arrange, host);
}

TEST(DivideGrid, GeneralRuleGivesAnEvenSideAndWholeCells) {
    FakeHost host;
    GridDivision g = Divide(20, 600, 400, 0, host);
    EXPECT_EQ(g.cellWidth, 108);  // sqrt(12000) = 109.5 -> 109 -> 108
    EXPECT_EQ(g.cellHeight, 108);
    EXPECT_EQ(g.columns, 5);
    EXPECT_EQ(g.rows, 3);
    // W * H / n = 120 and 143: roots 10.95 and 11.96 both give 10.
    EXPECT_EQ(Divide(1000, 1200, 100, 0, host).cellWidth, 10);
    EXPECT_EQ(Divide(1000, 1430, 100, 0, host).cellWidth, 10);
    EXPECT_TRUE(host.boxes.empty());
}

TEST(DivideGrid, ArrangeModeDividesExactly) {
    FakeHost host;
    // Sides 10, 20, 40, 50, 100, 200 give 2400, 600, 150, 96, 24, 6 pieces;
    // 24 lies nearer to 20 than 6 does.
    GridDivision g = Divide(20, 600, 400, 1, host);
    EXPECT_EQ(g.cellWidth, 100);
    EXPECT_EQ(g.columns * g.rows, 24);
    // A request equal to a candidate count gives exactly that count.
    EXPECT_EQ(Divide(4, 200, 200, 1, host).cellWidth, 100);
    EXPECT_EQ(Divide(96, 600, 400, 1, host).cellWidth, 50);
    // 15 lies 9 from both 24 and 6: the side with more pieces wins.
    EXPECT_EQ(Divide(15, 600, 400, 1, host).cellWidth, 100);
    EXPECT_EQ(Divide(14, 600, 400, 1, host).cellWidth, 200);
    // Every candidate gives more than requested: the largest dividing side.
    g = Divide(4, 600, 400, 1, host);
    EXPECT_EQ(g.cellWidth, 200);
    EXPECT_EQ(g.columns * g.rows, 6);
    EXPECT_TRUE(host.boxes.empty());
}

TEST(DivideGrid, ArrangeModeWithoutExactSideWarnsAndFallsBack) {
    FakeHost host;
    // 202 and 198 share no even divisor of 10 or more.
    GridDivision g = Divide(20, 202, 198, 1, host);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, kNoExact);
    EXPECT_EQ(host.boxes[0].caption, "pukko");
    EXPECT_EQ(host.boxes[0].owner, Owner::kNone);
    EXPECT_EQ(g.cellWidth, 44);  // sqrt(1999.8) = 44.7
    // A mask below 10 pixels has no candidate at all.
    g = Divide(1, 8, 8, 1, host);
    EXPECT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(g.cellWidth, 8);
}

TEST(DivideGrid, EveryMaskOfTwoPixelsGetsACell) {
    FakeHost host;
    // More pieces than a quarter of the mask: the side would be 0.
    GridDivision g = Divide(1000, 20, 20, 0, host);
    EXPECT_EQ(g.cellWidth, 2);
    EXPECT_EQ(g.columns * g.rows, 100);
    // A very wide mask: the side would exceed the height and give 0 rows.
    g = Divide(4, 4000, 20, 0, host);
    EXPECT_EQ(g.cellWidth, 20);
    EXPECT_EQ(g.rows, 1);
    EXPECT_EQ(g.columns, 200);
    // An odd short side: the side stays even.
    g = Divide(1, 301, 31, 0, host);
    EXPECT_EQ(g.cellWidth, 30);
    EXPECT_EQ(g.rows, 1);
    // A request of 0 or less counts as one piece.
    g = Divide(0, 600, 400, 0, host);
    EXPECT_EQ(g.columns * g.rows, 1);
    // Below 2 x 2 there is nothing to cut.
    g = Divide(20, 1, 400, 0, host);
    EXPECT_EQ(g.columns, 0);
    EXPECT_EQ(g.rows, 0);
    g = Divide(20, 2, 2, 0, host);
    EXPECT_EQ(g.columns * g.rows, 1);
}

TEST(ShapeTables, EndsSitOnTheCornersWhateverTheBaseLinesSay) {
    Settings s = DefaultSettings();
    ShapeTables t = BuildShapeTables(s);
    for (int k = 0; k < kShapeCount; ++k) {
        EXPECT_EQ(t.h[k][0].x, 0.0) << k;
        EXPECT_EQ(t.h[k][0].y, 0.0) << k;
        EXPECT_EQ(t.h[k][9].x, 1.0) << k;
        EXPECT_EQ(t.h[k][9].y, 0.0) << k;
        EXPECT_EQ(t.v[k][0].x, 0.0) << k;
        EXPECT_EQ(t.v[k][9].x, 0.0) << k;
        EXPECT_EQ(t.v[k][9].y, 1.0) << k;
    }
    // Editing the end points of a base line changes nothing.
    Settings edited = s;
    edited.lineInitial[2][0][0] = 17;
    edited.lineInitial[2][0][1] = -5;
    edited.lineInitial[2][9][0] = 300;
    edited.lineInitial[2][9][1] = 40;
    ShapeTables u = BuildShapeTables(edited);
    for (int k = 0; k < kShapeCount; ++k)
        for (int j = 0; j < 10; ++j) {
            EXPECT_EQ(u.h[k][j].x, t.h[k][j].x);
            EXPECT_EQ(u.h[k][j].y, t.h[k][j].y);
            EXPECT_EQ(u.v[k][j].x, t.v[k][j].x);
            EXPECT_EQ(u.v[k][j].y, t.v[k][j].y);
        }
}

TEST(ShapeTables, VariantsAreMirrorsOfTheBaseShapes) {
    ShapeTables t = BuildShapeTables(DefaultSettings());
    for (int k = 0; k < 8; ++k)
        for (int j = 0; j < 10; ++j) {
            // k + 8: the knob on the other side of the border.
            EXPECT_EQ(t.h[k + 8][j].x, t.h[k][j].x);
            EXPECT_EQ(t.h[k + 8][j].y, -t.h[k][j].y);
            EXPECT_EQ(t.v[k + 8][j].x, -t.v[k][j].x);
            EXPECT_EQ(t.v[k + 8][j].y, t.v[k][j].y);
        }
    for (int k = 0; k < 4; ++k)
        for (int j = 0; j < 10; ++j) {
            // k + 4: run backwards, mirrored along the border.
            EXPECT_DOUBLE_EQ(t.h[k + 4][j].x, 1 - t.h[k][9 - j].x);
            EXPECT_EQ(t.h[k + 4][j].y, t.h[k][9 - j].y);
            EXPECT_DOUBLE_EQ(t.v[k + 4][j].y, 1 - t.v[k][9 - j].y);
            // Vertical shapes are the horizontal ones with x and y exchanged.
            EXPECT_EQ(t.v[k][j].x, t.h[k][j].y);
            EXPECT_EQ(t.v[k][j].y, t.h[k][j].x);
        }
    // The knob of line 1 points down by 78 / 216 of a cell.
    EXPECT_NEAR(t.h[0][4].y, 78.0 / 216, 1e-6);
    EXPECT_GT(t.h[0][4].y, 0);
    EXPECT_LT(t.h[8][4].y, 0);
}

TEST(BuildCutLines, OneCellHasNoLines) {
    FakeHost host;
    Settings s = DefaultSettings();
    Rand rng(7);
    int32_t n = 1, W = 200, H = 200;
    ArrangeRects rects;
    CutList list = BuildCutLines(n, W, H, 0, rects, s, rng, host);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(n, 1);
    EXPECT_EQ(W, 200);
    // No line, no random draw.
    EXPECT_EQ(rng.Next(), Rand(7).Next());
}

TEST(BuildCutLines, LinesRunAlongTheCellBordersAndMeetAtTheCorners) {
    FakeHost host;
    Settings s = DefaultSettings();
    Rand rng(99);
    int32_t n = 20, W = 600, H = 400;
    ArrangeRects rects{{1, 2, 3, 4}, {5, 6, 7, 8}};
    CutList list = BuildCutLines(n, W, H, 0, rects, s, rng, host);
    EXPECT_EQ(n, 15);
    EXPECT_EQ(W, 540);
    EXPECT_EQ(H, 324);
    // Outside arrange mode the rectangles stay as they were.
    EXPECT_EQ(rects.whole, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(rects.inner, (Rect{5, 6, 7, 8}));
    const int nc = 5, nr = 3, w = 108;
    ASSERT_EQ(list.size(), static_cast<size_t>(nr * (nc - 1) + (nr - 1) * nc));
    // Per row, per column: the cut to the right of the cell, then the one below.
    size_t i = 0;
    for (int r = 0; r < nr; ++r)
        for (int c = 0; c < nc; ++c) {
            if (c < nc - 1) {
                const CutLine& l = list[i++];
                ASSERT_EQ(l.points.size(), 10u);
                EXPECT_EQ(l.points[0], (Point{(c + 1) * w, r * w}));
                EXPECT_EQ(l.points[9], (Point{(c + 1) * w, (r + 1) * w}));
                // The knob leaves the border by about a third of a cell.
                EXPECT_GT(std::abs(l.points[4].x - (c + 1) * w), w / 4);
            }
            if (r < nr - 1) {
                const CutLine& l = list[i++];
                EXPECT_EQ(l.points[0], (Point{c * w, (r + 1) * w}));
                EXPECT_EQ(l.points[9], (Point{(c + 1) * w, (r + 1) * w}));
                EXPECT_GT(std::abs(l.points[4].y - (r + 1) * w), w / 4);
            }
        }
    // Exactly one random draw per line.
    Rand expected(99);
    for (size_t k = 0; k < list.size(); ++k) expected.Next();
    EXPECT_EQ(rng.Next(), expected.Next());
}

TEST(BuildCutLines, PointsUseTheSinglePrecisionUnit) {
    // With every base line equal to line 1, point 1 of a vertical cut lies
    // 24 / 216 of a cell below its corner: 12 pixels of a 108-pixel cell
    // when the quotient is single precision (11.99999 in double precision
    // would truncate to 11).  Shapes 0 .. 3 and 8 .. 11 run forwards.
    Settings s = DefaultSettings();
    for (int k = 1; k < 4; ++k)
        std::copy(&s.lineInitial[0][0][0], &s.lineInitial[0][0][0] + 20, &s.lineInitial[k][0][0]);
    uint32_t seed = 1;
    while (Rand(seed).Next() % 8 >= 4) ++seed;
    Rand rng(seed);
    GridDivision g{108, 108, 2, 1};
    CutList list = CutLinesForGrid(g, 0, BuildShapeTables(s), rng);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].points[1].y, 12);
    EXPECT_EQ(list[0].points[8].y, 95);  // 191 / 216 of 108 = 95.5
}

TEST(BuildCutLines, ArrangeModePairsTheFirstAndLastCuts) {
    FakeHost host;
    Settings s = DefaultSettings();
    ShapeTables shapes = BuildShapeTables(s);
    // Same shape: the same offsets from the line's own start, within the one
    // pixel that truncation may move a point.
    auto sameShape = [](const CutLine& a, const CutLine& b) {
        for (int j = 0; j < 10; ++j) {
            Point da{a.points[j].x - a.points[0].x, a.points[j].y - a.points[0].y};
            Point db{b.points[j].x - b.points[0].x, b.points[j].y - b.points[0].y};
            if (std::abs(da.x - db.x) > 1 || std::abs(da.y - db.y) > 1) return false;
        }
        return true;
    };
    // 4 columns x 3 rows of 100: per row the vertical cuts are at list
    // positions 0, 2, 4 (row 0, with horizontal cuts between), and per
    // column the horizontal cuts of rows 0 and 1 are paired.
    GridDivision g{100, 100, 4, 3};
    for (uint32_t seed = 1; seed < 40; ++seed) {
        Rand a(seed), b(seed);
        CutList paired = CutLinesForGrid(g, 1, shapes, a);
        CutList free = CutLinesForGrid(g, 0, shapes, b);
        ASSERT_EQ(paired.size(), free.size());
        // Row 0: cuts V(0,0) H(0,0) V(0,1) H(0,1) V(0,2) H(0,2) H(0,3).
        EXPECT_TRUE(sameShape(paired[0], paired[4])) << seed;
        // Column 0: H(0,0) at 1 and H(1,0) at 8 (row 1 starts at 7).
        EXPECT_TRUE(sameShape(paired[1], paired[8])) << seed;
        // The pairing draws as many numbers as the free cut.
        EXPECT_EQ(a.Next(), b.Next());
        // Cuts that are not paired are the same as without arrange mode.
        for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u})
            EXPECT_EQ(paired[i].points, free[i].points) << seed << " " << i;
    }
    // Two columns and two rows: the first cut is also the last, nothing to pair.
    GridDivision small{100, 100, 2, 2};
    Rand a(5), b(5);
    CutList p = CutLinesForGrid(small, 1, shapes, a), f = CutLinesForGrid(small, 0, shapes, b);
    ASSERT_EQ(p.size(), f.size());
    for (size_t i = 0; i < p.size(); ++i) EXPECT_EQ(p[i].points, f[i].points);
}

TEST(BuildCutLines, ArrangeModeWritesThePictureRectangles) {
    FakeHost host;
    Settings s = DefaultSettings();
    Rand rng(3);
    int32_t n = 20, W = 600, H = 400;
    ArrangeRects rects;
    CutList list = BuildCutLines(n, W, H, 1, rects, s, rng, host);
    EXPECT_EQ(n, 24);
    EXPECT_EQ(W, 600);
    EXPECT_EQ(H, 400);
    EXPECT_EQ(rects.whole, (Rect{0, 0, 300, 200}));
    EXPECT_EQ(rects.inner, (Rect{50, 50, 250, 150}));
    EXPECT_EQ(list.size(), 4u * 5 + 3u * 6);
}

}  // namespace
