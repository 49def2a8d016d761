#include "dxf/curve_fit.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "dxf/dxf_trig.h"

namespace {

// Curve points compared with each fitted piece; splitting stops at the
// depth limit, where the piece is drawn as lines through these points.
constexpr int kSamples = 16;
constexpr int kMaxDepth = 20;
// Beyond this many shapes a curve (a hostile one: no drawing needs so
// many) is finished with one chord per piece.
constexpr int kMaxCurveShapes = 100000;

CVec2 operator+(CVec2 a, CVec2 b) { return {a.x + b.x, a.y + b.y}; }
CVec2 operator-(CVec2 a, CVec2 b) { return {a.x - b.x, a.y - b.y}; }
CVec2 operator*(double s, CVec2 a) { return {s * a.x, s * a.y}; }
double Dot(CVec2 a, CVec2 b) { return a.x * b.x + a.y * b.y; }
double Length(CVec2 a) { return std::sqrt(Dot(a, a)); }

bool Normalize(CVec2& v) {
  const double length = Length(v);
  if (!(length > 0.0) || !std::isfinite(length)) return false;
  v = (1.0 / length) * v;
  return true;
}

// What six decimals do to a shape's points: half a unit of the sixth
// decimal on each coordinate of a point or centre and on the radius, and
// half a millionth of a degree on an angle, which moves an arc's ends by
// the radius times 8.8e-9.
double RoundingError(double radius) { return 2e-6 + radius * 1e-8; }

// One shape of a fit: a line or a counter-clockwise arc from a to b.
struct CPiece {
  bool arc = false;
  CVec2 a, b, centre;
  double radius = 0.0;
  double start = 0.0, sweep = 0.0;  // degrees, for an arc

  CVec2 pointAt(double f) const {
    if (!arc) return a + f * (b - a);
    double s = 0.0, c = 1.0;
    SinCosDegrees(start + f * sweep, s, c);
    return {centre.x + radius * c, centre.y + radius * s};
  }

  double distance(CVec2 q) const {
    if (arc) {
      double turn = DirectionDegrees(q.x - centre.x, q.y - centre.y) - start;
      if (turn < 0.0) turn += 360.0;
      if (turn <= sweep) return std::fabs(Length(q - centre) - radius);
      return std::min(Length(q - a), Length(q - b));
    }
    const CVec2 d = b - a;
    const double dd = Dot(d, d);
    double f = dd > 0.0 ? Dot(q - a, d) / dd : 0.0;
    f = std::clamp(f, 0.0, 1.0);
    return Length(q - (a + f * d));
  }
};

double DistanceToPolyline(CVec2 q, std::span<const CVec2> points) {
  double best = INFINITY;
  for (std::size_t i = 1; i < points.size(); ++i) {
    CPiece segment;
    segment.a = points[i - 1];
    segment.b = points[i];
    best = std::min(best, segment.distance(q));
  }
  return best;
}

class CFitter {
 public:
  CFitter(const CPlaneCurve& curve, double tolerance, CShapeSink& sink)
      : m_curve(curve),
        m_tolerance(std::max(tolerance, kSmallestTolerance)),
        m_sink(sink) {}

  void Fit(double a, double b, double lo, double hi, int depth) {
    CVec2 q[kSamples + 1];
    for (int k = 0; k <= kSamples; ++k) {
      q[k] = k == kSamples ? m_curve.at(b)
                           : m_curve.at(a + (b - a) * k / kSamples);
    }
    for (const CVec2& point : q) {
      // A curve of non-finite points (overflowing weights or coordinates)
      // draws nothing there.
      if (!std::isfinite(point.x) || !std::isfinite(point.y)) return;
    }
    if (m_nCount >= kMaxCurveShapes) {
      CPiece chord;
      chord.a = q[0];
      chord.b = q[kSamples];
      Emit(chord);
      return;
    }
    CPiece pieces[2];
    int count = 0;
    if (MakeBiarc(a, b, lo, hi, q, pieces, count) &&
        Deviation(pieces, count, q) <= m_tolerance / 2.0) {
      for (int i = 0; i < count; ++i) Emit(pieces[i]);
      return;
    }
    if (depth < kMaxDepth && a < b) {
      const double middle = a + (b - a) / 2.0;
      if (middle > a && middle < b) {
        Fit(a, middle, lo, hi, depth + 1);
        Fit(middle, b, lo, hi, depth + 1);
        return;
      }
    }
    for (int k = 1; k <= kSamples; ++k) {
      CPiece line;
      line.a = q[k - 1];
      line.b = q[k];
      Emit(line);
    }
  }

  int count() const { return m_nCount; }

 private:
  CVec2 Tangent(double t, double lo, double hi, CVec2 toward) const {
    CVec2 d = m_curve.derivative(t, lo, hi);
    if (Normalize(d)) return d;
    // A vanishing derivative (repeated control points): the direction in
    // which the curve leaves the point.
    Normalize(toward);
    return toward;
  }

  bool MakeBiarc(double a, double b, double lo, double hi, const CVec2* q,
                 CPiece* pieces, int& count) const {
    const CVec2 p0 = q[0];
    const CVec2 p1 = q[kSamples];
    const CVec2 t0 = Tangent(a, lo, hi, q[1] - p0);
    const CVec2 t1 = Tangent(b, lo, hi, p1 - q[kSamples - 1]);
    const CVec2 v = p1 - p0;
    const double vv = Dot(v, v);
    if (!(vv > 0.0)) return false;
    // Equal tangent lengths d: |v - d (t0 + t1)| = 2 d, the positive root
    // of qa d^2 + qb d + vv = 0 written so that it cannot cancel.
    const double qa = 2.0 * (Dot(t0, t1) - 1.0);
    const double qb = -2.0 * Dot(v, t0 + t1);
    const double denominator = -qb + std::sqrt(qb * qb - 4.0 * qa * vv);
    if (!(denominator > 0.0)) return false;
    const double d = 2.0 * vv / denominator;
    if (!(d > 0.0) || !std::isfinite(d)) return false;
    const CVec2 joint = 0.5 * (p0 + d * t0 + p1 - d * t1);
    count = 0;
    bool ok = AddArc(p0, t0, joint, false, pieces, count);
    ok = ok && AddArc(p1, -1.0 * t1, joint, true, pieces, count);
    return ok;
  }

  // The arc that leaves from with the tangent and reaches to (reversed: the
  // arc runs from to back to from); a line when it bends less than the
  // tolerance allows.
  bool AddArc(CVec2 from, CVec2 tangent, CVec2 to, bool reversed,
              CPiece* pieces, int& count) const {
    const CVec2 chord = to - from;
    const double length = Length(chord);
    if (!(length > 0.0)) return true;  // nothing to draw
    CPiece piece;
    piece.a = reversed ? to : from;
    piece.b = reversed ? from : to;
    const CVec2 normal{-tangent.y, tangent.x};
    const double offset = Dot(normal, chord);
    const double along = Dot(tangent, chord);
    const double radius =
        offset != 0.0 ? length * length / (2.0 * std::fabs(offset)) : INFINITY;
    // How far the arc strays from its chord (for at most half a turn).
    const double sagitta =
        std::isfinite(radius)
            ? radius - std::sqrt(std::max(
                           0.0, radius * radius - length * length / 4.0))
            : 0.0;
    if (along > 0.0 && sagitta <= m_tolerance / 8.0) {
      pieces[count++] = piece;
      return true;
    }
    if (RoundingError(radius) > m_tolerance / 4.0) return false;
    const double signed_radius = length * length / (2.0 * offset);
    piece.arc = true;
    piece.centre = from + signed_radius * normal;
    piece.radius = radius;
    // Counter-clockwise when the centre lies left of the way the arc is
    // drawn: from to to, or back for a reversed one.
    const bool left = (offset > 0.0) != reversed;
    CVec2 first = left ? piece.a : piece.b;
    CVec2 last = left ? piece.b : piece.a;
    piece.a = first;
    piece.b = last;
    piece.start =
        DirectionDegrees(first.x - piece.centre.x, first.y - piece.centre.y);
    const double end =
        DirectionDegrees(last.x - piece.centre.x, last.y - piece.centre.y);
    piece.sweep = end - piece.start;
    if (piece.sweep < 0.0) piece.sweep += 360.0;
    pieces[count++] = piece;
    return true;
  }

  // The larger of the curve's distance from the pieces and theirs from
  // the curve.
  double Deviation(const CPiece* pieces, int count, const CVec2* q) const {
    double worst = 0.0;
    for (int k = 1; k < kSamples; ++k) {
      double best = INFINITY;
      for (int i = 0; i < count; ++i) {
        best = std::min(best, pieces[i].distance(q[k]));
      }
      worst = std::max(worst, best);
    }
    const std::span<const CVec2> polyline(q, kSamples + 1);
    for (int i = 0; i < count; ++i) {
      for (int k = 1; k < 8; ++k) {
        worst = std::max(
            worst, DistanceToPolyline(pieces[i].pointAt(k / 8.0), polyline));
      }
    }
    return worst;
  }

  void Emit(const CPiece& piece) {
    ++m_nCount;
    if (!piece.arc) {
      m_sink.Line(piece.a, piece.b);
      return;
    }
    double end = piece.start + piece.sweep;
    if (end >= 360.0) end -= 360.0;
    m_sink.Arc(piece.centre, piece.radius, piece.start, end);
  }

  const CPlaneCurve& m_curve;
  double m_tolerance;
  CShapeSink& m_sink;
  int m_nCount = 0;
};

}  // namespace

double DefaultTolerance(double size) {
  const double tolerance = std::fabs(size) / 1000.0;
  return tolerance >= kSmallestTolerance ? tolerance : kSmallestTolerance;
}

int FitCurve(const CPlaneCurve& curve, std::span<const double> breaks,
             double tolerance, CShapeSink& sink) {
  CFitter fitter(curve, tolerance, sink);
  for (std::size_t i = 1; i < breaks.size(); ++i) {
    if (breaks[i] > breaks[i - 1]) {
      fitter.Fit(breaks[i - 1], breaks[i], breaks[i - 1], breaks[i], 0);
    }
  }
  return fitter.count();
}
