// The saved-game reader over arbitrary bytes, and the board operations over
// whatever it accepts.  A refused file must leave the board and the picture
// empty; an accepted one must keep the board's invariants through a hit
// test, a raise, a drag, a turn, a join, a sweep and a detach, on a board
// picture the pieces may lie partly or wholly off.  The sanitizers catch
// every read or write outside a picture or a table.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "game/clock.h"
#include "image/mybit.h"
#include "pieces/board.h"
#include "pieces/board_ops.h"
#include "pieces/drag.h"
#include "pieces/join.h"
#include "pieces/saved_state.h"
#include "pieces/turn.h"

namespace {

constexpr int kBoardWidth = 640, kBoardHeight = 480;

void Require(bool ok) {
    if (!ok) std::abort();
}

// What every operation keeps: the drawing order is a permutation of the
// pieces, each group lies on consecutive positions, and every rectangle has
// the size of its current picture.
void RequireSound(const Board& b) {
    const int n = b.count;
    Require(n >= 0 && n <= kMaxPieces);
    std::vector<uint8_t> seen(static_cast<size_t>(n), 0);
    for (int k = 0; k < n; ++k) {
        const int32_t num = b.order[k];
        Require(num >= 0 && num < n && !seen[num]);
        seen[num] = 1;
        const Piece& p = b.pieces[num];
        Require(p.orientation >= 0 && p.orientation <= 7);
        Require(p.right - p.left == p.Current().Width() && p.bottom - p.top == p.Current().Height());
    }
    // A group that ends and shows up again further up has been split.
    std::vector<int32_t> closed;
    for (int k = 0; k < n; ++k) {
        const int32_t g = b.pieces[b.order[k]].group;
        for (int32_t c : closed) Require(c != g);
        if (k + 1 < n && b.pieces[b.order[k + 1]].group != g) closed.push_back(g);
    }
    Require(CountGroups(b) <= n);
}

// Little values taken from the end of the input, so the fuzzer steers the
// operations as well as the file.
struct Knobs {
    const uint8_t* data;
    size_t size;
    size_t used = 0;
    int Next(int range) {
        if (range <= 0 || used >= size) return 0;
        return data[size - 1 - used++] % range;
    }
    // -128 .. 127; 0 for a zero byte, so the seeds' trailing zeros keep a
    // dropped group where it lies.
    int Signed() { return used >= size ? 0 : static_cast<int8_t>(data[size - 1 - used++]); }
};

// The drop after a drag: at most one join, and the groups left never grow.
void Drop(Board& b) {
    const int before = CountGroups(b);
    const int joined = TryJoin(b);
    Require(joined == 0 || joined == 1);
    RequireSound(b);
    Require(CountGroups(b) <= before);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The board's table of 10000 slots and the surfaces are made once; the
    // reader empties the table before it reads.
    static Board* board = new Board();
    static MYBIT* clean = [] {
        MYBIT* m = new MYBIT();
        m->Create(kBoardWidth, kBoardHeight);
        for (int y = 0; y < kBoardHeight; ++y)
            for (int x = 0; x < kBoardWidth; ++x)
                m->At(x, y) = static_cast<uint32_t>(x * 3 ^ y * 5) & 0xFFFFFF;
        return m;
    }();
    static MYBIT* shown = new MYBIT();
    Board& b = *board;

    MYBIT picture;
    SavedStateHead head;
    if (ReadSavedStateFromMemory(b, data, size, picture, head) != ReadResult::kOk) {
        Require(b.count == 0 && picture.Empty());
        return 0;
    }
    Require(!picture.Empty() &&
            picture.PixelCount() == static_cast<size_t>(picture.Width()) * picture.Height());
    RequireSound(b);

    shown->CopyFrom(*clean);
    b.boardPicture = shown;
    b.cleanBoard = clean;
    const Rect whole{0, 0, kBoardWidth, kBoardHeight};
    RedrawRegion(b, whole, 0, b.count - 1);
    // Positions beyond the pieces are left out, whatever the caller asks.
    RedrawRegion(b, whole, -5, kMaxPieces + 5);

    const int n = b.count;
    Knobs knobs{data, size};
    // Corners, the middle, off the board, and inside the top piece.
    std::vector<Point> probes{{0, 0},
                              {kBoardWidth - 1, kBoardHeight - 1},
                              {kBoardWidth / 2, kBoardHeight / 2},
                              {-3, 7},
                              {kBoardWidth + 10, 10},
                              {10, -1}};
    if (n > 0) {
        const Piece& top = b.pieces[b.order[n - 1]];
        probes.push_back({(top.left + top.right) / 2, (top.top + top.bottom) / 2});
        probes.push_back({top.left + 1, top.top + 1});
    }
    int hit = -1;
    for (const Point& p : probes) {
        const int k = HitTest(b, p.x, p.y);
        Require(k >= -1 && k < n);
        if (k >= 0) hit = k;
    }
    Require(RaiseGroup(b, n) == -1 && RaiseGroup(b, -1) == -1);
    if (n == 0) {
        Require(TryJoin(b) == 0 && CountGroups(b) == 0);
        MoveGroup(b, 5, 5);
        DetachPiece(b, 0);
        return 0;
    }

    // A press on the hit piece (or one the input picks) holds its group;
    // it is dragged, dropped, turned about a point near its corner and
    // dropped again.
    const int held = RaiseGroup(b, hit >= 0 ? hit : knobs.Next(n));
    Require(held >= 0 && held < n);
    RequireSound(b);
    MoveGroup(b, knobs.Signed() * 6, knobs.Signed() * 4);
    Drop(b);
    static const int kButtons[] = {0x80, 0x40, 0x20, 0xC0};
    const Piece& top = b.pieces[b.order[n - 1]];
    Require(TurnGroup(b, n - 1, top.left + knobs.Signed() / 4, top.top + knobs.Signed() / 4,
                      kButtons[knobs.Next(4)]) == n - 1);
    RequireSound(b);
    Drop(b);

    const Piece& near = b.pieces[b.order[knobs.Next(n)]];
    SweepGroups(b, near.left - 5, near.top + 3, near.left + knobs.Next(80) - 40,
                near.top + knobs.Next(80) - 40);
    RequireSound(b);

    DetachPiece(b, knobs.Next(n));
    RequireSound(b);
    DetachPiece(b, n);  // not a position: nothing
    RedrawRegion(b, whole, 0, n - 1);
    Require(shown->Width() == kBoardWidth && shown->Height() == kBoardHeight);
    return 0;
}
