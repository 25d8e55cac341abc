// The chain of making steps, placing the pieces, patterns, and the golden
// picture of a small puzzle.
#include "making/making_steps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "making/cutting.h"
#include "making_fixture.h"
#include "pieces/board.h"

namespace {

std::string Show(int range, ColorRef back, ColorRef bar) {
    return "show " + std::to_string(range) + " " + std::to_string(back) + " " + std::to_string(bar);
}

// Prepares and starts a grid puzzle from a picture in memory; the steps are
// left to the test.
void Start(MakingFixture& f, const MYBIT& picture) {
    ASSERT_EQ(PrepareFromPicture(f.g(), picture), 1);
    MYBIT mask = std::move(f.g().pattern);
    ASSERT_EQ(StartCutting(f.g().making, f.g().picture, std::move(mask), f.g().board, f.host), 1);
}

TEST(MakingSteps, OnePieceRunsTheWholeChainOnce) {
    MakingFixture f;
    f.settings.pieceCount = 1;
    MYBIT picture;
    MakeTestPicture(picture, 10, 6);
    Start(f, picture);
    // A 1 x 1 grid of 12 mask pixels: the picture is trimmed to 6 x 6.
    EXPECT_EQ(f.g().picture.Width(), 6);
    EXPECT_EQ(f.g().making.maskHeight, 12);
    std::vector<unsigned> handled;
    EXPECT_EQ(RunMakingSteps(f.g(), MSG_MAKE_1, [&](unsigned m) { handled.push_back(m); }), 1);

    std::vector<unsigned> chain(12, MSG_MAKE_1);
    chain.insert(chain.end(), {MSG_MAKE_2, MSG_MAKE_3, MSG_PLACE_PIECE, MSG_MAKE_5});
    EXPECT_EQ(handled, chain);
    // What was posted: the first step by StartCutting, then each successor.
    std::vector<unsigned> posted = chain;
    posted.push_back(MSG_MAKE_DONE);
    EXPECT_EQ(f.host.posted, posted);
    // Three bars: labelling (the mask's height), cutting and neighbours (the
    // piece count), each stepped to its end and closed.
    std::vector<std::string> progress{Show(12, 0x81F8B0, 0x0DD75E)};
    progress.insert(progress.end(), 12, "step");
    progress.insert(progress.end(), {"close", Show(1, 0xF8F481, 0xD8D20C), "step", "close",
                                     Show(1, 0xF9A080, 0xD9430B), "step", "close"});
    EXPECT_EQ(f.host.progress, progress);
    const MakingState& m = f.g().making;
    EXPECT_EQ(m.stage, kStatePlaying);
    EXPECT_EQ(f.g().board.count, 1);
    EXPECT_EQ(f.g().placedCount, 1);
    EXPECT_EQ(f.g().board.order[0], 0);
    EXPECT_EQ(f.g().board.pieces[0].neighbours, std::vector<int32_t>{-1});
}

TEST(MakingSteps, AMaskOfTwoRowsLabelsInTwoSteps) {
    MakingFixture f;
    MYBIT picture, mask;
    MakeTestPicture(picture, 3, 1);
    mask.CreateFilled(0xFFFFFF, 6, 2);
    ASSERT_EQ(StartCutting(f.g().making, picture, std::move(mask), f.g().board, f.host), 1);
    EXPECT_EQ(MakingStage(f.g(), MSG_MAKE_1), MSG_MAKE_1);
    EXPECT_EQ(MakingStage(f.g(), MSG_MAKE_1), MSG_MAKE_2);
    EXPECT_EQ(MakingStage(f.g(), MSG_MAKE_2), MSG_MAKE_3);
    EXPECT_EQ(f.g().making.edgeWidth, 3);
}

TEST(MakingSteps, StepsOfAnotherStageDoNothing) {
    MakingFixture f;
    MYBIT picture;
    MakeTestPicture(picture, 40, 30);
    // Nothing is being made.
    for (unsigned msg :
         std::vector<unsigned>{MSG_MAKE_1, MSG_MAKE_2, MSG_MAKE_3, MSG_PLACE_PIECE, MSG_MAKE_5, 0x1234u})
        EXPECT_EQ(MakingStage(f.g(), msg), 0u);
    EXPECT_TRUE(f.host.posted.empty());
    Start(f, picture);
    // Labelling: no piece may be cut or finished yet.
    EXPECT_EQ(MakingStage(f.g(), MSG_PLACE_PIECE), 0u);
    EXPECT_EQ(MakingStage(f.g(), MSG_MAKE_5), 0u);
    EXPECT_EQ(f.host.posted.size(), 1u);
    // A step left over from a puzzle that was dropped meanwhile.
    ResetMaking(f.g().making);
    EXPECT_EQ(MakingStage(f.g(), MSG_MAKE_1), 0u);
    EXPECT_EQ(f.host.posted.size(), 1u);
}

TEST(MakingSteps, PiecesAreCutInARandomOrderAndScatteredInTheLeftHalf) {
    MakingFixture f(77);
    f.settings.pieceCount = 30;
    f.settings.rotation = 1;
    f.settings.flip = 1;
    MYBIT picture;
    MakeTestPicture(picture, 300, 200);
    Start(f, picture);
    const Board& b = f.g().board;
    const MakingState& m = f.g().making;
    // Labelling, width and order; then each piece step cuts and places one.
    unsigned msg = MSG_MAKE_1;
    while (msg != MSG_PLACE_PIECE) msg = MakingStage(f.g(), msg);
    const int n = m.areaCount;
    ASSERT_GT(n, 20);
    EXPECT_EQ(m.stage, kStateCutting);
    std::vector<int32_t> order(b.order.begin(), b.order.begin() + n);
    std::vector<int32_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < n; ++i) EXPECT_EQ(sorted[i], i);
    EXPECT_NE(order, sorted);  // not the identity for this seed
    EXPECT_EQ(b.order[n], -1);
    std::set<int> orientations;
    for (int p = 0; p < n; ++p) {
        msg = MakingStage(f.g(), msg);
        EXPECT_EQ(b.count, p + 1);
        EXPECT_EQ(f.g().placedCount, p + 1);
        const Piece& piece = b.pieces[order[p]];
        EXPECT_EQ(piece.group, order[p]);
        // Client 1280 x 960: left in 50 .. 50 + 540, top in 50 .. 50 + 860.
        EXPECT_GE(piece.left, 50);
        EXPECT_LT(piece.left, 50 + 540);
        EXPECT_GE(piece.top, 50);
        EXPECT_LT(piece.top, 50 + 860);
        EXPECT_EQ(piece.right - piece.left, piece.Current().Width());
        EXPECT_EQ(piece.bottom - piece.top, piece.Current().Height());
        orientations.insert(piece.orientation);
    }
    EXPECT_EQ(msg, MSG_MAKE_5);
    EXPECT_GT(orientations.size(), 4u);  // mirrored turns too
    // The board picture is the clean board with every piece pasted in
    // drawing order.
    MYBIT expected;
    expected.CopyFrom(*b.cleanBoard);
    for (int p = 0; p < n; ++p) {
        const Piece& piece = b.pieces[order[p]];
        expected.PasteBlend(piece.Current(), piece.left, piece.top);
    }
    EXPECT_EQ(f.background.boardPicture.pixels, expected.pixels);
    EXPECT_EQ(f.host.invalidations, n);
}

TEST(MakingSteps, ArrangeModeLaysEveryPieceAtHomeInNumberOrder) {
    MakingFixture f;
    f.settings.arrangeMode = 1;
    f.settings.pieceCount = 24;
    MYBIT picture;
    MakeTestPicture(picture, 300, 200);
    Start(f, picture);
    EXPECT_EQ(f.g().wholeRect, (Rect{0, 0, 300, 200}));
    EXPECT_EQ(f.g().innerRect, (Rect{50, 50, 250, 150}));
    ASSERT_EQ(RunMakingSteps(f.g(), MSG_MAKE_1), 1);
    const Board& b = f.g().board;
    // 6 x 4 cells; where four lines meet they may close in a speck of a
    // pixel or two, which is an area of its own.
    int cells = 0;
    for (int i = 0; i < b.count; ++i) cells += b.pieces[i].HomeRect().Width() > 2;
    EXPECT_EQ(cells, 24);
    for (int i = 0; i < b.count; ++i) {
        EXPECT_EQ(b.order[i], i);
        const Piece& p = b.pieces[i];
        EXPECT_EQ(p.BoardRect(), p.HomeRect());
        EXPECT_EQ(p.orientation, 0);
        EXPECT_EQ(p.group, i);
    }
}

TEST(MakingSteps, TurningFollowsTheRotationAndFlipSettings) {
    for (int rotation : {0, 1})
        for (int flip : {0, 1}) {
            MakingFixture f(rotation * 2 + flip + 1);
            f.settings.pieceCount = 40;
            f.settings.rotation = rotation;
            f.settings.flip = flip;
            MYBIT picture;
            MakeTestPicture(picture, 200, 150);
            Start(f, picture);
            ASSERT_EQ(RunMakingSteps(f.g(), MSG_MAKE_1), 1);
            std::set<int> seen;
            for (int i = 0; i < f.g().board.count; ++i) seen.insert(f.g().board.pieces[i].orientation);
            std::set<int> expected;
            if (!rotation && !flip) expected = {0};
            if (!rotation && flip) expected = {0, 4};
            if (rotation && !flip) expected = {0, 1, 2, 3};
            if (rotation && flip) expected = {0, 1, 2, 3, 4, 5, 6, 7};
            EXPECT_EQ(seen, expected) << rotation << flip;
        }
}

TEST(ScatterPiece, ATinyWindowStillGetsAPlace) {
    auto board = std::make_unique<Board>();
    Piece& p = board->pieces[3];
    p.pictures[0].Create(7, 5);
    p.orientation = 0;
    Rand rng(1);
    for (Size client : {Size{0, 0}, Size{201, 100}, Size{202, 101}, Size{-50, -50}}) {
        ScatterPiece(*board, 3, 0, 0, client, rng);
        EXPECT_EQ(p.left, 50);
        EXPECT_EQ(p.top, 50);
        EXPECT_EQ(p.right, 57);
        EXPECT_EQ(p.bottom, 55);
        EXPECT_EQ(p.group, 3);
    }
    // With rotation and flip off the orientation is kept as it was.
    p.orientation = 6;
    p.pictures[6].Create(7, 5);
    ScatterPiece(*board, 3, 0, 0, Size{1000, 800}, rng);
    EXPECT_EQ(p.orientation, 6);
    // At home: the home rectangle, unturned, its own group.
    p.homeLeft = 10, p.homeTop = 20, p.homeRight = 17, p.homeBottom = 25;
    PlaceAtHome(*board, 3);
    EXPECT_EQ(p.BoardRect(), (Rect{10, 20, 17, 25}));
    EXPECT_EQ(p.orientation, 0);
    EXPECT_EQ(p.group, 3);
}

// A pattern of qw x qh with a vertical black line in its middle.
void SetPattern(PuzzleGame& g, int qw, int qh) {
    g.pattern.CreateFilled(0xFFFFFF, qw, qh);
    for (int y = 0; y < qh; ++y) g.pattern.At(qw / 2, y) = 0;
}

TEST(Patterns, ASmallPatternIsRepeatedAndThePictureTrimmed) {
    MakingFixture f;
    MakeTestPicture(f.g().picture, 25, 12);
    MYBIT original;
    original.CopyFrom(f.g().picture);
    SetPattern(f.g(), 20, 10);
    // nx = 50 / 20 = 2, ny = 24 / 10 = 2.
    ASSERT_EQ(TilePattern(f.g(), 25, 12, 20, 10, 2, 2), 1);
    const MYBIT& mask = f.g().pattern;
    ASSERT_EQ(mask.Width(), 40);
    ASSERT_EQ(mask.Height(), 20);
    for (int y : {0, 9, 10, 19}) {
        EXPECT_EQ(mask.At(10, y), 0u);
        EXPECT_EQ(mask.At(30, y), 0u);
        EXPECT_EQ(mask.At(20, y), 0x00FFFFFFu);
    }
    // The picture's centre, half the mask's size.
    ASSERT_EQ(f.g().picture.Width(), 20);
    ASSERT_EQ(f.g().picture.Height(), 10);
    EXPECT_EQ(f.g().picture.At(0, 0), original.At(2, 1));
    EXPECT_EQ(f.g().picture.At(19, 9), original.At(21, 10));
    // Cut: four pieces, two per tile.
    MYBIT m = std::move(f.g().pattern);
    ASSERT_EQ(StartCutting(f.g().making, f.g().picture, std::move(m), f.g().board, f.host), 1);
    ASSERT_EQ(RunMakingSteps(f.g(), MSG_MAKE_1), 1);
    // Each tile's line splits it in two; the halves on either side of the
    // seam are one area.
    EXPECT_EQ(f.g().board.count, 3);
    EXPECT_TRUE(f.host.boxes.empty());
}

TEST(Patterns, APictureIsFittedToALargePattern) {
    {
        MakingFixture f;  // exactly twice the picture: nothing to do
        MakeTestPicture(f.g().picture, 20, 10);
        const uint64_t before = PictureHash(f.g().picture);
        SetPattern(f.g(), 40, 20);
        ASSERT_EQ(FitPictureToPattern(f.g(), 20, 10, 40, 20), 1);
        EXPECT_EQ(PictureHash(f.g().picture), before);
        EXPECT_EQ(f.g().pattern.Width(), 40);
    }
    {
        MakingFixture f;  // a square picture on a wide pattern: scaled to 20 x 20, centre row kept
        MakeTestPicture(f.g().picture, 30, 30);
        SetPattern(f.g(), 40, 20);
        ASSERT_EQ(FitPictureToPattern(f.g(), 30, 30, 40, 20), 1);
        EXPECT_EQ(f.g().picture.Width(), 20);
        EXPECT_EQ(f.g().picture.Height(), 10);
        MYBIT scaled;
        MYBIT original;
        MakeTestPicture(original, 30, 30);
        scaled.StretchFrom(original, 20, 20);
        EXPECT_EQ(f.g().picture.At(0, 0), scaled.At(0, 5));
        EXPECT_EQ(f.g().picture.At(19, 9), scaled.At(19, 14));
    }
    {
        MakingFixture f;  // a wide picture on a tall pattern: scaled to 150 x 30
        MakeTestPicture(f.g().picture, 50, 10);
        SetPattern(f.g(), 20, 60);
        ASSERT_EQ(FitPictureToPattern(f.g(), 50, 10, 20, 60), 1);
        EXPECT_EQ(f.g().picture.Width(), 10);
        EXPECT_EQ(f.g().picture.Height(), 30);
    }
    {
        MakingFixture f;  // proportions so far apart that the scaled picture would be huge
        MakeTestPicture(f.g().picture, 4000, 2);
        SetPattern(f.g(), 2, 60000);
        EXPECT_EQ(FitPictureToPattern(f.g(), 4000, 2, 2, 60000), 0);
        ASSERT_EQ(f.host.boxes.size(), 1u);
        EXPECT_EQ(f.g().picture.Width(), 4000);
    }
}

TEST(Patterns, MasksBeyondTheSizeLimitAreRefused) {
    MakingFixture f;
    MYBIT huge;  // only the size counts
    huge.hdr.width = 5000;
    huge.hdr.height = 5001;
    EXPECT_EQ(PrepareFromPicture(f.g(), huge), 0);
    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_NE(f.host.boxes[0].text.find("大きすぎる"), std::string::npos);
    EXPECT_TRUE(f.g().pattern.Empty());
    SetPattern(f.g(), 100, 100);
    EXPECT_EQ(TilePattern(f.g(), 5000, 5001, 100, 100, 100, 101), 0);
    EXPECT_EQ(f.host.boxes.size(), 2u);
    EXPECT_EQ(f.g().pattern.Width(), 100);
    // An empty picture: nothing to prepare, nothing said (its reader did).
    MYBIT empty;
    EXPECT_EQ(PrepareFromPicture(f.g(), empty), 0);
    EXPECT_EQ(f.host.boxes.size(), 2u);
}

// Everything a made puzzle consists of, hashed: the labelled mask, every
// piece's eight pictures, rectangles, orientation and neighbours, and the
// drawing order.
uint64_t PuzzleHash(const PuzzleGame& g) {
    uint64_t h = PictureHash(g.making.mask);
    auto mix = [&](uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    for (int i = 0; i < g.board.count; ++i) {
        const Piece& p = g.board.pieces[i];
        for (const MYBIT& pic : p.pictures) mix(PictureHash(pic));
        for (int32_t v : {p.left, p.top, p.right, p.bottom, p.orientation, p.group, p.homeLeft, p.homeTop})
            mix(v);
        for (int32_t v : p.neighbours) mix(static_cast<uint32_t>(v));
        mix(static_cast<uint32_t>(g.board.order[i]));
    }
    return h;
}

TEST(MakingGolden, ASmallPuzzleIsTheSameForTheSameSeed) {
    MakingFixture f(20240601);
    f.settings.pieceCount = 12;
    MYBIT picture;
    MakeTestPicture(picture, 160, 120);
    ASSERT_EQ(MakePuzzleFromPicture(f.g(), picture), 1);
    const MakingState& m = f.g().making;
    ASSERT_EQ(m.areaCount, 13);  // 4 x 3 cells and a speck where lines meet
    EXPECT_EQ(m.edgeWidth, 8);   // the speck lowers the average side
    EXPECT_EQ(PictureHash(m.mask), 0x6e27c8a7c10a8c55ull);
    std::vector<uint64_t> pieces;
    for (int k = 0; k < m.areaCount; ++k) pieces.push_back(PictureHash(RebuildPieceMask(m, k)));
    const std::vector<uint64_t> goldenMasks{
        0x77c626282dc6d2a9ull, 0xfa43a23e527b2065ull, 0x7d5be53fabff3bcfull, 0xe94f7d2f79d1aa85ull,
        0x57344a577bc77921ull, 0x9be986ebb2b70dfdull, 0x0c8b3a60492afe0full, 0x05d219886a61bd73ull,
        0xf9934b682801241full, 0x0058790e5e972f2full, 0x6a3adc88f94f7dd9ull, 0x7306bb19d3608ee9ull,
        0x3c8f41bdebda5235ull,
    };
    EXPECT_EQ(pieces, goldenMasks);
    std::vector<uint64_t> pictures;
    for (int k = 0; k < m.areaCount; ++k) {
        uint64_t h = 0;
        for (const MYBIT& pic : f.g().board.pieces[k].pictures) h = h * 31 + PictureHash(pic);
        pictures.push_back(h);
    }
    const std::vector<uint64_t> goldenPictures{
        0x078fe38eafbbf1a4ull, 0x78c590a570554c48ull, 0x1b57b86a352230ccull, 0x9528acce1b1038d4ull,
        0x0da0296817afe478ull, 0x86e235542c010b14ull, 0xc426e01c084d4ba0ull, 0xd517ed008c870cd4ull,
        0xfb9d1a38dfd2a47cull, 0x738cc0b0593b9610ull, 0xa6b83f65286d438cull, 0x97e344d5435a0f64ull,
        0xecd489180a290680ull,
    };
    EXPECT_EQ(pictures, goldenPictures);
    EXPECT_EQ(PuzzleHash(f.g()), 0x037f6f39f57fabcaull);
    EXPECT_EQ(PictureHash(f.background.boardPicture), 0x98dd50f0aa438918ull);
}

}  // namespace
