#pragma once

#include "EqEngine.h"

// The tube stage of the program mode and its block-level controls (Dynamic Tube, Push-Pull).
// Audio thread only.
namespace kyr {

// Runs the tube stage over a pass of both channels: y in (the equalised signal), t out. At
// the normal rate the split filter runs at the host rate; with hq the pass is upsampled,
// shaped at twice the rate and decimated. bias[c] (host rate, may be null) selects the biased
// curve. With hq the sub-samples into and out of the curves stay in scratch.u / scratch.v
// (2n values per channel) for the distortion measurement; without, they are y and t.
void RunTubeStage(EqEngine& eng, const double* const y[2], const double* const bias[2],
                  double drive, bool hq, double* const t[2], int n);

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

// One push-pull band: its section and envelope states for channel 0 and 1 (section states
// index c for channel c), and its amount.
struct PushPullBand {
  BiquadSection* section[2];
  PushPullBandState* state[2];
  double amount;
};

// The push-pull band steps over a pass of both channels, band after band: each band's
// contribution delta = section(x) - x is scaled by a gain that follows the band's envelopes
// and added to x before the next band.
void RunPushPullBands(EqEngine& eng, const PushPullBand* bands, int count, const PushPullParams& p,
                      double* const x[2], int n);

}  // namespace kyr
