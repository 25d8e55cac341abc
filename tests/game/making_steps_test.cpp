// The chain of making steps, placing the pieces, patterns, and the golden
// picture of a small puzzle.
#include "game/making_steps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "making/cutting.h"
#include "making/making_fixture.h"
#include "pieces/board.h"

namespace {

std::string Show(int range, ColorRef back, ColorRef bar) {
    return "show " + std::to_string(range) + " " + std::to_string(back) + " " + std::to_string(bar);
}

// Prepares and starts a grid puzzle from a test picture; the steps are left
// to the test.
void Start(MakingFixture& f, int w, int h) {
    MYBIT picture;
    MakeTestPicture(picture, w, h);
    ASSERT_EQ(PrepareFromPicture(f.g(), picture), 1);
    ASSERT_EQ(StartCutting(f.g().making, f.g().picture, std::move(f.g().pattern), f.g().board, f.host), 1);
}

TEST(MakingSteps, OnePieceRunsTheWholeChainOnce) {
    MakingFixture f;
    f.settings.pieceCount = 1;
    Start(f, 10, 6);  // one cell of 12 mask pixels: the picture is trimmed to 6 x 6
    EXPECT_EQ(f.g().picture.Width(), 6);
    std::vector<unsigned> handled;
    EXPECT_EQ(RunMakingSteps(f.g(), MSG_MAKE_1, [&](unsigned m) { handled.push_back(m); }), 1);
    std::vector<unsigned> chain(12, MSG_MAKE_1);  // one step per mask row
    chain.insert(chain.end(), {MSG_MAKE_2, MSG_MAKE_3, MSG_PLACE_PIECE, MSG_MAKE_5});
    EXPECT_EQ(handled, chain);
    chain.push_back(MSG_MAKE_DONE);
    EXPECT_EQ(f.host.posted, chain);  // the first by StartCutting, then each successor
    std::vector<std::string> bars{Show(12, 0x81F8B0, 0x0DD75E)};
    bars.insert(bars.end(), 12, "step");
    bars.insert(bars.end(), {"close", Show(1, 0xF8F481, 0xD8D20C), "step", "close",
                             Show(1, 0xF9A080, 0xD9430B), "step", "close"});
    EXPECT_EQ(f.host.progress, bars);
    EXPECT_EQ(f.g().making.stage, kStatePlaying);
    EXPECT_EQ(f.g().board.count, 1);
    EXPECT_EQ(f.g().board.pieces[0].neighbours, std::vector<int32_t>{-1});
}

TEST(MakingSteps, StepsOfAnotherStageDoNothing) {
    MakingFixture f;
    for (unsigned msg :
         std::vector<unsigned>{MSG_MAKE_1, MSG_MAKE_3, MSG_PLACE_PIECE, MSG_MAKE_5, MSG_MAKE_DONE})
        EXPECT_EQ(MakingStage(f.g(), msg), 0u);
    Start(f, 40, 30);
    EXPECT_EQ(MakingStage(f.g(), MSG_PLACE_PIECE), 0u);  // still labelling
    EXPECT_EQ(MakingStage(f.g(), MSG_MAKE_5), 0u);
    f.g().making.areaCount = 0;  // no area at all: making ends, nothing waits
    EXPECT_EQ(MakingStage(f.g(), MSG_MAKE_2), 0u);
    EXPECT_EQ(f.g().making.stage, kStateNone);
    EXPECT_EQ(MakingStage(f.g(), MSG_MAKE_1), 0u);  // a step left over from it
    EXPECT_EQ(f.host.posted.size(), 1u);
}

// Two pieces that no chain of neighbours joins (a band 8 words wide between
// them) are linked after the neighbours in steps of their own, under a bar
// of their own: the scan of the mask; the spread, the mask given back and
// the link.  A reset in the middle drops the search with the mask.
TEST(MakingSteps, PiecesApartAreLinkedInStepsOfTheirOwnUnderTheirOwnBar) {
    for (const bool reset : {false, true}) {
        MakingFixture f;
        MYBIT mask;
        mask.CreateFilled(0xFFFFFF, 40, 20);
        for (int x = 16; x < 24; ++x) mask.DrawLine(x, 0, x, 20, 0);
        MakeTestPicture(f.g().picture, 20, 10);
        ASSERT_EQ(StartCutting(f.g().making, f.g().picture, std::move(mask), f.g().board, f.host), 1);
        unsigned msg = MSG_MAKE_1;
        while (msg != MSG_MAKE_5) msg = MakingStage(f.g(), msg);
        f.host.progress.clear();
        std::vector<unsigned> chain;
        while (msg == MSG_MAKE_5 && !(reset && chain.size() == 3))
            chain.push_back(msg = MakingStage(f.g(), msg));
        if (reset) {
            ResetMaking(f.g().making);
            EXPECT_EQ(MakingStage(f.g(), msg), 0u);
        } else {
            EXPECT_EQ(chain,
                      (std::vector<unsigned>{MSG_MAKE_5, MSG_MAKE_5, MSG_MAKE_5, MSG_MAKE_5, MSG_MAKE_DONE}));
            const std::string bar = " 16359552 14238475";  // the neighbours' colours
            EXPECT_EQ(f.host.progress, (std::vector<std::string>{"close", "show 2" + bar, "step", "step",
                                                                 "close", "show 1" + bar, "step",
                                                                 "show 2" + bar, "step", "step", "close"}));
            EXPECT_EQ(f.g().board.pieces[0].neighbours, (std::vector<int32_t>{0, 1, -1}));
        }
        EXPECT_EQ(f.g().making.apartSearch, nullptr);
    }
}

TEST(MakingSteps, PiecesAreCutInRandomOrderAndScatteredInTheLeftHalf) {
    MakingFixture f(77);
    f.settings.pieceCount = 30;
    f.settings.flip = 1;
    Start(f, 300, 200);
    unsigned msg = MSG_MAKE_1;
    while (msg != MSG_PLACE_PIECE) msg = MakingStage(f.g(), msg);
    const Board& b = f.g().board;
    const int n = f.g().making.areaCount;
    std::vector<int32_t> order(b.order.begin(), b.order.begin() + n), sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < n; ++i) EXPECT_EQ(sorted[i], i);  // a permutation, not the identity
    EXPECT_NE(order, sorted);
    MYBIT expected;  // the clean board with every piece pasted in drawing order
    expected.CopyFrom(*b.cleanBoard);
    for (int p = 0; p < n; ++p) {
        msg = MakingStage(f.g(), msg);
        EXPECT_EQ(b.count, p + 1);
        const Piece& piece = b.pieces[order[p]];  // cut in order of position
        EXPECT_EQ(piece.group, order[p]);
        // Client 1280 x 960: left in 50 .. 589, top in 50 .. 909.
        EXPECT_TRUE(piece.left >= 50 && piece.left < 590 && piece.top >= 50 && piece.top < 910) << p;
        EXPECT_EQ(piece.BoardRect().Width(), piece.Current().Width());
        expected.PasteBlend(piece.Current(), piece.left, piece.top);
    }
    EXPECT_EQ(msg, MSG_MAKE_5);
    EXPECT_EQ(f.g().placedCount, n);
    EXPECT_EQ(f.background.boardPicture.pixels, expected.pixels);
}

TEST(MakingSteps, PlacingFollowsTheArrangeRotationAndFlipSettings) {
    for (int mode = 0; mode < 5; ++mode) {
        MakingFixture f(mode + 1);
        f.settings.pieceCount = 40;
        f.settings.arrangeMode = mode == 4;
        f.settings.rotation = mode & 1;
        f.settings.flip = mode >> 1 & 1;
        Start(f, 200, 150);
        ASSERT_EQ(RunMakingSteps(f.g(), MSG_MAKE_1), 1);
        const Board& b = f.g().board;
        std::set<int> turns;
        for (int i = 0; i < b.count; ++i) {
            const Piece& p = b.pieces[i];
            turns.insert(p.orientation);
            EXPECT_EQ(p.group, i);
            // Arrange mode: at home, unturned, in number order.
            EXPECT_TRUE(mode != 4 || (b.order[i] == i && p.BoardRect() == p.HomeRect())) << i;
        }
        const std::set<int> expected[5] = {{0}, {0, 1, 2, 3}, {0, 4}, {0, 1, 2, 3, 4, 5, 6, 7}, {0}};
        EXPECT_EQ(turns, expected[mode]) << mode;
    }
}

TEST(ScatterPiece, ATinyWindowStillGetsAPlace) {
    auto board = std::make_unique<Board>();
    Piece& p = board->pieces[3];
    p.pictures[6].Create(7, 5);
    p.orientation = 6;  // kept with rotation and flip off
    Rand rng(1);
    for (Size client : {Size{0, 0}, Size{201, 100}, Size{-50, -50}}) {
        ScatterPiece(*board, 3, 0, 0, client, rng);
        EXPECT_EQ(p.BoardRect(), (Rect{50, 50, 57, 55}));
        EXPECT_EQ(p.group, 3);
    }
    p.homeLeft = 10, p.homeTop = 20, p.homeRight = 17, p.homeBottom = 25;
    PlaceAtHome(*board, 3);
    EXPECT_EQ(p.BoardRect(), (Rect{10, 20, 17, 25}));
    EXPECT_EQ(p.orientation, 0);
}

TEST(Patterns, RepeatedOrFittedAndTheirLimits) {
    auto pattern = [](PuzzleGame& g, int qw, int qh) {  // a vertical line in the middle
        g.pattern.CreateFilled(0xFFFFFF, qw, qh);
        for (int y = 0; y < qh; ++y) g.pattern.At(qw / 2, y) = 0;
    };
    MakingFixture tiled;  // 20 x 10 on a 25 x 12 picture: two by two, the centre kept
    MYBIT original;
    MakeTestPicture(original, 25, 12);
    tiled.g().picture.CopyFrom(original);
    pattern(tiled.g(), 20, 10);
    ASSERT_EQ(TilePattern(tiled.g(), 25, 12, 20, 10, 2, 2), 1);
    EXPECT_EQ(tiled.g().pattern.At(30, 19), 0u);
    EXPECT_EQ(tiled.g().picture.Width(), 20);
    EXPECT_EQ(tiled.g().picture.At(0, 0), original.At(2, 1));

    MakingFixture twice;  // a pattern twice the picture: nothing to do
    MakeTestPicture(twice.g().picture, 20, 10);
    const uint64_t before = PictureHash(twice.g().picture);
    ASSERT_EQ(FitPictureToPattern(twice.g(), 20, 10, 40, 20), 1);
    EXPECT_EQ(PictureHash(twice.g().picture), before);
    MakingFixture wide;  // a square picture scaled to 20 x 20, the middle ten rows kept
    MakeTestPicture(original, 30, 30);
    wide.g().picture.CopyFrom(original);
    ASSERT_EQ(FitPictureToPattern(wide.g(), 30, 30, 40, 20), 1);
    MYBIT scaled;
    scaled.StretchFrom(original, 20, 20);
    EXPECT_EQ(wide.g().picture.Width(), 20);
    EXPECT_EQ(wide.g().picture.At(19, 9), scaled.At(19, 14));
    MakingFixture tall;  // 50 x 10 scaled to 150 x 30, cut to 10 x 30
    MakeTestPicture(tall.g().picture, 50, 10);
    ASSERT_EQ(FitPictureToPattern(tall.g(), 50, 10, 20, 60), 1);
    EXPECT_EQ(tall.g().picture.Height(), 30);

    MakingFixture huge;  // masks or scaled pictures beyond the limit are refused
    MYBIT big;
    big.hdr.width = 5000, big.hdr.height = 5001;  // only the sizes count
    EXPECT_EQ(PrepareFromPicture(huge.g(), big), 0);
    EXPECT_EQ(TilePattern(huge.g(), 5000, 5001, 100, 100, 100, 101), 0);
    EXPECT_EQ(FitPictureToPattern(huge.g(), 4000, 2, 2, 60000), 0);  // 60 million x 30000
    EXPECT_EQ(huge.host.boxes.size(), 3u);
    EXPECT_EQ(PrepareFromPicture(huge.g(), MYBIT()), 0);  // empty: its reader has spoken
    EXPECT_EQ(huge.host.boxes.size(), 3u);
}

// Everything a made puzzle consists of, for a fixed seed.
TEST(MakingGolden, ASmallPuzzleIsTheSameForTheSameSeed) {
    MakingFixture f(20240601);
    f.settings.pieceCount = 12;
    MYBIT picture;
    MakeTestPicture(picture, 160, 120);
    ASSERT_EQ(MakePuzzleFromPicture(f.g(), picture), 1);
    const MakingState& m = f.g().making;
    ASSERT_EQ(m.areaCount, 12);  // 4 x 3 cells
    EXPECT_EQ(m.edgeWidth, 9);
    uint64_t masks = 0, pictures = 0, layout = 0;
    auto mix = [](uint64_t& h, uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    for (int k = 0; k < m.areaCount; ++k) {
        const Piece& p = f.g().board.pieces[k];
        mix(masks, PictureHash(RebuildPieceMask(m, k)));
        for (const MYBIT& pic : p.pictures) mix(pictures, PictureHash(pic));
        for (int32_t v : {p.left, p.top, p.right, p.bottom, p.orientation, p.group, f.g().board.order[k]})
            mix(layout, static_cast<uint32_t>(v));
        for (int32_t v : p.neighbours) mix(layout, static_cast<uint32_t>(v));
    }
    EXPECT_EQ(PictureHash(m.mask), 0x3cb89a0909c88148ull);
    EXPECT_EQ(masks, 0xd1024fa1e3b80732ull);
    EXPECT_EQ(pictures, 0x137f1717f9a4c978ull);
    EXPECT_EQ(layout, 0x32fc062fb90a5feaull);
    EXPECT_EQ(PictureHash(f.background.boardPicture), 0x172bfaa4d4aedaecull);
}

}  // namespace
