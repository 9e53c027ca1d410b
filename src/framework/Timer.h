#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Platform.h"

namespace oskel {

// A periodic callback on the user-interface thread. Every timer of the process is kept in one
// registry under one process-wide re-entrant lock; the system's tick looks its timer up there
// and runs the callback under that lock, so callbacks of all plug-in instances never run
// concurrently, and stopping a timer waits for a callback that is running on another thread.
class Timer {
 public:
  using Callback = std::function<void(Timer&)>;

  // Starts at once. When the system refuses a timer the object stays inert (no ticks).
  static std::unique_ptr<Timer> Create(Callback callback, uint32_t periodMs);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void Stop();
  bool IsRunning() const;
  uint32_t PeriodMs() const { return mPeriodMs; }

  // Number of registered timers in the process (for tests).
  static int NumRegistered();

 private:
  Timer(Callback callback, uint32_t periodMs);
  static void TimerProc(platform::TimerId id);

  Callback mCallback;
  uint32_t mPeriodMs;
  platform::TimerId mId = 0;
};

}  // namespace oskel
