// Starting a puzzle from picture and pattern files, through the making
// steps, to the start of play.
#include "game/start_puzzle.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/sounds.h"
#include "game/clock.h"
#include "game/game_record.h"
#include "support/fake_host.h"

namespace {

std::filesystem::path Folder() {
    const char* root = std::getenv("PUKKO_TEST_TMP");
    std::filesystem::path dir =
        (root ? std::filesystem::path(root) : std::filesystem::temp_directory_path()) / "pukko_start_puzzle";
    std::filesystem::create_directories(dir);
    return dir;
}

// Writes a picture as a BMP file and returns its path.
std::string Save(const MYBIT& picture, const std::string& name) {
    std::string path = (Folder() / name).string();
    EXPECT_TRUE(picture.SaveFile(path));
    return path;
}

std::string SavePicture(int w, int h, const std::string& name) {
    MYBIT p;
    p.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.At(x, y) = static_cast<uint32_t>((x * 5) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | 0x40;
    return Save(p, name);
}

// A pattern of light background with dark vertical lines every `step`
// columns starting at `first`.
std::string SavePattern(int w, int h, int first, int step, uint32_t light, uint32_t dark,
                        const std::string& name) {
    MYBIT p;
    p.CreateFilled(light, w, h);
    for (int x = first; x < w; x += step)
        for (int y = 0; y < h; ++y) p.At(x, y) = dark;
    return Save(p, name);
}

struct Start : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    Background background;
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();
    PuzzleGame& g = *game;

    void SetUp() override {
        host.screen = Size{800, 600};
        host.client = Size{800, 560};
        host.tick = 5000;
        settings.tileFile[0] = '\0';
        settings.sound = 1;
        BuildSoundPaths(TheSounds(), "snd");
        InitGame(g, host, settings, background);
    }
};

TEST_F(Start, APictureIsCutAlongTheGridAndPlayStarts) {
    const std::string path = SavePicture(300, 200, "grid.bmp");
    settings.pieceCount = 6;
    settings.pictureSize = 0;  // as it is
    settings.guide = 1;
    ASSERT_EQ(StartPuzzle(g, path), 1);
    EXPECT_EQ(g.pictureFile, path);
    EXPECT_EQ(g.State(), kStateLabelling);
    EXPECT_TRUE(g.Making());
    EXPECT_EQ(host.posted, std::vector<unsigned>{MSG_MAKE_1});
    // 3 x 2 cells of 100 pixels: nothing trimmed.
    EXPECT_EQ(g.picture.Width(), 300);
    EXPECT_EQ(g.picture.Height(), 200);
    EXPECT_EQ(g.making.maskWidth, 600);
    EXPECT_TRUE(g.pattern.Empty());
    EXPECT_TRUE(host.guideOpen);
    EXPECT_EQ(host.guideWidth, 300);
    ASSERT_EQ(host.sounds.size(), 1u);
    EXPECT_EQ(host.sounds[0], "snd\\k_wait");
    EXPECT_EQ(g.placedCount, 0);

    host.Advance(1234);
    ASSERT_EQ(RunMakingToPlay(g), 1);
    EXPECT_EQ(g.State(), kStatePlaying);
    EXPECT_EQ(g.totalPieces, 6);  // specks where lines meet do not count
    EXPECT_EQ(g.totalPieces, CountGroups(g.board));
    EXPECT_EQ(g.startTick, 6234u);
    EXPECT_EQ(g.lastTick, 6234u);
    EXPECT_TRUE(host.TimerRunning(IDT_CLOCK));
    EXPECT_EQ(host.foreground, 1);
    EXPECT_EQ(host.title, "pukko 00:00:00 残り6ﾋﾟｰｽ(全6ﾋﾟｰｽ)");
    EXPECT_EQ(g.placedCount, g.board.count);
}

TEST_F(Start, TheSizeSettingScalesThePicture) {
    const std::string path = SavePicture(300, 200, "scaled.bmp");
    settings.pieceCount = 6;
    settings.pictureSize = 600;
    ASSERT_EQ(StartPuzzle(g, path), 1);
    // 600 x 400, cut into 3 x 2 cells of 200.
    EXPECT_EQ(g.picture.Width(), 600);
    EXPECT_EQ(g.picture.Height(), 400);
}

TEST_F(Start, TheClockSeedsTheCut) {
    const std::string path = SavePicture(200, 150, "seed.bmp");
    settings.pieceCount = 12;
    auto made = [&](uint32_t tick) {
        host.tick = tick;
        EXPECT_EQ(StartPuzzle(g, path), 1);
        EXPECT_EQ(RunMakingToPlay(g), 1);
        std::vector<int32_t> layout;
        for (int i = 0; i < g.board.count; ++i)
            layout.insert(layout.end(), {g.board.order[i], g.board.pieces[i].left, g.board.pieces[i].top,
                                         g.board.pieces[i].homeRight});
        return layout;
    };
    const std::vector<int32_t> first = made(777);
    EXPECT_EQ(made(777), first);
    EXPECT_NE(made(778), first);
}

TEST_F(Start, ASmallPatternIsRepeatedAfterLosingItsOddColumn) {
    const std::string picture = SavePicture(100, 80, "tiled.bmp");
    // 41 x 21 with lines at x = 20 and at its odd last column x = 40, which
    // must go: tiled, only the lines at 20 + 40 k remain.
    MYBIT p;
    p.CreateFilled(0xFFFFFF, 41, 21);
    for (int y = 0; y < 21; ++y) p.At(20, y) = p.At(40, y) = 0;
    const std::string pattern = Save(p, "tiled_pattern.bmp");
    settings.pieceCount = 0;
    settings.pictureSize = 0;
    ASSERT_EQ(StartPuzzle(g, picture, pattern), 1);
    // nx = 200 / 40 = 5, ny = 160 / 20 = 8.
    EXPECT_EQ(g.making.maskWidth, 200);
    EXPECT_EQ(g.making.maskHeight, 160);
    EXPECT_EQ(g.picture.Width(), 100);
    ASSERT_EQ(RunMakingToPlay(g), 1);
    EXPECT_EQ(g.board.count, 6);  // five lines, six stripes
}

TEST_F(Start, APictureIsFittedToAPatternTwiceItsSize) {
    const std::string picture = SavePicture(50, 40, "fitted.bmp");
    // Anti-aliased, off-white: grey lines on a light grey ground still cut.
    const std::string pattern = SavePattern(100, 80, 33, 33, 0xE0E0E0, 0x404040, "fitted_pattern.bmp");
    settings.pieceCount = 0;
    settings.pictureSize = 0;
    ASSERT_EQ(StartPuzzle(g, picture, pattern), 1);
    EXPECT_EQ(g.making.maskWidth, 100);
    EXPECT_EQ(g.picture.Width(), 50);
    ASSERT_EQ(RunMakingToPlay(g), 1);
    EXPECT_EQ(g.board.count, 3);
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Start, WhatCannotBeMadeStartsNothing) {
    settings.pieceCount = 6;
    settings.pictureSize = 0;
    // A missing picture at its own size: the reader says so.
    EXPECT_EQ(StartPuzzle(g, (Folder() / "missing.bmp").string()), 0);
    EXPECT_EQ(host.windowsErrors.size(), 1u);
    EXPECT_EQ(g.State(), kStateNone);
    EXPECT_TRUE(host.posted.empty());
    EXPECT_TRUE(host.sounds.empty());
    // A pattern without any white.
    const std::string picture = SavePicture(40, 30, "dark.bmp");
    const std::string pattern = SavePattern(20, 20, 0, 1, 0xFFFFFF, 0x101010, "dark_pattern.bmp");
    settings.pieceCount = 0;
    EXPECT_EQ(StartPuzzle(g, picture, pattern), 0);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].caption, "pukko");
    EXPECT_EQ(g.State(), kStateNone);
    EXPECT_TRUE(host.posted.empty());
    // A saved game is restored, not made here.
    EXPECT_EQ(StartPuzzle(g, (Folder() / "game.PKO").string()), 0);
    EXPECT_EQ(g.State(), kStateNone);
}

TEST_F(Start, AMissingPictureAtASizeIsMadeBlack) {
    settings.pieceCount = 4;
    settings.pictureSize = 400;
    // The reader gives a black square after its message; making goes on.
    ASSERT_EQ(StartPuzzle(g, (Folder() / "missing.jpg").string()), 1);
    EXPECT_EQ(g.picture.Width(), 400);
    EXPECT_EQ(g.picture.At(10, 10) & 0xFFFFFF, 0u);
}

TEST_F(Start, MakingMessagesGoToTheirSteps) {
    EXPECT_EQ(MakingStep(g, MSG_PICK), 0);
    // Done before anything was made: play does not start.
    EXPECT_EQ(MakingStep(g, MSG_MAKE_DONE), 1);
    EXPECT_FALSE(host.TimerRunning(IDT_CLOCK));
    EXPECT_EQ(host.foreground, 0);

    const std::string path = SavePicture(160, 160, "steps.bmp");
    settings.pieceCount = 4;
    settings.pictureSize = 0;
    ASSERT_EQ(StartPuzzle(g, path), 1);
    // The window's way: handle whatever was posted last, until play starts.
    size_t handled = 0;
    while (handled < host.posted.size()) {
        const unsigned msg = host.posted[handled++];
        EXPECT_EQ(MakingStep(g, msg), 1);
    }
    EXPECT_EQ(host.posted.back(), static_cast<unsigned>(MSG_MAKE_DONE));
    EXPECT_EQ(g.State(), kStatePlaying);
    EXPECT_TRUE(host.TimerRunning(IDT_CLOCK));
    EXPECT_EQ(g.totalPieces, 4);
    // A second done changes nothing.
    host.Advance(500);
    MakingStep(g, MSG_MAKE_DONE);
    EXPECT_EQ(g.startTick, 5000u);
}

}  // namespace
