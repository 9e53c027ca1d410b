#include "framework/Timer.h"

#include <gtest/gtest.h>

#include "platform/linux/RunLoop.h"

using oskel::Timer;
using oskel::platform::RunLoop;

// Two open editors' idle timers share one registry: each ticks alone and stops alone.
TEST(Timer, TwoTimersTickThroughOneRegistryUntilEachStops) {
  RunLoop::Get().SetManual(true);
  const int before = Timer::NumRegistered();
  int a = 0, b = 0;
  auto first = Timer::Create([&](Timer&) { ++a; }, 20);
  auto second = Timer::Create([&](Timer&) { ++b; }, 20);
  EXPECT_EQ(Timer::NumRegistered(), before + 2);
  RunLoop::Get().Advance(100);
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, 5);
  first->Stop();
  RunLoop::Get().Advance(40);
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, 7);
  second.reset();
  EXPECT_EQ(Timer::NumRegistered(), before);
  RunLoop::Get().SetManual(false);
}
