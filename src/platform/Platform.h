#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The operating-system services the plug-in uses, behind one small interface.
// Each operating system has its implementation in src/platform/<os>/, one file per service.
namespace oskel::platform {

// ---- Thread timers -------------------------------------------------------------------------
// A periodic timer whose ticks arrive on the user-interface thread, one at a time and never
// concurrently with any other tick or posted task. On Windows this is a window-less thread
// timer of the creating thread; on Linux every tick is delivered by the process-wide run loop.
using TimerId = uintptr_t;
using TimerProc = void (*)(TimerId id);

// Returns 0 when the system refuses the timer.
TimerId SetThreadTimer(uint32_t periodMs, TimerProc proc);
void KillThreadTimer(TimerId id);

// Runs `task` on the user-interface thread (the thread that delivers the timer ticks).
void PostToUIThread(std::function<void()> task);

// ---- Locks ---------------------------------------------------------------------------------
// Process-wide re-entrant lock (a critical section on Windows): its owner may take it again.
class RecursiveLock {
 public:
  RecursiveLock();
  ~RecursiveLock();
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;
  void Lock();
  void Unlock();

 private:
  alignas(16) unsigned char mStorage[64];
};

class ScopedLock {
 public:
  explicit ScopedLock(RecursiveLock& lock) : mLock(lock) { mLock.Lock(); }
  ~ScopedLock() { mLock.Unlock(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  RecursiveLock& mLock;
};

// ---- Module --------------------------------------------------------------------------------
// Full path (UTF-8) of the module file that contains this code; empty when it cannot be read.
std::string ModulePath();
// Folder part of ModulePath(), with the trailing separator; empty when there is none.
std::string ModuleFolder();

// ---- Shell ---------------------------------------------------------------------------------
// Opens a web address in the user's default browser. Returns false when that fails.
bool OpenUrl(const std::string& url);

}  // namespace oskel::platform
