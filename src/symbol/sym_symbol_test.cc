#include "symbol/sym_symbol.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "support/sym_text.h"
#include "symbol/premature_end.h"
#include "symbol/rounded_trig.h"

namespace {

constexpr double kRad = 0.017453292519944444;

using Line = std::array<double, 6>;    // x1 y1 z1 x2 y2 z2
using Circle = std::array<double, 4>;  // x y z r
using Arc = std::array<double, 6>;     // cx cy cz start end r

std::vector<Line> Lines(const CSymbol& s) {
  std::vector<Line> out;
  for (std::size_t i = 0; i < s.lines.GetSize(); ++i) {
    const CLine& l = *s.lines[i];
    EXPECT_EQ(l.attribute, 1);
    out.push_back({l.start.x, l.start.y, l.start.z, l.end.x, l.end.y, l.end.z});
  }
  return out;
}

std::vector<Circle> Circles(const CSymbol& s) {
  std::vector<Circle> out;
  for (std::size_t i = 0; i < s.circles.GetSize(); ++i) {
    const CCircle& c = *s.circles[i];
    EXPECT_EQ(c.points.GetSize(), 1u);
    const CPrecisionPoint& p = *c.points[0];
    out.push_back({p.x, p.y, p.z, c.radius});
  }
  return out;
}

std::vector<Arc> Arcs(const CSymbol& s) {
  std::vector<Arc> out;
  for (std::size_t i = 0; i < s.arcs.GetSize(); ++i) {
    const CArc& a = *s.arcs[i];
    EXPECT_EQ(a.points.GetSize(), 2u);
    const CPrecisionPoint& c = *a.points[0];
    const CPrecisionPoint& p = *a.points[1];
    out.push_back({c.x, c.y, c.z, p.x, p.y, p.z});
  }
  return out;
}

TEST(ReadSymText, ReadsRecordsByTheirFirstLetter) {
  const std::string& h = kSymHeader;
  const struct {
    std::string text;
    std::vector<Line> lines;
    std::vector<Circle> circles;
    std::vector<Arc> arcs;
  } kCases[] = {
      {h + "L 1 2 3 4 5 6\n", {{1, 2, 3, 4, 5, 6}}, {}, {}},
      {"\n   L 1 2 3 4 5 6\r\n", {{1, 2, 3, 4, 5, 6}}, {}, {}},  // any header
      {h + "L 1 2 3\n", {{1, 2, 3, 3, 3, 3}}, {}, {}},  // last field repeats
      {h + "L\nL1\nL \n", {{}, {}, {}}, {}, {}},        // no fields: zeros
      {h + "LX1 2 3 4 5 6\n", {{1, 2, 3, 4, 5, 6}}, {}, {}},  // any separator
      {h + "L 1 2 3 4 5 6 7 8\n", {{1, 2, 3, 4, 5, 6}}, {}, {}},
      {h + "LINE 1 2 3 4 5 6\n", {{0, 1, 2, 3, 4, 5}}, {}, {}},
      {h + "L  1 2 3 4 5 6\n", {{0, 1, 2, 3, 4, 5}}, {}, {}},  // two spaces
      {h + "C 1 2 0\n", {}, {{1, 2, 0, 0}}, {}},       // radius repeats z
      {h + "C 1\t2 3 4 5\n", {}, {{1, 3, 4, 5}}, {}},  // tab joins fields
      {h + "C 1 2 3 4 5 6\n", {}, {{1, 2, 3, 4}}, {}},
      {h + "l 1 2 3 4 5 6\nc 1 2 3 4\na 1 2 3 4 5 6\nX 1\n* L\n\n", {}, {}, {}},
      {h + "\nL 0 0 0 1 1 0\n", {{0, 0, 0, 1, 1, 0}}, {}, {}},
      {h + "L 0 0 0 1 1 0\nC 5 5 5 5", {{0, 0, 0, 1, 1, 0}}, {}, {}},
      {h + "A 0 0 0 0 90 2\n", {}, {}, {{0, 0, 0, 0.0, 270 * kRad, 2}}},
      {h + "C 1 0 0 1\nL 1 1 1 1 1 1\nA 7 8 9 0 0 1\nC 2 0 0 2\n",
       {{1, 1, 1, 1, 1, 1}},
       {{1, 0, 0, 1}, {2, 0, 0, 2}},
       {{7, 8, 9, 0, 0, 1}}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    CSymbol symbol;
    ASSERT_TRUE(ReadSymText(c.text, &symbol));
    EXPECT_EQ(Lines(symbol), c.lines);
    EXPECT_EQ(Circles(symbol), c.circles);
    EXPECT_EQ(Arcs(symbol), c.arcs);
  }
}

TEST(ReadSymText, HeaderAloneIsNoSymbolAndNoLfIsPrematureEnd) {
  for (const char* text : {"H\n", "\n", "H\nL 0 0 0 1 1 0"}) {
    CSymbol symbol;
    EXPECT_FALSE(ReadSymText(text, &symbol)) << text;
    EXPECT_EQ(symbol.lines.GetSize(), 0u);
  }
  for (const char* text : {"", "H", "L 0 0 0 1 1 0"}) {
    CSymbol symbol;
    EXPECT_THROW(ReadSymText(text, &symbol), CPrematureEndException) << text;
  }
}

// The start angle of the record "A 0 0 0 a1 0 1" is reduce(360 - a1) in
// radians; each case gives 360 - a1 and the reduced angle in degrees.
TEST(ReadSymText, ReducesArcAngles) {
  const double nan = std::nan("");
  const struct {
    const char* a1;
    double reducedDegrees;
  } kCases[] = {
      {"360", 0.0},  // 360 - 360 = 0
      {"0", 0.0},    // 360 becomes 0
      {"0.5", 359.5},
      {"450.5", -90.5},  // below 360 in magnitude: sign and fraction stay
      {"450", -90.0},
      {"-90", 90.0},             // 450
      {"-90.5", 90.0},           // 450.5 loses its fraction
      {"810", 90.0},             // -450 loses its sign
      {"-1080", 0.0},            // 1440
      {"-9999999640", 280.0},    // 1e10, beyond any 32-bit integer
      {"-2147483287.9", 127.0},  // 2147483647.9: still an integer
      {"-2147483288", 128.0},    // 2^31
      {"2147484007.5", 127.0},   // -2147483647.5
      {"2147484008", 128.0},     // -2^31
      {"-1e400", nan},           // +inf
      {"1e400", nan},            // -inf
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.a1);
    CSymbol symbol;
    ASSERT_TRUE(
        ReadSymText(std::string("H\nA 0 0 0 ") + c.a1 + " 0 1\n", &symbol));
    const CPrecisionPoint& angles = *symbol.arcs[0]->points[1];
    if (std::isnan(c.reducedDegrees)) {
      EXPECT_TRUE(std::isnan(angles.x));
    } else {
      EXPECT_EQ(angles.x, c.reducedDegrees * kRad);
    }
    EXPECT_EQ(angles.y, 0.0);  // 360 - 0 reduced
    EXPECT_EQ(angles.z, 1.0);
  }
}

CSymbol Measured(const std::string& records) {
  CSymbol symbol;
  EXPECT_TRUE(ReadSymText("H\n" + records, &symbol));
  MeasureAndShift(&symbol);
  return symbol;
}

std::array<double, 4> Extents(const CSymbol& s) {
  return {s.minX, s.minY, s.maxX, s.maxY};
}

std::array<double, 3> Origin(const CSymbol& s) {
  return {s.origin.x, s.origin.y, s.origin.z};
}

TEST(MeasureAndShift, WorkedExamples) {
  {
    const CSymbol s = Measured("L -2 3 0 4 5 0\n");
    EXPECT_EQ(Origin(s), (std::array<double, 3>{2, -5, 0}));
    EXPECT_EQ(Lines(s), (std::vector<Line>{{0, -2, 0, 6, 0, 0}}));
    EXPECT_EQ(Extents(s), (std::array<double, 4>{0, -2, 6, 0}));
  }
  {
    const CSymbol s = Measured("C 0 0 0 1\n");
    EXPECT_EQ(Origin(s), (std::array<double, 3>{1, -1, 0}));
    EXPECT_EQ(Circles(s), (std::vector<Circle>{{1, -1, 0, 1}}));
    EXPECT_EQ(Extents(s), (std::array<double, 4>{0, -2, 2, 0}));
  }
  {
    const CSymbol s = Measured("L 1 -1 0 3 -2 0\n");  // nothing to shift
    EXPECT_EQ(Origin(s), (std::array<double, 3>{-1, 1, 0}));
    EXPECT_EQ(Lines(s), (std::vector<Line>{{1, -1, 0, 3, -2, 0}}));
    EXPECT_EQ(Extents(s), (std::array<double, 4>{1, -2, 3, -1}));
  }
  {
    const CSymbol s = Measured("\nX 1 2\nl 1 2 3 4 5 6\n");  // no shapes
    EXPECT_EQ(Extents(s), (std::array<double, 4>{999999999.0, 999999999.0,
                                                 -999999999.0, -999999999.0}));
    EXPECT_EQ(Origin(s), (std::array<double, 3>{-999999999.0, 999999999.0, 0}));
  }
}

TEST(MeasureAndShift, CirclesWidenEachSideOnItsOwn) {
  // A negative radius puts cx + r below cx - r; each is compared with its
  // own extent only.
  const CSymbol s = Measured("C 0 0 0 -1\nL 5 -5 0 5 -5 0\n");
  EXPECT_EQ(Extents(s), (std::array<double, 4>{1, -5, 5, -1}));
}

TEST(MeasureAndShift, ZNeverCounts) {
  const CSymbol a = Measured(
      "L -1 2 -1000 3 4 1000\nC 0 0 99999 1\n"
      "A 0 0 -5e300 0 90 1\n");
  const CSymbol b = Measured("L -1 2 0 3 4 0\nC 0 0 0 1\nA 0 0 0 0 90 1\n");
  EXPECT_EQ(Extents(a), Extents(b));
  EXPECT_EQ(Origin(a), Origin(b));
  EXPECT_EQ(a.lines[0]->start.z, -1000);
  EXPECT_EQ(a.lines[0]->end.z, 1000);
  EXPECT_EQ(a.circles[0]->points[0]->z, 99999);
  EXPECT_EQ(a.arcs[0]->points[0]->z, -5e300);
}

TEST(MeasureAndShift, ArcExtentsFollowTheSampledSweep) {
  const double kTol = 1e-9;
  const struct {
    const char* record;
    double minX, minY, maxX, maxY;  // before the shift, via the origin
  } kCases[] = {
      // Each arc has its extremes at its ends or at its middle sample.
      // Text angles 0 to 90: the quarter from (2, 0) down to (0, -2).
      {"A 0 0 0 0 90 2\n", 0, -2, 2, 0},
      // 350 to 10 runs the short way over angle 0.
      {"A 0 0 0 350 10 1\n", RoundedCos(10 * kRad), -RoundedSin(10 * kRad), 1,
       RoundedSin(10 * kRad)},
      // 0 to 180: the lower half, through the sample at angle 90.
      {"A 0 0 0 0 180 1\n", -1, -1, 1, 0},
      // 90 to 270: the left half; no turn added to this sweep.
      {"A 10 20 0 90 270 1\n", 9, 19, 10, 21},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.record);
    const CSymbol s = Measured(c.record);
    EXPECT_NEAR(-s.origin.x, c.minX, kTol);
    EXPECT_NEAR(-s.origin.y, c.maxY, kTol);
    EXPECT_NEAR(s.maxX - s.minX, c.maxX - c.minX, kTol);
    EXPECT_NEAR(s.maxY - s.minY, c.maxY - c.minY, kTol);
  }
  // Equal angles: every sample is the one point at the start angle.
  const CSymbol one = Measured("A 5 6 0 30 30 1\n");
  const double angle = 330 * kRad;
  EXPECT_EQ(Origin(one), (std::array<double, 3>{-(5 + RoundedCos(angle)),
                                                -(6 + RoundedSin(angle)), 0}));
  EXPECT_EQ(one.maxX, one.minX);
  EXPECT_EQ(one.maxY, one.minY);
}

// The extents of arcs from every one of their 201 samples, written the plain
// way, against MeasureAndShift, which may skip samples that cannot decide
// them: the results must be the same doubles, bit for bit.
struct CExtents {
  double minX = 999999999.0, minY = 999999999.0;
  double maxX = -999999999.0, maxY = -999999999.0;
};

void TakeInAllSamples(CExtents& e, double cx, double cy, double s, double end,
                      double r) {
  double d = s - end;
  if (d < 0) d = d + 6.28318530718;
  const double step = -0.005 * d;
  for (int i = 0; i < 201; ++i) {
    const double theta = s + static_cast<double>(i) * step;
    const double px = cx + r * RoundedCos(theta);
    const double py = cy + r * RoundedSin(theta);
    if (px > e.maxX) e.maxX = px;
    if (px < e.minX) e.minX = px;
    if (py > e.maxY) e.maxY = py;
    if (py < e.minY) e.minY = py;
  }
}

uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

TEST(MeasureAndShift, ArcExtentsEqualThoseOfAllSamples) {
  std::mt19937_64 random(42);
  auto uniform = [&](double lo, double hi) {
    return lo + (hi - lo) * static_cast<double>(random() >> 11) * 0x1p-53;
  };
  auto pick = [&](int n) { return static_cast<int>(random() % n); };
  const double kQuarter = 90 * kRad;
  for (int trial = 0; trial < 4000; ++trial) {
    SCOPED_TRACE(trial);
    CSymbol symbol;
    CExtents want;
    // A line first, now and then, with ends at +-0.0, near the arcs or so
    // wide that later arcs often lie within its extents.
    if (pick(3) == 0) {
      const double spread = pick(2) ? 3 : 150;
      const double x = pick(2) ? -0.0 : uniform(-spread, spread);
      const double y = pick(2) ? 0.0 : uniform(-spread, spread);
      auto line = std::make_unique<CLine>();
      line->start = CPrecisionPoint(x, y, 0);
      line->end = CPrecisionPoint(-x, -y, 0);
      for (const CPrecisionPoint* p : {&line->start, &line->end}) {
        if (p->x > want.maxX) want.maxX = p->x;
        if (p->x < want.minX) want.minX = p->x;
        if (p->y > want.maxY) want.maxY = p->y;
        if (p->y < want.minY) want.minY = p->y;
      }
      symbol.lines.Add(std::move(line));
    }
    for (int n = 1 + pick(3); n > 0; --n) {
      double cx = pick(8) == 0 ? -0.0 : uniform(-100, 100);
      double cy = pick(8) == 0 ? 0.0 : uniform(-100, 100);
      double r = uniform(-50, 50);
      switch (pick(16)) {
        case 0:
          r = 0.0;
          break;
        case 12:
          r = pick(2) ? std::nan("") : HUGE_VAL;
          break;
        case 13:
          cx = -HUGE_VAL;
          break;
        case 14:  // just touches the extents so far
          cx = want.maxX - std::fabs(r);
          cy = want.minY + std::fabs(r);
          break;
        case 15:  // inside the arc before
          if (symbol.arcs.GetSize() > 0) {
            const CArc& before = *symbol.arcs[symbol.arcs.GetSize() - 1];
            cx = before.points[0]->x;
            cy = before.points[0]->y;
            r = before.points[1]->z * uniform(0, 1);
          }
          break;
        case 1:
          r = 1e-210 * uniform(0.5, 2);
          break;
        case 2:
          r = 1e210;
          cx = 1e205;
          break;
        case 3:
          r = uniform(1e-3, 1);
          cx = -r;
          break;  // reaches x = 0
        default:
          break;
      }
      // Angles as the reader leaves them: multiples of quarter turns, ends
      // a hair apart, sweeps around the thresholds, or anything.
      double s = uniform(0, 360) * kRad, e = uniform(0, 360) * kRad;
      switch (pick(9)) {
        case 8: {  // a turning point all but midway between two samples
          const double step = uniform(1e-4, 0.28);
          s = pick(4) * (std::numbers::pi / 2) + (pick(200) + 0.5) * step +
              uniform(-1e-9, 1e-9);
          e = s - 200 * step;
          break;
        }
        case 0:
          s = pick(8) * kQuarter;
          e = pick(8) * kQuarter;
          break;
        case 1:
          e = s - uniform(0, 1e-4);
          break;
        case 2:
          e = s - uniform(1.5e-5, 2.5e-5);
          break;
        case 3:
          e = s - pick(5) * kQuarter - uniform(-1e-6, 1e-6);
          break;
        case 4:
          s = -uniform(0, 360) * kRad;
          break;
        case 5:
          e = s;
          break;
        default:
          break;
      }
      auto arc = std::make_unique<CArc>();
      arc->points.Add(std::make_unique<CPrecisionPoint>(cx, cy, 0));
      arc->points.Add(std::make_unique<CPrecisionPoint>(s, e, r));
      symbol.arcs.Add(std::move(arc));
      TakeInAllSamples(want, cx, cy, s, e, r);
    }
    MeasureAndShift(&symbol);
    // The origin holds the extents before the shift, negated.
    ASSERT_EQ(Bits(symbol.origin.x), Bits(-want.minX));
    ASSERT_EQ(Bits(symbol.origin.y), Bits(-want.maxY));
    const double maxX = want.minX < 0 ? want.maxX - want.minX : want.maxX;
    const double minY = want.maxY > 0 ? want.minY - want.maxY : want.minY;
    ASSERT_EQ(Bits(symbol.maxX), Bits(maxX));
    ASSERT_EQ(Bits(symbol.minY), Bits(minY));
    ASSERT_EQ(Bits(symbol.minX), Bits(want.minX < 0 ? 0 : want.minX));
    ASSERT_EQ(Bits(symbol.maxY), Bits(want.maxY > 0 ? 0 : want.maxY));
  }
}

TEST(MeasureAndShift, MovesCentresButNeverAngles) {
  const CSymbol s = Measured("A -5 5 1 0 90 1\nC -3 4 2 1\n");
  // The arc reaches from x -5 to -4 and from y 4 to 5; the circle from
  // x -4 to -2 and y 3 to 5.
  EXPECT_NEAR(s.origin.x, 5, 1e-9);
  EXPECT_NEAR(s.origin.y, -5, 1e-9);
  const std::vector<Arc> arcs = Arcs(s);
  EXPECT_NEAR(arcs[0][0], 0, 1e-9);
  EXPECT_NEAR(arcs[0][1], 0, 1e-9);
  EXPECT_EQ(arcs[0][2], 1);
  EXPECT_EQ(arcs[0][3], 0.0);
  EXPECT_EQ(arcs[0][4], 270 * kRad);
  EXPECT_EQ(arcs[0][5], 1);
  EXPECT_NEAR(s.circles[0]->points[0]->x, 2, 1e-9);
  EXPECT_NEAR(s.circles[0]->points[0]->y, -1, 1e-9);
  EXPECT_EQ(s.minX, 0);
  EXPECT_EQ(s.maxY, 0);
}

}  // namespace
