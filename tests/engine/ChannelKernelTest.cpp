#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "CurveKernels.h"
#include "EngineTestUtil.h"
#include "Oversampler.h"
#include "ProgramBank.h"

namespace kyr {
namespace {

using namespace test;

double KneeRef(double p, double kPos, double kNeg, double n) {
  if (p >= 0.0) return p / std::pow(1.0 + std::pow(p / kPos, n), 1.0 / n);
  return p / std::pow(1.0 + std::pow(-p / kNeg, n), 1.0 / n);
}
double TubeRef(double u) { return KneeRef(u + 0.02041 * u * u + 0.71917 * u * u * u, 0.46999, 0.64125, 2.4903); }
double SoftRef(double v) { return KneeRef(v, 0.65654, 0.65654, 2.8922); }

// The program kernel written sample by sample (coefficients from the engine's own designs).
struct ReferenceProgram {
  double fs;
  EqEngine design;  // used only for its designs
  BiquadSection bank[7];
  double x1[2] = {}, y1[2] = {}, r = 0.0, e[2] = {}, e2[2] = {}, drive = 0.0;
  HalfbandState up[2], down[2];
  // Dynamic Tube and Push-Pull.
  double dynFast[2] = {}, dynSlow[2] = {}, dynGain = 0.0;
  double ppFast[6][2] = {}, ppSlow[6][2] = {}, ppGain[6][2], level[2] = {};

  explicit ReferenceProgram(double rate) : fs(rate) {
    design.PrepareEngine(rate);
    for (auto& g : ppGain) g[0] = g[1] = 1.0;
  }

  double Stage(double x, double& state, double w, double d, double bias = 0.0) {
    state = state + (x - state) * w;
    const double low = bias != 0.0 ? (TubeRef(state * d + bias) - TubeRef(bias)) / d : TubeRef(state * d) / d;
    return low + SoftRef((x - state) * d) / d;
  }

  double DynamicGain(const Settings& s, const double* inL, const double* inR, int n) {
    const double cf = 1.0 - std::exp(-1.0 / (0.003 * fs)), cs = 1.0 - std::exp(-1.0 / (0.08 * fs));
    const double* in[2] = {inL, inR};
    for (int ch = 0; ch < 2; ++ch) {
      for (int i = 0; i < n; ++i) {
        dynFast[ch] = dynFast[ch] + (std::fabs(in[ch][i]) - dynFast[ch]) * cf;
        dynSlow[ch] = dynSlow[ch] + (std::fabs(in[ch][i]) - dynSlow[ch]) * cs;
      }
    }
    const double t = std::max(std::max(dynFast[0] - dynSlow[0], dynFast[1] - dynSlow[1]), 0.0);
    double g = std::max(1.0 - (t / (t + 0.25)) * s.dynamicTube * 0.6, 0.2);
    if (dynGain > 0.0) g = dynGain + (g - dynGain) * 0.05;
    dynGain = g;
    return g;
  }

  void Block(const Settings& s, const double* inL, const double* inR, double* outL, double* outR,
             int n) {
    DesignProgramBank(design, s);
    DesignMidBoost(design, s);
    for (int k = 0; k < 6; ++k) CopyCoefficients(k == 0 ? design.mBank.shelf : design.mBank.band[k - 1], bank[k]);
    CopyCoefficients(design.mBank.midBoost, bank[6]);
    const double drive = std::clamp(s.input * 1.318 - 0.286, 0.05, 4.0);
    const bool pushPull = s.pushPull >= 0.0001f;
    const bool dynamic = pushPull || s.dynamicTube >= 0.0001f;
    const double gain = std::pow(10.0, (s.output * 24.0 - 12.0) / 20.0);
    const double target = std::exp(-6.283185307179586 * std::clamp(drive * 22.8 + 1.5, 2.0, 60.0) / fs);
    if (r == 0.0) r = target;
    r = r + (target - r) * 0.001;
    const double tubeDrive = dynamic ? drive * DynamicGain(s, inL, inR, n) : drive;
    this->drive = tubeDrive;
    const double tau = std::max((1.4 - s.pushPullSpeed) * 0.025, 0.002);
    const double wf = 1.0 - std::exp(-1.0 / (tau * fs)), w1s = 1.0 - std::exp(-1.0 / fs);
    const double w10 = 1.0 - std::exp(-1.0 / (0.01 * fs)), w80 = 1.0 - std::exp(-1.0 / (0.08 * fs));
    const double w1 = 1.0 - std::exp(-4520.123509984995 / fs);
    const double w2 = 1.0 - std::exp(-4520.123509984995 / (2.0 * fs));
    const double* in[2] = {inL, inR};
    double* out[2] = {outL, outR};
    for (int i = 0; i < n; ++i) {
      for (int ch = 0; ch < 2; ++ch) {
        const double x = in[ch][i];
        double y = (x + y1[ch] - x1[ch]) * r;
        x1[ch] = x;
        y1[ch] = y;
        double bias = 0.0;
        if (pushPull) {
          y = RunBiquad(bank[0], y, ch);
          for (int k = 0; k < 6; ++k) {
            const double delta = RunBiquad(bank[k + 1], y, ch) - y;
            double& fast = ppFast[k][ch];
            double& slow = ppSlow[k][ch];
            fast = fast + (std::fabs(delta) - fast) * wf;
            slow = slow + (std::fabs(delta) - slow) * w1s;
            const double m = std::tanh(((slow - fast) / (slow + fast + 1e-9) + s.pushPullPivot) * 3);
            const double target = std::clamp(1 + m * (double(s.ppDepth[k]) * s.pushPull) * 0.9, 0.05, 2.5);
            ppGain[k][ch] = ppGain[k][ch] + (target - ppGain[k][ch]) * w10;
            y = y + ppGain[k][ch] * delta;
          }
          level[ch] = level[ch] + (std::fabs(y) - level[ch]) * w80;
          bias = double(s.pushPull) * 0.4 * level[ch];
        } else {
          for (BiquadSection& b : bank) y = RunBiquad(b, y, ch);
        }
        double t = y;
        if (!s.clean) {
          if (s.hqOversample) {
            double u1, u2;
            Upsample2x(up[ch], y, u1, u2);
            const double v1 = Stage(u1, e2[ch], w2, tubeDrive, bias);
            t = Downsample2x(down[ch], v1, Stage(u2, e2[ch], w2, tubeDrive, bias));
          } else {
            t = Stage(y, e[ch], w1, tubeDrive, bias);
          }
        }
        out[ch][i] = t * gain;
      }
    }
  }
};

// Every case runs with the baseline curves (machines without AVX2) and with this machine's choice.
TEST(ChannelKernel, MatchesTheSampleBySampleReference) {
  const std::vector<Path> cases = {
      {"defaults", {}},
      {"all bands", {{kLowCut, 40}, {kLowBoost, 70}, {kMidCut, 55}, {kHighBoost, 80}, {kBandwidth, 30}, {kHighCut, 20},
                     {kMidBoost, 60}, {kInput, 80}}},
      {"hq", {{kHQOversample, 1}, {kLowBoost, 100}, {kHighBoost, 100}, {kInput, 100}}},
      {"clean", {{kClean, 1}, {kMidCut, 100}, {kOutput, 80}}},
      {"low drive", {{kInput, 0}, {kHighCut, 100}, {kHighCutFreq, 3}}},
      {"dynamic", {{kDynamicTube, 100}, {kLowBoost, 60}, {kMidBoost, 40}}},
      {"push-pull", {{kPushPull, 100}, {kLowCut, 40}, {kMidCut, 80}, {kHighBoost, 60}, {kMidBoost, 70},
                     {kPushPullPivot, -30}, {kPushPullSpeed, 100}}},
      {"push-pull hq", {{kPushPull, 70}, {kHQOversample, 1}, {kLowBoost, 90}, {kHighCut, 50}, {kDynamicTube, 60},
                        {kInput, 90}}},
  };
  const double fs = 48000.0;
  const int n = 5500;  // the moderate section, then loud material deep in the knees
  const std::vector<double> l = TestSignal(0, n), r = TestSignal(1, n);
  for (const CurveKernels* curves : {&BaselineCurveKernels(), &SelectCurveKernels()}) {
    for (const Path& c : cases) {
      Harness h(fs);
      h.p.Engine().mCurves = curves;
      Apply(h.p, c.params);
      ReferenceProgram ref(fs);
      std::vector<double> outL, outR, refL(n), refR(n);
      h.Run(l, &r, outL, outR, 500);
      const Settings s = h.p.Engine().mSettings.Load();
      for (int i = 0; i < n; i += 500) ref.Block(s, &l[i], &r[i], &refL[i], &refR[i], 500);
      double worst = 0.0;
      for (int i = 0; i < n; ++i) worst = std::max({worst, std::fabs(outL[i] - refL[i]), std::fabs(outR[i] - refR[i])});
      EXPECT_LT(worst, 1e-13) << c.name;
      const Meters& m = h.p.GetMeters();
      if (!s.clean) { EXPECT_NEAR(m.drive.load(), ref.drive, 1e-6) << c.name; }
      if (ref.dynGain > 0.0) { EXPECT_NEAR(m.ease.load(), Db(ref.dynGain), 1e-5) << c.name; }
      for (int k = 0; k < 6 && s.pushPull != 0.0f; ++k) {
        EXPECT_NEAR(m.ppg[k].load(), (ref.ppGain[k][0] + ref.ppGain[k][1]) / 2, 1e-6) << c.name;
      }
    }
  }
}

}  // namespace
}  // namespace kyr
