#include "views/background.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/settings.h"
#include "base/file_io.h"
#include "image/picture_read.h"
#include "pieces/board_fixture.h"
#include "support/fake_host.h"

namespace {

constexpr ColorRef kPaleGreen = 0x9EBE9C;

std::string TempPath(const std::string& name) {
    const char* dir = std::getenv("PUKKO_TEST_TMP");
    std::string base = dir ? dir : "/tmp";
    std::system(("mkdir -p '" + base + "'").c_str());
    return base + "/" + name;
}

// A picture whose every pixel differs from its neighbours.
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
        host.screen = Size{300, 200};
        host.client = Size{300, 180};
        settings.tileFile[0] = '\0';
    }
};

}  // namespace

TEST_F(Views, StartsScreenSizedInTheSingleColour) {
    InitBackground(bg, settings, host);
    for (const MYBIT* m : {&bg.boardPicture, &bg.cleanBoard, &bg.plain}) {
        ASSERT_EQ(m->Width(), 300);
        ASSERT_EQ(m->Height(), 200);
        EXPECT_EQ(m->At(0, 0), 0x9CBE9Eu);
        EXPECT_EQ(m->At(299, 199), 0x9CBE9Eu);
    }
    EXPECT_TRUE(bg.grey.Empty());
    EXPECT_EQ(settings.backColor, kPaleGreen);
}

TEST_F(Views, TilesRepeatFromTheTopLeftAndAreCutByTheEdges) {
    host.screen = Size{1024, 768};
    MYBIT tile;
    Gradient(tile, 100, 80);
    const std::string path = TempPath("tile_100x80.bmp");
    ASSERT_TRUE(tile.SaveFile(path));
    SetPathField(settings.tileFile, path);
    InitBackground(bg, settings, host);

    MYBIT read;
    ASSERT_EQ(LoadFile(read, path, host, 1), 1);
    int bad = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) bad += bg.cleanBoard.At(x, y) != read.At(x % 100, y % 80);
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(fixture::Fnv1a(bg.plain), fixture::Fnv1a(bg.cleanBoard));
    EXPECT_EQ(fixture::Fnv1a(bg.boardPicture), fixture::Fnv1a(bg.cleanBoard));
    EXPECT_EQ(PathField(settings.tileFile), path);
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Views, AnUnreadableTileClearsTheSettingAndKeepsTheBackground) {
    // At start-up: the single colour.
    SetPathField(settings.tileFile, "back\\タイル２.bmp");
    InitBackground(bg, settings, host);
    EXPECT_EQ(settings.tileFile[0], '\0');
    EXPECT_EQ(bg.cleanBoard.At(10, 10), 0x9CBE9Eu);
    EXPECT_EQ(host.boxes.size() + host.windowsErrors.size(), 1u);

    // Later: the current tiles stay.
    MYBIT tile;
    Gradient(tile, 7, 5);
    SetTile(bg, host, tile);
    const uint32_t before = fixture::Fnv1a(bg.cleanBoard);
    const std::string bad = TempPath("not_a_picture.bmp");
    {
        FilePtr f = OpenFile(bad, "wb");
        std::fputs("BM nothing", f.get());
    }
    EXPECT_EQ(LoadTile(bg, settings, host, bad), 0);
    EXPECT_EQ(settings.tileFile[0], '\0');
    EXPECT_EQ(fixture::Fnv1a(bg.cleanBoard), before);
    EXPECT_EQ(fixture::Fnv1a(bg.plain), before);
}

TEST_F(Views, ASingleColourReplacesTheTiles) {
    InitBackground(bg, settings, host);
    SetPathField(settings.tileFile, "back\\x.bmp");
    SetSingleColor(bg, settings, host, Rgb(1, 2, 3));
    EXPECT_EQ(settings.backColor, Rgb(1, 2, 3));
    EXPECT_EQ(settings.tileFile[0], '\0');
    EXPECT_EQ(bg.cleanBoard.At(123, 45), 0x010203u);
    EXPECT_EQ(bg.plain.At(0, 199), 0x010203u);
}

TEST_F(Views, TheGreyPictureIsLightAndCentredInTheClient) {
    host.screen = Size{1024, 768};
    host.client = Size{800, 600};
    settings.grey = 1;
    InitBackground(bg, settings, host);
    MYBIT picture;
    Gradient(picture, 600, 400);
    SetGreyPicture(bg, settings, host, picture);
    ComposeBoard(bg, host);

    ASSERT_EQ(bg.grey.Width(), 600);
    EXPECT_EQ(fixture::Fnv1a(bg.grey), 3651498905u);
    for (size_t i = 0; i < bg.grey.pixels.size(); i += 997) {
        double y0, h0, c0, y1, h1, c1;
        RgbToYhc(picture.pixels[i], y0, h0, c0);
        RgbToYhc(bg.grey.pixels[i], y1, h1, c1);
        EXPECT_NEAR(y1, y0 * 0.5 + 50, 1.0);
        EXPECT_LE(c1, c0 * 0.1 + 1.0);
    }
    EXPECT_EQ(bg.boardPicture.At(100, 100), bg.grey.At(0, 0));
    EXPECT_EQ(bg.boardPicture.At(699, 499), bg.grey.At(599, 399));
    EXPECT_EQ(bg.boardPicture.At(99, 100), 0x9CBE9Eu);
    EXPECT_EQ(bg.boardPicture.At(700, 499), 0x9CBE9Eu);
    EXPECT_EQ(bg.plain.At(100, 100), 0x9CBE9Eu);

    // The window grew: the picture follows the centre and leaves no trace
    // at the old place.
    host.client = Size{1000, 700};
    ComposeBoard(bg, host);
    EXPECT_EQ(bg.boardPicture.At(200, 150), bg.grey.At(0, 0));
    EXPECT_EQ(bg.boardPicture.At(100, 100), 0x9CBE9Eu);

    // Turned off during play, or cleared for the start screen.
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

    // An empty picture gives no grey picture.
    SetGreyPicture(bg, settings, host, MYBIT());
    EXPECT_TRUE(bg.grey.Empty());
}
