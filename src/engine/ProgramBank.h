#pragma once

#include <cstdint>

#include "BiquadSection.h"
#include "EngineSettings.h"
#include "Voicing.h"

// The program equaliser's filter bank (Tube mode): the fixed character shelf, the five
// passive-style bands and the Mid Boost band, designed once per block from the settings.
// Audio thread only, apart from Prepare (main thread, no block running).
namespace kyr {

class EqEngine;

struct ProgramBankState {
  BiquadSection shelf;
  BiquadSection band[kNumProgramBands];
  uint8_t bandOn[kNumProgramBands] = {};
  BiquadSection midBoost;
  uint8_t midBoostOn = 0;

  // The character shelf, then the bands in signal order (not Mid Boost).
  template <typename Fn>
  void ForEachSection(Fn&& fn) {
    fn(shelf);
    for (BiquadSection& b : band) fn(b);
  }

  // Shelf and bands become the identity with their flags clear; Mid Boost keeps its
  // coefficients and loses its states and flag.
  void Prepare(double fs);
  // States of every section and the Mid Boost flag; the band flags survive.
  void ClearForNewMode();
  void ClearNonFinite();
};

// Designs the character shelf and the bands; a band that is switched on has its states
// cleared first, a band that is off becomes the identity with its states kept.
void DesignProgramBank(EqEngine& eng, const Settings& s);

// The Mid Boost band: +10 dB * m at Q 0.9 - 0.25 * m, or the identity when m <= 0.0001.
void DesignMidBoost(EqEngine& eng, const Settings& s);

}  // namespace kyr
