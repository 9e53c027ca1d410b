#pragma once

#include <string>

// The editor's level texts beside the meter message: the levels message (tag 5), and the
// editor scale the page is told (tag 7). Pure; any thread.
namespace oskel {

// One snapshot of the level readings, as the editor timer copies them.
struct LevelValues {
  float momentary = -120.0f;   // LUFS, BS.1770 momentary (400 ms)
  float shortTerm = -120.0f;   // LUFS, short-term (3 s)
  float integrated = -120.0f;  // LUFS, gated over the whole measurement
  float inputTruePeak = -120.0f;  // dBTP of the input's last block
  float gainMatchDb = 0.0f;       // gain the Auto Gain Match applies now
};

// {"t":"levels","m":%.1f,"s":%.1f,"i":%.1f,"inTp":%.2f,"gm":%.2f}
std::string FormatLevelsMessage(const LevelValues& levels);

// {"t":"size","scale":S}, S written as the page wrote it (1, 1.25, 1.5, 2).
std::string FormatEditorScaleMessage(double scale);

}  // namespace oskel
