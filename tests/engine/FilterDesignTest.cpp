#include <gtest/gtest.h>

#include <cmath>

#include "EngineTestUtil.h"
#include "FilterDesign.h"
#include "ProgramBank.h"

namespace kyr {
namespace {

using namespace test;

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

TEST(FilterDesign, ResponsesHaveTheirGainsAtTheBandEdgesAndCentre) {
  const double fs = 48000.0;
  struct Case {
    int type;
    double probeHz, expectDb;
  };
  for (const Case& c :
       {Case{kLowShelf, 5.0, 9.0}, Case{kLowShelf, 20000.0, 0.0}, Case{kHighShelf, 22000.0, 9.0},
        Case{kHighShelf, 5.0, 0.0}, Case{kPeaking, 1000.0, 9.0}, Case{7, 1000.0, 9.0}}) {
    BiquadSection s;
    DesignBiquad(s, c.type, 1000.0, 9.0, 0.7, fs);
    EXPECT_NEAR(Db(Magnitude(s, c.probeHz, fs)), c.expectDb, 0.05) << c.type << " " << c.probeHz;
  }
}

TEST(FilterDesign, ZeroDecibelsIsFlatForEveryType) {
  for (int type : {kLowShelf, kHighShelf, kPeaking}) {
    BiquadSection s;
    DesignBiquad(s, type, 700.0, 0.0, 0.5, 44100.0);
    EXPECT_DOUBLE_EQ(s.b0, 1.0);
    EXPECT_DOUBLE_EQ(s.b1, s.a1);
    EXPECT_DOUBLE_EQ(s.b2, s.a2);
  }
  for (double f : {18000.0, 7100.0, 2500.0, 43.0}) {  // pole below and above 0.5
    BiquadSection shelf;
    DesignFirstOrderShelf(shelf, f > 1000.0, f, 0.0, 48000.0);
    EXPECT_EQ(shelf.b0, 1.0);
    EXPECT_EQ(shelf.b1, shelf.a1);
    EXPECT_TRUE(shelf.b2 == 0.0 && shelf.a2 == 0.0);
  }
}

TEST(FilterDesign, PassFiltersUseTheDecimalButterworthConstant) {
  const double fs = 48000.0, f = 1000.0;
  BiquadSection hp, lp, pass;
  DesignButterworth(hp, true, f, fs);
  DesignButterworth(lp, false, f, fs);
  const double w0 = 6.283185307179586 * f / fs;
  const double d = std::sin(w0) / 1.41421356;
  EXPECT_EQ(hp.b0, (1.0 + std::cos(w0)) / 2.0 / (1.0 + d));
  EXPECT_EQ(hp.a2, (1.0 - d) / (1.0 + d));
  EXPECT_NEAR(Db(Magnitude(hp, f, fs)), -3.0103, 1e-3);
  EXPECT_NEAR(Db(Magnitude(lp, f, fs)), -3.0103, 1e-3);
  EXPECT_NEAR(Db(Magnitude(lp, 50.0, fs)), 0.0, 1e-3);
  EXPECT_NEAR(Db(Magnitude(hp, 50.0, fs)), Db(std::pow(50.0 / 1000.0, 2)), 0.05);
  // DesignPass with Q 2 peaks by about Q at the corner.
  DesignPass(pass, false, f, 2.0, fs);
  EXPECT_NEAR(Magnitude(pass, f, fs), 2.0, 0.01);
}

TEST(FilterDesign, FirstOrderShelvesReachTheirGainAtTheEnds) {
  const double fs = 48000.0;
  BiquadSection high, low;
  DesignFirstOrderShelf(high, true, 2000.0, 5.0, fs);
  DesignFirstOrderShelf(low, false, 100.0, -5.0, fs);
  EXPECT_NEAR(Db(Magnitude(high, 0.0, fs)), 0.0, 1e-9);
  EXPECT_NEAR(Db(Magnitude(high, fs / 2.0, fs)), 5.0, 1e-9);
  EXPECT_NEAR(Db(Magnitude(low, 0.0, fs)), -5.0, 1e-9);
  EXPECT_NEAR(Db(Magnitude(low, fs / 2.0, fs)), 0.0, 1e-9);
}

TEST(FilterDesign, MidBoostIsIdentityUpToItsThresholdAndTenDecibelsAtFull) {
  EqEngine eng;
  eng.PrepareEngine(48000.0);
  Settings s;
  s.midBoost = 0.0001f;
  DesignMidBoost(eng, s);
  EXPECT_TRUE(IsIdentity(eng.mBank.midBoost));
  EXPECT_EQ(eng.mBank.midBoostOn, 0);
  s.midBoost = 1.0f;
  s.midBoostFreq = 99;  // clamped to the last entry, 3 kHz
  DesignMidBoost(eng, s);
  BiquadSection expect;
  DesignBiquad(expect, kPeaking, 3000.0, 10.0, 0.65, 48000.0);
  EXPECT_EQ(eng.mBank.midBoost.b0, expect.b0);
  EXPECT_EQ(eng.mBank.midBoost.a2, expect.a2);
  EXPECT_EQ(eng.mBank.midBoostOn, 1);
  EXPECT_NEAR(Db(Magnitude(eng.mBank.midBoost, 3000.0, 48000.0)), 10.0, 1e-9);
}

TEST(FilterDesign, ProgramBandsFollowTheirTables) {
  EqEngine eng;
  eng.PrepareEngine(48000.0);
  Settings s;
  s.lowBoost = 1.0f;
  s.lowBoostFreq = 3;
  s.midCut = 0.5f;
  s.midCutFreq = -4;  // clamped to 200 Hz
  s.highBoost = 1.0f;
  s.bandwidth = 1.0f;
  DesignProgramBank(eng, s);
  BiquadSection lowBoost, midCut, highBoost, shelf;
  DesignBiquad(lowBoost, kLowShelf, 236.0, 21.6, 0.47, 48000.0);
  DesignBiquad(midCut, kPeaking, 200.0, -12.4 * std::pow(0.5, 1.4), 3.7 * 0.5 - 0.72, 48000.0);
  DesignBiquad(highBoost, kPeaking, 10000.0, 18.4, 0.56, 48000.0);
  DesignBiquad(shelf, kHighShelf, 1589.8, 0.803, 0.461, 48000.0);
  EXPECT_EQ(eng.mBank.shelf.b0, shelf.b0);
  EXPECT_EQ(eng.mBank.band[kLowBoostBand].b1, lowBoost.b1);
  EXPECT_EQ(eng.mBank.band[kMidCutBand].a1, midCut.a1);
  EXPECT_NEAR(eng.mBank.band[kHighBoostBand].b0, highBoost.b0, 1e-12);
  EXPECT_TRUE(IsIdentity(eng.mBank.band[kLowCutBand]));
  EXPECT_TRUE(IsIdentity(eng.mBank.band[kHighCutBand]));
  EXPECT_EQ(eng.mBank.bandOn[kLowBoostBand], 1);
  EXPECT_EQ(eng.mBank.bandOn[kLowCutBand], 0);
}

}  // namespace
}  // namespace kyr
