#include "AllocationCounter.h"
#include "AllocationFailure.h"

#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KYR_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define KYR_SANITIZED 1
#endif
#endif

#if defined(__GLIBC__) && !defined(KYR_SANITIZED)
#define KYR_COUNT_MALLOC 1
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* p);
}
#endif

namespace {

// Zero-initialised thread-local counter: reading it never allocates.
thread_local long tThreadCount = 0;

void Note() { ++tThreadCount; }

void* RawAlloc(std::size_t size) {
#if defined(KYR_COUNT_MALLOC)
  return __libc_malloc(size == 0 ? 1 : size);
#else
  return std::malloc(size == 0 ? 1 : size);
#endif
}

void* RawAlignedAlloc(std::size_t size, std::size_t alignment) {
  if (alignment < sizeof(void*)) alignment = sizeof(void*);
#if defined(KYR_COUNT_MALLOC)
  return __libc_memalign(alignment, size == 0 ? 1 : size);
#else
  void* p = nullptr;
  return posix_memalign(&p, alignment, size == 0 ? 1 : size) == 0 ? p : nullptr;
#endif
}

void RawFree(void* p) {
#if defined(KYR_COUNT_MALLOC)
  __libc_free(p);
#else
  std::free(p);
#endif
}

using kyr::test::AllocationFailure;

// alignment 0: the default alignment.
void* CountedNothrowNew(std::size_t size, std::size_t alignment) noexcept {
  Note();
  if (AllocationFailure::FailNow()) return nullptr;
  return alignment == 0 ? RawAlloc(size) : RawAlignedAlloc(size, alignment);
}

void* CountedNew(std::size_t size, std::size_t alignment = 0) {
  if (void* p = CountedNothrowNew(size, alignment)) return p;
  throw std::bad_alloc();
}

}  // namespace

namespace kyr::test {

AllocationCounter::AllocationCounter() : mStart(tThreadCount) {}
long AllocationCounter::Count() const { return tThreadCount - mStart; }

}  // namespace kyr::test

void* operator new(std::size_t size) { return CountedNew(size); }
void* operator new[](std::size_t size) { return CountedNew(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return CountedNothrowNew(size, 0); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return CountedNothrowNew(size, 0); }
void* operator new(std::size_t size, std::align_val_t al) { return CountedNew(size, std::size_t(al)); }
void* operator new[](std::size_t size, std::align_val_t al) { return CountedNew(size, std::size_t(al)); }
void* operator new(std::size_t size, std::align_val_t al, const std::nothrow_t&) noexcept {
  return CountedNothrowNew(size, std::size_t(al));
}
void* operator new[](std::size_t size, std::align_val_t al, const std::nothrow_t&) noexcept {
  return CountedNothrowNew(size, std::size_t(al));
}
void operator delete(void* p) noexcept { RawFree(p); }
void operator delete[](void* p) noexcept { RawFree(p); }
void operator delete(void* p, std::size_t) noexcept { RawFree(p); }
void operator delete[](void* p, std::size_t) noexcept { RawFree(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { RawFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { RawFree(p); }
void operator delete(void* p, std::align_val_t) noexcept { RawFree(p); }
void operator delete[](void* p, std::align_val_t) noexcept { RawFree(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { RawFree(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { RawFree(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { RawFree(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { RawFree(p); }

#if defined(KYR_COUNT_MALLOC)
// malloc-level hooks: C code and libraries that bypass operator new are counted too.
extern "C" {
void* malloc(size_t size) { return Note(), __libc_malloc(size); }
void* calloc(size_t count, size_t size) { return Note(), __libc_calloc(count, size); }
void* realloc(void* p, size_t size) { return Note(), __libc_realloc(p, size); }
void* aligned_alloc(size_t alignment, size_t size) { return Note(), __libc_memalign(alignment, size); }
void* memalign(size_t alignment, size_t size) { return Note(), __libc_memalign(alignment, size); }
int posix_memalign(void** out, size_t alignment, size_t size) {
  Note();
  void* p = __libc_memalign(alignment, size);
  if (p == nullptr) return 12;  // ENOMEM
  *out = p;
  return 0;
}
void free(void* p) { __libc_free(p); }
}
#endif
