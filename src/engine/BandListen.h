#pragma once

#include <cstdint>

#include "BiquadSection.h"
#include "EngineSettings.h"

// Band Listen: the input through one band-pass (Q 2, 0 dB at the centre) centred on the
// chosen control's frequency, at the output level, instead of any kernel. Audio thread only;
// the inputs never alias the outputs (the dispatcher hands over its copy of the input).
namespace kyr {

class EqEngine;

// The band-pass and the band it was last designed for. Both survive resets and Mode changes;
// the states are cleared when the band changes.
struct BandListenState {
  BiquadSection section;
  int32_t band = 0;

  void Prepare(double /*fs*/) {}
  void ClearForNewMode() {}
  void ClearNonFinite() { ClearNonFiniteStates(section); }
};

// Centre frequency in hertz for a Band Listen value, from the controls' display frequencies.
double BandListenFrequency(const Settings& s);

void ProcessBandListen(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                       double* outL, double* outR, int n);

}  // namespace kyr
