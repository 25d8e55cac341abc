// Speed of one mouse move in the pattern window with a long stroke: the
// whole stroke thinned and smoothed again and the canvas redrawn from white.
// Each move must stay well under 5 ms with the full 999 moves.
#include <benchmark/benchmark.h>

#include <cmath>

#include "making/shape_dialog.h"
#include "pattern/pattern_canvas.h"

namespace {

// A wavy stroke of n points across a w x h canvas, two to three pixels a
// move, turning often enough that many points are kept.
std::vector<Point> WavyStroke(int n, int w, int h) {
    std::vector<Point> p;
    for (int i = 0; i < n; ++i) {
        const double x = 10 + (w - 20) * (0.5 + 0.45 * std::sin(i * 0.011));
        const double y = h / 2.0 + (h / 2.0 - 10) * std::sin(i * 0.07) * std::cos(i * 0.013);
        p.push_back({static_cast<int32_t>(x), static_cast<int32_t>(y)});
    }
    return p;
}

// The last move of a stroke that has all its points; range(0), range(1):
// the canvas size.
void BM_StrokeMove(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const std::vector<Point> p = WavyStroke(kMaxStrokePoints, w, h);
    PatternCanvas c;
    CreateCanvas(c, w, h);
    PressCanvas(c, p[0]);
    for (int i = 1; i < kMaxStrokeMoves; ++i) DragCanvas(c, p[i]);
    for (auto _ : state) {
        benchmark::DoNotOptimize(DragCanvas(c, p.back()));  // the 999th move
        c.stroke.points.pop_back();                         // to be made again
    }
    state.counters["kept"] = static_cast<double>(c.scratch.kept.size());
    state.counters["curve"] = static_cast<double>(c.curve.size());
}
BENCHMARK(BM_StrokeMove)->Args({200, 200})->Args({1280, 1024})->Unit(benchmark::kMillisecond);

// The smoothing alone, 999 moves.
void BM_StrokeCurve(benchmark::State& state) {
    const std::vector<Point> p = WavyStroke(kMaxStrokePoints, 1280, 1024);
    std::vector<Point> curve;
    CurveScratch scratch;
    for (auto _ : state) {
        StrokeCurve(p.data(), kMaxStrokePoints, curve, scratch);
        benchmark::DoNotOptimize(curve.data());
    }
}
BENCHMARK(BM_StrokeCurve)->Unit(benchmark::kMillisecond);

// One repaint of the piece-shape preview, done on every move of a drag.
void BM_ShapePreview(benchmark::State& state) {
    const Settings s = DefaultSettings();
    ShapeDialogState d;
    BeginShapeDialog(d, s);
    MYBIT out;
    for (auto _ : state) {
        DrawShapePreview(d, s, out);
        benchmark::DoNotOptimize(out.pixels.data());
    }
}
BENCHMARK(BM_ShapePreview)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
