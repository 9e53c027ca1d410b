#pragma once

namespace oskel {

// Who changed a parameter; carried to the change hooks and named in trace text.
enum EParamSource : int {
  kReset = 0,
  kHost,
  kPresetRecall,
  kUI,
  kDelegate,
  kRecompile,
  kUnknown,
};

inline const char* ParamSourceName(EParamSource source) {
  switch (source) {
    case kReset: return "Reset";
    case kHost: return "Host";
    case kPresetRecall: return "Preset";
    case kUI: return "UI";
    case kDelegate: return "Editor Delegate";
    case kRecompile: return "Recompile";
    default: return "Unknown";
  }
}

}  // namespace oskel
