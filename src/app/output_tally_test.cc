#include "app/output_tally.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// Thousands of outputs, each written once, some again or taken back: the
// table grows many times while the counts and the paths must stay.
TEST(OutputTallyTest, CountsSurviveTheTableGrowing) {
  COutputTally tally;
  std::map<std::string, int> expected;
  for (int i = 0; i < 3000; ++i) {
    // The first path is empty: no path, however short, is a free entry.
    const std::string path =
        i == 0 ? "" : "/library/out/BLOCK" + std::to_string(i) + ".SML";
    const int delta = i % 7 == 3 ? -1 : 1;
    for (int times = 0; times < 1 + i % 3; ++times) {
      tally.Add(path, delta);
      expected[path] += delta;
    }
  }
  std::map<std::string, int> counted;
  tally.ForEach([&](std::string_view path, int count) {
    EXPECT_TRUE(counted.emplace(std::string(path), count).second) << path;
  });
  EXPECT_EQ(counted, expected);
  tally.clear();
  tally.ForEach([](std::string_view path, int) { ADD_FAILURE() << path; });
}

}  // namespace
