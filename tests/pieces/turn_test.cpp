#include "pieces/turn.h"

#include <gtest/gtest.h>

#include "board_fixture.h"

TEST(TurnPiece, FollowsTheTurningTablesAndUndoes) {
    const int left[8] = {1, 2, 3, 0, 7, 4, 5, 6}, right[8] = {3, 0, 1, 2, 5, 6, 7, 4};
    for (int o = 0; o < 8; ++o) {
        EXPECT_EQ(TurnedOrientation(o, kTurnLeft), left[o]);
        EXPECT_EQ(TurnedOrientation(o, kTurnRight), right[o]);
        for (int buttons : {0x20, 0xC0, 0xA0, 0x60, 0xE0})
            EXPECT_EQ(TurnedOrientation(o, buttons), (o + 4) % 8);
    }

    Board b;
    Piece& p = b.pieces[0];
    fixture::MakeRectPiece(p, 0, 0, 40, 20, 1);
    fixture::Place(p, 100, 50, 0);
    // Relative to (110, 60) the rectangle (-10, -10, 30, 10) turns left to
    // (t, -r, b, -l) = (-10, -30, 10, 10): 20 wide and 40 high.
    TurnPiece(b, 0, 110, 60, kTurnLeft);
    EXPECT_EQ(p.BoardRect(), (Rect{100, 30, 120, 70}));
    for (int i = 0; i < 3; ++i) TurnPiece(b, 0, 110, 60, kTurnLeft);
    EXPECT_EQ(p.BoardRect(), (Rect{100, 50, 140, 70}));
    EXPECT_EQ(p.orientation, 0);
    TurnPiece(b, 0, 110, 60, 0x20);  // mirrored about x = 110
    EXPECT_EQ(p.BoardRect(), (Rect{80, 50, 120, 70}));
    // Clicks at another point: left and right undo each other, as do two mirrors.
    for (int buttons : {+kTurnLeft, +kTurnRight, 0x20, 0x20, +kTurnRight, +kTurnLeft})
        TurnPiece(b, 0, 7, 3, buttons);
    EXPECT_EQ(p.BoardRect(), (Rect{80, 50, 120, 70}));
    EXPECT_EQ(p.orientation, 4);
    TurnPiece(b, -1, 0, 0, kTurnLeft);  // no such piece
}
