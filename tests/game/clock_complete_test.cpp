#include <gtest/gtest.h>

#include <cstdlib>

#include "base/file_io.h"
#include "game/clock.h"
#include "game/game_record.h"
#include "pieces/board_fixture.h"
#include "support/fake_host.h"

namespace {

int framesDrawn = 0;
void CountFrame(PuzzleGame&, double, double, double, double, int) {
    ++framesDrawn;
}

// A finished puzzle of 3 x 2 pieces of 20 x 20 joined into one group, its
// top-left piece at (x, y), plus a speck far away; on a 400 x 300 board.
struct Finished : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    Background bg;
    PuzzleGame g;

    void SetUp() override {
        host.screen = Size{400, 300};
        host.client = Size{400, 300};
        settings.tileFile[0] = '\0';
        InitGame(g, host, settings, bg);
        g.drawCompletionFrame = CountFrame;
        framesDrawn = 0;
    }

    void Lay(int x, int y) {
        Board& b = g.board;
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c) {
                Piece& p = b.pieces[r * 3 + c];
                fixture::MakeRectPiece(p, c * 20 - 1, r * 20 - 1, 22, 22, 2);
                fixture::Place(p, x + c * 20, y + r * 20, 0);
                p.group = 0;
                b.order[r * 3 + c] = r * 3 + c;
            }
        Piece& speck = b.pieces[6];
        fixture::MakeRectPiece(speck, 100, 100, 2, 2, 0);
        fixture::Place(speck, 390, 290, 0);
        speck.group = 6;
        b.order[6] = 6;
        b.count = 7;
        g.making.stage = kStatePlaying;
        g.totalPieces = 6;
        ComposeBoard(bg, host);
        RedrawRegion(b, Rect{0, 0, 400, 300}, 0, b.count - 1);
    }
};

}  // namespace

TEST_F(Finished, CompletionCentresThePictureAndSlidesItThere) {
    Lay(20, 30);  // the finished rectangle is (20, 30, 82, 72): 62 x 42
    host.SetTimer(IDT_CLOCK, 1000);
    ASSERT_EQ(IsComplete(g), 1);
    MYBIT expected;
    expected.CropFrom(bg.boardPicture, 20, 30, 62, 42);

    Complete(g);
    EXPECT_FALSE(host.TimerRunning(IDT_CLOCK));
    EXPECT_TRUE(host.TimerRunning(IDT_SLIDE));
    EXPECT_EQ(host.title, "pukko 00:00:00 (^o^)完成(^o^) (全6ﾋﾟｰｽ)");
    EXPECT_EQ(g.finalRect, (Rect{169, 129, 231, 171}));
    EXPECT_EQ(g.slideX, 20 - 169);
    EXPECT_EQ(g.slideY, 30 - 129);
    EXPECT_EQ(fixture::Fnv1a(g.finished), fixture::Fnv1a(expected));
    // The records already lie at rest, the speck too.
    EXPECT_EQ(g.board.pieces[0].left, 20 + 149);
    EXPECT_EQ(g.board.pieces[6].top, 290 + 99);

    int ticks = 0;
    while (host.TimerRunning(IDT_SLIDE) && ticks < 1000) {
        SlideStep(g);
        ++ticks;
    }
    // 149 and 99 pixels at 4 a tick: 37 ticks (the last 1 pixel is dropped),
    // then one more that ends the slide.
    EXPECT_EQ(ticks, 38);
    EXPECT_EQ(framesDrawn, 1);
    EXPECT_EQ(bg.boardPicture.At(169, 129), g.finished.At(0, 0));
    EXPECT_EQ(bg.boardPicture.At(230, 170), g.finished.At(61, 41));
    EXPECT_EQ(bg.boardPicture.At(30, 40), 0x9CBE9Eu);  // the old place is bare
}

TEST_F(Finished, SlideOffsetsMoveFourAStepAndSnapWithinThree) {
    const int from[] = {10, 6, 4, 3, 1, 0, -1, -3, -4, -6, -7, -10, 7, 8};
    const int to[] = {6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -6, 0, 4};
    for (size_t i = 0; i < sizeof from / sizeof from[0]; ++i)
        EXPECT_EQ(SlideToward(from[i]), to[i]) << from[i];

    Lay(10, 10);
    Complete(g);
    g.slideX = 10;
    g.slideY = 0;
    SlideStep(g);
    EXPECT_EQ(g.slideX, 6);
    SlideStep(g);
    EXPECT_EQ(g.slideX, 0);
    EXPECT_EQ(framesDrawn, 0);
    SlideStep(g);
    EXPECT_FALSE(host.TimerRunning(IDT_SLIDE));
    EXPECT_EQ(framesDrawn, 1);
}

TEST_F(Finished, APictureLargerThanTheClientStaysWhereItIs) {
    host.client = Size{61, 300};
    Lay(20, 30);
    Complete(g);
    EXPECT_EQ(g.finalRect, (Rect{20, 30, 82, 72}));
    EXPECT_EQ(g.slideX + g.slideY, 0);
    EXPECT_EQ(g.board.pieces[0].left, 20);
    SlideStep(g);
    EXPECT_EQ(framesDrawn, 1);
    EXPECT_FALSE(host.TimerRunning(IDT_SLIDE));
}

TEST_F(Finished, APuzzleFinishedPartlyOffTheBoardSlidesInWhole) {
    Lay(-30, -10);  // the finished rectangle is (-30, -10, 32, 32)
    Complete(g);
    ASSERT_EQ(g.finished.Width(), 62);
    ASSERT_EQ(g.finished.Height(), 42);
    while (host.TimerRunning(IDT_SLIDE)) SlideStep(g);
    // The board at rest equals the pieces composed at their final places.
    MYBIT composed;
    composed.CopyFrom(bg.cleanBoard);
    for (int i = 0; i < 6; ++i) {
        const Piece& p = g.board.pieces[i];
        composed.PasteBlend(p.Current(), p.left, p.top);
    }
    int bad = 0;
    for (int y = g.finalRect.top; y < g.finalRect.bottom; ++y)
        for (int x = g.finalRect.left; x < g.finalRect.right; ++x)
            bad += bg.boardPicture.At(x, y) != composed.At(x, y);
    EXPECT_EQ(bad, 0);
}

TEST_F(Finished, FinishingASavedGameDeletesItsFile) {
    const char* dir = std::getenv("PUKKO_TEST_TMP");
    const std::string base = std::string(dir ? dir : "/tmp");
    std::system(("mkdir -p '" + base + "'").c_str());
    for (const char* name : {"/done.PKO", "/done.bmp"}) {
        const std::string path = base + name;
        ASSERT_TRUE(WriteFileAtomic(path, "x", 1));
        g.pictureFile = path;
        Lay(20, 30);
        Complete(g);
        EXPECT_EQ(FileExists(path), name[6] == 'b') << name;
        DeleteFileAt(path);
    }
    g.pictureFile = base + "/never_there.pko";
    Complete(g);  // a missing file is no matter
}
