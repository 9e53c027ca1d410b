#include "BandListen.h"

#include <algorithm>

#include "BlockOps.h"
#include "FilterDesign.h"
#include "Metering.h"

namespace kyr {
namespace {

constexpr double kListenLowBoostHz[] = {20.0, 40.0, 60.0, 140.0};
constexpr double kListenLowCutHz[] = {30.0, 40.0, 100.0, 400.0};
constexpr double kListenMidBoostHz[] = {200.0, 350.0, 500.0, 700.0, 1000.0, 1500.0, 2000.0, 3000.0};
constexpr double kListenMidCutHz[] = {200.0, 300.0, 400.0, 500.0, 600.0, 700.0};
constexpr double kListenHighBoostHz[] = {2000.0, 3000.0,  4000.0,  5000.0,
                                         8000.0, 10000.0, 12000.0, 16000.0};
constexpr double kListenHighCutHz[] = {1700.0, 4000.0, 10000.0, 28000.0};
constexpr double kListenLoShelfHz[] = {43.0, 74.0, 84.0, 98.0, 116.0, 131.0, 166.0, 230.0, 361.0};
constexpr double kListenHiShelfHz[] = {1600.0, 1800.0, 2100.0, 2500.0,
                                       3400.0, 4800.0, 7100.0, 18000.0};

}  // namespace

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
    default: return 1000.0;
  }
}

void ProcessBandListen(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                       double* outL, double* outR, int n) {
  BiquadSection& bp = eng.mBandListen;
  if (s.bandListen != eng.mListenBand) {
    ClearStates(bp);
    eng.mListenBand = s.bandListen;
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
