// The guide as a finder of pieces: a guide point to the piece whose home
// covers it, and the two aids on a board of six pieces of 40 x 30 cells
// (soft edges, a notch in each top edge), where group {0, 3} lies hidden
// under the biggest group {1, 2, 4, 5}.
#include "game/finder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/input.h"
#include "game/puzzle_game.h"
#include "pieces/board_fixture.h"
#include "pieces/turn.h"
#include "support/fake_host.h"
#include "views/guide.h"

namespace {

struct Finder : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    PuzzleGame g;
    Board& b = g.board;
    MYBIT clean, picture, want;

    void SetUp() override {
        clean.CreateFilled(0x336699, 1280, 960);
        for (int num = 0; num < 6; ++num) {
            fixture::MakeRectPiece(b.pieces[num], num % 3 * 40 - 2, num / 3 * 30 - 2, 44, 34, 4);
            b.pieces[num].group = num % 3 != 0;
        }
        fixture::SetOrder(b, {0, 3, 1, 2, 4, 5});
        Place({1, 2, 4, 5}, 400, 300);
        Place({0, 3}, 440, 300);  // exactly under pieces 1 and 4
        b.boardPicture = &picture;
        b.cleanBoard = &clean;
        g.host = &host;
        g.settings = &settings;
        g.making.stage = kStatePlaying;
        host.client = Size{460, 480};  // shows the group's left 22 columns
        StartView(g.view, Size{1280, 960}, host.client, host.screen);
    }
    // The pieces unturned at home shifted by (dx, dy), the board drawn anew.
    void Place(std::vector<int> pieces, int dx, int dy) {
        for (int num : pieces)
            fixture::Place(b.pieces[num], b.pieces[num].homeLeft + dx, b.pieces[num].homeTop + dy, 0);
        fixture::Recompose(b, clean, picture);
    }
    bool Clean() {
        fixture::Recompose(b, clean, want);
        return picture.pixels == want.pixels;
    }
};

}  // namespace

TEST(FindPiece, AGuidePointFindsThePieceByItsShapeAtTheEdgesAndBesideAKnob) {
    // Piece 0's home is 34 x 30 with a knob at x 30 .. 33, y 12 .. 17 into
    // piece 1's home (26 .. 60), which has a hole there; where they meet,
    // each is partly covered (alpha 160 and 95 at x 28 and 29).
    Board b;
    auto make = [&](int num, int left, int right, auto alpha) {
        Piece& p = b.pieces[num];
        p.pictures[0].Create(right - left, 30);
        for (int y = 0; y < 30; ++y)
            for (int x = left; x < right; ++x) p.pictures[0].At(x - left, y) = uint32_t(alpha(x, y)) << 24;
        p.homeLeft = left, p.homeTop = 0, p.homeRight = right, p.homeBottom = 30;
    };
    auto knob = [](int x, int y) { return x >= 30 && x < 34 && y >= 12 && y < 18; };
    make(0, 0, 34, [&](int x, int y) { return x < 28 ? 255 : x < 30 ? 160 : knob(x, y) ? 255 : 0; });
    make(1, 26, 60, [&](int x, int y) { return x < 28 ? 0 : x < 30 ? 95 : knob(x, y) ? 0 : 255; });
    b.count = 2;
    // The 60 x 30 picture in a 120 x 120 guide: twice its size, 30 rows of
    // grey above and below; canvas pixel d shows picture pixel d / 2.
    const struct {
        Point guide;
        int piece;
    } cases[] = {
        {{0, 30}, 0},  {{119, 89}, 1}, {{0, 29}, -1}, {{119, 90}, -1}, {{-1, 60}, -1}, {{120, 60}, -1},
        {{56, 60}, 0}, {{58, 60}, 0},  {{60, 60}, 0}, {{67, 60}, 0},   {{68, 60}, 1},  {{62, 53}, 1},
        {{62, 54}, 0}, {{62, 65}, 0},  {{62, 66}, 1}, {{52, 40}, 0},
    };
    for (const auto& c : cases) {
        Point pixel{-1, -1};
        const bool shown = GuideToPicture(Size{60, 30}, Size{120, 120}, c.guide, &pixel);
        EXPECT_EQ(shown ? PieceAtHome(b, pixel) : -1, c.piece) << c.guide.x << ", " << c.guide.y;
        EXPECT_TRUE(!shown || pixel == (Point{c.guide.x / 2, (c.guide.y - 30) / 2}));
    }
}

TEST_F(Finder, APickRaisesTheHiddenGroupBlinksItAndMovesTheViewOnlyWhenItIsOutOfSight) {
    OnGuidePick(g, Point{20, 15});
    EXPECT_EQ(fixture::Order(b), (std::vector<int>{1, 2, 4, 5, 0, 3}));
    EXPECT_EQ(fixture::Invariants(b), "");
    // A ring 3 pixels wide round the group's (438, 298) .. (482, 362), at
    // ticks 0, 2 and 4, repainting only itself; then the board is clean.
    const uint32_t ring = ColorRefToPixel(kHintColour);
    std::string shown;
    for (int tick = 0; tick <= 5; ++tick) {
        if (tick > 0) OnTimer(g, IDT_BLINK);
        const bool on = picture.At(435, 330) == ring && picture.At(484, 364) == ring;
        shown += on && picture.At(438, 330) != ring ? '+' : '-';
    }
    EXPECT_EQ(shown, "+-+-+-");
    EXPECT_TRUE(Clean());
    EXPECT_FALSE(host.TimerRunning(IDT_BLINK));
    for (const Rect& r : host.areas)
        EXPECT_TRUE(r.left >= 435 && r.top >= 295 && r.right <= 485 && r.bottom <= 365);
    // Partly in sight the view stays; wholly out of it, it is centred on
    // the group, (920, 730), at 100 % as far as the table's edge allows.
    EXPECT_EQ(g.view.originX + g.view.originY, 0);
    Place({0, 3}, 900, 700);
    OnGuidePick(g, Point{20, 45});
    EXPECT_TRUE(g.view.OneToOne() && g.view.originX == 920 - 230 && g.view.originY == 960 - 480);
    EXPECT_EQ(g.hintCount, 2);
}

TEST_F(Finder, TheBiggestGroupOnlyBlinksAndNothingElseAnswers) {
    OnGuidePick(g, Point{60, 15});
    EXPECT_EQ(fixture::Order(b), (std::vector<int>{0, 3, 1, 2, 4, 5}));
    EXPECT_TRUE(host.TimerRunning(IDT_BLINK) && g.hintCount == 0);
    OnPress(g, kButtonLeft, 5, 5);  // a press ends the blink at once
    OnRelease(g);
    EXPECT_TRUE(Clean() && !host.TimerRunning(IDT_BLINK));
    // Piece 0's notch, beside every home, the setting off, a press waiting.
    host.invalidations = 0;
    OnGuidePick(g, Point{20, 0});
    OnGuidePick(g, Point{200, 100});
    settings.hintsOff = 1;
    OnGuidePick(g, Point{20, 15});
    settings.hintsOff = 0;
    g.pressPending = 1;
    OnGuidePick(g, Point{20, 15});
    EXPECT_EQ(fixture::Order(b), (std::vector<int>{0, 3, 1, 2, 4, 5}));
    EXPECT_EQ(g.hintCount + host.invalidations, 0);
    // The biggest group has two pieces at least; of equals, each is one.
    for (int num = 0; num < 6; ++num) b.pieces[num].group = num;
    EXPECT_FALSE(InBiggestGroup(b, 1));
    b.pieces[2].group = 1;
    b.pieces[5].group = 4;
    EXPECT_TRUE(InBiggestGroup(b, 2) && InBiggestGroup(b, 5) && !InBiggestGroup(b, 0));
}

TEST_F(Finder, AHeldGroupMarksItsHomeInEveryOrientationUntilDropped) {
    Place({0, 3}, 700, 500);
    // A press in the middle of group {0, 3}, which lies alone, three moves
    // and the drop: the marks asked of the guide.
    auto hold = [&] {
        const Rect r = UnionRect(b.pieces[0].BoardRect(), b.pieces[3].BoardRect());
        const Point at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        host.marks.clear();
        OnPress(g, kButtonLeft, at.x, at.y);
        for (int step = 1; step <= 3; ++step) OnMouseMove(g, 0x0001, false, at.x + step, at.y);
        OnRelease(g);
        return host.marks;
    };
    const Rect home{-2, -2, 42, 62};  // the homes of pieces 0 and 3
    for (int turn = 0; turn < 8; ++turn) {
        EXPECT_EQ(hold(), (std::vector<Rect>{home, Rect{}})) << "orientation " << b.pieces[0].orientation;
        // Left turns, and a mirror after the fourth: 0, 1, 2, 3, 7, 6, 5, 4.
        if (turn < 7) TurnGroup(b, LowestPositionOf(b, 0), 720, 520, turn == 3 ? 0 : kTurnLeft);
    }
    EXPECT_EQ(b.pieces[0].orientation, 4);
    settings.hintsOff = 1;
    EXPECT_TRUE(hold().empty());
    // The last piece counts too: the homes of the right column.
    b.pieces[2].group = b.pieces[5].group = 7;
    EXPECT_EQ(GroupHome(b, 7), (Rect{78, -2, 122, 62}));
}
