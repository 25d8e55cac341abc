// The snap reaches 6 pixels at 100 % and as much farther as the screen is
// denser: 9 at 150 %, 12 at 200 %.
#include <gtest/gtest.h>

#include <cstdlib>

#include "board_fixture.h"
#include "pieces/join.h"

using fixture::TestBoard;

TEST(JoinReach, GrowsWithTheDpiOnBothSidesOfItsLimit) {
    EXPECT_EQ(JoinReach(96), 6);
    EXPECT_EQ(JoinReach(144), 9);
    EXPECT_EQ(JoinReach(192), 12);
    // One less, the reach and one more, along each axis alone and both at
    // once: the reach holds in x and y apart, at 192 DPI as at 96.
    for (auto [dpi, reach] : {std::pair{96, 6}, {144, 9}, {192, 12}})
        for (int off : {reach - 1, reach, reach + 1})
            for (auto [dx, dy] : {std::pair{1, 0}, {0, 1}, {1, -1}})
                for (int sign : {-1, 1}) {
                    TestBoard t(200, 160);
                    t.AddGrid(2, 1, 20, 20, 1, 40, 40);  // piece 1 belongs at (59, 39)
                    const int x = 59 + sign * dx * off, y = 39 + sign * dy * off;
                    fixture::Place(t.board.pieces[1], x, y, 0);
                    t.Redraw();
                    const bool near = off <= reach;
                    ASSERT_EQ(TryJoin(t.board, JoinReach(dpi)), near ? 1 : 0)
                        << dpi << " dpi, off by (" << x - 59 << ", " << y - 39 << ")";
                    EXPECT_EQ(t.board.pieces[1].left, near ? 59 : x);
                    EXPECT_EQ(t.board.pieces[1].top, near ? 39 : y);
                    EXPECT_EQ(t.Mismatches(), 0);
                }
}
