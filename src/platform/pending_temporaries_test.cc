// The pending temporaries as an interrupted run's handler sees them.

#include "platform/pending_temporaries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_seen;

// Short and long paths each fill slots of their own, a path too long for
// any is refused, and the handler sees exactly the paths not released.
TEST(PendingTemporariesTest, ShortAndLongPathsAreHeldUntilReleased) {
  const std::string paths[] = {"/d/.sc1.tmp", std::string(300, 'x') + ".tmp"};
  std::vector<int> slots;
  for (std::size_t i = 0; i < kPendingTemporarySlots; ++i) {
    for (const std::string& path : paths) {
      slots.push_back(ClaimPendingTemporary(path));
      ASSERT_GE(slots.back(), 0);
    }
  }
  for (const std::string& path : paths)
    EXPECT_EQ(ClaimPendingTemporary(path), -1);
  EXPECT_EQ(ClaimPendingTemporary(std::string(kPendingTemporaryPathMax, 'x')),
            -1);
  for (std::size_t i = 1; i < slots.size(); ++i)
    ReleasePendingTemporary(slots[i]);
  ForEachPendingTemporary([](const char* path) { g_seen.push_back(path); });
  EXPECT_EQ(g_seen, std::vector<std::string>{paths[0]});
  ReleasePendingTemporary(slots[0]);
}

}  // namespace
