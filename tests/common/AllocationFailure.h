#pragma once

// Simulates memory exhaustion through the global operator new of AllocationCounter.cpp (a loaded
// module that resolves operator new to the test executable is covered too): while a guard lives,
// the allocations on its thread after the first allocationsThatSucceed fail - throwing forms throw
// std::bad_alloc, nothrow forms return null. Guards do not nest.
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
