#include "PageRequests.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace oskel {

namespace {

std::string_view TextOf(const void* data, int dataSize) {
  if (!data || dataSize <= 0) return {};
  return std::string_view(static_cast<const char*>(data), static_cast<size_t>(dataSize));
}

// The text after the first occurrence of `key`, leading white space skipped; nothing when the
// key does not occur.
std::optional<std::string_view> AfterKey(std::string_view text, std::string_view key) {
  const size_t at = text.find(key);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = text.substr(at + key.size());
  while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.front()))) rest.remove_prefix(1);
  return rest;
}

// Optional sign and the longest run of digits. A text without digits, or a number outside the
// 32-bit range, gives -1: an index that matches no parameter (not parameter 0).
int ReadIndex(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || value < INT32_MIN || value > INT32_MAX) return -1;
  return static_cast<int>(value);
}

// The longest prefix that reads as a decimal number; 0 when there is none. Non-finite texts
// ("inf", "nan") and overflowing numbers are reported as such so that the caller rejects them.
double ReadNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+' && !(text.size() > 1 && text[1] == '-')) text.remove_prefix(1);
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) return HUGE_VAL;
  if (error != std::errc()) return 0.0;
  return value;
}

}  // namespace

std::optional<SetParamRequest> ParseSetParamRequest(const void* data, int dataSize) {
  if (!data) return std::nullopt;
  const std::string_view text = TextOf(data, dataSize);
  SetParamRequest request;
  if (const auto index = AfterKey(text, "\"paramIdx\":")) request.paramIdx = ReadIndex(*index);
  if (const auto value = AfterKey(text, "\"value\":")) request.value = ReadNumber(*value);
  if (!std::isfinite(request.value)) return std::nullopt;
  // The page's number is taken in single precision; beyond its range no parameter's range is.
  request.value = static_cast<double>(static_cast<float>(std::clamp(request.value, -double{FLT_MAX}, double{FLT_MAX})));
  return request;
}

std::optional<std::string> ParseOpenUrlRequest(const void* data, int dataSize) {
  constexpr std::string_view kKey = "\"url\":\"";
  const std::string_view text = TextOf(data, dataSize);
  const size_t at = text.find(kKey);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view url = text.substr(at + kKey.size());
  url = url.substr(0, url.find('"'));
  if (url.substr(0, 8) != "https://" && url.substr(0, 7) != "http://") return std::nullopt;
  // Control characters have no place in an address and are not handed to the shell.
  for (const char c : url)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
  return std::string(url);
}

std::optional<double> ParseEditorScaleRequest(const void* data, int dataSize) {
  const auto rest = AfterKey(TextOf(data, dataSize), "\"scale\":");
  if (!rest) return std::nullopt;
  double scale = 0.0;
  const auto [end, error] = std::from_chars(rest->data(), rest->data() + rest->size(), scale);
  if (error != std::errc()) return std::nullopt;
  for (const double allowed : kEditorScales)
    if (scale == allowed) return scale;
  return std::nullopt;
}

}  // namespace oskel
