#include "FilterStages.h"

#include <algorithm>
#include <cmath>

#include "BlockOps.h"
#include "FilterDesign.h"

namespace kyr {
namespace {

constexpr double kLowFilterHz[] = {16.0, 22.0, 30.0, 40.0, 55.0, 80.0};
constexpr double kHighFilterHz[] = {22000.0, 18000.0, 15000.0, 12000.0, 10000.0, 8000.0};
constexpr double kButterworthQ = 0.70710678;
constexpr double kFourthOrderQ1 = 0.5411961;
constexpr double kFourthOrderQ2 = 1.30656296;

// Designs the second-order sections of a stage for 12 or 24 dB per octave; returns the
// number of sections to run (0 for the 6 dB slope).
int DesignStage(FilterStage& st, bool highpass, int32_t slope, float reso, double freqHz,
                double fs) {
  if (!st.active) {
    ClearStates(st.first);
    ClearStates(st.second);
    st.onePole = OnePoleState{};
    st.active = 1;
  }
  if (slope == 0) return 0;
  const double k = std::exp(1.95 * static_cast<double>(reso));
  if (slope == 1) {
    DesignPass(st.first, highpass, freqHz, kButterworthQ * k, fs);
    return 1;
  }
  DesignPass(st.first, highpass, freqHz, kFourthOrderQ1, fs);
  DesignPass(st.second, highpass, freqHz, kFourthOrderQ2 * k, fs);
  return 2;
}

void RunSections(FilterStage& st, int sections, double* buf, int n, int ch) {
  if (sections >= 1) RunBiquadBlock(st.first, buf, n, ch);
  if (sections >= 2) RunBiquadBlock(st.second, buf, n, ch);
  for (int i = 0; i < n; ++i) buf[i] = FiniteOrZero(buf[i]);
}

}  // namespace

double LowFilterFrequency(int32_t value) { return kLowFilterHz[std::clamp(value, 1, 6) - 1]; }

double HighFilterFrequency(int32_t value) { return kHighFilterHz[std::clamp(value, 1, 6) - 1]; }

void RunLowFilterStage(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                       double* outL, double* outR, int n) {
  FilterStage& st = eng.mLowStage;
  const double f = LowFilterFrequency(s.lfFilter);
  const int sections = DesignStage(st, true, s.lfSlope, s.lfReso, f, eng.mSampleRate);
  const double p = std::exp(-kTwoPi * f / eng.mSampleRate);
  const double* in[2] = {inL, inR};
  double* out[2] = {outL, outR};
  for (int ch = 0; ch < 2; ++ch) {
    std::copy(in[ch], in[ch] + n, out[ch]);
    if (sections == 0) OnePoleHighPassBlock(st.onePole, ch, p, out[ch], n);
    RunSections(st, sections, out[ch], n, ch);
  }
}

void RunHighFilterStage(EqEngine& eng, const Settings& s, double* outL, double* outR, int n) {
  FilterStage& st = eng.mHighStage;
  const double f = HighFilterFrequency(s.hfFilter);
  const int sections = DesignStage(st, false, s.hfSlope, s.hfReso, f, eng.mSampleRate);
  const double g = 1.0 - std::exp(-kTwoPi * f / eng.mSampleRate);
  const int channels = outL == outR ? 1 : 2;
  double* out[2] = {outL, outR};
  for (int ch = 0; ch < channels; ++ch) {
    if (sections == 0) OnePoleLowPassBlock(st.onePole.y1[ch], g, out[ch], out[ch], n);
    RunSections(st, sections, out[ch], n, ch);
  }
}

}  // namespace kyr
