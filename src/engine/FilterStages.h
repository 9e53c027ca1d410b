#pragma once

#include <cstdint>

#include "BiquadSection.h"
#include "EngineSettings.h"
#include "OnePoleState.h"

// The LF Filter (high-pass before the program equaliser) and HF Filter (low-pass after it)
// of Mode 0, each 6, 12 or 24 dB per octave with resonance. Audio thread only.
namespace kyr {

class EqEngine;

// One of the two stages: its sections, first-order state and active flag. The flag is set by
// the stage when it runs and cleared by a reset and a Mode change, which also clear the states.
struct FilterStage {
  BiquadSection first, second;
  OnePoleState onePole;  // 6 dB per octave slope (the HF stage uses only y1)
  uint8_t active = 0;

  void Prepare(double fs);
  void ClearForNewMode();
  void ClearNonFinite();
};

// LF Filter corner in hertz for a setting value 1..6 (above 6 counts as 6).
double LowFilterFrequency(int32_t value);
double HighFilterFrequency(int32_t value);

// The second-order sections of a 12 (one) or 24 dB per octave (two) stage with its resonance;
// returns how many. The 6 dB slope is a one-pole and designs none.
int DesignFilterSections(BiquadSection& first, BiquadSection& second, bool highpass, int32_t slope, float reso,
                         double freqHz, double fs);

// Filters the inputs into outL/outR (separate buffers; n samples each).
void RunLowFilterStage(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                       double* outL, double* outR, int n);

// Filters the outputs in place; a mono block (outL == outR) is filtered once, with the left
// channel's states.
void RunHighFilterStage(EqEngine& eng, const Settings& s, double* outL, double* outR, int n);

}  // namespace kyr
