#include <gtest/gtest.h>

#include "FilterDesign.h"

namespace kyr {
namespace {

TEST(FilterDesign, ClampsFrequencyToLimitThenToOneHertz) {
  EXPECT_DOUBLE_EQ(ClampFrequency(30000.0, 44100.0), 21609.0);
  EXPECT_DOUBLE_EQ(ClampFrequency(0.5, 44100.0), 1.0);
  EXPECT_DOUBLE_EQ(ClampFrequency(1000.0, 44100.0), 1000.0);
  // The upper limit is applied first, so a tiny rate still ends at 1 Hz.
  EXPECT_DOUBLE_EQ(ClampFrequency(100.0, 1.0), 1.0);
  BiquadSection a, b;
  DesignBiquad(a, kPeaking, 30000.0, 6.0, 1.0, 44100.0);
  DesignBiquad(b, kPeaking, 21609.0, 6.0, 1.0, 44100.0);
  EXPECT_EQ(a.b0, b.b0);
  EXPECT_EQ(a.a1, b.a1);
}

}  // namespace
}  // namespace kyr
