#include "ChannelKernels.h"

#include <algorithm>
#include <cmath>

#include "BaxandallSection.h"
#include "BlockOps.h"
#include "EqEngine.h"
#include "FilterDesign.h"
#include "LinearChain.h"
#include "Metering.h"
#include "ProgramBank.h"
#include "TubeStage.h"

namespace kyr {
namespace {

enum class Variant { kMain, kDynamicTube, kPushPull };

// Per-block values of a program-mode kernel.
struct ProgramBlock {
  bool tube = true;
  bool hq = false;
  bool pushPull = false;
  double drive = 0.0;
  double outputGain = 1.0;
  PushPullParams pp{};
  double ppAmount[kPushPullBands] = {};
  double biasScale = 0.0;
};

// Moves the coupling coefficient R a thousandth of the way to its target each block.
void GlideCoupling(EqEngine& eng, double drive) {
  const double target = std::exp(-kTwoPi * CouplingFrequency(drive) / eng.mSampleRate);
  double& r = eng.mKernel.couplingCoef;
  if (r == 0.0) r = target;
  r = r + (target - r) * 0.001;
}

// Prologue steps shared by the three program kernels and ProcessMain's Mode 1 hand-over.
double CommonPrologue(EqEngine& eng, const Settings& s, double& drive) {
  drive = DriveFromInput(s.input);
  const double gain = OutputGain(s.output);
  GlideCoupling(eng, drive);
  NoteMode(eng, s.mode);
  return gain;
}

void ProgramPrologue(EqEngine& eng, const Settings& s, ProgramBlock& b) {
  b.outputGain = CommonPrologue(eng, s, b.drive);
  DesignProgramBank(eng, s);
  DesignMidBoost(eng, s);
  b.hq = s.hqOversample != 0;
}

// Adds the pass's tube-rate energy and error to the distortion sums, sample by sample,
// left before right.
void AddDistortion(const KernelScratch& sc, bool hq, int m, double& cleanSum, double& errSum) {
  if (!hq) {
    for (int i = 0; i < m; ++i) {
      const double yL = sc.x[0][i], yR = sc.x[1][i];
      const double dL = sc.t[0][i] - yL, dR = sc.t[1][i] - yR;
      cleanSum += yL * yL + yR * yR;
      errSum += dL * dL + dR * dR;
    }
    return;
  }
  // With oversampling each sub-sample's output is compared with its own input, so the
  // decimator's phase shift does not count as distortion.
  for (int i = 0; i < 2 * m; i += 2) {
    double clean = 0.0, err = 0.0;
    for (int ch = 0; ch < 2; ++ch) {
      for (int k = i; k < i + 2; ++k) {
        const double u = sc.u[ch][k], d = sc.v[ch][k] - u;
        clean += u * u;
        err += d * d;
      }
    }
    cleanSum += clean;
    errSum += err;
  }
}

// The chain of the program kernels, pass by pass: both channels run through the linear
// stages in one loop, then the push-pull bands (which follow their own envelopes), then the
// tube curves over the whole pass.
// With sharedSums the kernel's curve values also serve the split-band analysis (see
// AnalysisFollowsKernel).
void RunProgramChain(EqEngine& eng, const ProgramBlock& b, const double* inL, const double* inR,
                     double* outL, double* outR, int n, double& cleanSum, double& errSum,
                     SplitBandSums* sharedSums) {
  KernelScratch& sc = eng.mScratch;
  ProgramBankState& bank = eng.mBank;
  PushPullState& pp = eng.mPushPull;
  TubeStageState& tube = eng.mTube;
  LinearChain chain;
  chain.coupling = &eng.mKernel.coupling;
  chain.couplingCoef = eng.mKernel.couplingCoef;
  chain.Add(bank.shelf);
  if (!b.pushPull) {
    for (BiquadSection& band : bank.band) chain.AddActive(band);
    chain.AddActive(bank.midBoost);
  }
  // At the host rate without push-pull the split filter joins the linear loop.
  const bool fusedSplit = b.tube && !b.hq && !b.pushPull;
  if (fusedSplit) {
    chain.split = tube.split;
    chain.splitCoef = tube.splitCoef;
  }
  double* const x[2] = {sc.x[0], sc.x[1]};
  double* const e[2] = {sc.e[0], sc.e[1]};
  for (int i0 = 0; i0 < n; i0 += kChunk) {
    const int m = std::min(kChunk, n - i0);
    const double* const in[2] = {inL + i0, inR + i0};
    chain.Run(in, x, e, m);
    if (b.pushPull) {
      PushPullBand bands[kPushPullBands];
      for (int k = 0; k < kPushPullBands; ++k) {
        BiquadSection* section = k < kNumProgramBands ? &bank.band[k] : &bank.midBoost;
        bands[k] = {{section, section}, {&pp.band[k][0], &pp.band[k][1]}, b.ppAmount[k]};
      }
      RunPushPullBands(eng, bands, kPushPullBands, b.pp, x, m);
    }
    const double* bias[2] = {nullptr, nullptr};
    if (b.pushPull) {
      for (int ch = 0; ch < 2; ++ch) {
        double level = pp.level[ch];
        double* biasBuf = sc.bias[ch];
        for (int i = 0; i < m; ++i) {
          level = level + (std::fabs(x[ch][i]) - level) * pp.smooth80msCoef;
          biasBuf[i] = b.biasScale * level;
        }
        pp.level[ch] = level;
        bias[ch] = biasBuf;
      }
    }
    double* const t[2] = {sc.t[0], sc.t[1]};
    if (fusedSplit) {
      for (int ch = 0; ch < 2; ++ch) {
        double* lowErr = sharedSums != nullptr ? sc.lowErr[ch] : nullptr;
        double* highErr = sharedSums != nullptr ? sc.highErr[ch] : nullptr;
        eng.mCurves->tubeStage(x[ch], e[ch], nullptr, 1, b.drive, t[ch], lowErr, highErr, m);
      }
    } else if (b.tube) {
      const double* const y[2] = {x[0], x[1]};
      RunTubeStage(eng, y, bias, b.drive, b.hq, t, m);
    }
    if (b.tube && eng.mDisplayMeters) AddDistortion(sc, b.hq, m, cleanSum, errSum);
    if (sharedSums != nullptr) {
      const double* const lowErr[2] = {sc.lowErr[0], sc.lowErr[1]};
      const double* const highErr[2] = {sc.highErr[0], sc.highErr[1]};
      const double* const signal[2] = {x[0], x[1]};
      sharedSums->Add(lowErr, highErr, signal, m);
    }
    const double* yL = b.tube ? sc.t[0] : sc.x[0];
    const double* yR = b.tube ? sc.t[1] : sc.x[1];
    for (int i = 0; i < m; ++i) {
      outL[i0 + i] = FiniteOrZero(yL[i] * b.outputGain);
      outR[i0 + i] = FiniteOrZero(yR[i] * b.outputGain);
    }
  }
}

// "thd" and "drive" of a block with the tube stage present.
void ReportDistortion(EqEngine& eng, double cleanSum, double errSum, double drive) {
  if (std::isfinite(cleanSum) && std::isfinite(errSum) && cleanSum > 1e-12) {
    SetMeter(eng.mMeters.thd, std::sqrt(errSum / cleanSum) * 100.0);
    SetMeter(eng.mMeters.drive, drive);
  }
}

void RunProgramKernel(EqEngine& eng, const Settings& s, Variant variant, const double* inL,
                      const double* inR, double* outL, double* outR, int n) {
  ProgramBlock b;
  ProgramPrologue(eng, s, b);
  if (variant != Variant::kMain) {
    b.drive *= ComputeDynamicDriveGain(eng, s.dynamicTube, inL, inR, n);
  }
  if (variant == Variant::kPushPull) {
    b.pushPull = true;
    b.pp = MakePushPullParams(eng, s.pushPullSpeed, s.pushPullPivot);
    const double pushPull = s.pushPull;
    for (int k = 0; k < kPushPullBands; ++k) {
      b.ppAmount[k] = static_cast<double>(s.ppDepth[k]) * pushPull;
    }
    b.biasScale = pushPull * 0.4;
  }
  b.tube = variant != Variant::kMain || !s.clean;

  // The split-band analysis runs its own chain over the input unless its states equal the
  // kernel's, in which case the kernel's curve values are its values too. Without a reader
  // of the display meters (eng.mDisplayMeters) neither it nor the distortion sums run; the
  // analysis states then take the kernel's, which are what they would have become (exactly
  // for the coupling filter and the sections, the one-pole split state forgets within a
  // millisecond), so the first block with a reader again measures as if nothing had been
  // skipped.
  const bool display = eng.mDisplayMeters;
  const bool analysisBlock = variant != Variant::kPushPull && b.tube;
  const bool analysis = analysisBlock && display;
  const bool shared = analysis && !b.hq && AnalysisFollowsKernel(eng);
  SplitBandSums sums;
  double cleanSum = 0.0, errSum = 0.0;
  RunProgramChain(eng, b, inL, inR, outL, outR, n, cleanSum, errSum, shared ? &sums : nullptr);

  if (variant == Variant::kPushPull) {
    for (int k = 0; k < kPushPullBands; ++k) {
      const PushPullBandState(&band)[2] = eng.mPushPull.band[k];
      SetMeter(eng.mMeters.ppg[k], (band[0].gain + band[1].gain) * 0.5);
    }
  } else if (shared) {
    FollowKernel(eng);
    ReportSplitBand(eng, sums);
  } else if (analysis) {
    SplitBandAnalysis(eng, inL, inR, n, b.drive, eng.mKernel.couplingCoef);
  } else if (analysisBlock) {
    FollowKernel(eng);
  }
  MeterTail(eng, inL, inR, outL, outR, n);
  if (b.tube && display) ReportDistortion(eng, cleanSum, errSum, b.drive);
  MarkMetersFresh(eng);
}

}  // namespace

double DriveFromInput(float input) {
  double drive = static_cast<double>(input) * kDrivePerInput + kDriveOffset;
  if (drive <= kDriveMin) {
    drive = kDriveMin;
  } else if (drive >= kDriveMax) {
    drive = kDriveMax;
  }
  return drive;
}

double CouplingFrequency(double drive) {
  double fc = drive * kCouplingHzPerDrive + kCouplingBaseHz;
  if (fc <= kCouplingMinHz) fc = kCouplingMinHz;
  if (fc > kCouplingMaxHz) fc = kCouplingMaxHz;
  return fc;
}

void ProgramKernelState::Prepare(double /*fs*/) {
  coupling = OnePoleState{};
  lastMode = -1;
}

void ProgramKernelState::ClearForNewMode() { coupling = OnePoleState{}; }

void ProgramKernelState::ClearNonFinite() { ClearNonFiniteStates(coupling); }

void NoteMode(EqEngine& eng, int32_t mode) {
  if (mode != eng.mKernel.lastMode) {
    eng.ClearModeStates();
    eng.mKernel.lastMode = mode;
  }
}

void ProcessMain(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                 double* outL, double* outR, int n) {
  if (!IsTubeMode(s.mode)) {
    double drive;
    const double gain = CommonPrologue(eng, s, drive);
    ProcessBax(eng, s, inL, inR, outL, outR, n, s.bypass != 0, gain);
    return;
  }
  if (s.bypass == 0) {
    RunProgramKernel(eng, s, Variant::kMain, inL, inR, outL, outR, n);
    return;
  }
  ProgramBlock b;
  ProgramPrologue(eng, s, b);
  for (int i = 0; i < n; ++i) {
    outL[i] = inL[i];
    outR[i] = inR[i];
  }
  MeterTail(eng, inL, inR, outL, outR, n);
  MarkMetersFresh(eng);
}

void ProcessDynamicTube(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                        double* outL, double* outR, int n) {
  RunProgramKernel(eng, s, Variant::kDynamicTube, inL, inR, outL, outR, n);
}

void ProcessPushPull(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                     double* outL, double* outR, int n) {
  RunProgramKernel(eng, s, Variant::kPushPull, inL, inR, outL, outR, n);
}

}  // namespace kyr
