// Stretching: area averages when an axis shrinks, linear interpolation when
// it grows, each axis on its own, all four bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "image/mybit.h"

namespace {

uint64_t Fnv(const MYBIT& b) {
    uint64_t h = 1469598103934665603ull;
    auto add = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            h ^= (v >> (8 * i)) & 0xFF;
            h *= 1099511628211ull;
        }
    };
    add(static_cast<uint32_t>(b.Width()));
    add(static_cast<uint32_t>(b.Height()));
    for (uint32_t v : b.pixels) add(v);
    return h;
}

MYBIT Random(int w, int h, uint32_t seed) {
    std::mt19937 rng(seed);
    MYBIT b;
    b.Create(w, h);
    for (uint32_t& v : b.pixels) v = rng();
    return b;
}

// A smooth but uneven test picture: gradients in every byte.
MYBIT Gradient(int w, int h) {
    MYBIT b;
    b.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.At(x, y) = (uint32_t((x * 7 + y * 3) & 0xFF) << 24) | (uint32_t(x * 255 / w) << 16) |
                         (uint32_t(y * 255 / h) << 8) | uint32_t(((x ^ y) * 5) & 0xFF);
    return b;
}

// Weights along one axis in double precision, as the definition reads.
std::vector<std::vector<std::pair<int, double>>> Weights(int src, int dst) {
    std::vector<std::vector<std::pair<int, double>>> out(dst);
    for (int i = 0; i < dst; ++i) {
        if (dst < src) {
            double a = double(i) * src / dst, b = double(i + 1) * src / dst;
            for (int j = int(a); j < src && j < b; ++j) {
                double cover = std::min<double>(b, j + 1) - std::max<double>(a, j);
                if (cover > 0) out[i].push_back({j, cover * dst / src});
            }
        } else {
            double u = (i + 0.5) * src / dst - 0.5;
            u = std::clamp(u, 0.0, double(src - 1));
            int j = int(u);
            double f = u - j;
            out[i].push_back({j, 1 - f});
            if (j + 1 < src) out[i].push_back({j + 1, f});
        }
    }
    return out;
}

void ExpectNearReference(const MYBIT& source, int w, int h) {
    MYBIT t;
    t.StretchFrom(source, w, h);
    ASSERT_EQ(t.Width(), w);
    ASSERT_EQ(t.Height(), h);
    auto wx = Weights(source.Width(), w), wy = Weights(source.Height(), h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c) {
                double ref = 0;
                for (auto [sy, fy] : wy[y])
                    for (auto [sx, fx] : wx[x])
                        ref += fy * fx * double((source.At(sx, sy) >> (8 * c)) & 0xFF);
                double got = (t.At(x, y) >> (8 * c)) & 0xFF;
                ASSERT_NEAR(got, ref, 1.0) << source.Width() << "x" << source.Height() << " -> " << w << "x"
                                           << h << " at " << x << "," << y << " byte " << c;
            }
}

TEST(StretchFrom, SizesEmptySourcesAndSelf) {
    MYBIT src = Random(7, 5, 1), t;
    t.StretchFrom(src, 3, 9);
    EXPECT_EQ(t.Width(), 3);
    EXPECT_EQ(t.Height(), 9);
    EXPECT_EQ(t.PixelCount(), 27u);
    EXPECT_EQ(t.hdr.fileSize, 27u * 4 + 54);

    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-1, 5}, {0, 0}}) {
        t.StretchFrom(src, w, h);
        EXPECT_TRUE(t.Empty());
        EXPECT_EQ(t.Width(), 0);
        EXPECT_EQ(t.Height(), 0);
    }
    // An empty source gives a black picture of the asked size: what a
    // picture that failed to load shows.
    MYBIT empty;
    t.StretchFrom(empty, 4, 2);
    EXPECT_EQ(t.Width(), 4);
    EXPECT_EQ(t.pixels, std::vector<uint32_t>(8, 0));

    // Same size copies; stretching a picture into itself works from a copy.
    t.StretchFrom(src, 7, 5);
    EXPECT_EQ(t.pixels, src.pixels);
    MYBIT self = Random(40, 30, 2), expect;
    expect.StretchFrom(self, 17, 61);
    self.StretchFrom(self, 17, 61);
    EXPECT_EQ(self.pixels, expect.pixels);

    // 1 x 1 at both ends.
    MYBIT one;
    one.CreateFilled(0x123456, 1, 1);
    one.At(0, 0) |= 0x80000000;
    t.StretchFrom(one, 5, 3);
    EXPECT_EQ(t.pixels, std::vector<uint32_t>(15, 0x80563412u));
    MYBIT row = Random(1000, 1, 3);
    t.StretchFrom(row, 1, 1);
    for (int c = 0; c < 4; ++c) {
        double mean = 0;
        for (uint32_t v : row.pixels) mean += (v >> (8 * c)) & 0xFF;
        EXPECT_NEAR(double((t.At(0, 0) >> (8 * c)) & 0xFF), mean / 1000, 1.0);
    }
}

TEST(StretchFrom, UniformStaysUniformInAllFourBytes) {
    // Weights sum to exactly one: no drift of a flat colour, alpha included.
    for (auto [w, h] : {std::pair{13, 7}, {100, 3}, {2, 200}, {57, 57}, {1, 1}}) {
        MYBIT src, t;
        src.CreateFilled(0xA1B2C3, 41, 29);
        for (uint32_t& v : src.pixels) v |= 0xFF000000;
        t.StretchFrom(src, w, h);
        for (uint32_t v : t.pixels) ASSERT_EQ(v, 0xFFC3B2A1u) << w << "x" << h;
    }
}

TEST(StretchFrom, HalvingAveragesEachBlockExactly) {
    MYBIT src = Random(64, 48, 4), t;
    t.StretchFrom(src, 32, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x)
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int k = 0; k < 4; ++k) sum += (src.At(2 * x + k % 2, 2 * y + k / 2) >> (8 * c)) & 0xFF;
                ASSERT_EQ(int((t.At(x, y) >> (8 * c)) & 0xFF), (sum + 2) / 4);
            }
}

TEST(StretchFrom, ShrinkEnlargeAndMixedFollowTheFilters) {
    MYBIT src = Random(37, 23, 5);
    ExpectNearReference(src, 10, 6);   // both shrink, uneven ratios
    ExpectNearReference(src, 36, 22);  // shrink by a hair
    ExpectNearReference(src, 80, 51);  // both grow
    ExpectNearReference(src, 12, 70);  // narrower, taller
    ExpectNearReference(src, 111, 4);  // wider, lower
    ExpectNearReference(src, 1, 23);   // one column
    MYBIT tall = Random(5, 300, 6);
    ExpectNearReference(tall, 9, 7);  // height shrinks 40 times, width grows

    // Enlarging a two-pixel ramp interpolates between the pixel centres
    // and holds the end values beyond them.
    MYBIT ramp;
    ramp.Create(2, 1);
    ramp.At(0, 0) = 0;
    ramp.At(1, 0) = 200;
    MYBIT t;
    t.StretchFrom(ramp, 8, 1);
    std::vector<uint32_t> blue;
    for (uint32_t v : t.pixels) blue.push_back(v & 0xFF);
    EXPECT_EQ(blue, (std::vector<uint32_t>{0, 0, 25, 75, 125, 175, 200, 200}));
}

TEST(StretchFrom, GoldenPictures) {
    MYBIT src = Gradient(301, 199), t;
    t.StretchFrom(src, 120, 80);
    EXPECT_EQ(Fnv(t), 0x97e1d56662c5be8cull) << std::hex << Fnv(t);
    t.StretchFrom(src, 640, 410);
    EXPECT_EQ(Fnv(t), 0x4991c9183226cc50ull) << std::hex << Fnv(t);
    t.StretchFrom(src, 90, 500);
    EXPECT_EQ(Fnv(t), 0x59da5509d4539a2eull) << std::hex << Fnv(t);
}

}  // namespace
