#pragma once

#include <atomic>
#include <cstdint>

#include "EParams.h"

// The engine's settings record: one field per parameter, converted into the unit the engine
// works in (percent / 100, decibels unchanged, indices as integers, switches as bytes).
// Written by StoreParameter on any thread, read once per block by the audio thread through
// Load(); every field is a relaxed atomic so a block sees each value whole, old or new.
namespace kyr {

// The Mode setting: any value other than kModeTube runs the Baxandall section.
enum EngineMode : int32_t { kModeTube = 0, kModeBax = 1 };

inline bool IsTubeMode(int32_t mode) { return mode == kModeTube; }

// The five program bands of the Tube mode, in signal order.
enum ProgramBand : int {
  kLowCutBand = 0,
  kLowBoostBand,
  kMidCutBand,
  kHighBoostBand,
  kHighCutBand,
  kNumProgramBands
};

// Push-Pull depths, in parameter order: one per program band (indexed by ProgramBand), then
// these.
enum PushPullDepth : int {
  kMidBoostDepth = kNumProgramBands,
  kBaxLoDepth,
  kBaxHiDepth,
  kNumPushPullDepths
};

// Bands that Push-Pull modulates in the Tube mode: the program bands and Mid Boost.
inline constexpr int kPushPullBands = kMidBoostDepth + 1;

// Plain copy of the record, taken at the start of a block.
struct Settings {
  float input = 0.5f, output = 0.5f;
  float lowCut = 0.0f, lowBoost = 0.0f, midCut = 0.0f, highBoost = 0.0f, highCut = 0.0f;
  float bandwidth = 0.0f;
  int32_t lowCutFreq = 0, lowBoostFreq = 2, midCutFreq = 2, highBoostFreq = 5, highCutFreq = 2;
  uint8_t clean = 0, bypass = 0, hqOversample = 0;
  float dynamicTube = 0.0f;
  int32_t mode = 0;
  int32_t baxLoCut = 0, baxLoShelfFreq = 4, baxHiShelfFreq = 3, baxHiCut = 0;
  float baxLoShelfLeft = 0.0f, baxLoShelfRight = 0.0f, baxHiShelfLeft = 0.0f,
        baxHiShelfRight = 0.0f;
  float baxDynamic = 0.0f;
  uint8_t baxLink = 1, baxStereoMode = 0;
  int32_t lfFilter = 0, hfFilter = 0, lfSlope = 1, hfSlope = 1;
  float lfReso = 0.0f, hfReso = 0.0f;
  float midBoost = 0.0f;
  int32_t midBoostFreq = 4;
  float tilt = 0.0f, width = 1.0f;
  int32_t bassMono = 0, bandListen = 0;
  float pushPull = 0.0f, pushPullSpeed = 0.5f, pushPullPivot = 0.0f;
  // Indexed by ProgramBand, then PushPullDepth.
  float ppDepth[kNumPushPullDepths] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
};

class SettingsRecord {
 public:
  SettingsRecord();
  // Converts a parameter's plain value and stores it (any thread). Indices outside 0..52,
  // the gain-match switch (29, kept by the gain match) and non-finite values are ignored.
  void StoreParameter(int paramIdx, double plainValue);
  Settings Load() const;

 private:
  // One slot per parameter index; only the slot of the field's type is used.
  std::atomic<float> mFloat[kNumParams];
  std::atomic<int32_t> mInt[kNumParams];
  std::atomic<uint8_t> mByte[kNumParams];
};

}  // namespace kyr
