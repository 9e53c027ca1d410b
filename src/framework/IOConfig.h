#pragma once

#include <string>
#include <vector>

namespace oskel {

enum ERoute : int { kInput = 0, kOutput = 1 };

// One channel I/O configuration the plug-in accepts: its input and output buses.
struct IOConfig {
  static constexpr int kWildcard = -64;  // a "*" bus: any number of channels

  struct Bus {
    ERoute direction;
    int nChannels;
  };

  std::vector<Bus> buses[2];  // indexed by ERoute
  int totalChannels[2] = {0, 0};

  int NBuses(ERoute dir) const { return static_cast<int>(buses[dir].size()); }
  int NChannels(ERoute dir, int busIdx) const {
    return busIdx >= 0 && busIdx < NBuses(dir) ? buses[dir][static_cast<size_t>(busIdx)].nChannels : 0;
  }
  bool ContainsWildcard(ERoute dir) const {
    for (const Bus& b : buses[dir])
      if (b.nChannels == kWildcard) return true;
    return false;
  }
};

// Parses a configuration string such as "1-1 2-2": configurations separated by blanks, each
// "inputs-outputs", buses separated by ".", a bus being a channel count or "*".
std::vector<IOConfig> ParseChannelIOStr(const std::string& text);

}  // namespace oskel
