#pragma once

#include "EngineSettings.h"
#include "EqEngine.h"

// Mode 1 ("BAX"): low cut, first-order low and high shelves per channel (left/right or
// mid/side), high cut, tilt, width with bass mono and the output gain; the shelves can be
// reduced dynamically (ProcessBax) or modulated by push-pull (ProcessBaxPushPull).
// Audio thread only; inputs and outputs never alias (see ChannelKernels.h).
namespace kyr {

// A Baxandall shelf at gainDb: a first-order shelf whose corner moves away from baseHz by
// 10^(|gainDb| / 40) (outward for a boost, inward for a cut), at most 0.45 fs.
void DesignBaxShelf(BiquadSection& s, bool high, double baseHz, double gainDb, double fs);

// Called by ProcessMain for Mode 1 blocks after its prologue.
void ProcessBax(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                double* outL, double* outR, int n, bool bypass, double outputGain);

// Mode 1 with Push-Pull active and Bypass off (selected by the dispatcher).
void ProcessBaxPushPull(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                        double* outL, double* outR, int n);

}  // namespace kyr
