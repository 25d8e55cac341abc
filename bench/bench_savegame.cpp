// Saving and resuming a game of 1000 pieces cut from a 2000 x 1500 picture:
// writing the whole board to its .pko file, reading it back with every
// check (from the file and from memory, to tell the disk from the parsing),
// and the browser's read of the two counts at the head.
//
// The puzzle is made once, as the game makes it, before any timing.  Times
// are wall-clock: writing and reading are mostly moving bytes to and from
// the file system's cache.  file_MB is the size of the saved game.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/quiet_host.h"
#include "bench_pictures.h"
#include "config/settings.h"
#include "game/clock.h"
#include "game/making_steps.h"
#include "game/puzzle_game.h"
#include "image/mybit.h"
#include "pieces/board_ops.h"
#include "pieces/saved_state.h"

namespace {

std::string SavedPath() {
    return (std::filesystem::temp_directory_path() / "pukko_bench_savegame.pko").string();
}

struct Saved {
    QuietHost host{Size{2560, 1600}};
    Settings settings = DefaultSettings();
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();
    std::string path = SavedPath();
    std::vector<uint8_t> bytes;  // the file as written
};

Saved& Game() {
    static Saved* s = [] {
        auto* saved = new Saved;
        saved->settings.pieceCount = 1000;
        PuzzleGame& g = *saved->game;
        g.host = &saved->host;
        g.settings = &saved->settings;
        g.rng.Seed(1);
        MYBIT picture;
        MakePicture(picture, 2000, 1500);
        if (!MakePuzzleFromPicture(g, picture)) std::fprintf(stderr, "the puzzle was not made\n");
        g.totalPieces = CountGroups(g.board);
        WriteSavedState(g.board, saved->path, g.picture, g.totalPieces, 0);
        ReadWholeFile(saved->path, &saved->bytes, uint64_t{1} << 32);
        return saved;
    }();
    return *s;
}

void Report(benchmark::State& state, const Saved& s) {
    state.counters["pieces"] = s.game->board.count;
    state.counters["file_MB"] = static_cast<double>(s.bytes.size()) / (1024.0 * 1024.0);
}

void BM_WriteSavedState(benchmark::State& state) {
    Saved& s = Game();
    const PuzzleGame& g = *s.game;
    for (auto _ : state)
        if (!WriteSavedState(g.board, s.path, g.picture, g.totalPieces, 0))
            state.SkipWithError("write failed");
    Report(state, s);
}

void BM_ReadSavedState(benchmark::State& state) {
    Saved& s = Game();
    auto board = std::make_unique<Board>();
    MYBIT picture;
    SavedStateHead head;
    for (auto _ : state)
        if (ReadSavedState(*board, s.path, picture, head) != ReadResult::kOk)
            state.SkipWithError("read failed");
    Report(state, s);
}

void BM_ReadSavedStateFromMemory(benchmark::State& state) {
    Saved& s = Game();
    auto board = std::make_unique<Board>();
    MYBIT picture;
    SavedStateHead head;
    for (auto _ : state)
        if (ReadSavedStateFromMemory(*board, s.bytes.data(), s.bytes.size(), picture, head) !=
            ReadResult::kOk)
            state.SkipWithError("read failed");
    Report(state, s);
}

// What the browser reads for each saved game in a folder.
void BM_ReadSavedCounts(benchmark::State& state) {
    Saved& s = Game();
    int32_t remaining = 0, total = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ReadSavedCounts(s.path, remaining, total));
}

}  // namespace

BENCHMARK(BM_WriteSavedState)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_ReadSavedState)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_ReadSavedStateFromMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_ReadSavedCounts)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(5);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(SavedPath());
    return 0;
}
