// Making a whole puzzle from a picture in memory, step by step as the window
// runs it: the grid and its cutting lines, labelling (one mask row per
// step), the rim width, the cutting order, one piece per step (cut, shaded
// in eight orientations and laid on the board) and the neighbours.
//
// The same for a cutting pattern tiled over a large picture, with thin
// lines and with lines so thick that no two pieces share an outline, so
// that every piece is linked across a gap by the search of area_repair.h.
//
// Counters, in milliseconds of wall time per puzzle (pieces are cut on one
// worker thread per core, so a thread's processor time would tell only part
// of it): each stage, and the longest single step (the window must stay
// responsive between steps), with the memory of earlier puzzles as the
// program leaves it; and peak_MB, the peak resident memory while one more
// puzzle was made.
// Nothing here tunes the C library's allocator: the figures are the
// program's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "base/quiet_host.h"
#include "bench_pictures.h"
#include "config/settings.h"
#include "game/making_steps.h"
#include "game/puzzle_game.h"
#include "image/mybit.h"
#include "making/cutting.h"

namespace {

// Peak resident memory, reset before a puzzle (Linux).
void ResetPeakMemory() {
    std::ofstream f("/proc/self/clear_refs");
    f << "5";
}
double PeakMemoryMB() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

struct Clock {
    static double now() {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

// Wall time of each stage of one puzzle, and of its longest step.
struct Stages {
    double prepare = 0, start = 0, label = 0, width = 0, order = 0, cut = 0, neighbours = 0, longest = 0;
    double Whole() const { return prepare + start + label + width + order + cut + neighbours; }
    Stages& operator+=(const Stages& o) {
        prepare += o.prepare, start += o.start, label += o.label, width += o.width, order += o.order;
        cut += o.cut, neighbours += o.neighbours, longest = std::max(longest, o.longest);
        return *this;
    }
};

// Prepares the game's mask and picture: a grid over the picture, or a
// tile pattern repeated over it.
struct Source {
    const MYBIT& picture;
    const MYBIT* tile = nullptr;

    void Prepare(PuzzleGame& g) const {
        if (!tile) {
            PrepareFromPicture(g, picture);
            return;
        }
        g.picture.CopyFrom(picture);
        g.pattern.CopyFrom(*tile);
        const int qw = tile->Width(), qh = tile->Height();
        TilePattern(g, picture.Width(), picture.Height(), qw, qh, 2 * picture.Width() / qw,
                    2 * picture.Height() / qh);
    }
};

Stages MakeOnce(PuzzleGame& g, const Source& source, Host& host) {
    Stages t;
    ResetMaking(g.making);
    g.rng.Seed(1);
    g.placedCount = 0;
    const double t0 = Clock::now();
    source.Prepare(g);
    const double t1 = Clock::now();
    StartCutting(g.making, g.picture, std::move(g.pattern), g.board, host);
    double last = Clock::now();
    t.prepare = t1 - t0;
    t.start = last - t1;
    RunMakingSteps(g, MSG_MAKE_1, [&](unsigned msg) {
        const double now = Clock::now(), ms = now - last;
        last = now;
        t.longest = std::max(t.longest, ms);
        switch (msg) {
            case MSG_MAKE_1:
                t.label += ms;
                break;
            case MSG_MAKE_2:
                t.width += ms;
                break;
            case MSG_MAKE_3:
                t.order += ms;
                break;
            case MSG_PLACE_PIECE:
                t.cut += ms;
                break;
            case MSG_MAKE_5:
                t.neighbours += ms;
                break;
        }
    });
    return t;
}

// Makes the puzzle as often as the benchmark asks, then once more with its
// peak memory measured.
void MakeAndCount(benchmark::State& state, Settings& settings, const Source& source) {
    QuietHost host;
    settings.sound = 0;
    Background background;
    background.boardPicture.CreateFilled(0x9EBE9C, 1280, 1024);
    auto game = std::make_unique<PuzzleGame>();
    PuzzleGame& g = *game;
    g.host = &host;
    g.settings = &settings;
    g.background = &background;
    g.boardPicture = &background.boardPicture;

    Stages total;
    for (auto _ : state) total += MakeOnce(g, source, host);
    const double n = static_cast<double>(state.iterations());
    state.counters["pieces"] = g.making.areaCount;
    state.counters["prepare_ms"] = total.prepare / n;
    state.counters["start_ms"] = total.start / n;
    state.counters["label_ms"] = total.label / n;
    state.counters["width_ms"] = total.width / n;
    state.counters["order_ms"] = total.order / n;
    state.counters["cut_ms"] = total.cut / n;
    state.counters["neighbours_ms"] = total.neighbours / n;
    state.counters["longest_step_ms"] = total.longest;
    // Once more, its peak memory measured.
    ResetMaking(g.making);
    ResetPeakMemory();
    MakeOnce(g, source, host);
    state.counters["peak_MB"] = PeakMemoryMB();
}

void BM_MakePuzzle(benchmark::State& state) {
    Settings settings = DefaultSettings();
    settings.pieceCount = static_cast<int>(state.range(0));
    const int size = static_cast<int>(state.range(1));
    MYBIT picture;
    MakePicture(picture, size, size * 3 / 4);
    MakeAndCount(state, settings, Source{picture});
}

// A 200 x 200 tile (mask words) whose left and top lines are `line` words
// wide, repeated over a 4800 x 3200 picture: 48 x 32 pieces.  With lines
// one word wide the pieces share their outlines; with lines 4 words wide no
// two do, and the search across the gaps links all 1536.
void BM_MakeTiledPattern(benchmark::State& state) {
    const int line = static_cast<int>(state.range(0));
    MYBIT tile;
    tile.CreateFilled(0xFFFFFF, 200, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (x < line || y < line) tile.At(x, y) = 0;
    MYBIT picture;
    MakePicture(picture, 4800, 3200);
    Settings settings = DefaultSettings();
    settings.pieceCount = 0;
    MakeAndCount(state, settings, Source{picture, &tile});
}

// A cutting pattern of closed rings on one white ground: the ground is one
// piece whose outline runs round every ring, and every ring's inside is a
// piece that shares its outline with the ground.  The neighbour search is
// one step, so it must not walk the ground's long outline once per ring.
void BM_NeighboursOfOneSurroundingArea(benchmark::State& state) {
    const int rings = static_cast<int>(state.range(0));
    QuietHost host;
    Settings settings = DefaultSettings();
    auto game = std::make_unique<PuzzleGame>();
    PuzzleGame& g = *game;
    g.host = &host;
    g.settings = &settings;
    MYBIT mask, picture;
    mask.CreateFilled(0xFFFFFF, 4000, 3000);
    picture.Create(2000, 1500);
    // Rings of radius 20 on a 40-pixel grid: 100 across, 75 down.
    for (int i = 0; i < rings; ++i) {
        const int cx = 20 + 40 * (i % 100), cy = 20 + 40 * (i / 100);
        for (int y = -20; y <= 20; ++y)
            for (int x = -20; x <= 20; ++x) {
                const int d = x * x + y * y;
                if (d >= 17 * 17 && d < 19 * 19) mask.At(cx + x, cy + y) = 0;
            }
    }
    StartCutting(g.making, picture, std::move(mask), g.board, host);
    unsigned msg = MSG_MAKE_1;
    while (msg != MSG_MAKE_5) msg = MakingStage(g, msg);
    for (auto _ : state) FindNeighbours(g.making, host);
    state.counters["pieces"] = g.making.areaCount;
    state.counters["ground_outline"] = static_cast<double>(g.making.outlines[0].size());
}

}  // namespace

BENCHMARK(BM_NeighboursOfOneSurroundingArea)->Arg(1000)->Arg(7500)->Unit(benchmark::kMillisecond);

// The three sizes of the goal, and a few large pieces: one piece per step
// makes these the longest single steps a puzzle can have.
BENCHMARK(BM_MakePuzzle)
    ->Args({20, 600})
    ->Args({300, 1200})
    ->Args({1000, 2000})
    ->Args({4, 2000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Lines of one word and of four, a few runs each: one puzzle takes seconds.
BENCHMARK(BM_MakeTiledPattern)->Arg(1)->Arg(4)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
