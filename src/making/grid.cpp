#include "making/grid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/host.h"
#include "base/rand.h"
#include "config/settings.h"
#include "making/making_state.h"

namespace {

constexpr const char* kNoExactDivision = "割り切れる分割数が見つかりません。\n端数が出る分割数になります。";

// Arrange mode: the even side of 10 or more that divides both W and H and
// whose count lies nearest to n; on a tie the side giving more pieces wins.
// Sides giving more cells than the board holds pieces do not count (a mask
// whose only common divisor is 10 would otherwise be cut into a million).
// 0 when no such side exists.
int32_t ExactSide(int32_t n, int32_t W, int32_t H) {
    int32_t M = std::max(W, H);
    if (M < 10) return 0;
    int32_t above = 0;  // the last side seen that gives more than n pieces
    int64_t aboveCount = 0;
    for (int32_t s = 10; s <= M; s += 2) {
        if (W % s != 0 || H % s != 0) continue;
        int64_t c = static_cast<int64_t>(W / s) * (H / s);
        if (c > kMaxAreas) continue;
        if (c > n) {
            above = s;
            aboveCount = c;
            continue;
        }
        if (above == 0) return s;
        return (aboveCount - n <= n - c) ? above : s;
    }
    return above;
}

}  // namespace

GridDivision DivideGrid(int32_t count, int32_t W, int32_t H, int32_t arrange, Host& host) {
    GridDivision g;
    int32_t shorter = std::min(W, H);
    if (shorter < 2) return g;
    // Never more pieces than the board holds: the menu offers at most 1000,
    // but a settings file can ask for millions, whose cutting lines alone
    // would not fit in memory.  The even side gives at most four cells per
    // piece asked for; labelling stops at kMaxAreas areas.
    int32_t n = std::clamp(count, 1, kMaxAreas);

    int32_t s = arrange ? ExactSide(n, W, H) : 0;
    if (arrange && s == 0) host.MessageBox(kNoExactDivision, "pukko", kMbOk, Owner::kNone);
    if (s == 0) {
        s = static_cast<int32_t>(std::sqrt(static_cast<double>(W) * static_cast<double>(H) / n));
        if (s % 2 != 0) s -= 1;
        // A cell narrower than kMinCellSide has no room for a knob: its lines
        // cover it whole or cut it into crumbs.  A very wide or tall picture
        // would get a side longer than its short edge and no whole cell.
        s = std::min(std::max(s, kMinCellSide), shorter - shorter % 2);
    }
    g.cellWidth = g.cellHeight = s;
    g.columns = W / s;
    g.rows = H / s;
    return g;
}

ShapeTables BuildShapeTables(const Settings& settings) {
    ShapeTables t;
    // One cell side is 216 units; the constant is single precision, so the
    // quotient is too (24 / 216 rounds up, which decides where a truncated
    // point lands).
    constexpr float kUnit = 216.0f;
    for (int k = 0; k < 4; ++k) {
        const int32_t(*line)[2] = settings.lineInitial[k];
        for (int j = 1; j < 9; ++j) {
            double x = static_cast<float>(line[j][0]) / kUnit;
            double y = static_cast<float>(line[j][1]) / kUnit;
            t.h[k][j] = {x, y};
            t.v[k][j] = {y, x};
        }
        t.h[k][0] = {0, 0};
        t.h[k][9] = {1, 0};
        t.v[k][0] = {0, 0};
        t.v[k][9] = {0, 1};
    }
    for (int k = 4; k < 8; ++k) {
        for (int j = 0; j < 10; ++j) {
            const UnitPoint& hb = t.h[k - 4][9 - j];
            const UnitPoint& vb = t.v[k - 4][9 - j];
            t.h[k][j] = {1 - hb.x, hb.y};
            t.v[k][j] = {vb.x, 1 - vb.y};
        }
    }
    for (int k = 8; k < 16; ++k) {
        for (int j = 0; j < 10; ++j) {
            t.h[k][j] = {t.h[k - 8][j].x, -t.h[k - 8][j].y};
            t.v[k][j] = {-t.v[k - 8][j].x, t.v[k - 8][j].y};
        }
    }
    return t;
}

namespace {

// Cell coordinate plus a unit offset, scaled to mask pixels; computed in
// extended precision and truncated toward zero.  Base line points come from
// the settings file, so a point can lie any distance off; it is held to the
// 32-bit range (the curve drawing clips whatever lies beyond the mask).
int32_t ToMask(int32_t cell, double unit, int32_t side) {
    long double v = (static_cast<long double>(cell) + unit) * side;
    return static_cast<int32_t>(std::clamp<long double>(v, INT32_MIN, INT32_MAX));
}

CutLine MakeLine(const UnitPoint (&shape)[10], int32_t cx, int32_t cy, int32_t w, int32_t h) {
    CutLine line;
    line.points.resize(10);
    for (int j = 0; j < 10; ++j) line.points[j] = Point{ToMask(cx, shape[j].x, w), ToMask(cy, shape[j].y, h)};
    return line;
}

}  // namespace

CutList CutLinesForGrid(const GridDivision& g, int32_t arrange, const ShapeTables& shapes, Rand& rng) {
    const int32_t nc = g.columns, nr = g.rows, w = g.cellWidth, h = g.cellHeight;
    CutList list;
    if (nc <= 0 || nr <= 0) return list;
    list.reserve(static_cast<size_t>(nr) * (nc - 1) + static_cast<size_t>(nr - 1) * nc);
    int rowShape = 0;                     // arrange mode: first vertical cut of the row
    std::vector<int> columnShape(nc, 0);  // arrange mode: first horizontal cut of each column
    for (int32_t r = 0; r < nr; ++r) {
        for (int32_t c = 0; c < nc; ++c) {
            if (c < nc - 1) {
                int k = rng.Next() % kShapeCount;
                if (arrange) {
                    if (c == 0)
                        rowShape = k;
                    else if (c == nc - 2)
                        k = rowShape;
                }
                list.push_back(MakeLine(shapes.v[k], c + 1, r, w, h));
            }
            if (r < nr - 1) {
                int k = rng.Next() % kShapeCount;
                if (arrange) {
                    if (r == 0)
                        columnShape[c] = k;
                    else if (r == nr - 2)
                        k = columnShape[c];
                }
                list.push_back(MakeLine(shapes.h[k], c, r + 1, w, h));
            }
        }
    }
    return list;
}

CutList BuildCutLines(int32_t& count, int32_t& maskWidth, int32_t& maskHeight, int32_t arrange,
                      ArrangeRects& rects, const Settings& settings, Rand& rng, Host& host,
                      GridDivision* division) {
    GridDivision g = DivideGrid(count, maskWidth, maskHeight, arrange, host);
    if (division) *division = g;
    count = g.rows * g.columns;
    maskWidth = g.columns * g.cellWidth;
    maskHeight = g.rows * g.cellHeight;
    CutList list = CutLinesForGrid(g, arrange, BuildShapeTables(settings), rng);
    if (arrange) {
        const int32_t s = g.cellWidth;
        rects.whole = Rect{0, 0, g.columns * s / 2, g.rows * s / 2};
        rects.inner = Rect{s / 2, s / 2, s * (g.columns - 1) / 2, s * (g.rows - 1) / 2};
    }
    return list;
}
