#pragma once

#include "EngineSettings.h"
#include "EqEngine.h"

// The program equaliser's filter bank (Mode 0): the fixed character shelf, the five
// passive-style bands and the Mid Boost band, designed once per block from the settings.
namespace kyr {

// Frequency tables of the program bands, in hertz, by frequency index.
inline constexpr double kLowCutHz[] = {69.0, 96.0, 198.0, 750.0};
inline constexpr double kLowBoostHz[] = {50.0, 90.0, 116.0, 236.0};
inline constexpr double kMidCutHz[] = {200.0, 300.0, 400.0, 500.0, 600.0, 700.0};
inline constexpr double kHighBoostHz[] = {2000.0, 3000.0,  4000.0,  5000.0,
                                          8000.0, 10000.0, 12000.0, 16000.0};
inline constexpr double kHighCutHz[] = {1700.0, 4000.0, 10000.0, 28000.0};
inline constexpr double kMidBoostHz[] = {200.0,  350.0,  500.0,  700.0,
                                         1000.0, 1500.0, 2000.0, 3000.0};

// Designs the character shelf and bands 1..5; a band that is switched on has its states
// cleared first, a band that is off becomes the identity with its states kept.
void DesignProgramBank(EqEngine& eng, const Settings& s);

// The Mid Boost band: +10 dB * m at Q 0.9 - 0.25 * m, or the identity when m <= 0.0001.
void DesignMidBoost(EqEngine& eng, const Settings& s);

}  // namespace kyr
