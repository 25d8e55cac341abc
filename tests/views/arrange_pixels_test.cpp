// The arranged picture's colours and blur against the plain per-pixel work:
// the colour model's two calls for every pixel, nine bytes summed per block.
#include "views/arrange_pixels.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>

namespace {

MYBIT Random(int w, int h, uint32_t seed) {
    std::mt19937 rng(seed);
    MYBIT m;
    m.Create(w, h);
    for (uint32_t& v : m.pixels) v = rng();
    return m;
}

void PlainBlur(MYBIT& p) {
    MYBIT copy;
    copy.CopyFrom(p);
    for (int y = 1; y < p.Height() - 1; ++y)
        for (int x = 1; x < p.Width() - 1; ++x) {
            copy.At(x, y) = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                uint32_t sum = 0;
                for (int i = 0; i < 9; ++i) sum += (p.At(x + i % 3 - 1, y + i / 3 - 1) >> shift) & 0xFF;
                copy.At(x, y) |= sum / 9 << shift;
            }
        }
    p = std::move(copy);
}

}  // namespace

TEST(ArrangePixels, DirectionsGiveTheColourModelsPixelsBitForBit) {
    // A lattice of every seventh value per channel (black and white among
    // them), then random words with any alpha.
    MYBIT canvas = Random(300, 300, 11);
    for (uint32_t i = 0; i < 38 * 38 * 38; ++i)
        canvas.pixels[i] = std::min(i % 38 * 7, 255u) << 16 | std::min(i / 38 % 38 * 7, 255u) << 8 |
                           std::min(i / 1444 * 7, 255u);
    // Multiples of 20 luma without chroma put every channel back on a whole
    // number, where only the model's own rounding decides; large ones clamp.
    for (const ArrangeOffsets& o : {ArrangeOffsets{0, 0, 0},
                                    {1, 0, 0},
                                    {-40, 0, 0},
                                    {0, 0, -1},
                                    {2, 0, -3},
                                    {150, 0, -150},
                                    {0, 0, 120},
                                    {1, -12.5, 2},
                                    {0, 100, 0}}) {
        SCOPED_TRACE(testing::Message() << o.luma << ", " << o.hue << ", " << o.chroma);
        MYBIT expected, fast;
        expected.Create(300, 300);
        for (size_t i = 0; i < canvas.PixelCount(); ++i) {
            double y, h, c;
            RgbToYhc(canvas.pixels[i], y, h, c);
            expected.pixels[i] = YhcToPixel(y + o.luma, h + o.hue, c + o.chroma);
        }
        HueDirections dirs;
        ASSERT_EQ(FindHueDirections(dirs, canvas, o.hue), 1);
        ConvertArranged(fast, canvas, o, dirs);
        EXPECT_TRUE(fast.pixels == expected.pixels);
        // Directions are for one hue offset; without them, pixel by pixel.
        EXPECT_FALSE(dirs.Fits(canvas, o.hue + 1));
        ConvertArranged(fast, canvas, o, HueDirections{});
        EXPECT_TRUE(fast.pixels == expected.pixels);
    }
    // No directions for an empty canvas or one a pixel past the bound, 8 Mi.
    HueDirections dirs;
    MYBIT huge;
    huge.Create((8 << 20) + 1, 1);
    EXPECT_EQ(FindHueDirections(dirs, huge, 0) + FindHueDirections(dirs, MYBIT{}, 0), 0);
}

TEST(ArrangePixels, BlurPassesSumEachBlockAndLeaveTheBorder) {
    for (const auto& [w, h] : {std::pair{37, 23}, {3, 3}, {2, 7}, {9, 2}, {0, 0}}) {
        const MYBIT source = Random(w, h, static_cast<uint32_t>(w * 31 + h));
        MYBIT fast, expected;
        fast.CopyFrom(source);
        expected.CopyFrom(source);
        BlurArranged(fast, 3);
        for (int i = 0; i < 3; ++i) PlainBlur(expected);
        EXPECT_TRUE(fast.pixels == expected.pixels) << w << " x " << h;
        int moved = 0;  // border words that changed, even only in alpha
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                moved += (x % (w - 1) == 0 || y % (h - 1) == 0) && fast.At(x, y) != source.At(x, y);
        EXPECT_EQ(moved, 0);
    }
    MYBIT spot;  // the centre of a black block: a ninth per byte, alpha 0
    spot.Create(3, 3);
    spot.At(1, 1) = 0xFF0912FF;
    BlurArranged(spot, 1);
    EXPECT_EQ(spot.At(1, 1), 0x0001021Cu);
}
