// The Win32 UI-thread queue and the framework's idle timers.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "MessageLoop.h"
#include "framework/Timer.h"
#include "platform/Platform.h"

namespace {

using namespace oskel::platform;

TEST(PostToUIThread, RunsTasksInOrderThroughTheMessageLoop) {
  std::string order;
  PostToUIThread([&] { order += 'a'; });
  PostToUIThread([&] { order += 'b'; });
  EXPECT_EQ(order, "");
  EXPECT_TRUE(PumpUntil([&] { return order.size() == 2; }));
  EXPECT_EQ(order, "ab");
}

// The idle timers: thread timers ticking through the creating thread's loop and one registry.
TEST(TimerRegistry, InstancesTickThroughOneMessageLoopUntilStoppedFromAnyThread) {
  const int registeredBefore = oskel::Timer::NumRegistered();
  std::atomic<int> ticksA{0};
  int ticksB = 0;
  // A tick that starts a timer and stops its own re-enters the registry's lock: no deadlock.
  std::unique_ptr<oskel::Timer> b;
  auto starter = oskel::Timer::Create(
      [&](oskel::Timer& self) {
        if (!b) b = oskel::Timer::Create([&](oskel::Timer&) { ++ticksB; }, 20);
        self.Stop();
      },
      10);
  auto a = oskel::Timer::Create([&](oskel::Timer&) { ++ticksA; }, 20);
  EXPECT_TRUE(PumpUntil([&] { return ticksA >= 3 && ticksB >= 3; }));
  EXPECT_EQ(oskel::Timer::NumRegistered(), registeredBefore + 2);

  // A timer stopped on another thread (a host destroying a plug-in there) no longer ticks.
  std::thread([&] { a->Stop(); }).join();
  const int stoppedAt = ticksA.load();
  const int bAt = ticksB;
  EXPECT_TRUE(PumpUntil([&] { return ticksB >= bAt + 5; }));
  EXPECT_EQ(ticksA.load(), stoppedAt);
  EXPECT_EQ(oskel::Timer::NumRegistered(), registeredBefore + 1);
  b.reset();
  EXPECT_EQ(oskel::Timer::NumRegistered(), registeredBefore);
}

}  // namespace
