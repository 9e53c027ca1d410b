#include "EqProcessor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "BandListen.h"
#include "BaxandallSection.h"
#include "ChannelKernels.h"
#include "Denormals.h"
#include "EParams.h"
#include "FilterStages.h"

namespace kyr {
namespace {

constexpr int kDefaultMaxBlock = 512;
constexpr int kRingCopy = 2048;

// A continuous amount selects its kernel from 0.0001 on (compared in single precision).
bool Active(float amount) { return amount >= 0.0001f; }

// Whether n samples from a and from b share memory.
bool Overlap(const double* a, const double* b, int n) {
  const auto x = reinterpret_cast<uintptr_t>(a), y = reinterpret_cast<uintptr_t>(b);
  const uintptr_t bytes = static_cast<uintptr_t>(n) * sizeof(double);
  return x < y + bytes && y < x + bytes;
}

}  // namespace

EqProcessor::EqProcessor() { ResizeBuffers(kDefaultMaxBlock); }

void EqProcessor::OnParamChange(int paramIdx, double plainValue) {
  if (paramIdx == kAutoGainMatch) {
    if (std::isfinite(plainValue)) mGainMatch.SetEnabled(plainValue >= 0.5);
    return;
  }
  mEngine.mSettings.StoreParameter(paramIdx, plainValue);
}

void EqProcessor::Reset(double sampleRate, int maxBlockFrames) {
  const double fs =
      std::isfinite(sampleRate) && sampleRate > 0.0 ? sampleRate : mEngine.mSampleRate;
  mEngine.PrepareEngine(fs);
  mSampleRate.store(fs, std::memory_order_relaxed);
  mGainMatch.Reset(fs);
  mLevels.Prepare(fs);
  ResizeBuffers(maxBlockFrames > 0 ? maxBlockFrames : kDefaultMaxBlock);
}

void EqProcessor::ResizeBuffers(int frames) {
  mCapacity = frames;
  for (int ch = 0; ch < 2; ++ch) {
    mInput[ch].assign(static_cast<size_t>(frames), 0.0);
    mFiltered[ch].assign(static_cast<size_t>(frames), 0.0);
  }
}

void EqProcessor::Process(double* const* inputs, double* const* outputs, int nInConnected,
                          int nOutConnected, int nFrames) {
  FlushDenormalsToZero();
  if (outputs == nullptr || nOutConnected < 1 || outputs[0] == nullptr) return;
  const bool stereo = nInConnected >= 2 && nOutConnected >= 2 && inputs != nullptr &&
                      inputs[1] != nullptr && outputs[1] != nullptr;
  const bool haveInput = inputs != nullptr && nInConnected >= 1 && inputs[0] != nullptr;
  double* outL = outputs[0];
  double* outR = stereo ? outputs[1] : outputs[0];
  const double* inL = haveInput ? inputs[0] : nullptr;
  const double* inR = stereo ? inputs[1] : inL;
  const int total = std::max(nFrames, 0);
  int done = 0;
  do {
    const int n = std::min(total - done, mCapacity);
    ProcessPiece(inL ? inL + done : nullptr, inR ? inR + done : nullptr, outL + done, outR + done,
                 stereo, n);
    done += n;
  } while (done < total);
}

void EqProcessor::ProcessPiece(const double* inL, const double* inR, double* outL, double* outR,
                               bool stereo, int n) {
  EqEngine& eng = mEngine;
  // The kernels read their input after writing outputs; hosts may pass the same buffer for
  // both, so an input that shares memory with an output is copied first. No input connected
  // reads as silence.
  const double* copyL = inL;
  const double* copyR = inR;
  if (inL == nullptr || Overlap(inL, outL, n) || Overlap(inL, outR, n) ||
      Overlap(inR, outL, n) || Overlap(inR, outR, n)) {
    double* l = mInput[0].data();
    double* r = stereo ? mInput[1].data() : l;
    if (inL != nullptr) {
      std::copy(inL, inL + n, l);
      if (stereo) std::copy(inR, inR + n, r);
    } else {
      std::fill(l, l + n, 0.0);
      std::fill(r, r + n, 0.0);
    }
    copyL = l;
    copyR = r;
  }

  const Settings s = eng.mSettings.Load();
  eng.mDisplayMeters = eng.mMeters.reader.load(std::memory_order_relaxed) != 0;
  const bool pushPull = Active(s.pushPull) && !s.bypass;
  const bool programPushPull = pushPull && IsTubeMode(s.mode) && !s.clean;
  const bool baxPushPull = pushPull && !IsTubeMode(s.mode);
  const bool dynamicTube = Active(s.dynamicTube) && IsTubeMode(s.mode) && !s.clean && !s.bypass;

  const double* kinL = copyL;
  const double* kinR = copyR;
  if (IsTubeMode(s.mode) && s.lfFilter > 0) {
    double* fL = mFiltered[0].data();
    double* fR = mFiltered[1].data();
    RunLowFilterStage(eng, s, copyL, copyR, fL, fR, n);
    kinL = fL;
    kinR = fR;
  }

  if (s.bandListen != 0) {
    ProcessBandListen(eng, s, copyL, copyR, outL, outR, n);
  } else {
    if (programPushPull) {
      ProcessPushPull(eng, s, kinL, kinR, outL, outR, n);
    } else if (baxPushPull) {
      ProcessBaxPushPull(eng, s, kinL, kinR, outL, outR, n);
    } else if (dynamicTube) {
      ProcessDynamicTube(eng, s, kinL, kinR, outL, outR, n);
    } else {
      ProcessMain(eng, s, kinL, kinR, outL, outR, n);
    }
    if (IsTubeMode(s.mode) && s.hfFilter > 0) RunHighFilterStage(eng, s, outL, outR, n);
  }

  if (mGainMatch.Enabled()) mGainMatch.Process(copyL, copyR, outL, outR, n);

  eng.ClearNonFiniteStates();
  mGainMatch.ClearNonFiniteStates();

  // The level readings measure what leaves the plug-in, after the filter stages and the gain
  // match.
  const double gainMatchDb = mGainMatch.Enabled() ? 20.0 * std::log10(mGainMatch.Gain()) : 0.0;
  mLevels.Process(copyL, copyR, outL, outR, stereo, n, eng.mDisplayMeters, gainMatchDb);
}

void EqProcessor::CopyLatestRings(double* inputMid2048, double* outputMid2048) const {
  const MeterState& m = mEngine.mMeter;
  const uint32_t counter = m.ringCounter.load(std::memory_order_acquire);
  for (int j = 0; j < kRingCopy; ++j) {
    const uint32_t pos = (counter - kRingCopy + static_cast<uint32_t>(j)) % kRingSize;
    inputMid2048[j] = m.inputRing[pos].load(std::memory_order_relaxed);
    outputMid2048[j] = m.outputRing[pos].load(std::memory_order_relaxed);
  }
}

}  // namespace kyr
