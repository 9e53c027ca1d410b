#include "ProgramBank.h"

#include <cmath>

#include "BlockOps.h"
#include "FilterDesign.h"

namespace kyr {
namespace {

// Clears the states of a band that was off in the previous block, or makes an inactive band
// the identity; returns whether the band is on.
bool PrepareBand(BiquadSection& section, uint8_t& flag, double amount) {
  const bool on = amount > kActiveAmount;
  if (on && !flag) ClearStates(section);
  if (!on) SetIdentity(section);
  flag = on ? 1 : 0;
  return on;
}

// Designs one band of the bank from its voicing, when the band is on.
void DesignBand(EqEngine& eng, int i, const BandVoicing& v, double freqHz, double amount,
                double width) {
  if (PrepareBand(eng.mProgram[i], eng.mBandOn[i], amount)) {
    DesignBiquad(eng.mProgram[i], v.type, freqHz, BandGainDb(v, amount, width),
                 BandQ(v, amount, width), eng.mSampleRate);
  }
}

}  // namespace

void DesignProgramBank(EqEngine& eng, const Settings& s) {
  const double fs = eng.mSampleRate;
  const BandVoicing& c = kCharacterShelf;
  DesignBiquad(eng.mProgram[0], c.type, kCharacterShelfHz, BandGainDb(c, 1.0, 0.0), BandQ(c, 1.0, 0.0),
               fs);
  const double width = s.bandwidth;
  DesignBand(eng, 1, kLowCutVoicing, TableValue(kLowCutHz, s.lowCutFreq), s.lowCut, width);
  DesignBand(eng, 2, kLowBoostVoicing, TableValue(kLowBoostHz, s.lowBoostFreq), s.lowBoost, width);
  DesignBand(eng, 3, kMidCutVoicing, TableValue(kMidCutHz, s.midCutFreq), s.midCut, width);
  DesignBand(eng, 4, kHighBoostVoicing, TableValue(kHighBoostHz, s.highBoostFreq), s.highBoost,
             width);
  DesignBand(eng, 5, kHighCutVoicing, TableValue(kHighCutHz, s.highCutFreq), s.highCut, width);
}

void DesignMidBoost(EqEngine& eng, const Settings& s) {
  const double m = s.midBoost;
  const BandVoicing& v = kMidBoostVoicing;
  if (PrepareBand(eng.mMidBoost, eng.mMidBoostOn, m)) {
    DesignBiquad(eng.mMidBoost, v.type, TableValue(kMidBoostHz, s.midBoostFreq),
                 BandGainDb(v, m, s.bandwidth), BandQ(v, m, s.bandwidth), eng.mSampleRate);
  }
}

}  // namespace kyr
