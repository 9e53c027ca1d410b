#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EngineTestUtil.h"
#include "Metering.h"

namespace kyr {
namespace {

using namespace test;

struct MeterFixture : ::testing::Test {
  EqEngine eng;
  MeterFixture() { eng.PrepareEngine(48000.0); }
  void Tail(const std::vector<double>& l, const std::vector<double>& r) {
    MeterTail(eng, l.data(), r.data(), l.data(), r.data(), static_cast<int>(l.size()));
  }
};

TEST_F(MeterFixture, InterSamplePeakOfZeroOneOneZeroIsPlusOnePointNineDb) {
  const std::vector<double> l = {0.0, 1.0, 1.0, 0.0, 0.0}, r(5, 0.0);
  Tail(l, r);
  EXPECT_NEAR(eng.mMeters.tp.load(), 20.0 * std::log10(0.6221 * 2.0), 1e-5);
  EXPECT_NEAR(eng.mMeters.tp.load(), 1.90f, 0.01f);
}

TEST_F(MeterFixture, TruePeakHistoryCarriesIntoTheNextBlock) {
  Tail({0.0, 0.0, 1.0}, {0.0, 0.0, 0.0});
  Tail({1.0, 0.0, 0.0}, {0.0, 0.0, 0.0});  // the pair 1, 1 straddles the blocks
  EXPECT_NEAR(eng.mMeters.tp.load(), 20.0 * std::log10(1.2442), 1e-5);
}

TEST_F(MeterFixture, SilenceReadsTheFloors) {
  const std::vector<double> zero(4800, 0.0);
  Tail(zero, zero);
  EXPECT_EQ(eng.mMeters.tp.load(), -120.0f);
  EXPECT_EQ(eng.mMeters.lufs.load(), -70.0f);
}

TEST_F(MeterFixture, FullScaleSineReadsNearZeroDbtpAndSettlesItsLoudness) {
  const std::vector<double> x = Sine(997.0, 48000.0, 48000 * 15, 1.0);
  Tail(x, x);
  EXPECT_NEAR(eng.mMeters.tp.load(), 0.0f, 0.05f);
  // Mean square 0.5 (-3.01 dB) less 0.691, plus the weighting's gain near 1 kHz.
  EXPECT_NEAR(eng.mMeters.lufs.load(), -3.70f + 0.3f, 0.5f);
  const float settled = eng.mMeters.lufs.load();
  Tail(std::vector<double>(x.begin(), x.begin() + 48000),
       std::vector<double>(x.begin(), x.begin() + 48000));
  EXPECT_NEAR(eng.mMeters.lufs.load(), settled, 0.01f);
}

TEST_F(MeterFixture, NonFiniteLoudnessResets) {
  const std::vector<double> bad = {INFINITY, 0.0}, zero(2, 0.0);
  Tail(bad, zero);
  EXPECT_EQ(eng.mMeter.meanSquare, 0.0);
  EXPECT_EQ(eng.mMeters.lufs.load(), -70.0f);
}

TEST(MeterRings, CopyTheNewestSamplesOldestFirst) {
  EqProcessor p;
  p.Reset(48000.0, 1024);
  std::vector<double> l(5000), r(5000),
      out[2] = {std::vector<double>(5000), std::vector<double>(5000)};
  for (int i = 0; i < 5000; ++i) {
    l[i] = i;
    r[i] = i + 2.0;
  }
  double* in[2] = {l.data(), r.data()};
  double* o[2] = {out[0].data(), out[1].data()};
  p.OnParamChange(kBypass, 1);
  p.Process(in, o, 2, 2, 5000);
  std::vector<double> ringIn(2048), ringOut(2048);
  p.CopyLatestRings(ringIn.data(), ringOut.data());
  for (int j = 0; j < 2048; ++j) {
    EXPECT_EQ(ringIn[j], 5000 - 2048 + j + 1.0);
    EXPECT_EQ(ringOut[j], ringIn[j]);
  }
}

}  // namespace
}  // namespace kyr
