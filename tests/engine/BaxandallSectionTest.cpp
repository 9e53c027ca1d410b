#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "BaxandallSection.h"
#include "EngineTestUtil.h"
#include "FilterDesign.h"

namespace kyr {
namespace {

using namespace test;

struct StereoSignal {
  std::vector<double> l, r;
};

StereoSignal TwoTones(int n) {
  StereoSignal s{Sine(100.0, 48000.0, n, 0.6), Sine(3000.0, 48000.0, n, 0.4)};
  for (int i = 0; i < n; ++i) s.l[i] += 0.1 * std::sin(i * 0.7);
  return s;
}

struct BaxHarness : Harness {
  BaxHarness() { Set(kMode, 1); }
};

// Neutral settings pass the input; zero width carries the mid on both sides.
TEST(BaxandallSection, NeutralSettingsPassTheInputAndZeroWidthTheMid) {
  const StereoSignal x = TwoTones(2000);
  const double tolerance[] = {0.0, 1e-15, 1e-12};
  for (int ms : {0, 1, 2}) {
    BaxHarness h;
    h.Set(kBaxStereoMode, ms == 1);
    h.Set(kWidth, ms == 2 ? 0 : 100);
    std::vector<double> l, r;
    h.Run(x.l, &x.r, l, r);
    for (size_t i = 0; i < l.size(); ++i) {
      const double mid = (x.l[i] + x.r[i]) / 2.0;
      ASSERT_NEAR(l[i], ms == 2 ? mid : x.l[i], tolerance[ms]) << ms;
      ASSERT_NEAR(r[i], ms == 2 ? l[i] : x.r[i], ms == 2 ? 0.0 : tolerance[ms]) << ms;
    }
  }
}

TEST(BaxandallSection, DynamicReducesABoostedShelfByTheLoudBand) {
  BaxHarness h;
  h.Set(kBaxDynamic, 100);
  h.Set(kBaxLoShelfL, 5);
  h.Set(kBaxLink, 0);
  h.Set(kBaxLoShelfR, -5);
  // DC at 1.5 drives the low-band envelopes of both channels above 0 dBFS.
  const std::vector<double> dc(48000, 1.5);
  std::vector<double> l, r;
  h.Run(dc, &dc, l, r, 480);
  EXPECT_NEAR(h.p.GetMeters().loRed.load(), 6.0f, 1e-5);
  BaxState& bax = h.p.Engine().mBax;
  EXPECT_EQ(bax.loShelf[0].b0, 1.0);  // +5 dB - 6 dB, floored at 0 dB: flat
  BiquadSection cut;
  const double s = std::pow(10.0, 5.0 / 40.0);
  DesignFirstOrderShelf(cut, false, 116.0 * s, -5.0, 48000.0);
  EXPECT_EQ(bax.loShelf[1].b0, cut.b0);  // a cut is not reduced
  EXPECT_EQ(bax.loShelf[1].a1, cut.a1);
}

}  // namespace
}  // namespace kyr
