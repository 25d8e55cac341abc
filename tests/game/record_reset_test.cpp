#include <gtest/gtest.h>

#include "game/game_record.h"
#include "pieces/board_fixture.h"
#include "support/fake_host.h"

TEST(GameRecord, ResetLeavesNoPuzzleTimerOrHintBehind) {
    FakeHost host;
    host.screen = Size{320, 240};
    Settings settings = DefaultSettings();
    settings.tileFile[0] = '\0';
    settings.grey = 1;
    Background bg;
    PuzzleGame g;
    InitGame(g, host, settings, bg);
    EXPECT_EQ(g.board.boardPicture, &bg.boardPicture);
    EXPECT_EQ(bg.boardPicture.At(319, 239), 0x9CBE9Eu);

    // A finished puzzle still sliding, with the guide open and the grey hint.
    g.making.stage = kStatePlaying;
    g.making.table = &g.board;
    fixture::MakeRectPiece(g.board.pieces[0], 0, 0, 10, 10, 1);
    fixture::SetOrder(g.board, {0});
    g.picture.Create(60, 40);
    SetGreyPicture(bg, settings, host, g.picture);
    host.SetTimer(IDT_CLOCK, 1000);
    host.SetTimer(IDT_SLIDE, 10);
    host.SetTimer(IDT_BLINK, 250);
    g.hintCount = 4;
    host.guideOpen = true;

    ResetGame(g);
    EXPECT_EQ(g.State(), kStateNone);
    EXPECT_EQ(g.board.count + g.board.order[0], -1);
    EXPECT_TRUE(g.board.pieces[0].pictures[5].Empty() && g.picture.Empty());
    // A slide left running would frame a puzzle that is gone.
    EXPECT_FALSE(host.TimerRunning(IDT_CLOCK) || host.TimerRunning(IDT_SLIDE) ||
                 host.TimerRunning(IDT_BLINK) || host.guideOpen || g.hintCount);
    EXPECT_EQ(host.title, "pukko");
    EXPECT_EQ(fixture::Fnv1a(bg.boardPicture), fixture::Fnv1a(bg.plain));
    settings.arrangeMode = 1;
    ResetGame(g);
    EXPECT_EQ(host.title, "pukko <整列モード>");
}
