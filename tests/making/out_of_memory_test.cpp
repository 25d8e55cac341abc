// Making when memory runs out (failing_new.h), on the making steps' thread
// or on a cutting worker: the making ends with a message, the workers
// stopped and the game reset as a picture that cannot be cut leaves it, and
// the next puzzle is made as if nothing had happened.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "failing_new.h"
#include "game/game_record.h"
#include "game/start_puzzle.h"
#include "making_fixture.h"
#include "support/test_folder.h"

namespace {

// A game as the main window starts it, on a fake host.
struct Game : MakingFixture {
    Game() {
        settings.tileFile[0] = '\0';
        settings.pictureSize = 0;  // pictures as they are
        InitGame(g(), host, settings, background);
    }
    // StartPuzzle and the steps to the start of play.
    int Make(const std::string& picture, const std::string& pattern, FailingCount count = FailingCount::kNone,
             int64_t fails = INT64_MAX) {
        FailingNew armed(count, fails);
        return StartPuzzle(g(), picture, pattern) && RunMakingToPlay(g());
    }
    // Told once, and nothing of the puzzle left.
    void ExpectFailed(size_t boxesBefore) {
        EXPECT_EQ(g().State(), kStateNone);
        EXPECT_EQ(g().board.count, 0);
        EXPECT_EQ(g().making.pool, nullptr);
        EXPECT_TRUE(g().making.mask.Empty() && g().picture.Empty());
        EXPECT_EQ(host.title, "pukko");
        ASSERT_EQ(host.boxes.size(), boxesBefore + 1);
        EXPECT_EQ(host.boxes.back().text,
                  "メモリが足りないため、パズルを作成できませんでした。\n大きさの設定を小さくしてください。");
        EXPECT_EQ(host.boxes.back().caption, "pukko");
        EXPECT_EQ(host.progress.back(), "close");
    }
};

std::string SavePicture(const MYBIT& p, const std::string& name) {
    const std::string path = TestPath(name);
    EXPECT_TRUE(p.SaveFile(path));
    return path;
}

}  // namespace

// Allocations of a whole making on the steps' thread, each in turn (a
// sample), from reading the files to the search across a thick tile's
// gaps: each ends the making cleanly, and the last puzzle is the first.
TEST(OutOfMemory, OnTheStepsThreadMakingEndsCleanlyWhereverItFails) {
    MYBIT picture, tile;  // lines 5 words wide on the left and at the top: 9 pieces apart
    MakeTestPicture(picture, 90, 90);
    tile.CreateFilled(0xFFFFFF, 60, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            if (x < 5 || y < 5) tile.At(x, y) = 0;
    const std::string picturePath = SavePicture(picture, "picture.bmp"),
                      tilePath = SavePicture(tile, "tile.bmp");
    Game game;
    game.g().making.cutThreads = 1;
    game.settings.pieceCount = 0;
    // The first making sets up what lasts (the sounds, the steps' scratch).
    ASSERT_EQ(game.Make(picturePath, tilePath), 1);
    ASSERT_EQ(game.Make(picturePath, tilePath, FailingCount::kThisThread), 1);
    const int64_t total = FailingNew::Counted();
    const std::vector<uint64_t> made = Pieces(game.g().board);
    ASSERT_EQ(game.g().board.count, 9);
    int failed = 0;
    for (int64_t fails = 0; fails < total; fails += fails < 40 || fails > total - 20 ? 1 : total / 40) {
        SCOPED_TRACE("allocation " + std::to_string(fails) + " of " + std::to_string(total));
        const size_t boxes = game.host.boxes.size();
        const int result = game.Make(picturePath, tilePath, FailingCount::kThisThread, fails);
        // After a failure a making may allocate a little less (lists keep
        // their room from the one before): then none failed.
        if (FailingNew::Counted() <= fails) {
            EXPECT_EQ(result, 1);
            continue;
        }
        EXPECT_EQ(result, 0);
        ASSERT_NO_FATAL_FAILURE(game.ExpectFailed(boxes));
        ++failed;
    }
    EXPECT_GT(failed, 60);
    ASSERT_EQ(game.Make(picturePath, tilePath), 1);
    EXPECT_TRUE(Pieces(game.g().board) == made);
}

// A worker's first allocation, or a later one (run under the thread
// sanitizer too): it stops the other workers, and the steps hear of it at
// their next piece, waiting for it or not.
TEST(MakingThreads, OutOfMemoryOnAWorkerEndsTheMakingCleanly) {
    MYBIT picture;
    MakeTestPicture(picture, 320, 200);
    const std::string path = SavePicture(picture, "picture.bmp");
    Game game;
    game.g().making.cutThreads = 4;
    game.settings.pieceCount = 300;
    ASSERT_EQ(game.Make(path, {}), 1);
    const std::vector<uint64_t> made = Pieces(game.g().board);
    for (const int64_t fails : {0, 1, 40, 400}) {
        SCOPED_TRACE("allocation " + std::to_string(fails) + " of the workers");
        const size_t boxes = game.host.boxes.size();
        EXPECT_EQ(game.Make(path, {}, FailingCount::kOtherThreads, fails), 0);
        ASSERT_NO_FATAL_FAILURE(game.ExpectFailed(boxes));
    }
    ASSERT_EQ(game.Make(path, {}), 1);
    EXPECT_TRUE(Pieces(game.g().board) == made);
}
