#include <mutex>
#include <new>

#include "platform/Platform.h"

namespace oskel::platform {

static_assert(sizeof(std::recursive_mutex) <= 64 && alignof(std::recursive_mutex) <= 16);

RecursiveLock::RecursiveLock() { new (mStorage) std::recursive_mutex(); }
RecursiveLock::~RecursiveLock() { std::launder(reinterpret_cast<std::recursive_mutex*>(mStorage))->~recursive_mutex(); }
void RecursiveLock::Lock() { std::launder(reinterpret_cast<std::recursive_mutex*>(mStorage))->lock(); }
void RecursiveLock::Unlock() { std::launder(reinterpret_cast<std::recursive_mutex*>(mStorage))->unlock(); }

}  // namespace oskel::platform
