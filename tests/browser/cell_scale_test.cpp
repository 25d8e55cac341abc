// The cells of a strip at 200 %: made at their own size from the picture,
// with the artwork and the saved game's digits scaled.
#include <gtest/gtest.h>

#include <vector>

#include "base/file_io.h"
#include "browser/folder_scan.h"
#include "saved_game_head.h"
#include "support/fake_host.h"
#include "support/test_folder.h"

namespace {

// A digit d is a solid 16 x 25 glyph of red d * 20 + 10; the frame a 100 x
// 100 picture, opaque blue in the square (80, 0)-(100, 20) only.
void SaveArtwork(const std::string& dir) {
    for (int d = 0; d < 10; ++d) {
        MYBIT glyph;
        glyph.CreateFilled(Rgb(d * 20 + 10, 0, 0), 16, 25);
        for (uint32_t& w : glyph.pixels) w |= 0xFF000000;
        ASSERT_TRUE(glyph.SaveFile(dir + "/" + std::to_string(d) + ".bmp"));
    }
    MYBIT frame;
    frame.Create(100, 100);
    for (int y = 0; y < 20; ++y)
        for (int x = 80; x < 100; ++x) frame.At(x, y) = 0xFF0000FF;
    ASSERT_TRUE(frame.SaveFile(dir + "/frame.bmp"));
    for (const char* name : {"folder.bmp", "arrow.bmp"}) {
        MYBIT none;
        none.Create(10, 10);
        ASSERT_TRUE(none.SaveFile(dir + "/" + name));
    }
}

int DigitAt(const MYBIT& cell, int x, int y) {
    const uint32_t red = (cell.At(x, y) >> 16) & 0xFF;
    return (cell.At(x, y) & 0xFFFF) == 0 && red >= 10 && (red - 10) % 20 == 0 ? static_cast<int>(red - 10) / 20
                                                                              : -1;
}

}  // namespace

TEST(CellScale, AtTwiceTheDpiCellsAreMadeTwiceAsLargeFromThePicture) {
    const std::string dir = TestFolder().string();
    SaveArtwork(dir);
    // 400 x 200: red left half, blue right half.
    MYBIT picture;
    picture.CreateFilled(0x0000FF, 400, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 200; x < 400; ++x) picture.At(x, y) = ColorRefToPixel(0xFF0000);
    ASSERT_TRUE(picture.SaveFile(dir + "/wide.bmp"));
    FakeHost host;
    BrowserArtwork art;
    LoadArtwork(art, dir, host, 192);
    EXPECT_EQ(art.frame.Width(), 200);
    EXPECT_EQ(art.digits[0].Width(), 32);
    EXPECT_EQ(art.digits[0].Height(), 50);

    MYBIT cell;
    MakeFileCell(cell, dir + "/wide.bmp", art, host);
    ASSERT_EQ(cell.Width(), 200);
    ASSERT_EQ(cell.Height(), 200);
    // Fitted to 200 x 100, centred: grey above y = 50 and from y = 150; the
    // halves meet sharply at x = 100, as they do in the picture itself.
    EXPECT_EQ(cell.At(150, 49), ColorRefToPixel(kCellGrey));
    EXPECT_EQ(cell.At(150, 150), ColorRefToPixel(kCellGrey));
    EXPECT_EQ(cell.At(99, 100), ColorRefToPixel(0x0000FF));
    EXPECT_EQ(cell.At(100, 100), ColorRefToPixel(0xFF0000));
    // The frame's square, scaled to (160, 0)-(200, 40); grey left of it.
    EXPECT_EQ(cell.At(170, 30) & 0xFFFFFF, ColorRefToPixel(0xFF0000));
    EXPECT_EQ(cell.At(199, 0) & 0xFFFFFF, ColorRefToPixel(0xFF0000));
    EXPECT_EQ(cell.At(150, 30) & 0xFFFFFF, ColorRefToPixel(kCellGrey));

    // A saved game: 7 left from (10, 10), 32 wide; the total 100 right-
    // aligned with its last digit at x = 158, 32 apart: 94, 126, 158.
    SaveGameHead(dir + "/game.pko", 7, 100);
    MakeFileCell(cell, dir + "/game.pko", art, host);
    ASSERT_EQ(cell.Width(), 200);
    for (auto [x, d] : {std::pair{9, -1}, {10, 7}, {41, 7}, {42, -1}}) EXPECT_EQ(DigitAt(cell, x, 40), d) << x;
    EXPECT_EQ(DigitAt(cell, 20, 59), 7);
    EXPECT_EQ(DigitAt(cell, 20, 60), -1);
    for (auto [x, d] : {std::pair{93, -1}, {94, 1}, {125, 1}, {126, 0}, {158, 0}, {189, 0}, {190, -1}})
        EXPECT_EQ(DigitAt(cell, x, 150), d) << x;
}
