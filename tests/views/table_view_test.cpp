// The view of the table: the table's size, the converters both ways, the
// zoom steps and the limits of panning, and the scaled pixels it shows.
#include "views/table_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "image/mybit.h"

namespace {

constexpr Size kScreen{1280, 1024};

TableView ViewAt(Size table, Size client, double scale, double ox, double oy) {
    TableView v;
    v.table = table;
    v.client = client;
    v.scale = scale;
    v.originX = ox;
    v.originY = oy;
    return v;
}

}  // namespace

TEST(TableView, TableSizeAndStartOnBothSidesOfHalfTheScreen) {
    struct Case {
        Size picture;
        Size table;
        bool fitted;
    } cases[] = {
        {{639, 511}, {1280, 1024}, false},
        {{640, 512}, {1280, 1024}, false},  // 2 x pw = sw: still the screen
        {{641, 512}, {1282, 1024}, true},
        {{640, 513}, {1280, 1026}, true},
        {{2000, 1250}, {4000, 2500}, true},
        // An unscaled giant: the table shrinks evenly to 64 M pixels, but
        // still holds the picture.
        {{4096, 4096}, {8192, 8192}, true},  // exactly 64 M pixels: kept
        {{4097, 4096}, {8192, 8191}, true},  // one more: both sides shrink
        {{8000, 6000}, {9459, 7094}, true},
        {{16000, 3000}, {18918, 3547}, true},
    };
    for (const Case& c : cases) {
        const Size t = TableSizeFor(kScreen, c.picture);
        EXPECT_EQ(t, c.table) << c.picture.cx << "x" << c.picture.cy;
        EXPECT_LE(int64_t{t.cx} * t.cy, std::max<int64_t>(64 << 20, int64_t{kScreen.cx} * kScreen.cy));
        TableView v;
        StartView(v, t, Size{1280, 960}, kScreen);
        EXPECT_EQ(v.fitted, c.fitted);
        if (!c.fitted) {
            EXPECT_TRUE(v.scale == 1.0 && v.originX == 0 && v.originY == 0);
            EXPECT_TRUE(v.OneToOne());
        } else {
            EXPECT_DOUBLE_EQ(v.scale, FitScale(t, Size{1280, 960}));
        }
    }
    // The play area: the client on a screen-sized table (cut to the table
    // when the window is larger than the screen), the table when larger.
    EXPECT_EQ(PlayArea({1280, 1024}, kScreen, {1280, 960}), (Size{1280, 960}));
    EXPECT_EQ(PlayArea({1280, 1024}, kScreen, {1500, 1100}), (Size{1280, 1024}));
    EXPECT_EQ(PlayArea({1282, 1024}, kScreen, {1280, 960}), (Size{1282, 1024}));
}

TEST(TableView, ConvertersRoundTripAtEveryKindOfScale) {
    const Size table{4000, 2500}, client{1920, 1080};
    const double fit = FitScale(table, client);
    ASSERT_NEAR(fit, 0.432, 1e-3);
    for (double s : {fit, 0.5, 1.0, 1.25, 2.0}) {
        TableView v = ViewAt(table, client, s, s == 1.0 ? 37 : 37.4, s == 1.0 ? -20 : -19.7);
        for (int cy = 0; cy < client.cy; cy += 97) {
            for (int cx = 0; cx < client.cx; cx += 61) {
                // Client -> table -> client: the table pixel shows at the
                // client pixel it came from.
                const Point t = v.ClientToTable({cx, cy});
                const Rect back = v.TableToClient(Rect{t.x, t.y, t.x + 1, t.y + 1});
                ASSERT_TRUE(back.left <= cx && cx < back.right && back.top <= cy && cy < back.bottom)
                    << s << " " << cx << "," << cy;
                // The client rectangle's table pixels hold the point.
                const Rect tr = v.ClientToTableRect(Rect{cx, cy, cx + 1, cy + 1});
                ASSERT_TRUE(tr.left <= t.x && t.x < tr.right && tr.top <= t.y && t.y < tr.bottom);
            }
        }
        // From 100 % up, table -> client -> table is exact as well.
        if (s >= 1.0) {
            for (int tx = 40; tx < 900; tx += 53) {
                const Point c{static_cast<int>(std::floor((tx + 0.5 - v.originX) * s)),
                              static_cast<int>(std::floor((100 + 0.5 - v.originY) * s))};
                EXPECT_EQ(v.ClientToTable(c), (Point{tx, 100})) << s;
            }
        }
    }
    // At 100 % with a whole origin, client = table - origin, with no filter
    // reach round a changed rectangle.
    const TableView one = ViewAt(table, client, 1.0, 300, 200);
    EXPECT_EQ(one.ClientToTable({0, 0}), (Point{300, 200}));
    EXPECT_EQ(one.TableToClient(Rect{310, 205, 320, 215}), (Rect{10, 5, 20, 15}));
    EXPECT_EQ(one.TableToClient(Rect{0, 0, 290, 190}), Rect{});  // off the client
}

TEST(TableView, ZoomStepsRunFromTheFitTo200PercentThroughOneHundred) {
    for (double fit = 0.1; fit <= 1.0; fit += 0.0137) {
        const std::vector<double> steps = ZoomSteps(fit);
        ASSERT_DOUBLE_EQ(steps.front(), fit);
        ASSERT_DOUBLE_EQ(steps.back(), kMaxZoom);
        ASSERT_NE(std::find(steps.begin(), steps.end(), 1.0), steps.end()) << fit;
        for (size_t i = 1; i < steps.size(); ++i) {
            const double ratio = steps[i] / steps[i - 1];
            // Never a step larger than 1.25 x half a step, never a crumb,
            // except the fit to 100 % when the fit lies just below it.
            EXPECT_LE(ratio, kZoomStep * std::sqrt(kZoomStep) + 1e-9) << fit << " " << i;
            if (steps[i - 1] != fit || steps[i] != 1.0) {
                EXPECT_GE(ratio, std::sqrt(kZoomStep) - 1e-9) << fit << " " << i;
            }
        }
    }
}

TEST(TableView, ZoomKeepsThePointUnderThePointerAndPanningStaysOnTheTable) {
    TableView v;
    StartView(v, Size{4000, 2500}, Size{1920, 1080}, Size{1920, 1080});
    ASSERT_TRUE(v.fitted);
    const Point pointer{700, 400};
    auto tableUnder = [&] {
        return std::pair{v.originX + pointer.x / v.scale, v.originY + pointer.y / v.scale};
    };
    const auto before = tableUnder();
    for (int step : {1, 1, 1, 1, 1, 1, -1, 1, 1}) {
        ASSERT_TRUE(ZoomStepAt(v, step, pointer));
        const auto now = tableUnder();
        // Within a table pixel: at 100 % the origin is rounded to whole pixels.
        EXPECT_NEAR(now.first, before.first, 1.0) << v.scale;
        EXPECT_NEAR(now.second, before.second, 1.0) << v.scale;
    }
    EXPECT_DOUBLE_EQ(v.scale, kMaxZoom);
    EXPECT_FALSE(ZoomStepAt(v, 1, pointer));  // nothing beyond 200 %

    // Panning far beyond an edge stops at it; at the fit the table is centred
    // in the longer axis and cannot move.
    PanBy(v, 100000, 100000);
    EXPECT_EQ(v.originX, 0);
    EXPECT_EQ(v.originY, 0);
    PanBy(v, -100000, -100000);
    EXPECT_DOUBLE_EQ(v.originX, 4000 - 1920 / kMaxZoom);
    EXPECT_DOUBLE_EQ(v.originY, 2500 - 1080 / kMaxZoom);
    ASSERT_TRUE(ZoomStepAt(v, -100, pointer));
    EXPECT_TRUE(v.fitted);
    EXPECT_FALSE(PanBy(v, 0, 50));
    EXPECT_DOUBLE_EQ(v.originY, (2500 - 1080 / v.scale) / 2);

    // 100 % at the pointer keeps whole pixels and the point under it.
    ASSERT_TRUE(ZoomAt(v, 1.0, pointer));
    EXPECT_TRUE(v.OneToOne());
    EXPECT_NEAR(v.originX + pointer.x, before.first, 1.0);

    // A fitted view fits again when the client changes; another stays
    // within its limits.
    FitView(v);
    ResizeView(v, Size{1000, 1000});
    EXPECT_DOUBLE_EQ(v.scale, 0.25);
    ZoomAt(v, 2.0, pointer);
    ResizeView(v, Size{3000, 2000});
    EXPECT_DOUBLE_EQ(v.scale, 2.0);
    EXPECT_LE(v.originX + 3000 / 2.0, 4000.0);

    // Centring on a rectangle keeps the scale, stops at the table's edges
    // and keeps whole pixels at 100 %.
    TableView c = ViewAt({4000, 2500}, {1000, 800}, 0.5, 0, 0);
    const Rect r{1900, 1100, 2101, 1301};  // centre (2000.5, 1200.5)
    CentreViewOn(c, r);
    EXPECT_TRUE(c.scale == 0.5 && c.originX == 2000.5 - 1000 && c.originY == 1200.5 - 800);
    CentreViewOn(c, Rect{3900, 2400, 3950, 2450});
    EXPECT_TRUE(c.originX == 4000 - 2000 && c.originY == 2500 - 1600);
    c.scale = 1;
    CentreViewOn(c, r);
    EXPECT_TRUE(c.OneToOne() && c.originX == 1501 && c.originY == 801);
}

TEST(TableView, ScaledPixelsAreAveragedOrInterpolatedAndMarginBeyondTheTable) {
    // An independent rule: each target pixel the exact mean of the source
    // area it covers (below 100 %), or the bilinear blend of the four pixels
    // round its centre (above).  Channels are computed in doubles.
    MYBIT src;
    src.Create(37, 23);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            src.At(x, y) = static_cast<uint32_t>((x * 7) << 16 | (y * 11) << 8 | ((x * y) & 0xFF));
    auto channel = [&](int x, int y, int c) {
        x = std::clamp(x, 0, 36);
        y = std::clamp(y, 0, 22);
        return static_cast<double>((src.At(x, y) >> (8 * c)) & 0xFF);
    };
    const uint32_t margin = 0x123456;
    for (ViewMap m : {ViewMap{0.4, -3.5, 2.25}, ViewMap{0.75, 5.0, -1.0}, ViewMap{1.6, 10.3, 4.8},
                      ViewMap{2.0, -2.0, 0.0}, ViewMap{1.0, 3.0, -2.0}}) {
        MYBIT out;
        out.CreateFilled(0xFFFFFF, 40, 30);
        const Rect area{2, 1, 38, 29};
        StretchView(src, m, out, area, margin);
        for (int ty = 0; ty < 30; ++ty) {
            for (int tx = 0; tx < 40; ++tx) {
                const uint32_t got = out.At(tx, ty);
                if (tx < area.left || tx >= area.right || ty < area.top || ty >= area.bottom) {
                    ASSERT_EQ(got, 0xFFFFFFu) << "outside the area";
                    continue;
                }
                const double cx = m.originX + (tx + 0.5) / m.scale, cy = m.originY + (ty + 0.5) / m.scale;
                if (cx < 0 || cx >= 37 || cy < 0 || cy >= 23) {
                    ASSERT_EQ(got, margin) << m.scale << " " << tx << "," << ty;
                    continue;
                }
                for (int c = 0; c < 3; ++c) {
                    double want = 0;
                    if (m.scale < 1) {
                        const double x0 = std::max(m.originX + tx / m.scale, 0.0),
                                     x1 = std::min(m.originX + (tx + 1) / m.scale, 37.0);
                        const double y0 = std::max(m.originY + ty / m.scale, 0.0),
                                     y1 = std::min(m.originY + (ty + 1) / m.scale, 23.0);
                        double sum = 0;
                        for (int y = static_cast<int>(y0); y < y1; ++y)
                            for (int x = static_cast<int>(x0); x < x1; ++x)
                                sum += channel(x, y, c) * (std::min(x1, x + 1.0) - std::max(x0, double(x))) *
                                       (std::min(y1, y + 1.0) - std::max(y0, double(y)));
                        want = sum / ((x1 - x0) * (y1 - y0));
                    } else {
                        const double px = std::clamp(cx - 0.5, 0.0, 36.0),
                                     py = std::clamp(cy - 0.5, 0.0, 22.0);
                        const int x = static_cast<int>(px), y = static_cast<int>(py);
                        const double fx = px - x, fy = py - y;
                        want = (channel(x, y, c) * (1 - fx) + channel(x + 1, y, c) * fx) * (1 - fy) +
                               (channel(x, y + 1, c) * (1 - fx) + channel(x + 1, y + 1, c) * fx) * fy;
                    }
                    ASSERT_NEAR(static_cast<double>((got >> (8 * c)) & 0xFF), want, 1.0)
                        << m.scale << " " << tx << "," << ty << " channel " << c;
                }
            }
        }
    }
}

TEST(TableView, AWholeWindowMadeInBandsEqualsItMadeInSmallParts) {
    // Large enough to be split among threads in one call; each part below
    // is made on its own, on this thread.
    MYBIT src;
    src.Create(1500, 1100);
    for (int y = 0; y < 1100; ++y)
        for (int x = 0; x < 1500; ++x)
            src.At(x, y) = static_cast<uint32_t>((x * 13 + y * 7) * 2654435761u >> 8);
    for (ViewMap m : {ViewMap{0.55, -40.25, 10.5}, ViewMap{1.5625, 100.5, 60.25}}) {
        MYBIT whole, parts;
        whole.Create(900, 700);
        parts.Create(900, 700);
        StretchView(src, m, whole, Rect{0, 0, 900, 700}, 0x010203);
        for (int y = 0; y < 700; y += 100)
            for (int x = 0; x < 900; x += 150)
                StretchView(src, m, parts, Rect{x, y, x + 150, y + 100}, 0x010203);
        EXPECT_EQ(whole.pixels, parts.pixels) << m.scale;
    }
}
