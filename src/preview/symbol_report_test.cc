#include "preview/symbol_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

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

TEST(FormatSymbolJson, IsOneValidObjectPerFile) {
  CSymbol s = ReportSymbol();
  s.lines[0]->start.x = NAN;
  const std::string json = FormatSymbolJson("LAMP \"1\".SML", s);
  EXPECT_EQ(json.find('\n'), std::string::npos);
  EXPECT_NE(
      json.find("\"file\":\"LAMP \\\"1\\\".SML\",\"name\":\"LAMP\\u0001\""),
      std::string::npos);
  EXPECT_NE(json.find("\"counts\":{\"lines\":1,\"arcs\":1,\"circles\":1}"),
            std::string::npos);
  EXPECT_NE(json.find("{\"start\":[null,-1,0],\"end\":[2.5,-1,0],"
                      "\"attribute\":1}"),
            std::string::npos);
  EXPECT_NE(json.find("\"sweep_deg\":90"), std::string::npos) << json;
  EXPECT_NE(json.find("\"origin\":[-0,1,0]}"), std::string::npos);
  const std::string error =
      FormatErrorJson("X.SML", "offset 4: expected \"y\"", 4);
  EXPECT_EQ(error,
            "{\"file\":\"X.SML\",\"error\":\"offset 4: expected \\\"y\\\"\","
            "\"offset\":4}");

  // Both must parse as JSON.
#ifdef _WIN32
  GTEST_SKIP() << "the JSON check runs on the build machine only";
#endif
  if (!std::filesystem::exists("/usr/bin/python3")) GTEST_SKIP();
  const auto file =
      std::filesystem::temp_directory_path() / "symconv-report-test.json";
  std::ofstream(file) << json << "\n" << error << "\n";
  const std::string command =
      "/usr/bin/python3 -c 'import json,sys\n"
      "for line in open(sys.argv[1]): json.loads(line)' '" +
      file.string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
}

}  // namespace
