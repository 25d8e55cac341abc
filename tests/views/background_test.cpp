#include "views/background.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "base/file_io.h"
#include "config/settings.h"
#include "image/picture_read.h"
#include "pieces/board_fixture.h"
#include "support/fake_host.h"
#include "support/test_folder.h"

namespace {

constexpr uint32_t kPaleGreenWord = 0x9CBE9E;  // 0x9EBE9C with red and blue exchanged

void Gradient(MYBIT& m, int w, int h) {
    m.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) m.At(x, y) = fixture::PictureColour(x, y);
}

struct Views : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    Background bg;
    void SetUp() override {
        host.screen = Size{1024, 768};
        host.client = Size{800, 600};
    }
};

}  // namespace

TEST_F(Views, TilesRepeatFromTheTopLeftOverTheScreen) {
    MYBIT tile, read;
    Gradient(tile, 100, 80);
    const std::string path = TestPath("tile_100x80.bmp");
    ASSERT_TRUE(tile.SaveFile(path));
    ASSERT_EQ(LoadFile(read, path, host, 1), 1);
    SetPathField(settings.tileFile, path);
    InitBackground(bg, settings, host);
    ASSERT_EQ(bg.boardPicture.Width() * bg.boardPicture.Height(), 1024 * 768);
    int bad = 0;  // 11 tiles a row, 10 rows, the last of each cut by the edge
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) bad += bg.boardPicture.At(x, y) != read.At(x % 100, y % 80);
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(fixture::Fnv1a(bg.plain), fixture::Fnv1a(bg.cleanBoard));
    EXPECT_TRUE(host.boxes.empty() && host.windowsErrors.empty());
    // Beside the table: the tile's mean colour at 60 %.
    double mean[3] = {0, 0, 0};
    for (uint32_t px : read.pixels)
        for (int c = 0; c < 3; ++c) mean[c] += (px >> (8 * c)) & 0xFF;
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ((bg.margin >> (8 * c)) & 0xFF, static_cast<uint32_t>(mean[c] / read.pixels.size() * 0.6))
            << c;

    // A larger table goes on tiling from the same corner; the plain
    // background keeps the screen's size.
    SetTableSize(bg, host, Size{1501, 903});
    ASSERT_EQ(TableSize(bg), (Size{1501, 903}));
    ASSERT_EQ(bg.boardPicture.Width() * bg.boardPicture.Height(), 1501 * 903);
    for (int y = 0; y < 903; y += 7)
        for (int x = 0; x < 1501; x += 3) bad += bg.cleanBoard.At(x, y) != read.At(x % 100, y % 80);
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(bg.plain.Width() * bg.plain.Height(), 1024 * 768);

    // A colour chosen later replaces the tiles, now and at the next start.
    SetSingleColor(bg, settings, host, Rgb(1, 2, 3));
    EXPECT_EQ(settings.tileFile[0], '\0');
    EXPECT_EQ(bg.cleanBoard.At(1500, 902), 0x010203u);
    EXPECT_EQ(bg.plain.At(0, 0), 0x010203u);
    SetSingleColor(bg, settings, host, Rgb(100, 50, 201));
    EXPECT_EQ(bg.margin, 0x3C1E78u);  // red 100, green 50, blue 201 at 60 %
}

TEST_F(Views, AnUnreadableTileClearsTheSettingAndKeepsTheBackground) {
    host.screen = Size{300, 200};
    // The default tile is taken from the program's folder; missing at
    // start-up it is forgotten without a message and the pale green shows.
    std::string exe = TestPath("pukko.exe");
    FindBaseFolder(settings, exe);
    SetPathField(settings.tileFile, "back\\タイル２.bmp");
    InitBackground(bg, settings, host);
    EXPECT_EQ(settings.tileFile[0], '\0');
    EXPECT_EQ(bg.boardPicture.At(299, 199), kPaleGreenWord);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_TRUE(host.windowsErrors.empty());

    // Present there, it is used whatever the current folder.
    MYBIT tile2;
    Gradient(tile2, 7, 5);
    std::filesystem::create_directories(TestFolder() / "back");
    ASSERT_TRUE(tile2.SaveFile(TestPath("back/タイル２.bmp")));
    SetPathField(settings.tileFile, "back\\タイル２.bmp");
    InitBackground(bg, settings, host);
    EXPECT_EQ(PathField(settings.tileFile), "back\\タイル２.bmp");
    EXPECT_EQ(bg.boardPicture.At(8, 6), tile2.At(1, 1));

    // One that is there but cannot be read is reported.
    ASSERT_TRUE(WriteFileAtomic(TestPath("back/タイル２.bmp"), "BM nothing", 10));
    InitBackground(bg, settings, host);
    EXPECT_EQ(settings.tileFile[0], '\0');
    EXPECT_EQ(host.boxes.size(), 1u);

    MYBIT tile;
    Gradient(tile, 7, 5);
    SetTile(bg, host, tile);
    const uint32_t tiled = fixture::Fnv1a(bg.cleanBoard);
    const std::string bad = TestPath("not_a_picture.bmp");
    ASSERT_TRUE(WriteFileAtomic(bad, "BM nothing", 10));
    EXPECT_EQ(LoadTile(bg, settings, host, bad), 0);
    EXPECT_EQ(settings.tileFile[0], '\0');
    EXPECT_EQ(fixture::Fnv1a(bg.cleanBoard), tiled);
    EXPECT_EQ(fixture::Fnv1a(bg.plain), tiled);
}

TEST_F(Views, TheGreyPictureIsLightCentredAndFollowsTheClient) {
    settings.tileFile[0] = '\0';
    settings.grey = 1;
    InitBackground(bg, settings, host);
    MYBIT picture;
    Gradient(picture, 600, 400);
    SetGreyPicture(bg, settings, host, picture);
    ComposeBoard(bg, host);
    EXPECT_EQ(fixture::Fnv1a(bg.grey), 3651498905u);
    for (size_t i = 0; i < picture.pixels.size(); i += 997) {
        double y0, h0, c0, y1, h1, c1;
        RgbToYhc(picture.pixels[i], y0, h0, c0);
        RgbToYhc(bg.grey.pixels[i], y1, h1, c1);
        EXPECT_NEAR(y1, y0 * 0.5 + 50, 1.0);
        EXPECT_LE(c1, c0 * 0.1 + 1.0);
    }
    // 600 x 400 in an 800 x 600 client: at (100, 100).
    EXPECT_EQ(bg.boardPicture.At(100, 100), bg.grey.At(0, 0));
    EXPECT_EQ(bg.boardPicture.At(699, 499), bg.grey.At(599, 399));
    EXPECT_EQ(bg.boardPicture.At(99, 100), kPaleGreenWord);
    EXPECT_EQ(bg.plain.At(100, 100), kPaleGreenWord);

    // The window grew: the picture moves to the new centre, no trace left.
    host.client = Size{1000, 700};
    ComposeBoard(bg, host);
    EXPECT_EQ(bg.boardPicture.At(200, 150), bg.grey.At(0, 0));
    EXPECT_EQ(bg.boardPicture.At(100, 100), kPaleGreenWord);

    // Turned off during play; removed for the start screen; no picture.
    settings.grey = 0;
    SetGreyPicture(bg, settings, host, picture);
    ComposeBoard(bg, host);
    EXPECT_TRUE(bg.grey.Empty());
    EXPECT_EQ(fixture::Fnv1a(bg.boardPicture), fixture::Fnv1a(bg.plain));
    settings.grey = 1;
    SetGreyPicture(bg, settings, host, picture);
    RemoveGreyPicture(bg);
    ComposeBoard(bg, host);
    EXPECT_EQ(fixture::Fnv1a(bg.boardPicture), fixture::Fnv1a(bg.plain));
    SetGreyPicture(bg, settings, host, MYBIT());
    EXPECT_TRUE(bg.grey.Empty());
}
