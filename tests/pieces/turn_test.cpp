#include "pieces/turn.h"

#include <gtest/gtest.h>

#include "board_fixture.h"

using fixture::TestBoard;

TEST(TurnedOrientation, FollowsTheTurningTablesForBothSides) {
    const int left[8] = {1, 2, 3, 0, 7, 4, 5, 6};
    const int right[8] = {3, 0, 1, 2, 5, 6, 7, 4};
    for (int o = 0; o < 8; ++o) {
        EXPECT_EQ(TurnedOrientation(o, kTurnLeft), left[o]) << o;
        EXPECT_EQ(TurnedOrientation(o, kTurnRight), right[o]) << o;
        // Middle button, or several buttons together, mirror.
        for (int buttons : {0x20, 0xC0, 0xA0, 0x60, 0xE0})
            EXPECT_EQ(TurnedOrientation(o, buttons), (o + 4) % 8);
    }
}

TEST(TurnPiece, TurnsTheRectangleAboutTheCentreAndUndoes) {
    TestBoard t(200, 200);
    Piece& p = t.board.pieces[0];
    fixture::MakeRectPiece(p, 0, 0, 40, 20, 1);
    fixture::Place(p, 100, 50, 0);
    t.board.count = 1;
    t.board.order[0] = 0;

    TurnPiece(t.board, 0, 110, 60, kTurnLeft);
    // (l, t, r, b) relative to the centre, (-10, -10, 30, 10), becomes
    // (t, -r, b, -l) = (-10, -30, 10, 10): 20 wide, 40 high.
    EXPECT_EQ(p.BoardRect(), (Rect{100, 30, 120, 70}));
    EXPECT_EQ(p.orientation, 1);
    EXPECT_EQ(p.right - p.left, p.Current().Width());
    for (int i = 0; i < 3; ++i) TurnPiece(t.board, 0, 110, 60, kTurnLeft);
    EXPECT_EQ(p.BoardRect(), (Rect{100, 50, 140, 70}));
    EXPECT_EQ(p.orientation, 0);

    TurnPiece(t.board, 0, 7, 3, kTurnLeft);
    TurnPiece(t.board, 0, 7, 3, kTurnRight);
    EXPECT_EQ(p.BoardRect(), (Rect{100, 50, 140, 70}));
    EXPECT_EQ(p.orientation, 0);

    TurnPiece(t.board, 0, 110, 60, 0x20);  // mirror about x = 110
    EXPECT_EQ(p.BoardRect(), (Rect{80, 50, 120, 70}));
    EXPECT_EQ(p.orientation, 4);
    TurnPiece(t.board, 0, 110, 60, kTurnLeft);
    EXPECT_EQ(p.orientation, 7);
    TurnPiece(t.board, 0, 110, 60, kTurnRight);
    TurnPiece(t.board, 0, 110, 60, kTurnRight);
    EXPECT_EQ(p.orientation, 5);
    TurnPiece(t.board, 0, 110, 60, kTurnLeft);
    TurnPiece(t.board, 0, 110, 60, 0xC0);
    EXPECT_EQ(p.BoardRect(), (Rect{100, 50, 140, 70}));
    EXPECT_EQ(p.orientation, 0);

    TurnPiece(t.board, -1, 0, 0, kTurnLeft);  // no such piece: nothing
    TurnPiece(t.board, kMaxPieces, 0, 0, kTurnLeft);
}

TEST(TurnGroup, KeepsTheGroupTogetherInEveryOrientation) {
    TestBoard t(160, 160);
    t.AddGrid(2, 2, 20, 16, 1, 50, 50);
    Board& b = t.board;
    for (int p : {1, 2, 3}) b.pieces[p].group = 1;  // an L of three on top
    t.Redraw();
    const int clicks[] = {kTurnLeft, kTurnLeft, 0x20,      kTurnRight, kTurnLeft,
                          0x40,      0x20,      kTurnLeft, kTurnLeft};
    int x = 60;
    for (int buttons : clicks) {
        EXPECT_EQ(TurnGroup(b, 2, x, 70, buttons), 2);
        EXPECT_EQ(fixture::Invariants(b), "");
        EXPECT_EQ(t.Mismatches(), 0) << "after buttons " << buttons;
        EXPECT_EQ(b.pieces[0].orientation, 0);  // the other group is left alone
        x += 3;
    }
    EXPECT_EQ(TurnGroup(b, 3, 0, 0, kTurnLeft), 3);
    EXPECT_EQ(TurnGroup(b, -1, 0, 0, kTurnLeft), -1);
}

TEST(TurnGroup, RepaintsOnlyTheOldAndNewRectanglesOfTheGroup) {
    TestBoard t(160, 160);
    t.AddGrid(3, 1, 20, 20, 1, 30, 60);
    Board& b = t.board;
    t.Redraw();
    Piece& p = b.pieces[2];
    const Rect was = p.BoardRect();
    // Turning about the piece's centre keeps a square piece where it lies.
    fixture::MarkOutside(t.picture, was);
    TurnGroup(b, 2, (was.left + was.right) / 2, (was.top + was.bottom) / 2, kTurnRight);
    EXPECT_EQ(p.BoardRect(), was);
    EXPECT_EQ(p.orientation, 3);
    EXPECT_EQ(fixture::TouchedOutside(t, was), 0);
}
