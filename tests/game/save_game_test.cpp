// Saving the game being played and resuming it.
#include "game/save_game.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "base/file_io.h"
#include "game/clock.h"
#include "game/game_record.h"
#include "game/start_puzzle.h"
#include "pieces/board_ops.h"
#include "pieces/saved_state.h"
#include "support/fake_host.h"
#include "support/picture_hash.h"
#include "support/test_folder.h"

namespace {

struct SaveRestore : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    Background background;
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();
    PuzzleGame& g = *game;
    std::string picture = (TestFolder() / "photo.jpeg.bmp").string();
    std::string saved = (TestFolder() / "photo.jpeg.pko").string();

    void SetUp() override {
        host.client = {800, 600};
        host.screen = {800, 600};
        settings.sound = 0;
        settings.guide = 0;
        InitGame(g, host, settings, background);
        MYBIT p;
        p.Create(240, 160);
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 240; ++x)
                p.At(x, y) = static_cast<uint32_t>(x << 16 | y << 8 | ((x ^ y) & 0xFF));
        ASSERT_TRUE(p.SaveFile(picture));
        DeleteFileAt(saved);
        settings.pieceCount = 10;
        ASSERT_EQ(StartPuzzle(g, picture), 1);
        ASSERT_EQ(RunMakingToPlay(g), 1);
        ASSERT_EQ(g.State(), kStatePlaying);
    }
};

}  // namespace

TEST_F(SaveRestore, SavedBoardComesBackWithItsTime) {
    host.Advance(3723000);  // 1:02:03
    ClockTick(g);
    host.Advance(800);  // not yet a whole second: the title's time is stored
    ASSERT_EQ(SaveGame(g, 1), 1);
    EXPECT_FALSE(host.TimerRunning(IDT_CLOCK));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes.back().text, "保存しました。\n" + saved);
    EXPECT_EQ(host.boxes.back().caption, "pukko");
    const std::string title = host.title;
    EXPECT_NE(title.find("01:02:03"), std::string::npos);

    const int n = g.board.count;
    std::vector<Rect> rects;
    for (int i = 0; i < n; ++i) rects.push_back(g.board.pieces[i].BoardRect());
    const uint64_t board = PictureHash(*g.board.boardPicture);
    const int groups = CountGroups(g.board);

    ResetGame(g);
    ASSERT_EQ(g.board.count, 0);
    host.Advance(50000);
    ASSERT_EQ(StartPuzzle(g, saved), 1);
    EXPECT_EQ(g.State(), kStatePlaying);
    EXPECT_EQ(g.pictureFile, saved);
    ASSERT_EQ(g.board.count, n);
    for (int i = 0; i < n; ++i) EXPECT_EQ(g.board.pieces[i].BoardRect(), rects[i]);
    EXPECT_EQ(PictureHash(*g.board.boardPicture), board);
    EXPECT_EQ(CountGroups(g.board), groups);
    EXPECT_EQ(host.title, title);  // the stored time is shown at once
    EXPECT_TRUE(host.TimerRunning(IDT_CLOCK));
    EXPECT_TRUE(host.sounds.empty());  // a restore plays no waiting sound

    // It counts on from the stored time, and saving again overwrites the same file.
    host.Advance(2000);
    ClockTick(g);
    EXPECT_NE(host.title.find("01:02:05"), std::string::npos);
    ASSERT_EQ(SaveGame(g, 0), 1);
    int32_t remaining = 0, total = 0;
    ASSERT_TRUE(ReadSavedCounts(saved, remaining, total));
    EXPECT_EQ(remaining, groups);
    EXPECT_EQ(total, g.totalPieces);
}

TEST_F(SaveRestore, NothingIsSavedWhileMakingOrWithoutAPuzzle) {
    g.making.stage = kStateCutting;
    EXPECT_EQ(SaveGame(g, 1), 0);
    g.making.stage = kStatePlaying;
    ResetGame(g);
    EXPECT_EQ(SaveGame(g, 1), 0);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_FALSE(FileExists(saved));
}

TEST_F(SaveRestore, ABrokenSavedGameIsRefusedAndLeavesNoPuzzle) {
    ASSERT_EQ(SaveGame(g, 0), 1);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(saved, &bytes, 1 << 28));
    ASSERT_TRUE(WriteFileAtomic(saved, bytes.data(), bytes.size() / 2));
    ASSERT_EQ(StartPuzzle(g, saved), 0);
    EXPECT_EQ(g.State(), kStateNone);
    EXPECT_EQ(g.board.count, 0);
    EXPECT_TRUE(g.picture.Empty());
    ASSERT_FALSE(host.boxes.empty());
    EXPECT_EQ(host.boxes.back().text, "保存ファイルが壊れています。\n" + saved);
    EXPECT_FALSE(host.TimerRunning(IDT_CLOCK));
}

TEST_F(SaveRestore, AFailedWriteIsReportedAndKeepsTheOldFile) {
    ASSERT_EQ(SaveGame(g, 0), 1);
    std::vector<uint8_t> before;
    ASSERT_TRUE(ReadWholeFile(saved, &before, 1 << 28));
    // A picture file in a folder that does not exist cannot be saved beside.
    g.pictureFile = (TestFolder() / "no such folder" / "x.bmp").string();
    EXPECT_EQ(SaveGame(g, 1), 0);
    ASSERT_FALSE(host.boxes.empty());
    EXPECT_EQ(host.boxes.back().text.rfind("保存できませんでした。", 0), 0u);
    std::vector<uint8_t> after;
    ASSERT_TRUE(ReadWholeFile(saved, &after, 1 << 28));
    EXPECT_EQ(after, before);
}

TEST_F(SaveRestore, AFinishedGameSavedAndTakenUpIsFinishedAgainAndGoes) {
    for (int i = 0; i < g.board.count; ++i) g.board.pieces[i].group = 0;
    ASSERT_EQ(IsComplete(g), 1);
    ASSERT_EQ(SaveGame(g, 0), 1);
    ASSERT_EQ(StartPuzzle(g, saved), 1);
    EXPECT_EQ(IsComplete(g), 1);
    EXPECT_NE(host.title.find("(^o^)完成(^o^)"), std::string::npos);
    // Its next drop completes it again, and a finished saved game is gone.
    Complete(g);
    EXPECT_FALSE(FileExists(saved));
    EXPECT_TRUE(host.TimerRunning(IDT_SLIDE));
}
