#include "views/table_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Client coordinates far beyond any screen: a rectangle converted from
// table pixels lying far off the view is clipped to the client anyway.
constexpr double kFar = 1e7;

// What the filters of a scaled view read beside a pixel, in client pixels:
// an enlarged pixel blends with its neighbour, a reduced one covers parts of
// two or three table pixels at each edge.
constexpr int kFilterReach = 2;

// The largest table a puzzle gets, in pixels: two board pictures of it take
// 512 MB.  Only unscaled pictures of more than 16 megapixels reach it.
constexpr int64_t kMaxTablePixels = 64 * 1024 * 1024;

int32_t Clip(double v) {
    return static_cast<int32_t>(std::clamp(v, -kFar, kFar));
}

// The origin along one axis that keeps the scaled table as the view's
// comment describes: between 0 and table - client / s, whichever way round.
double ClampAxis(double origin, int table, int client, double s) {
    const double slack = table - client / s;
    return std::clamp(origin, std::min(0.0, slack), std::max(0.0, slack));
}

bool Near(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b));
}

}  // namespace

Point TableView::ClientToTable(Point c) const {
    return Point{Clip(std::floor(originX + (c.x + 0.5) / scale)),
                 Clip(std::floor(originY + (c.y + 0.5) / scale))};
}

Rect TableView::TableToClient(const Rect& r) const {
    if (r.IsEmpty()) return Rect{};
    Rect c{Clip(std::floor((r.left - originX) * scale)), Clip(std::floor((r.top - originY) * scale)),
           Clip(std::ceil((r.right - originX) * scale)), Clip(std::ceil((r.bottom - originY) * scale))};
    if (!OneToOne())
        c = Rect{c.left - kFilterReach, c.top - kFilterReach, c.right + kFilterReach,
                 c.bottom + kFilterReach};
    Rect shown;
    IntersectRect(&shown, c, Rect{0, 0, client.cx, client.cy});
    return shown;
}

Rect TableView::ClientToTableRect(const Rect& r) const {
    if (r.IsEmpty()) return Rect{};
    return Rect{Clip(std::floor(originX + r.left / scale)), Clip(std::floor(originY + r.top / scale)),
                Clip(std::ceil(originX + r.right / scale)), Clip(std::ceil(originY + r.bottom / scale))};
}

bool TableView::Shows(const Rect& r) const {
    return r.left >= originX && r.top >= originY && r.right <= originX + client.cx / scale &&
           r.bottom <= originY + client.cy / scale;
}

Rect TableView::VisibleTable() const {
    const Rect r{Clip(std::floor(originX)), Clip(std::floor(originY)),
                 Clip(std::ceil(originX + client.cx / scale)), Clip(std::ceil(originY + client.cy / scale))};
    Rect shown;
    IntersectRect(&shown, r, Rect{0, 0, table.cx, table.cy});
    return shown;
}

bool TableView::OneToOne() const {
    return scale == 1.0 && originX == std::floor(originX) && originY == std::floor(originY);
}

Size TableSizeFor(Size screen, Size picture) {
    int64_t w = std::max<int64_t>(screen.cx, 2 * int64_t{picture.cx});
    int64_t h = std::max<int64_t>(screen.cy, 2 * int64_t{picture.cy});
    if (w * h > kMaxTablePixels) {
        // Both sides shrink alike, but the table still holds the picture and
        // the screen.
        const double k = std::sqrt(static_cast<double>(kMaxTablePixels) / static_cast<double>(w * h));
        w = std::max<int64_t>({screen.cx, picture.cx, static_cast<int64_t>(static_cast<double>(w) * k)});
        h = std::max<int64_t>({screen.cy, picture.cy, static_cast<int64_t>(static_cast<double>(h) * k)});
    }
    return Size{static_cast<int32_t>(w), static_cast<int32_t>(h)};
}

Size PlayArea(Size table, Size screen, Size client) {
    if (table.cx > screen.cx || table.cy > screen.cy) return table;
    return Size{std::min(client.cx, table.cx), std::min(client.cy, table.cy)};
}

double FitScale(Size table, Size client) {
    if (table.cx <= 0 || table.cy <= 0 || client.cx <= 0 || client.cy <= 0) return 1.0;
    return std::min(
        {1.0, static_cast<double>(client.cx) / table.cx, static_cast<double>(client.cy) / table.cy});
}

std::vector<double> ZoomSteps(double fit) {
    const double halfStep = std::sqrt(kZoomStep);
    std::vector<double> steps{fit};
    if (fit < 1.0) {
        // The powers of 1.25 below 100 %, down to half a step above the fit.
        std::vector<double> below;
        for (double s = 1.0 / kZoomStep; s >= fit * halfStep; s /= kZoomStep) below.push_back(s);
        steps.insert(steps.end(), below.rbegin(), below.rend());
        if (!Near(fit, 1.0)) steps.push_back(1.0);
    }
    for (double s = kZoomStep; s <= kMaxZoom / halfStep; s *= kZoomStep) steps.push_back(s);
    steps.push_back(kMaxZoom);
    return steps;
}

void StartView(TableView& v, Size table, Size client, Size screen) {
    v.table = table;
    v.client = client;
    if (table.cx > screen.cx || table.cy > screen.cy) {
        FitView(v);
        return;
    }
    v.scale = 1;
    v.originX = v.originY = 0;
    v.fitted = false;
    ClampView(v);
}

void ResizeView(TableView& v, Size client) {
    v.client = client;
    if (v.fitted) {
        FitView(v);
        return;
    }
    v.scale = std::clamp(v.scale, FitScale(v.table, client), kMaxZoom);
    ClampView(v);
}

void FitView(TableView& v) {
    v.scale = FitScale(v.table, v.client);
    v.originX = (v.table.cx - v.client.cx / v.scale) / 2;
    v.originY = (v.table.cy - v.client.cy / v.scale) / 2;
    if (v.scale == 1.0) {
        v.originX = std::floor(v.originX);
        v.originY = std::floor(v.originY);
    }
    v.fitted = true;
}

bool ZoomAt(TableView& v, double s, Point at) {
    const TableView before = v;
    s = std::clamp(s, FitScale(v.table, v.client), kMaxZoom);
    // The table point under `at` (not rounded to its pixel) stays there.
    const double tx = v.originX + at.x / v.scale, ty = v.originY + at.y / v.scale;
    v.scale = s;
    v.originX = tx - at.x / s;
    v.originY = ty - at.y / s;
    if (s == 1.0) {
        v.originX = std::round(v.originX);
        v.originY = std::round(v.originY);
    }
    v.fitted = false;
    ClampView(v);
    return v.scale != before.scale || v.originX != before.originX || v.originY != before.originY;
}

bool ZoomStepAt(TableView& v, int steps, Point at) {
    const std::vector<double> ladder = ZoomSteps(FitScale(v.table, v.client));
    double s = v.scale;
    for (; steps > 0; --steps) {
        auto next =
            std::find_if(ladder.begin(), ladder.end(), [&](double l) { return l > s && !Near(l, s); });
        if (next == ladder.end()) break;
        s = *next;
    }
    for (; steps < 0; ++steps) {
        auto prev =
            std::find_if(ladder.rbegin(), ladder.rend(), [&](double l) { return l < s && !Near(l, s); });
        if (prev == ladder.rend()) break;
        s = *prev;
    }
    if (Near(s, FitScale(v.table, v.client)) && s < v.scale) {
        FitView(v);
        return true;
    }
    return ZoomAt(v, s, at);
}

bool PanBy(TableView& v, int dx, int dy) {
    const double x = v.originX, y = v.originY;
    v.originX -= dx / v.scale;
    v.originY -= dy / v.scale;
    ClampView(v);
    const bool moved = v.originX != x || v.originY != y;
    if (moved) v.fitted = false;
    return moved;
}

void FitViewTo(TableView& v, const Rect& r) {
    if (r.IsEmpty() || v.client.cx <= 0 || v.client.cy <= 0) return;
    double s = std::min(
        {1.0, static_cast<double>(v.client.cx) / r.Width(), static_cast<double>(v.client.cy) / r.Height()});
    s = std::max(s, FitScale(v.table, v.client));
    v.scale = s;
    v.originX = (r.left + r.right) / 2.0 - v.client.cx / (2 * s);
    v.originY = (r.top + r.bottom) / 2.0 - v.client.cy / (2 * s);
    if (s == 1.0) {
        v.originX = std::floor(v.originX);
        v.originY = std::floor(v.originY);
    }
    v.fitted = false;
    ClampView(v);
}

void CentreViewOn(TableView& v, const Rect& r) {
    if (r.IsEmpty()) return;
    const double x = v.originX, y = v.originY;
    v.originX = (r.left + r.right) / 2.0 - v.client.cx / (2 * v.scale);
    v.originY = (r.top + r.bottom) / 2.0 - v.client.cy / (2 * v.scale);
    // At 100 % ClampView keeps the origin whole.
    ClampView(v);
    // A fitted view that cannot move stays fitted.
    if (v.originX != x || v.originY != y) v.fitted = false;
}

void ClampView(TableView& v) {
    v.originX = ClampAxis(v.originX, v.table.cx, v.client.cx, v.scale);
    v.originY = ClampAxis(v.originY, v.table.cy, v.client.cy, v.scale);
    if (v.scale == 1.0) {
        // Whole pixels at 100 %; the clamp's ends are whole there too.
        v.originX = std::round(v.originX);
        v.originY = std::round(v.originY);
    }
}
