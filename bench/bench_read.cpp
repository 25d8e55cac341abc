// Reading speed: BMP layouts, JPEG at each divisor, and the browser's
// 100-pixel thumbnail of a large photograph.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "image/bmp_read.h"
#include "image/jpeg_read.h"
#include "image/mybit.h"
#include "image/picture_read.h"
#include "image/read_files.h"
#include "support/fake_host.h"

namespace {

std::vector<uint8_t> Photo(int w, int h) {
    readtest::Jpeg j;
    j.width = w;
    j.height = h;
    j.quality = 85;
    j.fill = [](int x, int y, uint8_t* s) {
        s[0] = static_cast<uint8_t>(x * 3 + y), s[1] = static_cast<uint8_t>((x ^ y) * 5),
        s[2] = static_cast<uint8_t>(y * 2);
    };
    return j.Build();
}

std::vector<uint8_t> Bmp(int bits, int w, int h, uint32_t compression = 0) {
    readtest::Bmp b{
        .width = w, .height = h, .bitCount = static_cast<uint16_t>(bits), .compression = compression};
    for (int i = 0; bits <= 8 && i < (1 << bits); ++i) b.palette.push_back(i * 0x010101u);
    if (compression == 1) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; x += 200)
                b.data.insert(b.data.end(), {static_cast<uint8_t>(std::min(200, w - x)),
                                             static_cast<uint8_t>(x / 200 + y)});
            b.data.insert(b.data.end(), {0, 0});
        }
        b.data.insert(b.data.end(), {0, 1});
    } else {
        b.data.assign(static_cast<size_t>((w * bits + 31) / 32 * 4) * h, 0x5A);
    }
    return b.Build();
}

void ReadBmpBytes(benchmark::State& state, std::vector<uint8_t> file) {
    MYBIT p;
    for (auto _ : state) benchmark::DoNotOptimize(ReadBmp(file.data(), file.size(), p));
    state.SetItemsProcessed(state.iterations() * p.pixels.size());
}
BENCHMARK_CAPTURE(ReadBmpBytes, bmp24_2000x1500, Bmp(24, 2000, 1500))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadBmpBytes, bmp8_2000x1500, Bmp(8, 2000, 1500))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadBmpBytes, bmp32_plain_2000x1500, Bmp(32, 2000, 1500))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadBmpBytes, rle8_2000x1500, Bmp(8, 2000, 1500, 1))->Unit(benchmark::kMillisecond);

void ReadJpegBytes(benchmark::State& state) {
    static const std::vector<uint8_t> photo = Photo(4000, 3000);
    std::vector<uint32_t> px;
    int w = 0, h = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ReadJpeg(photo.data(), photo.size(), px, w, h, static_cast<int>(state.range(0)), false));
    state.SetItemsProcessed(state.iterations() * 4000 * 3000);
}
BENCHMARK(ReadJpegBytes)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

void LoadFromDisk(benchmark::State& state) {
    std::string dir = (std::filesystem::temp_directory_path() / "pukko_bench_read").string();
    std::filesystem::create_directories(dir);
    std::string jpg = dir + "/photo.jpg", bmp = dir + "/plain.bmp";
    readtest::WriteFile(jpg, Photo(4000, 3000));
    readtest::WriteFile(bmp, Bmp(32, 2000, 1500));
    FakeHost host;
    MYBIT p;
    for (auto _ : state) {
        if (state.range(0) == 0) benchmark::DoNotOptimize(LoadScaled(p, jpg, host, 100));
        if (state.range(0) == 1) benchmark::DoNotOptimize(LoadScaled(p, jpg, host, 1000));
        if (state.range(0) == 2) benchmark::DoNotOptimize(LoadFile(p, bmp, host, 1));
        if (state.range(0) == 3) {
            int w, h;
            benchmark::DoNotOptimize(GetImageSize(p, jpg, w, h));
        }
    }
}
BENCHMARK(LoadFromDisk)
    ->ArgName("thumb100_scaled1000_plainbmp_size")
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
