// The pending temporaries as an interrupted run's handler sees them.

#include "platform/pending_temporaries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_seen;
void Record(const char* path) { g_seen.push_back(path); }

std::vector<std::string> Seen() {
  g_seen.clear();
  ForEachPendingTemporary(Record);
  return g_seen;
}

// Short and long paths each fill their own slots, a path too long for any
// is refused, and a released slot is gone from the handler's sight and can
// be claimed again.
TEST(PendingTemporariesTest, ShortAndLongPathsAreHeldUntilReleased) {
  const std::string short_path = "/d/.sc00000001.tmp";
  const std::string long_path = "/" + std::string(300, 'x') + "/.sc2.tmp";
  std::vector<int> slots;
  for (std::size_t i = 0; i < kPendingTemporarySlots; ++i) {
    slots.push_back(ClaimPendingTemporary(short_path));
    slots.push_back(ClaimPendingTemporary(long_path));
  }
  EXPECT_EQ(ClaimPendingTemporary(short_path), -1);
  EXPECT_EQ(ClaimPendingTemporary(long_path), -1);
  EXPECT_EQ(ClaimPendingTemporary(std::string(kPendingTemporaryPathMax, 'x')),
            -1);
  EXPECT_EQ(std::set<int>(slots.begin(), slots.end()).size(), slots.size());
  EXPECT_EQ(std::count(slots.begin(), slots.end(), -1), 0);
  const std::vector<std::string> seen = Seen();
  EXPECT_EQ(std::count(seen.begin(), seen.end(), short_path),
            static_cast<long>(kPendingTemporarySlots));
  EXPECT_EQ(std::count(seen.begin(), seen.end(), long_path),
            static_cast<long>(kPendingTemporarySlots));

  for (int slot : slots) ReleasePendingTemporary(slot);
  EXPECT_TRUE(Seen().empty());
  const int again = ClaimPendingTemporary(long_path);
  EXPECT_GE(again, 0);
  EXPECT_EQ(Seen(), std::vector<std::string>{long_path});
  ReleasePendingTemporary(again);
}

}  // namespace
