// Thinning a freehand stroke and the spline curve drawn through it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "pattern/stroke.h"

namespace {

std::vector<Point> Kept(const std::vector<Point>& p) {
    std::vector<Point> kept;
    ThinStroke(p.data(), static_cast<int>(p.size()), kept);
    return kept;
}

std::vector<Point> Curve(const std::vector<Point>& p) {
    std::vector<Point> curve;
    CurveScratch scratch;
    StrokeCurve(p.data(), static_cast<int>(p.size()), curve, scratch);
    return curve;
}

// A slow stroke: one point per pixel from a to b (a straight line).
std::vector<Point> Slow(Point a, Point b) {
    std::vector<Point> p;
    const int n = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
    for (int i = 0; i <= n; ++i) p.push_back({a.x + (b.x - a.x) * i / n, a.y + (b.y - a.y) * i / n});
    return p;
}

}  // namespace

TEST(Stroke, AStraightSlowStrokeKeepsOnlyItsEnds) {
    // To the right (the reference direction keeps nothing) and downwards (the
    // first point past 10 pixels is kept, then the last point takes its place).
    for (Point end : {Point{60, 10}, Point{10, 70}}) {
        const std::vector<Point> p = Slow({10, 10}, end);
        EXPECT_EQ(Kept(p), (std::vector<Point>{{10, 10}, end}));
        const std::vector<Point> c = Curve(p);
        ASSERT_EQ(c.size(), 10 * p.size());
        EXPECT_EQ(c.front(), (Point{10, 10}));
        EXPECT_EQ(c.back(), end);
        for (size_t j = 1; j < c.size(); ++j) {
            // On the segment, never stepping back.
            EXPECT_TRUE(end.y == 10 ? c[j].y == 10 && c[j].x >= c[j - 1].x
                                    : c[j].x == 10 && c[j].y >= c[j - 1].y)
                << j;
        }
    }
}

TEST(Stroke, ASharpTurnKeepsItsTurningPointsAndTheCurvePassesThem) {
    // Too near (5 and 3 pixels) and too straight ((40, 2) after (40, 20)) are
    // dropped; the last point takes the place of (40, 20).
    const std::vector<Point> p = {{0, 0}, {0, 5}, {0, 40}, {3, 40}, {40, 40}, {40, 20}, {40, 2}, {40, 0}};
    const std::vector<Point> kept = Kept(p);
    EXPECT_EQ(kept, (std::vector<Point>{{0, 0}, {0, 40}, {40, 40}, {40, 0}}));
    const std::vector<Point> c = Curve(p);
    ASSERT_EQ(c.size(), 80u);
    for (Point k : kept) {
        bool near = false;
        for (Point q : c) near |= std::abs(q.x - k.x) <= 1 && std::abs(q.y - k.y) <= 1;
        EXPECT_TRUE(near) << k.x << "," << k.y;
    }
    // A turning point is kept only beyond 10 pixels from the point kept
    // before it, and only where the direction turns by more than 0.3: at
    // 10 pixels exactly (straight or slanting) it is dropped, and so is a
    // turn of atan(30 / 100) = 0.2915; atan(31 / 100) = 0.3006 is kept.
    struct Case {
        Point turn;
        bool kept;
    };
    for (const Case& c : {Case{{0, 9}, false}, {{0, 10}, false}, {{0, 11}, true}, {{6, 8}, false},
                          {{7, 8}, true}, {{8, 6}, false}, {{8, 7}, true}, {{100, 30}, false},
                          {{100, 31}, true}, {{-10, 0}, false}, {{-11, 0}, true}}) {
        const Point end{c.turn.x + 40 * (c.turn.x > 0 ? -1 : 1), c.turn.y + 60};
        const std::vector<Point> want =
            c.kept ? std::vector<Point>{{0, 0}, c.turn, end} : std::vector<Point>{{0, 0}, end};
        EXPECT_EQ(Kept({{0, 0}, c.turn, end}), want) << c.turn.x << "," << c.turn.y;
    }

    // Directions are compared without wrapping round: going left, a step
    // just below and one just above the axis count as a turn.
    EXPECT_EQ(Kept({{0, 0}, {-20, -1}, {-40, 1}, {-41, 1}}),
              (std::vector<Point>{{0, 0}, {-20, -1}, {-41, 1}}));
}

TEST(Stroke, TheSplineIsNaturalAndMeetsItsKnots) {
    NaturalSpline s;
    s.Fit({0, 0.5, 1}, {0, 1, 0});
    EXPECT_DOUBLE_EQ(s.At(0), 0);
    EXPECT_DOUBLE_EQ(s.At(0.5), 1);
    EXPECT_DOUBLE_EQ(s.At(1), 0);
    // Second derivative -12 in the middle, 0 at the ends.
    EXPECT_DOUBLE_EQ(s.At(0.25), 0.6875);
    s.Fit({0, 1}, {3, 5});
    EXPECT_DOUBLE_EQ(s.At(0.75), 4.5);
    s.Fit({}, {});
    EXPECT_EQ(s.At(0.5), 0);
}

TEST(Stroke, APressAndOneMoveGiveTwentyPointsOnTheSegment) {
    const std::vector<Point> c = Curve({{10, 20}, {29, 58}});
    ASSERT_EQ(c.size(), 20u);
    for (int j = 0; j < 20; ++j) EXPECT_EQ(c[j], (Point{10 + j, 20 + 2 * j})) << j;
    // A press alone is one point; nothing at all gives nothing.
    EXPECT_EQ(Curve({{4, 4}}), std::vector<Point>(10, Point{4, 4}));
    EXPECT_TRUE(Curve({}).empty());
    // Ten curve points a stroke point, for at most 1000 stroke points.
    for (auto [n, m] : {std::pair{999, 9990u}, {1000, 10000u}, {1001, 10000u}}) {
        std::vector<Point> p;
        for (int i = 0; i < n; ++i) p.push_back({i % 50, i / 50});
        EXPECT_EQ(Curve(p).size(), m) << n;
    }
}

TEST(Stroke, AStrokeOfNoLengthGivesItsSinglePoint) {
    const std::vector<Point> p = {{7, 7}, {12, 7}, {7, 7}};
    EXPECT_EQ(Kept(p), (std::vector<Point>{{7, 7}}));
    EXPECT_EQ(Curve(p), std::vector<Point>(30, Point{7, 7}));
}
