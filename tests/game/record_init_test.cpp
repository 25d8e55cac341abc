#include <gtest/gtest.h>

#include "game/game_record.h"
#include "pieces/board_fixture.h"
#include "support/fake_host.h"

namespace {

struct Record : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    Background bg;
    PuzzleGame g;

    void SetUp() override {
        host.screen = Size{320, 240};
        host.client = Size{300, 200};
        settings.tileFile[0] = '\0';
    }
};

}  // namespace

TEST_F(Record, InitGamePointsTheBoardAtTheBackground) {
    g.held = 7;
    g.jointSound = 1;
    g.carriedTime = 99;
    InitGame(g, host, settings, bg);
    EXPECT_EQ(g.host, &host);
    EXPECT_EQ(g.settings, &settings);
    EXPECT_EQ(g.background, &bg);
    EXPECT_EQ(g.boardPicture, &bg.boardPicture);
    EXPECT_EQ(g.board.boardPicture, &bg.boardPicture);
    EXPECT_EQ(g.board.cleanBoard, &bg.cleanBoard);
    EXPECT_EQ(g.held, -1);
    EXPECT_EQ(g.jointSound, 0);
    EXPECT_EQ(g.carriedTime, 0);
    EXPECT_EQ(bg.boardPicture.Width(), 320);
    EXPECT_EQ(bg.boardPicture.At(5, 5), 0x9CBE9Eu);
    // The record as constructed, before the window exists.
    PuzzleGame fresh;
    EXPECT_EQ(fresh.pictureChoice, -1);
    EXPECT_EQ(fresh.patternChoice, -1);
    EXPECT_EQ(fresh.State(), kStateNone);
}

TEST_F(Record, ResetGameClearsThePuzzleAndStopsItsTimers) {
    settings.grey = 1;
    InitGame(g, host, settings, bg);
    g.making.stage = kStatePlaying;
    g.making.areaCount = 12;
    g.making.mask.Create(4, 4);
    g.making.pieceMasks[3].Create(2, 2);
    g.making.table = &g.board;
    fixture::MakeRectPiece(g.board.pieces[0], 0, 0, 10, 10, 1);
    fixture::Place(g.board.pieces[0], 20, 20, 0);
    g.board.pieces[0].neighbours = {1, -1};
    g.board.order[0] = 0;
    g.board.count = 1;
    g.picture.Create(60, 40);
    SetGreyPicture(bg, settings, host, g.picture);
    g.finished.Create(3, 3);
    g.arranged.Create(3, 3);
    g.pictureFile = "x.pko";
    g.pictureChoice = 4;
    g.held = 0;
    g.totalPieces = 9;
    g.startTick = g.lastTick = 5;
    g.slideX = 8;
    g.finalRect = Rect{1, 2, 3, 4};
    g.lumaOffset = 2.5;
    host.SetTimer(IDT_CLOCK, 1000);
    host.SetTimer(IDT_SLIDE, 10);
    host.guideOpen = true;

    ResetGame(g);
    EXPECT_EQ(g.State(), kStateNone);
    EXPECT_EQ(g.making.areaCount, 0);
    EXPECT_TRUE(g.making.mask.Empty());
    EXPECT_TRUE(g.making.pieceMasks[3].Empty());
    EXPECT_EQ(g.making.table, nullptr);
    EXPECT_EQ(g.board.count, 0);
    EXPECT_TRUE(g.board.pieces[0].pictures[0].Empty());
    EXPECT_TRUE(g.board.pieces[0].neighbours.empty());
    EXPECT_EQ(g.board.order[0], -1);
    EXPECT_TRUE(g.picture.Empty() && g.finished.Empty() && g.arranged.Empty());
    EXPECT_EQ(g.pictureFile, "");
    EXPECT_EQ(g.pictureChoice, 0);
    EXPECT_EQ(g.held, -1);
    EXPECT_EQ(g.totalPieces, 0);
    EXPECT_EQ(g.startTick + g.lastTick, 0u);
    EXPECT_EQ(g.slideX, 0);
    EXPECT_EQ(g.finalRect, Rect{});
    EXPECT_EQ(g.lumaOffset, 0);
    EXPECT_FALSE(host.TimerRunning(IDT_CLOCK));
    EXPECT_FALSE(host.TimerRunning(IDT_SLIDE));
    EXPECT_FALSE(host.guideOpen);
    EXPECT_GE(host.invalidations, 1);
    EXPECT_EQ(host.title, "pukko");
    // The grey hint is gone and the board shows the bare background.
    EXPECT_TRUE(bg.grey.Empty());
    EXPECT_EQ(fixture::Fnv1a(bg.boardPicture), fixture::Fnv1a(bg.plain));

    settings.arrangeMode = 1;
    ResetGame(g);
    EXPECT_EQ(host.title, "pukko <整列モード>");
}
