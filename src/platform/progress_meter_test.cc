// The progress line inside a big file: paced to ten lines a second, with
// a rate and a time left that appear only once they mean something.

#include "platform/progress_meter.h"

#include <chrono>
#include <string>

#include <gtest/gtest.h>

namespace {

TEST(ProgressMeterTest, PacesLinesAndShowsRateOnlyAfterASecond) {
  const CProgressMeter::Clock::time_point t0;
  const auto at = [t0](int ms) { return t0 + std::chrono::milliseconds(ms); };
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
      {999, 7000000, 70000000, 1234, "[0/2] PARTS.DXF  10%  1,234 symbols"},
      {2000, 26000000, 70000000, 1234567,
       "[0/2] PARTS.DXF  37%  13.0 MB/s  0:03 left  1,234,567 symbols"},
      {2100, 0, 0, 0, "[0/2] PARTS.DXF  0 symbols"},  // nothing to measure
  };
  for (const auto& s : steps) {
    EXPECT_EQ(meter.Within(s.done, s.total, s.symbols, at(s.ms)), s.shown)
        << s.ms << " ms";
  }
  // A new file starts its own rate and its own pace.
  meter.StartFile(1, 2, "B.DXF", at(20000));
  EXPECT_EQ(meter.Within(10, 100, 0, at(20050)), "");
  EXPECT_EQ(meter.Within(50, 100, 0, at(20500)), "[1/2] B.DXF  50%  0 symbols");
}

TEST(ProgressMeterTest, LongLinesAreCutBeforeTheyWrapNeverInACharacter) {
  EXPECT_EQ(FitToColumns("[0/1] ABC", 10), "[0/1] ABC");
  EXPECT_EQ(FitToColumns("[0/1] ABCD", 10), "[0/1] ABC");
  // Not half of the A-umlaut.
  EXPECT_EQ(FitToColumns(std::string("[0/1] \xC3\x84") + "BCD", 8), "[0/1] ");
}

}  // namespace
