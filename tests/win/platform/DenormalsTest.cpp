#include <gtest/gtest.h>
#include <xmmintrin.h>

#include "Denormals.h"

namespace {

TEST(Denormals, FlushToZeroAndDenormalsAreZeroThroughMxcsr) {
  constexpr unsigned kFlushToZero = 0x8000;
  constexpr unsigned kDenormalsAreZero = 0x0040;
  _mm_setcsr(_mm_getcsr() & ~(kFlushToZero | kDenormalsAreZero));
  kyr::FlushDenormalsToZero();
  EXPECT_EQ(_mm_getcsr() & (kFlushToZero | kDenormalsAreZero), kFlushToZero | kDenormalsAreZero);
  // A result below the normal range comes out as zero.
  volatile double tiny = 1e-300;
  volatile double result = tiny * 1e-10;
  EXPECT_EQ(result, 0.0);
}

}  // namespace
