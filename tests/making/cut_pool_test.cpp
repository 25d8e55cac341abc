// The cutting workers: pieces cut on several threads are those the steps
// cut alone, and the workers stop before anything they read changes.  Run
// under the thread sanitizer too (the tsan preset).
#include "making/cut_pool.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/making_steps.h"
#include "making_fixture.h"
#include "pieces/board.h"

namespace {

// Prepares and starts a grid puzzle from a test picture; the steps are left
// to the test.
void Start(MakingFixture& f, int w, int h) {
    MYBIT picture;
    MakeTestPicture(picture, w, h);
    ASSERT_EQ(PrepareFromPicture(f.g(), picture), 1);
    ASSERT_EQ(StartCutting(f.g().making, f.g().picture, std::move(f.g().pattern), f.g().board, f.host), 1);
}

// Runs the steps until the workers are cutting.
unsigned RunToCutting(MakingFixture& f) {
    unsigned msg = MSG_MAKE_1;
    while (msg != MSG_PLACE_PIECE) msg = MakingStage(f.g(), msg);
    for (int i = 0; i < 5; ++i) msg = MakingStage(f.g(), msg);
    return msg;
}

// Every piece's eight pictures, rectangle and neighbours, as one list of
// numbers.
std::vector<uint64_t> Pieces(const Board& b) {
    std::vector<uint64_t> all;
    for (int k = 0; k < b.count; ++k) {
        const Piece& p = b.pieces[k];
        for (const MYBIT& o : p.pictures) all.push_back(PictureHash(o));
        for (int v : {p.left, p.top, p.orientation, p.homeLeft, p.homeTop}) all.push_back(static_cast<uint64_t>(v));
        all.insert(all.end(), p.neighbours.begin(), p.neighbours.end());
    }
    return all;
}

}  // namespace

// Pieces cut on worker threads are those the steps cut alone, placed in the
// same order; a reset in the middle stops the workers and leaves nothing,
// and so does a new puzzle started over the one being cut, which is then
// made whole.
TEST(MakingThreads, WorkersCutTheSamePiecesAndAResetOrANewStartStopsThem) {
    std::vector<uint64_t> alone;
    for (const int threads : {1, 4}) {
        MakingFixture f(77);
        f.g().making.cutThreads = threads;
        f.settings.pieceCount = 300;
        ASSERT_NO_FATAL_FAILURE(Start(f, 320, 200));
        ASSERT_EQ(RunMakingSteps(f.g(), MSG_MAKE_1), 1);
        EXPECT_EQ(f.g().making.pool, nullptr);  // joined once the last piece is cut
        if (threads == 1)
            alone = Pieces(f.g().board);
        else
            EXPECT_TRUE(Pieces(f.g().board) == alone);
    }
    EXPECT_GT(alone.size(), 300u * 10);

    MakingFixture f;
    f.g().making.cutThreads = 4;
    f.settings.pieceCount = 300;
    ASSERT_NO_FATAL_FAILURE(Start(f, 320, 200));
    unsigned msg = RunToCutting(f);
    ASSERT_NE(f.g().making.pool, nullptr);
    ResetMaking(f.g().making);
    EXPECT_EQ(f.g().making.pool, nullptr);
    EXPECT_EQ(f.g().board.count, 0);
    int cut = 0;
    for (const Piece& p : f.g().board.pieces) cut += !p.pictures[0].Empty();
    EXPECT_EQ(cut, 0);
    EXPECT_EQ(MakingStage(f.g(), msg), 0u);

    // The workers read the record's board while they cut: a new start must
    // stop them before it points the record anywhere.
    ASSERT_NO_FATAL_FAILURE(Start(f, 320, 200));
    msg = RunToCutting(f);
    ASSERT_NE(f.g().making.pool, nullptr);
    ASSERT_NO_FATAL_FAILURE(Start(f, 100, 80));
    EXPECT_EQ(f.g().making.pool, nullptr);
    EXPECT_EQ(f.g().board.count, 0);
    ASSERT_EQ(RunMakingSteps(f.g(), MSG_MAKE_1), 1);
    EXPECT_GT(f.g().board.count, 100);
    EXPECT_EQ(f.g().board.count, f.g().making.areaCount);
}
