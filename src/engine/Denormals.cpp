#include "Denormals.h"

#if defined(__SSE__) || defined(_M_X64) || defined(__x86_64__)
#include <xmmintrin.h>
#define KYR_HAVE_MXCSR 1
#endif

namespace kyr {

void FlushDenormalsToZero() {
#if defined(KYR_HAVE_MXCSR)
  constexpr unsigned kFlushToZero = 0x8000;       // FTZ
  constexpr unsigned kDenormalsAreZero = 0x0040;  // DAZ
  const unsigned csr = _mm_getcsr();
  if ((csr & (kFlushToZero | kDenormalsAreZero)) != (kFlushToZero | kDenormalsAreZero)) {
    _mm_setcsr(csr | kFlushToZero | kDenormalsAreZero);
  }
#endif
}

}  // namespace kyr
