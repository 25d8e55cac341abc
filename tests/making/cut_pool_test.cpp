// The cutting workers: pieces cut on several threads are those the steps
// cut alone, and the workers stop before anything they read changes.  Run
// under the thread sanitizer too (the tsan preset).
#include "making/cut_pool.h"

#include <gtest/gtest.h>

#include <memory>
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

// Threads are taken while the work arrays of the pieces cut at once (with
// t workers, the t + 1 largest: the steps' thread cuts too) fit in 8 bytes
// per mask word; here each piece's arrays take 3200 bytes: a rectangle of
// 8 x 7 words widened by the reach of a rim of width 0 (a word each way and
// a row more), 10 x 10 words of 32 bytes.
TEST(CutThreads, AsManyAsTheLargestPiecesCutAtOnceFitInEightBytesAMaskWord) {
    auto m = std::make_unique<MakingState>();
    m->areaCount = 10;
    m->edgeWidth = 0;
    for (int k = 0; k < m->areaCount; ++k) m->boxes[k] = AreaBox{0, 0, 5, 4};  // inclusive: 6 x 5, cut 8 x 7
    auto within = [&](int64_t maskWords, int threads) {
        m->maskWidth = static_cast<int32_t>(maskWords);
        m->maskHeight = 1;
        return CutThreadsWithin(*m, threads);
    };
    // Three workers and the steps' thread: four pieces, 12800 bytes.
    EXPECT_EQ(within(1600, 8), 3);
    EXPECT_EQ(within(1599, 8), 2);
    EXPECT_EQ(within(1999, 8), 3);  // four workers need 16000 bytes
    EXPECT_EQ(within(2000, 8), 4);
    EXPECT_EQ(within(2000, 2), 2);  // never more than asked
    EXPECT_EQ(within(1, 8), 1);     // at worst the steps' thread alone
    EXPECT_EQ(within(1 << 20, 8), 8);
    // One piece far larger than the others counts once.
    m->boxes[3] = AreaBox{0, 0, 85, 94};  // 88 x 97 cut, 90 x 100 widened: 288000 bytes
    EXPECT_EQ(within((288000 + 3 * 3200) / 8, 8), 3);
    EXPECT_EQ(within((288000 + 3 * 3200) / 8 - 1, 8), 2);
}
