// pukko-make as the player gets it: the whole process, started afresh for
// every run, on a 5120 x 2880 progressive JPEG of a grainy photograph at
// 1000 pieces and 2000 pixels; beside it, in the same run, the JPEG
// library's own full decode of the same file, the yardstick of the goal
// (the whole run within twice the decode).
//
// Counters of the maker's run, from its own report: the cutting stage
// (cut_ms), its whole making (total_ms) and its peak memory (peak_MB).  The
// photograph is written once to PUKKO_BENCH_TMP (default /tmp).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_pictures.h"
#include "image/read_files.h"

namespace {

const std::string& Photo() {
    static const std::string path = [] {
        const char* dir = std::getenv("PUKKO_BENCH_TMP");
        std::string p = std::string(dir && *dir ? dir : "/tmp") + "/pukko_bench_photo_5120x2880.jpg";
        if (std::FILE* f = std::fopen(p.c_str(), "rb")) {
            std::fclose(f);
            return p;
        }
        readtest::Jpeg jpeg;
        jpeg.width = 5120;
        jpeg.height = 2880;
        jpeg.progressive = true;
        jpeg.fill = PhotoSamples;
        if (!readtest::WriteFile(p, jpeg.Build())) std::fprintf(stderr, "cannot write %s\n", p.c_str());
        return p;
    }();
    return path;
}

// The whole picture at full scale, row by row, as a viewer decodes it.
void BM_LibraryFullDecode(benchmark::State& state) {
    Photo();
    for (auto _ : state) {
        std::FILE* f = std::fopen(Photo().c_str(), "rb");
        if (!f) {
            state.SkipWithError("no photograph");
            return;
        }
        jpeg_decompress_struct d;
        jpeg_error_mgr err;
        d.err = jpeg_std_error(&err);
        jpeg_create_decompress(&d);
        jpeg_stdio_src(&d, f);
        jpeg_read_header(&d, TRUE);
        jpeg_start_decompress(&d);
        std::vector<JSAMPLE> row(static_cast<size_t>(d.output_width) * d.output_components);
        JSAMPROW rows[1] = {row.data()};
        while (d.output_scanline < d.output_height) jpeg_read_scanlines(&d, rows, 1);
        jpeg_finish_decompress(&d);
        jpeg_destroy_decompress(&d);
        std::fclose(f);
        benchmark::DoNotOptimize(row.data());
    }
}

// Reads one number "name":value from the maker's JSON line.
double Field(const std::string& json, const std::string& name) {
    const size_t at = json.find("\"" + name + "\":");
    return at == std::string::npos ? -1 : std::atof(json.c_str() + at + name.size() + 3);
}

void BM_PukkoMakeProcess(benchmark::State& state) {
    Photo();
    const std::string out = Photo() + ".pko";
    const std::string command = std::string("'" PUKKO_MAKE "' --pieces 1000 --size 2000 --seed 7 '") + Photo() +
                                "' '" + out + "' 2>/dev/null";
    double cut = 0, total = 0, peak = 0;
    for (auto _ : state) {
        std::FILE* p = popen(command.c_str(), "r");
        std::string json;
        char buf[512];
        while (p && std::fgets(buf, sizeof buf, p)) json += buf;
        if (!p || pclose(p) != 0) {
            state.SkipWithError("pukko-make failed");
            return;
        }
        cut = Field(json, "cut_ms");
        total = Field(json, "total_ms");
        peak = Field(json, "peak_mb");
    }
    state.counters["cut_ms"] = cut;
    state.counters["total_ms"] = total;
    state.counters["peak_MB"] = peak;
    std::remove(out.c_str());
}

BENCHMARK(BM_LibraryFullDecode)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);
BENCHMARK(BM_PukkoMakeProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);

}  // namespace

BENCHMARK_MAIN();
