#pragma once

#include <cstdint>

namespace oskel {

// The host's transport at the start of the current block (audio thread).
struct TransportInfo {
  double tempo = 120.0;
  double samplePos = -1.0;
  double ppqPos = -1.0;
  double lastBar = -1.0;
  double cycleStart = -1.0;
  double cycleEnd = -1.0;
  int32_t numerator = 4;
  int32_t denominator = 4;
  bool transportIsRunning = false;
  bool transportLoopEnabled = false;
};

}  // namespace oskel
