// BS.1770 loudness against the standard's reference signals and gates.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EngineTestUtil.h"
#include "LoudnessMeter.h"

namespace kyr {
namespace {

using namespace test;

constexpr double kSilent = -999.0;  // a segment of digital silence

struct Segment { double dbfs, seconds; };  // a sine's amplitude in dBFS (kSilent for silence)

// Feeds sine segments in 512-sample blocks; channels 2: both, 1: left only, 0: mono meter.
void Feed(LoudnessMeter& meter, double fs, const std::vector<Segment>& segments, int channels = 2,
          double freqHz = 1000.0) {
  std::vector<double> l, r;
  int64_t t = 0;
  for (const Segment& s : segments) {
    const double amplitude = s.dbfs == kSilent ? 0.0 : std::pow(10.0, s.dbfs / 20.0);
    const int64_t count = std::llround(s.seconds * fs);
    for (int64_t i = 0; i < count; ++i, ++t) {
      l.push_back(amplitude * std::sin(2.0 * kPi * freqHz * static_cast<double>(t) / fs));
      r.push_back(channels == 2 ? l.back() : 0.0);
    }
  }
  for (size_t i = 0; i < l.size(); i += 512) {
    const int n = static_cast<int>(std::min<size_t>(512, l.size() - i));
    meter.Process(l.data() + i, channels == 0 ? nullptr : r.data() + i, channels != 0, n);
  }
}

TEST(KWeighting, At48kHzIsThePublishedPreFilter) {
  BiquadSection shelf, highPass;
  DesignKWeighting(shelf, highPass, 48000.0);
  const double got[] = {shelf.b0, shelf.b1, shelf.b2, shelf.a1, shelf.a2,
                        highPass.b0, highPass.b1, highPass.b2, highPass.a1, highPass.a2};
  const double published[] = {1.53512485958697, -2.69169618940638, 1.19839281085285, -1.69065929318241,
                              0.73248077421585, 1.0, -2.0, 1.0, -1.99004745483398, 0.99007225036621};
  for (int i = 0; i < 10; ++i) EXPECT_NEAR(got[i], published[i], 1e-7) << i;
}

TEST(LoudnessMeter, SteadySinesReadTheirLevel) {
  const struct { double fs, freqHz, dbfs; int channels; double lufs; } cases[] = {
      {48000.0, 1000.0, -20.0, 2, -20.0},  {48000.0, 1000.0, -20.0, 1, -23.0}, {48000.0, 997.0, -23.0, 2, -23.0},
      {44100.0, 997.0, -20.0, 2, -20.0},   {44100.0, 1000.0, -20.0, 1, -23.0}, {44100.0, 1000.0, -20.0, 0, -23.0},
      {96000.0, 1000.0, -10.0, 2, -10.0},
  };
  for (const auto& c : cases) {
    LoudnessMeter meter;
    meter.Prepare(c.fs);
    Feed(meter, c.fs, {{c.dbfs, 5.0}}, c.channels, c.freqHz);
    for (float lufs : {meter.Momentary(), meter.ShortTerm(), meter.Integrated()}) {
      EXPECT_NEAR(lufs, c.lufs, 0.1) << c.fs << " Hz, " << c.freqHz << " Hz sine, channels " << c.channels;
    }
  }
}

// Stretches below -70 LUFS or 10 LU under the gated mean do not pull the integrated value down.
TEST(LoudnessMeter, IntegratedLoudnessGates) {
  const double bothLevels = 10.0 * std::log10((std::pow(10.0, -2.6) + std::pow(10.0, -2.0)) / 2.0);
  const struct { const char* name; std::vector<Segment> programme; double lufs; } cases[] = {
      {"quiet part under the relative gate", {{-36.0, 20.0}, {-23.0, 20.0}}, -23.0},
      {"both parts above the relative gate", {{-26.0, 20.0}, {-20.0, 20.0}}, bothLevels},
      {"silence and -80 dBFS", {{-20.0, 10.0}, {kSilent, 10.0}, {-80.0, 10.0}, {-20.0, 10.0}}, -20.0},
      {"absolute gate alone", {{-65.0, 10.0}, {-75.0, 10.0}}, -65.0},
      {"nothing above the absolute gate", {{-75.0, 10.0}}, -120.0},
      {"silence", {{kSilent, 2.0}}, -120.0},
  };
  for (const auto& c : cases) {
    LoudnessMeter meter;
    meter.Prepare(48000.0);
    Feed(meter, 48000.0, c.programme);
    EXPECT_NEAR(meter.Integrated(), c.lufs, 0.1) << c.name;
  }
}

// 400 ms and 3 s windows; a reset request or a new rate starts afresh (a same-rate prepare does
// not); non-finite samples do not poison the measurement.
TEST(LoudnessMeter, WindowsResetsAndNonFiniteSamples) {
  LoudnessMeter meter;
  meter.Prepare(48000.0);
  Feed(meter, 48000.0, {{-20.0, 0.399}});
  EXPECT_EQ(meter.Momentary(), -120.0f);
  EXPECT_EQ(meter.ShortTerm(), -120.0f);
  EXPECT_EQ(meter.Integrated(), -120.0f);
  Feed(meter, 48000.0, {{-20.0, 0.001}});
  EXPECT_NEAR(meter.Momentary(), -20.0, 0.1);
  EXPECT_NEAR(meter.ShortTerm(), -20.0, 0.1);
  Feed(meter, 48000.0, {{-30.0, 0.4}});
  EXPECT_NEAR(meter.Momentary(), -30.0, 0.1);
  EXPECT_GT(meter.ShortTerm(), -29.0);
  Feed(meter, 48000.0, {{-30.0, 2.6}});
  EXPECT_NEAR(meter.ShortTerm(), -30.0, 0.1);

  meter.RequestReset();
  Feed(meter, 48000.0, {{-20.0, 0.01}});
  EXPECT_EQ(meter.Momentary(), -120.0f);
  EXPECT_EQ(meter.Integrated(), -120.0f);
  Feed(meter, 48000.0, {{-20.0, 5.0}});
  const double bad[3] = {NAN, INFINITY, 0.0};
  meter.Process(bad, bad, true, 3);
  Feed(meter, 48000.0, {{-20.0, 5.0}});
  EXPECT_NEAR(meter.Momentary(), -20.0, 0.1);
  EXPECT_NEAR(meter.Integrated(), -20.0, 0.1);
  meter.Prepare(48000.0);
  EXPECT_NEAR(meter.Integrated(), -20.0, 0.1);
  meter.Prepare(44100.0);
  EXPECT_EQ(meter.Integrated(), -120.0f);
}

}  // namespace
}  // namespace kyr
