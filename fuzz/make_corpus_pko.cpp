// Writes the saved-game fuzzer's seed corpus: tiny saved games written by
// the game's own writer (scattered, joined, turned, mirrored, partly off the
// board, with a speck, with no piece) and a few broken ones the reader must
// refuse (cut short, a neighbour that is no piece, a split group, a
// rectangle of the wrong size, too many pieces, a pixel count that is not
// width x height).
//   make_corpus_pko <corpus folder>   (writes <folder>/pko)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "pieces/board_fixture.h"
#include "pieces/saved_state.h"

namespace {

using fixture::TestBoard;

// The game's picture: w x h of the fixture's colours.
MYBIT Picture(int w, int h) {
    MYBIT m;
    m.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) m.At(x, y) = fixture::PictureColour(x, y);
    return m;
}

// cols x rows pieces of 4 x 3 cells with a soft edge of 1, scattered over
// a 64 x 48 board (the fuzzer's board is larger: they all lie on it).
std::unique_ptr<TestBoard> Grid(int cols, int rows) {
    auto t = std::make_unique<TestBoard>(64, 48);
    t->AddGrid(cols, rows, 4, 3, 1);
    for (int i = 0; i < t->board.count; ++i) {
        Piece& p = t->board.pieces[i];
        fixture::Place(p, 5 + (i * 13) % 50, 4 + (i * 7) % 38, 0);
    }
    return t;
}

// Joins piece `piece` to `anchor`'s group at its exact place, in the
// anchor's orientation, and puts the group together on top.
void Join(Board& b, int piece, int anchor) {
    Piece& a = b.pieces[anchor];
    Piece& p = b.pieces[piece];
    const Rect ha = OrientRect(a.HomeRect(), a.orientation), hp = OrientRect(p.HomeRect(), a.orientation);
    fixture::Place(p, a.left + hp.left - ha.left, a.top + hp.top - ha.top, a.orientation);
    p.group = a.group;
    std::vector<int> order;
    for (int k = 0; k < b.count; ++k)
        if (b.pieces[b.order[k]].group != a.group) order.push_back(b.order[k]);
    for (int k = 0; k < b.count; ++k)
        if (b.pieces[b.order[k]].group == a.group) order.push_back(b.order[k]);
    fixture::SetOrder(b, order);
}

std::vector<uint8_t> Bytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

bool Save(const std::string& folder, const std::string& name, const Board& b, int pictureW = 8,
          int pictureH = 6) {
    const std::string path = folder + "/" + name;
    if (WriteSavedState(b, path, Picture(pictureW, pictureH), b.count, 61000)) return true;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}

bool SaveBytes(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = folder + "/" + name;
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (f) return true;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Where piece `piece`'s board rectangle lies in a saved game of board b with
// a picture of w x h: after the picture block and the four counts, each
// earlier piece block (eight pictures of 58 bytes and their pixels, the
// rectangle, orientation, group, neighbours, home rectangle and order
// entry), then this piece's pictures.  The writer refuses broken boards, so
// the broken seeds are sound games with a field changed here.
size_t RectOffset(const Board& b, int w, int h, int piece) {
    size_t at = 58 + size_t(w) * h * 4 + 16;
    auto pictures = [&](const Piece& p) {
        size_t n = 0;
        for (const MYBIT& m : p.pictures) n += 58 + m.PixelCount() * 4;
        return n;
    };
    for (int i = 0; i < piece; ++i) {
        const Piece& p = b.pieces[i];
        at += pictures(p) + 16 + 4 + 4 + 4 * p.neighbours.size() + 16 + 4;
    }
    return at + pictures(b.pieces[piece]);
}

bool SavePatched(const std::string& folder, const std::string& name, const Board& b, size_t at, uint32_t v) {
    const std::string sound = folder + "/" + name + ".sound";
    if (!Save(folder, name + ".sound", b)) return false;
    std::vector<uint8_t> bytes = Bytes(sound);
    std::filesystem::remove(sound);
    if (bytes.size() < at + 4) return false;
    Put32(bytes, at, v);
    return SaveBytes(folder, name, bytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus_pko <corpus folder>\n");
        return 2;
    }
    const std::string pko = std::string(argv[1]) + "/pko";
    std::filesystem::create_directories(pko);
    bool ok = true;

    // Four pieces, each a group of its own.
    auto scattered = Grid(2, 2);
    ok &= Save(pko, "scattered_2x2.pko", scattered->board);

    // Three in a row: the first two joined and turned a quarter, the third
    // lying a few pixels from its place beside them, so a join snaps.
    auto joined = Grid(3, 1);
    for (int i = 0; i < 3; ++i) fixture::Place(joined->board.pieces[i], 20 + 9 * i, 10 + 3 * i, 1);
    Join(joined->board, 1, 0);
    {
        Board& b = joined->board;
        const Rect h1 = OrientRect(b.pieces[1].HomeRect(), 1), h2 = OrientRect(b.pieces[2].HomeRect(), 1);
        fixture::Place(b.pieces[2], b.pieces[1].left + h2.left - h1.left + 3,
                       b.pieces[1].top + h2.top - h1.top - 2, 1);
    }
    ok &= Save(pko, "joined_turned.pko", joined->board);

    // Mirrored pieces hanging over the top-left edge of the board.
    auto mirrored = Grid(2, 1);
    fixture::Place(mirrored->board.pieces[0], -3, -2, 5);
    fixture::Place(mirrored->board.pieces[1], -9, 30, 4);
    ok &= Save(pko, "mirrored_off_board.pko", mirrored->board);

    // A speck (home at most 2 x 2) among two pieces: it never counts.
    auto speck = Grid(2, 1);
    {
        Board& b = speck->board;
        fixture::MakeRectPiece(b.pieces[2], 40, 40, 2, 2, 0);
        fixture::Place(b.pieces[2], 50, 40, 0);
        b.pieces[2].group = 2;
        b.pieces[2].neighbours = {-1};
        fixture::SetOrder(b, {2, 0, 1});
    }
    ok &= Save(pko, "tiny_piece.pko", speck->board);

    // No piece at all.
    Board empty;
    ok &= Save(pko, "no_pieces.pko", empty, 2, 2);

    // Broken: cut short inside the second piece.
    const std::vector<uint8_t> whole = Bytes(pko + "/scattered_2x2.pko");
    ok &= SaveBytes(
        pko, "broken_cut_short.pko",
        std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(whole.size() * 3 / 8)));

    // Broken: a neighbour that names no piece (piece 0's second value, 7).
    auto stray = Grid(2, 1);
    stray->board.pieces[0].neighbours = {1, 1, -1};
    ok &= SavePatched(pko, "broken_stray_neighbour.pko", stray->board, RectOffset(stray->board, 8, 6, 0) + 16 + 8 + 4,
                      7);

    // Broken: one group on two runs of the drawing order (piece 2 in group 0).
    auto split = Grid(3, 1);
    ok &= SavePatched(pko, "broken_split_group.pko", split->board, RectOffset(split->board, 8, 6, 2) + 16 + 4, 0);

    // Broken: a board rectangle wider than its picture.
    auto wide = Grid(2, 1);
    ok &= SavePatched(pko, "broken_wrong_rectangle.pko", wide->board, RectOffset(wide->board, 8, 6, 1) + 8,
                      static_cast<uint32_t>(wide->board.pieces[1].right + 1));

    // Broken: a piece count past the table, right after the head.
    {
        std::vector<uint8_t> bytes = Bytes(pko + "/no_pieces.pko");
        // picture block (58 + 4 x 4 bytes), groups, total, elapsed, count
        Put32(bytes, 58 + 16 + 12, 10001);
        ok &= SaveBytes(pko, "broken_too_many_pieces.pko", bytes);
    }

    // Broken: a pixel count that is not width x height.
    {
        std::vector<uint8_t> bytes = whole;
        Put32(bytes, 54, 47);
        ok &= SaveBytes(pko, "broken_pixel_count.pko", bytes);
    }
    return ok ? 0 : 1;
}
