// The menu's commands on the board: scattering again, the grey hint, and
// redrawing after the background changed.
#include "game/board_commands.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "game/clock.h"
#include "game/game_record.h"
#include "pieces/board_fixture.h"
#include "support/fake_host.h"

namespace {

// Twelve pieces of a 4 x 3 grid on a 600 x 400 board: 0 to 5 joined, turned
// a quarter, the others alone, half of them turned or mirrored; played for
// a while after a restore.
struct Commands : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    Background bg;
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();
    PuzzleGame& g = *game;

    void SetUp() override {
        host.screen = host.client = Size{600, 400};
        settings.tileFile[0] = '\0';
        InitGame(g, host, settings, bg);
        Board& b = g.board;
        for (int i = 0; i < 12; ++i) {
            fixture::MakeRectPiece(b.pieces[i], i % 4 * 30 - 2, i / 4 * 30 - 2, 34, 34, 2);
            b.pieces[i].group = i < 6 ? 0 : i;
            b.order[i] = 11 - i;
        }
        for (int i = 0; i < 6; ++i) {
            const Rect r = OrientRect(b.pieces[i].HomeRect(), 1);
            fixture::Place(b.pieces[i], 300 + r.left, 300 + r.top, 1);
        }
        for (int i = 6; i < 12; ++i) fixture::Place(b.pieces[i], 20 * i, 10 * i, i % 2 ? 5 : 2);
        fixture::SetOrder(b, {11, 10, 9, 8, 7, 6, 0, 1, 2, 3, 4, 5});
        g.picture.Create(120, 90);
        g.making.stage = kStatePlaying;
        g.totalPieces = 12;
        g.carriedTime = 3600 * 1000;
        g.startTick = 1000;
        host.tick = g.lastTick = 61000;
        RefreshBoard(g);
    }

    // Pixels where the board picture is not the clean board with every piece
    // pasted in drawing order.
    int Mismatches() const {
        MYBIT want;
        want.CopyFrom(bg.cleanBoard);
        for (int k = 0; k < g.board.count; ++k) {
            const Piece& p = g.board.pieces[g.board.order[k]];
            want.PasteBlend(p.Current(), p.left, p.top);
        }
        int bad = 0;
        for (size_t i = 0; i < want.pixels.size(); ++i) bad += want.pixels[i] != bg.boardPicture.pixels[i];
        return bad;
    }
};

}  // namespace

TEST_F(Commands, ScatteringUndoesEveryJoinAndRestartsTheClock) {
    settings.rotation = 0;
    settings.flip = 0;
    host.Advance(5000);
    ScatterCommand(g);
    std::set<int> groups;
    for (int i = 0; i < 12; ++i) {
        const Piece& p = g.board.pieces[i];
        groups.insert(p.group);
        EXPECT_EQ(p.group, i);
        EXPECT_EQ(p.orientation, i < 6 ? 1 : (i % 2 ? 5 : 2)) << i;  // kept with both settings off
        EXPECT_GE(p.left, 50);
        EXPECT_LT(p.left, 50 + 600 / 2 - 100);
        EXPECT_GE(p.top, 50);
        EXPECT_LT(p.top, 50 + 400 - 100);
    }
    EXPECT_EQ(fixture::Invariants(g.board), "");
    EXPECT_EQ(Mismatches(), 0);
    // The clock starts again from now and keeps the time carried over.
    EXPECT_EQ(g.startTick, 66000u);
    EXPECT_EQ(g.carriedTime, 3600 * 1000);
    EXPECT_EQ(g.totalPieces, 12);
    EXPECT_EQ(host.title, "pukko 01:00:00 残り12ﾋﾟｰｽ(全12ﾋﾟｰｽ)");
    EXPECT_TRUE(host.TimerRunning(IDT_CLOCK));

    // Flip alone: faces up or down, never turned.
    settings.flip = 1;
    std::set<int> seen;
    for (int round = 0; round < 8; ++round) {
        ScatterCommand(g);
        for (int i = 0; i < 12; ++i) seen.insert(g.board.pieces[i].orientation);
    }
    EXPECT_EQ(seen, (std::set<int>{0, 4}));
    EXPECT_EQ(Mismatches(), 0);
}

TEST_F(Commands, ScatteringInArrangeModeLaysEveryPieceAtHome) {
    settings.arrangeMode = 1;
    ScatterCommand(g);
    for (int i = 0; i < 12; ++i) {
        const Piece& p = g.board.pieces[i];
        EXPECT_EQ(p.BoardRect(), p.HomeRect()) << i;
        EXPECT_EQ(p.orientation, 0);
        EXPECT_EQ(p.group, i);
    }
    EXPECT_EQ(Mismatches(), 0);
    EXPECT_EQ(g.totalPieces, 12);
}

TEST_F(Commands, NothingIsScatteredWhileMakingOrWithoutPieces) {
    const uint32_t before = fixture::Fnv1a(bg.boardPicture);
    for (int stage : {kStateLabelling, kStateCutting}) {
        g.making.stage = stage;
        ScatterCommand(g);
    }
    g.making.stage = kStatePlaying;
    g.board.count = 0;
    ScatterCommand(g);  // a clock on an empty board would count for nothing
    EXPECT_FALSE(host.TimerRunning(IDT_CLOCK));
    EXPECT_EQ(host.title, "");
    EXPECT_EQ(g.board.pieces[7].left, 140);
    EXPECT_EQ(fixture::Fnv1a(bg.boardPicture), before);
}

TEST_F(Commands, ScatteringAFinishedPuzzleStopsItsSlide) {
    for (int i = 0; i < 12; ++i) {
        Piece& p = g.board.pieces[i];
        fixture::Place(p, 200 + p.homeLeft, 100 + p.homeTop, 0);
        p.group = 0;
    }
    RefreshBoard(g);
    Complete(g);
    ASSERT_TRUE(host.TimerRunning(IDT_SLIDE));
    ScatterCommand(g);
    EXPECT_FALSE(host.TimerRunning(IDT_SLIDE));
    EXPECT_EQ(g.slideX + g.slideY, 0);
    EXPECT_EQ(CountGroups(g.board), 12);
    EXPECT_EQ(Mismatches(), 0);
}

TEST_F(Commands, TheGreyHintFollowsItsSettingOnlyWhileInProgress) {
    const Point centre = CentredAt(host, 120, 90);
    settings.grey = 1;
    GreyCommand(g);
    EXPECT_FALSE(bg.grey.Empty());
    EXPECT_EQ(bg.cleanBoard.At(centre.x, centre.y), bg.grey.At(0, 0));
    EXPECT_EQ(Mismatches(), 0);
    settings.grey = 0;
    GreyCommand(g);
    EXPECT_TRUE(bg.grey.Empty());
    EXPECT_EQ(Mismatches(), 0);

    // A finished puzzle keeps its board as it is.
    for (int i = 0; i < 12; ++i) g.board.pieces[i].group = 0;
    fixture::SetOrder(g.board, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    settings.grey = 1;
    GreyCommand(g);
    EXPECT_TRUE(bg.grey.Empty());
}

TEST_F(Commands, RefreshingDrawsTheNewBackgroundUnderEveryPiece) {
    SetSingleColor(bg, settings, host, Rgb(10, 20, 30));
    const int invalidations = host.invalidations;
    RefreshBoard(g);
    EXPECT_EQ(bg.boardPicture.At(599, 0), 0x0A141Eu);
    EXPECT_EQ(Mismatches(), 0);
    EXPECT_EQ(host.invalidations, invalidations + 1);
}
