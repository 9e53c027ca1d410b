#pragma once

#include <cmath>

#include "EqEngine.h"

// Small per-sample loops shared by the kernels and stages.
namespace kyr {

// Replaces a sample that is infinite or not a number by 0.
inline double FiniteOrZero(double v) { return std::isfinite(v) ? v : 0.0; }

inline int ClampIndex(int idx, int last) { return idx < 0 ? 0 : (idx > last ? last : idx); }

// One-pole high-pass y = (x + y1 - x1) * coef, in place on one channel.
inline void OnePoleHighPassBlock(OnePoleState& s, int ch, double coef, double* buf, int n) {
  double x1 = s.x1[ch], y1 = s.y1[ch];
  for (int i = 0; i < n; ++i) {
    const double x = buf[i];
    const double y = (x + y1 - x1) * coef;
    x1 = x;
    y1 = y;
    buf[i] = y;
  }
  s.x1[ch] = x1;
  s.y1[ch] = y1;
}

// One-pole low-pass e = e + (x - e) * coef; writes each new e.
inline void OnePoleLowPassBlock(double& state, double coef, const double* in, double* out, int n) {
  double e = state;
  for (int i = 0; i < n; ++i) {
    e = e + (in[i] - e) * coef;
    out[i] = e;
  }
  state = e;
}

// The same for both channels in one loop (independent recurrences overlap).
inline void OnePoleLowPassStereo(double (&state)[2], double coef, const double* const in[2],
                                 double* const out[2], int n) {
  double e0 = state[0], e1 = state[1];
  for (int i = 0; i < n; ++i) {
    e0 = e0 + (in[0][i] - e0) * coef;
    e1 = e1 + (in[1][i] - e1) * coef;
    out[0][i] = e0;
    out[1][i] = e1;
  }
  state[0] = e0;
  state[1] = e1;
}

// Output gain of the kernels: Output 0..1 maps to -12..+12 dB.
inline double OutputGain(float output) {
  return std::pow(10.0, (static_cast<double>(output) * 24.0 - 12.0) / 20.0);
}

}  // namespace kyr
