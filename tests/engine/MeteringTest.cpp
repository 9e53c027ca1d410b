#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "EngineTestUtil.h"
#include "Metering.h"

namespace kyr {
namespace {

using namespace test;

// 0 1 1 0 peaks at 2 * 0.6221 between the ones, also across two blocks; silence reads the floor.
TEST(MeterTail, TruePeakIsTheInterSamplePeakAcrossBlocks) {
  const std::vector<std::vector<double>> cases[] = {{{0.0, 1.0, 1.0, 0.0, 0.0}}, {{0.0, 0.0, 1.0}, {1.0, 0.0, 0.0}},
                                                    {std::vector<double>(4800, 0.0)}};
  const double expect[] = {Db(0.6221 * 2.0), Db(0.6221 * 2.0), -120.0};
  for (int c = 0; c < 3; ++c) {
    EqEngine eng;
    eng.PrepareEngine(48000.0);
    for (const std::vector<double>& l : cases[c]) {
      const std::vector<double> r(l.size(), 0.0);
      MeterTail(eng, l.data(), r.data(), l.data(), r.data(), static_cast<int>(l.size()));
    }
    EXPECT_NEAR(eng.mMeters.tp.load(), expect[c], 1e-5) << c;
  }
}

// The analyser's rings hold the newest mid samples, oldest first, across blocks.
TEST(MeterRings, CopyTheNewestSamplesOldestFirst) {
  Harness h(48000.0, 1024);
  std::vector<double> l(5000), r(5000), outL, outR, ringIn(2048), ringOut(2048);
  for (int i = 0; i < 5000; ++i) r[i] = (l[i] = i) + 2.0;
  h.Set(kBypass, 1);
  h.Run(l, &r, outL, outR, 2500);  // longer than announced; the second block wraps the ring
  h.p.CopyLatestRings(ringIn.data(), ringOut.data());
  for (int j = 0; j < 2048; ++j) {
    EXPECT_EQ(ringIn[j], 5000 - 2048 + j + 1.0);
    EXPECT_EQ(ringOut[j], ringIn[j]);
  }
}

// Display-only measurements are skipped without a reader; one arriving late sees within 100 ms
// what a processor that never skipped shows, to the decimals the page shows. The sound never
// depends on the meters.
TEST(MeterReader, MetersAgreeWithinAHundredMillisecondsOfAReaderArriving) {
  constexpr int kBlock = 256, kUnread = 468 * kBlock, kRead = 18 * kBlock;  // 2.5 s unread, 96 ms read
  const std::vector<double> l = TestSignal(0, kUnread + kRead), r = TestSignal(1, kUnread + kRead);
  for (const Path& c : Paths()) {
    Harness always, late;
    Apply(always.p, c.params);
    Apply(late.p, c.params);
    late.p.GetMeters().reader.store(0);
    std::vector<double> a[2] = {l, r}, b[2] = {l, r};  // processed in place
    for (int i = 0; i < kUnread + kRead; i += kBlock) {
      if (i == kUnread) {
        EXPECT_EQ(late.p.GetMeters().processed.load(), 0) << c.name;
        late.p.GetMeters().reader.store(1);
      }
      double* ioA[2] = {a[0].data() + i, a[1].data() + i};
      double* ioB[2] = {b[0].data() + i, b[1].data() + i};
      always.p.Process(ioA, ioA, 2, 2, kBlock);
      late.p.Process(ioB, ioB, 2, 2, kBlock);
    }
    EXPECT_TRUE(a[0] == b[0] && a[1] == b[1]) << c.name;
    const Meters& ma = always.p.GetMeters();
    const Meters& mb = late.p.GetMeters();
    EXPECT_EQ(mb.processed.load(), 1) << c.name;
    using Field = std::atomic<float> Meters::*;
    const std::pair<Field, double> fields[] = {{&Meters::thd, 0.005},   {&Meters::xf, 0.005},     {&Meters::tb, 0.005},
                                               {&Meters::tp, 0.05},     {&Meters::lufs, 0.05},    {&Meters::drive, 0.0005},
                                               {&Meters::ease, 0.005},  {&Meters::loRed, 0.005},  {&Meters::hiRed, 0.005}};
    for (const auto& [f, tolerance] : fields) EXPECT_NEAR((ma.*f).load(), (mb.*f).load(), tolerance) << c.name;
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(ma.ppg[k].load(), mb.ppg[k].load(), 0.0005) << c.name;
    for (int k = 0; k < 2; ++k) EXPECT_NEAR(ma.ppbg[k].load(), mb.ppbg[k].load(), 0.0005) << c.name;
    std::vector<double> rings(4 * 2048);
    always.p.CopyLatestRings(&rings[0], &rings[2048]);
    late.p.CopyLatestRings(&rings[4096], &rings[6144]);
    EXPECT_TRUE(std::equal(rings.begin(), rings.begin() + 4096, rings.begin() + 4096)) << c.name;
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
    const LevelReadings levels = h.p.GetLevels();
    EXPECT_NEAR(levels.inputTruePeak, -20.0, 0.05) << gainMatch;
    // Output at -7.2 dB (the tube adds a quarter dB); the gain match brings it back.
    EXPECT_NEAR(levels.integrated, gainMatch ? -20.0 : -27.2, 0.5) << gainMatch;
    EXPECT_NEAR(levels.momentary, gainMatch ? -20.0 : -27.2, 0.5) << gainMatch;
    EXPECT_FLOAT_EQ(levels.gainMatchDb, gainMatch ? static_cast<float>(Db(h.p.GetGainMatch().Gain())) : 0.0f);

    // The page's reset reaches the meter through the processor.
    h.p.ResetLoudness();
    h.Run(std::vector<double>(64, 0.0), nullptr, outL, outR, 64);
    EXPECT_EQ(h.p.GetLevels().integrated, -120.0f);
  }
}

}  // namespace
}  // namespace kyr
