// The processor's level readings: loudness of what leaves the plug-in (after the gain match),
// the input's true peak and the gain match's gain.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EngineTestUtil.h"
#include "LoudnessMeter.h"

namespace kyr {
namespace {

using namespace test;

TEST(LevelMeters, ReadTheFinalOutputTheInputPeakAndTheGainMatch) {
  const double fs = 48000.0;
  const std::vector<double> x = Sine(1000.0, fs, 48000 * 6, 0.1);  // -20 dBFS
  for (const bool gainMatch : {false, true}) {
    Harness h(fs, 512);
    h.Set(kOutput, 20.0);  // well below unity, so that the gain match has work to do
    h.Set(kAutoGainMatch, gainMatch ? 1.0 : 0.0);
    std::vector<double> outL, outR;
    h.Run(x, &x, outL, outR, 512);

    LoudnessMeter reference;
    reference.Prepare(fs);
    reference.Process(outL.data(), outR.data(), true, static_cast<int>(outL.size()));
    const LevelReadings levels = h.p.GetLevels();
    EXPECT_FLOAT_EQ(levels.integrated, reference.Integrated()) << gainMatch;
    EXPECT_FLOAT_EQ(levels.momentary, reference.Momentary()) << gainMatch;
    EXPECT_NEAR(levels.inputTruePeak, -20.0, 0.05) << gainMatch;
    if (gainMatch) {
      EXPECT_GT(levels.gainMatchDb, 3.0);
      EXPECT_FLOAT_EQ(levels.gainMatchDb, static_cast<float>(Db(h.p.GetGainMatch().Gain())));
      EXPECT_NEAR(levels.integrated, -20.0, 1.0);  // the gain match brings the output back
    } else {
      EXPECT_EQ(levels.gainMatchDb, 0.0f);
      EXPECT_LT(levels.integrated, -23.0);
    }

    // The page's reset reaches the meter through the processor.
    h.p.ResetLoudness();
    h.Run(std::vector<double>(64, 0.0), nullptr, outL, outR, 64);
    EXPECT_EQ(h.p.GetLevels().integrated, -120.0f);
  }
}

}  // namespace
}  // namespace kyr
