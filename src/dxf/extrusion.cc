#include "dxf/extrusion.h"

#include <cmath>

#include "dxf/dxf_group_reader.h"

namespace {

constexpr double kFlatTolerance = 1e-10;

double MirrorAngle(double angle) {
  const double world = 180.0 - angle;
  return world < 0.0 ? world + 360.0 : world;
}

}  // namespace

EntityPlane FindEntityPlane(const CDxfEntity& entity) {
  const double nx = entity.getFloat(210);
  const double ny = entity.getFloat(220);
  const double nz = entity.getFloat(230, 1.0);
  if (nx == 0.0 && ny == 0.0 && nz == 0.0) return EntityPlane::kWorld;
  const double limit = kFlatTolerance * std::fabs(nz);
  // Written so that NaN anywhere gives kTilted.
  if (!(std::fabs(nx) <= limit && std::fabs(ny) <= limit)) {
    return EntityPlane::kTilted;
  }
  return nz > 0.0 ? EntityPlane::kWorld : EntityPlane::kMirrored;
}

void MirrorArcAngles(double& start, double& end) {
  const double world_start = MirrorAngle(end);
  end = MirrorAngle(start);
  start = world_start;
}
