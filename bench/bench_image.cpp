// Speed of the MYBIT pixel operations on the sizes the game meets: a 2000
// pixel picture has a 4000 x 3000 cutting mask, pieces of a 1000-piece
// puzzle are about 100 mask pixels across.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "image/mybit.h"
#include "image/picture_read.h"
#include "image/read_files.h"

namespace {

MYBIT Noise(int w, int h, uint32_t seed) {
    std::mt19937 rng(seed);
    MYBIT b;
    b.Create(w, h);
    for (uint32_t& v : b.pixels) v = rng() & 0x00FFFFFF;
    return b;
}

// The default first base line, 216 units to a cell side.
constexpr int kLine1[10][2] = {{0, 0},    {24, -12}, {108, -24}, {74, 24},   {49, 78},
                               {168, 78}, {143, 24}, {108, -24}, {191, -12}, {216, 0}};

CutList GridCuts(int nc, int nr, int s, uint32_t seed) {
    std::mt19937 rng(seed);
    CutList cuts;
    auto line = [&](int x0, int y0, bool vertical) {
        CutLine l;
        int sign = (rng() & 1) ? 1 : -1;
        for (const auto& p : kLine1) {
            int along = p[0] * s / 216, across = sign * p[1] * s / 216;
            l.points.push_back(vertical ? Point{x0 + across, y0 + along} : Point{x0 + along, y0 + across});
        }
        cuts.push_back(l);
    };
    for (int r = 0; r < nr; ++r)
        for (int c = 0; c < nc; ++c) {
            if (c < nc - 1) line((c + 1) * s, r * s, true);
            if (r < nr - 1) line(c * s, (r + 1) * s, false);
        }
    return cuts;
}

// A piece-like mask: a disc with a knob, inside words 0xFF00FF00.
MYBIT PieceMask(int side) {
    MYBIT m;
    m.Create(side, side);
    const double c = side / 2.0, r = side * 0.35, kr = side * 0.12;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            double dx = x - c, dy = y - c, kx = x - c - r, ky = y - c;
            if (dx * dx + dy * dy < r * r || kx * kx + ky * ky < kr * kr) m.At(x, y) = 0xFF00FF00;
        }
    return m;
}

void BM_StretchShrink(benchmark::State& state) {
    MYBIT src = Noise(4000, 3000, 1), dst;
    for (auto _ : state) {
        dst.StretchFrom(src, 2000, 1500);
        benchmark::DoNotOptimize(dst.pixels.data());
    }
}
BENCHMARK(BM_StretchShrink)->Unit(benchmark::kMillisecond);

void BM_StretchEnlarge(benchmark::State& state) {
    MYBIT src = Noise(1000, 750, 2), dst;
    for (auto _ : state) {
        dst.StretchFrom(src, 2000, 1500);
        benchmark::DoNotOptimize(dst.pixels.data());
    }
}
BENCHMARK(BM_StretchEnlarge)->Unit(benchmark::kMillisecond);

void BM_HalveMask(benchmark::State& state) {
    MYBIT mask;
    mask.Create(4000, 2666);
    for (int y = 0; y < 2666; ++y)
        for (int x = 0; x < 4000; ++x)
            if ((x % 100) != 0 && (y % 100) != 0) mask.At(x, y) = 0xFF32FF00;
    MYBIT half;
    for (auto _ : state) {
        half.HalveFrom(mask);
        benchmark::DoNotOptimize(half.pixels.data());
    }
}
BENCHMARK(BM_HalveMask)->Unit(benchmark::kMillisecond);

void BM_PasteBlend(benchmark::State& state) {
    // A 100 x 100 piece whose coverage falls off towards its rim.
    MYBIT piece = Noise(100, 100, 3), board = Noise(1200, 900, 4);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            int edge = std::min({x, y, 99 - x, 99 - y});
            uint32_t a = edge >= 4 ? 255 : uint32_t(edge * 63);
            piece.At(x, y) |= a << 24;
        }
    for (auto _ : state) {
        board.PasteBlend(piece, 531, 377);
        benchmark::DoNotOptimize(board.pixels.data());
    }
}
BENCHMARK(BM_PasteBlend)->Unit(benchmark::kMicrosecond);

void BM_BevelMap(benchmark::State& state) {
    MYBIT mask = PieceMask(200);
    // The map only ORs into the red byte of non-zero words, so running it
    // again on its own result does the same work.
    for (auto _ : state) {
        mask.BevelMap(static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(mask.pixels.data());
    }
}
BENCHMARK(BM_BevelMap)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);

void BM_FloodFillWholeMask(benchmark::State& state) {
    MYBIT mask;
    mask.CreateFilled(0xFFFFFF, 4000, 3000);
    uint32_t fill = 1;
    for (auto _ : state) {
        // Everything but the border word 0 is the area, so each round refills it all.
        benchmark::DoNotOptimize(mask.FloodFillBorderWord(2000, 1500, fill, 0));
        fill ^= 3;
    }
}
BENCHMARK(BM_FloodFillWholeMask)->Unit(benchmark::kMillisecond);

void BM_LabelThousandPieceMask(benchmark::State& state) {
    MYBIT cut;
    cut.CreateFilled(0xFFFFFF, 4000, 2500);
    cut.DrawBeziers(GridCuts(40, 25, 100, 5), 0);
    MYBIT mask;
    for (auto _ : state) {
        state.PauseTiming();
        mask.CopyFrom(cut);
        state.ResumeTiming();
        uint32_t label = 0;
        for (int y = 0; y < mask.Height(); ++y) {
            const uint32_t* row = mask.Row(y);
            for (int x = 0; x < mask.Width(); ++x)
                if (row[x] == 0x00FFFFFF) mask.FloodFillBorderWord(x, y, ++label, 0);
        }
        benchmark::DoNotOptimize(label);
    }
}
BENCHMARK(BM_LabelThousandPieceMask)->Unit(benchmark::kMillisecond);

void BM_DrawBeziersThousandPieces(benchmark::State& state) {
    CutList cuts = GridCuts(40, 25, 100, 6);
    MYBIT mask;
    mask.CreateFilled(0xFFFFFF, 4000, 2500);
    for (auto _ : state) {
        mask.DrawBeziers(cuts, 0);
        benchmark::DoNotOptimize(mask.pixels.data());
    }
}
BENCHMARK(BM_DrawBeziersThousandPieces)->Unit(benchmark::kMillisecond);

// A 4000 x 3000 photograph-like JPEG made in memory: smooth gradients with
// fine noise, quality 90, as a camera might write it.
const std::vector<uint8_t>& BigJpeg() {
    static const std::vector<uint8_t> file = [] {
        std::mt19937 rng(8);
        readtest::Jpeg jpeg;
        jpeg.width = 4000;
        jpeg.height = 3000;
        jpeg.fill = [&](int x, int y, uint8_t* s) {
            const int w = 4000, h = 3000;
            int n = static_cast<int>(rng() % 16);
            s[0] = static_cast<uint8_t>((x * 200 / w + n) & 0xFF);
            s[1] = static_cast<uint8_t>((y * 200 / h + n) & 0xFF);
            s[2] = static_cast<uint8_t>(((x + y) / 40 % 2 ? 180 : 60) + n);
        };
        return jpeg.Build();
    }();
    return file;
}

void BM_DecodeJpeg4000x3000(benchmark::State& state) {
    const std::vector<uint8_t>& file = BigJpeg();
    const int divisor = static_cast<int>(state.range(0));
    MYBIT picture;
    for (auto _ : state) {
        if (!DecodePicture(file.data(), file.size(), divisor, picture) || picture.Width() != 4000 / divisor)
            state.SkipWithError("not decoded");
        benchmark::DoNotOptimize(picture.pixels.data());
    }
    state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_DecodeJpeg4000x3000)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
