#include <gtest/gtest.h>

#include <vector>

#include "BandListen.h"
#include "EngineTestUtil.h"

namespace kyr {
namespace {

using namespace test;

TEST(BandListen, CentresFollowTheControlsDisplayFrequencies) {
  struct Case {
    int band, freqParam;
    double freqValue, expectHz;
  };
  const Case cases[] = {{1, kLowBoostFreq, 0, 20.0},    {2, kLowCutFreq, 0, 30.0},
                        {3, kMidBoostFreq, 7, 3000.0},  {4, kMidCutFreq, 5, 700.0},
                        {5, kHighBoostFreq, 4, 8000.0}, {6, kHighCutFreq, 1, 4000.0},
                        {7, kBaxLoShelfFreq, 8, 361.0}, {8, kBaxHiShelfFreq, 0, 1600.0}};
  for (const Case& c : cases) {
    EqProcessor p;
    p.OnParamChange(kBandListen, c.band);
    p.OnParamChange(c.freqParam, c.freqValue);
    EXPECT_EQ(BandListenFrequency(p.Engine().mSettings.Load()), c.expectHz) << c.band;
  }
  Settings s;
  s.bandListen = 9;
  EXPECT_EQ(BandListenFrequency(s), 1000.0);
  s.bandListen = 3;  // indices outside a table take its nearest entry
  s.midBoostFreq = 99;
  EXPECT_EQ(BandListenFrequency(s), 3000.0);
  s.midBoostFreq = -4;
  EXPECT_EQ(BandListenFrequency(s), 200.0);
}

// The centre passes at the output level, also under Bypass; a centre above the rate limit moves to it.
TEST(BandListen, PassesTheCentreAtTheOutputLevel) {
  const double fs = 48000.0, f = OnBin(500.0, fs, 4800);
  for (double output : {0.0, 100.0}) {
    Harness h;
    h.Set(kBandListen, 3);
    h.Set(kMidBoostFreq, 2);  // 500 Hz
    h.Set(kOutput, output);
    h.Set(kBypass, 1);
    const std::vector<double> y = h.RunStereoSame(Sine(f, fs, 14400));
    EXPECT_NEAR(Db(Amplitude(y, f, fs, 9600, 4800) / 0.5), output * 24.0 / 100.0 - 12.0, 0.01);
  }
  Harness h(44100.0);
  h.Set(kBandListen, 6);
  h.Set(kHighCutFreq, 3);  // 28 kHz
  h.RunStereoSame(Sine(1000.0, 44100.0, 16));
  EXPECT_NEAR(Magnitude(h.p.Engine().mBandListen.section, 21609.0, 44100.0), 1.0, 1e-12);
}

// Another band starts from silence: the old band's ringing would click.
TEST(BandListen, StatesClearWhenTheBandChanges) {
  Harness h;
  h.Set(kBandListen, 3);
  h.RunStereoSame(Sine(700.0, 48000.0, 512));
  EXPECT_NE(h.p.Engine().mBandListen.section.s1[0], 0.0);
  h.Set(kBandListen, 4);
  double* in[2] = {nullptr, nullptr};
  double out[2][1];
  double* o[2] = {out[0], out[1]};
  h.p.Process(in, o, 2, 2, 0);
  EXPECT_EQ(h.p.Engine().mBandListen.section.s1[0], 0.0);
}

}  // namespace
}  // namespace kyr
