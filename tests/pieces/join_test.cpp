#include "pieces/join.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "board_fixture.h"
#include "pieces/drag.h"
#include "pieces/turn.h"

using fixture::TestBoard;

TEST(TryJoin, SnapsWithinSixPixelsButNotSeven) {
    for (int dx : {-7, -6, 0, 6, 7})
        for (int dy : {-7, -6, 6, 7}) {
            TestBoard t(140, 120);
            t.AddGrid(2, 1, 20, 20, 1, 40, 40);  // piece 1 belongs at (59, 39)
            fixture::Place(t.board.pieces[1], 59 + dx, 39 + dy, 0);
            t.Redraw();
            const bool near = std::abs(dx) <= 6 && std::abs(dy) <= 6;
            ASSERT_EQ(TryJoin(t.board), near ? 1 : 0) << dx << "," << dy;
            EXPECT_EQ(t.board.pieces[1].left, near ? 59 : 59 + dx);
            EXPECT_EQ(t.board.pieces[1].group, near ? 0 : 1);
            EXPECT_EQ(t.Mismatches(), 0);
        }
}

TEST(TryJoin, NeedsTheOrientationAndTheSideOfTheFinishedPicture) {
    TestBoard t(200, 200);
    t.AddGrid(2, 1, 20, 20, 1, 0, 0);  // piece 1 lies right of piece 0
    Board& b = t.board;
    // Both turned a quarter left: piece 1 belongs above piece 0.
    fixture::Place(b.pieces[0], 80, 100, 1);
    const int x[] = {80 + 20, 80 + 4, 80 + 4}, y[] = {100, 100 - 20 - 3, 100 - 20 - 3}, o[] = {1, 5, 1};
    for (int i = 0; i < 3; ++i) {
        fixture::Place(b.pieces[1], x[i], y[i], o[i]);
        t.Redraw();
        EXPECT_EQ(TryJoin(b), i == 2 ? 1 : 0) << i;
    }
    EXPECT_EQ(b.pieces[1].BoardRect(), (Rect{80, 80, 102, 102}));
    EXPECT_EQ(t.Mismatches(), 0);
    b.pieces[1].neighbours = {5000, 2, -1};  // numbers past the pieces in use
    EXPECT_EQ(TryJoin(b), 0);
    b.count = 0;
    EXPECT_EQ(TryJoin(b), 0);
}

TEST(TryJoin, PutsBothGroupsOnTopWithTheCandidatesNumber) {
    // A row of five: 0-1 below, 4 alone, 2-3 held with 3 on top.  The
    // candidate is piece 1, a neighbour of piece 2, though the offsets are
    // taken from the top piece 3.
    TestBoard t(220, 120);
    t.AddGrid(5, 1, 20, 20, 1, 20, 40);
    Board& b = t.board;
    b.pieces[1].group = 0;
    b.pieces[3].group = 2;
    fixture::SetOrder(b, {0, 1, 4, 2, 3});
    for (int p : {2, 3}) fixture::Place(b.pieces[p], b.pieces[p].left + 30, b.pieces[p].top + 5, 0);
    t.Redraw();
    MoveGroup(b, -27, -7);  // 3 right and 2 up of the place
    EXPECT_EQ(TryJoin(b), 1);
    EXPECT_EQ(fixture::Order(b), (std::vector<int>{4, 0, 1, 2, 3}));
    for (int p = 0; p < 5; ++p) EXPECT_EQ(b.pieces[p].group, p == 4 ? 4 : 0);
    EXPECT_EQ(b.pieces[3].BoardRect(), (Rect{79, 39, 101, 61}));
    EXPECT_EQ(t.Mismatches(), 0);
}
