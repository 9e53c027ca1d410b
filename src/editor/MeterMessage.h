#pragma once

#include <string>

namespace oskel {

// One snapshot of the equaliser's meter values, as the editor timer copies them.
struct MeterValues {
  float thd = 0.0f;
  float drive = 0.0f;
  float loRed = 0.0f;
  float hiRed = 0.0f;
  float tp = -120.0f;
  float lufs = -120.0f;
  float xf = 0.0f;
  float tb = 0.0f;
  float ease = 0.0f;
  float ppg[6] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
  float ppbg[2] = {1.0f, 1.0f};
};

// The meter message (arbitrary-message tag 0), a compact JSON object:
// {"t":"meters","thd":%.3f,"drive":%.3f,"loRed":%.2f,"hiRed":%.2f,"tp":%.2f,"lufs":%.1f,
//  "xf":%.3f,"tb":%.3f,"ease":%.2f,"ppg":[6 x %.3f],"ppbg":[2 x %.3f]}, at most 511 bytes.
std::string FormatMeterMessage(const MeterValues& meters);

}  // namespace oskel
