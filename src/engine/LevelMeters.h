#pragma once

#include <atomic>

#include "LoudnessMeter.h"

// The editor's level readings beside the meter values: the BS.1770 loudness of the final
// output (after the filter stages and the gain match), the input's true peak and the gain the
// Auto Gain Match applies. Process runs on the audio thread at the very end of every block;
// Prepare on the main thread while no block is processed; the readings and RequestLoudnessReset
// on any thread (relaxed atomics: a reader sees whole values, possibly from different blocks).
namespace kyr {

struct LevelReadings {
  float momentary, shortTerm, integrated;  // LUFS, -120 without a value
  float inputTruePeak;                     // dBTP of the last block, at least -120
  float gainMatchDb;                       // 0 while the gain match is off
};

class LevelMeters {
 public:
  void Prepare(double fs);
  void RequestLoudnessReset() { mLoudness.RequestReset(); }

  // in: the block's real input (left and right; the same buffer for mono); out: its final
  // output. display: whether the display-only input true peak is measured (see
  // Meters::reader); the loudness always runs, so that the integrated value covers the whole
  // playback. gainMatchDb: the gain match's gain now, 0 while it is off.
  void Process(const double* inL, const double* inR, const double* outL, const double* outR, bool stereo, int n,
               bool display, double gainMatchDb);

  LevelReadings Read() const;

 private:
  LoudnessMeter mLoudness;
  double mInputHistory[2][4] = {};
  std::atomic<float> mInputTruePeak{-120.0f};
  std::atomic<float> mGainMatchDb{0.0f};
};

}  // namespace kyr
