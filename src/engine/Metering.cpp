#include "Metering.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "BlockOps.h"
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

}  // namespace

void MeterTail(EqEngine& eng, const double* inL, const double* inR, const double* outL,
               const double* outR, int n) {
  MeterState& m = eng.mMeter;
  uint32_t counter = m.ringCounter.load(std::memory_order_relaxed);
  double peak = 0.0;
  double ms = m.meanSquare;
  const double coef = m.coef;
  double(&hL)[4] = m.history[0];
  double(&hR)[4] = m.history[1];
  for (int i = 0; i < n; ++i) {
    const uint32_t pos = counter % kRingSize;
    m.inputRing[pos].store((inL[i] + inR[i]) * 0.5, std::memory_order_relaxed);
    const double mid = (outL[i] + outR[i]) * 0.5;
    m.outputRing[pos].store(mid, std::memory_order_relaxed);
    ++counter;

    for (double* h : {hL, hR}) {
      h[0] = h[1];
      h[1] = h[2];
      h[2] = h[3];
    }
    hL[3] = outL[i];
    hR[3] = outR[i];
    peak = Larger(peak, InterSamplePeak(hL[0], hL[1], hL[2], hL[3]));
    peak = Larger(peak, InterSamplePeak(hR[0], hR[1], hR[2], hR[3]));

    const double y = RunBiquad(m.highPass, RunBiquad(m.shelf, mid, 0), 0);
    ms = ms + (y * y - ms) * coef;
  }
  m.ringCounter.store(counter, std::memory_order_release);

  if (!std::isfinite(ms)) ms = 0.0;
  m.meanSquare = ms;
  double tp = peak > 1e-12 ? 20.0 * std::log10(peak) : -120.0;
  if (!std::isfinite(tp) || tp < -120.0) tp = -120.0;
  SetMeter(eng.mMeters.tp, tp);
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
  for (int k = 0; k < kProgramSections; ++k) {
    const BiquadSection& src = eng.mProgram[k];
    BiquadSection& dst = a.sections[k];
    dst.b0 = src.b0;
    dst.b1 = src.b1;
    dst.b2 = src.b2;
    dst.a1 = src.a1;
    dst.a2 = src.a2;
  }
  LinearChain chain;
  chain.coupling = &a.coupling;
  chain.couplingCoef = couplingCoef;
  for (BiquadSection& s : a.sections) chain.AddActive(s);
  chain.split = a.split;
  chain.splitCoef = eng.mSplitCoef;
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

}  // namespace

bool AnalysisFollowsKernel(const EqEngine& eng) {
  const SplitAnalysisState& a = eng.mAnalysis;
  if (!SameBits(a.coupling.x1, eng.mCoupling.x1, 2) ||
      !SameBits(a.coupling.y1, eng.mCoupling.y1, 2) || !SameBits(a.split, eng.mSplit, 2)) {
    return false;
  }
  for (int k = 0; k < kProgramSections; ++k) {
    if (!SameBits(a.sections[k].s1, eng.mProgram[k].s1, 2) ||
        !SameBits(a.sections[k].s2, eng.mProgram[k].s2, 2)) {
      return false;
    }
  }
  return IsPassThrough(eng.mMidBoost, 0) && IsPassThrough(eng.mMidBoost, 1);
}

void FollowKernel(EqEngine& eng) {
  SplitAnalysisState& a = eng.mAnalysis;
  a.coupling = eng.mCoupling;
  a.split[0] = eng.mSplit[0];
  a.split[1] = eng.mSplit[1];
  for (int k = 0; k < kProgramSections; ++k) a.sections[k] = eng.mProgram[k];
}

}  // namespace kyr
