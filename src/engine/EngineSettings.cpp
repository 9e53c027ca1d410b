#include "EngineSettings.h"

#include <cmath>
#include <type_traits>

namespace kyr {
namespace {

// Calls fn(parameter index, field) for every field of the record: the one place that ties
// the fields to their parameters.
template <typename S, typename Fn>
void VisitFields(S& s, Fn&& fn) {
  fn(kInput, s.input);
  fn(kOutput, s.output);
  fn(kLowCut, s.lowCut);
  fn(kLowBoost, s.lowBoost);
  fn(kMidCut, s.midCut);
  fn(kHighBoost, s.highBoost);
  fn(kHighCut, s.highCut);
  fn(kBandwidth, s.bandwidth);
  fn(kLowCutFreq, s.lowCutFreq);
  fn(kLowBoostFreq, s.lowBoostFreq);
  fn(kMidCutFreq, s.midCutFreq);
  fn(kHighBoostFreq, s.highBoostFreq);
  fn(kHighCutFreq, s.highCutFreq);
  fn(kClean, s.clean);
  fn(kBypass, s.bypass);
  fn(kHQOversample, s.hqOversample);
  fn(kDynamicTube, s.dynamicTube);
  fn(kMode, s.mode);
  fn(kBaxLoCut, s.baxLoCut);
  fn(kBaxLoShelfFreq, s.baxLoShelfFreq);
  fn(kBaxHiShelfFreq, s.baxHiShelfFreq);
  fn(kBaxHiCut, s.baxHiCut);
  fn(kBaxLoShelfL, s.baxLoShelfLeft);
  fn(kBaxLoShelfR, s.baxLoShelfRight);
  fn(kBaxHiShelfL, s.baxHiShelfLeft);
  fn(kBaxHiShelfR, s.baxHiShelfRight);
  fn(kBaxDynamic, s.baxDynamic);
  fn(kBaxLink, s.baxLink);
  fn(kBaxStereoMode, s.baxStereoMode);
  fn(kLFFilter, s.lfFilter);
  fn(kHFFilter, s.hfFilter);
  fn(kLFSlope, s.lfSlope);
  fn(kHFSlope, s.hfSlope);
  fn(kLFReso, s.lfReso);
  fn(kHFReso, s.hfReso);
  fn(kMidBoost, s.midBoost);
  fn(kMidBoostFreq, s.midBoostFreq);
  fn(kTilt, s.tilt);
  fn(kWidth, s.width);
  fn(kBassMono, s.bassMono);
  fn(kBandListen, s.bandListen);
  fn(kPushPull, s.pushPull);
  fn(kPushPullSpeed, s.pushPullSpeed);
  fn(kPushPullPivot, s.pushPullPivot);
  for (int k = 0; k < kNumPushPullDepths; ++k) fn(kPPLowCut + k, s.ppDepth[k]);
}

bool IsDecibel(int idx) {
  return idx == kBaxLoShelfL || idx == kBaxLoShelfR || idx == kBaxHiShelfL || idx == kBaxHiShelfR ||
         idx == kTilt;
}

// Truncation toward zero; the limits keep the conversion defined for any finite value.
int32_t ToIndex(double v) {
  if (v > 1.0e9) v = 1.0e9;
  if (v < -1.0e9) v = -1.0e9;
  return static_cast<int32_t>(v);
}

}  // namespace

SettingsRecord::SettingsRecord() {
  Settings defaults;
  VisitFields(defaults, [this](int idx, auto& field) {
    using T = std::remove_reference_t<decltype(field)>;
    if constexpr (std::is_same_v<T, float>) {
      mFloat[idx].store(field, std::memory_order_relaxed);
    } else if constexpr (std::is_same_v<T, int32_t>) {
      mInt[idx].store(field, std::memory_order_relaxed);
    } else {
      mByte[idx].store(field, std::memory_order_relaxed);
    }
  });
}

void SettingsRecord::StoreParameter(int paramIdx, double plainValue) {
  if (paramIdx < 0 || paramIdx >= kNumParams || !std::isfinite(plainValue)) return;
  Settings probe;
  VisitFields(probe, [&](int idx, auto& field) {
    if (idx != paramIdx) return;
    using T = std::remove_reference_t<decltype(field)>;
    if constexpr (std::is_same_v<T, float>) {
      const float v =
          IsDecibel(idx) ? static_cast<float>(plainValue) : static_cast<float>(plainValue / 100.0);
      mFloat[idx].store(v, std::memory_order_relaxed);
    } else if constexpr (std::is_same_v<T, int32_t>) {
      mInt[idx].store(ToIndex(plainValue), std::memory_order_relaxed);
    } else {
      mByte[idx].store(plainValue >= 0.5 ? 1 : 0, std::memory_order_relaxed);
    }
  });
}

Settings SettingsRecord::Load() const {
  Settings s;
  VisitFields(s, [this](int idx, auto& field) {
    using T = std::remove_reference_t<decltype(field)>;
    if constexpr (std::is_same_v<T, float>) {
      field = mFloat[idx].load(std::memory_order_relaxed);
    } else if constexpr (std::is_same_v<T, int32_t>) {
      field = mInt[idx].load(std::memory_order_relaxed);
    } else {
      field = mByte[idx].load(std::memory_order_relaxed);
    }
  });
  return s;
}

}  // namespace kyr
