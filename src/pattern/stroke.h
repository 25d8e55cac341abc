// A freehand stroke and the smooth curve drawn for it.
//
// The stroke is the mouse positions of one drag: the press point, then one
// point per move.  Its curve thins them to the points where the line really
// turns, then runs natural cubic splines in x and y through those points,
// parametrised by the distance walked along them, and samples ten curve
// points per stroke point.  Coordinates are canvas client pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "base/geom.h"

constexpr int kMaxStrokePoints = 1000;  // the press point and 999 moves
constexpr int kMaxStrokeMoves = kMaxStrokePoints - 1;
constexpr int kCurvePointsPerStrokePoint = 10;
constexpr int kMaxCurvePoints = kMaxStrokePoints * kCurvePointsPerStrokePoint;

// A point is kept only when it lies more than kThinDistance pixels from the
// last kept point and its direction from there differs from the previous
// kept direction by more than kThinTurn radians.
constexpr double kThinDistance = 10.0;
constexpr double kThinTurn = 0.3;

struct Stroke {
    std::vector<Point> points;  // [0] the press point; never more than kMaxStrokePoints
};

// Starts a new stroke at the press point.
void BeginStroke(Stroke& s, Point press);

// Appends a move.  0 when no stroke has begun or the stroke already holds
// kMaxStrokeMoves moves; the stroke is then unchanged.
int ExtendStroke(Stroke& s, Point p);

// The points the curve runs through, from the first stroke point to the
// last.  Thinning walks the stroke with a reference direction that starts at
// 0 and becomes the direction of each kept point; directions are compared
// as plain differences of atan2 values, without wrapping round at pi.  The
// last stroke point then takes the place of the last kept point (or follows
// the first when that is the only one kept), and a point equal to the one
// before it is dropped, since the curve could not be parametrised across a
// step of no length.  So the result runs from p[0] to p[n - 1] without
// repeats and has one point only when the stroke ends where it began with
// nothing kept between.  Empty for an empty stroke.
void ThinStroke(const Point* p, int n, std::vector<Point>& kept);

// A natural cubic spline (second derivative 0 at both ends) through the
// knots (t[i], v[i]), t strictly increasing.  Two knots give the straight
// piece between them, one knot a constant.
class NaturalSpline {
  public:
    void Fit(const std::vector<double>& knots, const std::vector<double>& values);
    // The spline at u; u is first located by bisection among the knots, and
    // values outside [t[0], t[k-1]] continue the end pieces.  0 unfitted.
    double At(double u) const;

  private:
    std::vector<double> t_, v_;
    std::vector<double> second_;  // second derivatives at the knots
    std::vector<double> work_;
};

// Working storage of StrokeCurve, kept from one move to the next so that a
// long stroke does not allocate on every move.
struct CurveScratch {
    std::vector<Point> kept;
    std::vector<double> t, x, y;
    NaturalSpline sx, sy;
};

// The curve of n stroke points (more than kMaxStrokePoints count as that
// many): m = 10 n points
// at equal steps u = j / (m - 1) of the parameter, which runs from 0 at the
// first kept point to 1 at the last in proportion to the distance along the
// kept points.  Each coordinate is rounded as (value + 0.5) truncated toward
// zero.  A stroke of no length gives m copies of its point.  Empty for n < 1.
void StrokeCurve(const Point* p, int n, std::vector<Point>& curve, CurveScratch& scratch);
