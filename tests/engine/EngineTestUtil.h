#pragma once

#include <cmath>
#include <utility>
#include <vector>

#include "EParams.h"
#include "EqProcessor.h"

// Signals, measurements and a processor harness shared by the engine tests.
namespace kyr::test {

inline constexpr double kPi = 3.141592653589793;

inline double Db(double gain) { return 20.0 * std::log10(gain); }

inline std::vector<double> Sine(double freqHz, double fs, int n, double amplitude = 0.5) {
  std::vector<double> x(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) x[i] = amplitude * std::sin(2.0 * kPi * freqHz * i / fs);
  return x;
}

// Amplitude of the freqHz component of y[from, from + count) (exact over whole periods).
inline double Amplitude(const std::vector<double>& y, double freqHz, double fs, int from,
                        int count) {
  double s = 0.0, c = 0.0;
  for (int i = from; i < from + count; ++i) {
    const double w = 2.0 * kPi * freqHz * i / fs;
    s += y[i] * std::sin(w);
    c += y[i] * std::cos(w);
  }
  return 2.0 * std::hypot(s, c) / count;
}

// Partials and noise in moderate, loud (deep in the knees), silent and quiet sections of 4096 frames.
inline std::vector<double> TestSignal(int ch, int frames) {
  std::vector<double> x(static_cast<size_t>(frames));
  unsigned seed = 777u + 31u * static_cast<unsigned>(ch);
  for (int i = 0; i < frames; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.08;
    const double t = i / 48000.0;
    const double f = ch == 0 ? 110.0 : 165.0;
    double v = 0.45 * std::sin(2 * kPi * f * t) + 0.2 * std::sin(2 * kPi * 1250.0 * t + ch) +
               0.1 * std::sin(2 * kPi * 7100.0 * t) + noise;
    const int section = (i / 4096) % 4;
    const double level[] = {0.6, 1.6, 0.0, 0.05};
    x[i] = v * level[section];
  }
  return x;
}

// A processor fed block by block with separate input and output buffers.
struct Harness {
  EqProcessor p;
  double fs;
  explicit Harness(double sampleRate = 48000.0, int maxBlock = 512) : fs(sampleRate) {
    p.Reset(sampleRate, maxBlock);
  }
  void Set(int idx, double v) { p.OnParamChange(idx, v); }
  // Processes stereo (or mono when right is null) input in blocks; returns left and right.
  void Run(const std::vector<double>& inL, const std::vector<double>* inR,
           std::vector<double>& outL, std::vector<double>& outR, int block = 256) {
    const int n = static_cast<int>(inL.size());
    outL.assign(n, 0.0);
    outR.assign(n, 0.0);
    for (int i = 0; i < n; i += block) {
      const int m = std::min(block, n - i);
      double* in[2] = {const_cast<double*>(inL.data()) + i,
                       inR ? const_cast<double*>(inR->data()) + i : nullptr};
      double* out[2] = {outL.data() + i, outR.data() + i};
      const int channels = inR ? 2 : 1;
      p.Process(in, out, channels, channels, m);
    }
  }
  std::vector<double> RunStereoSame(const std::vector<double>& x, int block = 256) {
    std::vector<double> l, r;
    Run(x, &x, l, r, block);
    return l;
  }
};

using Params = std::vector<std::pair<int, double>>;

struct Path { const char* name; Params params; bool mono = false; double fs = 48000.0; };

inline const Params kBands = {{kLowCut, 40},  {kLowBoost, 60}, {kMidCut, 30}, {kHighBoost, 50}, {kBandwidth, 40},
                              {kHighCut, 25}, {kMidBoost, 45}, {kLFFilter, 3}, {kHFFilter, 2},   {kLFSlope, 2},
                              {kHFSlope, 2},  {kAutoGainMatch, 1}};
inline const Params kCleanBands = {{kLowCut, 40},   {kLowBoost, 60}, {kMidCut, 30}, {kHighBoost, 50},
                                   {kBandwidth, 40}, {kHighCut, 25}, {kMidBoost, 45}, {kClean, 1}};

inline Params With(Params base, const Params& extra) {
  base.insert(base.end(), extra.begin(), extra.end());
  return base;
}

// Every path and corner (mono, another rate), in the recorded sound reference's order.
inline const std::vector<Path>& Paths() {
  static const std::vector<Path> paths = {
      {"defaults", {}},
      {"clean program", kCleanBands},
      {"program bands", kBands},
      {"program bands hq", With(kBands, {{kHQOversample, 1}})},
      {"dynamic tube", With(kBands, {{kDynamicTube, 70}})},
      {"push-pull", With(kBands, {{kPushPull, 60}, {kPushPullPivot, 0.3}})},
      {"push-pull hq", With(kBands, {{kPushPull, 60}, {kHQOversample, 1}})},
      {"heaviest", With(kBands, {{kPushPull, 60}, {kHQOversample, 1}, {kDynamicTube, 70}, {kInput, 80}})},
      {"filters hot, slopes and resonance",
       {{kInput, 100}, {kLFFilter, 5}, {kLFSlope, 0}, {kLFReso, 70}, {kHFFilter, 4},
        {kHFSlope, 2}, {kHFReso, 60}, {kBandListen, 0}, {kOutput, 30}}},
      {"bypass", {{kBypass, 1}, {kLFFilter, 2}, {kHFFilter, 5}, {kAutoGainMatch, 1}}},
      {"bax", {{kMode, 1}, {kBaxDynamic, 60}, {kBaxStereoMode, 1}, {kTilt, 1.5}, {kWidth, 140}, {kBassMono, 2},
               {kBaxLoShelfL, 3}, {kBaxHiShelfL, -2}, {kBaxLoCut, 2}, {kBaxHiCut, 3}}},
      {"bax unlinked push-pull",
       {{kMode, 1}, {kPushPull, 80}, {kBaxLink, 0}, {kBaxLoShelfL, 3}, {kBaxHiShelfR, -4},
        {kWidth, 0}, {kAutoGainMatch, 1}}},
      {"band listen", {{kBandListen, 3}, {kLFFilter, 2}, {kAutoGainMatch, 1}}},
      {"mono program bands", kBands, true},
      {"96 kHz hq dynamic", With(kBands, {{kHQOversample, 1}, {kDynamicTube, 40}}), false,
       96000.0},
  };
  return paths;
}

inline void Apply(EqProcessor& p, const Params& params) { for (const auto& [idx, v] : params) p.OnParamChange(idx, v); }

}  // namespace kyr::test
