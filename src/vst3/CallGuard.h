#pragma once

#include <new>

#include "pluginterfaces/base/funknown.h"

namespace oskel {

// Runs the body of a host-facing call so that no exception leaves it: the host is not C++ and
// cannot take one. Memory exhaustion answers kOutOfMemory, any other failure kResultFalse.
template <typename Body>
Steinberg::tresult GuardedCall(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return Steinberg::kOutOfMemory;
  } catch (...) {
    return Steinberg::kResultFalse;
  }
}

// The same for calls that answer with a value rather than a result code.
template <typename Result, typename Body>
Result GuardedCallOr(Result fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

}  // namespace oskel
