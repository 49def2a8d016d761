#include "dxf/polyline.h"

#include <cmath>
#include <numbers>

#include "dxf/dxf_group_reader.h"
#include "dxf/dxf_trig.h"
#include "dxf/extrusion.h"
#include "symbol/numbers.h"

namespace {

// The direction from the centre to a point, in degrees in [0, 360), so that
// a point straight to the right reads 0 as in a DXF arc.
double AngleAbout(double cx, double cy, double x, double y) {
  return DirectionDegrees(x - cx, y - cy);
}

// Flags read as integers; anything that is not a small non-negative number
// sets none.
int ReadFlags(const CDxfEntity& entity, int code) {
  const double value = entity.getFloat(code);
  if (!(value >= 0.0 && value < 2147483648.0)) return 0;
  return static_cast<int>(value);
}

constexpr int kClosed = 1;
constexpr int k3dOrMesh = 8 | 16 | 64;
constexpr int kSplineFrameVertex = 16;

}  // namespace

CPolylineSegment MakeSegment(const CPolylineVertex& from,
                             const CPolylineVertex& to) {
  CPolylineSegment segment;
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  if (dx == 0.0 && dy == 0.0) return segment;
  const double bulge = from.bulge;
  // Written so that a NaN bulge also gives a line.
  if (!(std::fabs(bulge) >= kSmallestBulge && std::isfinite(bulge))) {
    segment.kind = CPolylineSegment::Kind::kLine;
    segment.x1 = from.x;
    segment.y1 = from.y;
    segment.x2 = to.x;
    segment.y2 = to.y;
    return segment;
  }
  // The offset (1/b - b)/4 is exactly 0 for a half circle, so its centre is
  // exactly the chord's middle; written without b * b it cannot overflow.
  const double offset = (1.0 / bulge - bulge) / 4.0;
  const double size = std::fabs(bulge);
  segment.kind = CPolylineSegment::Kind::kArc;
  segment.cx = (from.x + to.x) / 2.0 - offset * dy;
  segment.cy = (from.y + to.y) / 2.0 + offset * dx;
  segment.radius = std::sqrt(dx * dx + dy * dy) / 4.0 * (size + 1.0 / size);
  const double from_angle = AngleAbout(segment.cx, segment.cy, from.x, from.y);
  const double to_angle = AngleAbout(segment.cx, segment.cy, to.x, to.y);
  segment.start = bulge > 0.0 ? from_angle : to_angle;
  segment.end = bulge > 0.0 ? to_angle : from_angle;
  return segment;
}

void CPolyline::mirror() {
  for (CPolylineVertex& vertex : vertices) {
    vertex.x = MirrorCoordinate(vertex.x);
    vertex.bulge = -vertex.bulge;
  }
  elevation = MirrorCoordinate(elevation);
}

void ReadLwPolyline(const CDxfEntity& entity, CPolyline* polyline) {
  polyline->vertices.clear();
  polyline->closed = (ReadFlags(entity, 70) & kClosed) != 0;
  polyline->elevation = entity.getFloat(38);
  for (const CDxfGroup& group : entity.groups()) {
    if (group.m_nCode == 10) {
      polyline->vertices.push_back({ParseNumber(group.m_strValue), 0.0, 0.0});
    } else if (polyline->vertices.empty()) {
      continue;  // a y or bulge before the first x has no vertex
    } else if (group.m_nCode == 20) {
      polyline->vertices.back().y = ParseNumber(group.m_strValue);
    } else if (group.m_nCode == 42) {
      polyline->vertices.back().bulge = ParseNumber(group.m_strValue);
    }
  }
}

bool Is2dPolyline(const CDxfEntity& header) {
  return (ReadFlags(header, 70) & k3dOrMesh) == 0;
}

void BeginPolyline(const CDxfEntity& header, CPolyline* polyline) {
  polyline->vertices.clear();
  polyline->closed = (ReadFlags(header, 70) & kClosed) != 0;
  polyline->elevation = header.getFloat(30);
}

void AddPolylineVertex(const CDxfEntity& vertex, CPolyline* polyline) {
  if ((ReadFlags(vertex, 70) & kSplineFrameVertex) != 0) return;
  polyline->vertices.push_back(
      {vertex.getFloat(10), vertex.getFloat(20), vertex.getFloat(42)});
}
