// Lines, Bezier cutting lines and flood fills on the pixel array.
#include <gtest/gtest.h>

#include <cmath>
#include <queue>
#include <random>

#include "image/mybit.h"

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kBlack = 0;

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

std::vector<Point> Drawn(const MYBIT& b, uint32_t word) {
    std::vector<Point> out;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.At(x, y) == word) out.push_back({x, y});
    return out;
}

// The default first base line: 10 points, 216 units to a cell side.
constexpr int kLine1[10][2] = {{0, 0},    {24, -12}, {108, -24}, {74, 24},   {49, 78},
                               {168, 78}, {143, 24}, {108, -24}, {191, -12}, {216, 0}};

// The line along the border from (x0, y0), one cell of side s long,
// horizontal or vertical, knob into the cell below / right or the other way.
CutLine KnobLine(int x0, int y0, int s, bool vertical, bool flipped) {
    CutLine line;
    for (const auto& p : kLine1) {
        int along = p[0] * s / 216, across = p[1] * s / 216 * (flipped ? -1 : 1);
        line.points.push_back(vertical ? Point{x0 + across, y0 + along} : Point{x0 + along, y0 + across});
    }
    return line;
}

// The cut list of an nc x nr grid of s-pixel cells, knobs chosen by rng.
CutList GridCuts(int nc, int nr, int s, std::mt19937& rng) {
    CutList cuts;
    for (int r = 0; r < nr; ++r)
        for (int c = 0; c < nc; ++c) {
            if (c < nc - 1) cuts.push_back(KnobLine((c + 1) * s, r * s, s, true, rng() & 1));
            if (r < nr - 1) cuts.push_back(KnobLine(c * s, (r + 1) * s, s, false, rng() & 1));
        }
    return cuts;
}

// Labels every white area 1, 2, ... as the cutting does; returns the count.
// Areas of fewer than minPixels pixels are listed in specks (their boxes).
int LabelAreas(MYBIT& mask, int64_t minPixels = 0, std::vector<Rect>* specks = nullptr) {
    int n = 0;
    for (int y = 0; y < mask.Height(); ++y)
        for (int x = 0; x < mask.Width(); ++x)
            if (mask.At(x, y) == kWhite) {
                Rect box;
                if (mask.FloodFillBorderWord(x, y, static_cast<uint32_t>(n + 1), kBlack, &box) >= minPixels)
                    ++n;
                else if (specks)
                    specks->push_back(box);
                else
                    ++n;
            }
    return n;
}

bool EightConnected(const std::vector<Point>& pts) {
    if (pts.empty()) return true;
    std::vector<bool> seen(pts.size());
    std::vector<size_t> todo{0};
    seen[0] = true;
    size_t reached = 1;
    while (!todo.empty()) {
        Point p = pts[todo.back()];
        todo.pop_back();
        for (size_t i = 0; i < pts.size(); ++i)
            if (!seen[i] && std::abs(pts[i].x - p.x) <= 1 && std::abs(pts[i].y - p.y) <= 1) {
                seen[i] = true;
                ++reached;
                todo.push_back(i);
            }
    }
    return reached == pts.size();
}

// Plain breadth-first 4-connected fill, the reference for the scanline fill.
void ReferenceFill(MYBIT& b, int x, int y, uint32_t fill, uint32_t key, bool border) {
    if (x < 0 || y < 0 || x >= b.Width() || y >= b.Height()) return;
    auto in = [&](uint32_t v) { return border ? v != key : v == key; };
    if (!in(b.At(x, y))) return;
    std::vector<char> seen(b.pixels.size());
    std::queue<Point> q;
    q.push({x, y});
    seen[static_cast<size_t>(y) * b.Width() + x] = 1;
    std::vector<Point> area;
    while (!q.empty()) {
        Point p = q.front();
        q.pop();
        area.push_back(p);
        const Point next[4] = {{p.x + 1, p.y}, {p.x - 1, p.y}, {p.x, p.y + 1}, {p.x, p.y - 1}};
        for (Point n : next) {
            if (n.x < 0 || n.y < 0 || n.x >= b.Width() || n.y >= b.Height()) continue;
            size_t i = static_cast<size_t>(n.y) * b.Width() + n.x;
            if (seen[i] || !in(b.At(n.x, n.y))) continue;
            seen[i] = 1;
            q.push(n);
        }
    }
    for (Point p : area) b.At(p.x, p.y) = fill;
}

TEST(DrawLine, EndPointLeftOutAndEightConnected) {
    MYBIT b;
    b.Create(12, 12);
    b.DrawLine(1, 1, 6, 1, 0x0000FF);  // red as ColorRef
    EXPECT_EQ(Drawn(b, 0x00FF0000).size(), 5u);
    EXPECT_EQ(b.At(1, 1), 0x00FF0000u);
    EXPECT_EQ(b.At(6, 1), 0u);

    // Backwards: starts drawn, the end (x = 1) left out.
    b.Create(12, 12);
    b.DrawLineWord(6, 3, 1, 3, 7);
    EXPECT_EQ(b.At(6, 3), 7u);
    EXPECT_EQ(b.At(1, 3), 0u);
    EXPECT_EQ(Drawn(b, 7).size(), 5u);

    // Steep and shallow slopes in all octants: one pixel per major step,
    // 8-connected, never the end point, always the start.
    std::mt19937 rng(7);
    for (int t = 0; t < 200; ++t) {
        b.Create(30, 30);
        int x1 = rng() % 30, y1 = rng() % 30, x2 = rng() % 30, y2 = rng() % 30;
        b.DrawLineWord(x1, y1, x2, y2, 1);
        std::vector<Point> px = Drawn(b, 1);
        size_t major = static_cast<size_t>(std::max(std::abs(x2 - x1), std::abs(y2 - y1)));
        ASSERT_EQ(px.size(), major) << x1 << "," << y1 << " " << x2 << "," << y2;
        if (major == 0) continue;
        EXPECT_EQ(b.At(x1, y1), 1u);
        EXPECT_EQ(b.At(x2, y2), 0u);
        EXPECT_TRUE(EightConnected(px));
        // Every pixel within half a pixel of the ideal line across the minor axis.
        for (Point p : px) {
            double dist = std::abs(double(x2 - x1) * (p.y - y1) - double(y2 - y1) * (p.x - x1)) /
                          std::max(std::abs(x2 - x1), std::abs(y2 - y1));
            EXPECT_LE(dist, 0.5 + 1e-9);
        }
    }

    // Zero length draws nothing.
    b.Create(4, 4);
    b.DrawLineWord(2, 2, 2, 2, 1);
    EXPECT_TRUE(Drawn(b, 1).empty());
}

TEST(DrawLine, ClippingKeepsThePixelsOfTheWholeLine) {
    // A line drawn on a small picture shows exactly the pixels the same line
    // shows on a large picture around it, at negative and far positions too.
    std::mt19937 rng(11);
    for (int t = 0; t < 300; ++t) {
        int x1 = int(rng() % 60) - 25, y1 = int(rng() % 60) - 25, x2 = int(rng() % 60) - 25,
            y2 = int(rng() % 60) - 25;
        MYBIT big, small;
        big.Create(80, 80);
        small.Create(10, 7);
        big.DrawLineWord(x1 + 30, y1 + 30, x2 + 30, y2 + 30, 1);
        small.DrawLineWord(x1, y1, x2, y2, 1);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 10; ++x) ASSERT_EQ(small.At(x, y), big.At(x + 30, y + 30));
    }
    // Far outside coordinates: only the visible stretch is walked and drawn.
    MYBIT b;
    b.Create(5, 5);
    b.DrawLineWord(-1000000000, -1000000000, 1000000000, 1000000000, 1);
    EXPECT_EQ(Drawn(b, 1).size(), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(b.At(i, i), 1u);
    b.DrawLineWord(-2147483647, 3, 2147483647, 3, 2);
    EXPECT_EQ(Drawn(b, 2).size(), 5u);
    b.Create(5, 5);
    b.DrawLineWord(-10, -10, -1, 4, 1);
    EXPECT_TRUE(Drawn(b, 1).empty());
    MYBIT empty;
    empty.DrawLineWord(0, 0, 3, 3, 1);  // no pixels: nothing to do, no fault
    EXPECT_TRUE(empty.Empty());
}

TEST(DrawBeziers, KnobLineIsThinConnectedCloseAndSplitsTheMask) {
    // One knobbed line across a 200-pixel cell between two cells stacked.
    MYBIT mask;
    mask.CreateFilled(0xFFFFFF, 200, 400);
    CutList cuts{KnobLine(0, 200, 200, false, false)};
    mask.DrawBeziers(cuts, 0x000000);
    EXPECT_EQ(Fnv(mask), 0x85632d34311b8310ull) << std::hex << Fnv(mask);

    std::vector<Point> px = Drawn(mask, kBlack);
    EXPECT_TRUE(EightConnected(px));
    // The start point is drawn, the end point (200, 200) lies outside anyway;
    // the line reaches both sides of the picture.
    EXPECT_EQ(mask.At(0, 200), kBlack);
    bool right = false;
    for (Point p : px) right |= p.x == 199;
    EXPECT_TRUE(right);

    // Close to the curve: every pixel within half a pixel (per axis) of a
    // point of the curve, and every point of the curve within one pixel of a
    // drawn pixel.
    std::vector<std::pair<double, double>> curve;
    const auto& P = cuts[0].points;
    for (int seg = 0; seg < 3; ++seg)
        for (int i = 0; i <= 20000; ++i) {
            double t = i / 20000.0, u = 1 - t;
            const Point* c = &P[3 * seg];
            curve.push_back(
                {u * u * u * c[0].x + 3 * u * u * t * c[1].x + 3 * u * t * t * c[2].x + t * t * t * c[3].x,
                 u * u * u * c[0].y + 3 * u * u * t * c[1].y + 3 * u * t * t * c[2].y + t * t * t * c[3].y});
        }
    for (Point p : px) {
        double best = 1e9;
        for (auto [cx, cy] : curve) best = std::min(best, std::max(std::abs(cx - p.x), std::abs(cy - p.y)));
        EXPECT_LE(best, 0.5 + 1e-3) << p.x << "," << p.y;
    }
    for (auto [cx, cy] : curve) {
        if (cx > 198.5) continue;  // the left-out end
        int rx = int(std::floor(cx + 0.5)), ry = int(std::floor(cy + 0.5));
        bool near = false;
        for (int dy = -1; dy <= 1 && !near; ++dy)
            for (int dx = -1; dx <= 1 && !near; ++dx)
                near = rx + dx >= 0 && rx + dx < 200 && mask.At(rx + dx, ry + dy) == kBlack;
        ASSERT_TRUE(near) << cx << "," << cy;
    }
    // One pixel wide: no drawn pixel has three drawn 4-neighbours... and no
    // 2 x 2 block is fully drawn.
    for (int y = 0; y + 1 < 400; ++y)
        for (int x = 0; x + 1 < 200; ++x)
            EXPECT_FALSE(mask.At(x, y) == kBlack && mask.At(x + 1, y) == kBlack &&
                         mask.At(x, y + 1) == kBlack && mask.At(x + 1, y + 1) == kBlack);

    EXPECT_EQ(LabelAreas(mask), 2);
}

TEST(DrawBeziers, GridCutsMeetAtTheCornersAndGiveOneAreaPerCell) {
    // Where two cuts run into a corner from the same quarter, the tip of the
    // piece between them is narrower than a pixel just before the corner and
    // can be cut off as a speck of one or two pixels; anything else would be
    // a gap or a stray line.
    for (auto [nc, nr, s] : {std::tuple{2, 2, 100}, {3, 3, 80}, {5, 4, 46}, {7, 2, 31}}) {
        std::mt19937 rng(nc * 100 + nr);
        for (int round = 0; round < 6; ++round) {
            MYBIT mask;
            mask.CreateFilled(0xFFFFFF, nc * s, nr * s);
            mask.DrawBeziers(GridCuts(nc, nr, s, rng), 0);
            std::vector<Rect> specks;
            EXPECT_EQ(LabelAreas(mask, 3, &specks), nc * nr) << nc << "x" << nr;
            for (Rect r : specks) {
                int cx = (r.left + s / 2) / s * s, cy = (r.top + s / 2) / s * s;
                EXPECT_LE(std::max(std::abs(r.left - cx), std::abs(r.top - cy)), 2) << r.left << "," << r.top;
            }
        }
    }
    // Golden: a 4 x 3 grid of 120-pixel cells, labelled.
    std::mt19937 rng(2024);
    MYBIT mask;
    mask.CreateFilled(0xFFFFFF, 480, 360);
    mask.DrawBeziers(GridCuts(4, 3, 120, rng), 0);
    EXPECT_EQ(LabelAreas(mask), 14);  // 12 cells and two corner specks
    EXPECT_EQ(Fnv(mask), 0xd0effdd890f15795ull) << std::hex << Fnv(mask);
}

TEST(DrawBeziers, BadCountsLongCurvesAndClipping) {
    MYBIT b;
    b.Create(50, 50);
    CutList bad;
    for (int n : {0, 1, 2, 3, 5, 6, 8}) {
        CutLine l;
        for (int i = 0; i < n; ++i) l.points.push_back({i * 5, i * 5});
        bad.push_back(l);
    }
    b.DrawBeziersWord(bad, 1);
    EXPECT_TRUE(Drawn(b, 1).empty());

    // A straight cubic equals the straight line (end left out).
    CutList straight{{{{2, 3}, {12, 3}, {22, 3}, {32, 3}}}};
    b.DrawBeziersWord(straight, 1);
    MYBIT line;
    line.Create(50, 50);
    line.DrawLineWord(2, 3, 32, 3, 1);
    EXPECT_EQ(b.pixels, line.pixels);

    // Two segments: the joint is drawn, only the very last point left out.
    b.Create(50, 50);
    CutList two{{{{0, 10}, {5, 10}, {10, 10}, {15, 10}, {15, 15}, {15, 20}, {15, 25}}}};
    b.DrawBeziersWord(two, 1);
    EXPECT_EQ(b.At(15, 10), 1u);
    EXPECT_EQ(b.At(15, 24), 1u);
    EXPECT_EQ(b.At(15, 25), 0u);
    EXPECT_TRUE(EightConnected(Drawn(b, 1)));

    // A curve with control points far outside: only what crosses the
    // picture is drawn, and the visible part matches the same curve drawn
    // on a picture large enough to hold it.
    CutList far{{{{-300000, 20}, {-100000, 20}, {100000, 20}, {300000, 20}}}};
    b.Create(50, 50);
    b.DrawBeziersWord(far, 1);
    std::vector<Point> px = Drawn(b, 1);
    EXPECT_EQ(px.size(), 50u);
    for (Point p : px) EXPECT_EQ(p.y, 20);

    CutList arc{{{{-40, 60}, {-10, -50}, {70, -50}, {90, 60}}}};
    MYBIT big;
    big.Create(300, 300);
    CutList moved{{{{60, 160}, {90, 50}, {170, 50}, {190, 160}}}};
    big.DrawBeziersWord(moved, 1);
    b.Create(50, 50);
    b.DrawBeziersWord(arc, 1);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) ASSERT_EQ(b.At(x, y), big.At(x + 100, y + 100)) << x << "," << y;
}

TEST(FloodFill, BorderFillStopsAtTheBorderAndSpreadsFourConnected) {
    // A diagonal of border pixels is 8-connected: a 4-connected fill cannot
    // cross it.
    MYBIT b;
    b.CreateFilled(0xFFFFFF, 6, 6);
    for (int i = 0; i < 6; ++i) b.At(5 - i, i) = kBlack;
    Rect box;
    EXPECT_EQ(b.FloodFillBorderWord(0, 0, 5, kBlack, &box), 15);
    EXPECT_EQ(box, (Rect{0, 0, 5, 5}));
    EXPECT_EQ(b.At(4, 0), 5u);
    EXPECT_EQ(b.At(5, 5), kWhite);
    EXPECT_EQ(b.At(1, 5), kWhite);

    // The ColorRef form exchanges red and blue; everything but the border
    // colour is filled, whatever its colour.
    b.CreateFilled(0xFFFFFF, 4, 3);
    b.At(1, 1) = 0x123456;
    b.At(2, 1) = 0xFF00FF00;
    b.At(3, 2) = kBlack;
    b.FloodFillBorder(0, 0, 0x0000FF, 0x000000);
    EXPECT_EQ(b.At(1, 1), 0x00FF0000u);
    EXPECT_EQ(b.At(2, 1), 0x00FF0000u);
    EXPECT_EQ(b.At(3, 2), kBlack);

    // Start on the border, or outside the picture: nothing.
    b.CreateFilled(0xFFFFFF, 4, 3);
    b.At(2, 2) = kBlack;
    uint64_t before = Fnv(b);
    EXPECT_EQ(b.FloodFillBorderWord(2, 2, 9, kBlack, &box), 0);
    EXPECT_EQ(box, Rect{});
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {4, 0}, {0, 3}, {-2147483647 - 1, 0}})
        EXPECT_EQ(b.FloodFillBorderWord(x, y, 9, kBlack), 0);
    EXPECT_EQ(Fnv(b), before);
    MYBIT empty;
    EXPECT_EQ(empty.FloodFillBorderWord(0, 0, 1, 0), 0);
}

TEST(FloodFill, BorderFillPassesPixelsAlreadyOfTheFillColour) {
    // The fill colour standing inside the area is no wall: a column of it
    // divides the area, and the fill reaches the far side as the area is
    // everything but the border colour.
    MYBIT b;
    b.CreateFilled(0xFFFFFF, 7, 4);
    for (int y = 0; y < 4; ++y) b.At(3, y) = 5;
    b.At(6, 0) = kBlack;
    EXPECT_EQ(b.FloodFillBorderWord(0, 0, 5, kBlack), 27);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(b.At(x, y), (x == 6 && y == 0) ? kBlack : 5u);

    // Fill colour equal to the border colour: the area takes the border colour.
    b.CreateFilled(0xFFFFFF, 3, 3);
    b.At(1, 1) = kBlack;
    EXPECT_EQ(b.FloodFillBorderWord(0, 0, kBlack, kBlack), 8);
    EXPECT_EQ(Drawn(b, kBlack).size(), 9u);
}

TEST(FloodFill, SurfaceFillTakesOnlyTheSurfaceWord) {
    MYBIT b;
    b.Create(5, 3);  // all 0
    b.At(2, 0) = 0xFF00FF00;
    b.At(2, 1) = 0xFF00FF00;
    b.At(2, 2) = 0xFF000000;  // differs from 0 in its alpha byte only: not surface
    Rect box;
    EXPECT_EQ(b.FloodFillSurfaceWord(0, 1, 0x00FF0000, 0, &box), 6);
    EXPECT_EQ(box, (Rect{0, 0, 2, 3}));
    EXPECT_EQ(b.At(3, 1), 0u);
    EXPECT_EQ(b.At(2, 2), 0xFF000000u);

    // Start not on the surface colour, outside, or fill equal to the surface.
    uint64_t before = Fnv(b);
    EXPECT_EQ(b.FloodFillSurfaceWord(2, 0, 1, 0), 0);
    EXPECT_EQ(b.FloodFillSurfaceWord(5, 0, 1, 0), 0);
    EXPECT_EQ(b.FloodFillSurfaceWord(4, 0, 0, 0), 0);
    EXPECT_EQ(Fnv(b), before);
    // ... though its extent is still found when asked.
    EXPECT_EQ(b.FloodFillSurfaceWord(4, 0, 0, 0, &box), 6);
    EXPECT_EQ(box, (Rect{3, 0, 5, 3}));
    EXPECT_EQ(Fnv(b), before);

    // The ColorRef form: surface black, fill blue (pixel 0x000000FF).
    b.FloodFillSurface(4, 2, 0xFF0000, 0x000000);
    EXPECT_EQ(b.At(3, 0), 0x000000FFu);
}

TEST(FloodFill, AgreesWithAPlainFillOnRandomMasks) {
    std::mt19937 rng(5);
    for (int t = 0; t < 400; ++t) {
        int w = 1 + rng() % 50, h = 1 + rng() % 50;
        MYBIT a;
        a.Create(w, h);
        int density = rng() % 60;
        for (uint32_t& v : a.pixels) v = (int(rng() % 100) < density) ? 0 : (rng() % 3 == 0 ? 7 : kWhite);
        MYBIT ref;
        ref.CopyFrom(a);
        int x = rng() % w, y = rng() % h;
        bool border = t % 2 == 0;
        uint32_t key = border ? 0 : a.At(x, y);
        if (border)
            a.FloodFillBorderWord(x, y, 7, key);  // 7 also stands in the area
        else
            a.FloodFillSurfaceWord(x, y, 9, key);
        ReferenceFill(ref, x, y, border ? 7 : 9, key, border);
        ASSERT_EQ(a.pixels, ref.pixels) << "round " << t;
    }
}

TEST(FloodFill, WholeLargeMaskAndAMazeWithoutRecursion) {
    // One area covering a whole 4000 x 3000 mask.
    MYBIT big;
    big.CreateFilled(0xFFFFFF, 4000, 3000);
    Rect box;
    EXPECT_EQ(big.FloodFillBorderWord(1234, 2345, 1, 0, &box), 12000000);
    EXPECT_EQ(box, (Rect{0, 0, 4000, 3000}));
    EXPECT_EQ(Drawn(big, 1).size(), 12000000u);

    // A serpentine corridor: every row a wall open at alternating ends.
    MYBIT maze;
    maze.CreateFilled(0xFFFFFF, 501, 1001);
    for (int y = 1; y < 1001; y += 2)
        for (int x = 0; x < 501; ++x)
            if ((y / 2) % 2 == 0 ? x != 500 : x != 0) maze.At(x, y) = kBlack;
    int64_t n = maze.FloodFillBorderWord(0, 0, 3, kBlack);
    EXPECT_EQ(n, 501 * 501 + 500);
    EXPECT_EQ(maze.At(0, 1000), 3u);
}

}  // namespace
