#include "preview/symbol_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include <nlohmann/json.hpp>

#include "preview/markup.h"
#include "preview/preview_test_util.h"

namespace {

// An arc as a .SYM record A 5 -5 0 0 90 2 leaves it: from 0 degrees down
// to 270 (that is -90), a quarter turn.
CSymbol ReportSymbol() {
  CSymbol s;
  s.name = "LAMP\x01";
  AddLine(&s, 0, -1, 2.5, -1);
  AddArc(&s, 5, -5, 0.0, 270 * 0.017453292519944444, 2);
  AddCircle(&s, 4, -4, 0.5);
  MeasureTestSymbol(&s);
  return s;
}

TEST(FormatSymbolText, ListsEveryShapeWithDegrees) {
  const std::string text = FormatSymbolText("LAMP.SML", ReportSymbol());
  const char* expected[] = {
      "LAMP.SML\n",
      "  symbol   \"LAMP\\x01\"\n",
      "  shapes   1 lines, 1 arcs, 1 circles\n",
      "  line 1   (0, -1, 0) to (2.5, -1, 0)\n",
      "  arc 1    centre (5, -5, 0) radius 2, from 0 deg down to 270 deg, "
      "sweep 90 deg (radians 0 to 4.712388980385)\n",
      "  circle 1 centre (4, -4, 0) radius 0.5\n",
      "  extents  x 0 to 7, y -7 to -1\n",
      "  size     width 7, height 6\n",
      "  origin   (-0, 1, 0) from the corner (minX, maxY)\n",
  };
  for (const char* line : expected) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
  }
}

TEST(FormatSymbolText, SaysWhenThereAreNoExtents) {
  CSymbol empty;
  MeasureTestSymbol(&empty);
  EXPECT_NE(FormatSymbolText("E.SML", empty)
                .find("x 999999999 to -999999999, y 999999999 to -999999999 "
                      "(none: no shapes)"),
            std::string::npos);
}

TEST(FormatSymbolJson, IsOneObjectPerLineWhoseNumbersReadBackExactly) {
  CSymbol s = ReportSymbol();
  s.lines[0]->start.x = NAN;
  const std::string text = FormatSymbolJson("LAMP \"1\".SML", s);
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_EQ(text.rfind("{\"file\":", 0), 0u) << "the file comes first";
  const auto json = nlohmann::json::parse(text);
  EXPECT_EQ(json["file"], "LAMP \"1\".SML");
  EXPECT_EQ(json["name"], "LAMP\x01");
  EXPECT_EQ(json["counts"],
            nlohmann::json({{"lines", 1}, {"arcs", 1}, {"circles", 1}}));
  EXPECT_TRUE(json["lines"][0]["start"][0].is_null());
  EXPECT_EQ(json["lines"][0]["end"], nlohmann::json({2.5, -1.0, 0.0}));
  // Every digit that tells the double apart, not twelve of them.
  const double end = s.arcs[0]->points[1]->y;
  EXPECT_EQ(json["arcs"][0]["end"].get<double>(), end);
  EXPECT_NE(text.find("\"end\":" + FormatNumber(end)), std::string::npos)
      << text;
  EXPECT_DOUBLE_EQ(json["arcs"][0]["sweep_deg"].get<double>(), 90.0);
  EXPECT_TRUE(std::signbit(json["origin"][0].get<double>()));

  const auto error = nlohmann::json::parse(
      FormatErrorJson("X.SML", "offset 4: expected \"y\"", 4));
  EXPECT_EQ(error, nlohmann::json({{"file", "X.SML"},
                                   {"error", "offset 4: expected \"y\""},
                                   {"offset", 4}}));
}

}  // namespace
