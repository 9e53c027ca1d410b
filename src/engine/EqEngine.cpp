#include "EqEngine.h"

#include <cmath>

#include "FilterDesign.h"

namespace kyr {
namespace {

// Coefficient of a one-pole smoother with time constant timeSec.
double SmoothingCoef(double timeSec, double fs) { return 1.0 - std::exp(-1.0 / (timeSec * fs)); }

// Coefficient of a one-pole low-pass at freqHz.
double OnePoleCoef(double freqHz, double fs) { return 1.0 - std::exp(-kTwoPi * freqHz / fs); }

void Clear(OnePoleState& s) { s = OnePoleState{}; }

void ClearStage(FilterStage& s) {
  ClearStates(s.first);
  ClearStates(s.second);
  Clear(s.onePole);
  s.active = 0;
}

bool Finite(double v) { return std::isfinite(v); }

// Sets values[0..count) to resetValue when any of them is not finite.
void ResetIfNonFinite(double* values, int count, double resetValue) {
  for (int i = 0; i < count; ++i) {
    if (!Finite(values[i])) {
      for (int k = 0; k < count; ++k) values[k] = resetValue;
      return;
    }
  }
}

void Sanitize(BiquadSection& s) {
  for (int ch = 0; ch < 2; ++ch) {
    if (!Finite(s.s1[ch]) || !Finite(s.s2[ch])) s.s1[ch] = s.s2[ch] = 0.0;
  }
}

void Sanitize(OnePoleState& s) {
  for (int ch = 0; ch < 2; ++ch) {
    if (!Finite(s.x1[ch]) || !Finite(s.y1[ch])) s.x1[ch] = s.y1[ch] = 0.0;
  }
}

void Sanitize(PushPullBandState& s) {
  if (!Finite(s.fast) || !Finite(s.slow)) s.fast = s.slow = 0.0;
  if (!Finite(s.gain)) s.gain = 1.0;
}

void Sanitize(HalfbandState& s) {
  for (AllpassBranch* br : {&s.a, &s.b}) {
    ResetIfNonFinite(br->x1, kAllpassSections, 0.0);
    ResetIfNonFinite(br->y1, kAllpassSections, 0.0);
  }
}

void Sanitize(FilterStage& s) {
  Sanitize(s.first);
  Sanitize(s.second);
  Sanitize(s.onePole);
}

}  // namespace

EqEngine::EqEngine()
    : mCurves(&SelectCurveKernels()),
      mScratchStorage(std::make_unique<KernelScratch>()),
      mScratch(*mScratchStorage) {
  mMeter.inputRing = std::make_unique<std::atomic<double>[]>(kRingSize);
  mMeter.outputRing = std::make_unique<std::atomic<double>[]>(kRingSize);
  for (int i = 0; i < kRingSize; ++i) {
    mMeter.inputRing[i].store(0.0, std::memory_order_relaxed);
    mMeter.outputRing[i].store(0.0, std::memory_order_relaxed);
  }
}

void EqEngine::PrepareEngine(double fs) {
  mSampleRate = fs;

  for (BiquadSection& s : mProgram) s = BiquadSection{};
  for (uint8_t& on : mBandOn) on = 0;

  mSplitCoef = 1.0 - std::exp(-kSplitOmega / fs);
  mSplitCoef2x = 1.0 - std::exp(-kSplitOmega / (2.0 * fs));
  mSplit[0] = mSplit[1] = mSplit2x[0] = mSplit2x[1] = 0.0;

  for (int ch = 0; ch < 2; ++ch) {
    mUpsampler[ch] = HalfbandState{};
    mDownsampler[ch] = HalfbandState{};
  }

  Clear(mCoupling);

  mBax.ForEachSection([](BiquadSection& s) { ClearStates(s); });
  ClearStates(mMidBoost);
  ClearStage(mLowStage);
  ClearStage(mHighStage);
  mMidBoostOn = 0;
  mBax.tiltOn = mBax.widthOn = 0;
  mBax.loCutOn = mBax.hiCutOn = 0;
  mLastMode = -1;

  mW250 = OnePoleCoef(250.0, fs);
  mW2500 = OnePoleCoef(2500.0, fs);
  mW120 = SmoothingCoef(0.12, fs);
  mBax.detector = BaxDetector{};

  Clear(mAnalysis.coupling);
  for (BiquadSection& s : mAnalysis.sections) ClearStates(s);
  mAnalysis.split[0] = mAnalysis.split[1] = 0.0;

  mDynFastCoef = SmoothingCoef(0.003, fs);
  mDynSlowCoef = SmoothingCoef(0.08, fs);
  mDynamic = DynamicDriveState{};

  mPpSlowCoef = SmoothingCoef(1.0, fs);
  mPpGainCoef = SmoothingCoef(0.01, fs);
  mPpLevelCoef = SmoothingCoef(0.08, fs);
  for (auto& band : mPushPull) band[0] = band[1] = PushPullBandState{};
  for (PushPullBandState& s : mBax.pushPull) s = PushPullBandState{};
  mPushPullLevel[0] = mPushPullLevel[1] = 0.0;

  mMeters.xf.store(0.0f);
  mMeters.tb.store(0.0f);
  mMeters.ease.store(0.0f);

  DesignBiquad(mMeter.shelf, kHighShelf, 1500.0, 4.0, 0.7071, fs);
  DesignButterworth(mMeter.highPass, true, 38.0, fs);
  ClearStates(mMeter.shelf);
  ClearStates(mMeter.highPass);
  mMeter.meanSquare = 0.0;
  mMeter.coef = SmoothingCoef(3.0, fs);
  for (auto& h : mMeter.history) h[0] = h[1] = h[2] = h[3] = 0.0;
  for (int i = 0; i < kRingSize; ++i) {
    mMeter.inputRing[i].store(0.0, std::memory_order_relaxed);
    mMeter.outputRing[i].store(0.0, std::memory_order_relaxed);
  }
  mMeter.ringCounter.store(0, std::memory_order_relaxed);
}

void EqEngine::ClearModeStates() {
  for (BiquadSection& s : mProgram) ClearStates(s);
  ClearStates(mMidBoost);
  mMidBoostOn = 0;
  mBax.ForEachSection([](BiquadSection& s) { ClearStates(s); });
  mBax.tiltOn = mBax.widthOn = 0;
  ClearStage(mLowStage);
  ClearStage(mHighStage);
  Clear(mCoupling);
  mSplit[0] = mSplit[1] = 0.0;
}

void EqEngine::ClearNonFiniteStates() {
  for (BiquadSection& s : mProgram) Sanitize(s);
  Sanitize(mMidBoost);
  Sanitize(mCoupling);
  ResetIfNonFinite(mSplit, 2, 0.0);
  ResetIfNonFinite(mSplit2x, 2, 0.0);
  for (int ch = 0; ch < 2; ++ch) {
    Sanitize(mUpsampler[ch]);
    Sanitize(mDownsampler[ch]);
  }
  ResetIfNonFinite(mDynamic.fast, 2, 0.0);
  ResetIfNonFinite(mDynamic.slow, 2, 0.0);
  if (!Finite(mDynamic.gain)) mDynamic.gain = 0.0;
  for (auto& band : mPushPull) {
    Sanitize(band[0]);
    Sanitize(band[1]);
  }
  ResetIfNonFinite(mPushPullLevel, 2, 0.0);

  mBax.ForEachSection([](BiquadSection& s) { Sanitize(s); });
  BaxDetector& d = mBax.detector;
  for (double* v : {d.lp250, d.lp2500, d.envLo, d.envHi}) ResetIfNonFinite(v, 2, 0.0);
  for (PushPullBandState& s : mBax.pushPull) Sanitize(s);

  Sanitize(mLowStage);
  Sanitize(mHighStage);

  Sanitize(mAnalysis.coupling);
  for (BiquadSection& s : mAnalysis.sections) Sanitize(s);
  ResetIfNonFinite(mAnalysis.split, 2, 0.0);

  Sanitize(mMeter.shelf);
  Sanitize(mMeter.highPass);
  for (auto& h : mMeter.history) ResetIfNonFinite(h, 4, 0.0);
  Sanitize(mBandListen);
}

}  // namespace kyr
