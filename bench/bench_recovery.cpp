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
// run; worker_ms the wall time from that call until the worker was done
// (the files written, flushed to the disk and renamed); bytes what the
// record wrote.  The folder is the system's temporary folder.
#include <benchmark/benchmark.h>

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

// One second of the clock, 2 s after the last so that a record is due.
double Second(Played& p) {
    PuzzleGame& g = *p.game;
    p.tick += kRecordIntervalMs;
    const Clock::time_point start = Clock::now();
    RecordIfDue(g.recovery, g.board, g.picture, g.pictureFile, PlayMoment{g.totalPieces, 1000, p.tick});
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// One piece a pixel to the right: a change to record.
void MoveOne(Played& p, int k) {
    Piece& piece = p.game->board.pieces[k % p.game->board.count];
    ++piece.left;
    ++piece.right;
}

uint64_t Bytes(const std::string& path) {
    std::error_code e;
    const auto n = std::filesystem::file_size(path, e);
    return e ? 0 : n;
}

void Record(benchmark::State& state, bool first) {
    Played& p = Game();
    RecoveryWriter& w = p.game->recovery;
    const RecoveryFiles files = RecoveryFilesIn(w.folder);
    double longest = 0, worker = 0;
    int k = 0;
    if (!first) {
        DiscardRecord(w);
        Second(p);
        FinishRecordWork(w);
    }
    for (auto _ : state) {
        if (first) DiscardRecord(w);
        MoveOne(p, k++);
        const Clock::time_point start = Clock::now();
        longest = std::max(longest, Second(p));
        if (!w.job) state.SkipWithError("no record began");
        FinishRecordWork(w);
        worker += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    state.counters["pause_us"] = longest;
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
    DiscardRecord(w);
    Second(p);
    FinishRecordWork(w);
    double longest = 0;
    for (auto _ : state) longest = std::max(longest, Second(p));
    if (w.job) state.SkipWithError("a record began on a quiet board");
    state.counters["pause_us"] = longest;
}

}  // namespace

BENCHMARK(BM_QuietSecond)->Unit(benchmark::kMicrosecond)->UseRealTime();
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
