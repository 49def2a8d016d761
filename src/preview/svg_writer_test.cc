#include "preview/svg_writer.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "preview/markup.h"
#include "preview/preview_test_util.h"
#include "preview/sheet_writer.h"
#include "preview/symbol_geometry.h"

namespace {

constexpr double kPi = std::numbers::pi;

// The numbers among the space-separated words of a path.
std::vector<double> Numbers(const std::string& text) {
  std::vector<double> values;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    double value;
    const char* first = text.data() + at;
    const char* last = text.data() + end;
    if (std::from_chars(first, last, value).ptr == last)
      values.push_back(value);
    at = end + 1;
  }
  return values;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos;
       at = text.find(what, at + 1)) {
    ++n;
  }
  return n;
}

// The centre of an SVG arc piece drawn with both flags 0, worked out from
// its end points and radius as a renderer does it.
void PieceCentre(double x1, double y1, double x2, double y2, double r,
                 double* cx, double* cy) {
  const double hx = (x1 - x2) / 2, hy = (y1 - y2) / 2;
  const double q =
      std::max(0.0, (r * r - hx * hx - hy * hy) / (hx * hx + hy * hy));
  const double coef = -std::sqrt(q);  // flags equal: the minus root
  *cx = coef * hy + (x1 + x2) / 2;
  *cy = -coef * hx + (y1 + y2) / 2;
}

struct ArcCase {
  const char* what;
  double start, end, r;
  int pieces;        // A commands
  double end_angle;  // where the path must end
};

// Each piece must lie on the arc's own circle and run downward in angle;
// together they must go from the start angle to start - sweep.
TEST(ArcPath, TracesTheArcFromItsStartDownward) {
  const double cx = 3, cy = -2;
  const ArcCase cases[] = {
      {"quarter", kPi / 2, 0, 2, 1, 0},
      // The sweep is a hair above a quarter turn: two pieces.
      {"end above start wraps", 0, 4.71238898038469, 2, 2,
       4.71238898038469 - 6.28318530718},
      {"nearly three quarters", kPi, -kPi / 2 + 0.1, 1.5, 3, -kPi / 2 + 0.1},
      {"nearly a full turn", 0, 0.001, 1, 4, 0.001 - 6.28318530718},
      {"more than a turn is the circle", 6, -6, 1, 2, 6},
      {"negative radius", kPi / 2, 0, -2, 1, 0},
  };
  for (const ArcCase& c : cases) {
    const std::string d = ArcPath(cx, cy, c.r, c.start, c.end);
    EXPECT_EQ(static_cast<int>(Count(d, "A")), c.pieces) << c.what << ": " << d;
    const std::vector<double> v = Numbers(d);
    ASSERT_EQ(v.size(), 2u + 7u * c.pieces) << c.what;
    EXPECT_NEAR(v[0], cx + c.r * std::cos(c.start), 1e-12) << c.what;
    EXPECT_NEAR(v[1], cy + c.r * std::sin(c.start), 1e-12) << c.what;
    double x = v[0], y = v[1];
    double angle = std::atan2(y - cy, x - cx);
    double turned = 0;
    for (int k = 0; k < c.pieces; ++k) {
      const double* a = &v[2 + 7 * k];
      EXPECT_EQ(a[0], std::fabs(c.r)) << c.what;
      EXPECT_EQ(a[3] + a[4], 0) << c.what << ": small, anticlockwise";
      double pcx, pcy;
      PieceCentre(x, y, a[5], a[6], a[0], &pcx, &pcy);
      EXPECT_NEAR(pcx, cx, 1e-9) << c.what << " piece " << k;
      EXPECT_NEAR(pcy, cy, 1e-9) << c.what << " piece " << k;
      const double next = std::atan2(a[6] - cy, a[5] - cx);
      double step = angle - next;  // downward, so positive
      if (step < 0) step += 2 * kPi;
      turned += step;
      x = a[5], y = a[6], angle = next;
    }
    EXPECT_NEAR(x, cx + c.r * std::cos(c.end_angle), 1e-12) << c.what;
    EXPECT_NEAR(y, cy + c.r * std::sin(c.end_angle), 1e-12) << c.what;
    const double sweep = std::min(ArcSweep(c.start, c.end), 2 * kPi);
    EXPECT_NEAR(turned, sweep, 1e-9) << c.what;
  }
}

TEST(ArcPath, EqualAnglesAreOnePoint) {
  EXPECT_EQ(ArcPath(0, 0, 1, 0, 0), "M 1 0 L 1 0");
}

CSymbol MixedSymbol() {
  CSymbol s;
  s.name = "R&D <1>";
  AddLine(&s, 0, -1, 4, -1);
  AddLine(&s, 4, -1, 4, -3);
  AddArc(&s, 2, -2, kPi / 2, 0, 1);
  AddArc(&s, 6, -4, 0.3, 0.2, 0.5);
  AddCircle(&s, 8, -2, 1);
  MeasureTestSymbol(&s);
  return s;
}

TEST(RenderSymbolSvg, DrawsOneElementPerShapeInsideTheFrame) {
  const CSymbol s = MixedSymbol();
  const std::string svg = RenderSymbolSvg(s);
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0),
            0u);
  EXPECT_EQ(Count(svg, "<line class=\"line\""), 2u);
  EXPECT_EQ(Count(svg, "<path class=\"arc\""), 2u);
  EXPECT_EQ(Count(svg, "<circle class=\"circle\""), 1u);
  EXPECT_EQ(Count(svg, "<rect class=\"extents\""), 1u);
  EXPECT_NE(svg.find("<title>R&amp;D &lt;1&gt;</title>"), std::string::npos);
  // The frame is the stored extents; the origin sits at the text's (0, 0).
  EXPECT_NE(svg.find("x=\"" + FormatNumber(s.minX) + "\" y=\"" +
                     FormatNumber(s.minY) + "\""),
            std::string::npos);
  EXPECT_NE(svg.find("data-x=\"0\" data-y=\"0\""), std::string::npos);

  const CCheckResult check =
      CheckMarkup(svg, "mixed.svg", "--lines 2 --arcs 2 --circles 1");
  if (check.status == -2) GTEST_SKIP() << check.output;
  EXPECT_EQ(check.status, 0) << check.output;
}

TEST(RenderSymbolSvg, EmptyAndOddSymbolsStayValid) {
  CSymbol empty;
  empty.name = std::string("bad\x01name\xFF", 10);
  MeasureTestSymbol(&empty);
  CSymbol odd;
  AddLine(&odd, 0, 0, 0, 0);  // a single point
  AddLine(&odd, NAN, 0, 1, 1);
  AddArc(&odd, 0, 0, 1, 1, 0);
  MeasureTestSymbol(&odd);
  for (const CSymbol* s : {&empty, &odd}) {
    CSvgOptions inline_svg;
    inline_svg.standalone = false;
    inline_svg.pixels = 100;
    const std::string svg = RenderSymbolSvg(*s, inline_svg);
    EXPECT_EQ(svg.rfind("<svg ", 0), 0u);
    const CCheckResult check = CheckMarkup(svg, "odd.svg", "--svgs 1");
    if (check.status == -2) GTEST_SKIP() << check.output;
    EXPECT_EQ(check.status, 0) << check.output << svg;
  }
  EXPECT_EQ(Count(RenderSymbolSvg(empty), "<rect"), 0u);  // no extents
  EXPECT_EQ(Count(RenderSymbolSvg(odd), "<line class=\"line\""), 1u);
}

// Viewers that ignore non-scaling strokes drew a small symbol as blobs and a
// large one as hairlines: strokes must be a few pixels wide at any size.
TEST(RenderSymbolSvg, StrokesAreAFewPixelsWideAtAnySymbolSize) {
  for (const double size : {0.001, 1.0, 25000.0}) {
    CSymbol s;
    AddLine(&s, 0, 0, size, size / 2);
    AddCircle(&s, size / 2, 0, size / 4);
    MeasureTestSymbol(&s);
    for (const int pixels : {40, 600}) {
      CSvgOptions options;
      options.pixels = pixels;
      const std::string svg = RenderSymbolSvg(s, options);
      EXPECT_EQ(Count(svg, "vector-effect"), 0u) << size;
      const CCheckResult check = CheckMarkup(svg, "sized.svg", "--svgs 1");
      if (check.status == -2) GTEST_SKIP() << check.output;
      EXPECT_EQ(check.status, 0) << size << " " << pixels << check.output;
    }
  }
}

TEST(SymbolViewBox, HoldsTheExtentsAndTheOriginWithAMargin) {
  const CSymbol s = MixedSymbol();
  const CViewBox box = SymbolViewBox(s);
  EXPECT_LT(box.x, std::min(s.minX, 0.0));
  EXPECT_LT(box.y, s.minY);
  EXPECT_GT(box.x + box.width, s.maxX);
  EXPECT_GT(box.y + box.height, std::max(s.maxY, 0.0));
  CSymbol empty;
  MeasureTestSymbol(&empty);
  const CViewBox around = SymbolViewBox(empty);
  EXPECT_GT(around.width, 0);
  EXPECT_LT(around.x, 0);
  EXPECT_GT(around.x + around.width, 0);
}

TEST(CSheetWriter, ShowsSymbolsAndErrorTiles) {
  const CSymbol s = MixedSymbol();
  CSheetWriter sheet("lib & co");
  sheet.AddSymbol("A.SML", s);
  sheet.AddError("B<2>.SML", "offset 3: expected \"x\"");
  sheet.AddSymbol("C.SML", s);
  const std::string html = sheet.Finish();
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(html.find("<h1>lib &amp; co</h1>"), std::string::npos);
  EXPECT_NE(html.find("2 symbols, 1 file that could not be read"),
            std::string::npos);
  EXPECT_NE(html.find("B&lt;2&gt;.SML"), std::string::npos);
  EXPECT_NE(html.find("offset 3: expected &quot;x&quot;"), std::string::npos);
  EXPECT_NE(html.find("symbol &#8220;R&amp;D &lt;1&gt;&#8221;"),
            std::string::npos);
  EXPECT_NE(html.find("2 lines &#183; 2 arcs &#183; 1 circle"),
            std::string::npos);
  EXPECT_LT(html.find("A.SML"), html.find("B&lt;2&gt;.SML"));
  EXPECT_LT(html.find("B&lt;2&gt;.SML"), html.find("C.SML"));

  const CCheckResult check =
      CheckMarkup(html, "sheet.html",
                  "--svgs 2 --tiles 3 --errors 1 --lines 4 --arcs 4 "
                  "--circles 2");
  if (check.status == -2) GTEST_SKIP() << check.output;
  EXPECT_EQ(check.status, 0) << check.output;
}

}  // namespace
