#pragma once

#include <cmath>

// One second-order filter section in transposed direct form II. Coefficients are already
// divided by a0; the states are kept per channel (index 0 left or channel A, 1 right or B).
// First-order filters use the same record with b2 = a2 = 0. Audio thread only.
namespace kyr {

struct BiquadSection {
  double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
  double s1[2] = {0.0, 0.0};
  double s2[2] = {0.0, 0.0};
};

inline double RunBiquad(BiquadSection& s, double x, int ch) {
  const double y = s.b0 * x + s.s1[ch];
  s.s1[ch] = s.b1 * x - s.a1 * y + s.s2[ch];
  s.s2[ch] = s.b2 * x - s.a2 * y;
  return y;
}

inline void SetIdentity(BiquadSection& s) {
  s.b0 = 1.0;
  s.b1 = s.b2 = s.a1 = s.a2 = 0.0;
}

inline void ClearStates(BiquadSection& s) { s.s1[0] = s.s1[1] = s.s2[0] = s.s2[1] = 0.0; }

// A channel whose states are not finite starts again from zero.
inline void ClearNonFiniteStates(BiquadSection& s) {
  for (int ch = 0; ch < 2; ++ch) {
    if (!std::isfinite(s.s1[ch]) || !std::isfinite(s.s2[ch])) s.s1[ch] = s.s2[ch] = 0.0;
  }
}

// Copies the coefficients of one section into another, whose states stay.
inline void CopyCoefficients(const BiquadSection& from, BiquadSection& to) {
  to.b0 = from.b0;
  to.b1 = from.b1;
  to.b2 = from.b2;
  to.a1 = from.a1;
  to.a2 = from.a2;
}

inline bool IsIdentity(const BiquadSection& s) {
  return s.b0 == 1.0 && s.b1 == 0.0 && s.b2 == 0.0 && s.a1 == 0.0 && s.a2 == 0.0;
}

// True when running the channel would only copy its input: identity coefficients and zero
// states, so a block loop may skip the section.
inline bool IsPassThrough(const BiquadSection& s, int ch) {
  return IsIdentity(s) && s.s1[ch] == 0.0 && s.s2[ch] == 0.0;
}

}  // namespace kyr
