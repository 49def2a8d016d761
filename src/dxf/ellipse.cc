#include "dxf/ellipse.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "dxf/dxf_trig.h"
#include "dxf/extrusion.h"

namespace {

constexpr double kTurn = 2.0 * std::numbers::pi;

}  // namespace

CVec2 CEllipseCurve::at(double t) const {
  double s = 0.0, c = 1.0;
  SinCosRadians(t, s, c);
  return {centre.x + u.x * c + v.x * s, centre.y + u.y * c + v.y * s};
}

CVec2 CEllipseCurve::derivative(double t, double, double) const {
  double s = 0.0, c = 1.0;
  SinCosRadians(t, s, c);
  return {v.x * c - u.x * s, v.y * c - u.y * s};
}

void CEllipseCurve::place(const CPlacement& placement) {
  if (placement.identity) return;
  placement.apply(centre.x, centre.y, z);
  // Directions move without the translation.
  CPlacement linear = placement;
  linear.tx = 0.0;
  linear.ty = 0.0;
  linear.applyXY(u.x, u.y);
  linear.applyXY(v.x, v.y);
}

std::vector<double> CEllipseCurve::breaks() const {
  std::vector<double> result;
  const int quarters =
      std::max(1, static_cast<int>(std::ceil((end - start) / (kTurn / 4.0))));
  for (int i = 0; i < quarters; ++i) {
    result.push_back(start + (end - start) * i / quarters);
  }
  result.push_back(end);
  return result;
}

double CEllipseCurve::size() const {
  const double w = std::fabs(u.x) + std::fabs(v.x);
  const double h = std::fabs(u.y) + std::fabs(v.y);
  return 2.0 * std::max(w, h);
}

bool ReadEllipse(const CDxfEntity& entity, CEllipseCurve* curve) {
  const EntityPlane plane = FindEntityPlane(entity);
  if (plane == EntityPlane::kTilted) return false;
  double cz = 0.0, uz = 0.0;
  entity.getxyz(10, curve->centre.x, curve->centre.y, cz);
  entity.getxyz(11, curve->u.x, curve->u.y, uz);
  curve->z = cz;
  const double ratio = entity.getFloat(40, 1.0);
  // The minor axis is the extrusion direction crossed with the major one:
  // turned a quarter counter-clockwise, or clockwise in the mirrored plane.
  const double sign = plane == EntityPlane::kMirrored ? -1.0 : 1.0;
  curve->v = {-sign * ratio * curve->u.y, sign * ratio * curve->u.x};
  double start = entity.getFloat(41, 0.0);
  double end = entity.getFloat(42, kTurn);
  if (!(std::isfinite(start) && std::isfinite(end) && std::isfinite(ratio)) ||
      std::fabs(start) > 1e3 || std::fabs(end) > 1e3) {
    return false;
  }
  start = std::fmod(start, kTurn);
  end = std::fmod(end, kTurn);
  if (end <= start) end += kTurn;
  curve->start = start;
  curve->end = end;
  return curve->size() > 0.0 && std::isfinite(curve->size()) && ratio != 0.0;
}

CEllipseCurve ArcCurve(double cx, double cy, double cz, double radius,
                       double start, double end) {
  CEllipseCurve curve;
  curve.centre = {cx, cy};
  curve.z = cz;
  curve.u = {radius, 0.0};
  curve.v = {0.0, radius};
  double sweep = std::fmod(end - start, 360.0);
  if (sweep <= 0.0) sweep += 360.0;
  curve.start = std::fmod(start, 360.0) * (std::numbers::pi / 180.0);
  curve.end = curve.start + sweep * (std::numbers::pi / 180.0);
  return curve;
}
