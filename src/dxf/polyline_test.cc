#include "dxf/polyline.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dxf/dxf_group_reader.h"
#include "symbol/rounded_trig.h"

namespace {

using Kind = CPolylineSegment::Kind;

// The half circle of bulge +-1 is exact: centre, radius and angles are the
// values a DXF ARC would hold, with no -0.
TEST(MakeSegmentTest, HalfCirclesAreExact) {
  const struct {
    CPolylineVertex from, to;
    double cx, cy, start, end;
  } cases[] = {
      // Counter-clockwise from (0, 0) round below the chord to (2, 0).
      {{0, 0, 1}, {2, 0}, 1, 0, 180, 0},
      // Clockwise: over the top, i.e. counter-clockwise from 0 to 180.
      {{0, 0, -1}, {2, 0}, 1, 0, 0, 180},
      {{2, 0, 1}, {2, 2}, 2, 1, 270, 90},
      {{0, 2, -1}, {0, 0}, 0, 1, 270, 90},
  };
  for (const auto& c : cases) {
    const CPolylineSegment s = MakeSegment(c.from, c.to);
    ASSERT_EQ(s.kind, Kind::kArc);
    EXPECT_EQ(s.cx, c.cx);
    EXPECT_EQ(s.cy, c.cy);
    EXPECT_FALSE(std::signbit(s.cx) || std::signbit(s.cy));
    EXPECT_EQ(s.radius, 1.0);
    EXPECT_EQ(s.start, c.start);
    EXPECT_EQ(s.end, c.end);
    EXPECT_FALSE(std::signbit(s.start) || std::signbit(s.end));
  }
}

TEST(MakeSegmentTest, ArcsOfOtherBulges) {
  const double quarter = std::tan(std::numbers::pi / 8);  // 90 degrees
  const struct {
    const char* what;
    CPolylineVertex from, to;
    double cx, cy, radius, start, end;
  } cases[] = {
      {"quarter, counter-clockwise", {1, 0, quarter}, {0, 1}, 0, 0, 1, 0, 90},
      {"quarter, clockwise: centre on the right",
       {1, 0, -quarter},
       {0, 1},
       1,
       1,
       1,
       180,
       270},
      // (1/2 - 2)/4 = -0.375 chord lengths: the centre is on the right.
      {"more than a half circle",
       {0, 0, 2},
       {2, 0},
       1,
       -0.75,
       1.25,
       RoundedAtan2(0.75, -1.0) * 180 / std::numbers::pi,
       RoundedAtan2(0.75, 1.0) * 180 / std::numbers::pi},
      // Half the included angle, 2 atan(b), on either side of straight down.
      {"the smallest bulge that bends",
       {0, 0, 1e-4},
       {1, 0},
       0.5,
       (1e4 - 1e-4) / 4,
       (1e-4 + 1e4) / 4,
       270 - std::atan(1e-4) * 360 / std::numbers::pi,
       270 + std::atan(1e-4) * 360 / std::numbers::pi},
  };
  for (const auto& c : cases) {
    const CPolylineSegment s = MakeSegment(c.from, c.to);
    ASSERT_EQ(s.kind, Kind::kArc) << c.what;
    const double tolerance = 1e-9 * (1 + c.radius);
    EXPECT_NEAR(s.cx, c.cx, tolerance) << c.what;
    EXPECT_NEAR(s.cy, c.cy, tolerance) << c.what;
    EXPECT_NEAR(s.radius, c.radius, tolerance) << c.what;
    EXPECT_NEAR(s.start, c.start, 1e-9) << c.what;
    EXPECT_NEAR(s.end, c.end, 1e-9) << c.what;
  }
}

TEST(MakeSegmentTest, LinesAndNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* what;
    CPolylineVertex from, to;
    Kind kind;
  } cases[] = {
      {"no bulge", {1, 2, 0}, {3, 4}, Kind::kLine},
      {"too flat to bend", {1, 2, -0.9e-4}, {3, 4}, Kind::kLine},
      {"NaN bulge", {1, 2, nan}, {3, 4}, Kind::kLine},
      {"infinite bulge", {1, 2, HUGE_VAL}, {3, 4}, Kind::kLine},
      {"zero length", {1, 2, 0}, {1, 2}, Kind::kNone},
      {"zero length with a bulge", {1, 2, 1}, {1, 2}, Kind::kNone},
  };
  for (const auto& c : cases) {
    const CPolylineSegment s = MakeSegment(c.from, c.to);
    EXPECT_EQ(s.kind, c.kind) << c.what;
    if (c.kind == Kind::kLine) {
      EXPECT_EQ(s.x1, 1) << c.what;
      EXPECT_EQ(s.y1, 2) << c.what;
      EXPECT_EQ(s.x2, 3) << c.what;
      EXPECT_EQ(s.y2, 4) << c.what;
    }
  }
}

// "L x1 y1 x2 y2" or "A cx cy r start end" per segment, rounded to 1e-9.
std::vector<std::string> Segments(const CPolyline& polyline) {
  std::vector<std::string> out;
  auto n = [](double v) {
    return std::to_string(std::round(v * 1e9) / 1e9 + 0.0);
  };
  polyline.forEachSegment([&](const CPolylineSegment& s) {
    out.push_back(s.kind == Kind::kLine
                      ? "L " + n(s.x1) + " " + n(s.y1) + " " + n(s.x2) + " " +
                            n(s.y2)
                      : "A " + n(s.cx) + " " + n(s.cy) + " " + n(s.radius) +
                            " " + n(s.start) + " " + n(s.end));
  });
  return out;
}

TEST(PolylineTest, SegmentsInVertexOrderWithTheClosingOneLast) {
  CPolyline polyline;
  // The last vertex's bulge bends the closing segment only.
  polyline.vertices = {{0, 0, 0}, {2, 0, 1}, {2, 2, 0}, {2, 2, 0}, {0, 2, -1}};
  const std::vector<std::string> open = {
      "L 0.000000 0.000000 2.000000 0.000000",
      "A 2.000000 1.000000 1.000000 270.000000 90.000000",
      // (2, 2) twice: no segment between them.
      "L 2.000000 2.000000 0.000000 2.000000"};
  EXPECT_EQ(Segments(polyline), open);
  polyline.closed = true;
  std::vector<std::string> closed = open;
  closed.push_back("A 0.000000 1.000000 1.000000 270.000000 90.000000");
  EXPECT_EQ(Segments(polyline), closed);

  // A closing segment back onto the first vertex's place draws nothing, and
  // neither does a closed polyline of one vertex.
  polyline.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 0, 0.5}};
  EXPECT_EQ(Segments(polyline), (std::vector<std::string>{
                                    "L 0.000000 0.000000 1.000000 0.000000",
                                    "L 1.000000 0.000000 0.000000 0.000000"}));
  polyline.vertices = {{5, 5, 1}};
  EXPECT_TRUE(Segments(polyline).empty());
}

TEST(PolylineTest, MirrorTurnsTheBendsAround) {
  CPolyline polyline;
  polyline.vertices = {{1, 0, 1}, {3, 0, 0}};
  polyline.elevation = 2;
  polyline.mirror();
  EXPECT_EQ(Segments(polyline),
            (std::vector<std::string>{
                "A -2.000000 0.000000 1.000000 180.000000 0.000000"}));
  EXPECT_EQ(polyline.elevation, -2);
}

CDxfEntity ReadEntity(const std::string& text) {
  CDxfGroupReader reader(text);
  reader.next();
  CDxfEntity entity;
  reader.readEntity(entity);
  return entity;
}

TEST(PolylineTest, ReadsLwPolylineGroups) {
  // Widths (43, 40, 41) and vertex ids (91) play no part; a y before the
  // first x has no vertex.
  const std::string text =
      "0\nLWPOLYLINE\n90\n3\n70\n129\n43\n0.5\n38\n2.5\n20\n9\n"
      "10\n0\n20\n1\n40\n1\n41\n1\n42\n1\n10\n2\n20\n3\n91\n7\n"
      "10\n4\n42\n-0.5\n20\n5\n0\nEOF\n";
  const CDxfEntity entity = ReadEntity(text);
  CPolyline polyline;
  polyline.vertices = {{9, 9, 9}};
  ReadLwPolyline(entity, &polyline);
  EXPECT_TRUE(polyline.closed);
  EXPECT_EQ(polyline.elevation, 2.5);
  ASSERT_EQ(polyline.vertices.size(), 3u);
  const double expected[3][3] = {{0, 1, 1}, {2, 3, 0}, {4, 5, -0.5}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(polyline.vertices[i].x, expected[i][0]) << i;
    EXPECT_EQ(polyline.vertices[i].y, expected[i][1]) << i;
    EXPECT_EQ(polyline.vertices[i].bulge, expected[i][2]) << i;
  }
}

TEST(PolylineTest, PolylineHeadersAndVertices) {
  const struct {
    const char* flags;
    bool two_d;
    bool closed;
  } headers[] = {{"0", true, false},   {"1", true, true},  {"2", true, false},
                 {"8", false, false},  {"9", false, true}, {"16", false, false},
                 {"64", false, false}, {"x", true, false}};
  for (const auto& h : headers) {
    // The entity's views point into the text, which must outlive it.
    const std::string text =
        std::string("0\nPOLYLINE\n66\n1\n10\n0\n20\n0\n30\n4\n70\n") + h.flags +
        "\n0\nEOF\n";
    const CDxfEntity header = ReadEntity(text);
    EXPECT_EQ(Is2dPolyline(header), h.two_d) << h.flags;
    CPolyline polyline;
    BeginPolyline(header, &polyline);
    EXPECT_EQ(polyline.closed, h.closed) << h.flags;
    EXPECT_EQ(polyline.elevation, 4) << h.flags;
  }
  CPolyline polyline;
  AddPolylineVertex(ReadEntity("0\nVERTEX\n10\n1\n20\n2\n42\n0.5\n0\nEOF\n"),
                    &polyline);
  // A spline's frame control point is not on the line.
  AddPolylineVertex(ReadEntity("0\nVERTEX\n10\n7\n20\n7\n70\n16\n0\nEOF\n"),
                    &polyline);
  AddPolylineVertex(ReadEntity("0\nVERTEX\n10\n3\n20\n4\n70\n8\n0\nEOF\n"),
                    &polyline);
  ASSERT_EQ(polyline.vertices.size(), 2u);
  EXPECT_EQ(polyline.vertices[0].bulge, 0.5);
  EXPECT_EQ(polyline.vertices[1].x, 3);
}

}  // namespace
