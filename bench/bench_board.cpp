// The board operations on a puzzle of 1000 pieces cut from a 2000 x 1500
// picture (40 x 25 rectangular pieces with soft edges) lying on a board of
// 2560 x 1600: dragging a group of 100, trying a join, raising, and
// recomposing the whole board picture.
#include <benchmark/benchmark.h>

#include <random>

#include "pieces/board_fixture.h"
#include "pieces/board_ops.h"
#include "pieces/drag.h"
#include "pieces/join.h"

namespace {

constexpr int kCols = 40, kRows = 25, kCell = 50, kCellH = 60;
constexpr int kBlock = 10;  // the held group: a block of 10 x 10 pieces

// Built once: the pieces scattered over the board, every one its own group
// but the 10 x 10 block at the top-left of the picture, which lies joined
// in the middle of the board on top of the drawing order.
fixture::TestBoard& Puzzle() {
    static fixture::TestBoard* t = [] {
        auto* tb = new fixture::TestBoard(2560, 1600);
        tb->AddGrid(kCols, kRows, kCell, kCellH, 1);
        Board& b = tb->board;
        std::mt19937 rng(7);
        std::vector<int32_t> order;
        for (int i = 0; i < b.count; ++i) {
            Piece& p = b.pieces[i];
            const int c = i % kCols, r = i / kCols;
            if (c < kBlock && r < kBlock) {
                fixture::Place(p, 800 + p.homeLeft, 500 + p.homeTop, 0);
                p.group = 0;
            } else {
                fixture::Place(p, static_cast<int>(rng() % 2500), static_cast<int>(rng() % 1530), 0);
                order.push_back(i);
            }
        }
        for (int r = 0; r < kBlock; ++r)
            for (int c = 0; c < kBlock; ++c) order.push_back(r * kCols + c);
        std::copy(order.begin(), order.end(), b.order.begin());
        tb->Redraw();
        return tb;
    }();
    return *t;
}

void BM_MoveGroup100(benchmark::State& state) {
    Board& b = Puzzle().board;
    int step = 3;
    for (auto _ : state) {
        MoveGroup(b, step, step);
        step = -step;
    }
}
BENCHMARK(BM_MoveGroup100)->Unit(benchmark::kMillisecond);

// The usual drop: the 100-piece group lies nowhere near its place.
void BM_TryJoinMiss(benchmark::State& state) {
    Board& b = Puzzle().board;
    for (auto _ : state) benchmark::DoNotOptimize(TryJoin(b));
}
BENCHMARK(BM_TryJoinMiss)->Unit(benchmark::kMicrosecond);

// A single piece dropped 3 pixels off its place right of `anchor`, joined,
// then taken out again outside the timing.  The join redraws the merged
// group, so joining the block costs about as much as moving it.
void JoinBeside(benchmark::State& state, int loose, int anchor) {
    Board& b = Puzzle().board;
    for (int k = 0; k < b.count; ++k)
        if (b.order[k] == loose) RaiseGroup(b, k);
    const Piece& left = b.pieces[anchor];
    int joined = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const Piece& p = b.pieces[loose];
        MoveGroup(b, left.left + kCell + 3 - p.left, left.top - p.top);
        state.ResumeTiming();
        joined += TryJoin(b);
        state.PauseTiming();
        DetachPiece(b, b.count - 1);  // the loose piece is on top
        state.ResumeTiming();
    }
    state.counters["joined"] = benchmark::Counter(joined, benchmark::Counter::kAvgIterations);
}

void BM_TryJoinHitPiece(benchmark::State& state) {
    JoinBeside(state, 2 * kCols - 1, 2 * kCols - 2);
}
BENCHMARK(BM_TryJoinHitPiece)->Unit(benchmark::kMicrosecond);

void BM_TryJoinHitBlock(benchmark::State& state) {
    JoinBeside(state, kBlock, kBlock - 1);
}
BENCHMARK(BM_TryJoinHitBlock)->Unit(benchmark::kMicrosecond);

// Raising whatever lies at the bottom, one piece at a time.
void BM_RaiseGroupBottom(benchmark::State& state) {
    Board& b = Puzzle().board;
    for (auto _ : state) benchmark::DoNotOptimize(RaiseGroup(b, 0));
}
BENCHMARK(BM_RaiseGroupBottom)->Unit(benchmark::kMicrosecond);

// The block of 100 raised from below the rest.
void BM_RaiseGroup100(benchmark::State& state) {
    Board& b = Puzzle().board;
    for (auto _ : state) {
        state.PauseTiming();
        // Sink the block: raise every other group once.
        while (b.pieces[b.order[0]].group != b.pieces[0].group) RaiseGroup(b, 0);
        state.ResumeTiming();
        benchmark::DoNotOptimize(RaiseGroup(b, 0));
    }
}
BENCHMARK(BM_RaiseGroup100)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_FullRedraw(benchmark::State& state) {
    fixture::TestBoard& t = Puzzle();
    for (auto _ : state) {
        t.picture.CopyFrom(t.clean);
        RedrawRegion(t.board, Rect{0, 0, t.picture.Width(), t.picture.Height()}, 0, t.board.count - 1);
    }
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
