#include "pattern/stroke.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {

// (value + 0.5) truncated toward zero; past the int range it stops at its
// ends.
int32_t RoundCoordinate(double v) {
    const double r = v + 0.5;
    if (!(r > static_cast<double>(std::numeric_limits<int32_t>::min())))
        return std::numeric_limits<int32_t>::min();
    if (r >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

double Distance(Point a, Point b) {
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

void BeginStroke(Stroke& s, Point press) {
    s.points.clear();
    s.points.reserve(kMaxStrokePoints);
    s.points.push_back(press);
}

int ExtendStroke(Stroke& s, Point p) {
    if (s.points.empty() || s.points.size() >= static_cast<size_t>(kMaxStrokePoints)) return 0;
    s.points.push_back(p);
    return 1;
}

void ThinStroke(const Point* p, int n, std::vector<Point>& kept) {
    kept.clear();
    if (n < 1) return;
    kept.push_back(p[0]);
    double reference = 0.0;
    for (int i = 1; i < n; ++i) {
        const Point last = kept.back();
        const double dx = static_cast<double>(p[i].x) - last.x, dy = static_cast<double>(p[i].y) - last.y;
        if (std::sqrt(dx * dx + dy * dy) <= kThinDistance) continue;
        const double direction = std::atan2(dy, dx);
        if (std::fabs(direction - reference) <= kThinTurn) continue;
        kept.push_back(p[i]);
        reference = direction;
    }
    if (kept.size() == 1)
        kept.push_back(p[n - 1]);
    else
        kept.back() = p[n - 1];
    // A point equal to the one before it would be a step of no length, which
    // the parameter cannot cross: a stroke that ends where it began with
    // nothing kept between.
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
}

void NaturalSpline::Fit(const std::vector<double>& knots, const std::vector<double>& values) {
    const size_t k = std::min(knots.size(), values.size());
    t_.assign(knots.begin(), knots.begin() + static_cast<std::ptrdiff_t>(k));
    v_.assign(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k));
    second_.assign(k, 0.0);
    work_.assign(k, 0.0);
    if (k < 3) return;  // one or two knots: a constant or a straight piece
    const std::vector<double>& t = t_;
    const std::vector<double>& v = v_;
    // The tridiagonal system of the inner knots, eliminated forwards with the
    // end conditions second_[0] = second_[k-1] = 0, then solved backwards.
    for (size_t i = 1; i + 1 < k; ++i) {
        const double sig = (t[i] - t[i - 1]) / (t[i + 1] - t[i - 1]);
        const double p = sig * second_[i - 1] + 2.0;
        second_[i] = (sig - 1.0) / p;
        const double slopes = (v[i + 1] - v[i]) / (t[i + 1] - t[i]) - (v[i] - v[i - 1]) / (t[i] - t[i - 1]);
        work_[i] = (6.0 * slopes / (t[i + 1] - t[i - 1]) - sig * work_[i - 1]) / p;
    }
    for (size_t i = k - 1; i-- > 0;) second_[i] = second_[i] * second_[i + 1] + work_[i];
}

double NaturalSpline::At(double u) const {
    const std::vector<double>& t = t_;
    const std::vector<double>& v = v_;
    if (t.size() < 2) return t.empty() ? 0.0 : v[0];
    size_t lo = 0, hi = t.size() - 1;
    while (hi - lo > 1) {
        const size_t mid = (hi + lo) / 2;
        if (t[mid] > u)
            hi = mid;
        else
            lo = mid;
    }
    const double h = t[hi] - t[lo];
    const double a = (t[hi] - u) / h, b = (u - t[lo]) / h;
    return a * v[lo] + b * v[hi] +
           ((a * a * a - a) * second_[lo] + (b * b * b - b) * second_[hi]) * h * h / 6.0;
}

void StrokeCurve(const Point* p, int n, std::vector<Point>& curve, CurveScratch& s) {
    curve.clear();
    n = std::min(n, kMaxStrokePoints);
    if (n < 1) return;
    const int m = kCurvePointsPerStrokePoint * n;
    ThinStroke(p, n, s.kept);
    const size_t k = s.kept.size();
    if (k < 2) {
        curve.assign(static_cast<size_t>(m), s.kept[0]);
        return;
    }
    s.t.resize(k);
    s.x.resize(k);
    s.y.resize(k);
    s.t[0] = 0.0;
    for (size_t i = 0; i < k; ++i) {
        if (i > 0) s.t[i] = s.t[i - 1] + Distance(s.kept[i - 1], s.kept[i]);
        s.x[i] = s.kept[i].x;
        s.y[i] = s.kept[i].y;
    }
    // The last parameter becomes exactly 1, as the last sample is.
    const double total = s.t[k - 1];
    for (double& t : s.t) t /= total;
    s.sx.Fit(s.t, s.x);
    s.sy.Fit(s.t, s.y);
    curve.resize(static_cast<size_t>(m));
    for (int j = 0; j < m; ++j) {
        const double u = static_cast<double>(j) / (m - 1);
        curve[j] = Point{RoundCoordinate(s.sx.At(u)), RoundCoordinate(s.sy.At(u))};
    }
}
