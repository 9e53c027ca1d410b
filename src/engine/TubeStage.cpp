#include "TubeStage.h"

#include <cmath>
#include <cstdint>

#include "BlockOps.h"
#include "EqEngine.h"

namespace kyr {

void TubeStageState::Prepare(double fs) {
  splitCoef = 1.0 - std::exp(-kSplitOmega / fs);
  splitCoef2x = 1.0 - std::exp(-kSplitOmega / (2.0 * fs));
  split[0] = split[1] = split2x[0] = split2x[1] = 0.0;
  for (int ch = 0; ch < 2; ++ch) {
    upsampler[ch] = HalfbandState{};
    downsampler[ch] = HalfbandState{};
  }
}

void TubeStageState::ClearForNewMode() { split[0] = split[1] = 0.0; }

void TubeStageState::ClearNonFinite() {
  ResetIfNonFinite(split, 2, 0.0);
  ResetIfNonFinite(split2x, 2, 0.0);
  for (int ch = 0; ch < 2; ++ch) {
    ClearNonFiniteStates(upsampler[ch]);
    ClearNonFiniteStates(downsampler[ch]);
  }
}

void DynamicDriveState::Prepare(double fs) {
  *this = DynamicDriveState{};
  smooth3msCoef = SmoothingCoef(0.003, fs);
  smooth80msCoef = SmoothingCoef(0.08, fs);
}

void DynamicDriveState::ClearNonFinite() {
  ResetIfNonFinite(fast, 2, 0.0);
  ResetIfNonFinite(slow, 2, 0.0);
  if (!std::isfinite(gain)) gain = 0.0;
}

void ClearNonFiniteStates(PushPullBandState& s) {
  if (!std::isfinite(s.fast) || !std::isfinite(s.slow)) s.fast = s.slow = 0.0;
  if (!std::isfinite(s.gain)) s.gain = 1.0;
}

void PushPullState::Prepare(double fs) {
  *this = PushPullState{};
  smooth1sCoef = SmoothingCoef(1.0, fs);
  smooth10msCoef = SmoothingCoef(0.01, fs);
  smooth80msCoef = SmoothingCoef(0.08, fs);
}

void PushPullState::ClearNonFinite() {
  for (auto& channels : band) {
    ClearNonFiniteStates(channels[0]);
    ClearNonFiniteStates(channels[1]);
  }
  ResetIfNonFinite(level, 2, 0.0);
}

void RunTubeStage(EqEngine& eng, const double* const y[2], const double* const bias[2],
                  double drive, bool hq, double* const t[2], int n) {
  KernelScratch& sc = eng.mScratch;
  TubeStageState& tube = eng.mTube;
  double* const e[2] = {sc.e[0], sc.e[1]};
  if (!hq) {
    OnePoleLowPassStereo(tube.split, tube.splitCoef, y, e, n);
    for (int ch = 0; ch < 2; ++ch) {
      eng.mCurves->tubeStage(y[ch], e[ch], bias[ch], 1, drive, t[ch], nullptr, nullptr, n);
    }
    return;
  }
  double* const u[2] = {sc.u[0], sc.u[1]};
  double* const v[2] = {sc.v[0], sc.v[1]};
  UpsampleStereo(tube.upsampler, y, u, n);
  OnePoleLowPassStereo(tube.split2x, tube.splitCoef2x, u, e, 2 * n);
  for (int ch = 0; ch < 2; ++ch) {
    // Both sub-samples of a host sample use the same bias.
    eng.mCurves->tubeStage(u[ch], e[ch], bias[ch], 2, drive, v[ch], nullptr, nullptr, 2 * n);
  }
  const double* const vIn[2] = {v[0], v[1]};
  DownsampleStereo(tube.downsampler, vIn, t, n);
  for (int ch = 0; ch < 2; ++ch) {
    for (int i = 0; i < n; ++i) t[ch][i] = FiniteOrZero(t[ch][i]);
  }
}

double ComputeDynamicDriveGain(EqEngine& eng, float dynamicTube, const double* inL,
                               const double* inR, int n) {
  DynamicDriveState& d = eng.mDynamic;
  const double fastCoef = d.smooth3msCoef, slowCoef = d.smooth80msCoef;
  const double* in[2] = {inL, inR};
  for (int ch = 0; ch < 2; ++ch) {
    double fast = d.fast[ch], slow = d.slow[ch];
    const double* x = in[ch];
    for (int i = 0; i < n; ++i) {
      const double a = std::fabs(x[i]);
      fast = fast + (a - fast) * fastCoef;
      slow = slow + (a - slow) * slowCoef;
    }
    d.fast[ch] = fast;
    d.slow[ch] = slow;
  }
  double t = std::fmax(d.fast[0] - d.slow[0], d.fast[1] - d.slow[1]);
  t = std::fmax(t, 0.0);
  double g = 1.0 - (t / (t + 0.25)) * static_cast<double>(dynamicTube) * 0.6;
  g = std::fmax(g, 0.2);
  if (d.gain > 0.0) g = d.gain + (g - d.gain) * 0.05;
  // A non-finite envelope (from a non-finite input) keeps the previous gain; the envelopes
  // themselves are cleared at the end of the block.
  if (!std::isfinite(g)) g = d.gain > 0.0 ? d.gain : 1.0;
  d.gain = g;
  SetMeter(eng.mMeters.ease, 20.0 * std::log10(std::fmax(g, 1e-6)));
  return g;
}

PushPullParams MakePushPullParams(const EqEngine& eng, float speed, float pivot) {
  double tau = (1.4 - static_cast<double>(speed)) * 0.025;
  if (tau < 0.002) tau = 0.002;
  return PushPullParams{1.0 - std::exp(-1.0 / (tau * eng.mSampleRate)),
                        eng.mPushPull.smooth1sCoef, eng.mPushPull.smooth10msCoef,
                        static_cast<double>(pivot)};
}

namespace {

// Section and envelope registers of one band on both channels.
struct BandRegs {
  const BiquadSection* section[2];
  double s1[2], s2[2], fast[2], slow[2];

  explicit BandRegs(const PushPullBand& band) {
    for (int ch = 0; ch < 2; ++ch) {
      section[ch] = band.section[ch];
      s1[ch] = band.section[ch]->s1[ch];
      s2[ch] = band.section[ch]->s2[ch];
      fast[ch] = band.state[ch]->fast;
      slow[ch] = band.state[ch]->slow;
    }
  }
  void SaveTo(const PushPullBand& band) const {
    for (int ch = 0; ch < 2; ++ch) {
      band.section[ch]->s1[ch] = s1[ch];
      band.section[ch]->s2[ch] = s2[ch];
      band.state[ch]->fast = fast[ch];
      band.state[ch]->slow = slow[ch];
    }
  }
  // The section's contribution for sample x of channel ch, and the envelopes of its size.
  double Step(int ch, double x, const PushPullParams& p) {
    const BiquadSection& s = *section[ch];
    const double y = s.b0 * x + s1[ch];
    s1[ch] = s.b1 * x - s.a1 * y + s2[ch];
    s2[ch] = s.b2 * x - s.a2 * y;
    const double d = y - x;
    const double a = std::fabs(d);
    fast[ch] = fast[ch] + (a - fast[ch]) * p.fastCoef;
    slow[ch] = slow[ch] + (a - slow[ch]) * p.slowCoef;
    return d;
  }
};

// Gains of one band on both channels gliding to their targets.
struct GainRegs {
  double gain[2];
  bool checkEachSample;

  GainRegs(const PushPullBand& band, bool targetsFinite) : checkEachSample(!targetsFinite) {
    for (int ch = 0; ch < 2; ++ch) {
      gain[ch] = band.state[ch]->gain;
      // A gain that is not above 0 counts as 1. With targets in 0.05..2.5 a positive gain
      // stays positive, so the test is needed per sample only when a target is not a number.
      if (!(gain[ch] > 0.0)) gain[ch] = 1.0;
    }
  }
  double Step(int ch, double target, double coef) {
    if (checkEachSample && !(gain[ch] > 0.0)) gain[ch] = 1.0;
    gain[ch] = gain[ch] + (target - gain[ch]) * coef;
    return gain[ch];
  }
};

#if defined(__GNUC__)
#define KYR_PAIRED_BANDS 1
// Both channels in the two lanes of one vector: each lane takes the scalar steps of
// BandRegs::Step and GainRegs::Step in the same order, so the results are the same bit for
// bit.
typedef double Pair __attribute__((vector_size(16)));
typedef uint64_t PairBits __attribute__((vector_size(16)));

template <bool kPrev, bool kCur, bool kCheck>
void RunBandPass(BandRegs& band, GainRegs& gains, KernelScratch& sc, int cur, int prev,
                 const PushPullParams& p, double gainCoef, double* const x[2], int n) {
  const BiquadSection& l = *band.section[0];
  const BiquadSection& r = *band.section[1];
  const Pair b0{l.b0, r.b0}, b1{l.b1, r.b1}, b2{l.b2, r.b2}, a1{l.a1, r.a1}, a2{l.a2, r.a2};
  Pair s1{band.s1[0], band.s1[1]}, s2{band.s2[0], band.s2[1]};
  Pair fast{band.fast[0], band.fast[1]}, slow{band.slow[0], band.slow[1]};
  Pair gain{gains.gain[0], gains.gain[1]};
  const Pair fastCoef = Pair{} + p.fastCoef, slowCoef = Pair{} + p.slowCoef;
  const Pair gc = Pair{} + gainCoef, one = Pair{} + 1.0;
  const PairBits magnitude = PairBits{} + ~0x8000000000000000ULL;
  double* const x0 = x[0];
  double* const x1 = x[1];
  for (int i = 0; i < n; ++i) {
    Pair v{x0[i], x1[i]};
    if constexpr (kPrev) {
      if constexpr (kCheck) gain = gain > 0.0 ? gain : one;
      const Pair target{sc.fast[prev][0][i], sc.fast[prev][1][i]};
      gain = gain + (target - gain) * gc;
      v = v + gain * Pair{sc.delta[prev][0][i], sc.delta[prev][1][i]};
      x0[i] = v[0];
      x1[i] = v[1];
    }
    if constexpr (kCur) {
      const Pair y = b0 * v + s1;
      s1 = b1 * v - a1 * y + s2;
      s2 = b2 * v - a2 * y;
      const Pair d = y - v;
      const Pair a = (Pair)((PairBits)d & magnitude);
      fast = fast + (a - fast) * fastCoef;
      slow = slow + (a - slow) * slowCoef;
      for (int ch = 0; ch < 2; ++ch) {
        sc.delta[cur][ch][i] = d[ch];
        sc.fast[cur][ch][i] = fast[ch];
        sc.slow[cur][ch][i] = slow[ch];
      }
    }
  }
  for (int ch = 0; ch < 2; ++ch) {
    band.s1[ch] = s1[ch];
    band.s2[ch] = s2[ch];
    band.fast[ch] = fast[ch];
    band.slow[ch] = slow[ch];
    gains.gain[ch] = gain[ch];
  }
}

void RunBandPassPaired(bool hasPrev, bool hasCur, BandRegs& band, GainRegs& gains,
                       KernelScratch& sc, int cur, int prev, const PushPullParams& p,
                       double gainCoef, double* const x[2], int n) {
  const bool check = gains.checkEachSample;
  if (hasPrev && hasCur) {
    if (check) {
      RunBandPass<true, true, true>(band, gains, sc, cur, prev, p, gainCoef, x, n);
    } else {
      RunBandPass<true, true, false>(band, gains, sc, cur, prev, p, gainCoef, x, n);
    }
  } else if (hasPrev) {
    if (check) {
      RunBandPass<true, false, true>(band, gains, sc, cur, prev, p, gainCoef, x, n);
    } else {
      RunBandPass<true, false, false>(band, gains, sc, cur, prev, p, gainCoef, x, n);
    }
  } else if (hasCur) {
    RunBandPass<false, true, false>(band, gains, sc, cur, prev, p, gainCoef, x, n);
  }
}
#endif

// Turns a band's envelopes (buffer set `set`) into gain targets; false if one is not finite.
bool ComputeTargets(EqEngine& eng, int set, double amount, const PushPullParams& p, int n) {
  KernelScratch& sc = eng.mScratch;
  bool finite = true;
  for (int ch = 0; ch < 2; ++ch) {
    double* target = sc.fast[set][ch];
    eng.mCurves->pushPullTargets(target, sc.slow[set][ch], p.pivot, amount, target, n);
    for (int i = 0; i < n; ++i) finite &= target[i] == target[i];
  }
  return finite;
}

}  // namespace

void RunPushPullBands(EqEngine& eng, const PushPullBand* bands, int count, const PushPullParams& p,
                      double* const x[2], int n) {
  if (count <= 0) return;
  KernelScratch& sc = eng.mScratch;
  // Loop k applies band k-1's gains and runs band k's section and envelopes on the result:
  // the two recurrences are independent, so the processor overlaps them. The targets in
  // between are computed over whole buffers.
  bool finite = true;
  for (int k = 0; k <= count; ++k) {
    const int cur = k % 2, prev = 1 - cur;
    const bool hasPrev = k > 0, hasCur = k < count;
    BandRegs band(bands[hasCur ? k : count - 1]);
    GainRegs gains(bands[hasPrev ? k - 1 : 0], finite);
    const double c = p.gainCoef;
#if defined(KYR_PAIRED_BANDS)
    RunBandPassPaired(hasPrev, hasCur, band, gains, sc, cur, prev, p, c, x, n);
#else
    for (int i = 0; i < n; ++i) {
      for (int ch = 0; ch < 2; ++ch) {
        double v = x[ch][i];
        if (hasPrev) {
          v = v + gains.Step(ch, sc.fast[prev][ch][i], c) * sc.delta[prev][ch][i];
          x[ch][i] = v;
        }
        if (hasCur) {
          const double d = band.Step(ch, v, p);
          sc.delta[cur][ch][i] = d;
          sc.fast[cur][ch][i] = band.fast[ch];
          sc.slow[cur][ch][i] = band.slow[ch];
        }
      }
    }
#endif
    if (hasPrev) {
      for (int ch = 0; ch < 2; ++ch) bands[k - 1].state[ch]->gain = gains.gain[ch];
    }
    if (hasCur) {
      band.SaveTo(bands[k]);
      finite = ComputeTargets(eng, cur, bands[k].amount, p, n);
    }
  }
}

}  // namespace kyr
