#include "RunLoop.h"

#include <algorithm>
#include <chrono>

namespace oskel::platform {

RunLoop& RunLoop::Get() {
  static RunLoop loop;
  return loop;
}

RunLoop::~RunLoop() { Shutdown(); }

uint64_t RunLoop::NowMsLocked() const {
  if (mManual) return mManualNowMs;
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

TimerId RunLoop::AddTimer(uint32_t periodMs, TimerProc proc) {
  if (!proc) return 0;
  std::lock_guard<std::mutex> lock(mMutex);
  const uint32_t period = std::max<uint32_t>(periodMs, 1);
  const TimerId id = mNextId++;
  mTimers.push_back({id, period, proc, NowMsLocked() + period});
  EnsureThreadLocked();
  mWake.notify_all();
  return id;
}

void RunLoop::RemoveTimer(TimerId id) {
  std::lock_guard<std::mutex> lock(mMutex);
  mTimers.erase(std::remove_if(mTimers.begin(), mTimers.end(), [id](const TimerEntry& t) { return t.id == id; }),
                mTimers.end());
}

void RunLoop::Post(std::function<void()> task) {
  if (!task) return;
  std::lock_guard<std::mutex> lock(mMutex);
  mTasks.push_back(std::move(task));
  EnsureThreadLocked();
  mWake.notify_all();
}

int RunLoop::NumTimers() const {
  std::lock_guard<std::mutex> lock(mMutex);
  return static_cast<int>(mTimers.size());
}

bool RunLoop::IsLoopThread() const {
  std::lock_guard<std::mutex> lock(mMutex);
  return mThread.joinable() && std::this_thread::get_id() == mLoopThreadId;
}

void RunLoop::EnsureThreadLocked() {
  if (mManual || mThread.joinable()) return;
  mStop = false;
  mThread = std::thread([this] { ThreadMain(); });
  mLoopThreadId = mThread.get_id();
}

void RunLoop::Shutdown() {
  std::thread thread;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    if (!mThread.joinable()) return;
    if (std::this_thread::get_id() == mLoopThreadId) return;  // cannot join itself
    mStop = true;
    mWake.notify_all();
    thread = std::move(mThread);
  }
  thread.join();
  std::lock_guard<std::mutex> lock(mMutex);
  mStop = false;
  mLoopThreadId = {};
}

void RunLoop::SetManual(bool manual) {
  Shutdown();
  std::lock_guard<std::mutex> lock(mMutex);
  if (mManual == manual) return;
  // Keep every timer's remaining time when the clock source changes.
  const uint64_t before = NowMsLocked();
  mManual = manual;
  const uint64_t after = NowMsLocked();
  for (TimerEntry& t : mTimers) t.dueMs = after + (t.dueMs > before ? t.dueMs - before : 0);
  EnsureThreadLocked();
}

void RunLoop::RunDue(uint64_t nowMs) {
  std::vector<std::function<void()>> tasks;
  std::vector<std::pair<TimerProc, TimerId>> ticks;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    tasks.swap(mTasks);
    for (TimerEntry& t : mTimers) {
      if (t.dueMs <= nowMs) {
        ticks.emplace_back(t.proc, t.id);
        t.dueMs += t.periodMs;
        if (t.dueMs <= nowMs) t.dueMs = nowMs + t.periodMs;  // a late loop skips missed ticks
      }
    }
  }
  for (auto& task : tasks) task();
  for (auto& [proc, id] : ticks) {
    // A timer removed by an earlier tick of this round is not ticked again.
    bool stillThere = false;
    {
      std::lock_guard<std::mutex> lock(mMutex);
      for (const TimerEntry& t : mTimers) stillThere = stillThere || t.id == id;
    }
    if (stillThere) proc(id);
  }
}

void RunLoop::ThreadMain() {
  std::unique_lock<std::mutex> lock(mMutex);
  while (!mStop) {
    const uint64_t now = NowMsLocked();
    uint64_t nextDue = UINT64_MAX;
    for (const TimerEntry& t : mTimers) nextDue = std::min(nextDue, t.dueMs);
    if (mTasks.empty() && nextDue > now) {
      if (nextDue == UINT64_MAX)
        mWake.wait(lock);
      else
        mWake.wait_for(lock, std::chrono::milliseconds(nextDue - now));
      continue;
    }
    mBusy = true;
    lock.unlock();
    RunDue(now);
    lock.lock();
    mBusy = false;
    mIdle.notify_all();
  }
}

void RunLoop::Advance(uint32_t ms) {
  uint64_t target;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    if (!mManual) return;
    target = mManualNowMs + ms;
  }
  for (;;) {
    uint64_t nextDue = UINT64_MAX;
    {
      std::lock_guard<std::mutex> lock(mMutex);
      for (const TimerEntry& t : mTimers) nextDue = std::min(nextDue, t.dueMs);
      if (nextDue > target) {
        mManualNowMs = target;
        break;
      }
      mManualNowMs = std::max(mManualNowMs, nextDue);
    }
    RunDue(nextDue);
  }
  Flush();
}

void RunLoop::Flush() {
  std::unique_lock<std::mutex> lock(mMutex);
  if (mManual) {
    while (!mTasks.empty()) {
      std::vector<std::function<void()>> tasks;
      tasks.swap(mTasks);
      lock.unlock();
      for (auto& task : tasks) task();
      lock.lock();
    }
    return;
  }
  if (!mThread.joinable() || std::this_thread::get_id() == mLoopThreadId) return;
  mIdle.wait(lock, [this] { return mTasks.empty() && !mBusy; });
}

}  // namespace oskel::platform
