#pragma once

#include <string>
#include <vector>

#include "engine/BiquadSection.h"
#include "engine/EngineSettings.h"

// The magnitude response of the engine's linear filter path for one set of settings, built
// from the engine's own design routines and voicing: the curve the editor page must draw.
namespace kyr {

struct ResponseChain {
  std::vector<BiquadSection> sections;
  double gainDb = 0.0;
  const char* label = "";  // "" for the one curve; "L"/"R" or "M"/"S" for unlinked Baxandall channels
};

// One chain, or two when the Baxandall channels differ.
std::vector<ResponseChain> EngineResponseChains(const Settings& s, double fs);

// Level of a chain at hz, in dB.
double ChainDb(const ResponseChain& chain, double hz, double fs);

}  // namespace kyr
