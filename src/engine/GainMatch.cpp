#include "GainMatch.h"

#include <cmath>

#include "FilterDesign.h"

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

void GainMatch::Process(const double* inL, const double* inR, double* outL, double* outR,
                        int n) {
  const bool stereo = outR != outL;
  const double am = mMeasureCoef, ag = mGainCoef;
  double msIn = mMsIn, msOut = mMsOut, gain = mGain;
  for (int i = 0; i < n; ++i) {
    const double eLIn = RunBiquad(mInHighPass, RunBiquad(mInShelf, inL[i], 0), 0);
    const double eLOut = RunBiquad(mOutHighPass, RunBiquad(mOutShelf, outL[i], 0), 0);
    double eRIn = eLIn, eROut = eLOut;
    if (stereo) {
      eRIn = RunBiquad(mInHighPass, RunBiquad(mInShelf, inR[i], 1), 1);
      eROut = RunBiquad(mOutHighPass, RunBiquad(mOutShelf, outR[i], 1), 1);
    }
    msIn = msIn + am * ((eLIn * eLIn + eRIn * eRIn) * 0.5 - msIn);
    msOut = msOut + am * ((eLOut * eLOut + eROut * eROut) * 0.5 - msOut);
    double r = std::sqrt((msIn + 1e-12) / (msOut + 1e-12));
    if (r < 0.25) {
      r = 0.25;
    } else if (r > 4.0) {
      r = 4.0;
    }
    gain = gain + ag * (r - gain);
    // The product can only overflow for outputs near the largest double; it is guarded like
    // every other output sample.
    const double l = outL[i] * gain;
    outL[i] = std::isfinite(l) ? l : 0.0;
    if (stereo) {
      const double rr = outR[i] * gain;
      outR[i] = std::isfinite(rr) ? rr : 0.0;
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
