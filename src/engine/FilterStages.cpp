#include "FilterStages.h"

#include <algorithm>
#include <cmath>

#include "BlockOps.h"
#include "EqEngine.h"
#include "FilterDesign.h"
#include "LinearChain.h"

namespace kyr {
namespace {

// Prepares a stage for this block: clears its states when it was inactive, designs its
// second-order sections for 12 or 24 dB per octave and puts them into chain (the 6 dB slope
// adds nothing: its one-pole is set up by the caller).
int DesignStage(FilterStage& st, bool highpass, int32_t slope, float reso, double freqHz, double fs,
                LinearChain& chain, int channels) {
  if (!st.active) {
    ClearStates(st.first);
    ClearStates(st.second);
    st.onePole = OnePoleState{};
    st.active = 1;
  }
  const int sections = DesignFilterSections(st.first, st.second, highpass, slope, reso, freqHz, fs);
  for (int ch = 0; ch < channels && sections > 0; ++ch) {
    chain.Add(st.first, ch);
    if (sections == 2) chain.Add(st.second, ch);
  }
  return sections;
}

void ZeroNonFinite(double* buf, int n) {
  for (int i = 0; i < n; ++i) buf[i] = FiniteOrZero(buf[i]);
}

}  // namespace

int DesignFilterSections(BiquadSection& first, BiquadSection& second, bool highpass, int32_t slope, float reso,
                         double freqHz, double fs) {
  if (slope == 0) return 0;
  const double k = std::exp(kResonanceFactor * static_cast<double>(reso));
  if (slope == 1) {
    DesignPass(first, highpass, freqHz, kButterworthQ * k, fs);
    return 1;
  }
  DesignPass(first, highpass, freqHz, kFourthOrderQ1, fs);
  DesignPass(second, highpass, freqHz, kFourthOrderQ2 * k, fs);
  return 2;
}

void FilterStage::Prepare(double /*fs*/) { ClearForNewMode(); }

void FilterStage::ClearForNewMode() {
  ClearStates(first);
  ClearStates(second);
  onePole = OnePoleState{};
  active = 0;
}

void FilterStage::ClearNonFinite() {
  ClearNonFiniteStates(first);
  ClearNonFiniteStates(second);
  ClearNonFiniteStates(onePole);
}

double LowFilterFrequency(int32_t value) { return kLowFilterHz[std::clamp(value, 1, 6) - 1]; }

double HighFilterFrequency(int32_t value) { return kHighFilterHz[std::clamp(value, 1, 6) - 1]; }

void RunLowFilterStage(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                       double* outL, double* outR, int n) {
  FilterStage& st = eng.mLowStage;
  const double f = LowFilterFrequency(s.lfFilter);
  LinearChain chain;
  if (DesignStage(st, true, s.lfSlope, s.lfReso, f, eng.mSampleRate, chain, 2) == 0) {
    chain.coupling = &st.onePole;  // y = (x + y1 - x1) * p
    chain.couplingCoef = std::exp(-kTwoPi * f / eng.mSampleRate);
  }
  const double* const in[2] = {inL, inR};
  double* const out[2] = {outL, outR};
  chain.Run(in, out, nullptr, n);
  ZeroNonFinite(outL, n);
  ZeroNonFinite(outR, n);
}

void RunHighFilterStage(EqEngine& eng, const Settings& s, double* outL, double* outR, int n) {
  FilterStage& st = eng.mHighStage;
  const double f = HighFilterFrequency(s.hfFilter);
  // A mono block has one buffer: it is filtered once, with the left channel's states; the
  // second channel of the chain then runs nothing, on a scratch buffer.
  const bool mono = outL == outR;
  double* right = mono ? eng.mScratch.x[1] : outR;
  const int pass = mono ? kChunk : n;
  if (mono) std::fill(right, right + kChunk, 0.0);
  LinearChain chain;
  const int sections =
      DesignStage(st, false, s.hfSlope, s.hfReso, f, eng.mSampleRate, chain, mono ? 1 : 2);
  if (sections == 0) {
    chain.split = st.onePole.y1;  // y1 = y1 + (x - y1) * g, written over the output
    chain.splitCoef = 1.0 - std::exp(-kTwoPi * f / eng.mSampleRate);
  }
  for (int i0 = 0; i0 < n; i0 += pass) {
    const int m = std::min(pass, n - i0);
    double* const io[2] = {outL + i0, mono ? right : right + i0};
    chain.Run(io, io, io, m);
    if (mono) std::fill(right, right + m, 0.0);
    ZeroNonFinite(io[0], m);
    if (!mono) ZeroNonFinite(io[1], m);
  }
}

}  // namespace kyr
