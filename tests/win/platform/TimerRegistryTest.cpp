// The idle timers of the framework on Windows: window-less thread timers whose ticks arrive
// through the creating thread's message loop and are dispatched through the one registry.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "MessageLoop.h"
#include "framework/Timer.h"

namespace {

TEST(TimerRegistry, TwoInstancesTickThroughOneMessageLoop) {
  const int registeredBefore = oskel::Timer::NumRegistered();
  int ticksA = 0;
  int ticksB = 0;
  auto a = oskel::Timer::Create([&](oskel::Timer&) { ++ticksA; }, 20);
  auto b = oskel::Timer::Create([&](oskel::Timer&) { ++ticksB; }, 20);
  ASSERT_TRUE(a->IsRunning());
  ASSERT_TRUE(b->IsRunning());
  EXPECT_EQ(oskel::Timer::NumRegistered(), registeredBefore + 2);
  EXPECT_TRUE(PumpUntil([&] { return ticksA >= 3 && ticksB >= 3; }));

  // A stopped timer gets no more ticks while the other goes on.
  a->Stop();
  EXPECT_FALSE(a->IsRunning());
  const int stoppedAt = ticksA;
  const int bAt = ticksB;
  EXPECT_TRUE(PumpUntil([&] { return ticksB >= bAt + 3; }));
  EXPECT_EQ(ticksA, stoppedAt);
  b.reset();
  EXPECT_EQ(oskel::Timer::NumRegistered(), registeredBefore);
}

TEST(TimerRegistry, CallbackMayStartAndStopTimersOnItsOwnThread) {
  // The registry's critical section admits its owner again: a tick that creates a timer and
  // stops itself must not deadlock.
  std::unique_ptr<oskel::Timer> started;
  int startedTicks = 0;
  auto first = oskel::Timer::Create(
      [&](oskel::Timer& self) {
        if (!started) started = oskel::Timer::Create([&](oskel::Timer&) { ++startedTicks; }, 10);
        self.Stop();
      },
      10);
  EXPECT_TRUE(PumpUntil([&] { return startedTicks >= 2; }));
  EXPECT_FALSE(first->IsRunning());
  started.reset();
}

TEST(TimerRegistry, StopFromAnotherThreadEndsTheTicks) {
  // The host may destroy a plug-in on another thread: its timer is unregistered there under the
  // registry's lock, and ticks that the system still delivers find nothing to call.
  std::atomic<int> ticks{0};
  auto timer = oskel::Timer::Create([&](oskel::Timer&) { ++ticks; }, 10);
  EXPECT_TRUE(PumpUntil([&] { return ticks.load() >= 1; }));
  HANDLE stopper = CreateThread(
      nullptr, 0,
      [](LPVOID t) -> DWORD {
        static_cast<oskel::Timer*>(t)->Stop();
        return 0;
      },
      timer.get(), 0, nullptr);
  ASSERT_NE(stopper, nullptr);
  WaitForSingleObject(stopper, INFINITE);
  CloseHandle(stopper);
  EXPECT_FALSE(timer->IsRunning());
  const int stoppedAt = ticks.load();
  int other = 0;
  auto witness = oskel::Timer::Create([&](oskel::Timer&) { ++other; }, 10);
  EXPECT_TRUE(PumpUntil([&] { return other >= 5; }));
  EXPECT_EQ(ticks.load(), stoppedAt);
}

}  // namespace
