#include "pieces/join.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "board_fixture.h"
#include "pieces/drag.h"
#include "pieces/turn.h"

using fixture::Order;
using fixture::TestBoard;

namespace {

// Pieces 0 | 1 side by side in the finished picture, 22 x 22 each; piece 1
// (on top) dropped (dx, dy) off its exact place right of piece 0.
void Pair(TestBoard& t, int dx, int dy) {
    t.AddGrid(2, 1, 20, 20, 1, 40, 40);
    Piece& p = t.board.pieces[1];
    fixture::Place(p, p.left + dx, p.top + dy, 0);
    t.Redraw();
}

}  // namespace

TEST(TryJoin, SnapsWithinSixPixelsButNotSeven) {
    for (int dx : {-7, -6, 0, 6, 7})
        for (int dy : {-7, -6, 6, 7}) {
            TestBoard t(140, 120);
            Pair(t, dx, dy);
            const bool near = std::abs(dx) <= 6 && std::abs(dy) <= 6;
            ASSERT_EQ(TryJoin(t.board), near ? 1 : 0) << dx << "," << dy;
            const Piece& p = t.board.pieces[1];
            EXPECT_EQ(p.left, 59 + (near ? 0 : dx));
            EXPECT_EQ(p.top, 39 + (near ? 0 : dy));
            EXPECT_EQ(p.group, near ? 0 : 1);
            EXPECT_EQ(t.Mismatches(), 0);
        }
}

TEST(TryJoin, NeedsTheSameOrientationAndTheRightSide) {
    TestBoard t(140, 120);
    Pair(t, 0, 0);
    Board& b = t.board;
    TurnGroup(b, 1, 70, 50, 0x20);
    TurnGroup(b, 1, 70, 50, kTurnLeft);
    fixture::Place(b.pieces[1], 59, 39, b.pieces[1].orientation);  // in place, turned
    EXPECT_EQ(TryJoin(b), 0);

    // Piece 1 belongs right of piece 0; dropped on its left it stays apart.
    TestBoard u(140, 120);
    Pair(u, -40, 0);
    EXPECT_EQ(TryJoin(u.board), 0);
    EXPECT_EQ(u.board.pieces[1].group, 1);

    b.count = 0;
    EXPECT_EQ(TryJoin(b), 0);
}

TEST(TryJoin, PutsBothGroupsOnTopWithTheCandidatesNumber) {
    // A row of five: 0-1 joined below, 4 alone between, 2-3 held on top
    // with 3 the top piece.
    TestBoard t(220, 120);
    t.AddGrid(5, 1, 20, 20, 1, 20, 40);
    Board& b = t.board;
    b.pieces[1].group = 0;
    b.pieces[3].group = 2;
    b.order = {0, 1, 4, 2, 3};
    b.order.resize(kMaxPieces, -1);
    for (int p : {2, 3}) fixture::Place(b.pieces[p], b.pieces[p].left + 30, b.pieces[p].top + 5, 0);
    t.Redraw();
    // Dropped 3 right and 2 up of its place.  The candidate is piece 1,
    // found through piece 2's neighbours although the offsets are taken
    // from the top piece 3.
    MoveGroup(b, -27, -7);
    EXPECT_EQ(TryJoin(b), 1);
    EXPECT_EQ(Order(b), (std::vector<int>{4, 0, 1, 2, 3}));
    for (int p = 0; p < 4; ++p) EXPECT_EQ(b.pieces[p].group, 0);
    EXPECT_EQ(b.pieces[4].group, 4);
    EXPECT_EQ(b.pieces[2].left, 59);
    EXPECT_EQ(b.pieces[3].top, 39);
    EXPECT_EQ(fixture::Invariants(b), "");
    EXPECT_EQ(t.Mismatches(), 0);
}

TEST(TryJoin, UnderAQuarterTurnTheRightNeighbourBelongsAbove) {
    // Piece 1 lies right of piece 0 in the picture.  Both turned a quarter
    // counter-clockwise, piece 1 must lie above piece 0.
    TestBoard t(200, 200);
    t.AddGrid(2, 1, 20, 20, 1, 0, 0);
    Board& b = t.board;
    fixture::Place(b.pieces[0], 80, 100, 1);
    fixture::Place(b.pieces[1], 80 + 4, 100 - 20 - 3, 1);
    t.Redraw();
    EXPECT_EQ(TryJoin(b), 1);
    EXPECT_EQ(b.pieces[1].BoardRect(), (Rect{80, 80, 102, 102}));
    EXPECT_EQ(fixture::Invariants(b), "");

    TestBoard u(200, 200);
    u.AddGrid(2, 1, 20, 20, 1, 0, 0);
    fixture::Place(u.board.pieces[0], 80, 100, 1);
    fixture::Place(u.board.pieces[1], 80 + 20, 100, 1);  // right of it, as if unturned
    u.Redraw();
    EXPECT_EQ(TryJoin(u.board), 0);
}

TEST(TryJoin, IgnoresNeighbourNumbersOutsideTheBoard) {
    TestBoard t(140, 120);
    Pair(t, 2, 2);
    t.board.pieces[1].neighbours = {5000, 2, 0, -1};
    t.board.pieces[2].group = 2;  // a record beyond the count with the right looks
    EXPECT_EQ(TryJoin(t.board), 1);
    EXPECT_EQ(t.board.pieces[1].group, 0);
}
