// Arrange mode's keys on a 2000 x 1300 arranged picture: one key (colours
// recomputed from the canvas, three blur passes, the picture put on a
// 2560 x 1600 board), and its parts: the pixel-by-pixel conversion the key
// avoids, the hue directions found once when making ends, one blur pass.
#include <benchmark/benchmark.h>

#include <memory>

#include "base/quiet_host.h"
#include "bench_pictures.h"
#include "game/arrange.h"
#include "game/puzzle_game.h"
#include "views/arrange_pixels.h"

namespace {

constexpr int kWidth = 2000, kHeight = 1300;

struct Arranged {
    QuietHost host{Size{2560, 1600}};
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();
    MYBIT board;

    Arranged() {
        PuzzleGame& g = *game;
        g.host = &host;
        board.Create(2560, 1600);
        g.boardPicture = &board;
        MakePicture(g.arrangedCanvas, kWidth, kHeight);
        g.arranged.CopyFrom(g.arrangedCanvas);
        FindHueDirections(g.arrangeDirections, g.arrangedCanvas, 0);
        g.blurCount = 3;
    }
};

// Up and Down by turns (chroma +1, -1) with three blur passes counted.
void BM_ArrangeKey(benchmark::State& state) {
    Arranged a;
    double sign = 1;
    for (auto _ : state) {
        ArrangeAdjust(*a.game, 0, 0, sign, 0);
        sign = -sign;
        benchmark::DoNotOptimize(a.game->arranged.pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ArrangeKey)->Unit(benchmark::kMillisecond);

// RgbToYhc and YhcToPixel for every pixel: what a key costs without the
// directions.
void BM_ConvertPixelByPixel(benchmark::State& state) {
    Arranged a;
    const HueDirections none;
    for (auto _ : state) {
        ConvertArranged(a.game->arranged, a.game->arrangedCanvas, ArrangeOffsets{0, 0, 1}, none);
        benchmark::DoNotOptimize(a.game->arranged.pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ConvertPixelByPixel)->Unit(benchmark::kMillisecond);

// Once per canvas, when making ends.
void BM_FindHueDirections(benchmark::State& state) {
    Arranged a;
    for (auto _ : state) {
        FindHueDirections(a.game->arrangeDirections, a.game->arrangedCanvas, 0);
        benchmark::DoNotOptimize(a.game->arrangeDirections.sinCos.data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_FindHueDirections)->Unit(benchmark::kMillisecond);

void BM_BlurPass(benchmark::State& state) {
    Arranged a;
    for (auto _ : state) {
        BlurArranged(a.game->arranged, 1);
        benchmark::DoNotOptimize(a.game->arranged.pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_BlurPass)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
