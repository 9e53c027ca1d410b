#pragma once

#include <cstdint>

#include "BiquadSection.h"
#include "EngineSettings.h"
#include "TubeStage.h"

// Mode 1 ("BAX"): low cut, first-order low and high shelves per channel (left/right or
// mid/side), high cut, tilt, width with bass mono and the output gain; the shelves can be
// reduced dynamically (ProcessBax) or modulated by push-pull (ProcessBaxPushPull).
// Audio thread only; inputs and outputs never alias (see ChannelKernels.h).
namespace kyr {

class EqEngine;

// BAX Dynamic detectors, index 0 channel A and 1 channel B: a 250 Hz and a 2500 Hz one-pole
// low-pass split each channel, and 0.12 s smoothers follow the two bands' magnitudes.
struct BaxDetector {
  double lp250[2] = {0.0, 0.0}, lp2500[2] = {0.0, 0.0};
  double envLo[2] = {0.0, 0.0}, envHi[2] = {0.0, 0.0};
  double lowPass250HzCoef = 0.0, lowPass2500HzCoef = 0.0, smooth120msCoef = 0.0;
};

struct BaxState {
  BiquadSection loCut, hiCut, loShelf[2], hiShelf[2], tiltLow, tiltHigh, bassMono;
  uint8_t loCutOn = 0, hiCutOn = 0, tiltOn = 0, widthOn = 0;
  BaxDetector detector;
  PushPullBandState pushPull[4];  // Lo A, Lo B, Hi A, Hi B

  template <typename Fn>
  void ForEachSection(Fn&& fn) {
    for (BiquadSection* s : {&loCut, &hiCut, &loShelf[0], &loShelf[1], &hiShelf[0], &hiShelf[1],
                             &tiltLow, &tiltHigh, &bassMono}) {
      fn(*s);
    }
  }

  // Section states and flags, detectors and push-pull envelopes cleared; the coefficients
  // stay until the next Baxandall block designs them.
  void Prepare(double fs);
  // Section states and the tilt and width flags; the cut flags survive.
  void ClearForNewMode();
  void ClearNonFinite();
};

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
