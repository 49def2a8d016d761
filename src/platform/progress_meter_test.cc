// The progress line inside a big file: paced to ten lines a second, with
// a rate and a time left that appear only once they mean something.

#include "platform/progress_meter.h"

#include <chrono>
#include <string>

#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;

TEST(ProgressMeterTest, PacesLinesAndShowsRateOnlyAfterASecond) {
  const CProgressMeter::Clock::time_point t0;
  CProgressMeter meter;
  EXPECT_EQ(meter.StartFile(0, 2, "PARTS.DXF", t0), "[0/2] PARTS.DXF");
  const struct {
    int ms;
    std::size_t done, total;
    int symbols;
    const char* shown;
  } steps[] = {
      {99, 1000, 70000000, 0, ""},  // too soon after the file's own line
      {100, 700000, 70000000, 1, "[0/2] PARTS.DXF  1%  1 symbol"},
      {150, 800000, 70000000, 2, ""},
      {999, 7000000, 70000000, 1234, "[0/2] PARTS.DXF  10%  1,234 symbols"},
      {2000, 26000000, 70000000, 1234567,
       "[0/2] PARTS.DXF  37%  13.0 MB/s  0:03 left  1,234,567 symbols"},
      {9000, 35000000, 70000000, 0,
       "[0/2] PARTS.DXF  50%  3.9 MB/s  0:09 left  0 symbols"},
      {10000, 1000, 4000000000, 0,
       "[0/2] PARTS.DXF  0%  0.0 MB/s  11111:06:30 left  0 symbols"},
      {10100, 0, 0, 0, "[0/2] PARTS.DXF  0 symbols"},  // nothing to measure
  };
  for (const auto& s : steps) {
    EXPECT_EQ(meter.Within(s.done, s.total, s.symbols, t0 + milliseconds(s.ms)),
              s.shown)
        << s.ms << " ms";
  }
  // A new file starts its own rate and its own pace.
  EXPECT_EQ(meter.StartFile(1, 2, "B.DXF", t0 + milliseconds(20000)),
            "[1/2] B.DXF");
  EXPECT_EQ(meter.Within(10, 100, 0, t0 + milliseconds(20050)), "");
  EXPECT_EQ(meter.Within(50, 100, 0, t0 + milliseconds(20500)),
            "[1/2] B.DXF  50%  0 symbols");
}

TEST(ProgressMeterTest, LongLinesAreCutBeforeTheyWrapNeverInACharacter) {
  const struct {
    const char* line;
    int columns;
    const char* shown;
  } cases[] = {
      {"[0/1] ABC", 10, "[0/1] ABC"},
      {"[0/1] ABCD", 10, "[0/1] ABC"},
      {"[0/1] \xC3\x84"
       "BCD",
       8, "[0/1] "},  // not half of the A-umlaut
      {"[0/1] ABCD", 0, "[0/1] ABCD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FitToColumns(c.line, c.columns), c.shown) << c.line;
  }
}

}  // namespace
