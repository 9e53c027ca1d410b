#pragma once

#include <atomic>
#include <cstdint>

#include "BiquadSection.h"

// Auto Gain Match: scales the output so that its K-weighted loudness follows the input's,
// within 0.25 .. 4.0 (about +-12 dB), with a 0.4 s measurement and a 0.3 s gain glide.
// Process runs on the audio thread; SetEnabled on any thread; Reset on the main thread
// while no block is processed.
namespace kyr {

class GainMatch {
 public:
  void Reset(double fs);
  void SetEnabled(bool on) { mEnabled.store(on ? 1 : 0, std::memory_order_relaxed); }
  bool Enabled() const { return mEnabled.load(std::memory_order_relaxed) != 0; }
  // inL/inR: the block's real input; outL/outR: the processed output, scaled in place. A mono
  // block passes the same output buffer twice and is measured and scaled once.
  void Process(const double* inL, const double* inR, double* outL, double* outR, int n);
  // Clears a state that has become infinite or not a number (gain back to 1).
  void ClearNonFiniteStates();
  double Gain() const { return mGain; }

 private:
  BiquadSection mInShelf, mInHighPass, mOutShelf, mOutHighPass;
  double mMsIn = 0.0, mMsOut = 0.0;
  double mGain = 1.0;
  double mMeasureCoef = 0.0, mGainCoef = 0.0;
  std::atomic<uint8_t> mEnabled{0};

  // Working buffers of one pass (no allocation on the audio thread).
  static constexpr int kPass = 128;
  double mWeightedIn[2][kPass] = {};
  double mWeightedOut[2][kPass] = {};
  double mRatio[kPass] = {};
  double mZero[kPass] = {};  // the unused second channel of a mono block
};

}  // namespace kyr
