// Starting a puzzle from picture and pattern files, through the making
// steps, to the start of play.
#include "game/start_puzzle.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "config/sounds.h"
#include "game/drop.h"
#include "game/game_record.h"
#include "image/bmp_read.h"
#include "image/read_files.h"
#include "support/fake_host.h"
#include "support/test_folder.h"

namespace {

// A BMP file of w x h: a gradient, or a light ground with dark lines at
// x = first, first + step, ...
std::string Save(const std::string& name, int w, int h, int first = -1, int step = 1,
                 uint32_t light = 0xFFFFFF, uint32_t dark = 0) {
    const char* root = std::getenv("PUKKO_TEST_TMP");
    const std::filesystem::path dir =
        (root ? std::filesystem::path(root) : std::filesystem::temp_directory_path()) / "pukko_start_puzzle";
    std::filesystem::create_directories(dir);
    MYBIT p;
    p.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.At(x, y) = first < 0
                             ? static_cast<uint32_t>((x * 5) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | 0x40
                             : (x >= first && (x - first) % step == 0 ? dark : light);
    const std::string path = (dir / name).string();
    EXPECT_TRUE(p.SaveFile(path));
    return path;
}

struct Start : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    Background background;
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();
    PuzzleGame& g = *game;

    void SetUp() override {
        host.screen = Size{800, 600};
        host.tick = 5000;
        settings.tileFile[0] = '\0';
        settings.pictureSize = 0;  // pictures as they are
        BuildSoundPaths(TheSounds(), "snd");
        InitGame(g, host, settings, background);
    }
};

TEST_F(Start, APictureIsCutAlongTheGridAndPlayStarts) {
    const std::string path = Save("grid.bmp", 300, 200);
    settings.pieceCount = 6;
    ASSERT_EQ(StartPuzzle(g, path), 1);
    EXPECT_EQ(g.pictureFile, path);
    EXPECT_EQ(g.State(), kStateLabelling);
    EXPECT_EQ(host.posted, std::vector<unsigned>{MSG_MAKE_1});
    EXPECT_EQ(g.picture.Width(), 300);  // 3 x 2 cells of 100: nothing trimmed
    EXPECT_EQ(g.making.maskWidth, 600);
    EXPECT_TRUE(host.guideOpen);
    EXPECT_EQ(host.sounds, std::vector<std::string>{"snd\\k_wait"});
    // The window's way: handle what was posted, in order, until play starts.
    host.Advance(1234);
    for (size_t i = 0; i < host.posted.size(); ++i) EXPECT_EQ(MakingStep(g, host.posted[i]), 1);
    EXPECT_EQ(host.posted.back(), static_cast<unsigned>(MSG_MAKE_DONE));
    EXPECT_EQ(g.State(), kStatePlaying);
    EXPECT_EQ(g.totalPieces, 6);
    EXPECT_EQ(g.board.count, 6);  // one piece per cell, no speck where lines meet
    EXPECT_EQ(g.startTick, 6234u);
    EXPECT_TRUE(host.TimerRunning(IDT_CLOCK));
    EXPECT_EQ(host.foreground, 1);
    EXPECT_EQ(host.title, "pukko 00:00:00 残り6ﾋﾟｰｽ(全6ﾋﾟｰｽ)");
    // A second done changes nothing.
    host.Advance(500);
    MakingStep(g, MSG_MAKE_DONE);
    EXPECT_EQ(g.startTick, 6234u);
    EXPECT_EQ(MakingStep(g, MSG_PICK), 0);
}

TEST_F(Start, TheSizeSettingScalesAndTheClockSeeds) {
    const std::string path = Save("seed.bmp", 300, 200);
    settings.pieceCount = 12;
    settings.pictureSize = 600;
    auto made = [&](uint32_t tick) {
        host.tick = tick;
        EXPECT_EQ(StartPuzzle(g, path), 1);
        EXPECT_EQ(g.picture.Width(), 564);  // 600 x 400 read, trimmed to 4 x 2 cells of 141
        EXPECT_EQ(RunMakingToPlay(g), 1);
        std::vector<int32_t> layout;
        for (int i = 0; i < g.board.count; ++i)
            layout.insert(layout.end(), {g.board.order[i], g.board.pieces[i].left, g.board.pieces[i].top});
        return layout;
    };
    const std::vector<int32_t> first = made(777);
    EXPECT_EQ(made(777), first);
    EXPECT_NE(made(778), first);
}

// An image editor's 32-bit file says every pixel is opaque (alpha 255) in
// a V4 or V5 header; the same picture saved with 24 bits says nothing of
// alpha.  Both must make the same pieces, pixel for pixel, in every
// orientation: the making gives each piece its own alpha.
TEST_F(Start, AnOpaqueThirtyTwoBitPictureMakesTheSamePuzzleAsItsTwentyFourBitTwin) {
    const int w = 120, h = 80;
    std::vector<std::vector<uint32_t>> rows(h, std::vector<uint32_t>(w));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) rows[y][x] = static_cast<uint32_t>(x * 2) << 16 | (y * 3) << 8 | 0x40;
    std::vector<std::vector<uint32_t>> opaque = rows;
    for (auto& row : opaque)
        for (uint32_t& v : row) v |= 0xFF000000;
    const std::string dir = TestFolder().string();
    auto write = [&](const char* name, const readtest::Bmp& bmp) {
        const std::string path = dir + "/" + name;
        EXPECT_TRUE(readtest::WriteFile(path, bmp.Build()));
        return path;
    };
    const std::string flat =
        write("rgb24.bmp", {.width = w, .height = h, .bitCount = 24, .data = readtest::PackRows(rows, 24)});
    const std::string v5 = write("argb_v5.bmp", {.infoSize = 124,
                                                 .width = w,
                                                 .height = h,
                                                 .bitCount = 32,
                                                 .compression = kBiBitfields,
                                                 .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
                                                 .data = readtest::PackRows(opaque, 32)});
    const std::string v4 = write(
        "argb_v4.bmp",
        {.infoSize = 108, .width = w, .height = h, .bitCount = 32, .data = readtest::PackRows(opaque, 32)});
    settings.pieceCount = 6;
    settings.rotation = 1;
    settings.flip = 1;
    auto made = [&](const std::string& path) {
        host.tick = 4242;
        EXPECT_EQ(StartPuzzle(g, path), 1);
        EXPECT_EQ(RunMakingToPlay(g), 1);
        std::vector<std::vector<uint32_t>> pictures;
        for (int i = 0; i < g.board.count; ++i)
            for (const MYBIT& p : g.board.pieces[i].pictures) pictures.push_back(p.pixels);
        return pictures;
    };
    const auto want = made(flat);
    ASSERT_EQ(want.size(), 6u * 8u);
    EXPECT_TRUE(made(v5) == want);
    EXPECT_TRUE(made(v4) == want);
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Start, PatternsAreRepeatedOrFitted) {
    settings.pieceCount = 0;
    // 41 x 21 with lines at 20 and at the odd last column, which goes: tiled
    // 5 x 8 over 200 x 160, only the lines at 20 + 40 k remain.
    ASSERT_EQ(StartPuzzle(g, Save("tiled.bmp", 100, 80), Save("tiled_pattern.bmp", 41, 21, 20, 20)), 1);
    EXPECT_EQ(g.making.maskWidth, 200);
    EXPECT_EQ(g.making.maskHeight, 160);
    ASSERT_EQ(RunMakingToPlay(g), 1);
    EXPECT_EQ(g.board.count, 6);
    // In play the making's mask and picture copy are let go.
    EXPECT_TRUE(g.making.mask.Empty() && g.making.picture.Empty());
    // Twice the picture's size, anti-aliased grey on light grey: the pattern
    // is the mask as it is.
    ASSERT_EQ(StartPuzzle(g, Save("fitted.bmp", 50, 40),
                          Save("fitted_pattern.bmp", 100, 80, 33, 33, 0xE0E0E0, 0x404040)),
              1);
    EXPECT_EQ(g.making.maskWidth, 100);
    EXPECT_EQ(g.picture.Width(), 50);
    ASSERT_EQ(RunMakingToPlay(g), 1);
    EXPECT_EQ(g.board.count, 3);
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Start, WhatCannotBeMadeStartsNothing) {
    settings.pieceCount = 6;
    const std::string missing = (std::filesystem::temp_directory_path() / "pukko_no_such_file.bmp").string();
    EXPECT_EQ(StartPuzzle(g, missing), 0);  // the reader says so
    EXPECT_EQ(StartPuzzle(g, missing, Save("lines.bmp", 40, 20, 10, 10)), 0);  // and nothing more
    EXPECT_EQ(host.windowsErrors.size(), 2u);
    // A pattern without any white.
    settings.pieceCount = 0;
    EXPECT_EQ(
        StartPuzzle(g, Save("dark.bmp", 40, 30), Save("dark_pattern.bmp", 20, 20, 0, 1, 0xFFFFFF, 0x101010)),
        0);
    EXPECT_EQ(host.boxes.size(), 1u);
    // A saved game is restored, not made here.
    EXPECT_EQ(StartPuzzle(g, "game.PKO"), 0);
    EXPECT_EQ(g.State(), kStateNone);
    EXPECT_TRUE(host.posted.empty());
    EXPECT_TRUE(host.sounds.empty());
    // At a size the reader gives a black square after its message: made.
    settings.pieceCount = 4;
    settings.pictureSize = 400;
    ASSERT_EQ(StartPuzzle(g, missing), 1);
    EXPECT_EQ(g.picture.Width(), 400);
    EXPECT_EQ(g.picture.At(10, 10) & 0xFFFFFF, 0u);
}

TEST_F(Start, ADroppedFileStartsAPuzzleUnlessMakingOrAPatternIsAsked) {
    const std::string path = Save("dropped.bmp", 120, 80);
    settings.pieceCount = 0;  // a drop never starts a pattern puzzle
    OnDropFile(g, path);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "ピース数を選択してください");
    EXPECT_EQ(host.boxes[0].owner, Owner::kMainWindow);
    EXPECT_EQ(g.State(), kStateNone);

    // A name that comes in double quotes loses them.
    settings.pieceCount = 4;
    OnDropFile(g, "\"" + path + "\"");
    EXPECT_EQ(g.pictureFile, path);
    EXPECT_EQ(g.State(), kStateLabelling);

    // While it is being made another drop is turned away.
    OnDropFile(g, Save("other.bmp", 60, 40));
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1].text, "ただいま作成中");
    EXPECT_EQ(g.pictureFile, path);
    OnDropFile(g, "");
    EXPECT_EQ(host.boxes.size(), 3u);
}

}  // namespace
