#include <gtest/gtest.h>

#include <cmath>

#include "EngineSettings.h"
#include "EqProcessor.h"

namespace kyr {
namespace {

TEST(EngineSettings, StartsAtTheParameterDefaults) {
  SettingsRecord record;
  const Settings s = record.Load();
  EXPECT_EQ(s.input, 0.5f);
  EXPECT_EQ(s.lowBoostFreq, 2);
  EXPECT_EQ(s.highBoostFreq, 5);
  EXPECT_EQ(s.baxLoShelfFreq, 4);
  EXPECT_EQ(s.baxLink, 1);
  EXPECT_EQ(s.width, 1.0f);
  EXPECT_EQ(s.lfSlope, 1);
  EXPECT_EQ(s.pushPullSpeed, 0.5f);
  for (float d : s.ppDepth) EXPECT_EQ(d, 1.0f);
}

TEST(EngineSettings, ConvertsEachKindOfParameter) {
  SettingsRecord record;
  struct Case {
    int idx;
    double plain;
  };
  for (const Case& c : {Case{kOutput, 75.0}, Case{kTilt, -1.5}, Case{kWidth, 200.0},
                        Case{kClean, 1.0}, Case{kMode, 1.0}, Case{kLowBoostFreq, 3.0},
                        Case{kPushPullPivot, -100.0}, Case{kBaxLoShelfR, 4.5}, Case{kPPBaxHi, 25.0},
                        Case{kBypass, 0.49}, Case{kBandListen, 7.9}}) {
    record.StoreParameter(c.idx, c.plain);
  }
  const Settings s = record.Load();
  EXPECT_EQ(s.output, static_cast<float>(75.0 / 100.0));
  EXPECT_EQ(s.tilt, -1.5f);
  EXPECT_EQ(s.width, 2.0f);
  EXPECT_EQ(s.clean, 1);
  EXPECT_EQ(s.mode, 1);
  EXPECT_EQ(s.lowBoostFreq, 3);
  EXPECT_EQ(s.pushPullPivot, -1.0f);
  EXPECT_EQ(s.baxLoShelfRight, 4.5f);
  EXPECT_EQ(s.ppDepth[7], 0.25f);
  EXPECT_EQ(s.bypass, 0);
  EXPECT_EQ(s.bandListen, 7);  // truncated toward zero
}

TEST(EngineSettings, IgnoresUnknownIndicesAndNonFiniteValues) {
  EqProcessor p;
  const Settings before = p.Engine().mSettings.Load();
  p.OnParamChange(kNumParams, 1.0);
  p.OnParamChange(-1, 1.0);
  p.OnParamChange(1000, 1.0);
  p.OnParamChange(kInput, NAN);
  p.OnParamChange(kMode, INFINITY);
  p.OnParamChange(kBandListen, 1e300);  // huge but finite: a defined (out-of-table) index
  const Settings after = p.Engine().mSettings.Load();
  EXPECT_EQ(after.input, before.input);
  EXPECT_EQ(after.mode, before.mode);
  EXPECT_EQ(after.bandListen, 1000000000);
}

TEST(EngineSettings, AutoGainMatchGoesToTheGainMatch) {
  EqProcessor p;
  EXPECT_FALSE(p.GetGainMatch().Enabled());
  p.OnParamChange(kAutoGainMatch, 1.0);
  EXPECT_TRUE(p.GetGainMatch().Enabled());
  p.OnParamChange(kAutoGainMatch, 0.0);
  EXPECT_FALSE(p.GetGainMatch().Enabled());
}

}  // namespace
}  // namespace kyr
