#pragma once

// Simulates memory exhaustion for code that allocates through the global operator new (linked
// in from AllocationCounter.cpp, so a loaded plug-in module that resolves operator new to the
// test executable is covered too):
//
//   {
//     AllocationFailure exhausted(3);   // on this thread, the 4th allocation and all later fail
//     component->initialize(...);       // must answer, not throw
//   }
//
// Throwing forms throw std::bad_alloc, nothrow forms return null. Guards do not nest.
namespace kyr::test {

class AllocationFailure {
 public:
  explicit AllocationFailure(long allocationsThatSucceed);
  ~AllocationFailure();
  AllocationFailure(const AllocationFailure&) = delete;
  AllocationFailure& operator=(const AllocationFailure&) = delete;

  // Whether an allocation was refused while the guard lived.
  bool Refused() const;

  // For the allocation functions: true when this allocation must fail.
  static bool FailNow();
};

}  // namespace kyr::test
