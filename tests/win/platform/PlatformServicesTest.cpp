// The Win32 services behind platform/Platform.h (on Wine's default US keyboard layout) and the
// framework's idle timers; window metrics and key-downs: tests/win/editor and integration.
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

TEST(KeyScan, AnswersTheLayoutsVirtualKeyAndShiftState) {
  const struct {
    char c;
    int16_t expected;
  } kCases[] = {{'a', 0x41}, {'A', 0x141}, {'1', 0x31}, {'!', 0x131}, {' ', 0x20}, {'/', 0xBF}, {'?', 0x1BF}};
  for (const auto& c : kCases) EXPECT_EQ(KeyScan(c.c), c.expected) << c.c;
}

TEST(PostToUIThread, RunsTasksInOrderThroughTheMessageLoop) {
  std::string order;
  PostToUIThread([&] { order += 'a'; });
  PostToUIThread([&] { order += 'b'; });
  EXPECT_EQ(order, "");
  EXPECT_TRUE(PumpUntil([&] { return order.size() == 2; }));
  EXPECT_EQ(order, "ab");
}

// The idle timers: window-less thread timers whose ticks arrive through the creating thread's
// message loop and are dispatched through the one registry.
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
