// The main window's keys and mouse, driven headlessly over a real puzzle:
// a picture saved as BMP, cut into six pieces and scattered, then pressed,
// clicked, dragged, dropped, swept, detached and finished the way the window
// procedure hands the messages on.
#include "game/input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/file_io.h"
#include "browser/browser_view.h"
#include "config/settings.h"
#include "config/sounds.h"
#include "game/clock.h"
#include "game/game_record.h"
#include "game/start_puzzle.h"
#include "game/view_commands.h"
#include "making/shape_dump.h"
#include "pieces/board_ops.h"
#include "pieces/saved_state.h"
#include "support/fake_host.h"
#include "support/test_folder.h"

namespace {

constexpr unsigned kMkLeft = 0x0001;  // wParam of a mouse move with the left button down

struct Play : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    Background background;
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();
    PuzzleGame& g = *game;
    Board& b = g.board;
    BrowserSet browsers;
    std::string folder = TestFolder().string();
    std::string picturePath = folder + "/photo.bmp";

    void SetUp() override {
        // The program "runs" from the test's folder: F5, F6 and saves land there.
        FindBaseFolder(settings, "\"" + folder + "/pukko.exe\"");
        settings.tileFile[0] = '\0';
        settings.pictureSize = 0;
        settings.pieceCount = 6;
        settings.guide = 0;
        settings.grey = 0;
        settings.sound = 1;
        // Scattered unturned, so that drops can be aimed; clicks switch the
        // settings as they need them.
        settings.rotation = 0;
        settings.flip = 0;
        host.client = host.screen = Size{1280, 960};
        host.tick = 7000;
        BuildSoundPaths(TheSounds(), "snd");
        InitGame(g, host, settings, background, &browsers);

        MYBIT p;
        p.Create(300, 200);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                p.At(x, y) =
                    static_cast<uint32_t>((x * 5) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | ((x ^ y) & 0xFF);
        ASSERT_TRUE(p.SaveFile(picturePath));
        DeleteFileAt(SavedStateName(picturePath));
        ASSERT_EQ(StartPuzzle(g, picturePath), 1);
        ASSERT_EQ(RunMakingToPlay(g), 1);
        ASSERT_EQ(g.State(), kStatePlaying);
        // Six pieces, one per cell.
        ASSERT_EQ(g.totalPieces, 6);
        ASSERT_EQ(b.count, 6);
        ASSERT_EQ(CountGroups(b), 6);
        host.sounds.clear();
        host.boxes.clear();
        host.invalidations = 0;
    }

    const Piece& P(int piece) const { return b.pieces[piece]; }
    Rect RectOf(int piece) const { return P(piece).BoardRect(); }

    // The piece at the k-th drawing position from the bottom, specks not counted.
    int RealAt(int k) const {
        for (int i = 0; i < b.count; ++i)
            if (!IsSpeck(P(b.order[i])) && k-- == 0) return b.order[i];
        ADD_FAILURE() << "too few pieces";
        return 0;
    }

    int PositionOf(int piece) const {
        for (int k = 0; k < b.count; ++k)
            if (b.order[k] == piece) return k;
        return -1;
    }

    // A point where the piece is the one on top, well inside its rectangle
    // when it can be.  (-1, -1) when other pieces cover it whole.
    Point Visible(int piece) const {
        const int k = PositionOf(piece);
        const Piece& p = P(piece);
        const int cx = (p.left + p.right) / 2, cy = (p.top + p.bottom) / 2;
        Point best{-1, -1};
        long bestDistance = -1;
        for (int y = p.top + 1; y < p.bottom; ++y)
            for (int x = p.left + 1; x < p.right; ++x) {
                if (HitTest(b, x, y) != k) continue;
                const long d = static_cast<long>(x - cx) * (x - cx) + static_cast<long>(y - cy) * (y - cy);
                if (bestDistance < 0 || d < bestDistance) best = {x, y}, bestDistance = d;
            }
        EXPECT_GE(best.x, 0) << "piece " << piece << " is covered";
        return best;
    }

    // A left-button drag of the piece by (dx, dy), then the drop.
    void Drag(int piece, int dx, int dy) {
        const Point at = Visible(piece);
        OnPress(g, kButtonLeft, at.x, at.y);
        OnMouseMove(g, kMkLeft, false, at.x + dx, at.y + dy);
        OnRelease(g);
    }

    // Drops the piece (off, offY) pixels away from its exact place beside
    // anchor (both unturned).
    void DropBeside(int piece, int anchor, int offX, int offY) {
        const int left = P(anchor).left + P(piece).homeLeft - P(anchor).homeLeft + offX;
        const int top = P(anchor).top + P(piece).homeTop - P(anchor).homeTop + offY;
        Drag(piece, left - P(piece).left, top - P(piece).top);
    }

    int FirstNeighbour(int piece) const {
        EXPECT_FALSE(P(piece).neighbours.empty());
        return P(piece).neighbours.empty() ? -1 : P(piece).neighbours[0];
    }

    // Piece 0 is taken to an empty part of the board (the scatter never
    // reaches past half the window's width plus a piece), then every other
    // piece is dropped at its place, reached along the neighbour lists so
    // that each drop lies beside a piece already joined.  `leave` groups
    // are left over.
    void Solve(int leave = 1) {
        Drag(0, 850 - P(0).left, 300 - P(0).top);
        std::vector<char> seen(static_cast<size_t>(b.count), 0);
        std::deque<int> queue{0};
        seen[0] = 1;
        while (!queue.empty() && CountGroups(b) > leave) {
            const int at = queue.front();
            queue.pop_front();
            for (int32_t nb : P(at).neighbours) {
                if (nb < 0 || seen[nb] || IsSpeck(P(nb)) || CountGroups(b) <= leave) continue;
                seen[nb] = 1;
                DropBeside(nb, 0, 0, 0);
                EXPECT_EQ(P(nb).group, P(0).group) << "piece " << nb << " did not join";
                queue.push_back(nb);
            }
        }
        ASSERT_EQ(CountGroups(b), leave);
    }

    // The board recomposed from scratch: the clean board and every piece
    // blended on it in drawing order.  Equal to the kept board picture as
    // long as no two pieces of one group overlap.
    std::vector<uint32_t> Composed() const {
        MYBIT m;
        m.CopyFrom(*b.cleanBoard);
        for (int k = 0; k < b.count; ++k) {
            const Piece& p = P(b.order[k]);
            m.PasteBlend(p.Current(), p.left, p.top);
        }
        return m.pixels;
    }

    std::vector<Rect> Rects() const {
        std::vector<Rect> r;
        for (int i = 0; i < b.count; ++i) r.push_back(RectOf(i));
        return r;
    }
    std::vector<int32_t> Order() const {
        return std::vector<int32_t>(b.order.begin(), b.order.begin() + b.count);
    }

    // Runs the slide to its end; the number of ticks it took.
    int Slide() {
        int ticks = 0;
        for (; host.TimerRunning(IDT_SLIDE) && ticks < 1000; ++ticks) OnTimer(g, IDT_SLIDE);
        return ticks;
    }

    // A point of the board that no piece covers, searched from (x, y) rightwards.
    Point Empty(int x, int y) const {
        while (HitTest(b, x, y) >= 0) ++x;
        return {x, y};
    }
};

unsigned TimerPeriod(const FakeHost& host, unsigned id) {
    for (const FakeHost::Timer& t : host.timers)
        if (t.id == id) return t.ms;
    return 0;
}

TEST_F(Play, APressWaitsThenTheTimeoutRaisesItsGroup) {
    // The bottom piece, so that raising shows.
    const int piece = RealAt(0);
    const int position = PositionOf(piece);
    const Point at = Visible(piece);
    const std::vector<int32_t> before = Order();
    OnPress(g, kButtonLeft, at.x, at.y);
    EXPECT_EQ(g.pressPending, 1);
    EXPECT_EQ(g.held, position);
    EXPECT_EQ(g.buttonBits, kButtonLeft);
    EXPECT_EQ(g.dragRef, at);
    EXPECT_EQ(g.last, at);
    EXPECT_EQ(g.current, at);
    EXPECT_EQ(TimerPeriod(host, IDT_PRESS), 300u);
    EXPECT_EQ(Order(), before);  // nothing raised yet

    // A second button while the press waits adds its bit and does not hit
    // again; only the last point follows it.
    const Point elsewhere = Empty(5, 5);
    OnPress(g, kButtonRight, elsewhere.x, elsewhere.y);
    EXPECT_EQ(g.buttonBits, kButtonLeft | kButtonRight);
    EXPECT_EQ(g.held, position);
    EXPECT_EQ(g.current, at);
    EXPECT_EQ(g.last, elsewhere);

    OnTimer(g, IDT_PRESS);
    EXPECT_FALSE(host.TimerRunning(IDT_PRESS));
    EXPECT_EQ(g.pressPending, 0);
    EXPECT_EQ(g.held, b.count - 1);
    EXPECT_EQ(b.order[b.count - 1], piece);
    std::vector<int32_t> expected = before;
    expected.erase(expected.begin() + position);
    expected.push_back(piece);
    EXPECT_EQ(Order(), expected);
    EXPECT_EQ(host.invalidations, 1);
    EXPECT_EQ(b.boardPicture->pixels, Composed());
    // A late tick of the same timer does nothing more.
    OnTimer(g, IDT_PRESS);
    EXPECT_EQ(host.invalidations, 1);
    EXPECT_EQ(g.held, b.count - 1);
    OnTimer(g, 0x7777);
    EXPECT_EQ(host.invalidations, 1);
}

TEST_F(Play, APressAndReleaseOnEmptyBoardOnlyClearsTheButtons) {
    const Point at = Empty(3, 3);
    const std::vector<Rect> rects = Rects();
    const std::vector<int32_t> order = Order();
    const std::vector<uint32_t> board = b.boardPicture->pixels;
    const std::string title = host.title;
    OnPress(g, kButtonMiddle, at.x, at.y);
    EXPECT_EQ(g.held, -1);
    EXPECT_EQ(g.pressPending, 0);
    EXPECT_FALSE(host.TimerRunning(IDT_PRESS));
    EXPECT_EQ(g.buttonBits, kButtonMiddle);
    EXPECT_EQ(g.last, at);
    // Moving with nothing held and no Ctrl moves nothing.
    OnMouseMove(g, kMkLeft, false, at.x + 40, at.y + 40);
    OnRelease(g);
    EXPECT_EQ(g.buttonBits, 0);
    EXPECT_EQ(Rects(), rects);
    EXPECT_EQ(Order(), order);
    EXPECT_EQ(b.boardPicture->pixels, board);
    EXPECT_EQ(host.title, title);
    EXPECT_EQ(g.jointSound, 0);
    EXPECT_EQ(host.invalidations, 0);
}

TEST_F(Play, AClickTurnsOrMirrorsAboutThePressPointAsTheSettingsSay) {
    const int piece = RealAt(2);
    auto click = [&](std::initializer_list<uint8_t> buttons) {
        const Point at = Visible(piece);
        for (uint8_t button : buttons) OnPress(g, button, at.x, at.y);
        OnRelease(g);
        EXPECT_EQ(g.held, -1);
        EXPECT_EQ(g.pressPending, 0);
        EXPECT_EQ(g.buttonBits, 0);
        EXPECT_FALSE(host.TimerRunning(IDT_PRESS));
        EXPECT_EQ(b.order[b.count - 1], piece);  // raised in every case
        return at;
    };

    // Left alone with turning on: a quarter counter-clockwise about the
    // press point, (l, t, r, b) -> (t, -r, b, -l) relative to it.
    settings.rotation = 1;
    Rect r = RectOf(piece);
    Point c = click({kButtonLeft});
    EXPECT_EQ(P(piece).orientation, 1);
    EXPECT_EQ(RectOf(piece),
              (Rect{c.x + r.top - c.y, c.y - (r.right - c.x), c.x + r.bottom - c.y, c.y - (r.left - c.x)}));
    EXPECT_EQ(b.boardPicture->pixels, Composed());
    // Right alone: clockwise, back to orientation 0.
    click({kButtonRight});
    EXPECT_EQ(P(piece).orientation, 0);

    // With turning off the same clicks only raise.
    settings.rotation = 0;
    settings.flip = 1;
    r = RectOf(piece);
    click({kButtonLeft});
    click({kButtonRight});
    EXPECT_EQ(P(piece).orientation, 0);
    EXPECT_EQ(RectOf(piece), r);

    // Middle, with flip on: mirrored about the vertical line through the press point.
    c = click({kButtonMiddle});
    EXPECT_EQ(P(piece).orientation, 4);
    EXPECT_EQ(RectOf(piece), (Rect{2 * c.x - r.right, r.top, 2 * c.x - r.left, r.bottom}));
    EXPECT_EQ(b.boardPicture->pixels, Composed());
    // Two buttons together mirror as well, even with turning on; the second
    // release finds nothing pending and changes nothing.
    settings.rotation = 1;
    click({kButtonLeft, kButtonRight});
    EXPECT_EQ(P(piece).orientation, 0);
    const Rect mirroredBack = RectOf(piece);
    OnRelease(g);
    EXPECT_EQ(RectOf(piece), mirroredBack);

    // Flip off: a middle click only raises.
    settings.flip = 0;
    r = RectOf(piece);
    click({kButtonMiddle});
    EXPECT_EQ(P(piece).orientation, 0);
    EXPECT_EQ(RectOf(piece), r);
    EXPECT_EQ(CountGroups(b), 6);  // no click dropped a piece beside a neighbour
    EXPECT_EQ(host.title, "pukko 00:00:00 残り6ﾋﾟｰｽ(全6ﾋﾟｰｽ)");
}

TEST_F(Play, ADragMovesTheHeldGroupByTheMouseOffsets) {
    const int piece = RealAt(1);
    const Rect r = RectOf(piece);
    const Point at = Visible(piece);
    OnPress(g, kButtonLeft, at.x, at.y);
    OnMouseMove(g, kMkLeft, false, at.x + 15, at.y - 7);
    EXPECT_EQ(g.pressPending, 0);  // the first move ends the wait...
    EXPECT_FALSE(host.TimerRunning(IDT_PRESS));
    EXPECT_EQ(b.order[b.count - 1], piece);  // ...and raises the group
    EXPECT_EQ(g.held, b.count - 1);
    EXPECT_EQ(RectOf(piece), (Rect{r.left + 15, r.top - 7, r.right + 15, r.bottom - 7}));
    EXPECT_EQ(g.dragRef, (Point{at.x + 15, at.y - 7}));
    OnMouseMove(g, kMkLeft, false, at.x + 18, at.y - 3);
    EXPECT_EQ(RectOf(piece), (Rect{r.left + 18, r.top - 3, r.right + 18, r.bottom - 3}));
    EXPECT_EQ(g.current, (Point{at.x + 18, at.y - 3}));
    // A move without a button moves nothing.
    OnMouseMove(g, 0, false, at.x + 200, at.y + 200);
    EXPECT_EQ(RectOf(piece).left, r.left + 18);
    // Any of the three buttons drags.
    OnMouseMove(g, 0x0010, false, at.x + 20, at.y - 3);
    EXPECT_EQ(RectOf(piece).left, r.left + 20);
    OnRelease(g);
    EXPECT_EQ(g.held, -1);
    EXPECT_EQ(b.boardPicture->pixels, Composed());
    // Nothing is held any more: moving with a button changes nothing.
    OnMouseMove(g, kMkLeft, false, at.x + 90, at.y + 90);
    EXPECT_EQ(RectOf(piece).left, r.left + 20);
}

TEST_F(Play, ADropWithinSixPixelsOfItsPlaceJoinsAndTheNextPaintSoundsOnce) {
    // The anchor goes to an empty part of the board first, so nothing else
    // lies near the place the piece is dropped at.
    const int anchor = RealAt(0);
    const int piece = FirstNeighbour(anchor);
    ASSERT_GE(piece, 0);
    Drag(anchor, 900 - P(anchor).left, 100 - P(anchor).top);
    ASSERT_EQ(CountGroups(b), 6);
    const int exactLeft = P(anchor).left + P(piece).homeLeft - P(anchor).homeLeft;
    const int exactTop = P(anchor).top + P(piece).homeTop - P(anchor).homeTop;

    // Seven pixels off in either direction is too far.
    DropBeside(piece, anchor, 7, -6);
    EXPECT_EQ(g.jointSound, 0);
    EXPECT_NE(P(piece).group, P(anchor).group);
    EXPECT_EQ(RectOf(piece).left, exactLeft + 7);
    DropBeside(piece, anchor, -6, 7);
    EXPECT_EQ(g.jointSound, 0);
    EXPECT_EQ(CountGroups(b), 6);
    EXPECT_EQ(host.title, "pukko 00:00:00 残り6ﾋﾟｰｽ(全6ﾋﾟｰｽ)");

    // Six in both: it snaps to its exact place and takes the anchor's group.
    host.Advance(3000);
    OnTimer(g, IDT_CLOCK);
    DropBeside(piece, anchor, 6, -6);
    EXPECT_EQ(g.jointSound, 1);
    EXPECT_EQ(P(piece).group, P(anchor).group);
    EXPECT_EQ(RectOf(piece).left, exactLeft);
    EXPECT_EQ(RectOf(piece).top, exactTop);
    EXPECT_EQ(CountGroups(b), 5);
    EXPECT_EQ(host.title, "pukko 00:00:03 残り5ﾋﾟｰｽ(全6ﾋﾟｰｽ)");
    EXPECT_TRUE(host.TimerRunning(IDT_CLOCK));
    EXPECT_TRUE(host.sounds.empty());  // the sound waits for the paint
    AfterPaint(g);
    EXPECT_EQ(host.sounds, std::vector<std::string>{"snd\\k_joint"});
    EXPECT_EQ(g.jointSound, 0);
    AfterPaint(g);
    EXPECT_EQ(host.sounds.size(), 1u);

    // The joined pair moves as one.
    const Rect anchorRect = RectOf(anchor);
    Drag(piece, 30, 20);
    EXPECT_EQ(RectOf(anchor), (Rect{anchorRect.left + 30, anchorRect.top + 20, anchorRect.right + 30,
                                    anchorRect.bottom + 20}));

    // With the sound off a join still sets the flag, and the paint clears it silently.
    settings.sound = 0;
    int third = -1;
    for (int32_t nb : P(piece).neighbours)
        if (nb >= 0 && nb != anchor) third = nb;
    if (third < 0)
        for (int32_t nb : P(anchor).neighbours)
            if (nb >= 0 && nb != piece) third = nb;
    ASSERT_GE(third, 0);
    DropBeside(third, anchor, -6, 6);
    EXPECT_EQ(g.jointSound, 1);
    AfterPaint(g);
    EXPECT_EQ(g.jointSound, 0);
    EXPECT_EQ(host.sounds.size(), 1u);
}

TEST_F(Play, AtHalfSizeThePointerWorksInTablePixelsAndTheSnapReachesTwelve) {
    const int anchor = RealAt(0);
    const int piece = FirstNeighbour(anchor);
    ASSERT_GE(piece, 0);
    Drag(anchor, 900 - P(anchor).left, 100 - P(anchor).top);
    // The window shrinks to half the table: the fit shows it at 50 %.
    host.client = Size{640, 480};
    OnZoomCommand(g, ZoomCommand::kFit, Point{-1, -1});
    ASSERT_EQ(g.view.scale, 0.5);
    ASSERT_EQ(g.view.originX, 0);
    EXPECT_EQ(SnapReach(g), 12);
    // Minimised (either side 0), the window keeps its view for its return.
    for (const Size gone : {Size{0, 0}, Size{0, 480}, Size{640, 0}}) {
        host.client = gone;
        OnClientResized(g);
        EXPECT_TRUE(g.view.scale == 0.5 && g.view.client == (Size{640, 480})) << gone.cx << " x " << gone.cy;
    }
    host.client = Size{1, 1};  // the smallest window that is not minimised
    OnClientResized(g);
    EXPECT_EQ(g.view.client, (Size{1, 1}));
    host.client = Size{640, 480};
    OnClientResized(g);
    ASSERT_TRUE(g.view.scale == 0.5 && g.view.originX == 0);
    // A client point that presses the piece: one client pixel is two table
    // pixels, so the piece moves by even amounts.
    auto dragBy = [&](int which, int dx, int dy) {
        const Point t = Visible(which);
        const Point c{t.x / 2, t.y / 2};
        ASSERT_EQ(HitTest(b, g.view.ClientToTable(c).x, g.view.ClientToTable(c).y), PositionOf(which));
        ASSERT_EQ(dx % 2 | dy % 2, 0);
        OnPress(g, kButtonLeft, c.x, c.y);
        OnMouseMove(g, kMkLeft, false, c.x + dx / 2, c.y + dy / 2);
        OnRelease(g);
    };
    for (int off : {13, 12}) {
        const int dx = P(anchor).left + P(piece).homeLeft - P(anchor).homeLeft + off - P(piece).left;
        const int dy = P(anchor).top + P(piece).homeTop - P(anchor).homeTop - off - P(piece).top;
        if (dx % 2 || dy % 2) {
            // An odd step first, at 100 %, where a client pixel is a table pixel.
            OnZoomCommand(g, ZoomCommand::kActualSize, Point{0, 0});
            Drag(piece, dx % 2, dy % 2);
            OnZoomCommand(g, ZoomCommand::kFit, Point{-1, -1});
        }
        host.areas.clear();
        dragBy(piece, dx - dx % 2, dy - dy % 2);
        EXPECT_EQ(P(piece).group == P(anchor).group, off == 12) << off;
        // Each move repainted only the client pixels of what changed.
        ASSERT_FALSE(host.areas.empty());
        for (const Rect& r : host.areas) EXPECT_LT(r.Width() * r.Height(), 640 * 480 / 4) << off;
    }
}

TEST_F(Play, ADragBesideEveryPieceMovesTheViewAndIsNoClick) {
    host.client = Size{640, 480};
    OnZoomCommand(g, ZoomCommand::kActualSize, Point{0, 0});
    ASSERT_TRUE(g.view.OneToOne());
    const std::vector<uint32_t> board = b.boardPicture->pixels;
    const Point at = Empty(3, 3);
    OnPress(g, kButtonLeft, at.x, at.y);
    // A tremor of three pixels is still a click; from four the view follows
    // the whole way.
    OnMouseMove(g, kMkLeft, false, at.x - 3, at.y - 3);
    EXPECT_EQ(g.view.originX, 0);
    OnMouseMove(g, kMkLeft, false, at.x - 4, at.y);
    EXPECT_EQ(g.view.originX, 4);
    OnMouseMove(g, kMkLeft, false, at.x - 100, at.y - 50);
    EXPECT_EQ(g.view.originX, 100);
    EXPECT_EQ(g.view.originY, 50);
    // Beyond the table's corner the view stops at it.
    OnMouseMove(g, kMkLeft, false, at.x - 5000, at.y - 5000);
    EXPECT_EQ(g.view.originX, 1280 - 640);
    EXPECT_EQ(g.view.originY, 960 - 480);
    OnRelease(g);
    EXPECT_EQ(g.panning, 0);
    EXPECT_EQ(b.boardPicture->pixels, board);  // the board itself is untouched
    // A press now hits the table point under it.
    OnPress(g, kButtonLeft, 10, 20);
    EXPECT_EQ(g.last, (Point{650, 500}));
    OnRelease(g);
}

TEST_F(Play, CtrlDragSweepsFromTheLastPoint) {
    // A piece alone in an empty part of the board.
    const int piece = RealAt(3);
    Drag(piece, 900 - P(piece).left, 600 - P(piece).top);
    const std::vector<Rect> before = Rects();
    const Rect r = RectOf(piece);
    // Beside it, within reach of its rectangle but not on it.
    const Point at{r.left - 10, (r.top + r.bottom) / 2};
    ASSERT_EQ(HitTest(b, at.x, at.y), -1);
    OnPress(g, kButtonLeft, at.x, at.y);
    EXPECT_EQ(g.held, -1);
    // Without Ctrl nothing is held, so nothing moves, and the last point
    // stays where the press was.
    OnMouseMove(g, kMkLeft, false, at.x + 10, at.y);
    EXPECT_EQ(Rects(), before);
    EXPECT_EQ(g.last, at);
    const int shown = host.invalidations;
    // With Ctrl the group is pushed by the whole way from the last point.
    OnMouseMove(g, kMkLeft, true, at.x + 25, at.y + 4);
    EXPECT_EQ(RectOf(piece), (Rect{r.left + 25, r.top + 4, r.right + 25, r.bottom + 4}));
    EXPECT_EQ(g.last, (Point{at.x + 25, at.y + 4}));
    EXPECT_EQ(host.invalidations, shown + 1);
    OnMouseMove(g, kMkLeft, true, at.x + 30, at.y + 4);
    EXPECT_EQ(RectOf(piece).left, r.left + 30);
    // No other piece moved, and the order is as it was.
    for (int i = 0; i < b.count; ++i) {
        if (i == piece) continue;
        EXPECT_EQ(RectOf(i), before[i]) << "piece " << i;
    }
    EXPECT_EQ(b.order[b.count - 1], piece);
    OnRelease(g);
}

TEST_F(Play, TheLastJoinCompletesAndTheSlideEndsInTheFrame) {
    Solve(2);
    host.Advance(61000);
    OnTimer(g, IDT_CLOCK);
    EXPECT_EQ(host.title, "pukko 00:01:01 残り2ﾋﾟｰｽ(全6ﾋﾟｰｽ)");
    int last = -1;
    for (int i = 0; i < b.count; ++i)
        if (!IsSpeck(P(i)) && P(i).group != P(0).group) last = i;
    ASSERT_GE(last, 0);
    host.sounds.clear();
    DropBeside(last, 0, 3, 2);

    EXPECT_EQ(g.jointSound, 1);
    EXPECT_EQ(IsComplete(g), 1);
    EXPECT_EQ(InProgress(g), 0);
    EXPECT_EQ(host.title, "pukko 00:01:01 (^o^)完成(^o^) (全6ﾋﾟｰｽ)");
    EXPECT_FALSE(host.TimerRunning(IDT_CLOCK));
    EXPECT_EQ(TimerPeriod(host, IDT_SLIDE), 10u);
    // The records already lie centred in the client area.
    const int w = g.finished.Width(), h = g.finished.Height();
    ASSERT_GT(w, 250);
    ASSERT_GT(h, 150);
    const Rect centred{(1280 - w) / 2, (960 - h) / 2, (1280 - w) / 2 + w, (960 - h) / 2 + h};
    EXPECT_EQ(g.finalRect, centred);
    EXPECT_EQ(FinishedRect(b), centred);
    EXPECT_NE(g.slideX, 0);

    host.Advance(5000);
    EXPECT_GT(Slide(), 2);
    EXPECT_FALSE(host.TimerRunning(IDT_SLIDE));
    EXPECT_EQ(g.slideX, 0);
    EXPECT_EQ(g.slideY, 0);
    ASSERT_EQ(host.sounds.size(), 1u);
    EXPECT_EQ(host.sounds[0].rfind("snd\\k_end_", 0), 0u);
    MYBIT shown;
    ASSERT_TRUE(shown.CropFrom(*b.boardPicture, centred.left, centred.top, w, h));
    EXPECT_EQ(shown.pixels, g.finished.pixels);
    EXPECT_EQ(host.title, "pukko 00:01:01 (^o^)完成(^o^) (全6ﾋﾟｰｽ)");

    // A left click on it with turning on turns the whole picture, which is
    // finished again: centred at its new size, slid, framed with a sound.
    settings.rotation = 1;
    const Point on = Visible(0);
    OnPress(g, kButtonLeft, on.x, on.y);
    OnRelease(g);
    for (int i = 0; i < b.count; ++i) {
        if (IsSpeck(P(i))) continue;  // a group of its own, off the picture
        EXPECT_EQ(P(i).orientation, 1) << "piece " << i;
    }
    EXPECT_EQ(g.finished.Width(), h);
    EXPECT_EQ(g.finished.Height(), w);
    EXPECT_EQ(g.finalRect, (Rect{(1280 - h) / 2, (960 - w) / 2, (1280 - h) / 2 + h, (960 - w) / 2 + w}));
    EXPECT_TRUE(host.TimerRunning(IDT_SLIDE));
    Slide();
    EXPECT_EQ(host.sounds.size(), 2u);
    EXPECT_FALSE(host.TimerRunning(IDT_CLOCK));
    EXPECT_EQ(host.title, "pukko 00:01:01 (^o^)完成(^o^) (全6ﾋﾟｰｽ)");

    // A drag beside it that moves the view is no click; a click beside the
    // finished picture (a tremor of three pixels allowed) holds nothing: the
    // puzzle goes and the picture strip comes for the next one.
    host.client = Size{1000, 800};
    OnPress(g, kButtonLeft, 25, 25);
    OnMouseMove(g, kMkLeft, false, 5, 5);
    OnRelease(g);
    EXPECT_EQ(g.view.originX, 20);
    ASSERT_EQ(g.State(), kStatePlaying);
    EXPECT_TRUE(host.browsers.empty());
    OnPress(g, kButtonLeft, 5, 5);
    OnMouseMove(g, kMkLeft, false, 8, 8);
    OnRelease(g);
    EXPECT_EQ(g.buttonBits, 0);
    EXPECT_EQ(g.State(), kStateNone);
    EXPECT_EQ(b.count, 0);
    EXPECT_EQ(host.title, "pukko");
    ASSERT_EQ(host.browsers.size(), 1u);
    EXPECT_EQ(host.browsers[0].rfind("open 0 ", 0), 0u);
}

TEST_F(Play, ArrowKeysAdjustTheFrameOnlyOnAFinishedPuzzle) {
    const Settings before = settings;
    const std::vector<uint32_t> board = b.boardPicture->pixels;
    for (int vk : {kVkLeft, kVkRight, kVkUp, kVkDown})
        for (int mods = 0; mods < 4; ++mods) OnKeyDown(g, vk, mods & 1, mods & 2, Point{});
    EXPECT_EQ(std::memcmp(&settings, &before, sizeof settings), 0);
    EXPECT_EQ(b.boardPicture->pixels, board);
    EXPECT_TRUE(host.sounds.empty());
    EXPECT_EQ(host.invalidations, 0);

    Solve();
    Slide();
    host.sounds.clear();
    auto key = [&](int vk, bool ctrl = false, bool shift = false) { OnKeyDown(g, vk, ctrl, shift, Point{}); };
    // Hue: Left and Right, wrapping past 0 and 100.
    settings.endWakuH = 0;
    key(kVkLeft);
    EXPECT_EQ(settings.endWakuH, 100);
    key(kVkRight);
    EXPECT_EQ(settings.endWakuH, 0);
    key(kVkRight);
    EXPECT_EQ(settings.endWakuH, 1);
    // Thickness: Ctrl with any arrow, never below 2; Ctrl wins over Shift.
    settings.endWakuT = 3;
    key(kVkLeft, true);
    EXPECT_EQ(settings.endWakuT, 2);
    key(kVkDown, true, true);
    EXPECT_EQ(settings.endWakuT, 2);
    key(kVkUp, true, true);
    key(kVkRight, true);
    EXPECT_EQ(settings.endWakuT, 4);
    EXPECT_EQ(settings.endWakuL1, before.endWakuL1);
    // Luma: Shift with Up and Down, both ends by 10.
    key(kVkUp, false, true);
    EXPECT_EQ(settings.endWakuL1, before.endWakuL1 + 10);
    EXPECT_EQ(settings.endWakuL2, before.endWakuL2 + 10);
    key(kVkDown, false, true);
    key(kVkDown, false, true);
    EXPECT_EQ(settings.endWakuL1, before.endWakuL1 - 10);
    // Chroma: Up and Down alone.
    key(kVkUp);
    EXPECT_EQ(settings.endWakuS, before.endWakuS + 1);
    key(kVkDown);
    key(kVkDown);
    EXPECT_EQ(settings.endWakuS, before.endWakuS - 1);
    EXPECT_EQ(settings.endWakuH, 1);
    // Every adjustment draws the frame again with an end sound.
    EXPECT_EQ(host.sounds.size(), 13u);
    // Keys outside the table do nothing.
    for (int vk : {0x21, 0x22, 0x23, 0x24, 0x41}) key(vk);
    EXPECT_EQ(host.sounds.size(), 13u);
}

TEST_F(Play, SpaceDetachesThePieceUnderTheCursor) {
    const int anchor = RealAt(0);
    const int piece = FirstNeighbour(anchor);
    Drag(anchor, 900 - P(anchor).left, 100 - P(anchor).top);
    DropBeside(piece, anchor, 0, 0);
    ASSERT_EQ(P(piece).group, P(anchor).group);
    const int anchorGroup = P(anchor).group;
    ASSERT_EQ(CountGroups(b), 5);

    // Nothing under the cursor: nothing changes.
    const std::vector<Rect> rects = Rects();
    const std::vector<int32_t> order = Order();
    int shown = host.invalidations;
    OnKeyDown(g, kVkSpace, false, false, Empty(2, 2));
    EXPECT_EQ(Rects(), rects);
    EXPECT_EQ(Order(), order);
    EXPECT_EQ(host.invalidations, shown);

    // In arrange mode Space belongs to the arranged picture.
    settings.arrangeMode = 1;
    OnKeyDown(g, kVkSpace, false, false, Visible(anchor));
    EXPECT_EQ(Rects(), rects);
    EXPECT_EQ(P(anchor).group, anchorGroup);
    settings.arrangeMode = 0;

    int largest = 0;
    for (int i = 0; i < b.count; ++i) largest = std::max(largest, P(i).group);
    const Rect r = RectOf(anchor);
    OnKeyDown(g, kVkSpace, false, false, Visible(anchor));
    EXPECT_EQ(b.order[b.count - 1], anchor);
    EXPECT_EQ(P(anchor).group, largest + 1);
    EXPECT_EQ(RectOf(anchor), (Rect{r.left + 5, r.top + 5, r.right + 5, r.bottom + 5}));
    EXPECT_EQ(P(piece).group, anchorGroup);  // the one left keeps its number
    EXPECT_EQ(CountGroups(b), 6);
    EXPECT_EQ(host.invalidations, shown + 1);
}

// Space while a press waits: the pressed piece leaves its group and goes to
// the top, and the click that follows still turns that piece, not the one
// that moved down into its old drawing position.
TEST_F(Play, SpaceDuringAPressKeepsThePressedPiece) {
    settings.rotation = 1;
    const int piece = b.order[0];
    const Point at = Visible(piece);
    const int aboveIt = b.order[1];
    const int turnsBefore = P(aboveIt).orientation;
    const int before = P(piece).orientation;
    OnPress(g, kButtonLeft, at.x, at.y);
    ASSERT_EQ(b.order[g.held], piece);
    OnKeyDown(g, kVkSpace, false, false, at);
    EXPECT_EQ(b.order[g.held], piece);
    OnRelease(g);
    EXPECT_EQ(P(piece).orientation, (before + 1) % 4 + (before & 4));
    EXPECT_EQ(P(aboveIt).orientation, turnsBefore);
}

TEST_F(Play, NothingAnswersTheMouseWhileNoPuzzleIsPlayed) {
    // While a puzzle is being made, with some of its pieces already out.
    host.posted.clear();
    ASSERT_EQ(StartPuzzle(g, picturePath), 1);
    for (size_t i = 0; i < host.posted.size() && !(g.State() == kStateCutting && g.placedCount >= 3); ++i)
        MakingStep(g, host.posted[i]);
    ASSERT_EQ(g.State(), kStateCutting);
    const int piece = RealAt(0);
    const Point at = Visible(piece);
    const std::vector<Rect> rects = Rects();
    const std::vector<uint32_t> board = b.boardPicture->pixels;
    host.invalidations = 0;
    OnPress(g, kButtonLeft, at.x, at.y);
    EXPECT_EQ(g.buttonBits, 0);
    EXPECT_EQ(g.held, -1);
    EXPECT_FALSE(host.TimerRunning(IDT_PRESS));
    OnMouseMove(g, kMkLeft, true, at.x + 30, at.y);
    OnKeyDown(g, kVkSpace, false, false, at);
    OnRelease(g);
    EXPECT_EQ(Rects(), rects);
    EXPECT_EQ(P(piece).group, piece);
    EXPECT_EQ(b.boardPicture->pixels, board);
    EXPECT_EQ(host.invalidations, 0);

    // With no puzzle at all.
    ResetGame(g);
    host.invalidations = 0;
    OnPress(g, kButtonRight, 100, 100);
    EXPECT_EQ(g.buttonBits, 0);
    EXPECT_EQ(g.last, Point{});
    OnMouseMove(g, kMkLeft, true, 120, 100);
    OnRelease(g);
    OnKeyDown(g, kVkSpace, false, false, Point{100, 100});
    EXPECT_EQ(host.invalidations, 0);
}

TEST_F(Play, F5AndF6WriteBesideTheProgramAndSaySo) {
    const Piece& top = P(b.order[b.count - 1]);
    OnKeyDown(g, kVkF5, false, false, Point{});
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(folder + "/piece.bmp", &bytes, 1 << 24));
    ASSERT_EQ(bytes.size(), 54 + 4 * top.Current().PixelCount());
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(std::memcmp(bytes.data() + 54, top.Current().pixels.data(), bytes.size() - 54), 0);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "piece.bmp出力しました。");
    EXPECT_EQ(host.boxes[0].caption, "pukko");
    EXPECT_EQ(host.boxes[0].flags, kMbOk);
    EXPECT_EQ(host.boxes[0].owner, Owner::kNone);

    OnKeyDown(g, kVkF6, false, false, Point{});
    ASSERT_TRUE(ReadWholeFile(folder + "/pukko_ini.txt", &bytes, 1 << 20));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), FormatShapeSettings(settings));
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1].text, "pukko_ini.txt出力しました。");
    EXPECT_EQ(host.boxes[1].owner, Owner::kNone);

    // A program folder that cannot be written to: no file, and the box says so.
    SetPathField(settings.baseFolder, folder + "/gone");
    OnKeyDown(g, kVkF5, false, false, Point{});
    OnKeyDown(g, kVkF6, false, false, Point{});
    ASSERT_EQ(host.boxes.size(), 4u);
    EXPECT_EQ(host.boxes[2].text, "piece.bmpを出力できませんでした。");
    EXPECT_EQ(host.boxes[3].text, "pukko_ini.txtを出力できませんでした。");
    EXPECT_FALSE(FileExists(folder + "/gone/piece.bmp"));

    // With no piece on the board there is nothing to write.
    SetPathField(settings.baseFolder, folder);
    DeleteFileAt(folder + "/piece.bmp");
    ResetGame(g);
    OnKeyDown(g, kVkF5, false, false, Point{});
    EXPECT_FALSE(FileExists(folder + "/piece.bmp"));
    EXPECT_EQ(host.boxes.size(), 4u);
}

TEST_F(Play, F7SwitchesArrangeModeAndTheTitleWhilePlaying) {
    OnKeyDown(g, kVkF7, false, false, Point{});
    EXPECT_EQ(settings.arrangeMode, 1);
    EXPECT_EQ(host.title, "pukko <整列モード>");
    // Outside a finished puzzle, Up and Down in arrange mode leave the frame alone.
    const double s = settings.endWakuS;
    OnKeyDown(g, kVkUp, false, false, Point{});
    EXPECT_EQ(settings.endWakuS, s);
    // With an arranged picture each key moves its total and asks for the
    // board to be drawn again once; Left and Right do neither.
    g.arrangedCanvas.CreateFilled(0x336699, 4, 4);
    struct Key {
        int vk;
        bool shift;
        double luma, chroma;
        int blurs, redraws;
    };
    for (const Key& k : {Key{kVkSpace, false, 0, 0, 1, 1},
                         {kVkUp, false, 0, 1, 1, 1},
                         {kVkUp, true, 1, 1, 1, 1},
                         {kVkDown, false, 1, 0, 1, 1},
                         {kVkDown, true, 0, 0, 1, 1},
                         {kVkSpace, true, 0, 0, 2, 1},
                         {kVkLeft, false, 0, 0, 2, 0},
                         {kVkRight, true, 0, 0, 2, 0}}) {
        const int before = host.invalidations;
        OnKeyDown(g, k.vk, false, k.shift, Point{});
        EXPECT_EQ(host.invalidations - before, k.redraws) << k.vk << " " << k.shift;
        EXPECT_EQ(g.lumaOffset, k.luma) << k.vk << " " << k.shift;
        EXPECT_EQ(g.chromaOffset, k.chroma) << k.vk << " " << k.shift;
        EXPECT_EQ(g.blurCount, k.blurs) << k.vk << " " << k.shift;
    }
    g.arrangedCanvas.Free();
    OnKeyDown(g, kVkF7, false, false, Point{});
    EXPECT_EQ(settings.arrangeMode, 0);
    EXPECT_EQ(host.title, "pukko");
    EXPECT_EQ(g.State(), kStatePlaying);
    EXPECT_TRUE(host.TimerRunning(IDT_CLOCK));
    // F8 outside arrange mode does nothing.
    OnKeyDown(g, kVkF8, false, false, Point{});
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(host.title, "pukko");
}

TEST_F(Play, CloseSavesAGameInProgressSilentlyWhenAskedTo) {
    const std::string saved = SavedStateName(picturePath);
    settings.sound = 0;
    settings.saveOnExit = 0;
    OnClose(g);
    EXPECT_FALSE(FileExists(saved));

    settings.saveOnExit = 1;
    OnClose(g);
    EXPECT_TRUE(FileExists(saved));
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_FALSE(host.TimerRunning(IDT_CLOCK));  // saving stops the clock
    int32_t remaining = 0, total = 0;
    ASSERT_TRUE(ReadSavedCounts(saved, remaining, total));
    EXPECT_EQ(remaining, 6);
    EXPECT_EQ(total, 6);

    // A finished puzzle is not saved.
    ASSERT_TRUE(DeleteFileAt(saved));
    Solve();
    OnClose(g);
    EXPECT_FALSE(FileExists(saved));
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Play, TheCloseSoundDrawsARandomNumberOnlyWithTheSoundOn) {
    settings.saveOnExit = 0;
    Rand expected = g.rng;
    OnClose(g);
    ASSERT_EQ(host.sounds.size(), 1u);
    EXPECT_EQ(host.sounds[0], "snd\\k_close_" + std::to_string(1 + expected.Next() % 2));
    EXPECT_EQ(g.rng.Next(), expected.Next());

    settings.sound = 0;
    expected = g.rng;
    OnClose(g);
    EXPECT_EQ(host.sounds.size(), 1u);
    EXPECT_EQ(g.rng.Next(), expected.Next());
}

}  // namespace
