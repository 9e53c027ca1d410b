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
    eng.mCurves->tubeStage(y, e, bias, drive, t, n);
    return;
  }
  UpsampleBlock(eng.mUpsampler[ch], y, u, n);
  OnePoleLowPassBlock(eng.mSplit2x[ch], eng.mSplitCoef2x, u, e, 2 * n);
  const double* bias2x = nullptr;
  if (bias != nullptr) {
    // Both sub-samples of a host sample use the same bias.
    double* b = sc.bias[ch];
    for (int i = n - 1; i >= 0; --i) b[2 * i] = b[2 * i + 1] = bias[i];
    bias2x = b;
  }
  eng.mCurves->tubeStage(u, e, bias2x, drive, v, 2 * n);
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

void RunPushPullBand(EqEngine& eng, BiquadSection& section, int ch, PushPullBandState& st,
                     double amount, const PushPullParams& p, double* x, int n) {
  double* delta = eng.mScratch.delta;
  double* arg = eng.mScratch.arg;
  for (int i = 0; i < n; ++i) delta[i] = x[i];
  if (!IsPassThrough(section, ch)) RunBiquadBlock(section, delta, n, ch);
  double fast = st.fast, slow = st.slow;
  for (int i = 0; i < n; ++i) {
    const double d = delta[i] - x[i];
    const double a = std::fabs(d);
    fast = fast + (a - fast) * p.fastCoef;
    slow = slow + (a - slow) * p.slowCoef;
    arg[i] = ((slow - fast) / (slow + fast + 1e-9) + p.pivot) * 3.0;
    delta[i] = d;
  }
  st.fast = fast;
  st.slow = slow;
  eng.mCurves->tanh(arg, arg, n);
  double gain = st.gain;
  for (int i = 0; i < n; ++i) {
    double target = 1.0 + arg[i] * amount * 0.9;
    if (target < 0.05) target = 0.05;
    if (target > 2.5) target = 2.5;
    if (!(gain > 0.0)) gain = 1.0;
    gain = gain + (target - gain) * p.gainCoef;
    x[i] = x[i] + gain * delta[i];
  }
  st.gain = gain;
}

}  // namespace kyr
