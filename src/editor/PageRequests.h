#pragma once

#include <optional>
#include <string>

// The arbitrary messages with data that the editor page sends to Kyr EQ, read from their text the
// way the page writes them ({"paramIdx":12,"value":62.5}, {"url":"https://..."}, {"scale":1.5}):
// by searching the text, not by parsing JSON. Pure; any thread.
namespace oskel {

// Tag 1: set a parameter from a plain value.
struct SetParamRequest {
  int paramIdx = -1;    // -1 when "paramIdx": is missing, has no digits or does not fit
  double value = 0.0;   // 0 when "value": is missing; single precision, always finite
};

// Reads the first `dataSize` bytes of `data`. Returns nothing when data is absent or the
// value is not a finite number (such a request must change nothing).
std::optional<SetParamRequest> ParseSetParamRequest(const void* data, int dataSize);

// Tag 10: the address after the first "url":" up to the next double quote, when it starts with
// exactly "https://" or "http://"; nothing otherwise.
std::optional<std::string> ParseOpenUrlRequest(const void* data, int dataSize);

// The editor scales the page offers; the editor is round(width * S) x round(height * S).
constexpr double kEditorScales[] = {1.0, 1.25, 1.5, 2.0};

// Tag 13, {"scale":S}: S when it is one of kEditorScales, nothing otherwise.
std::optional<double> ParseEditorScaleRequest(const void* data, int dataSize);

}  // namespace oskel
