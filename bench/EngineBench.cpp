// Speed of the engine's processing paths: seconds of 48 kHz stereo audio processed per CPU
// second ("xRealtime"), and the cost of each path as a multiple of a floor reference of eight
// bare transposed-direct-form-II biquads per channel ("xFloor"). Paths run as in a session
// with no editor open (no meter reader), except the one named EditorOpen; the Host32/Host64
// pairs run through the framework's processor base with 32-bit and 64-bit host buffers.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <utility>
#include <vector>

#include "BiquadSection.h"
#include "EParams.h"
#include "EqProcessor.h"
#include "FilterDesign.h"
#include "framework/IPluginProcessor.h"

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr int kSignalFrames = 48000;

using Params = std::vector<std::pair<int, double>>;

// One second of a program-like stereo signal: a few partials and a little noise.
struct Signal {
  std::vector<double> l, r;
  Signal() : l(kSignalFrames), r(kSignalFrames) {
    unsigned seed = 12345;
    for (int i = 0; i < kSignalFrames; ++i) {
      seed = seed * 1664525u + 1013904223u;
      const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.05;
      const double t = i / kRate;
      l[i] = 0.4 * std::sin(2 * M_PI * 110 * t) + 0.2 * std::sin(2 * M_PI * 1250 * t) + noise;
      r[i] = 0.35 * std::sin(2 * M_PI * 165 * t) + 0.15 * std::sin(2 * M_PI * 3300 * t) - noise;
    }
  }
};

const Signal& TestSignal() {
  static const Signal signal;
  return signal;
}

// The floor reference: eight biquads per channel, run sample by sample.
struct Floor {
  kyr::BiquadSection sections[8];
  Floor() {
    for (int k = 0; k < 8; ++k)
      kyr::DesignBiquad(sections[k], kyr::kPeaking, 100.0 * (k + 1), 3.0, 1.0, kRate);
  }
  void Process(const double* inL, const double* inR, double* outL, double* outR, int n) {
    for (int i = 0; i < n; ++i) {
      double l = inL[i], r = inR[i];
      for (kyr::BiquadSection& s : sections) {
        l = kyr::RunBiquad(s, l, 0);
        r = kyr::RunBiquad(s, r, 1);
      }
      outL[i] = l;
      outR[i] = r;
    }
  }
};

double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// CPU seconds per frame of the floor reference, measured once: the best of several short
// runs, so that a busy machine disturbs the reference as little as possible.
double FloorSecondsPerFrame() {
  static const double perFrame = [] {
    Floor floor;
    const Signal& s = TestSignal();
    std::vector<double> outL(kBlock), outR(kBlock);
    double best = 1.0;
    for (int run = 0; run < 8; ++run) {
      const double start = CpuSeconds();
      long frames = 0;
      double elapsed = 0.0;
      while (elapsed < 0.04) {
        for (int i = 0; i + kBlock <= kSignalFrames; i += kBlock) {
          floor.Process(&s.l[i], &s.r[i], outL.data(), outR.data(), kBlock);
          frames += kBlock;
        }
        benchmark::DoNotOptimize(outL.data());
        elapsed = CpuSeconds() - start;
      }
      best = std::min(best, elapsed / static_cast<double>(frames));
    }
    return best;
  }();
  return perFrame;
}

void SetCounters(benchmark::State& state) {
  state.counters["xRealtime"] =
      benchmark::Counter(kBlock / kRate, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["xFloor"] = benchmark::Counter(
      kBlock * FloorSecondsPerFrame(),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Processes the test signal block by block (in place, as many hosts do) with the given
// parameters; with decay the signal falls by 240 dB per block, so that after a few blocks the
// input is silence and every state decays through the denormal range.
void RunProcessor(benchmark::State& state, const Params& params, bool decay = false,
                  bool visitBax = false, bool reader = false) {
  kyr::EqProcessor p;
  p.Reset(kRate, kBlock);
  p.GetMeters().reader.store(reader ? 1 : 0);
  const Signal& s = TestSignal();
  std::vector<double> l(kBlock), r(kBlock);
  if (visitBax) {
    // A block in each Mode and back: the split-band analysis has to run its own chain until
    // its states meet the kernel's again.
    double* io[2] = {l.data(), r.data()};
    for (int mode : {0, 1, 0}) {
      p.OnParamChange(kyr::kMode, mode);
      std::copy(s.l.begin(), s.l.begin() + kBlock, l.begin());
      std::copy(s.r.begin(), s.r.begin() + kBlock, r.begin());
      p.Process(io, io, 2, 2, kBlock);
    }
  }
  for (const auto& [idx, value] : params) p.OnParamChange(idx, value);
  int pos = 0;
  double level = 1.0;
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i) {
      l[i] = s.l[pos + i] * level;
      r[i] = s.r[pos + i] * level;
    }
    double* io[2] = {l.data(), r.data()};
    p.Process(io, io, 2, 2, kBlock);
    benchmark::DoNotOptimize(l.data());
    pos = pos + 2 * kBlock > kSignalFrames ? 0 : pos + kBlock;
    if (decay) level = pos == 0 ? 1.0 : level * 1e-12;
  }
  SetCounters(state);
}

// The engine behind the framework's processor base, as the plug-in runs it: the host's
// buffers are attached (32-bit ones converted in and out), then the block is processed.
class HostedEngine : public oskel::IPluginProcessor {
 public:
  static oskel::PluginConfig Config() {
    oskel::PluginConfig c;
    c.channelIOStr = "1-1 2-2";
    return c;
  }
  HostedEngine() : IPluginProcessor(Config(), oskel::kAPIVST3) {
    SetSampleRate(kRate);
    SetBlockSize(kBlock);
    mEngine.Reset(kRate, kBlock);
    mEngine.GetMeters().reader.store(0);
    SetChannelConnections(oskel::kInput, 0, 2, true);
    SetChannelConnections(oskel::kOutput, 0, 2, true);
  }
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override {
    mEngine.Process(inputs, outputs, NChannelsConnected(oskel::kInput),
                    NChannelsConnected(oskel::kOutput), nFrames);
  }
  // One host block in place, as many hosts pass it.
  template <typename Sample>
  void Run(Sample* const* io, int n) {
    AttachBuffers(oskel::kInput, 0, 2, io, n);
    AttachBuffers(oskel::kOutput, 0, 2, io, n);
    ProcessBuffers(Sample{}, n);
  }
  kyr::EqProcessor mEngine;
};

template <typename Sample>
void RunHosted(benchmark::State& state, const std::vector<std::pair<int, double>>& params) {
  HostedEngine host;
  for (const auto& [idx, value] : params) host.mEngine.OnParamChange(idx, value);
  const Signal& s = TestSignal();
  std::vector<Sample> l(kBlock), r(kBlock);
  int pos = 0;
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i) {
      l[i] = static_cast<Sample>(s.l[pos + i]);
      r[i] = static_cast<Sample>(s.r[pos + i]);
    }
    Sample* io[2] = {l.data(), r.data()};
    host.Run(io, kBlock);
    benchmark::DoNotOptimize(l.data());
    pos = pos + 2 * kBlock > kSignalFrames ? 0 : pos + kBlock;
  }
  SetCounters(state);
}

const Params kBands = {{kyr::kLowCut, 40},    {kyr::kLowBoost, 60},  {kyr::kMidCut, 30},
                       {kyr::kHighBoost, 50}, {kyr::kBandwidth, 40}, {kyr::kHighCut, 25},
                       {kyr::kMidBoost, 45},  {kyr::kLFFilter, 3},   {kyr::kHFFilter, 2},
                       {kyr::kLFSlope, 2},    {kyr::kHFSlope, 2},    {kyr::kAutoGainMatch, 1}};

const Params kClean = {{kyr::kLowCut, 40},    {kyr::kLowBoost, 60},  {kyr::kMidCut, 30},
                       {kyr::kHighBoost, 50}, {kyr::kBandwidth, 40}, {kyr::kHighCut, 25},
                       {kyr::kMidBoost, 45},  {kyr::kClean, 1}};

Params With(Params base, const Params& extra) {
  base.insert(base.end(), extra.begin(), extra.end());
  return base;
}

void BM_Floor(benchmark::State& state) {
  Floor floor;
  const Signal& s = TestSignal();
  std::vector<double> outL(kBlock), outR(kBlock);
  int pos = 0;
  for (auto _ : state) {
    floor.Process(&s.l[pos], &s.r[pos], outL.data(), outR.data(), kBlock);
    benchmark::DoNotOptimize(outL.data());
    pos = pos + 2 * kBlock > kSignalFrames ? 0 : pos + kBlock;
  }
  SetCounters(state);
}

void BM_Defaults(benchmark::State& state) { RunProcessor(state, {}); }
void BM_DefaultsEditorOpen(benchmark::State& state) { RunProcessor(state, {}, false, false, true); }
void BM_DefaultsDecayingToSilence(benchmark::State& state) { RunProcessor(state, {}, true); }
void BM_DefaultsAfterBax(benchmark::State& state) { RunProcessor(state, {}, false, true); }
void BM_CleanProgram(benchmark::State& state) {
  // The five bands and Mid Boost of ProgramBands with Clean on: no tube, no LF/HF filter, no
  // gain match.
  RunProcessor(state, kClean);
}
void BM_ProgramBands(benchmark::State& state) { RunProcessor(state, kBands); }
void BM_ProgramBandsHQ(benchmark::State& state) {
  RunProcessor(state, With(kBands, {{kyr::kHQOversample, 1}}));
}
void BM_DynamicTube(benchmark::State& state) {
  RunProcessor(state, With(kBands, {{kyr::kDynamicTube, 70}}));
}
void BM_PushPullHQ(benchmark::State& state) {
  RunProcessor(state, With(kBands, {{kyr::kPushPull, 60}, {kyr::kHQOversample, 1}}));
}
void BM_Heaviest(benchmark::State& state) {
  RunProcessor(state, With(kBands, {{kyr::kPushPull, 60},
                                    {kyr::kHQOversample, 1},
                                    {kyr::kDynamicTube, 70},
                                    {kyr::kInput, 80}}));
}
void BM_Bax(benchmark::State& state) {
  RunProcessor(state, {{kyr::kMode, 1},
                       {kyr::kBaxDynamic, 60},
                       {kyr::kBaxStereoMode, 1},
                       {kyr::kTilt, 1.5},
                       {kyr::kWidth, 140},
                       {kyr::kBassMono, 2},
                       {kyr::kBaxLoShelfL, 3},
                       {kyr::kBaxHiShelfL, -2},
                       {kyr::kBaxLoCut, 2},
                       {kyr::kBaxHiCut, 3}});
}
void BM_BandListen(benchmark::State& state) {
  RunProcessor(state, {{kyr::kBandListen, 3}, {kyr::kAutoGainMatch, 1}});
}

void BM_DefaultsHost64(benchmark::State& state) { RunHosted<double>(state, {}); }
void BM_DefaultsHost32(benchmark::State& state) { RunHosted<float>(state, {}); }
void BM_CleanProgramHost64(benchmark::State& state) { RunHosted<double>(state, kClean); }
void BM_CleanProgramHost32(benchmark::State& state) { RunHosted<float>(state, kClean); }
void BM_ProgramBandsHost64(benchmark::State& state) { RunHosted<double>(state, kBands); }
void BM_ProgramBandsHost32(benchmark::State& state) { RunHosted<float>(state, kBands); }

BENCHMARK(BM_Floor);
BENCHMARK(BM_Defaults);
BENCHMARK(BM_DefaultsEditorOpen);
BENCHMARK(BM_DefaultsDecayingToSilence);
BENCHMARK(BM_DefaultsAfterBax);
BENCHMARK(BM_CleanProgram);
BENCHMARK(BM_ProgramBands);
BENCHMARK(BM_ProgramBandsHQ);
BENCHMARK(BM_DynamicTube);
BENCHMARK(BM_PushPullHQ);
BENCHMARK(BM_Heaviest);
BENCHMARK(BM_Bax);
BENCHMARK(BM_BandListen);
BENCHMARK(BM_DefaultsHost64);
BENCHMARK(BM_DefaultsHost32);
BENCHMARK(BM_CleanProgramHost64);
BENCHMARK(BM_CleanProgramHost32);
BENCHMARK(BM_ProgramBandsHost64);
BENCHMARK(BM_ProgramBandsHost32);

}  // namespace

BENCHMARK_MAIN();
