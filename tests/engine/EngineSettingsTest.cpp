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

// Each kind of value converts; unknown indices and non-finite values change nothing.
TEST(EngineSettings, ConvertsEachKindOfParameterAndIgnoresTheRest) {
  EqProcessor p;
  const Settings before = p.Engine().mSettings.Load();
  const std::pair<int, double> changes[] = {
      {kPushPullPivot, -100.0}, {kBaxLoShelfR, 4.5}, {kPPBaxHi, 25.0}, {kBypass, 0.49}, {kClean, 0.5},
      {kLFFilter, 5.9},         {kBandListen, 1e300}, {kNumParams, 1.0}, {-1, 1.0},     {1000, 1.0},
      {kInput, NAN},            {kMode, INFINITY}};
  for (const auto& [idx, plain] : changes) p.OnParamChange(idx, plain);
  const Settings s = p.Engine().mSettings.Load();
  EXPECT_EQ(std::tuple(s.pushPullPivot, s.baxLoShelfRight, s.ppDepth[7], int{s.bypass}, int{s.clean}, s.lfFilter,
                       s.bandListen, s.input, s.mode),
            std::tuple(-1.0f, 4.5f, 0.25f, 0, 1, 5, 1000000000, before.input, before.mode));
}

}  // namespace
}  // namespace kyr
