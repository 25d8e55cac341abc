// The menu's commands on the board: scattering again, the grey hint, and
// redrawing after the background changed.
#include "game/board_commands.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "game/clock.h"
#include "game/game_record.h"
#include "game/view_commands.h"
#include "pieces/board_fixture.h"
#include "pieces/board_ops.h"
#include "pieces/layout.h"
#include "support/board_rects.h"
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
    g.hintCount = 2;
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
    // The clock starts again from now and keeps the time carried over; the
    // pieces found through the guide count from 0 again.
    EXPECT_EQ(g.hintCount, 0);
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
    const Point centre = CentredAt(bg, host, 120, 90);
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

namespace {

// How many opaque pixels of each piece no opaque pixel of a piece drawn
// later covers.
std::vector<int> ShownPixels(const Board& b, Size area) {
    std::vector<int> owner(size_t(area.cx) * area.cy, -1);
    for (int k = 0; k < b.count; ++k) {
        const Piece& p = b.pieces[b.order[k]];
        for (int y = std::max(0, p.top); y < std::min(area.cy, p.bottom); ++y)
            for (int x = std::max(0, p.left); x < std::min(area.cx, p.right); ++x)
                if (p.Current().At(x - p.left, y - p.top) >> 24 == 255)
                    owner[size_t(y) * area.cx + x] = b.order[k];
    }
    std::vector<int> shown(b.count, 0);
    for (int o : owner)
        if (o >= 0) ++shown[o];
    return shown;
}

}  // namespace

// The 4 x 3 grid's loose pieces 6 .. 11: 6 is inner, 8 and 11 the bottom
// corners, 7 on the right edge, 9 and 10 on the bottom edge.
TEST_F(Commands, GatheringRowsTheLooseEdgePiecesClearOfEveryOtherPiece) {
    host.SetTimer(IDT_CLOCK, 1000);
    const std::vector<Rect> before = BoardRects(g.board);
    const int invalidations = host.invalidations;
    const std::string title = host.title;
    host.Advance(5000);
    GatherEdgesCommand(g);
    // Corners (bottom right, bottom left), the right edge, the bottom edge
    // leftwards: on top, in that order, side by side from the top-left
    // corner of the window, kLayoutGap apart and from its edges.
    EXPECT_EQ(fixture::Order(g.board), (std::vector<int>{6, 0, 1, 2, 3, 4, 5, 11, 8, 7, 10, 9}));
    const int moved[] = {11, 8, 7, 10, 9};
    for (int k = 0; k < 5; ++k) {
        const Piece& p = g.board.pieces[moved[k]];
        const int x = kLayoutGap + k * (34 + kLayoutGap);
        EXPECT_EQ(p.BoardRect(), (Rect{x, kLayoutGap, x + 34, kLayoutGap + 34})) << moved[k];
        EXPECT_EQ(p.orientation, moved[k] % 2 ? 5 : 2);
        for (int a = 0; a <= 6; ++a) EXPECT_FALSE(Meet(p.BoardRect(), before[a])) << moved[k] << " " << a;
    }
    for (int a = 0; a <= 6; ++a) EXPECT_EQ(g.board.pieces[a].BoardRect(), before[a]) << a;
    for (int a = 0; a < 12; ++a) EXPECT_EQ(g.board.pieces[a].group, a < 6 ? 0 : a);
    EXPECT_EQ(fixture::Invariants(g.board), "");
    EXPECT_EQ(Mismatches(), 0);
    EXPECT_EQ(host.invalidations, invalidations + 1);  // drawn once
    // The clock runs on from where it was.
    EXPECT_TRUE(host.TimerRunning(IDT_CLOCK));
    EXPECT_EQ(g.startTick, 1000u);
    EXPECT_EQ(host.title, title);
}

TEST_F(Commands, LayingOutRowsEveryLoosePieceRoundTheGroupsAndTighterWhenCramped) {
    host.SetTimer(IDT_CLOCK, 1000);
    const std::vector<Rect> before = BoardRects(g.board);
    LayOutCommand(g);
    EXPECT_EQ(fixture::Order(g.board), (std::vector<int>{0, 1, 2, 3, 4, 5, 11, 8, 7, 10, 9, 6}));
    for (int a = 0; a < 12; ++a) {
        const Rect r = g.board.pieces[a].BoardRect();
        if (a < 6) {
            EXPECT_EQ(r, before[a]) << a;
            continue;
        }
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= 600 && r.bottom <= 400) << a;
        for (int b = 0; b < 12; ++b) {
            if (b == a) continue;
            EXPECT_FALSE(Meet(r, g.board.pieces[b].BoardRect())) << a << " " << b;
        }
    }
    EXPECT_TRUE(host.TimerRunning(IDT_CLOCK));
    EXPECT_EQ(CountGroups(g.board), 7);
    EXPECT_EQ(Mismatches(), 0);

    // Four fit apart in 100 x 90; six overlap, each still showing.
    for (Size client : {Size{100, 90}, Size{100, 70}, Size{60, 60}}) {
        host.client = client;
        LayOutCommand(g);
        const std::vector<int> shown = ShownPixels(g.board, client);
        for (int a = 6; a < 12; ++a) {
            const Rect r = g.board.pieces[a].BoardRect();
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.cx && r.bottom <= client.cy) << a;
            EXPECT_GT(shown[a], 0) << a << " in " << client.cx << "x" << client.cy;
        }
        EXPECT_EQ(Mismatches(), 0);
    }
}

TEST_F(Commands, OnATableLargerThanTheScreenEverythingIsPlacedOnTheTableClearOfCoveringWindows) {
    // A 301 x 200 picture on a 600 x 400 screen: a 602 x 400 table, fitted.
    g.picture.Create(301, 200);
    SetPuzzleTable(g);
    ASSERT_EQ(TableSize(bg), (Size{602, 400}));
    ASSERT_TRUE(g.view.fitted);
    settings.rotation = settings.flip = 0;
    for (int round = 0; round < 4; ++round) {
        ScatterCommand(g);
        for (int i = 0; i < 12; ++i) EXPECT_LT(g.board.pieces[i].left, 50 + 602 / 2 - 100);
    }
    // A strip over the client's top-left corner, and the guide over its
    // bottom right: the pieces are laid out round both, on the table.
    host.covered = {Rect{0, 0, 300, 120}, Rect{500, 300, 700, 500}};
    for (auto command : {GatherEdgesCommand, LayOutCommand}) {
        command(g);
        for (int a = 6; a < 12; ++a) {
            const Rect r = g.board.pieces[a].BoardRect();
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= 602 && r.bottom <= 400) << a;
            for (const Rect& c : host.covered) EXPECT_FALSE(Meet(r, g.view.ClientToTableRect(c))) << a;
        }
        EXPECT_EQ(Mismatches(), 0);
    }
    // A window larger than the screen lays out on the screen-sized table only.
    g.picture.Create(120, 90);
    SetPuzzleTable(g);
    RefreshBoard(g);
    host.covered.clear();
    host.client = Size{900, 700};
    LayOutCommand(g);
    for (int a = 6; a < 12; ++a) {
        const Rect r = g.board.pieces[a].BoardRect();
        EXPECT_TRUE(r.right <= 600 && r.bottom <= 400) << a;
    }
}

TEST_F(Commands, LayoutCommandsDoNothingOutsidePlay) {
    const auto still = [&](const char* when) {
        const std::vector<Rect> before = BoardRects(g.board);
        const std::vector<int> order = fixture::Order(g.board);
        const uint32_t picture = fixture::Fnv1a(bg.boardPicture);
        const int invalidations = host.invalidations;
        GatherEdgesCommand(g);
        LayOutCommand(g);
        EXPECT_EQ(BoardRects(g.board), before) << when;
        EXPECT_EQ(fixture::Order(g.board), order) << when;
        EXPECT_EQ(fixture::Fnv1a(bg.boardPicture), picture) << when;
        EXPECT_EQ(host.invalidations, invalidations) << when;
    };
    for (int stage : {kStateLabelling, kStateCutting}) {
        g.making.stage = stage;
        still("making");
    }
    g.making.stage = kStatePlaying;
    settings.arrangeMode = 1;
    still("arrange mode");
    settings.arrangeMode = 0;
    g.held = 3;
    still("a piece held");
    g.held = -1;
    for (int i = 0; i < 12; ++i) g.board.pieces[i].group = 0;
    fixture::SetOrder(g.board, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    still("finished");
    g.board.count = 0;
    still("empty board");
}
