#pragma once

// Counts heap allocations made through the global operator new (all forms) and, in plain
// builds on glibc, through malloc, calloc, realloc and the aligned allocators. Linking this
// library into a test executable replaces those functions for the whole executable.
//
//   AllocationCounter guard;          // starts counting on this thread
//   processor.Process(...);
//   EXPECT_EQ(guard.Count(), 0);      // allocations on this thread since the guard began
//
// Guards may nest; each counts from its own start.
namespace kyr::test {

class AllocationCounter {
 public:
  AllocationCounter();
  ~AllocationCounter();
  AllocationCounter(const AllocationCounter&) = delete;
  AllocationCounter& operator=(const AllocationCounter&) = delete;

  // Allocations made on the constructing thread since construction.
  long Count() const;

 private:
  long mStart;
};

}  // namespace kyr::test
