#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "BiquadSection.h"
#include "CurveKernels.h"
#include "EngineSettings.h"
#include "Meters.h"
#include "Oversampler.h"
#include "Voicing.h"

// The equaliser's signal-processing object: settings record, sample rate, every filter,
// envelope and oversampler state and coefficient, the meter values and the history rings.
// One per plug-in instance, never resized. The kernels, stages and metering (free functions
// taking it by reference) run on the audio thread; PrepareEngine runs on the main thread
// while no block is processed; the settings record and the meters are the only parts
// touched from other threads.
namespace kyr {

inline constexpr int kChunk = 128;          // frames per pass of the block loops
inline constexpr int kRingSize = 4096;      // history ring length, samples
inline constexpr int kProgramSections = 6;  // character shelf and bands 1..5
inline constexpr int kPushPullBands = 6;    // bands 1..5 and Mid Boost
inline constexpr double kSplitOmega = 4520.123509984995;  // 2 pi 719.4 Hz

// One-pole high-pass states: previous input and output per channel.
struct OnePoleState {
  double x1[2] = {0.0, 0.0};
  double y1[2] = {0.0, 0.0};
};

// The LF (high-pass) and HF (low-pass) filter stages around the program equaliser.
struct FilterStage {
  BiquadSection first, second;
  OnePoleState onePole;  // 6 dB per octave slope (the HF stage uses only y1)
  uint8_t active = 0;
};

// Envelopes and gain of one push-pull band on one channel.
struct PushPullBandState {
  double fast = 0.0, slow = 0.0, gain = 1.0;
};

struct DynamicDriveState {
  double fast[2] = {0.0, 0.0}, slow[2] = {0.0, 0.0};
  double gain = 0.0;  // 0 until the first block sets it
};

// BAX Dynamic detectors, index 0 channel A and 1 channel B.
struct BaxDetector {
  double lp250[2] = {0.0, 0.0}, lp2500[2] = {0.0, 0.0};
  double envLo[2] = {0.0, 0.0}, envHi[2] = {0.0, 0.0};
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
};

// The split-band analysis runs its own copy of the coupling filter, the character shelf and
// bands 1..5 and the split filter over the block's input.
struct SplitAnalysisState {
  OnePoleState coupling;
  BiquadSection sections[kProgramSections];  // coefficients copied from the kernel's bank
  double split[2] = {0.0, 0.0};
};

struct MeterState {
  BiquadSection shelf, highPass;  // loudness weighting (mono)
  double meanSquare = 0.0;
  double coef = 0.0;
  double history[2][4] = {};  // last four output samples per channel, oldest first
  // Written by the audio thread, copied by the user-interface thread: relaxed atomics.
  // kRingSize entries each, allocated with the engine.
  std::unique_ptr<std::atomic<double>[]> inputRing;
  std::unique_ptr<std::atomic<double>[]> outputRing;
  std::atomic<uint32_t> ringCounter{0};
};

// Per-pass working buffers of the block loops (no allocation on the audio thread).
struct KernelScratch {
  alignas(64) double x[2][kChunk];      // chain signal per channel
  alignas(64) double u[2][2 * kChunk];  // tube input at the tube rate
  alignas(64) double e[2][2 * kChunk];  // split-filter low band at the tube rate
  alignas(64) double v[2][2 * kChunk];  // tube output at the tube rate
  alignas(64) double t[2][kChunk];      // tube output at the host rate
  alignas(64) double bias[2][kChunk];   // push-pull bias
  alignas(64) double ya[2][kChunk];     // split-band analysis signal
  alignas(64) double ea[2][kChunk];     // split-band analysis low band
  alignas(64) double lowErr[2][kChunk];
  alignas(64) double highErr[2][kChunk];
  // Push-pull, for two bands in turn: contribution, fast envelope (then gain target), slow
  // envelope, per channel.
  alignas(64) double delta[2][2][kChunk];
  alignas(64) double fast[2][2][kChunk];
  alignas(64) double slow[2][2][kChunk];
};

class EqEngine {
 public:
  EqEngine();
  EqEngine(const EqEngine&) = delete;
  EqEngine& operator=(const EqEngine&) = delete;

  // The engine's part of a reset: stores fs, clears every state listed for a reset and
  // recomputes every rate-dependent coefficient. Main thread, never during a block.
  void PrepareEngine(double fs);
  // Clears the filter states of both Modes on a Mode change (first block in a new Mode).
  void ClearModeStates();
  // End-of-block guard: a filter, envelope or gain state that has become infinite or not a
  // number is cleared (gains to their neutral value), so one bad input sample cannot
  // silence the engine until the next reset.
  void ClearNonFiniteStates();

  SettingsRecord mSettings;
  double mSampleRate = 48000.0;
  const CurveKernels* mCurves;

  // Program equaliser (Mode 0).
  BiquadSection mProgram[kProgramSections];
  uint8_t mBandOn[kProgramSections] = {};  // bands 1..5; entry 0 unused
  BiquadSection mMidBoost;
  uint8_t mMidBoostOn = 0;
  OnePoleState mCoupling;
  double mCouplingCoef = 0.0;  // R, 0 until first use; survives resets
  int32_t mLastMode = -1;

  // Tube stage.
  double mSplitCoef = 0.0, mSplitCoef2x = 0.0;
  double mSplit[2] = {0.0, 0.0}, mSplit2x[2] = {0.0, 0.0};
  HalfbandState mUpsampler[2], mDownsampler[2];
  DynamicDriveState mDynamic;
  double mDynFastCoef = 0.0, mDynSlowCoef = 0.0;
  PushPullBandState mPushPull[kPushPullBands][2];
  double mPushPullLevel[2] = {0.0, 0.0};
  double mPpSlowCoef = 0.0, mPpGainCoef = 0.0, mPpLevelCoef = 0.0;

  // Baxandall section (Mode 1).
  BaxState mBax;
  double mW250 = 0.0, mW2500 = 0.0, mW120 = 0.0;

  // LF and HF filter stages.
  FilterStage mLowStage, mHighStage;

  // Metering. mDisplayMeters: whether this block takes the display-only measurements, taken
  // from mMeters.reader once per block by the processor (see Meters::reader).
  bool mDisplayMeters = true;
  SplitAnalysisState mAnalysis;
  MeterState mMeter;
  Meters mMeters;

  // Band listen: survives resets.
  BiquadSection mBandListen;
  int32_t mListenBand = 0;

  // Allocated with the engine (too large for a stack-held object).
  std::unique_ptr<KernelScratch> mScratchStorage;
  KernelScratch& mScratch;
};

}  // namespace kyr
