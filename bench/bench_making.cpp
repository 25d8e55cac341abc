// Making a whole puzzle from a picture in memory, step by step as the window
// runs it: the grid and its cutting lines, labelling (one mask row per
// step), the rim width, the cutting order, one piece per step (cut, shaded
// in eight orientations and laid on the board) and the neighbours.
//
// Counters, in milliseconds of processor time per puzzle: each stage, and
// the longest single step (the window must stay responsive between steps);
// peak_MB is the process's peak resident memory while the puzzle was made.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

#include "app/settings.h"
#include "base/host.h"
#include "game/puzzle_game.h"
#include "image/mybit.h"
#include "making/cutting.h"
#include "making/making_steps.h"

namespace {

// A host without a window: the making only posts and reports progress.
struct QuietHost : Host {
    uint32_t TickCount() override { return 0; }
    void SetTitle(const std::string&) override {}
    void InvalidateBoard() override {}
    Size ClientSize() override { return {1280, 960}; }
    Size ScreenSize() override { return {1280, 1024}; }
    void SetForeground() override {}
    void SetTimer(unsigned, unsigned) override {}
    void KillTimer(unsigned) override {}
    void PostStep(unsigned) override {}
    int MessageBox(const std::string&, const std::string&, unsigned, Owner) override { return kIdOk; }
    void ShowWindowsError(const std::string&, const std::string&, uint32_t) override {}
    void PlaySound(const std::string&) override {}
    void ShowProgress(int, ColorRef, ColorRef) override {}
    void StepProgress() override {}
    void CloseProgress() override {}
    void OpenGuide(const MYBIT&) override {}
    void CloseGuide() override {}
};

// A photograph-like picture: smooth gradients with some texture, so the rim
// shading works on varied colours.
void MakePicture(MYBIT& p, int w, int h) {
    p.Create(w, h);
    for (int y = 0; y < h; ++y) {
        uint32_t* row = p.Row(y);
        for (int x = 0; x < w; ++x) {
            uint32_t r = (x * 255 / w + ((x * y) >> 7)) & 0xFF;
            uint32_t g = (y * 255 / h + ((x ^ y) & 15)) & 0xFF;
            uint32_t b = ((x + y) * 128 / (w + h) + 64 + ((x * 7 + y * 3) & 31)) & 0xFF;
            row[x] = r << 16 | g << 8 | b;
        }
    }
}

// Peak resident memory, reset before each puzzle (Linux).
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

// Stage times are this thread's processor time, so other work on a shared
// machine does not inflate them.
struct CpuClock {
    using time_point = double;  // milliseconds
    static double now() {
        timespec t;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    }
};
using Clock = CpuClock;
double Ms(double d) {
    return d;
}

void BM_MakePuzzle(benchmark::State& state) {
    const int pieces = static_cast<int>(state.range(0));
    const int size = static_cast<int>(state.range(1));
    QuietHost host;
    Settings settings = DefaultSettings();
    settings.pieceCount = pieces;
    settings.sound = 0;
    Background background;
    background.boardPicture.CreateFilled(0x9EBE9C, 1280, 1024);
    auto game = std::make_unique<PuzzleGame>();
    PuzzleGame& g = *game;
    g.host = &host;
    g.settings = &settings;
    g.background = &background;
    g.boardPicture = &background.boardPicture;
    MYBIT picture;
    MakePicture(picture, size, size * 3 / 4);

    double prepare = 0, start = 0, label = 0, width = 0, order = 0, cut = 0, neighbours = 0, longest = 0;
    double peak = 0;
    int made = 0;
    for (auto _ : state) {
        ResetMaking(g.making);
        g.rng.Seed(1);
        g.placedCount = 0;
        ResetPeakMemory();
        Clock::time_point t0 = Clock::now();
        PrepareFromPicture(g, picture);
        Clock::time_point t1 = Clock::now();
        MYBIT mask = std::move(g.pattern);
        StartCutting(g.making, g.picture, std::move(mask), g.board, host);
        Clock::time_point t2 = Clock::now();
        prepare += Ms(t1 - t0);
        start += Ms(t2 - t1);
        Clock::time_point last = t2;
        RunMakingSteps(g, MSG_MAKE_1, [&](unsigned msg) {
            Clock::time_point now = Clock::now();
            double ms = Ms(now - last);
            last = now;
            longest = std::max(longest, ms);
            switch (msg) {
                case MSG_MAKE_1:
                    label += ms;
                    break;
                case MSG_MAKE_2:
                    width += ms;
                    break;
                case MSG_MAKE_3:
                    order += ms;
                    break;
                case MSG_PLACE_PIECE:
                    cut += ms;
                    break;
                case MSG_MAKE_5:
                    neighbours += ms;
                    break;
            }
        });
        peak = std::max(peak, PeakMemoryMB());
        made = g.making.areaCount;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["pieces"] = made;
    state.counters["prepare_ms"] = prepare / n;
    state.counters["start_ms"] = start / n;
    state.counters["label_ms"] = label / n;
    state.counters["width_ms"] = width / n;
    state.counters["order_ms"] = order / n;
    state.counters["cut_ms"] = cut / n;
    state.counters["neighbours_ms"] = neighbours / n;
    state.counters["longest_step_ms"] = longest;
    state.counters["peak_MB"] = peak;
}

}  // namespace

// The three sizes of the goal, and a few large pieces: one piece per step
// makes these the longest single steps a puzzle can have.
BENCHMARK(BM_MakePuzzle)
    ->Args({20, 600})
    ->Args({300, 1200})
    ->Args({1000, 2000})
    ->Args({4, 2000})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
