#ifndef SYMCONV_DXF_SPLINE_H_
#define SYMCONV_DXF_SPLINE_H_

#include <string_view>
#include <vector>

#include "dxf/curve_fit.h"
#include "dxf/dxf_group_reader.h"
#include "dxf/placement.h"

/// A (rational) B-spline of the drawing plane.
class CSplineCurve : public CPlaneCurve {
 public:
  int degree = 3;
  std::vector<double> knots;
  std::vector<CVec2> points;
  /// One per control point; empty for a non-rational spline.
  std::vector<double> weights;
  double z = 0.0;

  CVec2 at(double t) const override;
  CVec2 derivative(double t, double from, double to) const override;

  /// The curve under placement (a B-spline's image is the spline of its
  /// control points' images, weights unchanged).
  void place(const CPlacement& placement);
  /// The distinct knots of the drawn domain: the curve is smooth between
  /// neighbours.
  std::vector<double> breaks() const;
  /// The larger extent of the control points.
  double size() const;
};

/// The curve of a SPLINE entity: degree 71, knots 40, weights 41, control
/// points 10/20/30 (world coordinates); one given by fit points 11/21/31
/// alone becomes the cubic that passes through them with the end tangents
/// 12/22 and 13/23 (estimated from the points when absent). Returns an
/// empty reason, or why the entity cannot be drawn.
std::string_view ReadSpline(const CDxfEntity& entity, CSplineCurve* curve);

/// Empty when curve can be drawn (degree 1 to 10, as many knots as control
/// points plus degree plus one, in order, a non-empty domain, positive
/// weights, finite values), else why not.
std::string_view CheckSpline(const CSplineCurve& curve);

/// The cubic through the fit points (repeated points dropped) whose knots
/// are the points' normalised chord lengths and whose end derivatives have
/// the directions of the tangents and the length of the whole chord
/// polygon; tangents_given false estimates their directions from the
/// points. False when the points give no curve.
bool InterpolateFitPoints(std::vector<CVec2> fit, CVec2 start_tangent,
                          CVec2 end_tangent, bool tangents_given,
                          CSplineCurve* curve);

#endif  // SYMCONV_DXF_SPLINE_H_
