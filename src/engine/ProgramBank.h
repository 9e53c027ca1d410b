#pragma once

#include "EngineSettings.h"
#include "EqEngine.h"
#include "Voicing.h"

// The program equaliser's filter bank (Mode 0): the fixed character shelf, the five
// passive-style bands and the Mid Boost band, designed once per block from the settings.
namespace kyr {

// Designs the character shelf and bands 1..5; a band that is switched on has its states
// cleared first, a band that is off becomes the identity with its states kept.
void DesignProgramBank(EqEngine& eng, const Settings& s);

// The Mid Boost band: +10 dB * m at Q 0.9 - 0.25 * m, or the identity when m <= 0.0001.
void DesignMidBoost(EqEngine& eng, const Settings& s);

}  // namespace kyr
