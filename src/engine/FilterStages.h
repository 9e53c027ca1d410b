#pragma once

#include "EngineSettings.h"
#include "EqEngine.h"

// The LF Filter (high-pass before the program equaliser) and HF Filter (low-pass after it)
// of Mode 0, each 6, 12 or 24 dB per octave with resonance. Audio thread only.
namespace kyr {

// LF Filter corner in hertz for a setting value 1..6 (above 6 counts as 6).
double LowFilterFrequency(int32_t value);
double HighFilterFrequency(int32_t value);

// Filters the inputs into outL/outR (separate buffers; n samples each).
void RunLowFilterStage(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                       double* outL, double* outR, int n);

// Filters the outputs in place; a mono block (outL == outR) is filtered once, with the left
// channel's states.
void RunHighFilterStage(EqEngine& eng, const Settings& s, double* outL, double* outR, int n);

}  // namespace kyr
