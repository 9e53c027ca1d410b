#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <tuple>

#include "EngineSettings.h"
#include "EqProcessor.h"
#include "ParameterSet.h"

namespace kyr {
namespace {

// A fresh record holds what the parameter table's defaults convert to.
TEST(EngineSettings, StartsAtTheParameterDefaults) {
  SettingsRecord fresh, stored;
  for (int idx = 0; idx < kNumParams; ++idx) {
    stored.StoreParameter(idx, ParameterTable()[static_cast<size_t>(idx)].defaultValue);
  }
  const Settings a = fresh.Load(), b = stored.Load();
  const auto fields = [](const Settings& s) {
    return std::make_tuple(
        s.input, s.output, s.lowCut, s.lowBoost, s.midCut, s.highBoost, s.highCut, s.bandwidth,
        s.lowCutFreq, s.lowBoostFreq, s.midCutFreq, s.highBoostFreq, s.highCutFreq, s.clean,
        s.bypass, s.hqOversample, s.dynamicTube, s.mode, s.baxLoCut, s.baxLoShelfFreq,
        s.baxHiShelfFreq, s.baxHiCut, s.baxLoShelfLeft, s.baxLoShelfRight, s.baxHiShelfLeft,
        s.baxHiShelfRight, s.baxDynamic, s.baxLink, s.baxStereoMode, s.lfFilter, s.hfFilter,
        s.lfSlope, s.hfSlope, s.lfReso, s.hfReso, s.midBoost, s.midBoostFreq, s.tilt, s.width,
        s.bassMono, s.bandListen, s.pushPull, s.pushPullSpeed, s.pushPullPivot);
  };
  EXPECT_TRUE(fields(a) == fields(b));
  EXPECT_TRUE(std::equal(std::begin(a.ppDepth), std::end(a.ppDepth), std::begin(b.ppDepth)));
}

// Percentages become fractions (negative ones too), decibels stay, switches turn on at one half
// and indices truncate toward zero.
TEST(EngineSettings, ConvertsEachKindOfParameter) {
  SettingsRecord record;
  struct Case {
    int idx;
    double plain;
  };
  for (const Case& c : {Case{kPushPullPivot, -100.0}, Case{kBaxLoShelfR, 4.5}, Case{kPPBaxHi, 25.0},
                        Case{kBypass, 0.49}, Case{kClean, 0.5}, Case{kBandListen, 7.9}}) {
    record.StoreParameter(c.idx, c.plain);
  }
  const Settings s = record.Load();
  EXPECT_EQ(s.pushPullPivot, -1.0f);
  EXPECT_EQ(s.baxLoShelfRight, 4.5f);
  EXPECT_EQ(s.ppDepth[7], 0.25f);
  EXPECT_EQ(s.bypass, 0);
  EXPECT_EQ(s.clean, 1);
  EXPECT_EQ(s.bandListen, 7);
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

}  // namespace
}  // namespace kyr
