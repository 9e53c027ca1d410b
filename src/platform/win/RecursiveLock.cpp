#include <windows.h>

#include <new>

#include "platform/Platform.h"

namespace oskel::platform {

// A critical section: re-entrant for its owning thread, which the timer registry relies on
// (a tick's callback may start or stop timers while the registry is held).
static_assert(sizeof(CRITICAL_SECTION) <= 64 && alignof(CRITICAL_SECTION) <= 16);

namespace {
CRITICAL_SECTION* Section(unsigned char* storage) {
  return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}
}  // namespace

RecursiveLock::RecursiveLock() { InitializeCriticalSection(new (mStorage) CRITICAL_SECTION); }
RecursiveLock::~RecursiveLock() { DeleteCriticalSection(Section(mStorage)); }
void RecursiveLock::Lock() { EnterCriticalSection(Section(mStorage)); }
void RecursiveLock::Unlock() { LeaveCriticalSection(Section(mStorage)); }

}  // namespace oskel::platform
