// The browser's cells, one at a time as the scan worker makes them: a
// 12-megapixel baseline JPEG, a 2000-pixel BMP, and the saved game of a
// 1000-piece puzzle (about 170 MB, of which the cell reads only the picture
// block and the two counts after it; the same block alone in a file is
// timed beside it).  items_per_second is cells a second on one core.  The
// photograph's cell is also made at 200 % (200-pixel cells, the artwork
// stretched once as the strip loads it).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "base/file_io.h"
#include "base/quiet_host.h"
#include "bench_pictures.h"
#include "browser/folder_scan.h"
#include "config/settings.h"
#include "game/clock.h"
#include "game/making_steps.h"
#include "game/puzzle_game.h"
#include "image/jpeg_read.h"
#include "image/read_files.h"
#include "pieces/board_ops.h"
#include "pieces/saved_state.h"

namespace {

namespace fs = std::filesystem;

fs::path Dir() {
    fs::path d = fs::temp_directory_path() / "pukko_bench_browser";
    fs::create_directories(d);
    return d;
}

// Artwork of the shapes the game's has: a frame with a soft border, and
// 16 x 25 digits.
const BrowserArtwork& Art() {
    static BrowserArtwork* art = [] {
        auto* a = new BrowserArtwork;
        a->frame.Create(kCellSide, kCellSide);
        for (int y = 0; y < kCellSide; ++y)
            for (int x = 0; x < kCellSide; ++x)
                if (x < 4 || y < 4 || x >= 96 || y >= 96) a->frame.At(x, y) = 0xC0404040;
        for (MYBIT& d : a->digits) {
            d.CreateFilled(0xFFFFFF, 16, 25);
            for (uint32_t& w : d.pixels) w |= 0x80000000;
        }
        return a;
    }();
    return *art;
}

std::string Photo() {
    static const std::string path = [] {
        readtest::Jpeg j;
        j.width = 4000;
        j.height = 3000;
        j.quality = 90;
        j.fill = PhotoSamples;
        const std::string p = (Dir() / "photo.jpg").string();
        readtest::WriteFile(p, j.Build());
        return p;
    }();
    return path;
}

std::string Bitmap() {
    static const std::string path = [] {
        MYBIT p;
        MakePicture(p, 2000, 1500);
        const std::string file = (Dir() / "picture.bmp").string();
        p.SaveFile(file);
        return file;
    }();
    return path;
}

// The saved game of a 1000-piece puzzle at 2000 pixels, made as the game
// makes it, and a file holding only its head.
struct Saved {
    std::string whole, head;
};
const Saved& SavedGame() {
    static const Saved saved = [] {
        QuietHost host{Size{2560, 1600}};
        Settings settings = DefaultSettings();
        settings.pieceCount = 1000;
        auto g = std::make_unique<PuzzleGame>();
        g->host = &host;
        g->settings = &settings;
        g->rng.Seed(1);
        MYBIT picture;
        MakePicture(picture, 2000, 1500);
        MakePuzzleFromPicture(*g, picture);
        Saved s{(Dir() / "game.pko").string(), (Dir() / "head.pko").string()};
        WriteSavedState(g->board, s.whole, g->picture, CountGroups(g->board), 0);
        Board empty;
        WriteSavedState(empty, s.head, g->picture, CountGroups(g->board), 0);
        return s;
    }();
    return saved;
}

// The decoder alone on the photograph, at 1/4 and 1/8 of its size.
void BM_DecodeJpeg12Mp(benchmark::State& state) {
    std::vector<uint8_t> bytes;
    ReadWholeFile(Photo(), &bytes, uint64_t{1} << 30);
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    for (auto _ : state)
        ReadJpeg(bytes.data(), bytes.size(), pixels, w, h, static_cast<int>(state.range(0)), false);
    state.SetItemsProcessed(state.iterations());
}

// The artwork of Art() as a strip at dpi has it: stretched by the scale.
const BrowserArtwork& ScaledArt(int dpi) {
    static BrowserArtwork* art = [dpi] {
        auto* a = new BrowserArtwork;
        a->dpi = dpi;
        a->frame.StretchFrom(Art().frame, ScalePx(kCellSide, dpi), ScalePx(kCellSide, dpi));
        for (size_t i = 0; i < a->digits.size(); ++i)
            a->digits[i].StretchFrom(Art().digits[i], ScalePx(16, dpi), ScalePx(25, dpi));
        return a;
    }();
    return *art;
}

void Cell(benchmark::State& state, const std::string& path, const BrowserArtwork& art = Art()) {
    QuietHost host;
    MYBIT cell;
    for (auto _ : state) MakeFileCell(cell, path, art, host);
    state.SetItemsProcessed(state.iterations());
    state.counters["file_MB"] = static_cast<double>(fs::file_size(path)) / (1024.0 * 1024.0);
}

void BM_CellOfJpeg12Mp(benchmark::State& state) {
    Cell(state, Photo());
}
void BM_CellOfJpeg12MpAt200Percent(benchmark::State& state) {
    Cell(state, Photo(), ScaledArt(192));
}
void BM_CellOfBmp2000(benchmark::State& state) {
    Cell(state, Bitmap());
}
void BM_CellOfSavedGame1000(benchmark::State& state) {
    Cell(state, SavedGame().whole);
}
void BM_CellOfSavedGameHeadAlone(benchmark::State& state) {
    Cell(state, SavedGame().head);
}

}  // namespace

BENCHMARK(BM_DecodeJpeg12Mp)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_CellOfJpeg12Mp)->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_CellOfJpeg12MpAt200Percent)->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_CellOfBmp2000)->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_CellOfSavedGame1000)->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_CellOfSavedGameHeadAlone)->Unit(benchmark::kMillisecond)->Repetitions(3);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(Dir());
    return 0;
}
