// The idle timers of the framework on Windows: window-less thread timers whose ticks arrive
// through the creating thread's message loop and are dispatched through the one registry.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "MessageLoop.h"
#include "framework/Timer.h"

namespace {

TEST(TimerRegistry, InstancesTickThroughOneMessageLoopUntilStoppedFromAnyThread) {
  const int registeredBefore = oskel::Timer::NumRegistered();
  std::atomic<int> ticksA{0};
  int ticksB = 0;
  // The registry's critical section admits its owner again: a tick that starts a timer and
  // stops its own must not deadlock.
  std::unique_ptr<oskel::Timer> b;
  auto starter = oskel::Timer::Create(
      [&](oskel::Timer& self) {
        if (!b) b = oskel::Timer::Create([&](oskel::Timer&) { ++ticksB; }, 20);
        self.Stop();
      },
      10);
  auto a = oskel::Timer::Create([&](oskel::Timer&) { ++ticksA; }, 20);
  ASSERT_TRUE(a->IsRunning());
  EXPECT_TRUE(PumpUntil([&] { return ticksA >= 3 && ticksB >= 3; }));
  EXPECT_FALSE(starter->IsRunning());
  EXPECT_EQ(oskel::Timer::NumRegistered(), registeredBefore + 2);

  // The host may destroy a plug-in on another thread: its timer is unregistered there, and ticks
  // the system still delivers find nothing to call while the other timer goes on.
  std::thread([&] { a->Stop(); }).join();
  EXPECT_FALSE(a->IsRunning());
  const int stoppedAt = ticksA.load();
  const int bAt = ticksB;
  EXPECT_TRUE(PumpUntil([&] { return ticksB >= bAt + 5; }));
  EXPECT_EQ(ticksA.load(), stoppedAt);
  EXPECT_EQ(oskel::Timer::NumRegistered(), registeredBefore + 1);
  b.reset();
  EXPECT_EQ(oskel::Timer::NumRegistered(), registeredBefore);
}

}  // namespace
