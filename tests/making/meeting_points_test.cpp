// Where a grid's cutting lines meet: one piece per cell, no speck, no hole;
// cutting patterns cut as drawn.
#include "making/meeting_points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "game/making_steps.h"
#include "making_fixture.h"
#include "pieces/board.h"

namespace {

bool Speck(const Piece& p) {
    return p.homeRight - p.homeLeft <= 2 && p.homeBottom - p.homeTop <= 2;
}

// Mask words that lie in no piece: neither inside an area nor on a cut
// piece's outline.  With all pieces at home these are the holes of the
// assembled picture (a quarter picture pixel each).
int64_t Uncovered(const MakingState& m) {
    std::vector<uint8_t> covered(static_cast<size_t>(m.maskWidth) * m.maskHeight, 0);
    for (int k = 0; k < m.areaCount; ++k)
        for (uint32_t w : m.outlines[k]) covered[w] = 1;
    int64_t holes = 0;
    for (int y = 0; y < m.maskHeight; ++y)
        for (int x = 0; x < m.maskWidth; ++x)
            holes += !covered[static_cast<size_t>(y) * m.maskWidth + x] && m.mask.At(x, y) == kMaskLine;
    return holes;
}

// Two cells of 30 across and two down.  The line from above and the line
// from the left both lean into the top-left cell as they reach the corner
// (30, 30), so their last words pinch off the word (29, 29); the lines to
// the right and below are straight.  On the top border a line that starts
// with a kink closes the word (31, 0) against the border.
MYBIT PinchedCorner() {
    MYBIT m;
    m.CreateFilled(0xFFFFFF, 60, 60);
    for (int i = 0; i < 60; ++i) {
        if (i < 28 || i >= 30) m.At(30, i) = kMaskLine;  // from above, then below
        if (i < 28 || i >= 30) m.At(i, 30) = kMaskLine;  // from the left, then right
    }
    m.At(29, 28) = m.At(30, 29) = kMaskLine;  // the line from above leans left
    m.At(28, 29) = m.At(29, 30) = kMaskLine;  // the line from the left leans up
    m.At(31, 1) = m.At(32, 0) = kMaskLine;    // the kink on the border
    return m;
}

// Cuts a mask whole, as the pattern it is or on the given grid.
struct Cut {
    MakingFixture f;
    Cut(MYBIT mask, const GridDivision& grid) {
        MYBIT picture;
        MakeTestPicture(picture, mask.Width() / 2, mask.Height() / 2);
        f.g().grid = grid;
        if (grid.columns) CloseMeetingPoints(mask, grid);
        EXPECT_EQ(StartCutting(f.g().making, picture, std::move(mask), f.g().board, f.host), 1);
        EXPECT_EQ(RunMakingSteps(f.g(), MSG_MAKE_1), 1);
    }
    const MakingState& m() { return f.g().making; }
};

TEST(MeetingPoints, APinchedCornerGivesFourPiecesAndNoHoleOnAGridAndInAPattern) {
    const GridDivision grid{30, 30, 2, 2};
    EXPECT_EQ(MeetingWindow(grid, 1, 1, 60, 60), (Rect{26, 26, 35, 35}));
    EXPECT_EQ(MeetingWindow(grid, 2, 0, 60, 60), (Rect{56, 0, 60, 5}));  // clipped at the corner

    MYBIT closed = PinchedCorner();
    EXPECT_EQ(CloseMeetingPoints(closed, grid), 2);  // the pocket at the corner and the one on the border
    EXPECT_EQ(closed.At(29, 29), kMaskLine);
    EXPECT_EQ(closed.At(31, 0), kMaskLine);
    EXPECT_EQ(CloseMeetingPoints(closed, grid), 0);

    // As a pattern: the pockets are specks, dissolved into the lines and
    // given to the pieces round them like the grid's.
    Cut pattern(PinchedCorner(), GridDivision{});
    ASSERT_EQ(pattern.m().areaCount, 4);
    for (int k = 0; k < 4; ++k) EXPECT_FALSE(Speck(pattern.f.g().board.pieces[k]));
    EXPECT_EQ(pattern.m().looseRects.size(), 2u);
    EXPECT_EQ(Uncovered(pattern.m()), 0);

    // On the grid: the pocket word goes to the three areas it touches
    // across its corners, the corner word to the three it touches then,
    // the border word to the one beside it.
    Cut cut(PinchedCorner(), grid);
    const MakingState& m = cut.m();
    ASSERT_EQ(m.areaCount, 4);
    auto area = [&](int x, int y) { return static_cast<int32_t>(m.mask.At(x, y)) - 1; };
    const int32_t topLeft = area(10, 10), topRight = area(50, 10), bottomLeft = area(10, 50),
                  bottomRight = area(50, 50);
    std::vector<MeetingWord> given;
    for (int32_t a : {topLeft, topRight, bottomLeft}) given.push_back({a, 29 * 60 + 29});
    for (int32_t a : {topRight, bottomLeft, bottomRight}) given.push_back({a, 30 * 60 + 30});
    given.push_back({topRight, 31});  // the closed border word touches the top-right cell alone
    std::sort(given.begin(), given.end());
    ASSERT_EQ(m.meetingWords.size(), given.size());
    for (size_t i = 0; i < given.size(); ++i)
        EXPECT_TRUE(m.meetingWords[i].area == given[i].area && m.meetingWords[i].word == given[i].word) << i;
    EXPECT_EQ(Uncovered(m), 0);
}

// A white mask of columns x rows cells of the given side with one pocket:
// the white word (x, y) walled in by line words on its sides.  Whether
// closing the meeting points closes it.
bool PocketClosed(int side, int columns, int rows, int x, int y) {
    MYBIT m;
    m.CreateFilled(0xFFFFFF, side * columns, side * rows);
    for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
        if (x + dx >= 0 && y + dy >= 0 && x + dx < m.Width() && y + dy < m.Height()) m.At(x + dx, y + dy) = kMaskLine;
    CloseMeetingPoints(m, GridDivision{side, side, columns, rows});
    return m.At(x, y) == kMaskLine;
}

TEST(MeetingPoints, TheWindowStaysShortOfTheCellCentre) {
    // A pocket d words diagonally off an inner corner is closed while it
    // lies inside the corner's window: as deep as given for each cell side,
    // never deeper than 3 words, and never half way to the cell's centre.
    for (auto [side, deepest] : {std::pair{2, -1}, {3, -1}, {4, 0}, {5, 0}, {6, 1}, {7, 1}, {8, 2}, {9, 2},
                                 {10, 3}, {11, 3}, {12, 3}, {200, 3}}) {
        SCOPED_TRACE(side);
        if (deepest >= 0) {
            EXPECT_TRUE(PocketClosed(side, 3, 3, side - deepest, side - deepest));
        }
        EXPECT_FALSE(PocketClosed(side, 3, 3, side - deepest - 1, side - deepest - 1));
        EXPECT_FALSE(PocketClosed(side, 3, 3, side + deepest + 1, side + deepest + 1));
    }

    // On the mask's border the border is no way out: the windows of the
    // border points and the mask's corners, the bottom row and the right
    // column among them, close pockets up to 3 words along the border, not
    // 4.  Cells of 30, two by two: a 60 x 60 mask.
    struct Border {
        int x, y;
        bool closed;
    };
    for (const Border& b : {Border{30, 0, true},  {33, 0, true},  {34, 0, false}, {27, 0, true},  {26, 0, false},
                            {30, 59, true}, {33, 59, true}, {34, 59, false}, {26, 59, false}, {0, 30, true},
                            {0, 33, true},  {0, 34, false}, {59, 30, true}, {59, 27, true}, {59, 26, false},
                            {59, 34, false}, {0, 0, true},  {59, 0, true},  {0, 59, true},  {59, 59, true},
                            {57, 59, true}, {56, 59, false}, {59, 57, true}, {59, 56, false}, {3, 59, true},
                            {4, 59, false}})
        EXPECT_EQ(PocketClosed(30, 2, 2, b.x, b.y), b.closed) << b.x << "," << b.y;

    // Cells of 2: the window is the meeting word alone, which always opens
    // onto its neighbours; nothing is closed.
    MYBIT m;
    m.CreateFilled(0xFFFFFF, 8, 8);
    EXPECT_EQ(CloseMeetingPoints(m, GridDivision{2, 2, 4, 4}), 0);
    EXPECT_EQ(MeetingWindow(GridDivision{2, 2, 4, 4}, 4, 4, 8, 8), Rect{});  // beyond the mask
}

}  // namespace
