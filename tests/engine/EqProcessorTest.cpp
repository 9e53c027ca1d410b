#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "AllocationCounter.h"
#include "EngineTestUtil.h"
#include "EqProcessor.h"
#include "ParameterSet.h"

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace kyr {
namespace {

using namespace test;

// The recorded paths, plus first-order filter slopes and Clean under Bypass.
std::vector<Path> Configs() {
  std::vector<Path> v = Paths();
  v.push_back({"hq six", {{kHQOversample, 1}, {kLFFilter, 1}, {kLFSlope, 0}, {kHFFilter, 6}, {kHFSlope, 0}, {kInput, 100}}});
  v.push_back({"clean bypass", {{kClean, 1}, {kBypass, 1}, {kHFFilter, 4}, {kAutoGainMatch, 1}}});
  return v;
}

bool AllFinite(const std::vector<double>& v) {
  return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
}

// Band Listen skips the HF stage; BAX runs neither stage.
TEST(EqProcessor, PathsThatIgnoreTheFilterStages) {
  const std::pair<Params, Params> cases[] = {
      {{{kBandListen, 3}, {kBypass, 1}}, {{kHFFilter, 6}}},
      {{{kMode, 1}, {kBaxLoShelfL, 3}}, {{kLFFilter, 6}, {kHFFilter, 6}}},
  };
  const std::vector<double> x = TestSignal(0, 3000);
  for (const auto& [base, ignored] : cases) {
    Harness a, b;
    Apply(a.p, base);
    Apply(b.p, With(base, ignored));
    EXPECT_EQ(a.RunStereoSame(x), b.RunStereoSame(x)) << ignored.size();
  }
}

// A Mode or listened band change starts the new filters from silence (stale states would click):
// after each change the output equals a new plug-in's with the same settings.
TEST(EqProcessor, ModeAndListenedBandChangesStartFromSilence) {
  Params settings = {{kLowBoost, 100}, {kLFFilter, 4}, {kBaxLoShelfL, 4}};
  const std::vector<double> x = Sine(80.0, 48000.0, 1024, 0.7);
  Harness h;
  Apply(h.p, settings);
  const Params changes = {{kMode, 0}, {kMode, 1}, {kMode, 0}, {kMode, 1}, {kBandListen, 3}, {kBandListen, 4}};
  for (const auto& [idx, v] : changes) {
    settings.push_back({idx, v});
    Harness fresh;
    Apply(fresh.p, settings);
    h.Set(idx, v);
    EXPECT_EQ(h.RunStereoSame(x), fresh.RunStereoSame(x)) << idx << " " << v;
  }
}

// In-place, crossed, mono and reset-after-loud processing sound bit for bit like a new plug-in
// with separate buffers (Band Listen's section survives resets by design).
TEST(EqProcessor, InPlaceCrossedMonoAndResetGiveTheSameResult) {
  const int n = 3000, block = 300;
  const std::vector<double> l0 = TestSignal(0, n), r0 = TestSignal(1, n);
  for (const Path& c : Configs()) {
    for (int channels : {1, 2}) {
      Harness separate, inPlace, other;
      for (Harness* h : {&separate, &inPlace, &other}) Apply(h->p, c.params);
      std::vector<double> sl, sr, il = l0, ir = r0, ol, orr;
      if (std::string(c.name) != "band listen") {
        const std::vector<double> loud = TestSignal(1, 8192);  // ends in the loud section
        other.Run(loud, &loud, ol, orr, block);
        other.p.Reset(other.fs, 512);
      }
      separate.Run(l0, channels == 2 ? &r0 : nullptr, sl, sr, block);
      for (int i = 0; i < n; i += block) {
        double* io[2] = {il.data() + i, ir.data() + i};
        inPlace.p.Process(io, io, channels, channels, block);
      }
      EXPECT_EQ(sl, il) << c.name << channels;
      if (channels == 2) {
        EXPECT_EQ(sr, ir) << c.name;
      }
      EXPECT_EQ(separate.p.GetMeters().lufs.load(), inPlace.p.GetMeters().lufs.load()) << c.name;
      EXPECT_EQ(separate.p.GetMeters().xf.load(), inPlace.p.GetMeters().xf.load()) << c.name;
      if (channels == 1) {  // a mono block is the left channel of stereo with both inputs alike
        other.Run(l0, &l0, ol, orr, block);
        EXPECT_EQ(sl, ol) << c.name << " mono";
      } else {  // crossed: each output is the other channel's input buffer
        ol = l0;
        orr = r0;
        for (int i = 0; i < n; i += block) {
          double* in[2] = {ol.data() + i, orr.data() + i};
          double* out[2] = {orr.data() + i, ol.data() + i};
          other.p.Process(in, out, 2, 2, block);
        }
        EXPECT_EQ(sl, orr) << c.name;
        EXPECT_EQ(sr, ol) << c.name;
      }
    }
  }
}

// Every rate and path: no allocation, a non-finite sample never reaches the output and the sound
// recovers; empty and longer-than-announced blocks each count as one processed block.
TEST(EqProcessor, AnyRateAndBlockWithoutAllocatingAndRecoversFromNonFiniteInput) {
  const int block = 256, blocks = 60, n = block * blocks;
  const double bad[] = {NAN, INFINITY, -INFINITY};
  int run = 0;
  for (double fs : {8000.0, 44100.0, 48000.0, 96000.0, 192000.0, 384000.0}) {
    for (const Path& c : Configs()) {
      Harness hit(fs), clean(fs);
      Apply(hit.p, c.params);
      Apply(clean.p, c.params);
      std::vector<double> x = TestSignal(0, n), hl(n), hr(n), cl, cr;
      clean.Run(x, &x, cl, cr, block);
      x[block * 10 + 17] = bad[run++ % 3];
      test::AllocationCounter guard;
      hit.Run(x, &x, hl, hr, block);
      ASSERT_TRUE(AllFinite(hl) && AllFinite(hr)) << fs << c.name;
      double eh = 0.0, ec = 0.0;
      for (int i = n - 4 * block; i < n; ++i) {
        eh += hl[i] * hl[i];
        ec += cl[i] * cl[i];
      }
      EXPECT_NEAR(std::sqrt(eh / ec), 1.0, 0.3) << fs << c.name << x[block * 10 + 17];
      int processed = 0;
      double* io[2] = {hl.data(), hr.data()};
      for (int m : {0, 1, 4096, 77}) {
        for (int channels : {2, 1}) {
          hit.p.GetMeters().processed.store(0);
          hit.p.Process(io, io, channels, channels, m);
          processed += hit.p.GetMeters().processed.load();
        }
      }
      EXPECT_EQ(guard.Count(), 0) << fs << c.name;
      EXPECT_EQ(processed, 8) << fs << c.name;
      ASSERT_TRUE(AllFinite(hl) && AllFinite(hr)) << fs << c.name;
      EXPECT_TRUE(std::isfinite(hit.p.GetMeters().lufs.load()));
    }
  }
}

TEST(EqProcessor, ParameterChangesEveryBlockAtTheExtremes) {
  const auto& table = ParameterTable();
  std::mt19937 rng(3);
  Harness h(44100.0, 256);
  std::vector<double> l = TestSignal(0, 256), r = TestSignal(1, 256);
  for (int block = 0; block < 400; ++block) {
    for (int idx = 0; idx < kNumParams; ++idx) {
      const ParamDef& def = table[static_cast<size_t>(idx)];
      if (rng() % 3 == 0) h.Set(idx, rng() % 2 ? def.maxValue : def.minValue);
    }
    if (block % 50 == 0) h.Set(kBandListen, 0);
    double* io[2] = {l.data(), r.data()};
    h.p.Process(io, io, 2, 2, 256);
    ASSERT_TRUE(AllFinite(l) && AllFinite(r)) << block;
    for (int i = 0; i < 256; ++i) {  // feed fresh program material, scaled up now and then
      l[i] = 0.7 * std::sin((block * 256 + i) * 0.05) * (block % 7 == 0 ? 8.0 : 1.0);
      r[i] = l[i] * 0.5;
    }
  }
}

#if defined(__SSE__) || defined(__x86_64__)
TEST(EqProcessor, ProcessFlushesDenormals) {
  _mm_setcsr(_mm_getcsr() & ~0x8040u);
  EqProcessor p;
  double x[4] = {};
  double* io[2] = {x, x};
  p.Process(io, io, 1, 1, 4);
  EXPECT_EQ(_mm_getcsr() & 0x8040u, 0x8040u);
}
#endif

// Settings, meters and rings cross threads without a lock (run under ThreadSanitizer).
TEST(EqProcessor, UserInterfaceThreadRunsAlongsideTheAudioThread) {
  EqProcessor p;
  p.Reset(48000.0, 256);
  std::atomic<bool> done{false};
  std::thread ui([&] {
    std::vector<double> in(2048), out(2048);
    for (int k = 0; !done.load(); ++k) {
      p.OnParamChange(kLowBoost, k % 100);
      p.OnParamChange(kAutoGainMatch, k % 2);
      p.CopyLatestRings(in.data(), out.data());
      const LevelReadings levels = p.GetLevels();
      EXPECT_TRUE(std::isfinite(p.GetMeters().lufs.load() + p.GetMeters().ppg[3].load() + levels.integrated +
                               levels.gainMatchDb + levels.inputTruePeak));
      if (k % 50 == 0) p.ResetLoudness();
    }
  });
  std::vector<double> l = TestSignal(0, 256), r = TestSignal(1, 256);
  double* io[2] = {l.data(), r.data()};
  for (int block = 0; block < 200; ++block) p.Process(io, io, 2, 2, 256);
  done.store(true);
  ui.join();
  EXPECT_TRUE(AllFinite(l));
}

}  // namespace
}  // namespace kyr
