#include "sml/shapes.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "archive/archive_writer.h"
#include "gtest/gtest.h"
#include "platform/platform.h"
#include "support/hex.h"
#include "support/memory_file.h"

namespace {

std::string Store(const std::function<void(CArchiveWriter&)>& puts) {
  CMemoryFile file;
  CArchiveWriter ar(file, "T.SML");
  puts(ar);
  ar.Close();
  return ToHex(file.m_strBytes);
}

// Little-endian doubles used below.
const std::string k1 = "00 00 00 00 00 00 F0 3F";
const std::string k2 = "00 00 00 00 00 00 00 40";
const std::string k3 = "00 00 00 00 00 00 08 40";
const std::string k4 = "00 00 00 00 00 00 10 40";
const std::string k5 = "00 00 00 00 00 00 14 40";
const std::string k6 = "00 00 00 00 00 00 18 40";
const std::string kHalf = "00 00 00 00 00 00 E0 3F";
const std::string kPointDef = "FF FF D2 04 0F 00 " + ToHex("CPrecisionPoint");

TEST(ShapesTest, BodiesInFieldOrderWithTagsOnlyForListedPoints) {
  // A line's points are bare; an arc's and a circle's are tagged.
  CLine line;
  line.start = CPrecisionPoint(1, 2, 3);
  line.end = CPrecisionPoint(4, 5, 6);
  CArc arc;
  arc.points.Add(std::make_unique<CPrecisionPoint>(1, 2, 3));
  arc.points.Add(std::make_unique<CPrecisionPoint>(0.5, 4, 2));
  CCircle circle;
  circle.radius = 6;
  circle.points.Add(std::make_unique<CPrecisionPoint>(4, 5, 6));

  struct Case {
    const char* what;
    const CObject* object;
    std::string hex;
  };
  const Case cases[] = {
      {"line", &line,
       "FF FF D2 04 05 00 " + ToHex("CLine") + " 01 00 00 00 " + k1 + " " + k2 +
           " " + k3 + " " + k4 + " " + k5 + " " + k6},
      {"arc", &arc,
       "FF FF D2 04 04 00 " + ToHex("CArc") + " 02 00 " + kPointDef + " " + k1 +
           " " + k2 + " " + k3 + " 03 80 " + kHalf + " " + k4 + " " + k2},
      {"circle", &circle,
       "FF FF D2 04 07 00 " + ToHex("CCircle") + " " + k6 + " 01 00 " +
           kPointDef + " " + k4 + " " + k5 + " " + k6},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Store([&](CArchiveWriter& ar) { ar.PutObject(c.object); }), c.hex)
        << c.what;
  }
}

TEST(ShapesTest, ArrayWritesCountThenEveryElement) {
  CPrecisionPointArray points;
  points.Add(std::make_unique<CPrecisionPoint>(1, 1, 1));
  points.Add(std::make_unique<CPrecisionPoint>(2, 2, 2));
  EXPECT_EQ(Store([&](CArchiveWriter& ar) { points.Serialize(ar); }),
            "02 00 " + kPointDef + " " + k1 + " " + k1 + " " + k1 + " 01 80 " +
                k2 + " " + k2 + " " + k2);
  CLineArray empty;
  EXPECT_EQ(Store([&](CArchiveWriter& ar) { empty.Serialize(ar); }), "00 00");
}

}  // namespace
