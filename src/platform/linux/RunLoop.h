#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Platform.h"

namespace oskel::platform {

// Linux has no window-system thread timer, so one process-wide loop delivers every timer
// tick and every posted task (the editor's browser events among them) on one thread, one
// at a time. By default the loop runs on a thread of its own, started with the first timer
// or task. Tests switch it to manual mode and drive it deterministically with Advance().
class RunLoop {
 public:
  static RunLoop& Get();

  TimerId AddTimer(uint32_t periodMs, TimerProc proc);
  void RemoveTimer(TimerId id);
  void Post(std::function<void()> task);

  // Manual mode: no loop thread; time moves only through Advance() on the caller's thread.
  // Switching stops a running loop thread first.
  void SetManual(bool manual);
  // Manual mode: moves the loop's clock forward by `ms`, delivering every tick that falls due
  // (in time order) and every posted task, on the calling thread.
  void Advance(uint32_t ms);
  // Runs the tasks posted so far (manual mode), or waits until the loop thread has (threaded).
  void Flush();

  bool IsLoopThread() const;
  int NumTimers() const;
  // Stops and joins the loop thread; timers stay registered.
  void Shutdown();

  ~RunLoop();

 private:
  struct TimerEntry {
    TimerId id;
    uint32_t periodMs;
    TimerProc proc;
    uint64_t dueMs;
  };

  RunLoop() = default;
  void EnsureThreadLocked();
  void ThreadMain();
  uint64_t NowMsLocked() const;
  // Runs everything due at `nowMs`; called without the mutex held.
  void RunDue(uint64_t nowMs);

  mutable std::mutex mMutex;
  std::condition_variable mWake;
  std::condition_variable mIdle;
  std::vector<TimerEntry> mTimers;
  std::vector<std::function<void()>> mTasks;
  std::thread mThread;
  std::thread::id mLoopThreadId;
  bool mStop = false;
  bool mManual = false;
  bool mBusy = false;
  uint64_t mManualNowMs = 0;
  TimerId mNextId = 1;
};

}  // namespace oskel::platform
