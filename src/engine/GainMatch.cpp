#include "GainMatch.h"

#include <algorithm>
#include <cmath>

#include "FilterDesign.h"
#include "LinearChain.h"

namespace kyr {

void GainMatch::Reset(double fs) {
  for (BiquadSection* s : {&mInShelf, &mOutShelf}) {
    DesignBiquad(*s, kHighShelf, 1500.0, 4.0, 0.70710678, fs);
    ClearStates(*s);
  }
  for (BiquadSection* s : {&mInHighPass, &mOutHighPass}) {
    DesignButterworth(*s, true, 38.0, fs);
    ClearStates(*s);
  }
  mMsIn = mMsOut = 0.0;
  mGain = 1.0;
  mMeasureCoef = 1.0 - std::exp(-1.0 / (0.4 * fs));
  mGainCoef = 1.0 - std::exp(-1.0 / (0.3 * fs));
}

void GainMatch::Process(const double* inL, const double* inR, double* outL, double* outR, int n) {
  // Mono: one channel is weighted and scaled; the right-channel states are not touched.
  const bool stereo = outR != outL;
  const int channels = stereo ? 2 : 1;
  LinearChain inChain, outChain;
  for (int ch = 0; ch < channels; ++ch) {
    inChain.Add(mInShelf, ch);
    inChain.Add(mInHighPass, ch);
    outChain.Add(mOutShelf, ch);
    outChain.Add(mOutHighPass, ch);
  }
  const double am = mMeasureCoef, ag = mGainCoef;
  double msIn = mMsIn, msOut = mMsOut, gain = mGain;
  for (int i0 = 0; i0 < n; i0 += kPass) {
    const int m = std::min(kPass, n - i0);
    const double* const in[2] = {inL + i0, stereo ? inR + i0 : mZero};
    const double* const out[2] = {outL + i0, stereo ? outR + i0 : mZero};
    double* const eIn[2] = {mWeightedIn[0], mWeightedIn[1]};
    double* const eOut[2] = {mWeightedOut[0], mWeightedOut[1]};
    inChain.Run(in, eIn, nullptr, m);
    outChain.Run(out, eOut, nullptr, m);
    const double* eInR = stereo ? eIn[1] : eIn[0];
    const double* eOutR = stereo ? eOut[1] : eOut[0];
    for (int i = 0; i < m; ++i) {
      msIn = msIn + am * ((eIn[0][i] * eIn[0][i] + eInR[i] * eInR[i]) * 0.5 - msIn);
      msOut = msOut + am * ((eOut[0][i] * eOut[0][i] + eOutR[i] * eOutR[i]) * 0.5 - msOut);
      mRatio[i] = (msIn + 1e-12) / (msOut + 1e-12);
    }
    for (int i = 0; i < m; ++i) {
      double r = std::sqrt(mRatio[i]);
      if (r < 0.25) {
        r = 0.25;
      } else if (r > 4.0) {
        r = 4.0;
      }
      mRatio[i] = r;
    }
    double* l = outL + i0;
    double* rr = outR + i0;
    for (int i = 0; i < m; ++i) {
      gain = gain + ag * (mRatio[i] - gain);
      // The product can only overflow for outputs near the largest double; it is guarded
      // like every other output sample.
      const double vl = l[i] * gain;
      l[i] = std::isfinite(vl) ? vl : 0.0;
      if (stereo) {
        const double vr = rr[i] * gain;
        rr[i] = std::isfinite(vr) ? vr : 0.0;
      }
    }
  }
  mMsIn = msIn;
  mMsOut = msOut;
  mGain = gain;
}

void GainMatch::ClearNonFiniteStates() {
  bool bad = !std::isfinite(mMsIn) || !std::isfinite(mMsOut) || !std::isfinite(mGain);
  for (const BiquadSection* s : {&mInShelf, &mInHighPass, &mOutShelf, &mOutHighPass}) {
    for (int ch = 0; ch < 2; ++ch) {
      bad = bad || !std::isfinite(s->s1[ch]) || !std::isfinite(s->s2[ch]);
    }
  }
  if (!bad) return;
  for (BiquadSection* s : {&mInShelf, &mInHighPass, &mOutShelf, &mOutHighPass}) ClearStates(*s);
  mMsIn = mMsOut = 0.0;
  mGain = 1.0;
}

}  // namespace kyr
