#include "BandListen.h"

#include <algorithm>

#include "BlockOps.h"
#include "EqEngine.h"
#include "FilterDesign.h"
#include "Metering.h"

namespace kyr {

double BandListenFrequency(const Settings& s) {
  switch (s.bandListen) {
    case 1: return TableValue(kListenLowBoostHz, s.lowBoostFreq);
    case 2: return TableValue(kListenLowCutHz, s.lowCutFreq);
    case 3: return TableValue(kListenMidBoostHz, s.midBoostFreq);
    case 4: return TableValue(kListenMidCutHz, s.midCutFreq);
    case 5: return TableValue(kListenHighBoostHz, s.highBoostFreq);
    case 6: return TableValue(kListenHighCutHz, s.highCutFreq);
    case 7: return TableValue(kListenLoShelfHz, s.baxLoShelfFreq);
    case 8: return TableValue(kListenHiShelfHz, s.baxHiShelfFreq);
    default: return kListenDefaultHz;
  }
}

void ProcessBandListen(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                       double* outL, double* outR, int n) {
  BandListenState& listen = eng.mBandListen;
  BiquadSection& bp = listen.section;
  if (s.bandListen != listen.band) {
    ClearStates(bp);
    listen.band = s.bandListen;
  }
  DesignBandListen(bp, BandListenFrequency(s), eng.mSampleRate);
  const double level = OutputGain(s.output);
  for (int i = 0; i < n; ++i) {
    // Both inputs are read before either output is written.
    const double l = inL[i], r = inR[i];
    outL[i] = FiniteOrZero(RunBiquad(bp, l, 0) * level);
    outR[i] = FiniteOrZero(RunBiquad(bp, r, 1) * level);
  }
  MeterTail(eng, inL, inR, outL, outR, n);
  MarkMetersFresh(eng);
}

}  // namespace kyr
