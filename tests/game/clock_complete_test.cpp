#include <gtest/gtest.h>

#include <cstdlib>

#include "base/file_io.h"
#include "config/sounds.h"
#include "game/clock.h"
#include "game/game_record.h"
#include "pieces/board_fixture.h"
#include "support/fake_host.h"
#include "support/test_folder.h"

namespace {

// On a 400 x 300 board: a finished puzzle of 3 x 2 pieces (the finished
// rectangle (x, y, x + 62, y + 42)) and a speck far away.
struct Finished : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    Background bg;
    PuzzleGame g;

    void SetUp() override {
        host.screen = host.client = Size{400, 300};
        settings.tileFile[0] = '\0';
        InitGame(g, host, settings, bg);
        BuildSoundPaths(TheSounds(), "snd");
    }
    // Every frame drawn plays one of the end sounds.
    int FramesDrawn() const {
        int n = 0;
        for (const std::string& s : host.sounds) n += s.find("k_end_") != std::string::npos;
        return n;
    }
    void Lay(int x, int y) {
        Board& b = g.board;
        for (int i = 0; i < 6; ++i) {
            fixture::MakeRectPiece(b.pieces[i], i % 3 * 20 - 1, i / 3 * 20 - 1, 22, 22, 2);
            fixture::Place(b.pieces[i], x + i % 3 * 20, y + i / 3 * 20, 0);
        }
        fixture::MakeRectPiece(b.pieces[6], 100, 100, 2, 2, 0);
        fixture::Place(b.pieces[6], 390, 290, 0);
        b.pieces[6].group = 6;
        fixture::SetOrder(b, {0, 1, 2, 3, 4, 5, 6});
        g.making.stage = kStatePlaying;
        g.totalPieces = 6;
        ComposeBoard(bg, host);
        RedrawRegion(b, Rect{0, 0, 400, 300}, 0, b.count - 1);
    }
    int Slide() {
        int ticks = 0;
        for (; host.TimerRunning(IDT_SLIDE) && ticks < 1000; ++ticks) SlideStep(g);
        return ticks;
    }
};

}  // namespace

TEST_F(Finished, TheFinishedPictureSlidesToTheCentre) {
    Lay(20, 30);
    host.SetTimer(IDT_CLOCK, 1000);
    MYBIT expected;
    expected.CropFrom(bg.boardPicture, 20, 30, 62, 42);
    Complete(g);
    EXPECT_FALSE(host.TimerRunning(IDT_CLOCK));
    EXPECT_EQ(host.title, "pukko 00:00:00 (^o^)完成(^o^) (全6ﾋﾟｰｽ)");
    EXPECT_EQ(g.finalRect, (Rect{169, 129, 231, 171}));
    EXPECT_EQ(g.slideX * 1000 + g.slideY, -149 * 1000 - 99);
    EXPECT_EQ(fixture::Fnv1a(g.finished), fixture::Fnv1a(expected));
    EXPECT_EQ(g.board.pieces[0].left, 169);  // the records lie at rest at once
    EXPECT_EQ(g.board.pieces[6].top, 290 + 99);
    // 149 at 4 a step: 37 steps (the last pixel snaps), then one to end.
    EXPECT_EQ(Slide(), 38);
    EXPECT_EQ(FramesDrawn(), 1);
    EXPECT_EQ(bg.boardPicture.At(230, 170), g.finished.At(61, 41));
    EXPECT_EQ(bg.boardPicture.At(30, 40), 0x9CBE9Eu);

    // Each offset moves 4 toward 0, and what is then within 3 of 0 is 0.
    const int from[] = {10, 6, 4, 3, 1, 0, -1, -3, -4, -6, -7, -10, 7, 8};
    const int to[] = {6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -6, 0, 4};
    for (int i = 0; i < 14; ++i) EXPECT_EQ(SlideToward(from[i]), to[i]) << from[i];
    Complete(g);  // dropped again where it lies: no slide, a frame
    EXPECT_EQ(g.slideX + g.slideY, 0);
    g.slideX = 10;
    EXPECT_EQ(Slide(), 3);  // 10 -> 6 -> 0, then the frame
    EXPECT_EQ(FramesDrawn(), 2);
    // Exactly as wide as the client: to its left edge, the view unmoved.
    host.client = Size{62, 300};
    Complete(g);
    EXPECT_EQ(g.finalRect, (Rect{0, 129, 62, 171}));
    EXPECT_TRUE(g.view.OneToOne());
    Slide();
    // Wider than the client: it stays where it was finished, and the view
    // zooms out to show it whole.
    host.client = Size{61, 300};
    Complete(g);
    EXPECT_EQ(g.finalRect, (Rect{0, 129, 62, 171}));
    EXPECT_EQ(Slide(), 1);
    EXPECT_LT(g.view.scale, 1.0);
    EXPECT_TRUE(g.view.Shows(g.finalRect));
}

TEST_F(Finished, APuzzleFinishedPartlyOffTheBoardSlidesInWhole) {
    Lay(-30, -10);
    Complete(g);
    ASSERT_EQ(g.finished.Width() * 1000 + g.finished.Height(), 62 * 1000 + 42);
    Slide();
    MYBIT composed;
    composed.CopyFrom(bg.cleanBoard);
    for (int i = 0; i < 6; ++i)
        composed.PasteBlend(g.board.pieces[i].Current(), g.board.pieces[i].left, g.board.pieces[i].top);
    int bad = 0;
    for (int y = g.finalRect.top; y < g.finalRect.bottom; ++y)
        for (int x = g.finalRect.left; x < g.finalRect.right; ++x)
            bad += bg.boardPicture.At(x, y) != composed.At(x, y);
    EXPECT_EQ(bad, 0);
}

TEST_F(Finished, FinishingASavedGameDeletesItsFile) {
    const std::string base = TestFolder().string();
    for (const std::string name : {"/done.PKO", "/done.bmp"}) {
        ASSERT_TRUE(WriteFileAtomic(base + name, "x", 1));
        g.pictureFile = base + name;
        Lay(20, 30);
        Complete(g);
        EXPECT_EQ(FileExists(base + name), name == "/done.bmp") << name;
        DeleteFileAt(base + name);
    }
    g.pictureFile = base + "/never_there.pko";
    Complete(g);  // a missing file is no matter
}
