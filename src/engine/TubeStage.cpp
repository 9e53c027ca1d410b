#include "TubeStage.h"

#include <cmath>

#include "BlockOps.h"

namespace kyr {

void RunTubeStage(EqEngine& eng, int ch, const double* y, const double* bias, double drive,
                  bool hq, double* t, int n) {
  KernelScratch& sc = eng.mScratch;
  double* u = sc.u[ch];
  double* e = sc.e[ch];
  double* v = sc.v[ch];
  if (!hq) {
    OnePoleLowPassBlock(eng.mSplit[ch], eng.mSplitCoef, y, e, n);
    eng.mCurves->tubeStage(y, e, bias, 1, drive, t, nullptr, nullptr, n);
    return;
  }
  UpsampleBlock(eng.mUpsampler[ch], y, u, n);
  OnePoleLowPassBlock(eng.mSplit2x[ch], eng.mSplitCoef2x, u, e, 2 * n);
  // Both sub-samples of a host sample use the same bias.
  eng.mCurves->tubeStage(u, e, bias, 2, drive, v, nullptr, nullptr, 2 * n);
  DownsampleBlock(eng.mDownsampler[ch], v, t, n);
  for (int i = 0; i < n; ++i) t[i] = FiniteOrZero(t[i]);
}

double ComputeDynamicDriveGain(EqEngine& eng, float dynamicTube, const double* inL,
                               const double* inR, int n) {
  DynamicDriveState& d = eng.mDynamic;
  const double fastCoef = eng.mDynFastCoef, slowCoef = eng.mDynSlowCoef;
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
  return PushPullParams{1.0 - std::exp(-1.0 / (tau * eng.mSampleRate)), eng.mPpSlowCoef,
                        eng.mPpGainCoef, static_cast<double>(pivot)};
}

void RunPushPullBand(EqEngine& eng, BiquadSection* const section[2],
                     PushPullBandState* const state[2], double amount, const PushPullParams& p,
                     double* const x[2], int n) {
  KernelScratch& sc = eng.mScratch;
  // The section and the envelopes, both channels in one loop (independent recurrences).
  BiquadSection& s0 = *section[0];
  BiquadSection& s1 = *section[1];
  double st1[2] = {s0.s1[0], s1.s1[1]}, st2[2] = {s0.s2[0], s1.s2[1]};
  double fast[2] = {state[0]->fast, state[1]->fast}, slow[2] = {state[0]->slow, state[1]->slow};
  const BiquadSection* sec[2] = {&s0, &s1};
  for (int i = 0; i < n; ++i) {
    for (int ch = 0; ch < 2; ++ch) {
      const BiquadSection& s = *sec[ch];
      const double xi = x[ch][i];
      const double y = s.b0 * xi + st1[ch];
      st1[ch] = s.b1 * xi - s.a1 * y + st2[ch];
      st2[ch] = s.b2 * xi - s.a2 * y;
      const double d = y - xi;
      const double a = std::fabs(d);
      fast[ch] = fast[ch] + (a - fast[ch]) * p.fastCoef;
      slow[ch] = slow[ch] + (a - slow[ch]) * p.slowCoef;
      sc.delta[ch][i] = d;
      sc.fast[ch][i] = fast[ch];
      sc.slow[ch][i] = slow[ch];
    }
  }
  s0.s1[0] = st1[0];
  s0.s2[0] = st2[0];
  s1.s1[1] = st1[1];
  s1.s2[1] = st2[1];
  bool finite = true;
  for (int ch = 0; ch < 2; ++ch) {
    state[ch]->fast = fast[ch];
    state[ch]->slow = slow[ch];
    eng.mCurves->pushPullTargets(sc.fast[ch], sc.slow[ch], p.pivot, amount, sc.fast[ch], n);
    for (int i = 0; i < n; ++i) finite = finite && sc.fast[ch][i] == sc.fast[ch][i];
  }
  // The gains glide towards their targets. A gain that is not above 0 counts as 1; with
  // targets in 0.05..2.5 a positive gain stays positive, so the test is needed per sample only
  // when a target is not a number.
  double gain[2] = {state[0]->gain, state[1]->gain};
  for (double& g : gain) {
    if (!(g > 0.0)) g = 1.0;
  }
  const double c = p.gainCoef;
  for (int i = 0; i < n; ++i) {
    for (int ch = 0; ch < 2; ++ch) {
      if (!finite && !(gain[ch] > 0.0)) gain[ch] = 1.0;
      gain[ch] = gain[ch] + (sc.fast[ch][i] - gain[ch]) * c;
      x[ch][i] = x[ch][i] + gain[ch] * sc.delta[ch][i];
    }
  }
  state[0]->gain = gain[0];
  state[1]->gain = gain[1];
}

}  // namespace kyr
