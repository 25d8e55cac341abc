// The recovery record of a game in play: when it is written, how a killed
// game is offered and taken up at the next start, and the ends that leave
// none.  The worker runs for real; FinishRecordWork waits for it.
#include "game/recovery.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/file_io.h"
#include "game/clock.h"
#include "game/game_record.h"
#include "game/input.h"
#include "game/save_game.h"
#include "game/start_puzzle.h"
#include "pieces/board_ops.h"
#include "support/fake_host.h"
#include "support/test_folder.h"

namespace {

struct Recovery : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    Background background;
    std::unique_ptr<PuzzleGame> game;
    std::string picture = TestPath("photo.bmp"), folder = TestPath("program");
    RecoveryFiles files = RecoveryFilesIn(folder);

    void SetUp() override {
        host.client = host.screen = {800, 600};
        settings.sound = settings.guide = settings.saveOnExit = 0;
        settings.pieceCount = 10;
        std::filesystem::create_directories(folder);
        MYBIT p;
        p.Create(240, 160);
        for (size_t i = 0; i < p.pixels.size(); ++i) p.pixels[i] = static_cast<uint32_t>(i * 2654435761u);
        ASSERT_TRUE(p.SaveFile(picture));
        Start();
    }
    // A fresh game record, as the program makes one at start-up.
    PuzzleGame& NewRecord() {
        game = std::make_unique<PuzzleGame>();
        InitGame(*game, host, settings, background);
        game->recovery.folder = folder;
        return *game;
    }
    void Start() {
        ASSERT_EQ(StartPuzzle(NewRecord(), picture), 1);
        ASSERT_EQ(RunMakingToPlay(*game), 1);
    }
    // One second of the clock; a record it began, finished.
    void Second() {
        host.Advance(1000);
        ClockTick(*game);
        FinishRecordWork(game->recovery);
    }
    int Records() const { return game->recovery.recordsWritten; }
    // The top piece dragged by (dx, dy) with the pointer.
    void DragTop(int dx, int dy) {
        PuzzleGame& g = *game;
        const int k = g.board.count - 1;
        const Piece& p = g.board.pieces[g.board.order[k]];
        for (int y = p.top; y < p.bottom; ++y)
            for (int x = p.left; x < p.right; ++x)
                if (HitTest(g.board, x, y) == k) {
                    OnPress(g, kButtonLeft, x, y);
                    OnMouseMove(g, 1, false, x + dx, y + dy);
                    return OnRelease(g);
                }
        FAIL() << "the top piece shows nowhere";
    }
    BoardPlaces Places() const {
        BoardPlaces p;
        TakePlaces(game->board, p);
        return p;
    }
    bool AnyFile() const { return FileExists(files.full) || FileExists(files.small); }
};

}  // namespace

// A new game is recorded whole at its first second, while it is played on;
// then changes only, in the small file, at most every two seconds (so each
// lands within three): 30 a minute of steady play, and none on a quiet board.
TEST_F(Recovery, ChangesAreWrittenWithinThreeSecondsAndAQuietBoardNever) {
    PuzzleGame& g = *game;
    host.Advance(1000);
    ClockTick(g);
    DragTop(30, 20);
    FinishRecordWork(g.recovery);
    FileId full;
    ASSERT_TRUE(IdentifyFile(files.full, full));
    EXPECT_EQ(full, g.recovery.full);
    const int expected[] = {1, 2, 2, 2, 2, 2, 2};  // 1 s after the first began, 2 s, then quiet
    for (int n : expected) {
        Second();
        EXPECT_EQ(Records(), n);
    }
    DragTop(-10, 5);
    Second();
    EXPECT_EQ(Records(), 3);
    for (int i = 0; i < 60; ++i) {
        DragTop(1, 0);
        Second();
    }
    EXPECT_EQ(Records(), 3 + 30);
    // A tick that comes early or late: 1.5 s after the last record began
    // is enough, 1 ms less is not.
    DragTop(1, 0);
    for (const auto& [since, records] : {std::pair{1499u, 33}, std::pair{1500u, 34}}) {
        host.Advance(g.recovery.lastStart + since - host.TickCount());
        ClockTick(g);
        FinishRecordWork(g.recovery);
        EXPECT_EQ(Records(), records) << since;
    }
    FileId still;
    ASSERT_TRUE(IdentifyFile(files.full, still));
    EXPECT_EQ(still, full);
}

// Killed in play: the next start offers the game; Yes brings it back as it
// was recorded (places, clock, pieces found through the guide, its picture
// for the next save) and goes on recording it in the small file only; a
// clean exit then leaves no record.
TEST_F(Recovery, AKilledGameIsOfferedAndTakenUpAsRecorded) {
    Second();
    DragTop(40, 30);
    game->hintCount = 2;
    host.Advance(5000);
    Second();
    const BoardPlaces recorded = Places();
    const uint32_t elapsed = ElapsedMs(*game);
    const FileId full = game->recovery.full;
    DragTop(50, 0);  // after the last record: lost

    game.reset();
    PuzzleGame& g = NewRecord();
    host.boxAnswer = kIdYes;
    ASSERT_TRUE(AskToResume(host, folder));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, kRecoveryOfferText);
    EXPECT_EQ(host.boxes[0].flags, kMbYesNo | kMbIconQuestion | kMbDefButton1);
    ASSERT_EQ(ResumeRecovery(g), 1);
    EXPECT_EQ(Places(), recorded);
    EXPECT_EQ(ElapsedMs(g), elapsed);
    EXPECT_EQ(g.pictureFile, picture);
    EXPECT_EQ(g.hintCount, 2);
    EXPECT_TRUE(host.TimerRunning(IDT_CLOCK));
    Second();
    EXPECT_EQ(Records(), 0);  // nothing moved since
    ++g.hintCount;  // a piece found that lay on top already: only the count moved
    Second();
    EXPECT_EQ(Records(), 1);
    EXPECT_EQ(g.recovery.full, full);
    OnClose(g);
    EXPECT_FALSE(AnyFile());
}

// No removes the record; a damaged one is said once and removed, whether the
// look before the offer finds it or the game's reading after Yes; the
// remains of a first record never finished (a full file alone, a
// temporary) go without a word.
TEST_F(Recovery, NoOrADamagedRecordLeavesNothingAndIsSaidOnce) {
    const auto killAndAsk = [&](int answer, const std::function<void()>& damage) {
        Start();
        Second();
        game.reset();
        damage();
        host.boxes.clear();
        host.boxAnswer = answer;
        return AskToResume(host, folder);
    };
    EXPECT_FALSE(killAndAsk(kIdNo, [] {}));
    EXPECT_EQ(host.boxes.size(), 1u);
    EXPECT_FALSE(AnyFile());

    EXPECT_FALSE(killAndAsk(kIdYes, [&] { ASSERT_TRUE(WriteFileAtomic(files.small, "PKRC", 4)); }));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, kRecoveryBrokenText);
    EXPECT_FALSE(AnyFile());

    std::vector<uint8_t> full;
    ASSERT_TRUE(killAndAsk(kIdYes, [&] {
        ASSERT_TRUE(ReadWholeFile(files.full, &full, 1 << 28));
        full[200] ^= 1;
        ASSERT_TRUE(WriteFileAtomic(files.full, full.data(), full.size()));
    }));
    EXPECT_EQ(ResumeRecovery(NewRecord()), 0);
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1].text, kRecoveryBrokenText);
    EXPECT_EQ(game->board.count, 0);
    EXPECT_FALSE(AnyFile());

    ASSERT_TRUE(WriteFileAtomic(files.full, full.data(), 100));
    ASSERT_TRUE(WriteFileAtomic(TemporaryNameFor(files.small), "x", 1));
    host.boxes.clear();
    EXPECT_FALSE(AskToResume(host, folder));
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_FALSE(AnyFile() || FileExists(TemporaryNameFor(files.small)));
}

// Every clean end removes the record: an exit with or without the save on
// exit, "状態保存", completion, another puzzle; a save on exit that fails
// keeps it.  A reset while the first record is written stops the worker and
// leaves nothing; a folder that cannot take the full file is tried again a
// minute later, not every two seconds.
TEST_F(Recovery, CleanEndsLeaveNoRecord) {
    const struct {
        const char* what;
        void (*act)(PuzzleGame&);
        bool kept;
    } ends[] = {
        {"exit", [](PuzzleGame& g) { OnClose(g); }, false},
        {"exit saving", [](PuzzleGame& g) { g.settings->saveOnExit = 1, OnClose(g); }, false},
        {"exit whose save fails",
         [](PuzzleGame& g) {
             g.settings->saveOnExit = 1;
             g.pictureFile = TestPath("no such folder/x.bmp");
             OnClose(g);
         },
         true},
        {"状態保存", [](PuzzleGame& g) { SaveGame(g, 1); }, false},
        {"completion",
         [](PuzzleGame& g) {
             for (int i = 0; i < g.board.count; ++i) g.board.pieces[i].group = 0;
             Complete(g);
         },
         false},
        {"another puzzle", [](PuzzleGame& g) { StartPuzzle(g, std::string(g.pictureFile)); }, false},
    };
    for (const auto& e : ends) {
        SCOPED_TRACE(e.what);
        Start();
        settings.saveOnExit = 0;
        Second();
        ASSERT_TRUE(AnyFile());
        e.act(*game);
        EXPECT_EQ(FileExists(files.small), e.kept);
    }

    Start();
    host.Advance(1000);
    ClockTick(*game);
    ResetGame(*game);
    EXPECT_FALSE(AnyFile() || FileExists(TemporaryNameFor(files.full)));

    Start();
    game->recovery.folder = TestPath("late folder");
    Second();
    EXPECT_TRUE(game->recovery.failed);
    std::filesystem::create_directories(game->recovery.folder);
    host.Advance(kRecordRetryMs - 2000);
    Second();
    EXPECT_EQ(Records(), 0);
    Second();
    EXPECT_EQ(Records(), 1);
    EXPECT_FALSE(game->recovery.failed);
}
