// The guide as a finder of pieces: a guide point to its picture pixel to
// the piece whose home covers it, and the two aids on a board of six
// pieces of 40 x 30 cells (soft edges 4 wide, a notch in each top edge):
// group {0, 3} hidden under the biggest group {1, 2, 4, 5}.
#include "game/finder.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/input.h"
#include "game/puzzle_game.h"
#include "pieces/board_fixture.h"
#include "pieces/turn.h"
#include "support/fake_host.h"
#include "views/guide.h"

namespace {

constexpr uint32_t kRing = ColorRefToPixel(kHintColour);

struct Finder : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    PuzzleGame g;
    Board& b = g.board;
    MYBIT clean, want, picture;

    void SetUp() override {
        clean.Create(1280, 960);
        for (int y = 0; y < 960; ++y)
            for (int x = 0; x < 1280; ++x)
                clean.At(x, y) = uint32_t((x * 3) & 0xFF) << 16 | uint32_t((y * 5) & 0xFF) << 8;
        for (int num = 0; num < 6; ++num)
            fixture::MakeRectPiece(b.pieces[num], num % 3 * 40 - 2, num / 3 * 30 - 2, 44, 34, 4);
        for (int num : {1, 2, 4, 5}) b.pieces[num].group = 1;
        b.pieces[0].group = b.pieces[3].group = 0;
        fixture::SetOrder(b, {0, 3, 1, 2, 4, 5});
        PlaceGroup({1, 2, 4, 5}, 400, 300);
        PlaceGroup({0, 3}, 440, 300);  // exactly under pieces 1 and 4
        b.boardPicture = g.boardPicture = &picture;
        b.cleanBoard = &clean;
        Recomposed();
        b.boardPicture->CopyFrom(want);
        g.host = &host;
        g.settings = &settings;
        g.making.stage = kStatePlaying;
        StartView(g.view, Size{1280, 960}, host.client, host.screen);
    }

    // The group's pieces unturned at their home places shifted by (dx, dy).
    void PlaceGroup(std::vector<int> pieces, int dx, int dy) {
        for (int num : pieces)
            fixture::Place(b.pieces[num], b.pieces[num].homeLeft + dx, b.pieces[num].homeTop + dy, 0);
    }
    const MYBIT& Recomposed() {
        fixture::Recompose(b, clean, want);
        return want;
    }
    std::vector<int> Order() const { return fixture::Order(b); }
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

TEST_F(Finder, APickRaisesTheHiddenGroupBlinksThreeTimesAndCountsOnce) {
    OnGuidePick(g, Point{20, 15});
    EXPECT_EQ(Order(), (std::vector<int>{1, 2, 4, 5, 0, 3}));
    EXPECT_EQ(fixture::Invariants(b), "");
    EXPECT_EQ(g.hintCount, 1);
    EXPECT_TRUE(g.view.OneToOne() && g.view.originX == 0 && g.view.originY == 0);  // in sight: no pan
    // The group covers (438, 298) .. (482, 362); the ring lies 3 pixels round it.
    const Rect outer{435, 295, 485, 365}, inner{438, 298, 482, 362};
    int shows = 0;
    for (int tick = 0; tick <= 5; ++tick) {
        if (tick > 0) OnTimer(g, IDT_BLINK);
        Recomposed();
        if (tick % 2 == 0) {
            ++shows;
            for (int y = outer.top; y < outer.bottom; ++y)
                for (int x = outer.left; x < outer.right; ++x)
                    if (x < inner.left || x >= inner.right || y < inner.top || y >= inner.bottom)
                        want.At(x, y) = kRing;
        }
        ASSERT_EQ(b.boardPicture->pixels, want.pixels) << "tick " << tick;
        EXPECT_EQ(host.TimerRunning(IDT_BLINK), tick < 5) << tick;
    }
    EXPECT_EQ(shows, 3);
    for (const Rect& r : host.areas) {
        Rect common;
        EXPECT_TRUE(IntersectRect(&common, r, outer) && common == r) << r.left << ", " << r.top;
    }
}

TEST_F(Finder, TheBiggestGroupOnlyBlinksAndNothingElseAnswers) {
    OnGuidePick(g, Point{60, 15});
    EXPECT_EQ(Order(), (std::vector<int>{0, 3, 1, 2, 4, 5}));
    EXPECT_EQ(g.hintCount, 0);
    EXPECT_TRUE(host.TimerRunning(IDT_BLINK));
    // A press on the board ends the blink at once.
    OnPress(g, kButtonLeft, 5, 5);
    OnRelease(g);
    EXPECT_FALSE(host.TimerRunning(IDT_BLINK));
    EXPECT_EQ(b.boardPicture->pixels, Recomposed().pixels);

    // A pixel of piece 0's rectangle in its notch, one beside every home,
    // the setting off, and a press waiting: nothing changes.
    const std::vector<uint32_t> board = b.boardPicture->pixels;
    host.invalidations = 0;
    OnGuidePick(g, Point{20, 0});
    OnGuidePick(g, Point{200, 100});
    settings.hintsOff = 1;
    OnGuidePick(g, Point{20, 15});
    settings.hintsOff = 0;
    g.pressPending = 1;
    OnGuidePick(g, Point{20, 15});
    EXPECT_EQ(Order(), (std::vector<int>{0, 3, 1, 2, 4, 5}));
    EXPECT_EQ(b.boardPicture->pixels, board);
    EXPECT_EQ(g.hintCount + host.invalidations, 0);
    EXPECT_FALSE(host.TimerRunning(IDT_BLINK));

    // The biggest group has two pieces at least; of equals, each is one.
    for (int num = 0; num < 6; ++num) b.pieces[num].group = num;
    EXPECT_FALSE(InBiggestGroup(b, 1));
    b.pieces[2].group = 1;
    b.pieces[5].group = 4;
    EXPECT_TRUE(InBiggestGroup(b, 2) && InBiggestGroup(b, 5) && !InBiggestGroup(b, 0));
}

TEST_F(Finder, TheViewMovesOnlyToAGroupWhollyOutOfSight) {
    host.client = Size{640, 480};
    PlaceGroup({0, 3}, 630, 100);  // one column of pixels in sight
    OnGuidePick(g, Point{20, 15});
    EXPECT_EQ(g.view.originX + g.view.originY, 0);
    PlaceGroup({0, 3}, 900, 700);
    b.boardPicture->CopyFrom(Recomposed());
    const int before = host.invalidations;
    OnGuidePick(g, Point{20, 45});
    // Centred on (920, 730) at 100 %, held by the table's bottom edge.
    EXPECT_EQ(g.view.scale, 1.0);
    EXPECT_EQ(g.view.originX, 920 - 320);
    EXPECT_EQ(g.view.originY, 960 - 480);
    EXPECT_GT(host.invalidations, before);
    EXPECT_EQ(g.hintCount, 2);
}

TEST_F(Finder, AHeldGroupMarksItsHomeInEveryOrientationUntilDropped) {
    PlaceGroup({0, 3}, 700, 500);
    b.boardPicture->CopyFrom(Recomposed());
    // A press on group {0, 3}, three moves and the drop: the marks asked of the guide.
    auto hold = [&] {
        const Rect r = UnionRect(b.pieces[0].BoardRect(), b.pieces[3].BoardRect());
        Point at{-1, -1};
        for (int y = r.top; y < r.bottom && at.x < 0; ++y)
            for (int x = r.left; x < r.right && at.x < 0; ++x)
                if (const int k = HitTest(b, x, y); k >= 0 && b.pieces[b.order[k]].group == 0) at = {x, y};
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
}
