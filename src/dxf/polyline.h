#ifndef SYMCONV_DXF_POLYLINE_H_
#define SYMCONV_DXF_POLYLINE_H_

#include <cstddef>
#include <vector>

#include "dxf/dxf_group_reader.h"

/// One vertex of a 2-D polyline, in the polyline's plane: its position and
/// the bulge of the segment that starts at it, the tangent of a quarter of
/// the segment's included angle (0 straight, 1 a half circle, positive
/// counter-clockwise, negative clockwise).
struct CPolylineVertex {
  double x = 0.0;
  double y = 0.0;
  double bulge = 0.0;
};

/// One segment of a polyline as a record draws it.
struct CPolylineSegment {
  enum class Kind { kNone, kLine, kArc };
  Kind kind = Kind::kNone;
  /// kLine: from (x1, y1) to (x2, y2).
  double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
  /// kArc, as a DXF ARC holds it: centre, radius, and start and end angles
  /// in degrees, in [0, 360), the arc running counter-clockwise from start
  /// to end.
  double cx = 0.0, cy = 0.0, radius = 0.0, start = 0.0, end = 0.0;
};

/// Bulges smaller than this in size give a straight line: written with six
/// decimals, so flat an arc's end angles would put its ends further from the
/// vertices than the arc strays from the chord.
constexpr double kSmallestBulge = 1e-4;

/// The segment from from to to, bent by from's bulge; kNone when the two
/// vertices are at the same place. For a bulge b the centre lies on the
/// chord's left normal at (1/b - b)/4 chord lengths from its middle (on
/// the chord for a half circle, on the right for b < 0 or b > 1) and the
/// radius is (|b| + 1/|b|)/4 chord lengths; a clockwise segment becomes the
/// counter-clockwise arc from to's angle to from's.
CPolylineSegment MakeSegment(const CPolylineVertex& from,
                             const CPolylineVertex& to);

/// A 2-D polyline in its own plane.
struct CPolyline {
  std::vector<CPolylineVertex> vertices;
  bool closed = false;
  /// The z of every vertex.
  double elevation = 0.0;

  /// Calls f(const CPolylineSegment&) for every segment that draws
  /// something, in the order of the vertices, the closing segment of a
  /// closed polyline last.
  template <typename F>
  void forEachSegment(F&& f) const {
    const std::size_t n = vertices.size();
    const std::size_t count = n < 2 ? 0 : (closed ? n : n - 1);
    for (std::size_t i = 0; i < count; ++i) {
      const CPolylineSegment segment =
          MakeSegment(vertices[i], vertices[(i + 1) % n]);
      if (segment.kind != CPolylineSegment::Kind::kNone) f(segment);
    }
  }

  /// From the mirrored plane (extrusion (0, 0, -1)) to world coordinates:
  /// every x and the elevation negated, and every bulge, since the mirror
  /// turns counter-clockwise segments clockwise.
  void mirror();
};

/// An LWPOLYLINE: flags 70 (1 closed), elevation 38, and its vertices, each
/// begun by its x (10) and followed by its y (20) and bulge (42). Widths are
/// not drawn.
void ReadLwPolyline(const CDxfEntity& entity, CPolyline* polyline);

/// True for a POLYLINE header that is a 2-D polyline: not a 3-D polyline,
/// polygon mesh or polyface mesh (flags 8, 16, 64).
bool Is2dPolyline(const CDxfEntity& header);

/// Starts a 2-D polyline from its POLYLINE header: flags 70 (1 closed) and
/// elevation, the z of its point (30). No vertices yet.
void BeginPolyline(const CDxfEntity& header, CPolyline* polyline);

/// Adds a VERTEX of a 2-D polyline: x 10, y 20, bulge 42. The frame control
/// points of a spline-fit polyline (vertex flag 16) are not on the drawn
/// line and are left out.
void AddPolylineVertex(const CDxfEntity& vertex, CPolyline* polyline);

#endif  // SYMCONV_DXF_POLYLINE_H_
