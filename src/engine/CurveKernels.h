#pragma once

// Block evaluation of the tube stage's nonlinear curves, the costly part of the program
// mode. The linear filters never depend on a curve's output, so a kernel filters a chunk
// first and then hands whole buffers to these routines. Two builds exist (baseline ISA and
// AVX2 with FMA; each within a few ulp of the pow() formulation, so within a few ulp of each
// other); the engine picks one at construction on the main thread.
namespace kyr {

struct CurveKernels {
  // out[i] = TubeCurve(e*d)/d + SoftClip((u - e)*d)/d, or with a bias buffer
  // out[i] = (TubeCurve(e*d + b) - TubeCurve(b))/d + SoftClip((u - e)*d)/d where
  // b = bias[i / biasStep], biasStep 1 or 2 (2: one bias per host sample at twice the rate;
  // the pass boundaries of n values must then fall on even i, as they do for n = 2 * host
  // samples).
  // lowErr/highErr (may be null) receive each band's error as splitErrors computes it, from
  // the same curve values.
  void (*tubeStage)(const double* u, const double* e, const double* bias, int biasStep,
                    double drive, double* out, double* lowErr, double* highErr, int n);
  // lowErr[i] = TubeCurve(e*d)/d - e; highErr[i] = SoftClip((y - e)*d)/d - (y - e).
  void (*splitErrors)(const double* y, const double* e, double drive, double* lowErr,
                      double* highErr, int n);
  void (*tanh)(const double* in, double* out, int n);
  // Push-pull gain targets from the band envelopes:
  // target[i] = clamp(1 + tanh(((slow - fast) / (slow + fast + 1e-9) + pivot) * 3) * amount
  // * 0.9, 0.05, 2.5), where a NaN stays NaN; target may be fast.
  void (*pushPullTargets)(const double* fast, const double* slow, double pivot, double amount,
                          double* target, int n);
};

const CurveKernels& BaselineCurveKernels();
// Null when the build has no AVX2/FMA variant; callers must also check the processor.
const CurveKernels* Avx2CurveKernels();
// The fastest variant this processor runs.
const CurveKernels& SelectCurveKernels();

// Single values of the two curves (the same arithmetic as the block routines).
// TubeCurve: asymmetric, slope 1 at 0, limits +0.46999 and -0.64125.
double TubeCurve(double u);
// SoftClip: symmetric soft knee, slope 1 at 0, limits +-0.65654.
double SoftClip(double v);

}  // namespace kyr
