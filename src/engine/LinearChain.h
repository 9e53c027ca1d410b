#pragma once

#include "BiquadSection.h"
#include "OnePoleState.h"

// The linear part of a chain run over a pass of both channels in one per-sample loop:
// optional one-pole coupling high-pass, up to kMaxChainSections sections per channel (each
// channel may have its own list; channel c uses state index c), and an optional split
// low-pass whose output is written separately. The order of operations per sample and
// channel is the chain's own, so results match a sample-by-sample run bit for bit, while the
// processor overlaps the stages of consecutive samples (the cost is that of the slowest
// recurrence, not the sum of all of them).
namespace kyr {

inline constexpr int kMaxChainSections = 8;

struct LinearChain {
  BiquadSection* sections[2][kMaxChainSections] = {};
  int count[2] = {0, 0};
  OnePoleState* coupling = nullptr;  // y = (x + y1 - x1) * couplingCoef
  double couplingCoef = 0.0;
  double* split = nullptr;  // split[c] = split[c] + (y - split[c]) * splitCoef
  double splitCoef = 0.0;

  // Adds a section to both channels, or to one (ch 0 or 1).
  void Add(BiquadSection& s, int ch = -1);
  // Adds a section unless it would only copy its input (identity with zero states).
  void AddActive(BiquadSection& s);

  // in[c] -> out[c] (may be the same buffer); splitOut[c] receives the split filter's
  // output when a split filter is set.
  void Run(const double* const in[2], double* const out[2], double* const splitOut[2], int n) const;
};

}  // namespace kyr
