#include "pieces/drag.h"

#include <gtest/gtest.h>

#include "board_fixture.h"

using fixture::Fnv1a;
using fixture::TestBoard;

namespace {

// Single pieces of 12 x 12 heaped on one another, piece i at (40 + 2i, 40 + 2i).
void Heap(TestBoard& t, int pieces) {
    for (int i = 0; i < pieces; ++i) {
        Piece& p = t.board.pieces[i];
        fixture::MakeRectPiece(p, 0, 0, 12, 12, 2);
        fixture::Place(p, 40 + 2 * i, 40 + 2 * i, 0);
        p.group = i;
        t.board.order[i] = i;
    }
    t.board.count = pieces;
    t.Redraw();
}

}  // namespace

TEST(MoveGroup, DraggingBackAndForthRestoresTheBoardPicture) {
    TestBoard t(120, 80);
    t.AddGrid(3, 2, 20, 20, 1, 10, 10);
    Board& b = t.board;
    t.Redraw();
    const uint32_t start = Fnv1a(t.picture);
    MoveGroup(b, -10, 0);  // piece 5, alone on top
    EXPECT_EQ(b.pieces[5].left, 49 - 10);
    EXPECT_EQ(t.Mismatches(false), 0);
    MoveGroup(b, 10, 0);
    EXPECT_EQ(Fnv1a(t.picture), start);

    // A group of three drawn over one another: after any drag the picture
    // depends only on where the group lies, so back and forth restores it.
    for (int p : {3, 4, 5}) b.pieces[p].group = 3;
    MoveGroup(b, 0, 0);
    const uint32_t settled = Fnv1a(t.picture);
    MoveGroup(b, -10, 0);
    EXPECT_EQ(t.Mismatches(), 0);
    MoveGroup(b, 10, 0);
    EXPECT_EQ(Fnv1a(t.picture), settled);
    EXPECT_EQ(fixture::Invariants(b), "");
}

TEST(MoveGroup, RepaintsOnlyTheGroupsRectanglesAndComesBackFromOffTheBoard) {
    TestBoard t(120, 80);
    t.AddGrid(3, 2, 20, 20, 1, 10, 10);
    Board& b = t.board;
    for (int p : {4, 5}) b.pieces[p].group = 4;
    t.Redraw();
    const Rect was = UnionRect(b.pieces[4].BoardRect(), b.pieces[5].BoardRect());
    const Rect area = UnionRect(was, Rect{was.left - 70, was.top, was.right - 70, was.bottom});
    fixture::MarkOutside(t.picture, area);
    MoveGroup(b, -70, 0);  // piece 4 now lies wholly off the left edge, piece 5 partly
    EXPECT_EQ(b.pieces[4].right, -19);
    EXPECT_EQ(fixture::TouchedOutside(t, area), 0);

    t.Redraw();  // the marks off
    MoveGroup(b, 70, 0);
    EXPECT_EQ(b.pieces[4].left, 29);
    EXPECT_EQ(t.Mismatches(), 0);
    EXPECT_EQ(fixture::Invariants(b), "");

    b.count = 0;
    MoveGroup(b, 5, 5);  // an empty board has no held group
}

TEST(SweepGroups, PushesNearGroupsLessAndLessByRank) {
    TestBoard t(200, 160);
    Heap(t, 12);
    Board& b = t.board;
    // Topmost first: piece 11 is rank 0 ... piece 2 rank 9; 1 and 0 are past
    // the limit of ten groups.
    SweepGroups(b, 50, 50, 60, 50);
    const int want[12] = {0, 0, 1, 1, 2, 2, 3, 4, 5, 6, 8, 10};  // 10 * 0.8^j, truncated
    for (int i = 0; i < 12; ++i) EXPECT_EQ(b.pieces[i].left, 40 + 2 * i + want[i]) << "piece " << i;
    EXPECT_EQ(t.Mismatches(), 0);
    EXPECT_EQ(fixture::Invariants(b), "");

    // Leftwards by 10 from a point near all of them: -10, -8, -6, -5, ...
    // truncated toward zero, so every piece comes back.
    SweepGroups(b, 60, 55, 50, 55);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(b.pieces[i].left, 40 + 2 * i) << "piece " << i;
    EXPECT_EQ(t.Mismatches(), 0);

    // The factor shows in a long sweep: 50, 40, 32, 25, 20, 16, 13, 10, 8, 6.
    SweepGroups(b, 60, 55, 10, 55);
    const int far[12] = {0, 0, 6, 8, 10, 13, 16, 20, 25, 32, 40, 50};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(b.pieces[i].left, 40 + 2 * i - far[i]) << "piece " << i;
    t.Redraw();
    for (int i = 0; i < 12; ++i) fixture::Place(b.pieces[i], 40 + 2 * i, 40 + 2 * i, 0);
    t.Redraw();

    // A slow sweep moves only the nearest group.
    SweepGroups(b, 60, 55, 61, 55);
    EXPECT_EQ(b.pieces[11].left, 63);
    SweepGroups(b, 60, 55, 61, 55);
    EXPECT_EQ(b.pieces[11].left, 64);
    EXPECT_EQ(b.pieces[10].left, 60);
    EXPECT_EQ(t.Mismatches(), 0);
}

TEST(SweepGroups, ReachesTwentyPixelsAroundTheRectangleStrictly) {
    TestBoard t(200, 160);
    Heap(t, 1);  // piece 0 at 40 .. 52
    Board& b = t.board;
    const uint32_t start = Fnv1a(t.picture);
    SweepGroups(b, 20, 45, 30, 45);  // 20 to the left: not near
    SweepGroups(b, 72, 45, 80, 45);  // 20 to the right of the right edge
    SweepGroups(b, 45, 72, 45, 80);
    SweepGroups(b, 150, 150, 160, 160);  // bare board
    EXPECT_EQ(b.pieces[0].left, 40);
    EXPECT_EQ(Fnv1a(t.picture), start);
    SweepGroups(b, 25, 45, 35, 45);  // 15 to the left
    EXPECT_EQ(b.pieces[0].left, 50);
    SweepGroups(b, 81, 71, 81, 81);  // corner: 19 beyond on both sides
    EXPECT_EQ(b.pieces[0].top, 50);
    EXPECT_EQ(t.Mismatches(), 0);

    b.count = 0;
    SweepGroups(b, 45, 45, 50, 50);
}

TEST(SweepGroups, MovesAWholeGroupByOneAmountAndKeepsTheOrder) {
    TestBoard t(200, 160);
    t.AddGrid(3, 1, 20, 20, 1, 30, 30);
    Board& b = t.board;
    for (int p : {0, 2}) b.pieces[p].group = 0;  // not adjacent in the order: rank by first found
    b.order[0] = 0, b.order[1] = 2, b.order[2] = 1;
    t.Redraw();
    SweepGroups(b, 75, 40, 75, 50);  // near piece 1 (top, rank 0) and piece 2 (group 0, rank 1)
    EXPECT_EQ(b.pieces[1].top, 29 + 10);
    EXPECT_EQ(b.pieces[0].top, 29 + 8);
    EXPECT_EQ(b.pieces[2].top, 29 + 8);
    EXPECT_EQ(fixture::Order(b), (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(t.Mismatches(), 0);
}
