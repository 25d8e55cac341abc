#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "base/file_io.h"
#include "image/mybit.h"
#include "pieces/board.h"
#include "pieces/board_ops.h"
#include "pieces/recovery_record.h"
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

// The file layout as saved_state.h draws it, written out by hand and without
// any check: the files the writer refuses to make.
struct Encoder {
    std::vector<uint8_t> b;
    void Int(int32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    }
    void Block(const MYBIT& pic) {
        BmpHeaders h;
        h.width = pic.Width();
        h.height = pic.Height();
        h.fileSize = static_cast<uint32_t>(pic.PixelCount() * 4 + 54);
        uint8_t head[BmpHeaders::kBytes];
        h.Write(head);
        b.insert(b.end(), head, head + sizeof head);
        Int(static_cast<int32_t>(pic.PixelCount()));
        for (uint32_t w : pic.pixels) Int(static_cast<int32_t>(w));
    }
};

std::vector<uint8_t> Encode(const Board& board, const MYBIT& picture, int32_t total, int32_t elapsed) {
    Encoder e;
    e.Block(picture);
    for (int32_t v : {CountGroups(board), total, elapsed, board.count}) e.Int(v);
    for (int i = 0; i < board.count; ++i) {
        const Piece& p = board.pieces[i];
        for (const MYBIT& pic : p.pictures) e.Block(pic);
        for (int32_t v : {p.left, p.top, p.right, p.bottom, p.orientation, p.group}) e.Int(v);
        for (int32_t v : p.neighbours) e.Int(v);
        for (int32_t v : {p.homeLeft, p.homeTop, p.homeRight, p.homeBottom, board.order[i]}) e.Int(v);
    }
    return e.b;
}

// What each side makes of a board: whether the writer wrote it, and what
// the reader makes of the same board written out by hand.
struct BothSides {
    bool written;
    ReadResult read;
};
BothSides WriteAndRead(const Board& board, const MYBIT& picture) {
    const std::string path = TestPath("both.pko");
    std::filesystem::remove(path);
    const bool written = WriteSavedState(board, path, picture, 3, 1);
    // A refused board leaves no file behind, not even a temporary one.
    EXPECT_EQ(std::filesystem::exists(path), written);
    const std::vector<uint8_t> bytes = Encode(board, picture, 3, 1);
    if (written) {
        const std::vector<uint8_t> file = FileBytes(path);
        const auto stray = std::mismatch(file.begin(), file.end(), bytes.begin(), bytes.end());
        EXPECT_TRUE(stray.first == file.end() && stray.second == bytes.end())
            << "the writer strays from the layout at byte " << stray.first - file.begin();
    }
    Board read;
    MYBIT readPicture;
    SavedStateHead head;
    return {written, ReadSavedStateFromMemory(read, bytes.data(), bytes.size(), readPicture, head)};
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

// The small game spoiled by the test: the writer refuses what the reader
// refuses, and writes what it takes.
BothSides Spoiled(void (*spoil)(SmallGame&)) {
    SmallGame g;
    spoil(g);
    return WriteAndRead(g.board, g.picture);
}

void PatchInt(std::vector<uint8_t>& b, size_t at, int32_t v) {
    std::memcpy(b.data() + at, &v, 4);
}

}  // namespace

TEST(SavedState, BothSidesTakeAndRefuseTheSameBoards) {
    constexpr int32_t kFar = 1 << 24;  // the farthest coordinate play could give
    const struct {
        const char* what;
        void (*spoil)(SmallGame&);
        bool fits;
    } cases[] = {
        {"the small game as it is", [](SmallGame&) {}, true},
        {"orientation 8", [](SmallGame& g) { g.board.pieces[0].orientation = 8; }, false},
        {"orientation -1", [](SmallGame& g) { g.board.pieces[0].orientation = -1; }, false},
        {"a neighbour past the last piece",
         [](SmallGame& g) {
             g.board.pieces[2].neighbours = {3, -1};
         },
         false},
        {"a negative neighbour",
         [](SmallGame& g) {
             g.board.pieces[2].neighbours = {-2, -1};
         },
         false},
        {"a piece twice in the order", [](SmallGame& g) { g.board.order[2] = 0; }, false},
        {"no such piece in the order", [](SmallGame& g) { g.board.order[2] = 3; }, false},
        // The board rectangle must have the size of the current picture.
        {"the rectangle of another orientation", [](SmallGame& g) { g.board.pieces[1].orientation = 2; },
         false},
        {"a rectangle one wider", [](SmallGame& g) { g.board.pieces[0].right += 1; }, false},
        // A turned picture must be the plain one's height by its width.
        {"a turned picture not turned", [](SmallGame& g) { g.board.pieces[2].pictures[3].Create(3, 2); },
         false},
        {"an empty piece picture", [](SmallGame& g) { g.board.pieces[2].pictures[5].Free(); }, false},
        {"an empty picture of the game", [](SmallGame& g) { g.picture.Free(); }, false},
        // The block's head is written as what the block is: 32 bits, no compression.
        {"a head that says otherwise",
         [](SmallGame& g) {
             g.picture.hdr.bitCount = 24;
             g.board.pieces[0].pictures[2].hdr.compression = 3;
         },
         true},
        // A group split over two runs of the drawing order.
        {"a split group", [](SmallGame& g) { g.board.pieces[1].group = 2; }, false},
        {"group -1", [](SmallGame& g) { g.board.pieces[2].group = -1; }, false},
        {"group 2^30 - 1", [](SmallGame& g) { g.board.pieces[2].group = (1 << 30) - 1; }, true},
        {"group 2^30", [](SmallGame& g) { g.board.pieces[2].group = 1 << 30; }, false},
        {"a home rectangle inside out", [](SmallGame& g) { g.board.pieces[2].homeRight = 29; }, false},
        {"a home rectangle of no width", [](SmallGame& g) { g.board.pieces[2].homeRight = 30; }, true},
        {"a home rectangle upside down", [](SmallGame& g) { g.board.pieces[2].homeBottom = 4; }, false},
        {"a home rectangle of no height", [](SmallGame& g) { g.board.pieces[2].homeBottom = 5; }, true},
        // Coordinates no play can reach.
        {"reaching 2^24",
         [](SmallGame& g) {
             g.board.pieces[2].left = kFar - 3;
             g.board.pieces[2].right = kFar;
         },
         true},
        {"reaching 2^24 + 1",
         [](SmallGame& g) {
             g.board.pieces[2].left = kFar - 2;
             g.board.pieces[2].right = kFar + 1;
         },
         false},
        {"starting at -2^24 - 1",
         [](SmallGame& g) {
             g.board.pieces[2].left = -kFar - 1;
             g.board.pieces[2].right = -kFar + 2;
         },
         false},
        {"a home at -2^24", [](SmallGame& g) { g.board.pieces[2].homeTop = -kFar; }, true},
        {"a home at -2^24 - 1", [](SmallGame& g) { g.board.pieces[2].homeTop = -kFar - 1; }, false},
    };
    for (const auto& c : cases) {
        const BothSides s = Spoiled(c.spoil);
        EXPECT_EQ(s.written, c.fits) << c.what;
        EXPECT_EQ(s.read, c.fits ? ReadResult::kOk : ReadResult::kBadFile) << c.what;
    }
}

// Pictures as long as the picture readers give, 16384 pixels a side, and
// one pixel more: the game's picture and a piece's.
TEST(SavedState, BothSidesTakePicturesUpToTheReadersLimit) {
    for (const int side : {16383, 16384, 16385})
        for (const bool ofPiece : {false, true}) {
            SmallGame g;
            if (ofPiece) {
                MakePiece(g.board.pieces[2], 1, side, 3, {40, 40});
            } else {
                Numbered(g.picture, side, 1, 99);
            }
            const BothSides s = WriteAndRead(g.board, g.picture);
            EXPECT_EQ(s.written, side <= 16384) << side << (ofPiece ? " of a piece" : "");
            EXPECT_EQ(s.read, side <= 16384 ? ReadResult::kOk : ReadResult::kBadFile) << side;
        }
}

// A full board, in which one piece borders every piece: its neighbour list
// holds all 10000 and the -1.
TEST(SavedState, TenThousandPiecesOneBorderingAllRoundTrip) {
    Board b;
    MYBIT picture;
    Numbered(picture, 100, 100, 5);
    for (int i = 0; i < kMaxPieces; ++i) {
        MakePiece(b.pieces[i], 3, 1, static_cast<uint32_t>(i), {i % 100, i / 100});
        b.pieces[i].group = i;
        b.pieces[i].neighbours = {0, i, -1};
        b.order[i] = kMaxPieces - 1 - i;
    }
    b.pieces[0].neighbours.clear();
    for (int i = 0; i < kMaxPieces; ++i) b.pieces[0].neighbours.push_back(i);
    b.pieces[0].neighbours.push_back(-1);
    b.count = kMaxPieces;

    const std::string path = TestPath("full.pko");
    ASSERT_TRUE(WriteSavedState(b, path, picture, kMaxPieces, 7));
    Board read;
    MYBIT readPicture;
    SavedStateHead head;
    ASSERT_EQ(ReadSavedState(read, path, readPicture, head), ReadResult::kOk);
    EXPECT_EQ(head.groupsLeft, kMaxPieces);
    ASSERT_EQ(read.count, kMaxPieces);
    EXPECT_EQ(read.pieces[0].neighbours, b.pieces[0].neighbours);
    EXPECT_EQ(read.pieces[9999].neighbours, (std::vector<int32_t>{0, 9999, -1}));
    EXPECT_EQ(read.order, b.order);
    EXPECT_EQ(read.pieces[9999].BoardRect(), b.pieces[9999].BoardRect());
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

    // Neighbour lists of up to kMaxPieces + 1 values with the -1, what a
    // piece bordering every piece of a full board holds, on both sides.
    for (const auto& [values, fits] : {std::pair{10000, true}, {10001, true}, {10002, false}}) {
        Board one;
        MYBIT pic;
        Numbered(pic, 1, 1, 1);
        MakePiece(one.pieces[0], 1, 1, 1, {0, 0});
        one.pieces[0].neighbours.assign(values - 1, 0);
        one.pieces[0].neighbours.push_back(-1);
        one.count = 1;
        one.order[0] = 0;
        const BothSides s = WriteAndRead(one, pic);
        EXPECT_EQ(s.written, fits) << values;
        EXPECT_EQ(s.read, fits ? ReadResult::kOk : ReadResult::kBadFile) << values;
    }
}

// The recovery record: the full file once, then the small file of the
// places since, tied to it by its length and digest.

namespace {

// The pair as a game writes it: the full file of the board as it stood, and
// the small file after piece 2 was turned a quarter, moved and joined.
struct RecordPair {
    SmallGame g;
    RecoveryFiles files = RecoveryFilesIn(TestFolder().string());
    RecoveryRecord record{{}, "C:\\絵\\花畑.bmp", 3, 3723000, 2, {}};
    std::vector<uint8_t> full;

    RecordPair() {
        TakePlaces(g.board, record.places);
        EXPECT_TRUE(WriteSavedStateWith(g.board, record.places, files.full, g.picture, 3, 1000, nullptr,
                                        &record.full));
        full = FileBytes(files.full);
        Piece& p2 = g.board.pieces[2];
        p2.orientation = 3;
        p2.left += 7;
        p2.right = p2.left + 2;
        p2.bottom = p2.top + 3;
        p2.group = 1;
        TakePlaces(g.board, record.places);
        EXPECT_TRUE(WriteRecoveryRecord(files.small, record));
    }
};

}  // namespace

// The full file holds the saved game's own bytes, its digest as written is
// the file's, and with the small file it brings back the board as it was
// last, the pictures byte for byte.
TEST(RecoveryRecord, FullFileAndLaterPlacesBringBackTheBoardAsItWasLast) {
    RecordPair pair;
    SmallGame before;
    ASSERT_TRUE(WriteSavedState(before.board, TestPath("plain.pko"), before.picture, 3, 1000));
    EXPECT_EQ(pair.full, FileBytes(TestPath("plain.pko")));
    FileId id;
    ASSERT_TRUE(IdentifyFile(pair.files.full, id));
    EXPECT_EQ(id, pair.record.full);
    EXPECT_EQ(FileBytes(pair.files.small).size(), 52u + pair.record.pictureFile.size() + 28u * 3);

    Board board;
    MYBIT picture;
    RecoveryRecord read;
    ASSERT_EQ(ReadRecovery(pair.files, board, picture, read), ReadResult::kOk);
    EXPECT_EQ(read.pictureFile, pair.record.pictureFile);
    EXPECT_EQ(read.elapsedMs, 3723000);
    EXPECT_EQ(read.hintCount, 2);
    EXPECT_EQ(picture.pixels, pair.g.picture.pixels);
    ASSERT_EQ(board.count, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(PlaceOf(board.pieces[i]), PlaceOf(pair.g.board.pieces[i])) << i;
        EXPECT_EQ(board.order[i], pair.g.board.order[i]);
        for (int o = 0; o < 8; ++o)
            EXPECT_EQ(board.pieces[i].pictures[o].pixels, pair.g.board.pieces[i].pictures[o].pixels);
    }
}

// Each damage refused cleanly: at the look before the offer when the small
// file or the full file's length gives it away, else when the game is read,
// which leaves the board empty.  A full file alone is no record.
TEST(RecoveryRecord, TornForeignOrUnfittingRecordsAreRefused) {
    const auto rewrite = [](std::function<void(RecoveryRecord&)> change) {
        return [change](RecordPair& p) {
            change(p.record);
            ASSERT_TRUE(WriteRecoveryRecord(p.files.small, p.record));
        };
    };
    const auto bytes = [](std::function<void(std::vector<uint8_t>&)> change) {
        return [change](RecordPair& p) {
            std::vector<uint8_t> b = FileBytes(p.files.small);
            change(b);
            ASSERT_TRUE(WriteFileAtomic(p.files.small, b.data(), b.size()));
        };
    };
    const ReadResult ok = ReadResult::kOk, bad = ReadResult::kBadFile, none = ReadResult::kCannotOpen;
    const struct {
        const char* what;
        std::function<void(RecordPair&)> damage;
        ReadResult found, read;
    } cases[] = {
        {"small file a byte short", bytes([](auto& b) { b.pop_back(); }), bad, bad},
        {"small file a byte long", bytes([](auto& b) { b.push_back(0); }), bad, bad},
        {"a place's byte changed", bytes([](auto& b) { b[b.size() - 20] ^= 1; }), bad, bad},
        {"names a full file of another length", rewrite([](auto& r) { ++r.full.size; }), bad, bad},
        {"names another full file", rewrite([](auto& r) { r.full.hash ^= 1; }), ok, bad},
        {"full file missing", [](RecordPair& p) { DeleteFileAt(p.files.full); }, bad, bad},
        {"full file changed",
         [](RecordPair& p) {
             p.full[100] ^= 1;
             ASSERT_TRUE(WriteFileAtomic(p.files.full, p.full.data(), p.full.size()));
         },
         ok, bad},
        {"a piece fewer", rewrite([](auto& r) {
             r.places.pieces.pop_back(), r.places.order = {0, 1};
         }),
         ok, bad},
        {"orientation 8", rewrite([](auto& r) { r.places.pieces[0].orientation = 8; }), ok, bad},
        {"a rectangle wider than its picture", rewrite([](auto& r) { ++r.places.pieces[1].right; }), ok, bad},
        {"a negative count of pieces found", rewrite([](auto& r) { r.hintCount = -1; }), bad, bad},
        {"order not a permutation", rewrite([](auto& r) { r.places.order[1] = r.places.order[0]; }), ok, bad},
        {"a group split", rewrite([](auto& r) { r.places.pieces[0].group = 4; }), ok, bad},
        {"small file missing", [](RecordPair& p) { DeleteFileAt(p.files.small); }, none, none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordPair pair;
        c.damage(pair);
        RecoveryRecord r;
        EXPECT_EQ(FindRecoveryRecord(pair.files, r), c.found);
        Board board;
        MYBIT picture;
        EXPECT_EQ(ReadRecovery(pair.files, board, picture, r), c.read);
        EXPECT_EQ(board.count, c.read == ok ? 3 : 0);
        EXPECT_EQ(picture.Empty(), c.read != ok);
    }
}

// The small file's limits, each at the limit and one beyond.
TEST(RecoveryRecord, PathAndPieceCountAreTakenUpToTheirLimits) {
    const auto decodes = [](size_t pathBytes, int pieces) {
        RecoveryRecord r;
        r.pictureFile.assign(pathBytes, 'p');
        r.places.pieces.resize(static_cast<size_t>(pieces));
        r.places.order.resize(static_cast<size_t>(pieces));
        const std::vector<uint8_t> b = EncodeRecoveryRecord(r);
        RecoveryRecord out;
        return DecodeRecoveryRecord(b.data(), b.size(), out) && out.places.Count() == pieces;
    };
    EXPECT_TRUE(decodes(kMaxRecordPath, kMaxPieces));
    EXPECT_FALSE(decodes(kMaxRecordPath + 1, 1));
    EXPECT_FALSE(decodes(0, kMaxPieces + 1));
}

// A write cancelled on the way keeps the old file and leaves no temporary.
TEST(SavedState, CancelledWriteKeepsTheOldFile) {
    RecordPair pair;
    const std::atomic<bool> cancel{true};
    EXPECT_FALSE(WriteSavedStateWith(pair.g.board, pair.record.places, pair.files.full, pair.g.picture, 3, 2,
                                     &cancel));
    EXPECT_EQ(FileBytes(pair.files.full), pair.full);
    EXPECT_FALSE(FileExists(TemporaryNameFor(pair.files.full)));
}
