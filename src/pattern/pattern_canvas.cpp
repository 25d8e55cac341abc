#include "pattern/pattern_canvas.h"

#include <algorithm>
#include <cstdint>

#include "base/dpi_scale.h"

namespace {

void PutPixel(MYBIT& b, Point p, ColorRef color) {
    if (p.x >= 0 && p.y >= 0 && p.x < b.Width() && p.y < b.Height()) b.At(p.x, p.y) = ColorRefToPixel(color);
}

// v * to / from, rounded half away from zero.
int Rescale(int v, int from, int to) {
    const int64_t p = int64_t{v} * to;
    return static_cast<int>(p >= 0 ? (p + from / 2) / from : -((-p + from / 2) / from));
}

void RescalePoints(std::vector<Point>& points, int from, int to) {
    for (Point& p : points) p = Point{Rescale(p.x, from, to), Rescale(p.y, from, to)};
}

}  // namespace

void CreateCanvas(PatternCanvas& c, int w, int h) {
    c.picture.CreateFilled(0xFFFFFF, w, h);
    c.stroke.points.clear();
    c.curve.clear();
    c.shown = false;
}

void ClearCanvas(PatternCanvas& c) {
    c.picture.Fill(0xFFFFFF);
    c.shown = false;
}

void RescaleCanvas(PatternCanvas& c, int w, int h, int fromDpi, int toDpi) {
    fromDpi = KnownDpi(fromDpi);
    toDpi = KnownDpi(toDpi);
    RescalePoints(c.stroke.points, fromDpi, toDpi);
    RescalePoints(c.curve, fromDpi, toDpi);
    c.picture.CreateFilled(0xFFFFFF, w, h);
    if (c.shown) DrawStroke(c);
}

void PressCanvas(PatternCanvas& c, Point p) {
    BeginStroke(c.stroke, p);
    c.pressed = true;
}

int DragCanvas(PatternCanvas& c, Point p) {
    if (!c.pressed || !ExtendStroke(c.stroke, p)) return 0;
    const std::vector<Point>& s = c.stroke.points;
    StrokeCurve(s.data(), static_cast<int>(s.size()), c.curve, c.scratch);
    DrawStroke(c);
    return 1;
}

void ReleaseCanvas(PatternCanvas& c) {
    c.pressed = false;
}

void DrawStroke(PatternCanvas& c) {
    MYBIT& b = c.picture;
    b.Fill(0xFFFFFF);
    const std::vector<Point>& k = c.curve;
    if (!k.empty() && std::all_of(k.begin(), k.end(), [&](Point q) { return q == k[0]; }))
        PutPixel(b, k[0], kCurveColor);
    for (size_t i = 1; i < k.size(); ++i) b.DrawLine(k[i - 1].x, k[i - 1].y, k[i].x, k[i].y, kCurveColor);
    for (Point q : c.stroke.points) PutPixel(b, q, kStrokePointColor);
    c.shown = true;
}
