#include "dxf/extrusion.h"

#include <cmath>

#include "dxf/dxf_group_reader.h"
#include "symbol/numbers.h"

namespace {

constexpr double kFlatTolerance = 1e-10;

double MirrorAngle(double angle) {
  const double world = 180.0 - angle;
  return world < 0.0 ? world + 360.0 : world;
}

}  // namespace

EntityPlane FindEntityPlane(const CDxfEntity& entity) {
  // Without any of the codes the direction is (0, 0, 1).
  if (!entity.holdsExtrusionCodes()) return EntityPlane::kWorld;
  // The three codes lie past those an entity notes as it is read, so each
  // lookup would walk its groups: one walk finds the first of each.
  const CDxfGroup* first[3] = {};
  for (const CDxfGroup& group : entity.groups()) {
    const unsigned k = static_cast<unsigned>(group.m_nCode) - 210u;
    if (k <= 20 && k % 10 == 0 && first[k / 10] == nullptr) {
      first[k / 10] = &group;
    }
  }
  auto value = [&first](int i, double absent) {
    return first[i] == nullptr ? absent : ParseNumber(first[i]->m_strValue);
  };
  const double nx = value(0, 0.0);
  const double ny = value(1, 0.0);
  const double nz = value(2, 1.0);
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
