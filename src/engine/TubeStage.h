#pragma once

#include "BiquadSection.h"
#include "EngineSettings.h"
#include "Oversampler.h"

// The tube stage of the program mode and its block-level controls (Dynamic Tube, Push-Pull).
// Audio thread only, apart from the states' Prepare (main thread, no block running).
namespace kyr {

class EqEngine;

inline constexpr double kSplitOmega = 4520.123509984995;  // 2 pi 719.4 Hz

// The split filter at the host rate and at twice it, and the oversampler around the curves.
struct TubeStageState {
  double splitCoef = 0.0, splitCoef2x = 0.0;
  double split[2] = {0.0, 0.0}, split2x[2] = {0.0, 0.0};
  HalfbandState upsampler[2], downsampler[2];

  void Prepare(double fs);
  // Only the host-rate split filter; the oversampled path keeps its states.
  void ClearForNewMode();
  void ClearNonFinite();
};

// Dynamic Tube: fast and slow envelopes of the block's input per channel and the drive gain.
struct DynamicDriveState {
  double fast[2] = {0.0, 0.0}, slow[2] = {0.0, 0.0};
  double gain = 0.0;  // 0 until the first block sets it
  double smooth3msCoef = 0.0, smooth80msCoef = 0.0;

  void Prepare(double fs);
  void ClearForNewMode() {}
  void ClearNonFinite();
};

// Envelopes and gain of one push-pull band on one channel.
struct PushPullBandState {
  double fast = 0.0, slow = 0.0, gain = 1.0;
};

// Envelopes cleared, gain 1 when it is not finite.
void ClearNonFiniteStates(PushPullBandState& s);

// Push-Pull of the Tube mode: the band envelopes (program bands by ProgramBand, then Mid
// Boost; index [band][channel]), the tube bias level per channel, and the smoothers that the
// Baxandall shelves' push-pull shares.
struct PushPullState {
  PushPullBandState band[kPushPullBands][2];
  double level[2] = {0.0, 0.0};
  double smooth1sCoef = 0.0, smooth10msCoef = 0.0, smooth80msCoef = 0.0;

  void Prepare(double fs);
  void ClearForNewMode() {}
  void ClearNonFinite();
};

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
