// The two layout commands on a 1000-piece puzzle in a 1920 x 1080 window:
// the pieces cut by the making steps from a 1600 x 1200 picture, scattered,
// with a joined block of them; each command lays them out and draws the
// board again once.  Pieces this size do not fit apart, so the tighter
// rows are searched too.
#include <benchmark/benchmark.h>

#include <memory>

#include "base/quiet_host.h"
#include "bench_pictures.h"
#include "config/settings.h"
#include "game/board_commands.h"
#include "game/game_record.h"
#include "game/making_steps.h"
#include "game/puzzle_game.h"
#include "pieces/layout.h"

namespace {

struct Puzzle {
    QuietHost host{Size{1920, 1080}};
    Settings settings = DefaultSettings();
    Background background;
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();
    bool ok = false;
};

Puzzle& ThePuzzle() {
    static Puzzle* t = [] {
        auto* z = new Puzzle;
        z->settings.pieceCount = 1000;
        z->settings.tileFile[0] = '\0';
        PuzzleGame& g = *z->game;
        InitGame(g, z->host, z->settings, z->background);
        g.rng.Seed(1);
        MYBIT source;
        MakePicture(source, 1600, 1200);
        if (!MakePuzzleFromPicture(g, source)) return z;
        // Twenty pieces joined into one group, so that the layout has a
        // group to keep clear of.
        Board& b = g.board;
        for (int k = 0; k < 20; ++k) b.pieces[b.order[k]].group = b.pieces[b.order[0]].group;
        z->ok = b.count >= 900;
        return z;
    }();
    return *t;
}

PuzzleGame* Ready(benchmark::State& state) {
    Puzzle& z = ThePuzzle();
    if (!z.ok) {
        state.SkipWithError("the puzzle was not made");
        return nullptr;
    }
    state.counters["pieces"] = z.game->board.count;
    return z.game.get();
}

void BM_GatherEdges(benchmark::State& state) {
    PuzzleGame* g = Ready(state);
    if (!g) return;
    for (auto _ : state) GatherEdgesCommand(*g);
}
BENCHMARK(BM_GatherEdges)->Unit(benchmark::kMillisecond);

void BM_LayOut(benchmark::State& state) {
    PuzzleGame* g = Ready(state);
    if (!g) return;
    for (auto _ : state) LayOutCommand(*g);
}
BENCHMARK(BM_LayOut)->Unit(benchmark::kMillisecond);

// The packing alone, without the redraw.
void BM_PackLoosePieces(benchmark::State& state) {
    PuzzleGame* g = Ready(state);
    if (!g) return;
    const Board& b = g->board;
    std::vector<Size> sizes;
    for (int k = 20; k < b.count; ++k) {
        const Piece& p = b.pieces[b.order[k]];
        sizes.push_back(Size{p.right - p.left, p.bottom - p.top});
    }
    std::vector<Rect> groups;
    for (int k = 0; k < 20; ++k) groups.push_back(b.pieces[b.order[k]].BoardRect());
    double step = 0;
    for (auto _ : state) step = PackInRows(sizes, Size{1920, 1080}, groups).step;
    state.counters["step"] = step;
}
BENCHMARK(BM_PackLoosePieces)->Unit(benchmark::kMillisecond);

// One redraw of the board, for comparison.
void BM_RefreshBoard(benchmark::State& state) {
    PuzzleGame* g = Ready(state);
    if (!g) return;
    for (auto _ : state) RefreshBoard(*g);
}
BENCHMARK(BM_RefreshBoard)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
