#pragma once

#include <cmath>
#include <cstdint>


// Small per-sample loops shared by the kernels and stages.
namespace kyr {

// Replaces a sample that is infinite or not a number by 0.
inline double FiniteOrZero(double v) { return std::isfinite(v) ? v : 0.0; }

// Sets values[0..count) to resetValue when any of them is not finite.
inline void ResetIfNonFinite(double* values, int count, double resetValue) {
  for (int i = 0; i < count; ++i) {
    if (!std::isfinite(values[i])) {
      for (int k = 0; k < count; ++k) values[k] = resetValue;
      return;
    }
  }
}

// Coefficient of a one-pole smoother with time constant timeSec.
inline double SmoothingCoef(double timeSec, double fs) {
  return 1.0 - std::exp(-1.0 / (timeSec * fs));
}

inline int ClampIndex(int idx, int last) { return idx < 0 ? 0 : (idx > last ? last : idx); }

// The entry of a frequency table at an index clamped into the table.
template <int N>
double TableValue(const double (&table)[N], int32_t idx) {
  return table[ClampIndex(idx, N - 1)];
}

// A continuous amount switches its band or stage on above this value.
inline constexpr double kActiveAmount = 0.0001;

// One-pole low-pass e = e + (x - e) * coef over both channels in one loop (independent
// recurrences overlap); writes each new e.
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
