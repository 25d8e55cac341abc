// The recovery record of a game in play: when it is written, how a killed
// game is offered and taken up at the next start, and the ends that leave
// none.  The worker runs for real; a test waits for it with
// FinishRecordWork where it needs the files.
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
#include "pieces/recovery_record.h"
#include "support/fake_host.h"
#include "support/test_folder.h"

namespace {

struct Recovery : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    Background background;
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();
    std::string picture = TestPath("photo.bmp");
    std::string folder = TestPath("program");
    RecoveryFiles files = RecoveryFilesIn(folder);

    void SetUp() override {
        host.client = host.screen = {800, 600};
        settings.sound = 0;
        settings.guide = 0;
        settings.pieceCount = 10;
        settings.saveOnExit = 0;
        std::filesystem::create_directories(folder);
        MYBIT p;
        p.Create(240, 160);
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 240; ++x) p.At(x, y) = static_cast<uint32_t>(x << 16 | y << 8 | ((x ^ y) & 0xFF));
        ASSERT_TRUE(p.SaveFile(picture));
        Start();
    }

    // A fresh game record as the program makes one at start-up.
    PuzzleGame& NewRecord() {
        game = std::make_unique<PuzzleGame>();
        InitGame(*game, host, settings, background);
        game->recovery.folder = folder;
        return *game;
    }

    void Start() {
        PuzzleGame& g = NewRecord();
        ASSERT_EQ(StartPuzzle(g, picture), 1);
        ASSERT_EQ(RunMakingToPlay(g), 1);
    }

    // One second of the clock; the worker's record, if one began, finished.
    void Second() {
        host.Advance(1000);
        ClockTick(*game);
        FinishRecordWork(game->recovery);
    }

    // The top piece dragged by (dx, dy) with the pointer, as a player does.
    void DragTop(int dx, int dy) {
        PuzzleGame& g = *game;
        const int k = g.board.count - 1;
        const Piece& p = g.board.pieces[g.board.order[k]];
        for (int y = p.top; y < p.bottom; ++y)
            for (int x = p.left; x < p.right; ++x)
                if (HitTest(g.board, x, y) == k) {
                    OnPress(g, kButtonLeft, x, y);
                    OnMouseMove(g, 1, false, x + dx, y + dy);
                    OnRelease(g);
                    return;
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

// A new game is recorded at the first second of play, whole; a quiet board
// is never written again; changes are written at most every two seconds,
// so each lands within three, and only the small file: 30 a minute of
// steady play.
TEST_F(Recovery, ChangesAreWrittenWithinThreeSecondsAndAQuietBoardNever) {
    PuzzleGame& g = *game;
    host.Advance(1000);
    ClockTick(g);     // the first record begins on the worker...
    DragTop(30, 20);  // ...while the board is played on
    FinishRecordWork(g.recovery);
    EXPECT_EQ(g.recovery.recordsWritten, 1);
    FileId full;
    ASSERT_TRUE(IdentifyFile(files.full, full));
    EXPECT_EQ(full, g.recovery.full);
    Second();  // 1 s after the first began: not yet
    EXPECT_EQ(g.recovery.recordsWritten, 1);
    Second();
    EXPECT_EQ(g.recovery.recordsWritten, 2);
    for (int i = 0; i < 5; ++i) Second();
    EXPECT_EQ(g.recovery.recordsWritten, 2);

    DragTop(-10, 5);
    Second();  // the last record began 6 s ago: at once
    EXPECT_EQ(g.recovery.recordsWritten, 3);
    DragTop(7, 0);
    Second();
    EXPECT_EQ(g.recovery.recordsWritten, 3);
    Second();
    EXPECT_EQ(g.recovery.recordsWritten, 4);
    RecoveryRecord record;
    ASSERT_EQ(ReadRecoveryRecord(files.small, record), ReadResult::kOk);
    record.places.groupsLeft = CountGroups(g.board);
    EXPECT_EQ(record.places, Places());
    EXPECT_EQ(record.pictureFile, picture);
    EXPECT_EQ(record.elapsedMs, static_cast<int32_t>(ElapsedMs(g)));

    for (int i = 0; i < 60; ++i) {
        host.Advance(400);
        DragTop(1, 0);
        host.Advance(600);
        ClockTick(g);
        FinishRecordWork(g.recovery);
    }
    EXPECT_EQ(g.recovery.recordsWritten, 4 + 30);
    FileId still;
    ASSERT_TRUE(IdentifyFile(files.full, still));
    EXPECT_EQ(still, full);
}

// A game killed in play: the next start offers it, Yes brings it back as it
// was recorded (places, clock, its picture's name for the next save) and
// keeps recording it in the small file only; a clean exit then leaves no
// record.
TEST_F(Recovery, AKilledGameIsOfferedAndTakenUpAsRecorded) {
    Second();
    DragTop(40, 30);
    host.Advance(5000);
    Second();
    const BoardPlaces recorded = Places();
    const uint32_t elapsed = ElapsedMs(*game);
    DragTop(50, 0);  // after the last record: lost with the kill
    FileId full = game->recovery.full;

    game.reset();  // killed: no clean end
    PuzzleGame& g = NewRecord();
    host.boxAnswer = kIdYes;
    ASSERT_TRUE(AskToResume(host, folder));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, kRecoveryOfferText);
    EXPECT_EQ(host.boxes[0].caption, "pukko");
    EXPECT_EQ(host.boxes[0].flags, kMbYesNo | kMbIconQuestion | kMbDefButton1);
    ASSERT_EQ(ResumeRecovery(g), 1);
    EXPECT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(g.State(), kStatePlaying);
    EXPECT_EQ(Places(), recorded);
    EXPECT_EQ(ElapsedMs(g), elapsed);
    EXPECT_EQ(g.pictureFile, picture);
    EXPECT_TRUE(host.TimerRunning(IDT_CLOCK));

    Second();  // nothing moved since it was opened
    EXPECT_EQ(g.recovery.recordsWritten, 0);
    DragTop(-20, 10);
    Second();
    EXPECT_EQ(g.recovery.recordsWritten, 1);
    FileId now;
    ASSERT_TRUE(IdentifyFile(files.full, now));
    EXPECT_EQ(now, full);
    OnClose(g);
    EXPECT_FALSE(AnyFile());
}

// No removes the record; a damaged one is said once and removed; the
// remains of a first record never finished (its full file, temporaries)
// are cleared away without a word.  Each leaves the start screen to follow.
TEST_F(Recovery, NoOrADamagedRecordLeavesNothingAndIsSaidOnce) {
    Second();
    game.reset();
    host.boxAnswer = kIdNo;
    EXPECT_FALSE(AskToResume(host, folder));
    EXPECT_EQ(host.boxes.size(), 1u);
    EXPECT_FALSE(AnyFile());

    Start();
    Second();
    game.reset();
    std::vector<uint8_t> small;
    ASSERT_TRUE(ReadWholeFile(files.small, &small, 1 << 20));
    ASSERT_TRUE(WriteFileAtomic(files.small, small.data(), small.size() - 1));
    host.boxes.clear();
    EXPECT_FALSE(AskToResume(host, folder));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, kRecoveryBrokenText);
    EXPECT_FALSE(AnyFile());

    // Offered, then found to be another game's full file once taken up.
    Start();
    Second();
    game.reset();
    std::vector<uint8_t> full;
    ASSERT_TRUE(ReadWholeFile(files.full, &full, 1 << 28));
    full[200] ^= 1;
    ASSERT_TRUE(WriteFileAtomic(files.full, full.data(), full.size()));
    host.boxes.clear();
    host.boxAnswer = kIdYes;
    ASSERT_TRUE(AskToResume(host, folder));
    PuzzleGame& g = NewRecord();
    EXPECT_EQ(ResumeRecovery(g), 0);
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1].text, kRecoveryBrokenText);
    EXPECT_EQ(g.board.count, 0);
    EXPECT_FALSE(AnyFile());

    ASSERT_TRUE(WriteFileAtomic(files.full, full.data(), 100));
    ASSERT_TRUE(WriteFileAtomic(TemporaryNameFor(files.small), "x", 1));
    host.boxes.clear();
    EXPECT_FALSE(AskToResume(host, folder));
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_FALSE(AnyFile() || FileExists(TemporaryNameFor(files.small)));
}

// Every clean end removes the record: a clean exit with or without the save
// on exit, the menu's save, completion, another puzzle; a save on exit that
// fails keeps it.  A reset while the first record is being written stops
// the worker and leaves nothing.
TEST_F(Recovery, CleanEndsLeaveNoRecord) {
    struct End {
        const char* what;
        void (*act)(PuzzleGame&);
        bool kept;
    };
    const End ends[] = {
        {"exit", [](PuzzleGame& g) { OnClose(g); }, false},
        {"exit saving", [](PuzzleGame& g) {
             g.settings->saveOnExit = 1;
             OnClose(g);
         }, false},
        {"exit whose save fails", [](PuzzleGame& g) {
             g.settings->saveOnExit = 1;
             g.pictureFile = TestPath("no such folder/x.bmp");
             OnClose(g);
         }, true},
        {"状態保存", [](PuzzleGame& g) { SaveGame(g, 1); }, false},
        {"completion", [](PuzzleGame& g) {
             for (int i = 0; i < g.board.count; ++i) g.board.pieces[i].group = 0;
             Complete(g);
         }, false},
        {"another puzzle", [](PuzzleGame& g) {
             const std::string next = g.pictureFile;  // the start clears the record it lives in
             StartPuzzle(g, next);
         }, false},
    };
    for (const End& e : ends) {
        SCOPED_TRACE(e.what);
        Start();
        settings.saveOnExit = 0;
        Second();
        ASSERT_TRUE(AnyFile());
        e.act(*game);
        EXPECT_EQ(FileExists(files.small), e.kept);
    }

    Start();
    DragTop(5, 5);
    host.Advance(1000);
    ClockTick(*game);
    ResetGame(*game);
    EXPECT_FALSE(RecordWorkerBusy(game->recovery));
    EXPECT_FALSE(AnyFile() || FileExists(TemporaryNameFor(files.full)));
}

// A folder that cannot take the whole game is tried once for the game, not
// every two seconds.
TEST_F(Recovery, AFolderThatCannotTakeTheFullFileIsNotTriedAgain) {
    game->recovery.folder = TestPath("no such folder");
    Second();
    EXPECT_TRUE(game->recovery.failed);
    DragTop(10, 10);
    host.Advance(5000);
    ClockTick(*game);
    EXPECT_FALSE(game->recovery.job);
    EXPECT_EQ(game->recovery.recordsWritten, 0);
}
