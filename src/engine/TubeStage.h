#pragma once

#include "EqEngine.h"

// The tube stage of the program mode and its block-level controls (Dynamic Tube, Push-Pull).
// Audio thread only.
namespace kyr {

// Runs one channel's tube stage over a pass: y in (the equalised signal), t out. At the
// normal rate the split filter runs at the host rate; with hq the pass is upsampled, shaped
// at twice the rate and decimated. bias (host rate, may be null) selects the biased curve.
// With hq the sub-samples into and out of the curves stay in scratch.u[ch] / scratch.v[ch]
// (2n values) for the distortion measurement; without, they are y and t themselves.
void RunTubeStage(EqEngine& eng, int ch, const double* y, const double* bias, double drive,
                  bool hq, double* t, int n);

// Dynamic drive gain g from the block's input (before the coupling filter); writes "ease".
double ComputeDynamicDriveGain(EqEngine& eng, float dynamicTube, const double* inL,
                               const double* inR, int n);

// Per-block push-pull constants.
struct PushPullParams {
  double fastCoef;  // from Push-Pull Speed
  double slowCoef;  // 1 s
  double gainCoef;  // 10 ms
  double pivot;
};
PushPullParams MakePushPullParams(const EqEngine& eng, float speed, float pivot);

// One push-pull band step over a pass of both channels: each channel's section contribution
// delta = section(x) - x is scaled by a gain that follows the band's envelopes, and added.
// section[c] and state[c] belong to channel c (section states index c).
void RunPushPullBand(EqEngine& eng, BiquadSection* const section[2],
                     PushPullBandState* const state[2], double amount, const PushPullParams& p,
                     double* const x[2], int n);

}  // namespace kyr
