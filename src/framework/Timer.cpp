#include "Timer.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace oskel {

namespace {

// The registry lives as long as the module: created on first use, never destroyed before
// the last timer of the module has stopped.
struct Registry {
  platform::RecursiveLock lock;
  std::vector<Timer*> timers;
};

Registry& GetRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

Timer::Timer(Callback callback, uint32_t periodMs) : mCallback(std::move(callback)), mPeriodMs(periodMs) {}

std::unique_ptr<Timer> Timer::Create(Callback callback, uint32_t periodMs) {
  std::unique_ptr<Timer> timer(new Timer(std::move(callback), periodMs));
  Registry& registry = GetRegistry();
  platform::ScopedLock lock(registry.lock);
  timer->mId = platform::SetThreadTimer(periodMs, &Timer::TimerProc);
  if (timer->mId != 0) registry.timers.push_back(timer.get());
  return timer;
}

Timer::~Timer() {
  Stop();
  mCallback = nullptr;
}

void Timer::Stop() {
  Registry& registry = GetRegistry();
  platform::ScopedLock lock(registry.lock);
  if (mId == 0) return;
  platform::KillThreadTimer(mId);
  registry.timers.erase(std::remove(registry.timers.begin(), registry.timers.end(), this), registry.timers.end());
  mId = 0;
}

bool Timer::IsRunning() const {
  platform::ScopedLock lock(GetRegistry().lock);
  return mId != 0;
}

int Timer::NumRegistered() {
  platform::ScopedLock lock(GetRegistry().lock);
  return static_cast<int>(GetRegistry().timers.size());
}

void Timer::TimerProc(platform::TimerId id) {
  Registry& registry = GetRegistry();
  platform::ScopedLock lock(registry.lock);
  for (Timer* timer : registry.timers) {
    if (timer->mId == id) {
      if (timer->mCallback) timer->mCallback(*timer);
      return;
    }
  }
}

}  // namespace oskel
