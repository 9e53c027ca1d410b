#pragma once

#include "EngineSettings.h"
#include "EqEngine.h"

// Mode 1 ("BAX"): low cut, first-order low and high shelves per channel (left/right or
// mid/side), high cut, tilt, width with bass mono and the output gain; the shelves can be
// reduced dynamically (ProcessBax) or modulated by push-pull (ProcessBaxPushPull).
// Audio thread only; inputs and outputs never alias (see ChannelKernels.h).
namespace kyr {

// Called by ProcessMain for Mode 1 blocks after its prologue.
void ProcessBax(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                double* outL, double* outR, int n, bool bypass, double outputGain);

// Mode 1 with Push-Pull active and Bypass off (selected by the dispatcher).
void ProcessBaxPushPull(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                        double* outL, double* outR, int n);

}  // namespace kyr
