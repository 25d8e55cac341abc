#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "base/file_io.h"
#include "image/mybit.h"
#include "pieces/board.h"
#include "pieces/saved_state.h"
#include "support/test_folder.h"

namespace {

// A picture whose words all differ, so a misplaced word shows.
void Numbered(MYBIT& m, int w, int h, uint32_t seed) {
    m.Create(w, h);
    for (size_t i = 0; i < m.pixels.size(); ++i)
        m.pixels[i] = seed * 7919u + static_cast<uint32_t>(i) * 2654435761u;
}

void MakePiece(Piece& p, int w, int h, uint32_t seed, Point at) {
    Numbered(p.pictures[0], w, h, seed);
    MYBIT* r[7];
    for (int i = 0; i < 7; ++i) r[i] = &p.pictures[i + 1];
    p.pictures[0].MakeOrientations(r);
    p.orientation = 0;
    p.left = at.x;
    p.top = at.y;
    p.right = at.x + w;
    p.bottom = at.y + h;
    p.homeLeft = 10 * static_cast<int>(seed);
    p.homeTop = 5;
    p.homeRight = p.homeLeft + w;
    p.homeBottom = 5 + h;
}

// Three pieces: 0 and 1 joined (group 1, on top), 2 alone and without
// neighbours; piece 1 turned a quarter.
struct SmallGame {
    Board board;
    MYBIT picture;
    SmallGame() {
        Numbered(picture, 6, 4, 99);
        MakePiece(board.pieces[0], 4, 3, 1, {10, 20});
        MakePiece(board.pieces[1], 5, 2, 2, {-3, 7});
        MakePiece(board.pieces[2], 3, 2, 3, {40, 40});
        Piece& p1 = board.pieces[1];
        p1.orientation = 1;
        p1.right = p1.left + 2;
        p1.bottom = p1.top + 5;
        board.pieces[0].group = 1;
        board.pieces[1].group = 1;
        board.pieces[2].group = 2;
        board.pieces[0].neighbours = {0, 1, -1};
        board.pieces[1].neighbours = {0, 1, -1};
        board.pieces[2].neighbours = {-1};
        board.count = 3;
        board.order[0] = 2;
        board.order[1] = 0;
        board.order[2] = 1;
    }
};

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(path, &bytes, 1 << 26));
    return bytes;
}

int32_t IntAt(const std::vector<uint8_t>& b, size_t at) {
    int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

}  // namespace

TEST(SavedState, NameReplacesTheExtensionOfTheFileName) {
    EXPECT_EQ(SavedStateName("C:\\pics\\海.jpeg"), "C:\\pics\\海.pko");
    EXPECT_EQ(SavedStateName("C:\\pics\\old.pko"), "C:\\pics\\old.pko");
    EXPECT_EQ(SavedStateName("C:\\my.pics\\noext"), "C:\\my.pics\\noext.pko");
    EXPECT_EQ(SavedStateName("a.b.bmp"), "a.b.pko");
    EXPECT_TRUE(IsSavedStatePath("C:\\x\\GAME.PKO"));
    EXPECT_TRUE(IsSavedStatePath("g.pKo"));
    EXPECT_FALSE(IsSavedStatePath("g.pko.jpg"));
    EXPECT_FALSE(IsSavedStatePath("pko"));
}

TEST(SavedState, LayoutHeadAndNeighbourTerminator) {
    SmallGame g;
    std::string path = TestPath("layout.pko");
    ASSERT_TRUE(WriteSavedState(g.board, path, g.picture, 3, 65432));
    std::vector<uint8_t> b = FileBytes(path);

    // The head is a valid 32-bit BMP header pair whose pixels start at 54.
    BmpHeaders h = BmpHeaders::Read(b.data());
    EXPECT_EQ(h.type, 0x4D42);
    EXPECT_EQ(h.fileSize, 6u * 4 * 4 + 54);
    EXPECT_EQ(h.dataOffset, 54u);
    EXPECT_EQ(h.infoSize, 40u);
    EXPECT_EQ(h.width, 6);
    EXPECT_EQ(h.height, 4);
    EXPECT_EQ(h.bitCount, 32);
    EXPECT_EQ(IntAt(b, 54), 24);  // the pixel count stands where a BMP's first pixel would
    EXPECT_EQ(IntAt(b, 58), static_cast<int32_t>(g.picture.pixels[0]));

    size_t at = 58 + 24 * 4;
    EXPECT_EQ(IntAt(b, at), 2);  // groups left
    EXPECT_EQ(IntAt(b, at + 4), 3);
    EXPECT_EQ(IntAt(b, at + 8), 65432);
    EXPECT_EQ(IntAt(b, at + 12), 3);

    // The last piece has no neighbours: its list is the -1 alone, and the
    // file ends with its home rectangle and drawing-order entry 2.
    size_t end = b.size();
    EXPECT_EQ(IntAt(b, end - 4), 1);
    EXPECT_EQ(IntAt(b, end - 8), 5 + 2);
    EXPECT_EQ(IntAt(b, end - 20), 30);
    EXPECT_EQ(IntAt(b, end - 24), -1);
    EXPECT_EQ(IntAt(b, end - 28), 2);  // group
    EXPECT_EQ(IntAt(b, end - 32), 0);  // orientation

    int32_t remaining = 0, total = 0;
    ASSERT_TRUE(ReadSavedCounts(path, remaining, total));
    EXPECT_EQ(remaining, 2);
    EXPECT_EQ(total, 3);
}

TEST(SavedState, RoundTripGivesTheSameBoard) {
    SmallGame g;
    std::string path = TestPath("round.pko");
    ASSERT_TRUE(WriteSavedState(g.board, path, g.picture, 3, 1234));

    Board board;
    MYBIT picture;
    SavedStateHead head;
    ASSERT_EQ(ReadSavedState(board, path, picture, head), ReadResult::kOk);
    EXPECT_EQ(head.groupsLeft, 2);
    EXPECT_EQ(head.totalPieces, 3);
    EXPECT_EQ(head.elapsedMs, 1234);
    EXPECT_EQ(picture.pixels, g.picture.pixels);
    ASSERT_EQ(board.count, 3);
    for (int i = 0; i < 3; ++i) {
        const Piece& a = g.board.pieces[i];
        const Piece& b = board.pieces[i];
        for (int o = 0; o < 8; ++o) {
            EXPECT_EQ(b.pictures[o].Width(), a.pictures[o].Width());
            EXPECT_EQ(b.pictures[o].pixels, a.pictures[o].pixels);
        }
        EXPECT_EQ(b.BoardRect(), a.BoardRect());
        EXPECT_EQ(b.HomeRect(), a.HomeRect());
        EXPECT_EQ(b.orientation, a.orientation);
        EXPECT_EQ(b.group, a.group);
        EXPECT_EQ(b.neighbours, a.neighbours);
        EXPECT_EQ(board.order[i], g.board.order[i]);
    }
    EXPECT_EQ(board.order[3], -1);

    // Writing what was read gives the same bytes.
    std::string again = TestPath("again.pko");
    ASSERT_TRUE(WriteSavedState(board, again, picture, head.totalPieces, head.elapsedMs));
    EXPECT_EQ(FileBytes(again), FileBytes(path));
}

TEST(SavedState, EveryTruncationIsRefusedAndLeavesTheBoardEmpty) {
    SmallGame g;
    std::string path = TestPath("trunc.pko");
    ASSERT_TRUE(WriteSavedState(g.board, path, g.picture, 3, 1));
    std::vector<uint8_t> b = FileBytes(path);
    Board board;
    MYBIT picture;
    SavedStateHead head;
    for (size_t n = 0; n < b.size(); ++n) {
        ASSERT_EQ(ReadSavedStateFromMemory(board, b.data(), n, picture, head), ReadResult::kBadFile) << n;
        ASSERT_EQ(board.count, 0);
        ASSERT_TRUE(picture.Empty());
        ASSERT_TRUE(board.pieces[0].pictures[0].Empty());
    }
    EXPECT_EQ(ReadSavedStateFromMemory(board, b.data(), b.size(), picture, head), ReadResult::kOk);
    EXPECT_EQ(ReadSavedState(board, TestPath("missing.pko"), picture, head), ReadResult::kCannotOpen);
}

namespace {

// Writes the small game, lets the test spoil the board, writes it again and
// reads it back.
ReadResult ReadSpoiled(void (*spoil)(SmallGame&)) {
    SmallGame g;
    spoil(g);
    std::string path = TestPath("spoiled.pko");
    if (!WriteSavedState(g.board, path, g.picture, 3, 1)) return ReadResult::kCannotOpen;
    Board board;
    MYBIT picture;
    SavedStateHead head;
    return ReadSavedState(board, path, picture, head);
}

void PatchInt(std::vector<uint8_t>& b, size_t at, int32_t v) {
    std::memcpy(b.data() + at, &v, 4);
}

}  // namespace

TEST(SavedState, InconsistentBoardsAreRefused) {
    EXPECT_EQ(ReadSpoiled([](SmallGame&) {}), ReadResult::kOk);
    EXPECT_EQ(ReadSpoiled([](SmallGame& g) { g.board.pieces[0].orientation = 8; }), ReadResult::kBadFile);
    EXPECT_EQ(ReadSpoiled([](SmallGame& g) {
                  g.board.pieces[2].neighbours = {3, -1};
              }),
              ReadResult::kBadFile);
    EXPECT_EQ(ReadSpoiled([](SmallGame& g) {
                  g.board.pieces[2].neighbours = {-2, -1};
              }),
              ReadResult::kBadFile);
    EXPECT_EQ(ReadSpoiled([](SmallGame& g) { g.board.order[2] = 0; }), ReadResult::kBadFile);
    EXPECT_EQ(ReadSpoiled([](SmallGame& g) { g.board.order[2] = 3; }), ReadResult::kBadFile);
    // The board rectangle must have the size of the current picture.
    EXPECT_EQ(ReadSpoiled([](SmallGame& g) { g.board.pieces[1].orientation = 2; }), ReadResult::kBadFile);
    EXPECT_EQ(ReadSpoiled([](SmallGame& g) { g.board.pieces[0].right += 1; }), ReadResult::kBadFile);
    // A turned picture must be the plain one's height by its width.
    EXPECT_EQ(ReadSpoiled([](SmallGame& g) { g.board.pieces[2].pictures[3].Create(3, 2); }),
              ReadResult::kBadFile);
    // A group split over two runs of the drawing order.
    EXPECT_EQ(ReadSpoiled([](SmallGame& g) { g.board.pieces[1].group = 2; }), ReadResult::kBadFile);
    // Coordinates no play can reach.
    EXPECT_EQ(ReadSpoiled([](SmallGame& g) {
                  g.board.pieces[2].left = 0x7FFFFFF0;
                  g.board.pieces[2].right = 0x7FFFFFF2;
              }),
              ReadResult::kBadFile);
}

TEST(SavedState, CountsBeyondTheLimitsAreRefusedBeforeAllocating) {
    SmallGame g;
    std::string path = TestPath("limits.pko");
    ASSERT_TRUE(WriteSavedState(g.board, path, g.picture, 3, 1));
    const std::vector<uint8_t> good = FileBytes(path);
    const size_t countAt = 58 + 24 * 4 + 12;
    Board board;
    MYBIT picture;
    SavedStateHead head;

    std::vector<uint8_t> b = good;
    PatchInt(b, countAt, 10001);
    EXPECT_EQ(ReadSavedStateFromMemory(board, b.data(), b.size(), picture, head), ReadResult::kBadFile);
    PatchInt(b, countAt, -1);
    EXPECT_EQ(ReadSavedStateFromMemory(board, b.data(), b.size(), picture, head), ReadResult::kBadFile);

    // N must equal width x height.
    b = good;
    PatchInt(b, 54, 23);
    EXPECT_EQ(ReadSavedStateFromMemory(board, b.data(), b.size(), picture, head), ReadResult::kBadFile);

    // A tiny file claiming a huge picture.
    b = good;
    PatchInt(b, 18, 16384);
    PatchInt(b, 22, 16384);
    PatchInt(b, 54, 16384 * 16384);
    EXPECT_EQ(ReadSavedStateFromMemory(board, b.data(), b.size(), picture, head), ReadResult::kBadFile);
    std::string huge = TestPath("huge.pko");
    ASSERT_TRUE(WriteFileAtomic(huge, b.data(), b.size()));
    int32_t remaining = 0, total = 0;
    EXPECT_FALSE(ReadSavedCounts(huge, remaining, total));
    EXPECT_FALSE(ReadSavedCounts(TestPath("nothing.pko"), remaining, total));

    // A neighbour list that never ends within 10000 values.
    Board big;
    MYBIT pic;
    Numbered(pic, 1, 1, 1);
    MakePiece(big.pieces[0], 1, 1, 1, {0, 0});
    big.pieces[0].neighbours.assign(10000, 0);
    big.pieces[0].neighbours.push_back(-1);
    big.count = 1;
    big.order[0] = 0;
    ASSERT_TRUE(WriteSavedState(big, path, pic, 1, 0));
    EXPECT_EQ(ReadSavedState(board, path, picture, head), ReadResult::kBadFile);
    big.pieces[0].neighbours.assign(9999, 0);
    big.pieces[0].neighbours.push_back(-1);
    ASSERT_TRUE(WriteSavedState(big, path, pic, 1, 0));
    EXPECT_EQ(ReadSavedState(board, path, picture, head), ReadResult::kOk);
}
