// Where a grid's cutting lines meet: one piece per cell, no speck, no hole;
// cutting patterns cut as drawn.
#include "making/meeting_points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "making/making_steps.h"
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

TEST(MeetingPoints, TheWindowStaysShortOfTheCellCentre) {
    for (auto [side, reach] : {std::pair{0, 0}, {2, 0}, {4, 1}, {10, 4}, {200, 4}})
        EXPECT_EQ(MeetingReach(GridDivision{side, side, 3, 3}), reach) << side;
    // Cells of 2: the window is the meeting word alone, which always opens
    // onto its neighbours; nothing is closed.
    MYBIT m;
    m.CreateFilled(0xFFFFFF, 8, 8);
    EXPECT_EQ(CloseMeetingPoints(m, GridDivision{2, 2, 4, 4}), 0);
    EXPECT_EQ(MeetingWindow(GridDivision{2, 2, 4, 4}, 4, 4, 8, 8), Rect{});  // beyond the mask
}

}  // namespace
