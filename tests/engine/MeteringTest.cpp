#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EngineTestUtil.h"
#include "LoudnessMeter.h"
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

// 0 1 1 0 peaks at 2 * 0.6221 between the ones, also across two blocks; silence reads the floor.
TEST_F(MeterFixture, TruePeakIsTheInterSamplePeakAcrossBlocks) {
  const std::vector<std::vector<double>> cases[] = {{{0.0, 1.0, 1.0, 0.0, 0.0}}, {{0.0, 0.0, 1.0}, {1.0, 0.0, 0.0}},
                                                    {std::vector<double>(4800, 0.0)}};
  const double expect[] = {Db(0.6221 * 2.0), Db(0.6221 * 2.0), -120.0};
  for (int c = 0; c < 3; ++c) {
    eng.PrepareEngine(48000.0);
    for (const std::vector<double>& l : cases[c]) Tail(l, std::vector<double>(l.size(), 0.0));
    EXPECT_NEAR(eng.mMeters.tp.load(), expect[c], 1e-5) << c;
  }
}

TEST_F(MeterFixture, NonFiniteLoudnessResets) {
  Tail({INFINITY, 0.0}, {0.0, 0.0});
  EXPECT_EQ(eng.mMeter.meanSquare, 0.0);
  EXPECT_EQ(eng.mMeters.lufs.load(), -70.0f);
}

// The analyser's rings hold the newest mid samples, oldest first, across blocks.
TEST(MeterRings, CopyTheNewestSamplesOldestFirst) {
  Harness h(48000.0, 1024);
  std::vector<double> l(5000), r(5000), outL, outR;
  for (int i = 0; i < 5000; ++i) {
    l[i] = i;
    r[i] = i + 2.0;
  }
  h.Set(kBypass, 1);
  h.Run(l, &r, outL, outR, 2500);  // longer than announced; the second block wraps the ring
  std::vector<double> ringIn(2048), ringOut(2048);
  h.p.CopyLatestRings(ringIn.data(), ringOut.data());
  for (int j = 0; j < 2048; ++j) {
    EXPECT_EQ(ringIn[j], 5000 - 2048 + j + 1.0);
    EXPECT_EQ(ringOut[j], ringIn[j]);
  }
}

// Display-only measurements are skipped without a reader; one arriving late sees within 100 ms
// what a processor that never skipped shows, to the decimals the page shows.
TEST(MeterReader, MetersAgreeWithinAHundredMillisecondsOfAReaderArriving) {
  constexpr double fs = 48000.0;
  constexpr int kBlock = 256;
  constexpr int kUnread = 468 * kBlock;  // 2.5 s without a reader
  constexpr int kRead = 18 * kBlock;     // 96 ms with one
  std::vector<double> l(kUnread + kRead), r(kUnread + kRead);
  unsigned seed = 7;
  for (size_t i = 0; i < l.size(); ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.1;
    const double level = 0.3 + 0.6 * std::fabs(std::sin(2.0 * kPi * 0.7 * i / fs));
    l[i] = level * (0.6 * std::sin(2.0 * kPi * 110.0 * i / fs) + 0.3 * std::sin(2.0 * kPi * 2500.0 * i / fs)) + noise;
    r[i] = level * 0.8 * std::sin(2.0 * kPi * 165.0 * i / fs) - noise;
  }
  for (const Path& c : Paths()) {
    Harness always, late;
    Apply(always.p, c.params);
    Apply(late.p, c.params);
    late.p.GetMeters().reader.store(0);
    std::vector<double> outA[2], outB[2];
    for (Harness* h : {&always, &late}) {
      std::vector<double>* out = h == &always ? outA : outB;
      for (int ch = 0; ch < 2; ++ch) out[ch].assign(l.size(), 0.0);
      for (int i = 0; i < static_cast<int>(l.size()); i += kBlock) {
        if (h == &late && i == kUnread) {
          EXPECT_EQ(late.p.GetMeters().processed.load(), 0) << c.name;
          late.p.GetMeters().reader.store(1);
        }
        double* in[2] = {l.data() + i, r.data() + i};
        double* o[2] = {out[0].data() + i, out[1].data() + i};
        h->p.Process(in, o, 2, 2, kBlock);
      }
    }
    // The sound never depends on the meters.
    EXPECT_EQ(outA[0], outB[0]) << c.name;
    EXPECT_EQ(outA[1], outB[1]) << c.name;

    const Meters& a = always.p.GetMeters();
    const Meters& b = late.p.GetMeters();
    EXPECT_EQ(b.processed.load(), 1) << c.name;
    using Field = std::atomic<float> Meters::*;
    const std::pair<Field, double> fields[] = {{&Meters::thd, 0.005},   {&Meters::xf, 0.005},     {&Meters::tb, 0.005},
                                               {&Meters::tp, 0.05},     {&Meters::lufs, 0.05},    {&Meters::drive, 0.0005},
                                               {&Meters::ease, 0.005},  {&Meters::loRed, 0.005},  {&Meters::hiRed, 0.005}};
    for (const auto& [f, tolerance] : fields) EXPECT_NEAR((a.*f).load(), (b.*f).load(), tolerance) << c.name;
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(a.ppg[k].load(), b.ppg[k].load(), 0.0005) << c.name;
    for (int k = 0; k < 2; ++k) EXPECT_NEAR(a.ppbg[k].load(), b.ppbg[k].load(), 0.0005) << c.name;
    std::vector<double> rings[4] = {std::vector<double>(2048), std::vector<double>(2048),
                                    std::vector<double>(2048), std::vector<double>(2048)};
    always.p.CopyLatestRings(rings[0].data(), rings[1].data());
    late.p.CopyLatestRings(rings[2].data(), rings[3].data());
    EXPECT_TRUE(rings[0] == rings[2] && rings[1] == rings[3]) << c.name;
  }
}

// Loudness of the final output (after the gain match), the input's true peak, the match's gain.
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
