#include "Metering.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "BlockOps.h"
#include "EqEngine.h"
#include "FilterDesign.h"
#include "LinearChain.h"

namespace kyr {
namespace {

// Largest of |h1| and the interpolated points a quarter, half and three quarters of the
// way from h1 to h2 (a four-times oversampled peak estimate).
double Larger(double a, double b) { return b > a ? b : a; }

double InterSamplePeak(double h0, double h1, double h2, double h3) {
  double peak = std::fabs(h1);
  peak = Larger(peak, std::fabs(0.865 * h1 - 0.1063 * h0 + 0.2701 * h2 - 0.0288 * h3));
  peak = Larger(peak, std::fabs(0.6221 * h1 - 0.1221 * h0 + 0.6221 * h2 - 0.1221 * h3));
  peak = Larger(peak, std::fabs(0.2701 * h1 - 0.0288 * h0 + 0.865 * h2 - 0.1063 * h3));
  return peak;
}

#if defined(__GNUC__)
#define KYR_PAIRED_PEAK 1
typedef double Pair __attribute__((vector_size(16)));
typedef uint64_t PairBits __attribute__((vector_size(16)));

Pair LoadPair(const double* p) {
  Pair v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
Pair Abs(Pair v) { return (Pair)((PairBits)v & (PairBits{} + ~0x8000000000000000ULL)); }
Pair Larger(Pair a, Pair b) { return b > a ? b : a; }

// InterSamplePeak of two neighbouring points in the lanes of one vector (the same steps).
Pair InterSamplePeaks(Pair h0, Pair h1, Pair h2, Pair h3) {
  Pair peak = Abs(h1);
  peak = Larger(peak, Abs(0.865 * h1 - 0.1063 * h0 + 0.2701 * h2 - 0.0288 * h3));
  peak = Larger(peak, Abs(0.6221 * h1 - 0.1221 * h0 + 0.6221 * h2 - 0.1221 * h3));
  peak = Larger(peak, Abs(0.2701 * h1 - 0.0288 * h0 + 0.865 * h2 - 0.1063 * h3));
  return peak;
}
#endif

// Largest inter-sample peak of a block's samples x[0..n), each point with the three samples
// before it (the first from the history h, the last four samples, oldest first); h becomes the
// block's last four. Points are taken two at a time where vectors exist; the order in which a
// maximum is taken does not change it.
double BlockPeak(double (&h)[4], const double* x, int n) {
  constexpr int kPiece = 128;
  double ext[kPiece + 3];
  ext[0] = h[1];
  ext[1] = h[2];
  ext[2] = h[3];
  double peak = 0.0;
  for (int i0 = 0; i0 < n; i0 += kPiece) {
    const int m = n - i0 < kPiece ? n - i0 : kPiece;
    for (int i = 0; i < m; ++i) ext[3 + i] = x[i0 + i];
    int i = 0;
#if defined(KYR_PAIRED_PEAK)
    Pair pairPeak{};
    for (; i + 2 <= m; i += 2) {
      pairPeak = Larger(pairPeak, InterSamplePeaks(LoadPair(ext + i), LoadPair(ext + i + 1),
                                                   LoadPair(ext + i + 2), LoadPair(ext + i + 3)));
    }
    peak = Larger(peak, Larger(pairPeak[0], pairPeak[1]));
#endif
    for (; i < m; ++i) {
      peak = Larger(peak, InterSamplePeak(ext[i], ext[i + 1], ext[i + 2], ext[i + 3]));
    }
    // The last three samples lead into the next piece.
    ext[0] = ext[m];
    ext[1] = ext[m + 1];
    ext[2] = ext[m + 2];
  }
  if (n >= 1) {
    // The newest four samples: the three carried in ext and the one before them.
    h[0] = n >= 4 ? x[n - 4] : h[n];
    h[1] = ext[0];
    h[2] = ext[1];
    h[3] = ext[2];
  }
  return peak;
}

// Without a reader only the loudness runs, and the true-peak history keeps the block's last
// four samples (KeepHistory), so that the first block with a reader again measures as if nothing had been
// skipped.
void KeepHistory(double (&h)[4], const double* x, int n) {
  for (int i = n >= 4 ? n - 4 : 0; i < n; ++i) {
    h[0] = h[1];
    h[1] = h[2];
    h[2] = h[3];
    h[3] = x[i];
  }
}

double RunLoudness(MeterState& m, const double* outL, const double* outR, int n) {
  double ms = m.meanSquare;
  const double coef = m.smooth3sCoef;
  for (int i = 0; i < n; ++i) {
    const double mid = (outL[i] + outR[i]) * 0.5;
    const double y = RunBiquad(m.highPass, RunBiquad(m.shelf, mid, 0), 0);
    ms = ms + (y * y - ms) * coef;
  }
  return ms;
}

}  // namespace

MeterState::MeterState()
    : inputRing(std::make_unique<std::atomic<double>[]>(kRingSize)),
      outputRing(std::make_unique<std::atomic<double>[]>(kRingSize)) {
  for (int i = 0; i < kRingSize; ++i) {
    inputRing[i].store(0.0, std::memory_order_relaxed);
    outputRing[i].store(0.0, std::memory_order_relaxed);
  }
}

void MeterState::Prepare(double fs) {
  DesignBiquad(shelf, kHighShelf, 1500.0, 4.0, 0.7071, fs);
  DesignButterworth(highPass, true, 38.0, fs);
  ClearStates(shelf);
  ClearStates(highPass);
  meanSquare = 0.0;
  smooth3sCoef = SmoothingCoef(3.0, fs);
  for (auto& h : history) h[0] = h[1] = h[2] = h[3] = 0.0;
  for (int i = 0; i < kRingSize; ++i) {
    inputRing[i].store(0.0, std::memory_order_relaxed);
    outputRing[i].store(0.0, std::memory_order_relaxed);
  }
  ringCounter.store(0, std::memory_order_relaxed);
}

void MeterState::ClearNonFinite() {
  ClearNonFiniteStates(shelf);
  ClearNonFiniteStates(highPass);
  for (auto& h : history) ResetIfNonFinite(h, 4, 0.0);
}

void SplitAnalysisState::Prepare(double /*fs*/) {
  coupling = OnePoleState{};
  ForEachSection([](BiquadSection& s) { ClearStates(s); });
  split[0] = split[1] = 0.0;
}

void SplitAnalysisState::ClearNonFinite() {
  ClearNonFiniteStates(coupling);
  ForEachSection([](BiquadSection& s) { ClearNonFiniteStates(s); });
  ResetIfNonFinite(split, 2, 0.0);
}

void MarkMetersFresh(EqEngine& eng) {
  if (eng.mDisplayMeters) eng.mMeters.processed.store(1, std::memory_order_relaxed);
}

void MeterTail(EqEngine& eng, const double* inL, const double* inR, const double* outL,
               const double* outR, int n) {
  MeterState& m = eng.mMeter;
  double(&hL)[4] = m.history[0];
  double(&hR)[4] = m.history[1];
  double ms = RunLoudness(m, outL, outR, n);
  if (eng.mDisplayMeters) {
    uint32_t counter = m.ringCounter.load(std::memory_order_relaxed);
    for (int i = 0; i < n; ++i, ++counter) {
      const uint32_t pos = counter % kRingSize;
      m.inputRing[pos].store((inL[i] + inR[i]) * 0.5, std::memory_order_relaxed);
      m.outputRing[pos].store((outL[i] + outR[i]) * 0.5, std::memory_order_relaxed);
    }
    m.ringCounter.store(counter, std::memory_order_release);
    const double peak = Larger(BlockPeak(hL, outL, n), BlockPeak(hR, outR, n));
    double tp = peak > 1e-12 ? 20.0 * std::log10(peak) : -120.0;
    if (!std::isfinite(tp) || tp < -120.0) tp = -120.0;
    SetMeter(eng.mMeters.tp, tp);
  } else {
    KeepHistory(hL, outL, n);
    KeepHistory(hR, outR, n);
  }

  if (!std::isfinite(ms)) ms = 0.0;
  m.meanSquare = ms;
  double lufs = 10.0 * std::log10(ms + 1e-12) - 0.691;
  if (!std::isfinite(lufs)) lufs = -120.0;
  if (lufs < -70.0) lufs = -70.0;
  SetMeter(eng.mMeters.lufs, lufs);
}

void SplitBandAnalysis(EqEngine& eng, const double* inL, const double* inR, int n, double drive,
                       double couplingCoef) {
  const double d = std::fmax(drive, 1e-9);
  SplitAnalysisState& a = eng.mAnalysis;
  KernelScratch& sc = eng.mScratch;
  CopyCoefficients(eng.mBank.shelf, a.shelf);
  for (int k = 0; k < kNumProgramBands; ++k) CopyCoefficients(eng.mBank.band[k], a.band[k]);
  LinearChain chain;
  chain.coupling = &a.coupling;
  chain.couplingCoef = couplingCoef;
  a.ForEachSection([&chain](BiquadSection& s) { chain.AddActive(s); });
  chain.split = a.split;
  chain.splitCoef = eng.mTube.splitCoef;
  double* const y[2] = {sc.ya[0], sc.ya[1]};
  double* const e[2] = {sc.ea[0], sc.ea[1]};
  SplitBandSums sums;
  for (int i0 = 0; i0 < n; i0 += kChunk) {
    const int m = std::min(kChunk, n - i0);
    const double* const in[2] = {inL + i0, inR + i0};
    chain.Run(in, y, e, m);
    for (int ch = 0; ch < 2; ++ch) {
      eng.mCurves->splitErrors(y[ch], e[ch], d, sc.lowErr[ch], sc.highErr[ch], m);
    }
    const double* const lowErr[2] = {sc.lowErr[0], sc.lowErr[1]};
    const double* const highErr[2] = {sc.highErr[0], sc.highErr[1]};
    const double* const signal[2] = {y[0], y[1]};
    sums.Add(lowErr, highErr, signal, m);
  }
  ReportSplitBand(eng, sums);
}

void SplitBandSums::Add(const double* const lowErr[2], const double* const highErr[2],
                        const double* const y[2], int n) {
  for (int i = 0; i < n; ++i) {
    for (int ch = 0; ch < 2; ++ch) {
      low += lowErr[ch][i] * lowErr[ch][i];
      high += highErr[ch][i] * highErr[ch][i];
      signal += y[ch][i] * y[ch][i];
    }
  }
}

void ReportSplitBand(EqEngine& eng, const SplitBandSums& sums) {
  if (!std::isfinite(sums.low) || !std::isfinite(sums.high) || !std::isfinite(sums.signal) ||
      sums.signal <= 1e-12) {
    SetMeter(eng.mMeters.xf, 0.0);
    SetMeter(eng.mMeters.tb, 0.0);
  } else {
    SetMeter(eng.mMeters.xf, std::sqrt(sums.low / sums.signal) * 100.0);
    SetMeter(eng.mMeters.tb, std::sqrt(sums.high / sums.signal) * 100.0);
  }
}

namespace {

bool SameBits(const double* a, const double* b, int count) {
  return std::memcmp(a, b, sizeof(double) * static_cast<size_t>(count)) == 0;
}

bool SameStates(const BiquadSection& a, const BiquadSection& b) {
  return SameBits(a.s1, b.s1, 2) && SameBits(a.s2, b.s2, 2);
}

}  // namespace

bool AnalysisFollowsKernel(const EqEngine& eng) {
  const SplitAnalysisState& a = eng.mAnalysis;
  const ProgramBankState& bank = eng.mBank;
  const OnePoleState& coupling = eng.mKernel.coupling;
  if (!SameBits(a.coupling.x1, coupling.x1, 2) || !SameBits(a.coupling.y1, coupling.y1, 2) ||
      !SameBits(a.split, eng.mTube.split, 2) || !SameStates(a.shelf, bank.shelf)) {
    return false;
  }
  for (int k = 0; k < kNumProgramBands; ++k) {
    if (!SameStates(a.band[k], bank.band[k])) return false;
  }
  return IsPassThrough(bank.midBoost, 0) && IsPassThrough(bank.midBoost, 1);
}

void FollowKernel(EqEngine& eng) {
  SplitAnalysisState& a = eng.mAnalysis;
  a.coupling = eng.mKernel.coupling;
  a.split[0] = eng.mTube.split[0];
  a.split[1] = eng.mTube.split[1];
  a.shelf = eng.mBank.shelf;
  for (int k = 0; k < kNumProgramBands; ++k) a.band[k] = eng.mBank.band[k];
}

double TruePeakOfBlock(double (&history)[4], const double* x, int n) { return BlockPeak(history, x, n); }

void KeepTruePeakHistory(double (&history)[4], const double* x, int n) { KeepHistory(history, x, n); }

}  // namespace kyr
