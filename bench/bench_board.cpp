// The board operations on a real puzzle: 1000 pieces cut by the making steps
// from a 2000 x 1500 picture (knobbed outlines, soft rims) and scattered over
// a board of 2560 x 1600: dragging a group of 100, trying a join, raising,
// and recomposing the whole board picture.  Then the same puzzle on a table
// of 4000 x 2500 seen in a 1920 x 1080 client: a drag in the fit view, and
// the whole client made anew from the table at several scales (a wheel
// step).  And the guide as a finder: a guide point to the piece that goes
// there, and the mark of a held group's home.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/quiet_host.h"
#include "bench_pictures.h"
#include "config/settings.h"
#include "game/finder.h"
#include "game/making_steps.h"
#include "game/puzzle_game.h"
#include "image/mybit.h"
#include "making/grid.h"
#include "pieces/board_ops.h"
#include "pieces/drag.h"
#include "pieces/join.h"
#include "views/guide.h"
#include "views/table_view.h"

namespace {

constexpr Size kBoard{2560, 1600};
constexpr Size kTable{4000, 2500}, kClient{1920, 1080};
constexpr int kBlock = 10;                      // the held group: a block of 10 x 10 cells
constexpr int kBlockColumn = 2, kBlockRow = 2;  // its top-left cell
constexpr int kBlockDx = 1500, kBlockDy = 400;  // from its home, clear of the scattered pieces

struct Puzzle {
    explicit Puzzle(Size board) : host(board), size(board) {}
    QuietHost host;
    Size size;
    Settings settings = DefaultSettings();
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();
    MYBIT clean, picture;
    std::map<std::pair<int, int>, int> cells;  // (column, row) -> piece number
    int blockFirst = -1;                       // a piece of the block
    bool ok = false;

    Board& board() { return game->board; }
    int At(int column, int row) const {
        auto it = cells.find({column, row});
        return it == cells.end() ? -1 : it->second;
    }
};

// The pieces as the making scattered them (unturned: rotation off), each
// its own group, but the 10 x 10 block of cells near the picture's top-left
// corner, which lies joined in the middle of the board on top of the
// drawing order.
Puzzle* MakeBlockPuzzle(Size board) {
    auto* z = new Puzzle(board);
    z->settings.pieceCount = 1000;
    z->settings.rotation = 0;
    z->settings.flip = 0;
    z->clean.CreateFilled(0x9EBE9C, board.cx, board.cy);
    z->picture.CopyFrom(z->clean);
    PuzzleGame& g = *z->game;
    g.host = &z->host;
    g.settings = &z->settings;
    g.boardPicture = &z->picture;
    g.board.boardPicture = &z->picture;
    g.board.cleanBoard = &z->clean;
    g.rng.Seed(1);
    MYBIT source;
    MakePicture(source, 2000, 1500);
    if (!MakePuzzleFromPicture(g, source)) return z;

    // Each cell's piece, by the centre of its home rectangle; the specks
    // where cutting lines meet belong to no cell.
    const int cell = DivideGrid(1000, 4000, 3000, 0, z->host).cellWidth / 2;  // picture pixels
    Board& b = g.board;
    for (int i = 0; i < b.count; ++i) {
        const Piece& p = b.pieces[i];
        if (p.homeRight - p.homeLeft < cell / 2) continue;
        z->cells[{(p.homeLeft + p.homeRight) / 2 / cell, (p.homeTop + p.homeBottom) / 2 / cell}] = i;
    }

    std::vector<char> inBlock(static_cast<size_t>(b.count), 0);
    z->blockFirst = z->At(kBlockColumn, kBlockRow);
    for (int r = kBlockRow; r < kBlockRow + kBlock; ++r)
        for (int c = kBlockColumn; c < kBlockColumn + kBlock; ++c) {
            const int i = z->At(c, r);
            if (i < 0) return z;
            Piece& p = b.pieces[i];
            PlaceAtHome(b, i);
            p.left += kBlockDx, p.right += kBlockDx;
            p.top += kBlockDy, p.bottom += kBlockDy;
            p.group = z->blockFirst;
            inBlock[i] = 1;
        }
    std::stable_partition(b.order.begin(), b.order.begin() + b.count, [&](int k) { return !inBlock[k]; });
    z->picture.CopyFrom(z->clean);
    RedrawRegion(b, Rect{0, 0, board.cx, board.cy}, 0, b.count - 1);
    z->ok = true;
    return z;
}

// Each built once, when first asked for.
Puzzle& ThePuzzle() {
    static Puzzle* t = MakeBlockPuzzle(kBoard);
    return *t;
}
Puzzle& TablePuzzle() {
    static Puzzle* t = MakeBlockPuzzle(kTable);
    return *t;
}

// The puzzle, with the group of piece `top` raised; null (and the benchmark
// skipped) when the puzzle could not be made.
Board* Ready(benchmark::State& state, int top, Puzzle& z = ThePuzzle()) {
    if (!z.ok || top < 0) {
        state.SkipWithError("the puzzle was not made as planned");
        return nullptr;
    }
    Board& b = z.board();
    const int k = LowestPositionOf(b, b.pieces[top].group);
    if (k >= 0) RaiseGroup(b, k);
    state.counters["pieces"] = b.count;
    return &b;
}

void BM_MoveGroup100(benchmark::State& state) {
    Board* b = Ready(state, ThePuzzle().blockFirst);
    if (!b) return;
    const int group = b->pieces[ThePuzzle().blockFirst].group;
    state.counters["held"] = static_cast<double>(std::count_if(
        b->pieces.begin(), b->pieces.begin() + b->count, [&](const Piece& p) { return p.group == group; }));
    int step = 3;
    for (auto _ : state) {
        MoveGroup(*b, step, step);
        step = -step;
    }
}
BENCHMARK(BM_MoveGroup100)->Unit(benchmark::kMillisecond);

// The usual drop: the 100-piece group lies nowhere near its place.
void BM_TryJoinMiss(benchmark::State& state) {
    Board* b = Ready(state, ThePuzzle().blockFirst);
    if (!b) return;
    for (auto _ : state) benchmark::DoNotOptimize(TryJoin(*b));
}
BENCHMARK(BM_TryJoinMiss)->Unit(benchmark::kMicrosecond);

// Piece `loose` dropped 3 pixels right of its place beside `anchor`, joined,
// then taken out again outside the timing.  The join redraws the merged
// group, so joining the block costs about as much as moving it.
void JoinBeside(benchmark::State& state, int loose, int anchor) {
    Board* bp = Ready(state, loose);
    if (!bp || anchor < 0) return;
    Board& b = *bp;
    const Piece& a = b.pieces[anchor];
    const Piece& p = b.pieces[loose];
    int joined = 0;
    for (auto _ : state) {
        state.PauseTiming();
        MoveGroup(b, a.left + (p.homeLeft - a.homeLeft) + 3 - p.left,
                  a.top + (p.homeTop - a.homeTop) - p.top);
        state.ResumeTiming();
        joined += TryJoin(b);
        state.PauseTiming();
        for (int k = b.count - 1; k >= 0; --k)
            if (b.order[k] == loose) {
                DetachPiece(b, k);
                break;
            }
        state.ResumeTiming();
    }
    state.counters["joined"] = benchmark::Counter(joined, benchmark::Counter::kAvgIterations);
}

// Two scattered pieces far from the block.
void BM_TryJoinHitPiece(benchmark::State& state) {
    const Puzzle& z = ThePuzzle();
    JoinBeside(state, z.At(30, 20), z.At(29, 20));
}
BENCHMARK(BM_TryJoinHitPiece)->Unit(benchmark::kMicrosecond);

// A piece joining the block on its right.
void BM_TryJoinHitBlock(benchmark::State& state) {
    const Puzzle& z = ThePuzzle();
    JoinBeside(state, z.At(kBlockColumn + kBlock, kBlockRow), z.At(kBlockColumn + kBlock - 1, kBlockRow));
}
BENCHMARK(BM_TryJoinHitBlock)->Unit(benchmark::kMicrosecond);

// Raising whatever lies at the bottom, one piece at a time.
void BM_RaiseGroupBottom(benchmark::State& state) {
    Board* b = Ready(state, ThePuzzle().blockFirst);
    if (!b) return;
    for (auto _ : state) benchmark::DoNotOptimize(RaiseGroup(*b, 0));
}
BENCHMARK(BM_RaiseGroupBottom)->Unit(benchmark::kMicrosecond);

// The block of 100 raised from below the rest.
void BM_RaiseGroup100(benchmark::State& state) {
    const int first = ThePuzzle().blockFirst;
    Board* b = Ready(state, first);
    if (!b) return;
    for (auto _ : state) {
        state.PauseTiming();
        // Sink the block: raise every other group once.
        while (b->pieces[b->order[0]].group != b->pieces[first].group) RaiseGroup(*b, 0);
        state.ResumeTiming();
        benchmark::DoNotOptimize(RaiseGroup(*b, 0));
    }
}
BENCHMARK(BM_RaiseGroup100)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_FullRedraw(benchmark::State& state) {
    Puzzle& z = ThePuzzle();
    Board* b = Ready(state, z.blockFirst);
    if (!b) return;
    for (auto _ : state) {
        z.picture.CopyFrom(z.clean);
        RedrawRegion(*b, Rect{0, 0, kBoard.cx, kBoard.cy}, 0, b->count - 1);
    }
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

// What one pointer move of the block costs the core in the fit view (43 %):
// the group moved on the table, and the client pixels of what changed made
// anew from it, as the window's paint makes them.
void BM_FitViewMoveGroup100(benchmark::State& state) {
    Puzzle& z = TablePuzzle();
    Board* b = Ready(state, z.blockFirst, z);
    if (!b) return;
    TableView v;
    StartView(v, kTable, kClient, kClient);
    MYBIT client;
    client.Create(kClient.cx, kClient.cy);
    int step = 3;  // table pixels: a little more than a client pixel
    double area = 0;
    for (auto _ : state) {
        b->changed = Rect{};
        MoveGroup(*b, step, step);
        step = -step;
        const Rect r = v.TableToClient(b->changed);
        StretchView(z.picture, ViewMap{v.scale, v.originX, v.originY}, client, r, 0);
        area += double(r.Width()) * r.Height();
    }
    state.counters["scale"] = v.scale;
    state.counters["client_px"] = benchmark::Counter(area, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FitViewMoveGroup100)->Unit(benchmark::kMillisecond);

// The whole client made from the table, as after a wheel step: at the fit,
// at 64 % and 80 %, at 100 % with a fractional origin, and at 156 % and 200 %.
void BM_WholeClientFromTable(benchmark::State& state) {
    Puzzle& z = TablePuzzle();
    if (!Ready(state, z.blockFirst, z)) return;
    TableView v;
    StartView(v, kTable, kClient, kClient);
    const double scales[] = {v.scale, 0.64, 0.8, 1.0, 1.5625, 2.0};
    const double s = scales[state.range(0)];
    MYBIT client;
    client.Create(kClient.cx, kClient.cy);
    const ViewMap map{s, 1000.5, 600.25};
    for (auto _ : state) StretchView(z.picture, map, client, Rect{0, 0, kClient.cx, kClient.cy}, 0);
    state.counters["scale"] = s;
}
BENCHMARK(BM_WholeClientFromTable)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

// The guide of the 1000-piece puzzle at twice its start size at 96 DPI.
constexpr int kGuideSide = 240;

// A click on the guide: its point to the picture pixel it shows to the
// piece whose home covers that pixel, over points spread across the guide.
void BM_GuidePointToPiece(benchmark::State& state) {
    Puzzle& z = ThePuzzle();
    if (!Ready(state, z.blockFirst)) return;
    const PuzzleGame& g = *z.game;
    const Size picture{g.picture.Width(), g.picture.Height()}, guide{kGuideSide, kGuideSide};
    int x = 0, y = 0, found = 0;
    for (auto _ : state) {
        Point pixel;
        if (GuideToPicture(picture, guide, Point{x, y}, &pixel)) found += PieceAtHome(g.board, pixel) >= 0;
        x = (x + 37) % kGuideSide;
        y = (y + 53) % kGuideSide;
    }
    state.counters["found"] = benchmark::Counter(found, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_GuidePointToPiece)->Unit(benchmark::kMicrosecond);

// What a move of a held group costs the guide at most: the group's home
// found on the board, and the mark moved from another group's home to it
// (0: the old ring's pixels put back, the new one drawn), or made on a
// guide without a mark and taken away again (1: the canvas copied whole).
void BM_GuideMarkMove(benchmark::State& state) {
    Puzzle& z = ThePuzzle();
    if (!Ready(state, z.blockFirst)) return;
    const PuzzleGame& g = *z.game;
    GuideView guide;
    guide.picture.CopyFrom(g.picture);
    FitGuideCanvas(guide, kGuideSide, kGuideSide);
    const int groups[2] = {g.board.pieces[z.blockFirst].group, g.board.pieces[z.At(30, 20)].group};
    const bool fresh = state.range(0) == 1;
    int turn = 0;
    for (auto _ : state) {
        const Rect home = GroupHome(g.board, groups[turn ^= 1]);
        benchmark::DoNotOptimize(SetGuideMark(guide, home, kGuideMarkWidth));
        if (fresh) benchmark::DoNotOptimize(SetGuideMark(guide, Rect{}, kGuideMarkWidth));
    }
}
BENCHMARK(BM_GuideMarkMove)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
