// The arranged picture's colours and blur against the plain per-pixel work.
#include "views/arrange_pixels.h"

#include <gtest/gtest.h>

#include <random>

#include "views/arrange_reference.h"

namespace {

// A colour lattice (every seventh value of each channel, 0 and 252 among
// them), white, pure greys, and random words with any alpha.
MYBIT Varied() {
    std::vector<uint32_t> words;
    for (uint32_t r = 0; r < 256; r += 7)
        for (uint32_t g = 0; g < 256; g += 7)
            for (uint32_t b = 0; b < 256; b += 7) words.push_back(r << 16 | g << 8 | b);
    for (uint32_t v = 0; v < 256; ++v) words.push_back(v << 16 | v << 8 | v);
    words.push_back(0xFFFFFF);
    std::mt19937 rng(11);
    while (words.size() % 300 != 0 || words.size() < 80000) words.push_back(rng());
    MYBIT m;
    m.Create(300, static_cast<int>(words.size() / 300));
    m.pixels = words;
    return m;
}

MYBIT Random(int w, int h, uint32_t seed) {
    std::mt19937 rng(seed);
    MYBIT m;
    m.Create(w, h);
    for (uint32_t& v : m.pixels) v = rng();
    return m;
}

size_t Differing(const MYBIT& a, const MYBIT& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return ~size_t{0};
    size_t n = 0;
    for (size_t i = 0; i < a.PixelCount(); ++i) n += a.pixels[i] != b.pixels[i];
    return n;
}

}  // namespace

TEST(ArrangePixels, DirectionsGiveThePixelsOfTheColourModelBitForBit) {
    const MYBIT canvas = Varied();
    // Whole multiples of 20 luma with no chroma put every channel back on a
    // whole number, where only the model's own rounding decides; the large
    // ones clamp.
    const ArrangeOffsets cases[] = {{0, 0, 0},   {1, 0, 0},  {-1, 0, 0},    {20, 0, 0},  {-40, 0, 0},
                                    {0, 0, 1},   {0, 0, -1}, {2, 0, -3},    {150, 0, 0}, {0, 0, -150},
                                    {0, 0, 120}, {0, 5, 0},  {1, -12.5, 2}, {0, 100, 0}};
    MYBIT expected, fast, plain;
    const HueDirections none;
    for (const ArrangeOffsets& o : cases) {
        SCOPED_TRACE(testing::Message() << o.luma << ", " << o.hue << ", " << o.chroma);
        reference::Convert(expected, canvas, o.luma, o.hue, o.chroma);
        HueDirections dirs;
        ASSERT_EQ(FindHueDirections(dirs, canvas, o.hue), 1);
        ASSERT_TRUE(dirs.Fits(canvas, o.hue));
        ConvertArranged(fast, canvas, o, dirs);
        EXPECT_EQ(Differing(fast, expected), 0u);
        ConvertArranged(plain, canvas, o, none);
        EXPECT_EQ(Differing(plain, expected), 0u);
        // Directions of another hue are not used.
        EXPECT_FALSE(dirs.Fits(canvas, o.hue + 1));
        ConvertArranged(fast, canvas, ArrangeOffsets{o.luma, o.hue + 1, o.chroma}, dirs);
        reference::Convert(expected, canvas, o.luma, o.hue + 1, o.chroma);
        EXPECT_EQ(Differing(fast, expected), 0u);
    }
}

TEST(ArrangePixels, DirectionsBelongToOneCanvasOfBoundedSize) {
    HueDirections dirs;
    MYBIT empty;
    EXPECT_EQ(FindHueDirections(dirs, empty, 0), 0);
    EXPECT_FALSE(dirs.Fits(empty, 0));

    const MYBIT a = Random(40, 30, 1);
    MYBIT b;
    b.CopyFrom(a);
    ASSERT_EQ(FindHueDirections(dirs, a, 0), 1);
    EXPECT_EQ(dirs.sinCos.size(), 2u * 40 * 30);
    EXPECT_FALSE(dirs.Fits(b, 0));  // the same pixels in another array

    // One pixel past the bound: no directions, and the old ones are gone.
    MYBIT huge;
    huge.Create(static_cast<int>(kMaxDirectionPixels + 1), 1);
    EXPECT_EQ(FindHueDirections(dirs, huge, 0), 0);
    EXPECT_TRUE(dirs.sinCos.empty());
    EXPECT_FALSE(dirs.Fits(a, 0));
}

TEST(ArrangePixels, BlurPassesMatchThePlainSumsAndLeaveTheBorder) {
    for (const auto& [w, h] : {std::pair{37, 23}, {3, 3}, {3, 6}, {2, 7}, {9, 2}, {1, 1}, {0, 0}}) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        const MYBIT source = Random(w, h, static_cast<uint32_t>(w * 31 + h));
        for (int passes : {0, 1, 3}) {
            MYBIT fast, expected;
            fast.CopyFrom(source);
            expected.CopyFrom(source);
            BlurArranged(fast, passes);
            reference::Blur(expected, passes);
            EXPECT_EQ(Differing(fast, expected), 0u) << passes << " passes";
            // Border words keep even their alpha; the interior's is 0.
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool border = x == 0 || y == 0 || x == w - 1 || y == h - 1;
                    if (border) {
                        EXPECT_EQ(fast.At(x, y), source.At(x, y));
                    } else if (passes > 0) {
                        EXPECT_EQ(fast.At(x, y) >> 24, 0u);
                    }
                }
        }
    }
    // The centre of a black block is a ninth of what it held, per byte.
    MYBIT spot;
    spot.Create(3, 3);
    spot.At(1, 1) = 0xFF0912FF;
    BlurArranged(spot, 1);
    EXPECT_EQ(spot.At(1, 1), 0x0001021Cu);
}
