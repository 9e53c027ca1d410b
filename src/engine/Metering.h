#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "BiquadSection.h"
#include "EngineSettings.h"
#include "OnePoleState.h"

// Meters computed on the audio thread at the end of every block path.
namespace kyr {

class EqEngine;

inline constexpr int kRingSize = 4096;  // history ring length, samples

// The split-band analysis runs its own copy of the coupling filter, the character shelf and
// the program bands (coefficients copied from the kernel's bank) and the split filter over
// the block's input.
struct SplitAnalysisState {
  OnePoleState coupling;
  BiquadSection shelf;
  BiquadSection band[kNumProgramBands];
  double split[2] = {0.0, 0.0};

  template <typename Fn>
  void ForEachSection(Fn&& fn) {
    fn(shelf);
    for (BiquadSection& b : band) fn(b);
  }

  void Prepare(double fs);
  void ClearForNewMode() {}
  void ClearNonFinite();
};

// Loudness, true-peak history and the history rings.
struct MeterState {
  BiquadSection shelf, highPass;  // loudness weighting (mono)
  double meanSquare = 0.0;
  double smooth3sCoef = 0.0;
  double history[2][4] = {};  // last four output samples per channel, oldest first
  // Written by the audio thread, copied by the user-interface thread: relaxed atomics.
  // kRingSize entries each, allocated here (main thread).
  std::unique_ptr<std::atomic<double>[]> inputRing;
  std::unique_ptr<std::atomic<double>[]> outputRing;
  std::atomic<uint32_t> ringCounter{0};

  MeterState();
  // Designs the loudness filters for fs and clears the states, the rings and their counter.
  void Prepare(double fs);
  void ClearForNewMode() {}
  void ClearNonFinite();
};

// History rings (input and output mid), true peak ("tp") and loudness ("lufs") of a block
// whose output samples are final.
void MeterTail(EqEngine& eng, const double* inL, const double* inR, const double* outL,
               const double* outR, int n);

// End of a block path: sets the processed flag when the block measured for a reader (see
// Meters::reader), so that the first meter message after the editor opens carries values
// measured for it.
void MarkMetersFresh(EqEngine& eng);

// Shadow pass over the block's input through the coupling filter, the character shelf and
// the program bands (own states, the kernel's coefficients) and the split filter, measuring how
// much of the tube's distortion each band makes: writes "xf" and "tb".
void SplitBandAnalysis(EqEngine& eng, const double* inL, const double* inR, int n, double drive,
                       double couplingCoef);

// Sums of the split-band analysis over a block.
struct SplitBandSums {
  double low = 0.0, high = 0.0, signal = 0.0;
  // Adds a pass's squared band errors and signal, sample by sample, left before right.
  void Add(const double* const lowErr[2], const double* const highErr[2], const double* const y[2],
           int n);
};

// Writes "xf" and "tb" from the block's sums.
void ReportSplitBand(EqEngine& eng, const SplitBandSums& sums);

// True when the analysis's own states equal the kernel's (coupling filter, character shelf
// and program bands, host-rate split filter): its signal is then the kernel's, sample for sample,
// as long as the Mid Boost band passes its input unchanged, and the kernel's curve values can
// serve it.
bool AnalysisFollowsKernel(const EqEngine& eng);

// After a block in which the kernel served the analysis: the analysis states become the
// kernel's (which they equal).
void FollowKernel(EqEngine& eng);

// The true-peak estimator of "tp" for one channel: the largest four-times oversampled peak of
// x[0..n), continuing from the channel's last four samples in `history` (oldest first), which
// become the block's last four. KeepTruePeakHistory only moves the history along.
double TruePeakOfBlock(double (&history)[4], const double* x, int n);
void KeepTruePeakHistory(double (&history)[4], const double* x, int n);

}  // namespace kyr
