#include "dxf/placement.h"

#include <cmath>

#include "dxf/dxf_group_reader.h"
#include "dxf/dxf_trig.h"
#include "dxf/extrusion.h"

namespace {

double NormalDegrees(double degrees) {
  double reduced = std::fmod(degrees, 360.0);
  if (reduced < 0.0) reduced += 360.0;
  if (reduced >= 360.0) reduced = 0.0;
  return reduced + 0.0;
}

// Counts read as integers; a missing, negative or absurd one counts as 1
// (the insert's limits catch large ones).
int ReadCount(const CDxfEntity& entity, int code) {
  const double value = entity.getFloat(code, 1.0);
  if (!(value >= 1.0 && value < 1e9)) return 1;
  return static_cast<int>(value);
}

// A scale group that is absent or zero counts as 1: a zero scale would
// squash the block into a point.
double ReadScale(const CDxfEntity& entity, int code) {
  const double value = entity.getFloat(code, 1.0);
  return value == 0.0 || !std::isfinite(value) ? 1.0 : value;
}

}  // namespace

void CPlacement::mapArc(double& start, double& end) const {
  if (identity) return;
  if (reverses) {
    const double new_start = turn - end;
    end = turn - start;
    start = new_start;
  } else {
    start += turn;
    end += turn;
  }
  start = NormalDegrees(start);
  end = NormalDegrees(end);
}

CPlacement CPlacement::then(const CPlacement& outer) const {
  if (outer.identity) return *this;
  if (identity) return outer;
  CPlacement r;
  r.identity = false;
  r.xx = outer.xx * xx + outer.xy * yx;
  r.xy = outer.xx * xy + outer.xy * yy;
  r.yx = outer.yx * xx + outer.yy * yx;
  r.yy = outer.yx * xy + outer.yy * yy;
  r.tx = outer.xx * tx + outer.xy * ty + outer.tx;
  r.ty = outer.yx * tx + outer.yy * ty + outer.ty;
  r.zz = outer.zz * zz;
  r.tz = outer.zz * tz + outer.tz;
  r.conformal = conformal && outer.conformal;
  r.scale = outer.scale * scale;
  r.turn = outer.turn + (outer.reverses ? -turn : turn);
  r.reverses = reverses != outer.reverses;
  return r;
}

CInsertGroups ReadInsertGroups(const CDxfEntity& insert) {
  CInsertGroups g;
  g.block = insert.getText(2);
  insert.getxyz(10, g.x, g.y, g.z);
  g.sx = ReadScale(insert, 41);
  g.sy = ReadScale(insert, 42);
  g.sz = ReadScale(insert, 43);
  g.rotation = insert.getFloat(50);
  g.columns = ReadCount(insert, 70);
  g.rows = ReadCount(insert, 71);
  g.column_spacing = insert.getFloat(44);
  g.row_spacing = insert.getFloat(45);
  g.plane = FindEntityPlane(insert);
  return g;
}

CPlacement InsertPlacement(const CInsertGroups& g, double bx, double by,
                           double bz, int column, int row) {
  double sine = 0.0, cosine = 1.0;
  SinCosDegrees(g.rotation, sine, cosine);
  CPlacement p;
  p.identity = false;
  // Rotation after scale: R S.
  p.xx = cosine * g.sx;
  p.xy = -sine * g.sy;
  p.yx = sine * g.sx;
  p.yy = cosine * g.sy;
  // The grid offset is turned with the block but not scaled.
  const double gx = column * g.column_spacing;
  const double gy = row * g.row_spacing;
  p.tx = g.x + cosine * gx - sine * gy - (p.xx * bx + p.xy * by);
  p.ty = g.y + sine * gx + cosine * gy - (p.yx * bx + p.yy * by);
  p.zz = g.sz;
  p.tz = g.z - g.sz * bz;
  p.conformal = std::fabs(g.sx) == std::fabs(g.sy);
  p.scale = std::fabs(g.sx);
  // A negative x scale turns a direction a into 180 - a, a negative y scale
  // into -a; the rotation adds to both.
  p.reverses = (g.sx < 0.0) != (g.sy < 0.0);
  p.turn = (g.sx < 0.0 ? 180.0 : 0.0) + g.rotation;
  if (g.plane == EntityPlane::kMirrored) {
    // The mirrored plane's x and z are the world's -x and -z.
    p.xx = -p.xx;
    p.xy = -p.xy;
    p.tx = -p.tx;
    p.zz = -p.zz;
    p.tz = -p.tz;
    p.turn = 180.0 - p.turn;
    p.reverses = !p.reverses;
  }
  return p;
}
