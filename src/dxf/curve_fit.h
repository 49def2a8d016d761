#ifndef SYMCONV_DXF_CURVE_FIT_H_
#define SYMCONV_DXF_CURVE_FIT_H_

#include <span>

/// A point or direction of the drawing plane (DXF y up).
struct CVec2 {
  double x = 0.0;
  double y = 0.0;
};

/// A smooth curve of the drawing plane, given by a parameter.
class CPlaneCurve {
 public:
  virtual ~CPlaneCurve() = default;
  virtual CVec2 at(double t) const = 0;
  /// The derivative at t; from inside [from, to] where the curve is only
  /// piecewise smooth (a spline at its knots).
  virtual CVec2 derivative(double t, double from, double to) const = 0;
};

/// Receives the shapes that draw a curve, in drawing-plane coordinates.
class CShapeSink {
 public:
  virtual ~CShapeSink() = default;
  virtual void Line(CVec2 from, CVec2 to) = 0;
  /// Counter-clockwise from start to end, degrees in [0, 360).
  virtual void Arc(CVec2 centre, double radius, double start, double end) = 0;
};

/// The smallest tolerance: the SYM text between a curve and its symbol holds
/// six decimals, so closer fits cannot reach the symbol.
constexpr double kSmallestTolerance = 1e-5;

/// Default tolerance for a curve whose size (its larger extent) is size:
/// a thousandth of it, at least kSmallestTolerance.
double DefaultTolerance(double size);

/// Draws the curve between the parameters of breaks (in increasing order,
/// the curve smooth between neighbours) with arcs and lines, in order,
/// pairs of arcs (biarcs) that meet with a common tangent wherever they fit.
/// Every point of the shapes, as written with six decimals, lies within
/// tolerance of the curve and every point of the curve within tolerance of
/// a shape. Returns the number of shapes given to sink.
int FitCurve(const CPlaneCurve& curve, std::span<const double> breaks,
             double tolerance, CShapeSink& sink);

#endif  // SYMCONV_DXF_CURVE_FIT_H_
