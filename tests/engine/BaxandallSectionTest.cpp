#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "BaxandallSection.h"
#include "EngineTestUtil.h"
#include "FilterDesign.h"

namespace kyr {
namespace {

using namespace test;

TEST(BaxandallSection, DynamicReducesABoostedShelfByTheLoudBand) {
  Harness h;
  Apply(h.p, {{kMode, 1}, {kBaxDynamic, 100}, {kBaxLoShelfL, 5}, {kBaxLink, 0}, {kBaxLoShelfR, -5}});
  // DC at 1.5 drives the low-band envelopes of both channels above 0 dBFS.
  const std::vector<double> dc(48000, 1.5);
  std::vector<double> l, r;
  h.Run(dc, &dc, l, r, 480);
  EXPECT_NEAR(h.p.GetMeters().loRed.load(), 6.0f, 1e-5);
  BaxState& bax = h.p.Engine().mBax;
  EXPECT_EQ(bax.loShelf[0].b0, 1.0);  // +5 dB - 6 dB, floored at 0 dB: flat
  BiquadSection cut;
  DesignFirstOrderShelf(cut, false, 116.0 * std::pow(10.0, 5.0 / 40.0), -5.0, 48000.0);
  EXPECT_EQ(bax.loShelf[1].b0, cut.b0);  // a cut is not reduced
  EXPECT_EQ(bax.loShelf[1].a1, cut.a1);
}

}  // namespace
}  // namespace kyr
