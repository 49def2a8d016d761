#include "preview/symbol_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "preview/markup.h"

namespace {

// The constants of the symbol text conversion: one turn as it adds it to a
// negative sweep, and its degrees-to-radians factor.
constexpr double kFullTurn = 6.28318530718;
constexpr double kDegreesToRadians = 0.017453292519944444;
constexpr double kMarginFraction = 0.08;

struct CPoint2 {
  double x;
  double y;
};

CPoint2 pointAt(double cx, double cy, double r, double t) {
  return {cx + r * std::cos(t), cy + r * std::sin(t)};
}

void appendPoint(std::string* d, CPoint2 p) {
  *d += FormatNumber(p.x);
  *d += ' ';
  *d += FormatNumber(p.y);
}

// Angles fall as the arc runs; in a y-down picture that is anticlockwise,
// the direction of SVG's sweep flag 0.
void appendArcTo(std::string* d, double r, CPoint2 p) {
  const std::string radius = FormatNumber(std::fabs(r));
  *d += " A " + radius + ' ' + radius + " 0 0 0 ";
  appendPoint(d, p);
}

}  // namespace

double ArcSweep(double start, double end) {
  double d = start - end;
  if (d < 0) d = d + kFullTurn;
  return d;
}

double RadiansToDegrees(double radians) { return radians / kDegreesToRadians; }

std::string ArcPath(double cx, double cy, double r, double start, double end) {
  const double sweep = ArcSweep(start, end);
  std::string d = "M ";
  appendPoint(&d, pointAt(cx, cy, r, start));
  if (!(sweep > 0)) {  // a single point (or a sweep that is not a number)
    d += " L ";
    appendPoint(&d, pointAt(cx, cy, r, start));
    return d;
  }
  if (sweep >= 2 * std::numbers::pi) {
    // The arc covers its circle: two halves back to the start.
    appendArcTo(&d, r, pointAt(cx, cy, r, start - std::numbers::pi));
    appendArcTo(&d, r, pointAt(cx, cy, r, start));
    return d;
  }
  // Pieces of at most a quarter turn keep every piece's end points well
  // apart, so that no renderer has to guess the arc's side.
  const int pieces =
      std::max(1, static_cast<int>(std::ceil(sweep / (std::numbers::pi / 2))));
  for (int k = 1; k <= pieces; ++k) {
    const double t = k == pieces ? start - sweep : start - sweep * k / pieces;
    appendArcTo(&d, r, pointAt(cx, cy, r, t));
  }
  return d;
}

bool HasExtents(const CSymbol& s) {
  return std::isfinite(s.minX) && std::isfinite(s.maxX) &&
         std::isfinite(s.minY) && std::isfinite(s.maxY) && s.minX <= s.maxX &&
         s.minY <= s.maxY;
}

void OriginPosition(const CSymbol& s, double* x, double* y) {
  *x = s.minX + s.origin.x;
  *y = s.maxY + s.origin.y;
}

CViewBox SymbolViewBox(const CSymbol& s) {
  double ox;
  double oy;
  OriginPosition(s, &ox, &oy);
  const bool origin_known = std::isfinite(ox) && std::isfinite(oy);
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  if (HasExtents(s)) {
    x0 = s.minX, y0 = s.minY, x1 = s.maxX, y1 = s.maxY;
  } else if (origin_known) {
    x0 = x1 = ox, y0 = y1 = oy;
  }
  if (origin_known) {
    x0 = std::min(x0, ox), x1 = std::max(x1, ox);
    y0 = std::min(y0, oy), y1 = std::max(y1, oy);
  }
  double size = std::max(x1 - x0, y1 - y0);
  if (!(size > 0) || !std::isfinite(size)) size = 1.0;
  const double margin = size * kMarginFraction;
  CViewBox box;
  box.x = x0 - margin;
  box.y = y0 - margin;
  box.width = (x1 - x0) + 2 * margin;
  box.height = (y1 - y0) + 2 * margin;
  return box;
}
