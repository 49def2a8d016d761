// The outlines of CEntityConverter: SOLID, TRACE and 3DFACE as closed
// outlines, a HATCH as its boundary paths.

#include <cmath>
#include <numbers>
#include <span>
#include <string_view>
#include <vector>

#include "dxf/dxf_group_reader.h"
#include "dxf/dxf_trig.h"
#include "dxf/ellipse.h"
#include "dxf/entity_converter.h"
#include "dxf/extrusion.h"
#include "dxf/polyline.h"
#include "dxf/spline.h"
#include "symbol/numbers.h"

namespace {

// The mirrored plane's coordinates into the world's (see extrusion.h).
CPlacement MirroredPlane() {
  CPlacement p;
  p.identity = false;
  p.xx = -1.0;
  p.zz = -1.0;
  p.turn = 180.0;
  p.reverses = true;
  return p;
}

}  // namespace

// Reads a HATCH's groups in order: each field is the next group of its
// code. A count larger than the groups left is cut to them, so a damaged
// entity costs no more than its size.
class CGroupCursor {
 public:
  explicit CGroupCursor(std::span<const CDxfGroup> groups) : m_groups(groups) {}

  /// Moves past the next group of code; false when there is none.
  bool seek(int code) {
    while (m_next < m_groups.size()) {
      if (m_groups[m_next++].m_nCode == code) return true;
    }
    return false;
  }
  /// The value of the next group of code; 0 when there is none.
  double number(int code) {
    return seek(code) ? ParseNumber(m_groups[m_next - 1].m_strValue) : 0.0;
  }
  CVec2 point(int x_code) {
    const double x = number(x_code);
    return {x, number(x_code + 10)};
  }
  std::size_t count(int code) {
    const double value = number(code);
    const double left = static_cast<double>(m_groups.size() - m_next);
    return value >= 0.0 && value <= left ? static_cast<std::size_t>(value)
                                         : static_cast<std::size_t>(left);
  }
  /// Steps back one group.
  void back() {
    if (m_next > 0) --m_next;
  }
  /// True when the next group has code.
  bool nextIs(int code) const {
    return m_next < m_groups.size() && m_groups[m_next].m_nCode == code;
  }

 private:
  std::span<const CDxfGroup> m_groups;
  std::size_t m_next = 0;
};

namespace {

constexpr double kRadians = std::numbers::pi / 180.0;

// The parameter of the point of an ellipse (minor-to-major ratio) seen at
// angle degrees from its centre, measured from the major axis.
double EllipseParameter(double ratio, double degrees) {
  double s = 0.0, c = 1.0;
  SinCosDegrees(degrees, s, c);
  return DirectionDegrees(c, s / ratio) * kRadians;
}

}  // namespace

void CEntityConverter::AddOutline(const CDxfEntity& entity) {
  const std::string_view type = entity.type();
  const bool face = type == "3DFACE";
  // SOLID and TRACE lie in their plane, a 3DFACE in the world.
  const EntityPlane plane =
      face ? EntityPlane::kWorld : FindEntityPlane(entity);
  if (plane == EntityPlane::kTilted) {
    PassOver(type, "tilted");
    return;
  }
  double x[4], y[4], z[4];
  for (int i = 0; i < 4; ++i) entity.getxyz(10 + i, x[i], y[i], z[i]);
  // A fourth corner left out or equal to the third: a triangle.
  const bool triangle = entity.find(13) < 0 || (x[3] == x[2] && y[3] == y[2]);
  if (entity.find(13) < 0) {
    x[3] = x[2];
    y[3] = y[2];
    z[3] = z[2];
  }
  // SOLID and TRACE list their corners crosswise: the outline runs 1 2 4 3.
  int order[4] = {0, 1, 3, 2};
  if (face) order[2] = 2, order[3] = 3;
  const int corners = triangle ? 3 : 4;
  if (triangle) order[2] = 2;
  // The invisible edges of a 3DFACE (flags 1, 2, 4, 8) are not drawn.
  const int hidden = face ? TruncatedInt(entity.getFloat(70), 0) : 0;
  const CPlacement outer = m_placement;
  if (plane == EntityPlane::kMirrored) {
    m_placement = MirroredPlane().then(outer);
  }
  // The thickness-free outline lies at the plane's elevation.
  for (int i = 0; i < corners; ++i) {
    // A triangle's closing edge is the face's fourth (third to first).
    const int edge = triangle && i == 2 ? 3 : i;
    if ((hidden >> edge) & 1) continue;
    const int a = order[i], b = order[(i + 1) % corners];
    if (x[a] == x[b] && y[a] == y[b]) continue;
    WriteLine(x[a], y[a], z[a], x[b], y[b], face ? z[b] : z[a]);
  }
  m_placement = outer;
}

void CEntityConverter::AddHatch(const CDxfEntity& entity) {
  const EntityPlane plane = FindEntityPlane(entity);
  if (plane == EntityPlane::kTilted) {
    PassOver("HATCH", "tilted");
    return;
  }
  const CPlacement outer = m_placement;
  if (plane == EntityPlane::kMirrored) {
    m_placement = MirroredPlane().then(outer);
  }
  // The elevation point comes first: its z is the height of every path.
  const double z = entity.getFloat(30);
  CGroupCursor cursor(entity.groups());
  const std::size_t paths = cursor.count(91);
  for (std::size_t path = 0; path < paths && cursor.seek(92); ++path) {
    cursor.back();
    const int flags = TruncatedInt(cursor.number(92), 0);
    if (flags & 2) {
      AddHatchPolyline(cursor, z);
    } else {
      AddHatchEdges(cursor, z);
    }
  }
  m_placement = outer;
  PassOver("HATCH", entity.getFloat(70) == 1.0 ? "solid fill" : "pattern");
}

void CEntityConverter::AddHatchPolyline(CGroupCursor& cursor, double z) {
  const bool bulges = cursor.number(72) != 0.0;
  CPolyline polyline;
  polyline.closed = cursor.number(73) != 0.0;
  polyline.elevation = z;
  const std::size_t vertices = cursor.count(93);
  for (std::size_t i = 0; i < vertices; ++i) {
    const CVec2 p = cursor.point(10);
    const double bulge = bulges && cursor.nextIs(42) ? cursor.number(42) : 0.0;
    polyline.vertices.push_back({p.x, p.y, bulge});
  }
  polyline.forEachSegment([&](const CPolylineSegment& s) {
    if (s.kind == CPolylineSegment::Kind::kLine) {
      WriteLine(s.x1, s.y1, z, s.x2, s.y2, z);
    } else {
      WriteArc(s.cx, s.cy, z, s.radius, s.start, s.end);
    }
  });
}

void CEntityConverter::AddHatchEdges(CGroupCursor& cursor, double z) {
  const std::size_t edges = cursor.count(93);
  for (std::size_t i = 0; i < edges; ++i) {
    const int type = TruncatedInt(cursor.number(72), 0);
    if (type == 1) {
      const CVec2 a = cursor.point(10);
      const CVec2 b = cursor.point(11);
      WriteLine(a.x, a.y, z, b.x, b.y, z);
    } else if (type == 2 || type == 3) {
      const CVec2 centre = cursor.point(10);
      const CVec2 major = type == 3 ? cursor.point(11) : CVec2{};
      const double size = cursor.number(40);  // radius, or the axis ratio
      double start = cursor.number(50);
      double end = cursor.number(51);
      // A clockwise edge stores its angles mirrored: as a counter-clockwise
      // one it runs from 360 - end to 360 - start.
      if (cursor.number(73) == 0.0) {
        const double mirrored_start = 360.0 - end;
        end = 360.0 - start;
        start = mirrored_start;
      }
      const bool full = end - start >= 360.0 || end - start <= -360.0;
      if (type == 2) {
        if (full) {
          WriteCircle(centre.x, centre.y, z, size);
        } else {
          WriteArc(centre.x, centre.y, z, size, start, end);
        }
        continue;
      }
      CEllipseCurve curve;
      curve.centre = centre;
      curve.u = major;
      curve.v = {-size * major.y, size * major.x};
      curve.z = z;
      curve.start = full ? 0.0 : EllipseParameter(size, start);
      curve.end = full ? 2.0 * std::numbers::pi : EllipseParameter(size, end);
      if (curve.end <= curve.start) curve.end += 2.0 * std::numbers::pi;
      if (!(size > 0.0) || !(curve.size() > 0.0)) continue;
      curve.place(m_placement);
      DrawCurve(curve, curve.breaks(), curve.size(), curve.z);
    } else if (type == 4) {
      AddHatchSpline(cursor, z);
    }
  }
}

void CEntityConverter::AddHatchSpline(CGroupCursor& cursor, double z) {
  CSplineCurve curve;
  curve.z = z;
  curve.degree = TruncatedInt(cursor.number(94), 0);  // 0 is refused
  const bool rational = cursor.number(73) != 0.0;
  cursor.number(74);  // periodic: the knots say all
  const std::size_t knots = cursor.count(95);
  const std::size_t points = cursor.count(96);
  for (std::size_t i = 0; i < knots; ++i) {
    curve.knots.push_back(cursor.number(40));
  }
  for (std::size_t i = 0; i < points; ++i) {
    curve.points.push_back(cursor.point(10));
    if (rational) curve.weights.push_back(cursor.number(42));
  }
  if (points == 0 && cursor.nextIs(97)) {
    const std::size_t fits = cursor.count(97);
    std::vector<CVec2> fit;
    for (std::size_t i = 0; i < fits; ++i) fit.push_back(cursor.point(11));
    const bool given = cursor.nextIs(12);
    CVec2 start, end;
    if (given) {
      start = cursor.point(12);
      end = cursor.point(13);
    }
    if (!InterpolateFitPoints(fit, start, end, given, &curve)) {
      PassOver("HATCH spline edge", "bad data");
      return;
    }
  } else if (!CheckSpline(curve).empty()) {
    PassOver("HATCH spline edge", "bad data");
    return;
  }
  curve.place(m_placement);
  DrawCurve(curve, curve.breaks(), curve.size(), curve.z);
}
