// Freed memory of this test program is overwritten before it goes back to the heap, so that a
// handler called (or a capture read) after its last reference is gone crashes the test at once
// instead of reading what happened to be left there.
#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <new>

void operator delete(void* memory) noexcept {
  if (!memory) return;
  std::memset(memory, 0xDD, _msize(memory));
  std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept { operator delete(memory); }
