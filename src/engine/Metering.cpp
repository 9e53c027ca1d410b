#include "Metering.h"

#include <algorithm>
#include <cmath>

#include "BlockOps.h"

namespace kyr {
namespace {

// Largest of |h1| and the interpolated points a quarter, half and three quarters of the
// way from h1 to h2 (a four-times oversampled peak estimate).
double InterSamplePeak(double h0, double h1, double h2, double h3) {
  double peak = std::fabs(h1);
  peak = std::fmax(peak, std::fabs(0.865 * h1 - 0.1063 * h0 + 0.2701 * h2 - 0.0288 * h3));
  peak = std::fmax(peak, std::fabs(0.6221 * h1 - 0.1221 * h0 + 0.6221 * h2 - 0.1221 * h3));
  peak = std::fmax(peak, std::fabs(0.2701 * h1 - 0.0288 * h0 + 0.865 * h2 - 0.1063 * h3));
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
    peak = std::fmax(peak, InterSamplePeak(hL[0], hL[1], hL[2], hL[3]));
    peak = std::fmax(peak, InterSamplePeak(hR[0], hR[1], hR[2], hR[3]));

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
  const double* in[2] = {inL, inR};
  double lowSum = 0.0, highSum = 0.0, ySum = 0.0;
  for (int i0 = 0; i0 < n; i0 += kChunk) {
    const int m = std::min(kChunk, n - i0);
    for (int ch = 0; ch < 2; ++ch) {
      double* y = sc.ya[ch];
      std::copy(in[ch] + i0, in[ch] + i0 + m, y);
      OnePoleHighPassBlock(a.coupling, ch, couplingCoef, y, m);
      for (BiquadSection& s : a.sections) {
        if (!IsPassThrough(s, ch)) RunBiquadBlock(s, y, m, ch);
      }
      OnePoleLowPassBlock(a.split[ch], eng.mSplitCoef, y, sc.ea[ch], m);
      eng.mCurves->splitErrors(y, sc.ea[ch], d, sc.lowErr[ch], sc.highErr[ch], m);
    }
    for (int i = 0; i < m; ++i) {
      for (int ch = 0; ch < 2; ++ch) {
        lowSum += sc.lowErr[ch][i] * sc.lowErr[ch][i];
        highSum += sc.highErr[ch][i] * sc.highErr[ch][i];
        ySum += sc.ya[ch][i] * sc.ya[ch][i];
      }
    }
  }
  if (!std::isfinite(lowSum) || !std::isfinite(highSum) || !std::isfinite(ySum) ||
      ySum <= 1e-12) {
    SetMeter(eng.mMeters.xf, 0.0);
    SetMeter(eng.mMeters.tb, 0.0);
  } else {
    SetMeter(eng.mMeters.xf, std::sqrt(lowSum / ySum) * 100.0);
    SetMeter(eng.mMeters.tb, std::sqrt(highSum / ySum) * 100.0);
  }
}

}  // namespace kyr
