// Lines, Bezier cutting lines and flood fills on the pixel array.
#include <gtest/gtest.h>

#include <cmath>
#include <queue>
#include <random>

#include "image/mybit.h"
#include "support/picture_hash.h"

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;

std::vector<Point> Drawn(const MYBIT& b, uint32_t word) {
    std::vector<Point> out;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.At(x, y) == word) out.push_back({x, y});
    return out;
}

bool EightConnected(const std::vector<Point>& pts) {
    std::vector<bool> seen(pts.size());
    std::vector<size_t> todo{0};
    size_t reached = 0;
    while (!pts.empty() && !todo.empty()) {
        size_t i = todo.back();
        todo.pop_back();
        if (seen[i]) continue;
        seen[i] = true;
        ++reached;
        for (size_t j = 0; j < pts.size(); ++j)
            if (!seen[j] && std::abs(pts[j].x - pts[i].x) <= 1 && std::abs(pts[j].y - pts[i].y) <= 1)
                todo.push_back(j);
    }
    return reached == pts.size();
}

// The default first base line, 216 units to a cell side, scaled to a cell
// of s pixels from (x0, y0); the knob points down / right or, flipped, the
// other way.
CutLine KnobLine(int x0, int y0, int s, bool vertical, bool flipped) {
    static constexpr int kLine1[10][2] = {{0, 0},    {24, -12}, {108, -24}, {74, 24},   {49, 78},
                                          {168, 78}, {143, 24}, {108, -24}, {191, -12}, {216, 0}};
    CutLine line;
    for (const auto& p : kLine1) {
        int along = p[0] * s / 216, across = p[1] * s / 216 * (flipped ? -1 : 1);
        line.points.push_back(vertical ? Point{x0 + across, y0 + along} : Point{x0 + along, y0 + across});
    }
    return line;
}

CutList GridCuts(int nc, int nr, int s, std::mt19937& rng) {
    CutList cuts;
    for (int r = 0; r < nr; ++r)
        for (int c = 0; c < nc; ++c) {
            if (c < nc - 1) cuts.push_back(KnobLine((c + 1) * s, r * s, s, true, rng() & 1));
            if (r < nr - 1) cuts.push_back(KnobLine(c * s, (r + 1) * s, s, false, rng() & 1));
        }
    return cuts;
}

// Labels the white areas 1, 2, ... as the cutting does.  Returns how many
// have at least minPixels pixels; the boxes of smaller ones go to specks.
int LabelAreas(MYBIT& mask, int64_t minPixels = 0, std::vector<Rect>* specks = nullptr) {
    int n = 0, label = 0;
    Rect box;
    for (int y = 0; y < mask.Height(); ++y)
        for (int x = 0; x < mask.Width(); ++x)
            if (mask.At(x, y) == kWhite) {
                if (mask.FloodFillBorderWord(x, y, ++label, 0, &box) >= minPixels)
                    ++n;
                else
                    specks->push_back(box);
            }
    return n;
}

TEST(DrawLine, OnePixelPerStepEndLeftOutAndClipped) {
    std::mt19937 rng(7);
    for (int t = 0; t < 300; ++t) {
        const int x1 = int(rng() % 60) - 25, y1 = int(rng() % 60) - 25, x2 = int(rng() % 60) - 25,
                  y2 = int(rng() % 60) - 25;
        MYBIT big, small;
        big.Create(80, 80);
        small.Create(10, 7);
        big.DrawLineWord(x1 + 30, y1 + 30, x2 + 30, y2 + 30, 1);
        small.DrawLineWord(x1, y1, x2, y2, 1);
        std::vector<Point> px = Drawn(big, 1);
        const int major = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
        ASSERT_EQ(px.size(), size_t(major));
        ASSERT_TRUE(EightConnected(px));
        ASSERT_TRUE(!major || (big.At(x1 + 30, y1 + 30) == 1 && big.At(x2 + 30, y2 + 30) == 0));
        for (Point p : px)  // within half a pixel of the line across its minor axis
            ASSERT_LE(std::abs(double(x2 - x1) * (p.y - 30 - y1) - double(y2 - y1) * (p.x - 30 - x1)) / major,
                      0.5);
        // The small picture shows exactly the same pixels, clipped.
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 10; ++x) ASSERT_EQ(small.At(x, y), big.At(x + 30, y + 30));
    }
    MYBIT b;
    b.Create(5, 5);
    b.DrawLine(-1000000000, -1000000000, 2147483647, 2147483647, 0x0000FF);  // red ColorRef
    EXPECT_EQ(Drawn(b, 0x00FF0000).size(), 5u);
    b.DrawLineWord(INT32_MIN, 3, INT32_MAX, 3, 2);
    EXPECT_EQ(Drawn(b, 2).size(), 5u);
    // From one end of the coordinate range to the other: the diagonal is
    // found however far before the picture the line starts.
    b.Create(5, 5);
    b.DrawLineWord(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 3);
    b.DrawLineWord(INT32_MAX, INT32_MIN + 5, INT32_MIN + 5, INT32_MAX, 4);  // the other way
    EXPECT_EQ(Drawn(b, 3), (std::vector<Point>{{0, 0}, {1, 1}, {3, 3}, {4, 4}}));
    EXPECT_EQ(Drawn(b, 4), (std::vector<Point>{{4, 0}, {3, 1}, {2, 2}, {1, 3}, {0, 4}}));
}

TEST(DrawBeziers, KnobLineIsThinCloseToTheCurveAndSplitsTheMask) {
    MYBIT mask;
    mask.CreateFilled(0xFFFFFF, 200, 400);
    const CutList cuts{KnobLine(0, 200, 200, false, false)};
    mask.DrawBeziers(cuts, 0x000000);
    EXPECT_EQ(PictureHash(mask), 0x85632d34311b8310ull);
    std::vector<Point> px = Drawn(mask, 0);
    EXPECT_TRUE(EightConnected(px));
    for (int y = 0; y + 1 < 400; ++y)  // one pixel wide: no 2 x 2 block drawn
        for (int x = 0; x + 1 < 200; ++x)
            ASSERT_FALSE(mask.At(x, y) + mask.At(x + 1, y) + mask.At(x, y + 1) + mask.At(x + 1, y + 1) == 0);

    // Every pixel lies within half a pixel of the curve on both axes, and
    // every point of the curve (but the left-out end) touches a pixel.
    std::vector<std::pair<double, double>> curve;
    const std::vector<Point>& P = cuts[0].points;
    for (int seg = 0; seg < 3; ++seg)
        for (int i = 0; i <= 20000; ++i) {
            const double t = i / 20000.0, u = 1 - t,
                         b[4] = {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
            double cx = 0, cy = 0;
            for (int k = 0; k < 4; ++k) cx += b[k] * P[3 * seg + k].x, cy += b[k] * P[3 * seg + k].y;
            curve.push_back({cx, cy});
        }
    for (Point p : px) {
        double best = 1e9;
        for (auto [cx, cy] : curve) best = std::min(best, std::max(std::abs(cx - p.x), std::abs(cy - p.y)));
        ASSERT_LE(best, 0.5 + 1e-3) << p.x << "," << p.y;
    }
    for (auto [cx, cy] : curve) {
        if (cx > 198.5) continue;
        const int rx = int(std::floor(cx + 0.5)), ry = int(std::floor(cy + 0.5));
        bool near = false;
        for (int d = 0; d < 9; ++d)
            near |= rx + d % 3 - 1 >= 0 && mask.At(rx + d % 3 - 1, ry + d / 3 - 1) == 0;
        ASSERT_TRUE(near) << cx << "," << cy;
    }
    EXPECT_EQ(LabelAreas(mask), 2);
}

TEST(DrawBeziers, GridCutsMeetAtTheCorners) {
    // Where two cuts run into a corner from the same quarter, the tip of the
    // piece between them is narrower than a pixel just before the corner and
    // may be cut off as a speck of one or two pixels right at the corner.
    for (auto [nc, nr, s] : {std::tuple{2, 2, 100}, {3, 3, 80}, {5, 4, 46}, {7, 2, 31}}) {
        std::mt19937 rng(nc * 100 + nr);
        for (int round = 0; round < 6; ++round) {
            MYBIT mask;
            mask.CreateFilled(0xFFFFFF, nc * s, nr * s);
            mask.DrawBeziers(GridCuts(nc, nr, s, rng), 0);
            std::vector<Rect> specks;
            EXPECT_EQ(LabelAreas(mask, 3, &specks), nc * nr);
            for (Rect r : specks)
                EXPECT_LE(std::max(std::abs(r.left - (r.left + s / 2) / s * s),
                                   std::abs(r.top - (r.top + s / 2) / s * s)),
                          2);
        }
    }
    std::mt19937 rng(2024);
    MYBIT mask;
    mask.CreateFilled(0xFFFFFF, 480, 360);
    mask.DrawBeziers(GridCuts(4, 3, 120, rng), 0);
    EXPECT_EQ(LabelAreas(mask), 14);  // 12 cells and two corner specks
    EXPECT_EQ(PictureHash(mask), 0xd0effdd890f15795ull);
}

TEST(DrawBeziers, CountsJointsAndFarCurves) {
    MYBIT b;
    b.Create(50, 50);
    CutList bad;  // only 3k + 1 points draw
    for (int n : {0, 1, 2, 3, 5, 6, 8}) bad.push_back({std::vector<Point>(n, Point{5, 5})});
    b.DrawBeziersWord(bad, 1);
    EXPECT_TRUE(Drawn(b, 1).empty());
    // Two segments: the joint is drawn, only the very last point left out.
    b.DrawBeziersWord({{{{0, 10}, {5, 10}, {10, 10}, {15, 10}, {15, 15}, {15, 20}, {15, 25}}}}, 1);
    EXPECT_EQ(Drawn(b, 1).size(), 30u);
    EXPECT_TRUE(b.At(15, 10) == 1 && b.At(15, 24) == 1 && b.At(15, 25) == 0);
    // Control points far outside: only the crossing part is walked and drawn,
    // and it matches the same curve drawn whole on a larger picture.
    b.Create(50, 50);
    b.DrawBeziersWord({{{{-300000, 20}, {-100000, 20}, {100000, 20}, {300000, 20}}}}, 1);
    EXPECT_EQ(Drawn(b, 1).size(), 50u);
    MYBIT big;
    big.Create(300, 300);
    big.DrawBeziersWord({{{{60, 160}, {90, 50}, {170, 50}, {190, 160}}}}, 1);
    b.Create(50, 50);
    b.DrawBeziersWord({{{{-40, 60}, {-10, -50}, {70, -50}, {90, 60}}}}, 1);
    MYBIT part;
    part.CropFrom(big, 100, 100, 50, 50);
    EXPECT_EQ(b.pixels, part.pixels);
    // Halves of the first curve would need 4097 samples, one past the most,
    // and are halved again; quarters of the second need 4096 and are drawn:
    // pinned by the hash.
    b.Create(64, 64);
    b.DrawBeziersWord(
        {{{{0, 0}, {2731, 1000}, {-3000, -1000}, {-30, 60}}}, {{{0, 0}, {5461, -4000}, {0, 0}, {0, 60}}}}, 1);
    EXPECT_EQ(PictureHash(b), 0x9900bb0359738862ull);
}

// Plain breadth-first 4-connected fill: the reference.
void ReferenceFill(MYBIT& b, int x, int y, uint32_t fill, uint32_t key, bool border) {
    auto in = [&](int i, int j) {
        return i >= 0 && j >= 0 && i < b.Width() && j < b.Height() &&
               (border ? b.At(i, j) != key : b.At(i, j) == key);
    };
    std::vector<char> seen(b.pixels.size());
    std::vector<Point> area;
    std::queue<Point> q;
    if (in(x, y)) q.push({x, y}), seen[size_t(y) * b.Width() + x] = 1;
    for (; !q.empty(); q.pop()) {
        const Point p = q.front();
        area.push_back(p);
        for (Point n : {Point{p.x + 1, p.y}, Point{p.x - 1, p.y}, Point{p.x, p.y + 1}, Point{p.x, p.y - 1}})
            if (in(n.x, n.y) && !seen[size_t(n.y) * b.Width() + n.x])
                q.push(n), seen[size_t(n.y) * b.Width() + n.x] = 1;
    }
    for (Point p : area) b.At(p.x, p.y) = fill;
}

TEST(FloodFill, AgreesWithAPlainFill) {
    // Border fills take every word but the border (the fill colour standing
    // in the area too); surface fills only the surface word, compared whole.
    std::mt19937 rng(5);
    for (int t = 0; t < 400; ++t) {
        const int w = 1 + rng() % 50, h = 1 + rng() % 50, density = rng() % 60;
        MYBIT a;
        a.Create(w, h);
        for (uint32_t& v : a.pixels) v = int(rng() % 100) < density ? 0 : (rng() % 3 ? kWhite : 0xFF000007);
        MYBIT ref;
        ref.CopyFrom(a);
        const int x = int(rng() % (w + 2)) - 1, y = int(rng() % (h + 2)) - 1;  // sometimes outside
        const bool border = t % 2 == 0;
        const uint32_t key = border ? 0 : (x >= 0 && y >= 0 && x < w && y < h ? a.At(x, y) : 0);
        Rect box;
        int64_t n = border ? a.FloodFillBorderWord(x, y, 0xFF000007, key, &box)
                           : a.FloodFillSurfaceWord(x, y, 9, key, &box);
        ReferenceFill(ref, x, y, border ? 0xFF000007 : 9, key, border);
        ASSERT_EQ(a.pixels, ref.pixels) << "round " << t;
        ASSERT_TRUE(n > 0 || box == Rect{});
    }
    MYBIT b;
    b.CreateFilled(0xFFFFFF, 3, 2);
    b.FloodFillBorder(0, 0, 0x0000FF, 0x000000);  // ColorRef: red and blue exchanged
    EXPECT_EQ(b.At(2, 1), 0x00FF0000u);
    EXPECT_EQ(b.FloodFillSurfaceWord(1, 1, 0x00FF0000, 0x00FF0000), 0);  // fill = surface: nothing
}

TEST(FloodFill, WholeLargeMaskAndALongCorridor) {
    MYBIT big;
    big.CreateFilled(0xFFFFFF, 4000, 3000);
    Rect box;
    EXPECT_EQ(big.FloodFillBorderWord(1234, 2345, 1, 0, &box), 12000000);
    EXPECT_EQ(box, (Rect{0, 0, 4000, 3000}));
    EXPECT_EQ(big.pixels, std::vector<uint32_t>(12000000, 1));
    // A serpentine corridor: every other row a wall open at alternating ends.
    MYBIT maze;
    maze.CreateFilled(0xFFFFFF, 501, 1001);
    for (int y = 1; y < 1001; y += 2)
        for (int x = 0; x < 501; ++x) maze.At(x, y) = x == ((y / 2) % 2 ? 0 : 500) ? kWhite : 0;
    EXPECT_EQ(maze.FloodFillBorderWord(0, 0, 3, 0), 501 * 501 + 500);
    EXPECT_EQ(maze.At(0, 1000), 3u);
}

}  // namespace
