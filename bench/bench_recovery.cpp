// The recovery record of a game of 1000 pieces cut from a 2000 x 1500
// picture, as the clock's second drives it (RecordIfDue):
//
//   BM_QuietSecond  a second on which nothing moved: the places copied and
//                   compared on the window's thread, nothing written;
//   BM_FirstRecord  the game's first record: the whole saved game and the
//                   small file, written on the worker;
//   BM_LaterRecord  a record after one piece moved: the small file only.
//
// pause_us is the time the window's thread spent in the call that began
// the record (copying the places and starting the worker), worst of the
// run, and pause_cpu_us the same call's own processor time, worst of the
// run (on a busy machine the wall time's worst is a moment the thread was
// not running at all); worker_ms the wall time from that call until the
// worker was done (the files written, flushed to the disk and renamed);
// bytes what the record wrote.  The folder is the system's temporary
// folder.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "base/file_io.h"
#include "base/quiet_host.h"
#include "bench_pictures.h"
#include "config/settings.h"
#include "game/making_steps.h"
#include "game/puzzle_game.h"
#include "game/recovery_writer.h"
#include "pieces/board_ops.h"
#include "pieces/recovery_record.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Folder() {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "pukko_bench_recovery";
    std::filesystem::create_directories(dir);
    return dir.string();
}

struct Played {
    QuietHost host{Size{2560, 1600}};
    Settings settings = DefaultSettings();
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();
    uint32_t tick = 0;
};

Played& Game() {
    static Played* p = [] {
        auto* played = new Played;
        played->settings.pieceCount = 1000;
        PuzzleGame& g = *played->game;
        g.host = &played->host;
        g.settings = &played->settings;
        g.rng.Seed(1);
        MYBIT picture;
        MakePicture(picture, 2000, 1500);
        if (!MakePuzzleFromPicture(g, picture)) std::fprintf(stderr, "the puzzle was not made\n");
        g.totalPieces = CountGroups(g.board);
        g.pictureFile = "C:\\pukko\\image\\bench.bmp";
        g.recovery.folder = Folder();
        return played;
    }();
    return *p;
}

double ThreadCpuMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// The worst pause of the window's thread in the calls so far.
struct Pause {
    double wall = 0, cpu = 0;
    void Report(benchmark::State& state) const {
        state.counters["pause_us"] = wall;
        state.counters["pause_cpu_us"] = cpu;
    }
};

// One second of the clock, 2 s after the last so that a record is due.
void Second(Played& p, Pause& pause) {
    PuzzleGame& g = *p.game;
    p.tick += kRecordIntervalMs;
    const double cpu = ThreadCpuMicroseconds();
    const Clock::time_point start = Clock::now();
    RecordIfDue(g.recovery, g.board, g.picture, g.pictureFile, PlayMoment{g.totalPieces, 1000, p.tick});
    pause.wall =
        std::max(pause.wall, std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    pause.cpu = std::max(pause.cpu, ThreadCpuMicroseconds() - cpu);
}

// One piece a pixel to the right: a change to record.
void MoveOne(Played& p, int k) {
    Piece& piece = p.game->board.pieces[k % p.game->board.count];
    ++piece.left;
    ++piece.right;
}

uint64_t Bytes(const std::string& path) {
    FilePtr f = OpenFile(path, "rb");
    return f ? static_cast<uint64_t>(FileLength(f.get())) : 0;
}

void Record(benchmark::State& state, bool first) {
    Played& p = Game();
    RecoveryWriter& w = p.game->recovery;
    const RecoveryFiles files = RecoveryFilesIn(w.folder);
    Pause pause, setup;
    double worker = 0;
    int k = 0;
    if (!first) {
        DiscardRecord(w);
        Second(p, setup);
        FinishRecordWork(w);
    }
    for (auto _ : state) {
        if (first) DiscardRecord(w);
        MoveOne(p, k++);
        const Clock::time_point start = Clock::now();
        Second(p, pause);
        if (!w.job) state.SkipWithError("no record began");
        FinishRecordWork(w);
        worker += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    pause.Report(state);
    state.counters["worker_ms"] = worker / static_cast<double>(state.iterations());
    state.counters["bytes"] = static_cast<double>(Bytes(files.small) + (first ? Bytes(files.full) : 0));
    state.counters["pieces"] = p.game->board.count;
}

void BM_FirstRecord(benchmark::State& state) {
    Record(state, true);
}

void BM_LaterRecord(benchmark::State& state) {
    Record(state, false);
}

void BM_QuietSecond(benchmark::State& state) {
    Played& p = Game();
    RecoveryWriter& w = p.game->recovery;
    Pause pause, setup;
    DiscardRecord(w);
    Second(p, setup);
    FinishRecordWork(w);
    for (auto _ : state) Second(p, pause);
    if (w.job) state.SkipWithError("a record began on a quiet board");
    pause.Report(state);
}

}  // namespace

BENCHMARK(BM_QuietSecond)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(3000);
BENCHMARK(BM_FirstRecord)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_LaterRecord)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    DiscardRecord(Game().game->recovery);
    std::filesystem::remove_all(Folder());
    return 0;
}
