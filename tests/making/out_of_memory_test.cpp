// Making when memory runs out, on a cutting worker or on the making steps'
// own thread: the making ends with a message, the workers stopped and the
// game back where a picture that cannot be cut leaves it, and the next
// puzzle is made as if nothing had happened.
// The test program's operator new fails on purpose (failing_new.h).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "failing_new.h"
#include "game/game_record.h"
#include "game/start_puzzle.h"
#include "making_fixture.h"
#include "pieces/board.h"
#include "support/test_folder.h"

namespace {

constexpr char kNoMemory[] =
    "メモリが足りないため、パズルを作成できませんでした。\n大きさの設定を小さくしてください。";

// A game as the main window starts it, on a fake host.
struct Game : MakingFixture {
    Game() {
        settings.tileFile[0] = '\0';
        settings.pictureSize = 0;  // pictures as they are
        InitGame(g(), host, settings, background);
    }
    // StartPuzzle and the steps to the start of play, armed or not.
    int Make(const std::string& picture, const std::string& pattern, FailingCount count = FailingCount::kNone,
             int64_t fails = INT64_MAX) {
        FailingNew armed(count, fails);
        return StartPuzzle(g(), picture, pattern) && RunMakingToPlay(g());
    }
    std::vector<uint64_t> Pieces() {
        std::vector<uint64_t> all;
        for (int k = 0; k < g().board.count; ++k) {
            const Piece& p = g().board.pieces[k];
            for (const MYBIT& o : p.pictures) all.push_back(PictureHash(o));
            for (int v : {p.left, p.top, p.orientation}) all.push_back(static_cast<uint64_t>(v));
            all.insert(all.end(), p.neighbours.begin(), p.neighbours.end());
        }
        return all;
    }
    // Failed cleanly: told once, and nothing of the puzzle left.
    void ExpectFailed(size_t boxesBefore) {
        const PuzzleGame& game = g();
        EXPECT_EQ(game.State(), kStateNone);
        EXPECT_EQ(game.board.count, 0);
        EXPECT_EQ(game.making.pool, nullptr);
        EXPECT_EQ(game.making.apartSearch, nullptr);
        EXPECT_TRUE(game.making.mask.Empty());
        EXPECT_TRUE(game.picture.Empty());
        EXPECT_FALSE(host.guideOpen);
        EXPECT_EQ(host.title, "pukko");
        ASSERT_EQ(host.boxes.size(), boxesBefore + 1);
        EXPECT_EQ(host.boxes.back().text, kNoMemory);
        EXPECT_EQ(host.boxes.back().caption, "pukko");
        EXPECT_EQ(host.boxes.back().owner, Owner::kMainWindow);
        EXPECT_EQ(host.progress.back(), "close");
    }
};

std::string SavePicture(const std::string& name, int w, int h) {
    MYBIT p;
    MakeTestPicture(p, w, h);
    const std::string path = TestPath(name);
    EXPECT_TRUE(p.SaveFile(path));
    return path;
}

}  // namespace

// Every allocation of a whole making on the steps' thread in turn (a
// sample of them), from reading the files to the search across a thick
// tile's gaps: each fails the making cleanly, and the puzzle made after
// the last is the one made before the first.
TEST(OutOfMemory, OnTheStepsThreadMakingEndsCleanlyWhereverItFails) {
    const std::string picture = SavePicture("picture.bmp", 90, 90);
    MYBIT tile;  // lines 5 words wide on the left and at the top: 9 pieces apart
    tile.CreateFilled(0xFFFFFF, 60, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            if (x < 5 || y < 5) tile.At(x, y) = 0;
    const std::string pattern = TestPath("tile.bmp");
    ASSERT_TRUE(tile.SaveFile(pattern));

    Game game;
    game.g().making.cutThreads = 1;
    game.settings.pieceCount = 0;
    // The first making sets up what lasts (the sounds, the steps' scratch);
    // the second counts what every making allocates.
    ASSERT_EQ(game.Make(picture, pattern), 1);
    ASSERT_EQ(game.Make(picture, pattern, FailingCount::kThisThread), 1);
    const int64_t total = FailingNew::Counted();
    const std::vector<uint64_t> made = game.Pieces();
    ASSERT_EQ(game.g().board.count, 9);
    ASSERT_GT(total, 200);
    int failed = 0;
    for (int64_t fails = 0; fails < total; fails += fails < 40 || fails > total - 20 ? 1 : total / 40) {
        SCOPED_TRACE("allocation " + std::to_string(fails) + " of " + std::to_string(total));
        const size_t boxes = game.host.boxes.size();
        const int made = game.Make(picture, pattern, FailingCount::kThisThread, fails);
        // A making may allocate a little less after a failure than after a
        // success (lists keep their room): then none failed.
        if (FailingNew::Counted() <= fails) {
            EXPECT_EQ(made, 1);
            continue;
        }
        EXPECT_EQ(made, 0);
        ASSERT_NO_FATAL_FAILURE(game.ExpectFailed(boxes));
        ++failed;
    }
    EXPECT_GT(failed, 60);
    ASSERT_EQ(game.Make(picture, pattern), 1);
    EXPECT_TRUE(game.Pieces() == made);
}

// A worker's first allocation, or a later one (a test of the workers, run
// under the thread sanitizer too): the worker stops the others, the steps
// hear of it at their next piece (waiting or not), and the making ends as
// above.
TEST(MakingThreads, OutOfMemoryOnAWorkerEndsTheMakingCleanly) {
    const std::string picture = SavePicture("picture.bmp", 320, 200);
    Game game;
    game.g().making.cutThreads = 4;
    game.settings.pieceCount = 300;
    ASSERT_EQ(game.Make(picture, {}), 1);
    const std::vector<uint64_t> made = game.Pieces();
    for (const int64_t fails : {0, 1, 40, 400}) {
        SCOPED_TRACE("allocation " + std::to_string(fails) + " of the workers");
        const size_t boxes = game.host.boxes.size();
        EXPECT_EQ(game.Make(picture, {}, FailingCount::kOtherThreads, fails), 0);
        ASSERT_NO_FATAL_FAILURE(game.ExpectFailed(boxes));
    }
    ASSERT_EQ(game.Make(picture, {}), 1);
    EXPECT_TRUE(game.Pieces() == made);
}
