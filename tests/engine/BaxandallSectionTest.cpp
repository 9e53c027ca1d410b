#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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

TEST(BaxandallSection, NeutralSettingsPassTheInputExactlyInLeftRight) {
  const StereoSignal x = TwoTones(2000);
  for (int ms : {0, 1}) {
    BaxHarness h;
    h.Set(kBaxStereoMode, ms);
    std::vector<double> l, r;
    h.Run(x.l, &x.r, l, r);
    for (size_t i = 0; i < l.size(); ++i) {
      if (ms == 0) {
        ASSERT_EQ(l[i], x.l[i]);
        ASSERT_EQ(r[i], x.r[i]);
      } else {
        ASSERT_NEAR(l[i], x.l[i], 1e-15);
        ASSERT_NEAR(r[i], x.r[i], 1e-15);
      }
    }
    EXPECT_EQ(h.p.GetMeters().thd.load(), 0.0f);
  }
}

TEST(BaxandallSection, LinkAppliesTheLeftGainsToBothChannels) {
  const StereoSignal x{Sine(60.0, 48000.0, 4800), Sine(60.0, 48000.0, 4800)};
  std::vector<double> l, r;
  BaxHarness linked;
  linked.Set(kBaxLoShelfL, 5);
  linked.Set(kBaxLoShelfR, -5);
  linked.Set(kBaxHiShelfR, 5);
  linked.Run(x.l, &x.r, l, r);
  EXPECT_EQ(0, std::memcmp(l.data(), r.data(), l.size() * sizeof(double)));
  BaxHarness dual;
  dual.Set(kBaxLink, 0);
  dual.Set(kBaxLoShelfL, 5);
  dual.Set(kBaxLoShelfR, -5);
  dual.Run(x.l, &x.r, l, r);
  EXPECT_GT(Amplitude(l, 60.0, 48000.0, 2400, 2400), Amplitude(r, 60.0, 48000.0, 2400, 2400) * 1.5);
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

TEST(BaxandallSection, ZeroWidthCarriesTheMidOnBothSides) {
  const StereoSignal x = TwoTones(1200);
  BaxHarness h;
  h.Set(kWidth, 0);
  h.Set(kOutput, 75);
  std::vector<double> l, r;
  h.Run(x.l, &x.r, l, r);
  const double g = std::pow(10.0, 6.0 / 20.0);
  for (size_t i = 0; i < l.size(); ++i) {
    ASSERT_EQ(l[i], r[i]);
    ASSERT_NEAR(l[i], (x.l[i] + x.r[i]) / 2.0 * g, 1e-12);
  }
}

TEST(BaxandallSection, BassMonoHighPassesOnlyTheSide) {
  const double fs = 48000.0;
  BiquadSection hp;
  DesignButterworth(hp, true, 120.0, fs);
  for (double f0 : {30.0, 120.0, 5000.0}) {
    const double f = OnBin(f0, fs, 9600);
    std::vector<double> side = Sine(f, fs, 28800), negated(side.size());
    for (size_t i = 0; i < side.size(); ++i) negated[i] = -side[i];
    BaxHarness h;
    h.Set(kBassMono, 3);
    std::vector<double> l, r;
    h.Run(side, &negated, l, r);
    EXPECT_NEAR(Db(Amplitude(l, f, fs, 19200, 9600) / 0.5), Db(Magnitude(hp, f, fs)), 0.01) << f;
    h.Run(side, &side, l, r);  // the mid passes untouched
    EXPECT_NEAR(Amplitude(l, f, fs, 19200, 9600), 0.5, 1e-9);
  }
}

TEST(BaxandallSection, CutsAndTiltFollowTheirTablesWithinTheRateLimit) {
  BaxHarness h;
  h.Set(kBaxHiCut, 1);  // "70k": designed at 40 kHz, limited to 0.49 * 48 kHz
  h.Set(kBaxLoCut, 7);
  h.Set(kTilt, 3);
  h.RunStereoSame(Sine(1000.0, 48000.0, 64));
  const BaxState& bax = h.p.Engine().mBax;
  BiquadSection hiCut, loCut, tiltHigh;
  DesignButterworth(hiCut, false, 23520.0, 48000.0);
  DesignButterworth(loCut, true, 54.0, 48000.0);
  DesignFirstOrderShelf(tiltHigh, true, 700.0, 3.0, 48000.0);
  EXPECT_EQ(bax.hiCut.b0, hiCut.b0);
  EXPECT_EQ(bax.hiCut.a1, hiCut.a1);
  EXPECT_EQ(bax.loCut.b1, loCut.b1);
  EXPECT_EQ(bax.tiltHigh.b0, tiltHigh.b0);
  EXPECT_EQ(bax.tiltOn, 1);
}

TEST(BaxandallSection, PushPullModulatesTheShelvesAndZeroesTubeMeters) {
  BaxHarness h;
  h.Set(kBaxLoShelfL, 5);
  h.Set(kBaxHiShelfL, 5);
  h.Set(kPushPull, 100);
  h.Set(kPushPullPivot, 100);
  h.RunStereoSame(Sine(200.0, 48000.0, 9600, 0.3));
  const Meters& m = h.p.GetMeters();
  EXPECT_GT(m.ppbg[0].load(), 1.2f);
  EXPECT_GT(m.ppbg[1].load(), 1.2f);
  EXPECT_EQ(m.thd.load(), 0.0f);
  EXPECT_EQ(m.loRed.load(), 0.0f);
}

}  // namespace
}  // namespace kyr
