#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "BiquadSection.h"

// ITU-R BS.1770 loudness of a mono or stereo signal: K-weighting per channel (the two-stage
// pre-filter designed for the actual sample rate), channel-summed mean squares over 400 ms
// blocks every 100 ms, and from them the momentary (last 400 ms), short-term (last 3 s) and
// integrated (absolute gate -70 LUFS, then relative gate -10 LU) loudness.
//
// Threads: Prepare on the main thread while no block is processed; Process on the audio
// thread (never allocates: the 100 ms sums sit in a fixed ring and the integrated gating in a
// fixed-resolution histogram, both allocated at construction); RequestReset and the readings
// from any thread. The readings are -120 while there is no value: before the first 400 ms
// block, for silence, and for the integrated value while no block passed the gates.
namespace kyr {

// The two K-weighting stages for a sample rate: a high shelf of about +4 dB above 1.5 kHz
// and a high-pass near 38 Hz. At 48 kHz they equal the standard's published coefficients.
void DesignKWeighting(BiquadSection& shelf, BiquadSection& highPass, double fs);

class LoudnessMeter {
 public:
  static constexpr double kFloorLufs = -120.0;

  LoudnessMeter();

  // Designs the weighting for fs and clears the filter states. The measurement restarts when
  // the rate differs from the last one (its 100 ms steps change length), and survives a reset
  // at the same rate, so a host that stops and restarts processing does not lose the
  // integrated value.
  void Prepare(double fs);
  // Asks the audio thread to restart the measurement at its next block.
  void RequestReset() { mResetRequested.store(1, std::memory_order_relaxed); }

  // Adds a block. A mono signal passes left only (right may be null) with stereo false.
  void Process(const double* left, const double* right, bool stereo, int n);

  float Momentary() const { return mMomentary.load(std::memory_order_relaxed); }
  float ShortTerm() const { return mShortTerm.load(std::memory_order_relaxed); }
  float Integrated() const { return mIntegrated.load(std::memory_order_relaxed); }

 private:
  static constexpr int kShortTermHops = 30;  // 3 s of 100 ms steps
  static constexpr int kBlockHops = 4;       // 400 ms
  // Block loudness histogram for the gating: 0.01 LU bins from the absolute gate up; louder
  // blocks share the top bin. Each bin keeps its blocks' summed energy, so the integrated value
  // is exact and only the relative gate's threshold is resolved to one bin.
  static constexpr double kAbsoluteGate = -70.0;
  static constexpr double kBinLu = 0.01;
  static constexpr int kBins = 10000;  // -70 .. +30 LUFS

  void ClearMeasurement();
  void EndHop();
  void AddBlock(double energy);
  double IntegratedLufs() const;

  BiquadSection mShelf, mHighPass;
  double mFs = 0.0;
  int mHopLength = 4800;
  int mHopFill = 0;
  double mHopSum = 0.0;  // channel-summed squares of the current 100 ms step
  double mHops[kShortTermHops] = {};
  int mHopNext = 0;
  int64_t mHopsDone = 0;

  std::unique_ptr<double[]> mBinEnergy;
  std::unique_ptr<uint32_t[]> mBinCount;
  int mLowBin = kBins, mHighBin = -1;  // occupied range
  double mGatedEnergy = 0.0;           // blocks above the absolute gate
  int64_t mGatedCount = 0;

  std::atomic<uint8_t> mResetRequested{0};
  std::atomic<float> mMomentary{static_cast<float>(kFloorLufs)};
  std::atomic<float> mShortTerm{static_cast<float>(kFloorLufs)};
  std::atomic<float> mIntegrated{static_cast<float>(kFloorLufs)};
};

}  // namespace kyr
