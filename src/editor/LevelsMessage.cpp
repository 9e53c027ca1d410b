#include "LevelsMessage.h"

#include <cstdio>

namespace oskel {

std::string FormatLevelsMessage(const LevelValues& v) {
  char buffer[160];
  const int n = std::snprintf(buffer, sizeof buffer, "{\"t\":\"levels\",\"m\":%.1f,\"s\":%.1f,\"i\":%.1f,\"inTp\":%.2f,\"gm\":%.2f}",
                              double{v.momentary}, double{v.shortTerm}, double{v.integrated}, double{v.inputTruePeak},
                              double{v.gainMatchDb});
  if (n < 0) return {};
  return std::string(buffer, static_cast<size_t>(n < static_cast<int>(sizeof buffer) ? n : sizeof buffer - 1));
}

std::string FormatEditorScaleMessage(double scale) {
  char buffer[48];
  const int n = std::snprintf(buffer, sizeof buffer, "{\"t\":\"size\",\"scale\":%g}", scale);
  return n > 0 && n < static_cast<int>(sizeof buffer) ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

}  // namespace oskel
