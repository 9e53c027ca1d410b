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

}  // namespace

void DesignProgramBank(EqEngine& eng, const Settings& s) {
  const double fs = eng.mSampleRate;
  BiquadSection* bank = eng.mProgram;
  DesignBiquad(bank[0], kHighShelf, 1589.8, 0.803, 0.461, fs);

  const double lowCut = s.lowCut, lowBoost = s.lowBoost, midCut = s.midCut;
  const double highBoost = s.highBoost, highCut = s.highCut, bandwidth = s.bandwidth;
  if (PrepareBand(bank[1], eng.mBandOn[1], lowCut)) {
    DesignBiquad(bank[1], kLowShelf, TableValue(kLowCutHz, s.lowCutFreq), -21.3 * lowCut, 0.48,
                 fs);
  }
  if (PrepareBand(bank[2], eng.mBandOn[2], lowBoost)) {
    DesignBiquad(bank[2], kLowShelf, TableValue(kLowBoostHz, s.lowBoostFreq), 21.6 * lowBoost,
                 0.47, fs);
  }
  if (PrepareBand(bank[3], eng.mBandOn[3], midCut)) {
    DesignBiquad(bank[3], kPeaking, TableValue(kMidCutHz, s.midCutFreq),
                 -12.4 * std::pow(midCut, 1.4), std::fmax(0.3, 3.7 * midCut - 0.72), fs);
  }
  if (PrepareBand(bank[4], eng.mBandOn[4], highBoost)) {
    DesignBiquad(bank[4], kPeaking, TableValue(kHighBoostHz, s.highBoostFreq),
                 (11.3 + 7.1 * bandwidth) * highBoost, 0.43 + 0.13 * bandwidth, fs);
  }
  if (PrepareBand(bank[5], eng.mBandOn[5], highCut)) {
    DesignBiquad(bank[5], kHighShelf, TableValue(kHighCutHz, s.highCutFreq), -13.0 * highCut,
                 0.47, fs);
  }
}

void DesignMidBoost(EqEngine& eng, const Settings& s) {
  const double m = s.midBoost;
  if (PrepareBand(eng.mMidBoost, eng.mMidBoostOn, m)) {
    DesignBiquad(eng.mMidBoost, kPeaking, TableValue(kMidBoostHz, s.midBoostFreq), 10.0 * m,
                 0.9 - 0.25 * m, eng.mSampleRate);
  }
}

}  // namespace kyr
