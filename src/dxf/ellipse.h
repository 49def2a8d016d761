#ifndef SYMCONV_DXF_ELLIPSE_H_
#define SYMCONV_DXF_ELLIPSE_H_

#include <vector>

#include "dxf/curve_fit.h"
#include "dxf/dxf_group_reader.h"
#include "dxf/placement.h"

/// centre + u cos t + v sin t for t from start to end (radians, start <
/// end): an ellipse, or its image under any affine map, which is one again
/// with the same parameters (u and v need not be its axes).
class CEllipseCurve : public CPlaneCurve {
 public:
  CVec2 centre, u, v;
  double start = 0.0;
  double end = 0.0;
  double z = 0.0;

  CVec2 at(double t) const override;
  CVec2 derivative(double t, double from, double to) const override;

  /// The curve under placement.
  void place(const CPlacement& placement);
  /// Parameters from start to end, a quarter turn apart at most.
  std::vector<double> breaks() const;
  /// The larger of the two extents of the whole ellipse's frame.
  double size() const;
};

/// The curve of an ELLIPSE entity: centre 10/20/30 and major axis 11/21/31
/// (world coordinates), minor-to-major ratio 40, start and end parameters
/// 41 and 42 (radians; an end at or before the start is taken a turn
/// further). False for one that leaves the drawing plane or is degenerate.
bool ReadEllipse(const CDxfEntity& entity, CEllipseCurve* curve);

/// A circle or counter-clockwise arc (degrees) as such a curve, so that a
/// map that scales unevenly can turn it into an ellipse.
CEllipseCurve ArcCurve(double cx, double cy, double cz, double radius,
                       double start, double end);

#endif  // SYMCONV_DXF_ELLIPSE_H_
