#pragma once

#include <string>

#include "pluginterfaces/base/ftypes.h"

namespace oskel {

// UTF-8 <-> UTF-16 for the VST 3 boundary. The UTF-16 side is a fixed array of maxUnits code
// units including the terminator (128 for the SDK's String128); longer text is cut at a whole
// character. Invalid UTF-8 bytes become U+FFFD.
void Utf8ToUtf16(const std::string& text, Steinberg::char16* out, int maxUnits);
std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const Steinberg::char16* text, int maxUnits = 1 << 20);

}  // namespace oskel
