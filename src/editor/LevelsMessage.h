#pragma once

#include <optional>
#include <string>

// The editor's level texts beside the meter message: the levels message (tag 5), and the
// editor scale the page asks for (tag 13) and is told (tag 7). Pure; any thread.
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

// The editor scales the page offers; the editor is round(width * S) x round(height * S).
constexpr double kEditorScales[] = {1.0, 1.25, 1.5, 2.0};

// Tag 13, {"scale":S}: S when it is one of kEditorScales, nothing otherwise. The text is searched,
// not parsed, like the page's other requests.
std::optional<double> ParseEditorScaleRequest(const void* data, int dataSize);

// {"t":"size","scale":S}, S written as the page wrote it (1, 1.25, 1.5, 2).
std::string FormatEditorScaleMessage(double scale);

}  // namespace oskel
