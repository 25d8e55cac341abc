#include "pieces/drag.h"

#include <gtest/gtest.h>

#include "board_fixture.h"

using fixture::Fnv1a;
using fixture::TestBoard;

TEST(MoveGroup, DragsBackAndForthAndOffTheBoardTouchingOnlyItsRectangles) {
    TestBoard t(120, 80);
    t.AddGrid(3, 2, 20, 20, 1, 10, 10);
    Board& b = t.board;
    t.Redraw();
    const uint32_t start = Fnv1a(t.picture);
    MoveGroup(b, -10, 0);  // piece 5, alone on top
    EXPECT_EQ(b.pieces[5].left, 39);
    MoveGroup(b, 10, 0);
    EXPECT_EQ(Fnv1a(t.picture), start);

    // Pieces 4 and 5 as one group: after any drag the picture depends only
    // on where the group lies, so back and forth restores it.
    b.pieces[4].group = 5;
    MoveGroup(b, 0, 0);
    const uint32_t settled = Fnv1a(t.picture);
    const Rect area{29 - 70, 29, 71, 51};  // the group before and after the drag
    fixture::MarkOutside(t.picture, area);
    MoveGroup(b, -70, 0);  // piece 4 wholly off the left edge
    fixture::MarkOutside(t.picture, area);
    EXPECT_EQ(b.pieces[4].right, -19);
    EXPECT_EQ(t.Mismatches(), 0);
    MoveGroup(b, 70, 0);
    EXPECT_EQ(Fnv1a(t.picture), settled);
    EXPECT_EQ(fixture::Invariants(b), "");
    b.count = 0;
    MoveGroup(b, 5, 5);  // no held group
}

TEST(SweepGroups, PushesUpToTenNearGroupsLessAndLessByRank) {
    TestBoard t(200, 160);
    Board& b = t.board;
    for (int i = 0; i < 12; ++i) {  // piece i at (40 + 2i, 40 + 2i), 12 x 12
        fixture::MakeRectPiece(b.pieces[i], 0, 0, 12, 12, 2);
        fixture::Place(b.pieces[i], 40 + 2 * i, 40 + 2 * i, 0);
        b.pieces[i].group = b.order[i] = i;
    }
    b.count = 12;
    t.Redraw();
    auto lefts = [&](const std::vector<int>& by) {
        for (int i = 0; i < 12; ++i) EXPECT_EQ(b.pieces[i].left, 40 + 2 * i + by[i]) << "piece " << i;
    };
    // From the top: 10 * 0.8^j truncated; pieces 1 and 0 are past ten groups.
    SweepGroups(b, 50, 50, 60, 50);
    lefts({0, 0, 1, 1, 2, 2, 3, 4, 5, 6, 8, 10});
    SweepGroups(b, 60, 55, 50, 55);  // back by -10, -8, -6, -5, ... toward zero
    lefts({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    SweepGroups(b, 60, 55, 10, 55);
    lefts({0, 0, -6, -8, -10, -13, -16, -20, -25, -32, -40, -50});
    EXPECT_EQ(t.Mismatches(), 0);
    EXPECT_EQ(fixture::Order(b), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST(SweepGroups, ReachesTwentyPixelsAroundTheRectangleStrictly) {
    TestBoard t(200, 160);
    t.AddGrid(1, 1, 10, 10, 1, 41, 41);  // piece 0 at (40, 40, 52, 52)
    Board& b = t.board;
    t.Redraw();
    const uint32_t start = Fnv1a(t.picture);
    const int x[] = {20, 72, 45, 150}, y[] = {45, 45, 72, 150};
    for (int i = 0; i < 4; ++i) SweepGroups(b, x[i], y[i], x[i] + 10, y[i] + 10);
    EXPECT_EQ(Fnv1a(t.picture), start);
    SweepGroups(b, 21, 45, 31, 45);  // 19 to the left
    SweepGroups(b, 81, 71, 81, 81);  // 19 beyond the new right and bottom edges
    EXPECT_EQ(b.pieces[0].BoardRect(), (Rect{50, 50, 62, 62}));
    EXPECT_EQ(t.Mismatches(), 0);
}
