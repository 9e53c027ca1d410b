// Freed memory is overwritten before it goes back to the heap, so that a handler called (or a
// capture read) after its last reference is gone crashes at once instead of reading leftovers.
#include <malloc.h>

#include <cstdlib>
#include <new>

void operator delete(void* memory) noexcept {
  if (!memory) return;
  // Volatile stores: a memset right before free would be dropped as a dead store.
  volatile unsigned char* bytes = static_cast<unsigned char*>(memory);
  for (std::size_t i = 0, size = _msize(memory); i < size; ++i) bytes[i] = 0xDD;
  std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept { operator delete(memory); }
