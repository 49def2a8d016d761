#include "app/moving_queue.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Items come out in the order they went in while the queue is never
// emptied, across the compactions of its taken front, and when it is.
TEST(MovingQueueTest, KeepsOrderWhetherOrNotItEmpties) {
  CMovingQueue<std::unique_ptr<int>> queue;
  int next_in = 0;
  int next_out = 0;
  for (int round = 0; round < 200; ++round) {
    // Three in, two out: the queue grows and is compacted on the way.
    for (int i = 0; i < 3; ++i)
      queue.push_back(std::make_unique<int>(next_in++));
    for (int i = 0; i < 2; ++i) ASSERT_EQ(*queue.take_front(), next_out++);
  }
  EXPECT_EQ(queue.size(), 200u);
  while (!queue.empty()) ASSERT_EQ(*queue.take_front(), next_out++);
  EXPECT_EQ(next_out, next_in);
  queue.push_back(std::make_unique<int>(7));
  EXPECT_EQ(*queue.take_front(), 7);
  EXPECT_TRUE(queue.empty());
}

}  // namespace
