#pragma once

#include <cmath>

// State of a one-pole filter on both channels: previous input and output per channel (a
// low-pass uses only y1). Audio thread only.
namespace kyr {

struct OnePoleState {
  double x1[2] = {0.0, 0.0};
  double y1[2] = {0.0, 0.0};
};

// A channel whose states are not finite starts again from zero.
inline void ClearNonFiniteStates(OnePoleState& s) {
  for (int ch = 0; ch < 2; ++ch) {
    if (!std::isfinite(s.x1[ch]) || !std::isfinite(s.y1[ch])) s.x1[ch] = s.y1[ch] = 0.0;
  }
}

}  // namespace kyr
