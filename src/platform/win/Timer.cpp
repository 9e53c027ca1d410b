#include <windows.h>

#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace oskel::platform {

namespace {

// Window-less thread timers: SetTimer without a window hands every tick to a timer procedure
// through the message loop of the thread that set the timer (the host's user-interface
// thread). The system procedure only knows the timer ID, so the ID is mapped to the caller's
// procedure here. The map's lock is never held while a procedure runs: the framework's timer
// registry takes its own lock inside the procedure and also around SetThreadTimer.
struct TimerTable {
  std::mutex mutex;
  std::map<UINT_PTR, TimerProc> procs;
};

TimerTable& Timers() {
  static TimerTable table;
  return table;
}

// Tasks posted from other threads wait here for the next tick on the user-interface thread.
struct TaskQueue {
  std::mutex mutex;
  std::vector<std::function<void()>> tasks;
  DWORD uiThread = 0;
};

TaskQueue& Tasks() {
  static TaskQueue queue;
  return queue;
}

void RunPostedTasks() {
  std::vector<std::function<void()>> tasks;
  {
    TaskQueue& queue = Tasks();
    std::lock_guard<std::mutex> lock(queue.mutex);
    tasks.swap(queue.tasks);
  }
  for (auto& task : tasks) task();
}

void CALLBACK OnTimerTick(HWND, UINT, UINT_PTR id, DWORD) {
  TimerProc proc = nullptr;
  {
    TimerTable& table = Timers();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.procs.find(id);
    if (found != table.procs.end()) proc = found->second;
  }
  RunPostedTasks();
  if (proc) {
    proc(id);
    return;
  }
  // A timer stopped from another thread: KillTimer works only on the thread that set the
  // timer, so it is ended here, at its first tick after the stop, while the module is loaded.
  KillTimer(nullptr, id);
}

// A one-shot tick that runs the tasks posted on the user-interface thread itself.
void CALLBACK OnTaskTick(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  RunPostedTasks();
}

}  // namespace

TimerId SetThreadTimer(uint32_t periodMs, TimerProc proc) {
  if (!proc) return 0;
  TimerTable& table = Timers();
  std::lock_guard<std::mutex> lock(table.mutex);
  const UINT_PTR id = SetTimer(nullptr, 0, periodMs, &OnTimerTick);
  if (id == 0) return 0;
  table.procs[id] = proc;
  {
    TaskQueue& queue = Tasks();
    std::lock_guard<std::mutex> taskLock(queue.mutex);
    if (queue.uiThread == 0) queue.uiThread = GetCurrentThreadId();
  }
  return static_cast<TimerId>(id);
}

void KillThreadTimer(TimerId id) {
  if (id == 0) return;
  TimerTable& table = Timers();
  std::lock_guard<std::mutex> lock(table.mutex);
  KillTimer(nullptr, static_cast<UINT_PTR>(id));
  // A tick already queued for this ID finds no procedure and does nothing (and, on the
  // timer's own thread, ends a timer that could not be killed from here).
  table.procs.erase(static_cast<UINT_PTR>(id));
}

// The user-interface thread is the one that set the first timer (the thread that created the
// first plug-in). A task posted there runs at the next turn of its message loop; one posted
// from another thread runs at the next timer tick.
void PostToUIThread(std::function<void()> task) {
  if (!task) return;
  bool onUiThread = false;
  {
    TaskQueue& queue = Tasks();
    std::lock_guard<std::mutex> lock(queue.mutex);
    if (queue.uiThread == 0) queue.uiThread = GetCurrentThreadId();
    onUiThread = queue.uiThread == GetCurrentThreadId();
    queue.tasks.push_back(std::move(task));
  }
  if (onUiThread) SetTimer(nullptr, 0, 0, &OnTaskTick);
}

}  // namespace oskel::platform
