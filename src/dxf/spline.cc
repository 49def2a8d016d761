#include "dxf/spline.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "symbol/numbers.h"

namespace {

// Limits that keep a hostile file from costing more than a drawing would.
constexpr int kMaxDegree = 10;
constexpr std::size_t kMaxPoints = 100000;

CVec2 operator+(CVec2 a, CVec2 b) { return {a.x + b.x, a.y + b.y}; }
CVec2 operator-(CVec2 a, CVec2 b) { return {a.x - b.x, a.y - b.y}; }
CVec2 operator*(double s, CVec2 a) { return {s * a.x, s * a.y}; }
double Length(CVec2 a) { return std::sqrt(a.x * a.x + a.y * a.y); }
double Cross(CVec2 a, CVec2 b) { return a.x * b.y - a.y * b.x; }

// Every value of code, in order.
std::vector<double> Values(const CDxfEntity& entity, int code) {
  std::vector<double> values;
  for (const CDxfGroup& group : entity.groups()) {
    if (group.m_nCode == code) values.push_back(ParseNumber(group.m_strValue));
  }
  return values;
}

// The points whose x has code x_code, each with the y that follows it.
std::vector<CVec2> Points(const CDxfEntity& entity, int x_code) {
  std::vector<CVec2> points;
  for (const CDxfGroup& group : entity.groups()) {
    if (group.m_nCode == x_code) {
      points.push_back({ParseNumber(group.m_strValue), 0.0});
    } else if (group.m_nCode == x_code + 10 && !points.empty()) {
      points.back().y = ParseNumber(group.m_strValue);
    }
  }
  return points;
}

bool AllFinite(const std::vector<double>& values) {
  return std::all_of(values.begin(), values.end(),
                     [](double v) { return std::isfinite(v); });
}

// The end tangents of fit points as the common five-point estimate gives
// them: a blend of the neighbouring chords, with chords extrapolated
// beyond the ends.
void EstimateEndTangents(const std::vector<CVec2>& p, CVec2& start,
                         CVec2& end) {
  const std::size_t n = p.size();
  if (n < 3) {
    start = end = p[n - 1] - p[0];
    return;
  }
  // q[k] = p[k] - p[k - 1] for k in 1 .. n - 1, extended at both ends.
  std::vector<CVec2> q(n + 3);
  for (std::size_t k = 1; k < n; ++k) q[k] = p[k] - p[k - 1];
  q[0] = 2.0 * q[1] - q[2];
  q[n] = 2.0 * q[n - 1] - q[n - 2];
  q[n + 1] = 2.0 * q[n] - q[n - 1];
  const CVec2 before_first = 2.0 * q[0] - q[1];
  const auto blend = [](CVec2 a, CVec2 b, CVec2 c, CVec2 d) {
    const double v1 = std::fabs(Cross(a, b));
    const double v2 = std::fabs(Cross(c, d));
    const double alpha = v1 + v2 > 0.0 ? v1 / (v1 + v2) : 0.5;
    return (1.0 - alpha) * b + alpha * c;
  };
  start = blend(before_first, q[0], q[1], q[2]);
  end = blend(q[n - 2], q[n - 1], q[n], q[n + 1]);
}

// The non-zero cubic basis functions at t of the span [knots[s],
// knots[s + 1]]: N[s - 3] .. N[s].
void CubicBasis(const std::vector<double>& knots, std::size_t s, double t,
                double n[4]) {
  double left[4], right[4];
  n[0] = 1.0;
  for (int j = 1; j <= 3; ++j) {
    left[j] = t - knots[s + 1 - j];
    right[j] = knots[s + j] - t;
    double saved = 0.0;
    for (int r = 0; r < j; ++r) {
      const double temp = n[r] / (right[r + 1] + left[j - r]);
      n[r] = saved + right[r + 1] * temp;
      saved = left[j - r] * temp;
    }
    n[j] = saved;
  }
}

// The cubic through the fit points with the given end derivatives, its
// knots the points' normalised chord lengths.
}  // namespace

bool InterpolateFitPoints(std::vector<CVec2> fit, CVec2 start_tangent,
                          CVec2 end_tangent, bool tangents_given,
                          CSplineCurve* curve) {
  fit.erase(
      std::unique(fit.begin(), fit.end(),
                  [](CVec2 a, CVec2 b) { return a.x == b.x && a.y == b.y; }),
      fit.end());
  if (fit.size() < 2) return false;
  const std::size_t n = fit.size() - 1;
  std::vector<double> t(n + 1, 0.0);
  for (std::size_t k = 1; k <= n; ++k) {
    t[k] = t[k - 1] + Length(fit[k] - fit[k - 1]);
  }
  const double total = t[n];
  if (!(total > 0.0) || !std::isfinite(total)) return false;
  for (double& v : t) v /= total;
  t[n] = 1.0;
  if (!tangents_given) EstimateEndTangents(fit, start_tangent, end_tangent);
  const double ls = Length(start_tangent), le = Length(end_tangent);
  if (!(ls > 0.0 && le > 0.0)) return false;
  const CVec2 d0 = (total / ls) * start_tangent;
  const CVec2 dn = (total / le) * end_tangent;

  curve->degree = 3;
  curve->knots.assign(4, 0.0);
  curve->knots.insert(curve->knots.end(), t.begin() + 1, t.end() - 1);
  curve->knots.insert(curve->knots.end(), 4, 1.0);
  std::vector<CVec2>& p = curve->points;
  p.assign(n + 3, CVec2());
  p[0] = fit[0];
  p[1] = fit[0] + (curve->knots[4] / 3.0) * d0;
  p[n + 1] = fit[n] - ((1.0 - curve->knots[n + 2]) / 3.0) * dn;
  p[n + 2] = fit[n];
  // Interior fit point k lies on p[k], p[k + 1], p[k + 2]: a tridiagonal
  // system in p[2] .. p[n], solved by elimination.
  std::vector<double> a(n + 1), b(n + 1), c(n + 1);
  std::vector<CVec2> r(n + 1);
  for (std::size_t k = 1; k < n; ++k) {
    double basis[4];
    CubicBasis(curve->knots, k + 3, t[k], basis);
    a[k] = basis[0];
    b[k] = basis[1];
    c[k] = basis[2];
    r[k] = fit[k];
  }
  if (n >= 2) {
    r[1] = r[1] - a[1] * p[1];
    r[n - 1] = r[n - 1] - c[n - 1] * p[n + 1];
    for (std::size_t k = 2; k < n; ++k) {
      const double m = a[k] / b[k - 1];
      b[k] -= m * c[k - 1];
      r[k] = r[k] - m * r[k - 1];
    }
    p[n] = (1.0 / b[n - 1]) * r[n - 1];
    for (std::size_t k = n - 1; k >= 2; --k) {
      p[k] = (1.0 / b[k - 1]) * (r[k - 1] - c[k - 1] * p[k + 1]);
    }
  }
  curve->weights.clear();
  return std::all_of(p.begin(), p.end(), [](CVec2 v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
  });
}

CVec2 CSplineCurve::at(double t) const {
  // The span holding t, within the drawn domain.
  const auto first_after = std::upper_bound(knots.begin() + degree + 1,
                                            knots.begin() + points.size(), t);
  const std::size_t s =
      static_cast<std::size_t>(first_after - knots.begin()) - 1;
  double hx[kMaxDegree + 1], hy[kMaxDegree + 1], hw[kMaxDegree + 1];
  for (int j = 0; j <= degree; ++j) {
    const std::size_t i = s - degree + j;
    const double w = weights.empty() ? 1.0 : weights[i];
    hx[j] = points[i].x * w;
    hy[j] = points[i].y * w;
    hw[j] = w;
  }
  for (int r = 1; r <= degree; ++r) {
    for (int j = degree; j >= r; --j) {
      const std::size_t i = s - degree + j;
      const double span = knots[i + degree - r + 1] - knots[i];
      const double alpha = span > 0.0 ? (t - knots[i]) / span : 0.0;
      hx[j] = (1.0 - alpha) * hx[j - 1] + alpha * hx[j];
      hy[j] = (1.0 - alpha) * hy[j - 1] + alpha * hy[j];
      hw[j] = (1.0 - alpha) * hw[j - 1] + alpha * hw[j];
    }
  }
  return {hx[degree] / hw[degree], hy[degree] / hw[degree]};
}

CVec2 CSplineCurve::derivative(double t, double from, double to) const {
  // A difference within [from, to], which lies in one span: only the
  // direction is used.
  const double h = (to - from) * 1e-6;
  const double t0 = std::max(from, t - h);
  const double t1 = std::min(to, t + h);
  const CVec2 d = at(t1) - at(t0);
  return (1.0 / (t1 - t0)) * d;
}

void CSplineCurve::place(const CPlacement& placement) {
  if (placement.identity) return;
  for (CVec2& p : points) placement.applyXY(p.x, p.y);
  z = placement.zz * z + placement.tz;
}

std::vector<double> CSplineCurve::breaks() const {
  std::vector<double> result;
  const std::size_t last = points.size();
  for (std::size_t i = degree; i <= last; ++i) {
    if (result.empty() || knots[i] > result.back()) result.push_back(knots[i]);
  }
  return result;
}

double CSplineCurve::size() const {
  if (points.empty()) return 0.0;
  double x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
  for (const CVec2& p : points) {
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  return std::max(x1 - x0, y1 - y0);
}

std::string_view ReadSpline(const CDxfEntity& entity, CSplineCurve* curve) {
  curve->z = entity.getFloat(30, entity.getFloat(31));
  curve->points = Points(entity, 10);
  if (curve->points.empty()) {
    const std::vector<CVec2> fit = Points(entity, 11);
    if (fit.size() > kMaxPoints) return "too many points";
    CVec2 start, end;
    const bool given = entity.find(12) >= 0 && entity.find(13) >= 0;
    if (given) {
      start = {entity.getFloat(12), entity.getFloat(22)};
      end = {entity.getFloat(13), entity.getFloat(23)};
    }
    return InterpolateFitPoints(fit, start, end, given, curve) ? ""
                                                               : "bad data";
  }
  const double degree = entity.getFloat(71, 3.0);
  if (!(degree >= 1.0 && degree <= kMaxDegree)) return "bad data";
  curve->degree = static_cast<int>(degree);
  curve->knots = Values(entity, 40);
  curve->weights = Values(entity, 41);
  return CheckSpline(*curve);
}

std::string_view CheckSpline(const CSplineCurve& curve) {
  const std::size_t n = curve.points.size();
  const std::size_t p = static_cast<std::size_t>(curve.degree);
  if (curve.degree < 1 || curve.degree > kMaxDegree || n > kMaxPoints ||
      n <= p) {
    return "bad data";
  }
  if (curve.knots.size() != n + p + 1 ||
      !std::is_sorted(curve.knots.begin(), curve.knots.end()) ||
      !AllFinite(curve.knots) || !(curve.knots[n] > curve.knots[p])) {
    return "bad data";
  }
  if (!curve.weights.empty() &&
      (curve.weights.size() != n ||
       !std::all_of(curve.weights.begin(), curve.weights.end(),
                    [](double w) { return w > 0.0 && std::isfinite(w); }))) {
    return "bad data";
  }
  for (const CVec2& point : curve.points) {
    if (!std::isfinite(point.x) || !std::isfinite(point.y)) return "bad data";
  }
  return "";
}
