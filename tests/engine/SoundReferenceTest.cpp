// Guards the sound of every path: outputs of a fixed stereo signal, in 64- and 32-bit host
// samples, stay within 1e-7 of SoundReference.inc (meters within a display tolerance). It holds
// every sample of the first frames after a reset, then every kStride-th: a changed filter,
// envelope or curve moves all later samples. To re-record (only for an intended change of sound):
//   KYR_WRITE_SOUND_REFERENCE=tests/engine/SoundReference.inc build/tests/engine/kyr_engine_tests
//       --gtest_filter='SoundReference.*'
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "EngineTestUtil.h"

namespace kyr {
namespace {

using namespace test;

constexpr int kFrames = 16384;
constexpr int kDenseFrames = 64;  // every sample of the first frames after the reset
constexpr int kStride = 97;       // then every kStride-th sample
constexpr double kScale = 1e9;    // reference units per full scale
constexpr double kMeterScale = 1e4;
constexpr double kTolerance = 1e-7;
constexpr double kMeterTolerance = 2e-3;  // the page shows meters as single-precision floats

bool Recorded(int i) { return i < kDenseFrames || i % kStride == 0; }

float MeterValue(const Meters& m, int k) {
  const std::atomic<float>* fields[] = {&m.thd, &m.drive, &m.loRed, &m.hiRed, &m.tp,     &m.lufs,    &m.xf,
                                        &m.tb,  &m.ease,  &m.ppg[0], &m.ppg[5], &m.ppbg[0], &m.ppbg[1]};
  return fields[k]->load();
}
constexpr int kMeterCount = 13;

// Runs one path in blocks of changing size (single: float host samples in and out); appends the
// recorded samples and the final meters.
void RunPath(const Path& path, bool single, std::vector<long long>& samples,
             std::vector<long long>& meters) {
  EqProcessor p;
  p.Reset(path.fs, 512);
  Apply(p, path.params);
  std::vector<double> in[2] = {TestSignal(0, kFrames), TestSignal(1, kFrames)};
  if (single) {
    for (auto& ch : in)
      for (double& v : ch) v = static_cast<float>(v);
  }
  std::vector<double> out[2] = {std::vector<double>(kFrames), std::vector<double>(kFrames)};
  const int blocks[] = {512, 333, 100, 512, 17, 480};
  const int channels = path.mono ? 1 : 2;
  for (int i = 0, b = 0; i < kFrames; ++b) {
    const int n = std::min(blocks[b % 6], kFrames - i);
    double* inputs[2] = {in[0].data() + i, in[1].data() + i};
    double* outputs[2] = {out[0].data() + i, out[1].data() + i};
    p.Process(inputs, outputs, channels, channels, n);
    i += n;
  }
  for (int ch = 0; ch < channels; ++ch) {
    for (int i = 0; i < kFrames; ++i) {
      if (!Recorded(i)) continue;
      const double v = single ? static_cast<float>(out[ch][i]) : out[ch][i];
      samples.push_back(std::llround(v * kScale));
    }
  }
  for (int k = 0; k < kMeterCount; ++k) {
    meters.push_back(std::llround(MeterValue(p.GetMeters(), k) * kMeterScale));
  }
}

#if __has_include("SoundReference.inc")
#include "SoundReference.inc"
#define KYR_HAVE_SOUND_REFERENCE 1
#endif

void WriteArray(FILE* f, const char* name, const std::vector<long long>& v) {
  std::fprintf(f, "const long long %s[] = {\n", name);
  for (size_t i = 0; i < v.size(); ++i) {
    std::fprintf(f, "%lld,%s", v[i], i % 12 == 11 ? "\n" : "");
  }
  std::fprintf(f, "};\n");
}

TEST(SoundReference, EveryPathMatchesTheRecordedOutput) {
  std::vector<long long> samples, meters;
  std::vector<size_t> starts;  // first sample of each path and precision
  for (const Path& path : Paths()) {
    for (bool single : {false, true}) {
      starts.push_back(samples.size());
      RunPath(path, single, samples, meters);
    }
  }
  if (const char* out = std::getenv("KYR_WRITE_SOUND_REFERENCE")) {
    FILE* f = std::fopen(out, "w");
    ASSERT_NE(f, nullptr) << out;
    std::fprintf(f,
                 "// Recorded outputs of SoundReferenceTest.cpp (units of 1e-9 full scale) and "
                 "meters (units of 1e-4).\n");
    WriteArray(f, "kSoundReference", samples);
    WriteArray(f, "kMeterReference", meters);
    std::fclose(f);
    GTEST_SKIP() << "reference written to " << out;
  }
#ifdef KYR_HAVE_SOUND_REFERENCE
  ASSERT_EQ(samples.size(), std::size(kSoundReference));
  ASSERT_EQ(meters.size(), std::size(kMeterReference));
  starts.push_back(samples.size());
  for (size_t run = 0; run + 1 < starts.size(); ++run) {
    const char* name = Paths()[run / 2].name;
    const char* precision = run % 2 == 0 ? "64-bit" : "32-bit";
    double worst = 0.0;
    size_t worstAt = 0;
    for (size_t i = starts[run]; i < starts[run + 1]; ++i) {
      const double d = std::fabs(static_cast<double>(samples[i] - kSoundReference[i])) / kScale;
      if (d > worst) {
        worst = d;
        worstAt = i - starts[run];
      }
    }
    EXPECT_LE(worst, kTolerance) << name << ", " << precision << ": recorded sample " << worstAt;
    for (int k = 0; k < kMeterCount; ++k) {
      const size_t i = run * kMeterCount + k;
      EXPECT_NEAR(meters[i] / kMeterScale, kMeterReference[i] / kMeterScale, kMeterTolerance)
          << name << ", " << precision << ": meter " << k;
    }
  }
#else
  FAIL() << "no recorded reference";
#endif
}

}  // namespace
}  // namespace kyr
