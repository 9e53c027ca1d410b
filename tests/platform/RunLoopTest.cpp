// The Linux run loop: timers and posted tasks in manual mode, Flush in threaded mode.
#include "platform/linux/RunLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

using oskel::platform::RunLoop;
using oskel::platform::TimerId;

static std::atomic<int> gTicksA{0}, gTicksB{0};

// Ticks come in time order until their timer stops; tasks (also those posted from tasks) in post order.
TEST(RunLoop, DeliversTicksInTimeOrderAndTasksInPostOrder) {
  RunLoop& loop = RunLoop::Get();
  loop.SetManual(true);
  const TimerId a = loop.AddTimer(20, [](TimerId) { ++gTicksA; });
  const TimerId b = loop.AddTimer(30, [](TimerId) { ++gTicksB; });
  loop.Advance(120);
  EXPECT_EQ(gTicksA, 6);
  EXPECT_EQ(gTicksB, 4);
  loop.RemoveTimer(a);
  loop.RemoveTimer(b);
  loop.Advance(100);
  EXPECT_EQ(gTicksA, 6);

  std::vector<int> order;
  loop.Post([&] { order.push_back(1); });
  loop.Post([&] {
    order.push_back(2);
    RunLoop::Get().Post([&] { order.push_back(3); });
  });
  loop.Flush();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));

  loop.SetManual(false);
  std::atomic<bool> ran{false};
  loop.Post([&] { ran = loop.IsLoopThread(); });
  loop.Flush();
  EXPECT_TRUE(ran);
}
