// The outline walk, the bevel map and its application, and the luma / hue /
// chroma colour model.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

#include "image/mybit.h"

namespace {

constexpr uint32_t kInside = 0xFF00FF00;

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

// The bevel percentage of one pixel counted pixel by pixel over its window.
uint32_t BrutePercent(const MYBIT& m, int x, int y, int r) {
    auto nz = [&](int i, int j) {
        return i >= 0 && j >= 0 && i < m.Width() && j < m.Height() && m.At(i, j) != 0;
    };
    if (nz(x - r, y - r) && nz(x + r, y - r) && nz(x - r, y + r) && nz(x + r, y + r)) return 50;
    int a = 0, b = 0;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            if (!nz(x + dx, y + dy)) continue;
            if (dx + dy >= 0) ++a;
            if (dx + dy <= 0) ++b;
        }
    return static_cast<uint32_t>(a * 100 / (a + b));
}

MYBIT BruteBevel(const MYBIT& m, int r) {
    MYBIT out;
    out.CopyFrom(m);
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x)
            if (m.At(x, y) != 0) out.At(x, y) |= BrutePercent(m, x, y, r) << 16;
    return out;
}

// A disc with a knob on its right, as piece masks look.
MYBIT PieceMask(int side) {
    MYBIT m;
    m.Create(side, side);
    const double c = side / 2.0, r = side * 0.35, kr = side * 0.12;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            double dx = x - c, dy = y - c, kx = x - c - r, ky = y - c;
            if (dx * dx + dy * dy < r * r || kx * kx + ky * ky < kr * kr) m.At(x, y) = kInside;
        }
    return m;
}

TEST(TraceContour, StepsAsDefinedAndKeepsItsDirection) {
    MYBIT b;
    b.Create(3, 3);
    b.At(1, 1) = kInside;
    b.At(2, 1) = kInside;

    // first = 1 looks from the current direction for a key neighbour (found
    // to the right, direction 6), steps back one, then passes over the key
    // neighbour and moves to the first other one (up-right, direction 7);
    // the direction becomes the way back (3).
    TraceDirection() = 0;
    Point p{1, 1};
    EXPECT_EQ(b.TraceContour(p, kInside, 1), 1);
    EXPECT_EQ(p, (Point{2, 0}));
    EXPECT_EQ(TraceDirection(), 3);
    // The next step passes (2, 1) and leaves the bitmap to the right.
    EXPECT_EQ(b.TraceContour(p, kInside, 0), 1);
    EXPECT_EQ(p, (Point{3, 1}));
    EXPECT_EQ(TraceDirection(), 1);

    // No key neighbour with first = 1: 0, nothing moves.
    b.Create(3, 3);
    b.At(1, 1) = kInside;
    TraceDirection() = 5;
    p = {1, 1};
    EXPECT_EQ(b.TraceContour(p, kInside, 1), 0);
    EXPECT_EQ(p, (Point{1, 1}));
    EXPECT_EQ(TraceDirection(), 5);

    // All eight neighbours are key: 0, the point stays.
    b.CreateFilled(0, 3, 3);
    for (uint32_t& v : b.pixels) v = kInside;
    p = {1, 1};
    EXPECT_EQ(b.TraceContour(p, kInside, 0), 0);
    EXPECT_EQ(p, (Point{1, 1}));

    // A direction outside 0 .. 7 is taken modulo 8.
    b.Create(3, 3);
    b.At(1, 1) = kInside;
    b.At(2, 1) = kInside;
    TraceDirection() = 8;
    p = {1, 1};
    EXPECT_EQ(b.TraceContour(p, kInside, 1), 1);
    EXPECT_EQ(p, (Point{2, 0}));
}

TEST(TraceContour, WalkClosesRoundAPieceOnItsOutsidePixels) {
    // As the cutting walks it: a zero border round the piece, start at the
    // first inside pixel whose left neighbour is outside, one step with
    // first = 1 and two more, then on until the stop point comes back.
    for (int side : {9, 24, 41}) {
        MYBIT m = PieceMask(side);
        MYBIT work;
        work.Create(side + 2, side + 2);
        work.Paste(m, 1, 1);
        Point start{-1, -1};
        for (int y = 0; y < work.Height() && start.x < 0; ++y)
            for (int x = 1; x < work.Width(); ++x)
                if (work.At(x, y) == kInside && work.At(x - 1, y) == 0) {
                    start = {x, y};
                    break;
                }
        ASSERT_GE(start.x, 0);
        TraceDirection() = 0;
        Point p = start;
        ASSERT_EQ(work.TraceContour(p, kInside, 1), 1);
        ASSERT_EQ(work.TraceContour(p, kInside, 0), 1);
        ASSERT_EQ(work.TraceContour(p, kInside, 0), 1);
        const Point stop = p;
        std::set<std::pair<int, int>> visited;
        int steps = 0;
        do {
            ASSERT_EQ(work.TraceContour(p, kInside, 0), 1);
            ASSERT_LT(++steps, 100000) << "the walk does not close";
            // Every point visited is outside the piece and touches it.
            ASSERT_TRUE(p.x >= 0 && p.y >= 0 && p.x < work.Width() && p.y < work.Height());
            EXPECT_NE(work.At(p.x, p.y), kInside);
            bool touches = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    int x = p.x + dx, y = p.y + dy;
                    touches |=
                        x >= 0 && y >= 0 && x < work.Width() && y < work.Height() && work.At(x, y) == kInside;
                }
            EXPECT_TRUE(touches) << p.x << "," << p.y;
            visited.insert({p.x, p.y});
        } while (!(p == stop));
        // The walk goes all the way round: every outside pixel 4-adjacent to
        // the piece is passed.
        for (int y = 0; y < work.Height(); ++y)
            for (int x = 0; x < work.Width(); ++x) {
                if (work.At(x, y) == kInside) continue;
                bool edge = false;
                for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    int i = x + dx, j = y + dy;
                    edge |=
                        i >= 0 && j >= 0 && i < work.Width() && j < work.Height() && work.At(i, j) == kInside;
                }
                if (edge) {
                    EXPECT_TRUE(visited.count({x, y})) << side << ": " << x << "," << y;
                }
            }
    }
}

TEST(BevelMap, EqualsTheWindowCountOnRandomMasksAndRadii) {
    std::mt19937 rng(3);
    for (int t = 0; t < 80; ++t) {
        int w = 1 + rng() % 37, h = 1 + rng() % 29;
        int r = t < 4 ? t : static_cast<int>(rng() % 25);  // 0 .. 3, then up to wider than the mask
        MYBIT m;
        m.Create(w, h);
        int density = 20 + rng() % 81;
        for (uint32_t& v : m.pixels)
            if (int(rng() % 100) < density) v = (rng() & 1) ? kInside : 0xFF0000FF;
        MYBIT expect = BruteBevel(m, r);
        m.BevelMap(r);
        ASSERT_EQ(m.pixels, expect.pixels) << w << "x" << h << " r=" << r;
    }
    // Piece-like masks at the radii the making uses.
    for (int r : {3, 10, 17}) {
        MYBIT m = PieceMask(90), expect = BruteBevel(PieceMask(90), r);
        m.BevelMap(r);
        EXPECT_EQ(m.pixels, expect.pixels) << r;
    }
}

TEST(BevelMap, SolidRectangleEdgesAndGolden) {
    const int r = 4, w = 20, h = 15;
    MYBIT m;
    m.CreateFilled(0, w, h);
    for (uint32_t& v : m.pixels) v = kInside;
    m.BevelMap(r);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t p = (m.At(x, y) >> 16) & 0xFF;
            EXPECT_EQ(m.At(x, y) & 0xFF00FFFF, kInside);  // only the red byte changes
            if (x >= r && y >= r && x < w - r && y < h - r) {
                EXPECT_EQ(p, 50u) << x << "," << y;
            }
        }
    // Lit from the top-left: the top-left corner brighter, the bottom-right darker.
    EXPECT_GT((m.At(0, 0) >> 16) & 0xFF, 50u);
    EXPECT_LT((m.At(w - 1, h - 1) >> 16) & 0xFF, 50u);
    // Corners: the clipped window is one quarter, (r + 1)^2 pixels on one
    // side of the diagonal and only the centre on the other.
    EXPECT_EQ((m.At(0, 0) >> 16) & 0xFF, 25u * 100 / 26);
    EXPECT_EQ((m.At(w - 1, h - 1) >> 16) & 0xFF, 100u / 26);

    // Outside pixels stay 0; an empty picture and a negative radius are harmless.
    MYBIT piece = PieceMask(64);
    piece.BevelMap(6);
    const MYBIT plain = PieceMask(64);
    for (size_t i = 0; i < piece.pixels.size(); ++i) {
        if (plain.pixels[i] == 0) {
            ASSERT_EQ(piece.pixels[i], 0u);
        }
    }
    EXPECT_EQ(Fnv(piece), 0xd4e143da0669849dull) << std::hex << Fnv(piece);
    MYBIT empty;
    empty.BevelMap(3);
    EXPECT_TRUE(empty.Empty());
    MYBIT one = PieceMask(10), expect = BruteBevel(PieceMask(10), 0);
    one.BevelMap(-5);
    EXPECT_EQ(one.pixels, expect.pixels);
}

TEST(ApplyBevel, AlphaFlatAndShadedPixels) {
    MYBIT src, map, out;
    src.Create(4, 1);
    for (int x = 0; x < 4; ++x) src.At(x, 0) = 0x00806040;
    map.Create(4, 1);
    map.At(0, 0) = 0x00320000;  // alpha 0: outside whatever the percentage
    map.At(1, 0) = 0x7F320000;  // flat: colour kept, alpha taken
    map.At(2, 0) = 0xFF640000;  // 100 %: lighter
    map.At(3, 0) = 0xBF000000;  // 0 %: darker
    out.ApplyBevel(src, map, 150);
    EXPECT_EQ(out.At(0, 0), 0u);
    EXPECT_EQ(out.At(1, 0), 0x7F806040u);
    double y0, h0, c0, y2, h2, c2;
    RgbToYhc(0x00806040, y0, h0, c0);
    RgbToYhc(out.At(2, 0) & 0xFFFFFF, y2, h2, c2);
    EXPECT_EQ(out.At(2, 0) >> 24, 0xFFu);
    EXPECT_EQ(out.At(2, 0) & 0xFFFFFF, YhcToPixel(y0 + 75, h0, c0));
    EXPECT_EQ(out.At(3, 0), 0xBF000000u | YhcToPixel(y0 - 75, h0, c0));
    EXPECT_GT(y2, y0);

    // Edge light 0: colours stay within the rounding of the round trip.
    out.ApplyBevel(src, map, 0);
    for (int x = 1; x < 4; ++x)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(double((out.At(x, 0) >> (8 * c)) & 0xFF), double((0x806040u >> (8 * c)) & 0xFF), 1.0);

    // A map smaller than the picture: what it does not cover is outside.
    MYBIT small;
    small.Create(2, 1);
    small.At(0, 0) = 0xFF320000;
    small.At(1, 0) = 0xFF320000;
    MYBIT tall;
    tall.CreateFilled(0x404040, 3, 2);
    out.ApplyBevel(tall, small, 150);
    EXPECT_EQ(out.At(0, 0), 0xFF404040u);
    EXPECT_EQ(out.At(2, 0), 0u);
    EXPECT_EQ(out.At(0, 1), 0u);

    // The target may be the source itself.
    src.ApplyBevel(src, map, 150);
    EXPECT_EQ(src.At(1, 0), 0x7F806040u);

    // Golden: a halved bevel map over a gradient, as a piece's picture is made.
    MYBIT mask = PieceMask(120);
    mask.BevelMap(10);
    mask.HalveInPlace();
    MYBIT pic;
    pic.Create(60, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            pic.At(x, y) = uint32_t(x * 4) << 16 | uint32_t(y * 4) << 8 | uint32_t(200 - x - y);
    out.ApplyBevel(pic, mask, 150);
    EXPECT_EQ(Fnv(out), 0x55b70a7efd3d74baull) << std::hex << Fnv(out);
}

TEST(Yhc, KnownValuesClampsAndOrders) {
    double y, h, c;
    RgbToYhc(0, y, h, c);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(c, 0);
    RgbToYhc(0x00FF0000, y, h, c);  // red
    EXPECT_NEAR(y, 29.8912, 1e-9);
    double d = 255 * (1 - 0.298912), e = -255 * 0.298912;
    EXPECT_NEAR(h, (std::atan2(d, e) + M_PI) * 100 / (2 * M_PI), 1e-9);
    EXPECT_NEAR(c, std::sqrt(d * d + e * e) * 100 / 227.687438, 1e-9);
    RgbToYhc(0x000000FF, y, h, c);  // blue: the most saturated, chroma 100
    EXPECT_NEAR(c, 100, 1e-4);
    RgbToYhc(0xFF102030, y, h, c);  // the alpha byte plays no part
    double y1, h1, c1;
    RgbToYhc(0x00102030, y1, h1, c1);
    EXPECT_EQ(y, y1);

    // Arguments are clamped to 0 .. 100, channels to 0 .. 255; alpha is 0.
    EXPECT_EQ(YhcToPixel(-20, 30, 40), YhcToPixel(0, 30, 40));
    EXPECT_EQ(YhcToPixel(170, 30, 40), YhcToPixel(100, 30, 40));
    EXPECT_EQ(YhcToPixel(50, -1, 40), YhcToPixel(50, 0, 40));
    EXPECT_EQ(YhcToPixel(50, 130, 40), YhcToPixel(50, 100, 40));
    EXPECT_EQ(YhcToPixel(50, 30, 400), YhcToPixel(50, 30, 100));
    EXPECT_EQ(YhcToPixel(100, 0, 0), 0x00FFFFFFu);
    EXPECT_EQ(YhcToPixel(0, 0, 0), 0u);
    EXPECT_EQ(YhcToPixel(NAN, NAN, NAN), 0u);
    for (double hue : {0.0, 12.5, 50.0, 77.7})
        for (double lum : {0.0, 40.0, 100.0}) EXPECT_EQ(YhcToPixel(lum, hue, 100) >> 24, 0u);

    // The ColorRef form is the same colour with red and blue exchanged.
    for (double hue = 0; hue <= 100; hue += 7.5) {
        uint32_t p = YhcToPixel(55, hue, 60);
        EXPECT_EQ(YhcToColorref(55, hue, 60), ColorRefToPixel(p));
    }
    // The frame's default colours.
    EXPECT_EQ(YhcToColorref(30, 93, 84), 0x0000449Du) << std::hex << YhcToColorref(30, 93, 84);
    EXPECT_EQ(YhcToColorref(95, 93, 84), 0x0045EAFFu) << std::hex << YhcToColorref(95, 93, 84);
}

TEST(Yhc, RoundTripWithinOnePerChannel) {
    int total = 0, exact = 0, off = 0;
    for (uint32_t r = 0; r < 256; r += 3)
        for (uint32_t g = 0; g < 256; g += 3)
            for (uint32_t b = 0; b < 256; b += 3) {
                uint32_t p = r << 16 | g << 8 | b;
                double y, h, c;
                RgbToYhc(p, y, h, c);
                uint32_t q = YhcToPixel(y, h, c);
                int worst = 0;
                for (int k = 0; k < 3; ++k)
                    worst =
                        std::max(worst, std::abs(int((p >> (8 * k)) & 0xFF) - int((q >> (8 * k)) & 0xFF)));
                ++total;
                exact += worst == 0;
                off += worst > 1;
            }
    EXPECT_EQ(off, 0);
    EXPECT_GT(exact, total / 2);
}

}  // namespace
