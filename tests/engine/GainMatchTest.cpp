#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "EngineTestUtil.h"
#include "GainMatch.h"

namespace kyr {
namespace {

using namespace test;

// A 1 kHz sine whose output is the input times outputScale settles at the gain that matches them,
// limited to a quarter and four.
TEST(GainMatch, GainIsLimitedToAQuarterAndFour) {
  const int block = 480;
  const std::vector<double> in = Sine(1000.0, 48000.0, block, 0.3);
  std::vector<double> l(block), r(block);
  for (const auto& [outputScale, expectGain] : {std::pair{10.0, 0.25}, {0.1, 4.0}, {2.0, 0.5}, {1.0, 1.0}}) {
    GainMatch gm;
    gm.Reset(48000.0);
    for (int b = 0; b < 600; ++b) {  // 6 s
      for (int i = 0; i < block; ++i) l[i] = r[i] = in[i] * outputScale;
      gm.Process(in.data(), in.data(), l.data(), r.data(), block);
    }
    EXPECT_NEAR(gm.Gain(), expectGain, 2e-3 * expectGain) << outputScale;
  }
}

}  // namespace
}  // namespace kyr
