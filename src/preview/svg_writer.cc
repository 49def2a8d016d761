#include "preview/svg_writer.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "preview/markup.h"
#include "preview/symbol_geometry.h"

namespace {

// Stroke widths and dashes in pixels of the picture. They are written in
// the drawing's units (so many per pixel), since several SVG viewers ignore
// vector-effect="non-scaling-stroke" and would draw a small symbol's strokes
// as blobs.
constexpr double kShapeStrokePixels = 1.5;
constexpr double kFrameStrokePixels = 1.0;
constexpr double kFrameDashPixels = 4.0;
constexpr double kFrameGapPixels = 3.0;
constexpr double kOriginStrokePixels = 1.2;
constexpr double kOriginMarkFraction = 0.035;

bool allFinite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(),
                     [](double v) { return std::isfinite(v); });
}

// Appends name="value" with the number's exact text.
void attr(std::string* out, const char* name, double value) {
  *out += ' ';
  *out += name;
  *out += "=\"";
  *out += FormatNumber(value);
  *out += '"';
}

void appendLine(std::string* out, const char* cls, double x1, double y1,
                double x2, double y2) {
  *out += "<line class=\"";
  *out += cls;
  *out += '"';
  attr(out, "x1", x1);
  attr(out, "y1", y1);
  attr(out, "x2", x2);
  attr(out, "y2", y2);
  *out += "/>\n";
}

void appendShapes(std::string* out, const CSymbol& s, double unit) {
  *out += "<g class=\"shapes\" fill=\"none\" stroke=\"#1b1b1b\"";
  attr(out, "stroke-width", kShapeStrokePixels * unit);
  *out += " stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
  for (std::size_t i = 0; i < s.lines.GetSize(); ++i) {
    const CLine* l = s.lines[i];
    if (l == nullptr ||
        !allFinite({l->start.x, l->start.y, l->end.x, l->end.y})) {
      continue;
    }
    appendLine(out, "line", l->start.x, l->start.y, l->end.x, l->end.y);
  }
  for (std::size_t i = 0; i < s.arcs.GetSize(); ++i) {
    const CArc* a = s.arcs[i];
    if (a == nullptr || a->points.GetSize() < 2 || !a->points[0] ||
        !a->points[1]) {
      continue;
    }
    const CPrecisionPoint& c = *a->points[0];
    const CPrecisionPoint& angles = *a->points[1];
    if (!allFinite({c.x, c.y, angles.x, angles.y, angles.z})) continue;
    *out += "<path class=\"arc\" d=\"";
    *out += ArcPath(c.x, c.y, angles.z, angles.x, angles.y);
    *out += "\"/>\n";
  }
  for (std::size_t i = 0; i < s.circles.GetSize(); ++i) {
    const CCircle* c = s.circles[i];
    if (c == nullptr || c->points.GetSize() < 1 || !c->points[0]) continue;
    const CPrecisionPoint& centre = *c->points[0];
    if (!allFinite({centre.x, centre.y, c->radius})) continue;
    *out += "<circle class=\"circle\"";
    attr(out, "cx", centre.x);
    attr(out, "cy", centre.y);
    attr(out, "r", std::fabs(c->radius));
    *out += "/>\n";
  }
  *out += "</g>\n";
}

void appendFrame(std::string* out, const CSymbol& s, double unit) {
  if (!HasExtents(s)) return;
  *out += "<rect class=\"extents\"";
  attr(out, "x", s.minX);
  attr(out, "y", s.minY);
  attr(out, "width", s.maxX - s.minX);
  attr(out, "height", s.maxY - s.minY);
  *out += " fill=\"none\" stroke=\"#7aa6d6\"";
  attr(out, "stroke-width", kFrameStrokePixels * unit);
  *out += " stroke-dasharray=\"" + FormatNumber(kFrameDashPixels * unit) + ' ' +
          FormatNumber(kFrameGapPixels * unit) + "\"/>\n";
}

void appendOrigin(std::string* out, const CSymbol& s, const CViewBox& box,
                  double unit) {
  double x;
  double y;
  OriginPosition(s, &x, &y);
  if (!allFinite({x, y})) return;
  const double m = kOriginMarkFraction * std::max(box.width, box.height);
  *out += "<g class=\"origin\"";
  attr(out, "data-x", x);
  attr(out, "data-y", y);
  *out += " fill=\"none\" stroke=\"#d0342c\"";
  attr(out, "stroke-width", kOriginStrokePixels * unit);
  *out += ">\n";
  appendLine(out, "origin-mark", x - m, y, x + m, y);
  appendLine(out, "origin-mark", x, y - m, x, y + m);
  *out += "<circle class=\"origin-mark\"";
  attr(out, "cx", x);
  attr(out, "cy", y);
  attr(out, "r", m / 2);
  *out += "/>\n</g>\n";
}

}  // namespace

std::string RenderSymbolSvg(const CSymbol& s, const CSvgOptions& options) {
  const CViewBox box = SymbolViewBox(s);
  const double larger = std::max(box.width, box.height);
  const double scale = options.pixels / larger;
  const double unit = larger / options.pixels;  // drawing units per pixel
  std::string out;
  if (options.standalone) {
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  }
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"";
  out += FormatNumber(box.x) + ' ' + FormatNumber(box.y) + ' ' +
         FormatNumber(box.width) + ' ' + FormatNumber(box.height) + '"';
  attr(&out, "width", std::max(1.0, std::round(box.width * scale)));
  attr(&out, "height", std::max(1.0, std::round(box.height * scale)));
  out += ">\n<title>";
  AppendXmlText(&out, s.name);
  out += "</title>\n";
  appendFrame(&out, s, unit);
  appendShapes(&out, s, unit);
  appendOrigin(&out, s, box, unit);
  out += "</svg>\n";
  return out;
}
