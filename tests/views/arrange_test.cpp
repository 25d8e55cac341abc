// Arrange mode on a game: a 6 x 4 grid of 50-pixel cells laid at home, the
// arranged picture built, adjusted by the keys' deltas and written out.
#include "views/arrange.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/settings.h"
#include "image/picture_read.h"
#include "pieces/board_fixture.h"
#include "support/fake_host.h"
#include "support/test_folder.h"
#include "views/arrange_reference.h"

namespace {

constexpr int kCell = 50, kColumns = 6, kRows = 4;

// The files go to the current folder: the test's own, for as long as it runs.
struct InFolder {
    std::filesystem::path before = std::filesystem::current_path();
    InFolder() { std::filesystem::current_path(TestFolder()); }
    ~InFolder() { std::filesystem::current_path(before); }
};

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
        g.settings = &settings;
        g.background = &bg;
        InitBackground(bg, settings, host);
        g.boardPicture = &bg.boardPicture;
        g.board.boardPicture = &bg.boardPicture;
        g.board.cleanBoard = &bg.cleanBoard;
        // Opaque cells at home in drawing order 0, 1, 2, ..., as making lays
        // them in arrange mode; each has a transparent notch in its top edge.
        for (int k = 0; k < kColumns * kRows; ++k) {
            Piece& p = g.board.pieces[k];
            fixture::MakeRectPiece(p, k % kColumns * kCell, k / kColumns * kCell, kCell, kCell, 0);
            fixture::Place(p, p.homeLeft, p.homeTop, 0);
            p.group = k;
            g.board.order[k] = k;
        }
        g.board.count = kColumns * kRows;
        g.making.stage = kStatePlaying;
        g.wholeRect = Rect{0, 0, kColumns * kCell, kRows * kCell};
        g.innerRect = Rect{kCell, kCell, (kColumns - 1) * kCell, (kRows - 1) * kCell};
    }

    // What the board shows at the arranged picture's place.
    MYBIT BoardPart() {
        MYBIT part;
        part.CropFrom(bg.boardPicture, 0, 0, g.arranged.Width(), g.arranged.Height());
        return part;
    }
};

bool InNotch(int x, int y) {
    return y % kCell < 4 && x % kCell >= kCell / 2 - 3 && x % kCell < kCell / 2 + 3;
}

bool SamePixels(const MYBIT& a, const MYBIT& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() && a.pixels == b.pixels;
}

// Colours as a file gives them back: alpha is not compared.
bool SameColours(const MYBIT& a, const MYBIT& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (size_t i = 0; i < a.PixelCount(); ++i)
        if ((a.pixels[i] ^ b.pixels[i]) & 0xFFFFFF) return false;
    return true;
}

}  // namespace

TEST_F(Arrange, BuildingLaysThePiecesOutAndShowsThemOnTheBoard) {
    // No grid puzzle made in arrange mode: nothing.
    g.wholeRect = Rect{};
    EXPECT_EQ(BuildArrangedPicture(g), 0);
    EXPECT_TRUE(g.arrangedCanvas.Empty() && g.arranged.Empty());
    EXPECT_EQ(host.invalidations, 0);

    g.wholeRect = Rect{0, 0, kColumns * kCell, kRows * kCell};
    ASSERT_EQ(BuildArrangedPicture(g), 1);
    const MYBIT& canvas = g.arrangedCanvas;
    ASSERT_EQ(canvas.Width(), 300);
    ASSERT_EQ(canvas.Height(), 200);
    int bad = 0;  // the whole picture, transparent black in the notches
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            bad += canvas.At(x, y) != (InNotch(x, y) ? 0u : 0xFF000000u | fixture::PictureColour(x, y));
    EXPECT_EQ(bad, 0);
    EXPECT_TRUE(SamePixels(g.arranged, canvas));
    EXPECT_TRUE(g.arrangeDirections.Fits(canvas, 0));
    // The canvas is pasted opaquely: the notches show black, not the board.
    EXPECT_TRUE(SamePixels(BoardPart(), canvas));
    EXPECT_EQ(bg.boardPicture.At(300, 0), bg.cleanBoard.At(300, 0));
    EXPECT_EQ(bg.boardPicture.At(0, 200), bg.cleanBoard.At(0, 200));
    EXPECT_GT(host.invalidations, 0);
}

TEST_F(Arrange, KeysRecomputeFromTheCanvasWithTotalsAndBlurAsCounted) {
    ASSERT_EQ(BuildArrangedPicture(g), 1);
    MYBIT expected;
    auto expect = [&](double luma, double hue, double chroma, int blurs) {
        reference::Convert(expected, g.arrangedCanvas, luma, hue, chroma);
        reference::Blur(expected, blurs);
        EXPECT_TRUE(SamePixels(g.arranged, expected))
            << luma << ", " << hue << ", " << chroma << ", " << blurs;
        EXPECT_TRUE(SamePixels(BoardPart(), expected));
    };
    // Space three times: three passes, each over the last.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ArrangeAdjust(g, 0, 0, 0, 1), 1);
    EXPECT_EQ(g.blurCount, 3);
    expect(0, 0, 0, 3);
    // Up: the colours from the unblurred canvas, then three passes again.
    const int shown = host.invalidations;
    ArrangeAdjust(g, 0, 0, 1, 0);
    EXPECT_EQ(host.invalidations, shown + 1);
    expect(0, 0, 1, 3);
    // Shift+Up twice and Shift+Down once leave a luma offset of +1.
    ArrangeAdjust(g, 1, 0, 0, 0);
    ArrangeAdjust(g, 1, 0, 0, 0);
    ArrangeAdjust(g, -1, 0, 0, 0);
    EXPECT_EQ(g.lumaOffset, 1);
    EXPECT_EQ(g.chromaOffset, 1);
    EXPECT_EQ(g.blurCount, 3);
    expect(1, 0, 1, 3);
    // A hue offset turns the directions to it.
    ArrangeAdjust(g, 0, 7.5, -3, 1);
    EXPECT_TRUE(g.arrangeDirections.Fits(g.arrangedCanvas, 7.5));
    expect(1, 7.5, -2, 4);

    // Without a canvas the keys do nothing, not even count.
    g.arrangedCanvas.Free();
    EXPECT_EQ(ArrangeAdjust(g, 1, 1, 1, 1), 0);
    EXPECT_EQ(g.lumaOffset, 1);
    EXPECT_EQ(g.blurCount, 4);
}

TEST_F(Arrange, OutputWritesTheInnerRectangleAndTheWhole) {
    InFolder here;
    // Before a puzzle was made in arrange mode: no file, no message.
    EXPECT_EQ(ArrangeOutput(g), 0);
    EXPECT_FALSE(std::filesystem::exists("seiretu_all.bmp") || std::filesystem::exists("seiretu.bmp"));
    EXPECT_TRUE(host.boxes.empty());

    ASSERT_EQ(BuildArrangedPicture(g), 1);
    ArrangeAdjust(g, 0, 0, 2, 1);
    ASSERT_EQ(ArrangeOutput(g), 1);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "seiretu.bmpへ出力しました。\n全体はseiretu_all.bmpへ出力しました。");
    EXPECT_EQ(host.boxes[0].caption, "pukko");
    EXPECT_EQ(host.boxes[0].flags, kMbOk);
    EXPECT_EQ(host.boxes[0].owner, Owner::kMainWindow);
    MYBIT whole, inner, want;
    ASSERT_EQ(LoadFile(whole, "seiretu_all.bmp", host, 1), 1);
    ASSERT_EQ(LoadFile(inner, "seiretu.bmp", host, 1), 1);
    EXPECT_TRUE(SameColours(whole, g.arranged));
    want.CropFrom(g.arranged, 50, 50, 200, 100);
    EXPECT_EQ(inner.Width(), 200);
    EXPECT_EQ(inner.Height(), 100);
    EXPECT_TRUE(SameColours(inner, want));

    // A file that cannot be written is named instead of the success; the
    // other is still written.
    std::filesystem::remove("seiretu.bmp");
    std::filesystem::remove("seiretu_all.bmp");
    std::filesystem::create_directory("seiretu.bmp");
    EXPECT_EQ(ArrangeOutput(g), 0);
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1].text, "seiretu.bmpを出力できませんでした。");
    EXPECT_EQ(host.boxes[1].flags, kMbOk | kMbIconHand);
    EXPECT_TRUE(std::filesystem::is_directory("seiretu.bmp"));
    EXPECT_TRUE(std::filesystem::exists("seiretu_all.bmp"));

    // A grid of two cells a side has no inner rectangle: no empty file.
    std::filesystem::remove("seiretu.bmp");
    g.innerRect = Rect{kCell, kCell, kCell, kCell};
    EXPECT_EQ(ArrangeOutput(g), 0);
    EXPECT_FALSE(std::filesystem::exists("seiretu.bmp"));
    EXPECT_EQ(host.boxes.back().text, "seiretu.bmpを出力できませんでした。");
}
