#include <gtest/gtest.h>

#include <vector>

#include "BandListen.h"
#include "EngineTestUtil.h"

namespace kyr {
namespace {

using namespace test;

// Indices outside a table take its nearest entry; an unknown band listens at 1 kHz.
TEST(BandListen, CentresFollowTheControlsDisplayFrequencies) {
  struct Case { int band, freqParam; double freqValue, expectHz; };
  const Case cases[] = {{1, kLowBoostFreq, 0, 20.0},    {2, kLowCutFreq, 0, 30.0},     {3, kMidBoostFreq, 7, 3000.0},
                        {4, kMidCutFreq, 5, 700.0},     {5, kHighBoostFreq, 4, 8000.0}, {6, kHighCutFreq, 1, 4000.0},
                        {7, kBaxLoShelfFreq, 8, 361.0}, {8, kBaxHiShelfFreq, 0, 1600.0}, {3, kMidBoostFreq, 99, 3000.0},
                        {3, kMidBoostFreq, -4, 200.0},  {9, kMidBoostFreq, 0, 1000.0}};
  for (const Case& c : cases) {
    EqProcessor p;
    p.OnParamChange(kBandListen, c.band);
    p.OnParamChange(c.freqParam, c.freqValue);
    EXPECT_EQ(BandListenFrequency(p.Engine().mSettings.Load()), c.expectHz) << c.band;
  }
}

// The centre passes at the output level, also under Bypass; a centre above the rate limit moves to it.
TEST(BandListen, PassesTheCentreAtTheOutputLevel) {
  struct Case { double fs; int band, freqParam, freqValue; double centreHz, output, expectDb; };
  const Case cases[] = {{48000.0, 3, kMidBoostFreq, 2, 500.0, 100.0, 12.0},
                        {44100.0, 6, kHighCutFreq, 3, 0.49 * 44100.0, 50.0, 0.0}};  // 28 kHz asked
  for (const Case& c : cases) {
    Harness h(c.fs);
    h.Set(kBandListen, c.band);
    h.Set(c.freqParam, c.freqValue);
    h.Set(kOutput, c.output);
    h.Set(kBypass, 1);
    const std::vector<double> y = h.RunStereoSame(Sine(c.centreHz, c.fs, 14400));
    EXPECT_NEAR(Db(Amplitude(y, c.centreHz, c.fs, 9600, 4800) / 0.5), c.expectDb, 0.01) << c.band;
  }
}

}  // namespace
}  // namespace kyr
