#include "BaxandallSection.h"

#include <algorithm>
#include <cmath>

#include "BlockOps.h"
#include "ChannelKernels.h"
#include "EqEngine.h"
#include "FilterDesign.h"
#include "LinearChain.h"
#include "Metering.h"
#include "TubeStage.h"

namespace kyr {
namespace {

// Per-block values of the Baxandall chain.
struct BaxBlock {
  bool midSide = false;
  bool tilt = false;
  bool width = false;
  bool bassMono = false;
  double widthGain = 1.0;
  double outputGain = 1.0;
  double loRed = 0.0, hiRed = 0.0;
};

// Dynamic reduction in dB from an envelope: 0 at -24 dBFS or below, 6 * depth at 0 dBFS.
double Reduction(double env, double depth) {
  const double x = std::clamp((20.0 * std::log10(env + 1e-9) + 24.0) / 24.0, 0.0, 1.0);
  return x * depth * 6.0;
}

// Enables a cut: clears its states when it was off, designs it, or makes it the identity.
void PrepareCut(BiquadSection& s, uint8_t& flag, bool highpass, double freqHz, double fs) {
  const bool on = freqHz > 0.0;
  if (on) {
    if (!flag) ClearStates(s);
    DesignButterworth(s, highpass, freqHz, fs);
  } else {
    SetIdentity(s);
  }
  flag = on ? 1 : 0;
}

// Block prologue: shelf gains (with BAX Dynamic when dynamic), link, designs, flags.
BaxBlock PrepareBax(EqEngine& eng, const Settings& s, bool dynamic) {
  BaxState& bax = eng.mBax;
  const double fs = eng.mSampleRate;
  BaxBlock b;
  double gLo[2] = {s.baxLoShelfLeft, s.baxLoShelfRight};
  double gHi[2] = {s.baxHiShelfLeft, s.baxHiShelfRight};
  const double depth = s.baxDynamic;
  if (dynamic && depth > kActiveAmount) {
    double rLo[2], rHi[2];
    for (int c = 0; c < 2; ++c) {
      rLo[c] = Reduction(bax.detector.envLo[c], depth);
      rHi[c] = Reduction(bax.detector.envHi[c], depth);
    }
    if (s.baxLink) {
      rLo[0] = rLo[1] = std::max(rLo[0], rLo[1]);
      rHi[0] = rHi[1] = std::max(rHi[0], rHi[1]);
    }
    for (int c = 0; c < 2; ++c) {
      if (gLo[c] > 0.0) gLo[c] = std::max(gLo[c] - rLo[c], 0.0);
      if (gHi[c] > 0.0) gHi[c] = std::max(gHi[c] - rHi[c], 0.0);
    }
    b.loRed = (rLo[0] + rLo[1]) / 2.0;
    b.hiRed = (rHi[0] + rHi[1]) / 2.0;
  }
  if (s.baxLink) {
    gLo[1] = gLo[0];
    gHi[1] = gHi[0];
  }
  const double fLo = TableValue(kBaxLoShelfHz, s.baxLoShelfFreq);
  const double fHi = TableValue(kBaxHiShelfHz, s.baxHiShelfFreq);
  for (int c = 0; c < 2; ++c) {
    DesignBaxShelf(bax.loShelf[c], false, fLo, gLo[c], fs);
    DesignBaxShelf(bax.hiShelf[c], true, fHi, gHi[c], fs);
  }
  PrepareCut(bax.loCut, bax.loCutOn, true, TableValue(kBaxLoCutHz, s.baxLoCut), fs);
  PrepareCut(bax.hiCut, bax.hiCutOn, false, TableValue(kBaxHiCutHz, s.baxHiCut), fs);

  const double tilt = s.tilt;
  b.tilt = std::fabs(tilt) > kActiveAmount;
  if (b.tilt) {
    if (!bax.tiltOn) {
      ClearStates(bax.tiltLow);
      ClearStates(bax.tiltHigh);
    }
    DesignFirstOrderShelf(bax.tiltLow, false, kTiltHz, -tilt, fs);
    DesignFirstOrderShelf(bax.tiltHigh, true, kTiltHz, tilt, fs);
  }
  bax.tiltOn = b.tilt ? 1 : 0;

  b.widthGain = s.width;
  const double bassMonoHz = TableValue(kBassMonoHz, s.bassMono);
  b.bassMono = bassMonoHz > 0.0;
  b.width = std::fabs(b.widthGain - 1.0) > kActiveAmount || b.bassMono;
  if (b.width) {
    if (!bax.widthOn) ClearStates(bax.bassMono);
    if (b.bassMono) DesignButterworth(bax.bassMono, true, bassMonoHz, fs);
  }
  bax.widthOn = b.width ? 1 : 0;
  b.midSide = s.baxStereoMode != 0;
  return b;
}

// Runs the BAX Dynamic detectors over a pass of the input.
void RunDetectors(EqEngine& eng, bool midSide, const double* inL, const double* inR, int n) {
  BaxDetector& d = eng.mBax.detector;
  const double w250 = d.lowPass250HzCoef, w2500 = d.lowPass2500HzCoef;
  const double w120 = d.smooth120msCoef;
  for (int i = 0; i < n; ++i) {
    const double l = inL[i], r = inR[i];
    const double x[2] = {midSide ? (l + r) / 2.0 : l, midSide ? (l - r) / 2.0 : r};
    for (int c = 0; c < 2; ++c) {
      d.lp250[c] = d.lp250[c] + (x[c] - d.lp250[c]) * w250;
      d.lp2500[c] = d.lp2500[c] + (x[c] - d.lp2500[c]) * w2500;
      d.envLo[c] = d.envLo[c] + (std::fabs(d.lp250[c]) - d.envLo[c]) * w120;
      d.envHi[c] = d.envHi[c] + (std::fabs(x[c] - d.lp2500[c]) - d.envHi[c]) * w120;
    }
  }
}

// The Baxandall chain over the block; pushPull replaces the plain shelves by push-pull
// steps, dynamic runs the detectors.
void RunBaxChain(EqEngine& eng, const BaxBlock& b, const double* inL, const double* inR,
                 double* outL, double* outR, int n, bool dynamic, const PushPullParams* pp,
                 const double* ppAmount) {
  BaxState& bax = eng.mBax;
  KernelScratch& sc = eng.mScratch;
  double* a = sc.x[0];
  double* c = sc.x[1];
  double* const work[2] = {a, c};
  // Without push-pull the whole linear chain runs in one loop; with it, the shelves sit
  // between the cut before them and the cuts and tilt after them.
  LinearChain front, back;
  front.AddActive(bax.loCut);
  LinearChain& rest = pp != nullptr ? back : front;
  if (pp == nullptr) {
    for (int ch = 0; ch < 2; ++ch) front.Add(bax.loShelf[ch], ch);
    for (int ch = 0; ch < 2; ++ch) front.Add(bax.hiShelf[ch], ch);
  }
  rest.AddActive(bax.hiCut);
  if (b.tilt) {
    rest.Add(bax.tiltLow);
    rest.Add(bax.tiltHigh);
  }
  for (int i0 = 0; i0 < n; i0 += kChunk) {
    const int m = std::min(kChunk, n - i0);
    const double* l = inL + i0;
    const double* r = inR + i0;
    if (dynamic) RunDetectors(eng, b.midSide, l, r, m);
    for (int i = 0; i < m; ++i) {
      a[i] = b.midSide ? (l[i] + r[i]) / 2.0 : l[i];
      c[i] = b.midSide ? (l[i] - r[i]) / 2.0 : r[i];
    }
    front.Run(work, work, nullptr, m);
    if (pp != nullptr) {
      const PushPullBand shelves[2] = {
          {{&bax.loShelf[0], &bax.loShelf[1]}, {&bax.pushPull[0], &bax.pushPull[1]}, ppAmount[0]},
          {{&bax.hiShelf[0], &bax.hiShelf[1]}, {&bax.pushPull[2], &bax.pushPull[3]}, ppAmount[1]}};
      RunPushPullBands(eng, shelves, 2, *pp, work, m);
      back.Run(work, work, nullptr, m);
    }
    const double g = b.outputGain;
    for (int i = 0; i < m; ++i) {
      double mid, side;
      if (b.width) {
        mid = b.midSide ? a[i] : (a[i] + c[i]) / 2.0;
        side = b.midSide ? c[i] : (a[i] - c[i]) / 2.0;
        side = side * b.widthGain;
        if (b.bassMono) side = RunBiquad(bax.bassMono, side, 0);
      } else if (!b.midSide) {
        outL[i0 + i] = FiniteOrZero(a[i] * g);
        outR[i0 + i] = FiniteOrZero(c[i] * g);
        continue;
      } else {
        mid = a[i];
        side = c[i];
      }
      outL[i0 + i] = FiniteOrZero((mid + side) * g);
      outR[i0 + i] = FiniteOrZero((mid - side) * g);
    }
  }
}

void CopyBlock(const double* inL, const double* inR, double* outL, double* outR, int n) {
  for (int i = 0; i < n; ++i) {
    outL[i] = inL[i];
    outR[i] = inR[i];
  }
}

void FinishBax(EqEngine& eng, const double* inL, const double* inR, const double* outL,
               const double* outR, int n, bool bypass, double loRed, double hiRed) {
  MeterTail(eng, inL, inR, outL, outR, n);
  if (!bypass) {
    SetMeter(eng.mMeters.thd, 0.0);
    SetMeter(eng.mMeters.drive, 0.0);
    SetMeter(eng.mMeters.loRed, loRed);
    SetMeter(eng.mMeters.hiRed, hiRed);
  }
  MarkMetersFresh(eng);
}

}  // namespace

void BaxState::Prepare(double fs) {
  ForEachSection([](BiquadSection& s) { ClearStates(s); });
  loCutOn = hiCutOn = tiltOn = widthOn = 0;
  detector = BaxDetector{};
  detector.lowPass250HzCoef = 1.0 - std::exp(-kTwoPi * 250.0 / fs);
  detector.lowPass2500HzCoef = 1.0 - std::exp(-kTwoPi * 2500.0 / fs);
  detector.smooth120msCoef = SmoothingCoef(0.12, fs);
  for (PushPullBandState& s : pushPull) s = PushPullBandState{};
}

void BaxState::ClearForNewMode() {
  ForEachSection([](BiquadSection& s) { ClearStates(s); });
  tiltOn = widthOn = 0;
}

void BaxState::ClearNonFinite() {
  ForEachSection([](BiquadSection& s) { ClearNonFiniteStates(s); });
  BaxDetector& d = detector;
  for (double* v : {d.lp250, d.lp2500, d.envLo, d.envHi}) ResetIfNonFinite(v, 2, 0.0);
  for (PushPullBandState& s : pushPull) ClearNonFiniteStates(s);
}

void DesignBaxShelf(BiquadSection& s, bool high, double baseHz, double gainDb, double fs) {
  const double spread = std::pow(10.0, std::fabs(gainDb) / 40.0);
  double corner = (gainDb > 0.0) == high ? baseHz * spread : baseHz / spread;
  corner = std::min(corner, 0.45 * fs);
  DesignFirstOrderShelf(s, high, corner, gainDb, fs);
}

void ProcessBax(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                double* outL, double* outR, int n, bool bypass, double outputGain) {
  BaxBlock b = PrepareBax(eng, s, true);
  b.outputGain = outputGain;
  if (bypass) {
    CopyBlock(inL, inR, outL, outR, n);
  } else {
    RunBaxChain(eng, b, inL, inR, outL, outR, n, true, nullptr, nullptr);
  }
  FinishBax(eng, inL, inR, outL, outR, n, bypass, b.loRed, b.hiRed);
}

void ProcessBaxPushPull(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                        double* outL, double* outR, int n) {
  const double outputGain = OutputGain(s.output);
  NoteMode(eng, s.mode);
  BaxBlock b = PrepareBax(eng, s, false);
  b.outputGain = outputGain;
  const bool bypass = s.bypass != 0;
  if (bypass) {
    CopyBlock(inL, inR, outL, outR, n);
  } else {
    const PushPullParams pp = MakePushPullParams(eng, s.pushPullSpeed, s.pushPullPivot);
    const double pushPull = s.pushPull;
    const double amount[2] = {static_cast<double>(s.ppDepth[kBaxLoDepth]) * pushPull,
                              static_cast<double>(s.ppDepth[kBaxHiDepth]) * pushPull};
    RunBaxChain(eng, b, inL, inR, outL, outR, n, false, &pp, amount);
    const PushPullBandState* st = eng.mBax.pushPull;
    SetMeter(eng.mMeters.ppbg[0], (st[0].gain + st[1].gain) / 2.0);
    SetMeter(eng.mMeters.ppbg[1], (st[2].gain + st[3].gain) / 2.0);
  }
  FinishBax(eng, inL, inR, outL, outR, n, bypass, 0.0, 0.0);
}

}  // namespace kyr
