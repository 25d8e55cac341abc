// Stretching: area averages along an axis that shrinks, linear
// interpolation along one that grows, all four bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "image/mybit.h"
#include "support/picture_hash.h"

namespace {

MYBIT Random(int w, int h, uint32_t seed) {
    std::mt19937 rng(seed);
    MYBIT b;
    b.Create(w, h);
    for (uint32_t& v : b.pixels) v = rng();
    return b;
}

// Weights along one axis in double precision.
std::vector<std::vector<std::pair<int, double>>> Weights(int src, int dst) {
    std::vector<std::vector<std::pair<int, double>>> out(dst);
    for (int i = 0; i < dst; ++i) {
        if (dst < src) {
            const double a = double(i) * src / dst, b = double(i + 1) * src / dst;
            for (int j = int(a); j < src && j < b; ++j)
                out[i].push_back({j, (std::min<double>(b, j + 1) - std::max<double>(a, j)) * dst / src});
        } else {
            const double u = std::clamp((i + 0.5) * src / dst - 0.5, 0.0, double(src - 1));
            const int j = int(u);
            out[i].push_back({j, 1 - (u - j)});
            if (j + 1 < src) out[i].push_back({j + 1, u - j});
        }
    }
    return out;
}

void ExpectNearReference(const MYBIT& source, int w, int h) {
    MYBIT t;
    t.StretchFrom(source, w, h);
    ASSERT_TRUE(t.Width() == w && t.Height() == h);
    const auto wx = Weights(source.Width(), w), wy = Weights(source.Height(), h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 32; c += 8) {
                double ref = 0;
                for (auto [sy, fy] : wy[y])
                    for (auto [sx, fx] : wx[x]) ref += fy * fx * double((source.At(sx, sy) >> c) & 0xFF);
                ASSERT_NEAR(double((t.At(x, y) >> c) & 0xFF), ref, 1.0)
                    << source.Width() << "x" << source.Height() << " -> " << w << "x" << h << " at " << x
                    << "," << y;
            }
}

TEST(StretchFrom, SizesEmptySourcesAndSelf) {
    MYBIT src = Random(7, 5, 1), t;
    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-1, 5}}) {
        t.StretchFrom(src, w, h);
        EXPECT_TRUE(t.Empty() && t.Width() == 0);
    }
    // An empty source gives a black picture of the asked size: what a
    // picture that failed to load shows.
    t.StretchFrom(MYBIT(), 4, 2);
    EXPECT_EQ(t.pixels, std::vector<uint32_t>(8, 0));
    EXPECT_EQ(t.hdr.fileSize, 8u * 4 + 54);
    t.StretchFrom(src, 7, 5);
    EXPECT_EQ(t.pixels, src.pixels);
    MYBIT self = Random(40, 30, 2), expect;
    expect.StretchFrom(self, 17, 61);
    self.StretchFrom(self, 17, 61);
    EXPECT_EQ(self.pixels, expect.pixels);
}

TEST(StretchFrom, FlatColoursStayFlatAndHalvingIsExact) {
    // Weights sum to exactly one, so no byte drifts, alpha included.
    MYBIT flat, t;
    flat.CreateFilled(0xA1B2C3, 41, 29);
    for (uint32_t& v : flat.pixels) v |= 0xFF000000;
    for (auto [w, h] : {std::pair{13, 7}, {100, 3}, {2, 200}, {1, 1}}) {
        t.StretchFrom(flat, w, h);
        EXPECT_EQ(t.pixels, std::vector<uint32_t>(size_t(w) * h, 0xFFC3B2A1u)) << w << "x" << h;
    }
    MYBIT src = Random(64, 48, 4);
    t.StretchFrom(src, 32, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x)
            for (int c = 0; c < 32; c += 8) {
                int sum = 2;
                for (int k = 0; k < 4; ++k) sum += (src.At(2 * x + k % 2, 2 * y + k / 2) >> c) & 0xFF;
                ASSERT_EQ(int((t.At(x, y) >> c) & 0xFF), sum / 4);
            }
}

TEST(StretchFrom, ShrinkEnlargeAndMixedFollowTheFilters) {
    MYBIT src = Random(37, 23, 5);
    ExpectNearReference(src, 10, 6);   // both shrink, uneven ratios
    ExpectNearReference(src, 36, 22);  // by a hair
    ExpectNearReference(src, 80, 51);  // both grow
    ExpectNearReference(src, 12, 70);  // narrower, taller
    ExpectNearReference(src, 111, 4);  // wider, lower
    ExpectNearReference(Random(5, 300, 6), 9, 7);
    ExpectNearReference(Random(1000, 1, 3), 1, 1);  // a thousand taps
    // Growing: between pixel centres linear, beyond them the end values.
    MYBIT ramp, t;
    ramp.Create(2, 1);
    ramp.At(1, 0) = 200;
    t.StretchFrom(ramp, 8, 1);
    EXPECT_EQ(t.pixels, (std::vector<uint32_t>{0, 0, 25, 75, 125, 175, 200, 200}));
}

TEST(StretchFrom, GoldenPictures) {
    MYBIT src, t;
    src.Create(301, 199);
    for (int y = 0; y < 199; ++y)
        for (int x = 0; x < 301; ++x)
            src.At(x, y) = uint32_t((x * 7 + y * 3) & 0xFF) << 24 | uint32_t(x * 255 / 301) << 16 |
                           uint32_t(y * 255 / 199) << 8 | uint32_t(((x ^ y) * 5) & 0xFF);
    const std::pair<int, int> sizes[3] = {{120, 80}, {640, 410}, {90, 500}};
    const uint64_t golden[3] = {0x97e1d56662c5be8cull, 0x4991c9183226cc50ull, 0x59da5509d4539a2eull};
    for (int i = 0; i < 3; ++i) {
        t.StretchFrom(src, sizes[i].first, sizes[i].second);
        EXPECT_EQ(PictureHash(t), golden[i]) << i;
    }
}

}  // namespace
