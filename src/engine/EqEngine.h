#pragma once

#include <memory>

#include "BandListen.h"
#include "BaxandallSection.h"
#include "ChannelKernels.h"
#include "CurveKernels.h"
#include "EngineSettings.h"
#include "FilterStages.h"
#include "Meters.h"
#include "Metering.h"
#include "ProgramBank.h"
#include "TubeStage.h"

// The equaliser's signal-processing object: settings record, sample rate, the state record of
// every stage, the meter values and the working buffers. One per plug-in instance, never
// resized. The kernels, stages and metering (free functions taking it by reference) run on
// the audio thread; PrepareEngine runs on the main thread while no block is processed; the
// settings record and the meters are the only parts touched from other threads.
namespace kyr {

inline constexpr int kChunk = 128;  // frames per pass of the block loops

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

// The state record of every stage, in signal order. Each record type declares, next to its
// kernel, what a reset (Prepare), a change of Mode (ClearForNewMode) and the end-of-block guard
// (ClearNonFinite) do to its states; the engine runs all three over every record listed here.
struct EngineStages {
  FilterStage mLowStage;         // LF Filter, before the kernels
  ProgramKernelState mKernel;    // coupling filter and the previous block's Mode
  ProgramBankState mBank;        // character shelf, program bands, Mid Boost
  PushPullState mPushPull;       // Tube-mode push-pull envelopes and bias level
  DynamicDriveState mDynamic;    // Dynamic Tube envelopes and drive gain
  TubeStageState mTube;          // split filter and oversampler
  BaxState mBax;                 // Baxandall section (BAX mode)
  FilterStage mHighStage;        // HF Filter, after the kernels
  BandListenState mBandListen;   // survives resets
  SplitAnalysisState mAnalysis;  // display meters' shadow chain
  MeterState mMeter;             // loudness, true peak, history rings
};

class EqEngine : public EngineStages {
 public:
  EqEngine();
  EqEngine(const EqEngine&) = delete;
  EqEngine& operator=(const EqEngine&) = delete;

  // The engine's part of a reset: stores fs, runs every stage's Prepare (clear the states
  // listed for a reset, recompute the rate-dependent coefficients) and zeroes the meter values
  // the stages write only now and then. Main thread, never during a block.
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

  // Whether this block takes the display-only measurements, taken from mMeters.reader once
  // per block by the processor (see Meters::reader).
  bool mDisplayMeters = true;
  Meters mMeters;

  // Allocated with the engine (too large for a stack-held object).
  std::unique_ptr<KernelScratch> mScratchStorage;
  KernelScratch& mScratch;

 private:
  // Calls fn on every stage record. The records are bound by position, so a record added to
  // EngineStages but not named here does not compile.
  template <typename Fn>
  void ForEachStage(Fn&& fn) {
    auto& [low, kernel, bank, pushPull, dynamic, tube, bax, high, listen, analysis, meter] =
        static_cast<EngineStages&>(*this);
    fn(low);
    fn(kernel);
    fn(bank);
    fn(pushPull);
    fn(dynamic);
    fn(tube);
    fn(bax);
    fn(high);
    fn(listen);
    fn(analysis);
    fn(meter);
  }
};

}  // namespace kyr
