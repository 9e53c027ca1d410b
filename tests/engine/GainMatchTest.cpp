#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EngineTestUtil.h"
#include "GainMatch.h"

namespace kyr {
namespace {

using namespace test;

// Runs seconds of a 1 kHz sine whose output is the input times outputScale.
double SettledGain(GainMatch& gm, double outputScale, double seconds, bool stereo = true) {
  const int block = 480;
  const std::vector<double> in = Sine(1000.0, 48000.0, block, 0.3);
  std::vector<double> l(block), r(block);
  for (int b = 0; b < static_cast<int>(seconds * 100); ++b) {
    for (int i = 0; i < block; ++i) l[i] = r[i] = in[i] * outputScale;
    gm.Process(in.data(), in.data(), l.data(), stereo ? r.data() : l.data(), block);
  }
  return gm.Gain();
}

TEST(GainMatch, GainIsLimitedToAQuarterAndFour) {
  struct Case {
    double outputScale, expectGain;
  };
  for (const Case& c : {Case{10.0, 0.25}, Case{0.1, 4.0}, Case{2.0, 0.5}, Case{1.0, 1.0}}) {
    GainMatch gm;
    gm.Reset(48000.0);
    EXPECT_NEAR(SettledGain(gm, c.outputScale, 6.0), c.expectGain, 2e-3 * c.expectGain)
        << c.outputScale;
  }
}

}  // namespace
}  // namespace kyr
