#pragma once

// Parameter indices of Kyr EQ. The index is a parameter's identity for hosts, stored
// projects, the editor page and the engine, so the order below never changes.
namespace kyr {

enum EParams : int {
  kInput = 0,
  kLowCut,
  kLowCutFreq,
  kLowBoost,
  kLowBoostFreq,
  kMidCut,
  kMidCutFreq,
  kHighBoost,
  kHighBoostFreq,
  kBandwidth,
  kHighCut,
  kHighCutFreq,
  kOutput,
  kClean,
  kBypass,
  kMode,
  kBaxLoCut,
  kBaxLoShelfFreq,
  kBaxLoShelfL,
  kBaxLoShelfR,
  kBaxHiShelfFreq,
  kBaxHiShelfL,
  kBaxHiShelfR,
  kBaxHiCut,
  kBaxDynamic,
  kBaxLink,
  kBaxStereoMode,
  kHQOversample,
  kDynamicTube,
  kAutoGainMatch,
  kLFFilter,
  kHFFilter,
  kLFSlope,
  kLFReso,
  kHFSlope,
  kHFReso,
  kMidBoost,
  kMidBoostFreq,
  kBandListen,
  kTilt,
  kWidth,
  kBassMono,
  kPushPull,
  kPushPullSpeed,
  kPushPullPivot,
  kPPLowCut,
  kPPLowBoost,
  kPPMidCut,
  kPPHighBoost,
  kPPHighCut,
  kPPMidBoost,
  kPPBaxLo,
  kPPBaxHi,
  kNumParams
};

static_assert(kNumParams == 53, "the parameter set has 53 entries");

}  // namespace kyr
