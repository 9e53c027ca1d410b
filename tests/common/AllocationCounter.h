#pragma once

// Counts heap allocations through every form of the global operator new and, in plain builds on
// glibc, through the malloc family; linking this library replaces them for the whole executable.
// A guard counts the allocations on its own thread since it began; guards may nest.
namespace kyr::test {

class AllocationCounter {
 public:
  AllocationCounter();
  AllocationCounter(const AllocationCounter&) = delete;
  AllocationCounter& operator=(const AllocationCounter&) = delete;

  // Allocations made on the constructing thread since construction.
  long Count() const;

 private:
  long mStart;
};

}  // namespace kyr::test
