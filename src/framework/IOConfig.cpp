#include "IOConfig.h"

#include <cstdlib>
#include <sstream>

namespace oskel {

namespace {

void ParseBuses(const std::string& part, ERoute dir, IOConfig& config) {
  if (part.empty()) return;
  size_t start = 0;
  for (;;) {
    const size_t dot = part.find('.', start);
    const std::string piece = part.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    const int n = piece == "*" ? IOConfig::kWildcard : std::atoi(piece.c_str());
    config.totalChannels[dir] += n;
    if (n != 0) config.buses[dir].push_back({dir, n});
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
}

}  // namespace

std::vector<IOConfig> ParseChannelIOStr(const std::string& text) {
  std::vector<IOConfig> configs;
  std::istringstream words(text);
  std::string piece;
  while (words >> piece) {
    IOConfig config;
    const size_t dash = piece.find('-');
    ParseBuses(piece.substr(0, dash), kInput, config);
    if (dash != std::string::npos) ParseBuses(piece.substr(dash + 1), kOutput, config);
    configs.push_back(std::move(config));
  }
  return configs;
}

}  // namespace oskel
