#include "ProgramBank.h"

#include <cmath>

#include "BlockOps.h"
#include "EqEngine.h"
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
void DesignBand(EqEngine& eng, ProgramBand band, const BandVoicing& v, double freqHz,
                double amount, double width) {
  ProgramBankState& bank = eng.mBank;
  if (PrepareBand(bank.band[band], bank.bandOn[band], amount)) {
    DesignBiquad(bank.band[band], v.type, freqHz, BandGainDb(v, amount, width),
                 BandQ(v, amount, width), eng.mSampleRate);
  }
}

}  // namespace

void ProgramBankState::Prepare(double /*fs*/) {
  ForEachSection([](BiquadSection& s) { s = BiquadSection{}; });
  for (uint8_t& on : bandOn) on = 0;
  ClearStates(midBoost);
  midBoostOn = 0;
}

void ProgramBankState::ClearForNewMode() {
  ForEachSection([](BiquadSection& s) { ClearStates(s); });
  ClearStates(midBoost);
  midBoostOn = 0;
}

void ProgramBankState::ClearNonFinite() {
  ForEachSection([](BiquadSection& s) { ClearNonFiniteStates(s); });
  ClearNonFiniteStates(midBoost);
}

void DesignProgramBank(EqEngine& eng, const Settings& s) {
  const double fs = eng.mSampleRate;
  const BandVoicing& c = kCharacterShelf;
  DesignBiquad(eng.mBank.shelf, c.type, kCharacterShelfHz, BandGainDb(c, 1.0, 0.0),
               BandQ(c, 1.0, 0.0), fs);
  const double width = s.bandwidth;
  DesignBand(eng, kLowCutBand, kLowCutVoicing, TableValue(kLowCutHz, s.lowCutFreq), s.lowCut,
             width);
  DesignBand(eng, kLowBoostBand, kLowBoostVoicing, TableValue(kLowBoostHz, s.lowBoostFreq),
             s.lowBoost, width);
  DesignBand(eng, kMidCutBand, kMidCutVoicing, TableValue(kMidCutHz, s.midCutFreq), s.midCut,
             width);
  DesignBand(eng, kHighBoostBand, kHighBoostVoicing, TableValue(kHighBoostHz, s.highBoostFreq),
             s.highBoost, width);
  DesignBand(eng, kHighCutBand, kHighCutVoicing, TableValue(kHighCutHz, s.highCutFreq),
             s.highCut, width);
}

void DesignMidBoost(EqEngine& eng, const Settings& s) {
  const double m = s.midBoost;
  const BandVoicing& v = kMidBoostVoicing;
  ProgramBankState& bank = eng.mBank;
  if (PrepareBand(bank.midBoost, bank.midBoostOn, m)) {
    DesignBiquad(bank.midBoost, v.type, TableValue(kMidBoostHz, s.midBoostFreq),
                 BandGainDb(v, m, s.bandwidth), BandQ(v, m, s.bandwidth), eng.mSampleRate);
  }
}

}  // namespace kyr
