// The outline walk, the bevel map and its application, and the luma / hue /
// chroma colour model.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <set>

#include "image/mybit.h"
#include "support/picture_hash.h"

namespace {

constexpr uint32_t kInside = 0xFF00FF00;

// The bevel map counted pixel by pixel over each window.
MYBIT BruteBevel(const MYBIT& m, int r) {
    auto nz = [&](int i, int j) {
        return i >= 0 && j >= 0 && i < m.Width() && j < m.Height() && m.At(i, j) != 0;
    };
    MYBIT out;
    out.CopyFrom(m);
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x) {
            if (!nz(x, y)) continue;
            int a = 0, b = 0;
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx)
                    if (nz(x + dx, y + dy)) a += dx + dy >= 0, b += dx + dy <= 0;
            bool corners = nz(x - r, y - r) && nz(x + r, y - r) && nz(x - r, y + r) && nz(x + r, y + r);
            out.At(x, y) |= uint32_t(corners ? 50 : a * 100 / (a + b)) << 16;
        }
    return out;
}

// A disc with a knob on its right, as piece masks look.
MYBIT PieceMask(int side) {
    MYBIT m;
    m.Create(side, side);
    const double c = side / 2.0, r = side * 0.35, kr = side * 0.12;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if ((x - c) * (x - c) + (y - c) * (y - c) < r * r ||
                (x - c - r) * (x - c - r) + (y - c) * (y - c) < kr * kr)
                m.At(x, y) = kInside;
    return m;
}

TEST(TraceContour, StepsAsDefinedWithItsLastingDirection) {
    MYBIT b;
    b.Create(3, 3);
    b.At(1, 1) = b.At(2, 1) = kInside;
    // first = 1 finds the key neighbour to the right (direction 6), steps
    // back to 5, passes 6 and moves up-right (7); the direction becomes 3.
    TraceDirection() = 8;  // taken modulo 8
    Point p{1, 1};
    EXPECT_EQ(b.TraceContour(p, kInside, 1), 1);
    EXPECT_EQ(p, (Point{2, 0}));
    EXPECT_EQ(TraceDirection(), 3);
    EXPECT_EQ(b.TraceContour(p, kInside, 0), 1);  // passes (2, 1), leaves the bitmap
    EXPECT_EQ(p, (Point{3, 1}));
    EXPECT_EQ(TraceDirection(), 1);
    b.At(2, 1) = 0;  // no key neighbour: 0 and nothing moves
    p = {1, 1};
    EXPECT_EQ(b.TraceContour(p, kInside, 1), 0);
    EXPECT_TRUE(p == (Point{1, 1}) && TraceDirection() == 1);
    b.CreateFilled(0, 3, 3);
    for (uint32_t& v : b.pixels) v = kInside;  // all eight key: 0, the point stays
    EXPECT_EQ(b.TraceContour(p, kInside, 0), 0);
    EXPECT_EQ(p, (Point{1, 1}));
    // A point at the ends of the coordinate range has no key neighbour and
    // steps without wrapping round to the other end.
    p = {INT_MIN, INT_MAX};
    TraceDirection() = 0;
    EXPECT_EQ(b.TraceContour(p, kInside, 1), 0);
    EXPECT_EQ(b.TraceContour(p, kInside, 0), 1);  // direction 1: up and left
    EXPECT_EQ(p, (Point{INT_MIN, INT_MAX - 1}));
    TraceDirection() = 4;  // direction 5: down and right
    p = {INT_MAX, INT_MAX};
    EXPECT_EQ(b.TraceContour(p, kInside, 0), 1);
    EXPECT_EQ(p, (Point{INT_MAX, INT_MAX}));
}

TEST(TraceContour, WalkClosesRoundAPieceOnItsOutsidePixels) {
    // As the cutting walks it: a zero border round the piece, start at the
    // first inside pixel whose left neighbour is outside, one step with
    // first = 1 and two more, then on until the stop point comes back.
    for (int side : {9, 24, 41}) {
        MYBIT work;
        work.Create(side + 2, side + 2);
        work.Paste(PieceMask(side), 1, 1);
        auto key = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < work.Width() && y < work.Height() && work.At(x, y) == kInside;
        };
        size_t i = 1;
        while (!(work.pixels[i] == kInside && work.pixels[i - 1] == 0)) ++i;
        Point p{int(i % work.Width()), work.Height() - 1 - int(i / work.Width())};
        TraceDirection() = 0;
        ASSERT_EQ(work.TraceContour(p, kInside, 1) + work.TraceContour(p, kInside, 0) +
                      work.TraceContour(p, kInside, 0),
                  3);
        const Point stop = p;
        std::set<std::pair<int, int>> visited;
        do {
            ASSERT_EQ(work.TraceContour(p, kInside, 0), 1);
            ASSERT_LT(visited.size(), 100000u);
            bool touches = false;
            for (int d = 0; d < 9; ++d) touches |= key(p.x + d % 3 - 1, p.y + d / 3 - 1);
            ASSERT_TRUE(!key(p.x, p.y) && touches) << p.x << "," << p.y;
            visited.insert({p.x, p.y});
        } while (!(p == stop));
        // All the way round: every outside pixel 4-adjacent to the piece is passed.
        for (int y = 0; y < work.Height(); ++y)
            for (int x = 0; x < work.Width(); ++x)
                if (!key(x, y) && (key(x + 1, y) || key(x - 1, y) || key(x, y + 1) || key(x, y - 1))) {
                    EXPECT_TRUE(visited.count({x, y})) << side << ": " << x << "," << y;
                }
    }
}

TEST(BevelMap, EqualsTheWindowCount) {
    std::mt19937 rng(3);
    for (int t = 0; t < 80; ++t) {
        const int w = 1 + rng() % 37, h = 1 + rng() % 29, density = 20 + rng() % 81;
        const int r = t < 4 ? t : int(rng() % 25);  // 0 .. 3, then up to wider than the mask
        MYBIT m;
        m.Create(w, h);
        for (uint32_t& v : m.pixels)
            if (int(rng() % 100) < density) v = (rng() & 1) ? kInside : 0xFF0000FF;
        MYBIT expect = BruteBevel(m, r);
        m.BevelMap(r);
        ASSERT_EQ(m.pixels, expect.pixels) << w << "x" << h << " r=" << r;
    }
    for (int r : {-5, 10, 17, INT_MAX}) {
        MYBIT m = PieceMask(90);
        m.BevelMap(r);
        EXPECT_EQ(m.pixels, BruteBevel(PieceMask(90), std::clamp(r, 0, 90)).pixels) << r;
    }
}

TEST(BevelMap, SolidRectangleAndGolden) {
    const int r = 4, w = 20, h = 15;
    MYBIT m;
    m.CreateFilled(0, w, h);
    for (uint32_t& v : m.pixels) v = kInside;
    m.BevelMap(r);
    for (int y = r; y < h - r; ++y)
        for (int x = r; x < w - r; ++x) EXPECT_EQ(m.At(x, y), kInside | 50u << 16);
    // Corners see one quarter of the window: (r + 1)^2 pixels on one side
    // of the diagonal, only the centre on the other.  Lit from the top-left.
    EXPECT_EQ(m.At(0, 0), kInside | (25u * 100 / 26) << 16);
    EXPECT_EQ(m.At(w - 1, h - 1), kInside | (100u / 26) << 16);
    MYBIT piece = PieceMask(64);
    piece.BevelMap(6);
    EXPECT_EQ(PictureHash(piece), 0xd4e143da0669849dull);
}

TEST(BevelMap, WindowsOfMoreThanTwentyOneMillionPixels) {
    // A window as large as the whole 4640 x 4640 mask: the top-left corner
    // sees all 21,529,600 pixels on its lower-right side and only itself on
    // the other, and 100 times that count passes the 32-bit range.
    const int side = 4640;
    MYBIT m;
    m.CreateFilled(0, side, side);
    std::fill(m.pixels.begin(), m.pixels.end(), kInside);
    m.BevelMap(side - 1);
    EXPECT_EQ(m.At(0, 0), kInside | 99u << 16);
    EXPECT_EQ(m.At(side - 1, side - 1), kInside);  // 100 / 21529601 rounds down to 0
    // On the anti-diagonal through the middle both sides hold the same count.
    EXPECT_EQ(m.At(side - 1, 0), kInside | 50u << 16);
}

TEST(ApplyBevel, AlphaFlatShadedAndSmallMaps) {
    MYBIT src, map, out;
    src.CreateFilled(0x406080, 4, 1);
    map.Create(4, 1);
    map.At(0, 0) = 0x00320000;  // alpha 0: outside whatever the percentage
    map.At(1, 0) = 0x7F320000;  // 50 %: colour kept, alpha taken
    map.At(2, 0) = 0xFF640000;  // 100 %: luma + 75 with the edge light 150
    map.At(3, 0) = 0xBF000000;  // 0 %: luma - 75
    double y, hue, c;
    RgbToYhc(0x00806040, y, hue, c);
    out.ApplyBevel(src, map, 150);
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0, 0x7F806040, 0xFF000000 | YhcToPixel(y + 75, hue, c),
                                                 0xBF000000 | YhcToPixel(y - 75, hue, c)}));
    // A map smaller than the picture: what it leaves uncovered is outside.
    MYBIT grey;
    grey.CreateFilled(0x404040, 3, 2);
    out.ApplyBevel(grey, map, 150);
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0, 0, 0, 0, 0x7F404040, 0xFF000000 | out.At(2, 0)}));
    src.ApplyBevel(src, map, 150);  // into its own source
    EXPECT_EQ(src.At(1, 0), 0x7F806040u);

    // A halved bevel map over a gradient, as a piece's picture is made.
    MYBIT mask = PieceMask(120), pic;
    mask.BevelMap(10);
    mask.HalveInPlace();
    pic.Create(60, 60);
    for (int j = 0; j < 60; ++j)
        for (int i = 0; i < 60; ++i)
            pic.At(i, j) = uint32_t(i * 4) << 16 | uint32_t(j * 4) << 8 | uint32_t(200 - i - j);
    out.ApplyBevel(pic, mask, 150);
    EXPECT_EQ(PictureHash(out), 0x55b70a7efd3d74baull);
}

TEST(Yhc, ValuesClampsAndRoundTrip) {
    double y, h, c;
    RgbToYhc(0xFF000000, y, h, c);  // black, whatever the alpha byte
    EXPECT_TRUE(y == 0 && h == 0 && c == 0);
    RgbToYhc(0x00FF0000, y, h, c);
    const double d = 255 * (1 - 0.298912), e = -255 * 0.298912;
    EXPECT_NEAR(y, 29.8912, 1e-9);
    EXPECT_NEAR(h, (std::atan2(d, e) + M_PI) * 50 / M_PI, 1e-9);
    EXPECT_NEAR(c, std::hypot(d, e) * 100 / 227.687438, 1e-9);
    RgbToYhc(0x000000FF, y, h, c);
    EXPECT_NEAR(c, 100, 1e-4);  // blue is the most saturated

    EXPECT_EQ(YhcToPixel(-20, -1, 400), YhcToPixel(0, 0, 100));
    EXPECT_EQ(YhcToPixel(170, 130, 40), YhcToPixel(100, 100, 40));
    EXPECT_EQ(YhcToPixel(100, 0, 0), 0x00FFFFFFu);
    EXPECT_EQ(YhcToPixel(NAN, NAN, NAN), 0u);
    for (double hue = 0; hue <= 100; hue += 7.5)
        EXPECT_EQ(YhcToColorref(55, hue, 60), ColorRefToPixel(YhcToPixel(55, hue, 60)));
    EXPECT_EQ(YhcToColorref(30, 93, 84), 0x0000449Du);  // the frame's default colours
    EXPECT_EQ(YhcToColorref(95, 93, 84), 0x0045EAFFu);

    int total = 0, exact = 0;
    for (uint32_t i = 0; i < 86 * 86 * 86; ++i) {  // every third level of each channel
        const uint32_t p = (i % 86 * 3) << 16 | (i / 86 % 86 * 3) << 8 | i / 7396 * 3;
        RgbToYhc(p, y, h, c);
        const uint32_t q = YhcToPixel(y, h, c);
        int worst = 0;
        for (int k = 0; k < 24; k += 8)
            worst = std::max(worst, std::abs(int((p >> k) & 0xFF) - int((q >> k) & 0xFF)));
        ASSERT_LE(worst, 1) << std::hex << p;
        ++total, exact += worst == 0;
    }
    EXPECT_GT(exact, total / 2);
}

}  // namespace
