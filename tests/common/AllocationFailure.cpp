#include "AllocationFailure.h"

namespace {

// -1: no guard on this thread. Otherwise the number of allocations still allowed.
thread_local long tAllowed = -1;
thread_local bool tRefused = false;

}  // namespace

namespace kyr::test {

AllocationFailure::AllocationFailure(long allocationsThatSucceed) {
  tAllowed = allocationsThatSucceed < 0 ? 0 : allocationsThatSucceed;
  tRefused = false;
}

AllocationFailure::~AllocationFailure() { tAllowed = -1; }

bool AllocationFailure::Refused() const { return tRefused; }

bool AllocationFailure::FailNow() {
  if (tAllowed < 0) return false;
  if (tAllowed > 0) {
    --tAllowed;
    return false;
  }
  tRefused = true;
  return true;
}

}  // namespace kyr::test
