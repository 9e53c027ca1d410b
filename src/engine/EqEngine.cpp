#include "EqEngine.h"

namespace kyr {

EqEngine::EqEngine()
    : mCurves(&SelectCurveKernels()),
      mScratchStorage(std::make_unique<KernelScratch>()),
      mScratch(*mScratchStorage) {}

void EqEngine::PrepareEngine(double fs) {
  mSampleRate = fs;
  ForEachStage([fs](auto& stage) { stage.Prepare(fs); });
  mMeters.xf.store(0.0f);
  mMeters.tb.store(0.0f);
  mMeters.ease.store(0.0f);
}

void EqEngine::ClearModeStates() {
  ForEachStage([](auto& stage) { stage.ClearForNewMode(); });
}

void EqEngine::ClearNonFiniteStates() {
  ForEachStage([](auto& stage) { stage.ClearNonFinite(); });
}

}  // namespace kyr
