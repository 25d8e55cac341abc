// Arrange mode on a game: a 6 x 4 grid of 50-pixel cells laid at home, the
// arranged picture built, adjusted by the keys' deltas and written out.
#include "game/arrange.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "config/settings.h"
#include "image/picture_read.h"
#include "pieces/board_fixture.h"
#include "support/fake_host.h"
#include "support/test_folder.h"

namespace fs = std::filesystem;

namespace {

struct Arrange : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    Background bg;
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();
    PuzzleGame& g = *game;

    void SetUp() override {
        host.screen = Size{400, 300};
        settings.tileFile[0] = '\0';
        g.host = &host;
        g.background = &bg;
        InitBackground(bg, settings, host);
        g.boardPicture = &bg.boardPicture;
        // Opaque cells in drawing order 0, 1, 2, ..., each with a transparent
        // notch in its top edge, as making lays them in arrange mode.
        for (int k = 0; k < 24; ++k) {
            Piece& p = g.board.pieces[k];
            fixture::MakeRectPiece(p, k % 6 * 50, k / 6 * 50, 50, 50, 0);
            fixture::Place(p, p.homeLeft, p.homeTop, 0);
            g.board.order[k] = k;
        }
        g.board.count = 24;
        g.innerRect = Rect{50, 50, 250, 150};
    }
    bool Shown(const MYBIT& picture) {
        MYBIT part;
        part.CropFrom(bg.boardPicture, 0, 0, picture.Width(), picture.Height());
        return part.pixels == picture.pixels;
    }
};

}  // namespace

TEST_F(Arrange, TheKeysRecomputeTheBuiltCanvasWithTotalsAndBlurAsCounted) {
    EXPECT_EQ(BuildArrangedPicture(g), 0);  // no grid made in arrange mode
    EXPECT_EQ(ArrangeAdjust(g, 1, 0, 0, 1), 0);
    EXPECT_EQ(g.lumaOffset + g.blurCount, 0);
    g.wholeRect = Rect{0, 0, 300, 200};
    ASSERT_EQ(BuildArrangedPicture(g), 1);
    int bad = 0;  // the picture, transparent black in the notches
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            const bool notch = y % 50 < 4 && x % 50 >= 22 && x % 50 < 28;
            bad += g.arrangedCanvas.At(x, y) != (notch ? 0 : 0xFF000000 | fixture::PictureColour(x, y));
        }
    EXPECT_EQ(bad, 0);
    EXPECT_TRUE(g.arranged.pixels == g.arrangedCanvas.pixels);
    EXPECT_TRUE(Shown(g.arrangedCanvas));  // opaque: the notches show black
    EXPECT_EQ(bg.boardPicture.At(300, 199), bg.cleanBoard.At(300, 199));

    // What the player sees after each key: every pixel of the canvas moved
    // on the colour model's scales by the totals, then as many 3 x 3 means
    // (border kept, alpha 0) as Space was pressed; on the board, redrawn.
    auto expect = [&](double luma, double hue, double chroma, int blurs) {
        SCOPED_TRACE(testing::Message() << luma << " " << hue << " " << chroma << " " << blurs);
        MYBIT want;
        want.CopyFrom(g.arrangedCanvas);
        for (uint32_t& w : want.pixels) {
            double y, h, c;
            RgbToYhc(w, y, h, c);
            w = YhcToPixel(y + luma, h + hue, c + chroma);
        }
        for (int pass = 0; pass < blurs; ++pass) {
            MYBIT last;
            last.CopyFrom(want);
            for (int y = 1; y + 1 < want.Height(); ++y)
                for (int x = 1; x + 1 < want.Width(); ++x) {
                    uint32_t word = 0;
                    for (int shift = 0; shift < 24; shift += 8) {
                        uint32_t sum = 0;
                        for (int dy = -1; dy <= 1; ++dy)
                            for (int dx = -1; dx <= 1; ++dx) sum += last.At(x + dx, y + dy) >> shift & 0xFF;
                        word |= sum / 9 << shift;
                    }
                    want.At(x, y) = word;
                }
        }
        EXPECT_TRUE(g.arranged.pixels == want.pixels);
        EXPECT_TRUE(Shown(want));
    };
    // Each key redraws the board.
    auto key = [&](double luma, double hue, double chroma, int blur) {
        const int before = host.invalidations;
        EXPECT_EQ(ArrangeAdjust(g, luma, hue, chroma, blur), 1);
        EXPECT_EQ(host.invalidations, before + 1);
    };
    for (int i = 0; i < 3; ++i) key(0, 0, 0, 1);  // Space three times
    expect(0, 0, 0, 3);
    key(0, 0, 1, 0);  // Up: from the unblurred canvas, blurred three times
    expect(0, 0, 1, 3);
    key(1, 0, 0, 0);  // Shift+Up twice, Shift+Down once
    key(1, 0, 0, 0);
    key(-1, 0, 0, 0);
    EXPECT_EQ(g.lumaOffset, 1);
    expect(1, 0, 1, 3);
    key(0, 0, -1, 0);  // Down twice
    key(0, 0, -1, 0);
    expect(1, 0, -1, 3);
    key(0, 7.5, -3, 1);
    EXPECT_TRUE(g.arrangeDirections.Fits(g.arrangedCanvas, 7.5));
    expect(1, 7.5, -4, 4);
}

TEST_F(Arrange, OutputWritesTheInnerRectangleAndTheWholeOrSaysWhatFailed) {
    const fs::path before = fs::current_path();
    fs::current_path(TestFolder());
    EXPECT_EQ(ArrangeOutput(g), 0);  // nothing made: no file, no message
    EXPECT_FALSE(fs::exists("seiretu_all.bmp") || fs::exists("seiretu.bmp") || !host.boxes.empty());

    g.wholeRect = Rect{0, 0, 300, 200};
    BuildArrangedPicture(g);
    ArrangeAdjust(g, 0, 0, 2, 1);
    EXPECT_EQ(ArrangeOutput(g), 1);
    MYBIT whole, inner, want;
    LoadFile(whole, "seiretu_all.bmp", host, 1);
    LoadFile(inner, "seiretu.bmp", host, 1);
    want.CropFrom(g.arranged, 50, 50, 200, 100);
    EXPECT_TRUE(whole.pixels == g.arranged.pixels && whole.Width() == 300);
    EXPECT_TRUE(inner.pixels == want.pixels && inner.Width() == 200);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "seiretu.bmpへ出力しました。\n全体はseiretu_all.bmpへ出力しました。");
    EXPECT_EQ(host.boxes[0].flags, kMbOk);
    EXPECT_EQ(host.boxes[0].owner, Owner::kMainWindow);

    // A file that cannot be written is named instead; the other is written.
    fs::remove("seiretu.bmp");
    fs::remove("seiretu_all.bmp");
    fs::create_directory("seiretu.bmp");
    EXPECT_EQ(ArrangeOutput(g), 0);
    EXPECT_TRUE(fs::is_directory("seiretu.bmp") && fs::exists("seiretu_all.bmp"));
    EXPECT_EQ(host.boxes.back().text, "seiretu.bmpを出力できませんでした。");
    EXPECT_EQ(host.boxes.back().flags, kMbOk | kMbIconHand);
    // Two cells a side leave no inner rectangle: no file without pixels.
    fs::remove("seiretu.bmp");
    g.innerRect = Rect{50, 50, 50, 50};
    EXPECT_EQ(ArrangeOutput(g), 0);
    EXPECT_FALSE(fs::exists("seiretu.bmp"));
    fs::current_path(before);
}
