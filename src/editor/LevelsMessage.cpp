#include "LevelsMessage.h"

#include <charconv>
#include <cstdio>
#include <string_view>

namespace oskel {

std::string FormatLevelsMessage(const LevelValues& v) {
  char buffer[160];
  const int n = std::snprintf(buffer, sizeof buffer, "{\"t\":\"levels\",\"m\":%.1f,\"s\":%.1f,\"i\":%.1f,\"inTp\":%.2f,\"gm\":%.2f}",
                              double{v.momentary}, double{v.shortTerm}, double{v.integrated}, double{v.inputTruePeak},
                              double{v.gainMatchDb});
  if (n < 0) return {};
  return std::string(buffer, static_cast<size_t>(n < static_cast<int>(sizeof buffer) ? n : sizeof buffer - 1));
}

std::optional<double> ParseEditorScaleRequest(const void* data, int dataSize) {
  if (!data || dataSize <= 0) return std::nullopt;
  constexpr std::string_view kKey = "\"scale\":";
  std::string_view text(static_cast<const char*>(data), static_cast<size_t>(dataSize));
  const size_t at = text.find(kKey);
  if (at == std::string_view::npos) return std::nullopt;
  text.remove_prefix(at + kKey.size());
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' || text.front() == '\r'))
    text.remove_prefix(1);
  double scale = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), scale);
  if (error != std::errc()) return std::nullopt;
  for (const double allowed : kEditorScales)
    if (scale == allowed) return scale;
  return std::nullopt;
}

std::string FormatEditorScaleMessage(double scale) {
  char buffer[48];
  const int n = std::snprintf(buffer, sizeof buffer, "{\"t\":\"size\",\"scale\":%g}", scale);
  return n > 0 && n < static_cast<int>(sizeof buffer) ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

}  // namespace oskel
