#pragma once

// Block evaluation of the tube stage's nonlinear curves, the costly part of the program
// mode. The linear filters never depend on a curve's output, so a kernel filters a chunk
// first and then hands whole buffers to these routines. Two builds exist (baseline ISA and
// AVX2, bit-identical results); the engine picks one at construction on the main thread.
namespace kyr {

struct CurveKernels {
  // out[i] = TubeCurve(e*d)/d + SoftClip((u - e)*d)/d, or with a bias buffer
  // out[i] = (TubeCurve(e*d + bias) - TubeCurve(bias))/d + SoftClip((u - e)*d)/d.
  void (*tubeStage)(const double* u, const double* e, const double* bias, double drive,
                    double* out, int n);
  // lowErr[i] = TubeCurve(e*d)/d - e; highErr[i] = SoftClip((y - e)*d)/d - (y - e).
  void (*splitErrors)(const double* y, const double* e, double drive, double* lowErr,
                      double* highErr, int n);
  void (*tanh)(const double* in, double* out, int n);
};

const CurveKernels& BaselineCurveKernels();
// Null when the build has no AVX2 variant; callers must also check the processor.
const CurveKernels* Avx2CurveKernels();
// The fastest variant this processor runs.
const CurveKernels& SelectCurveKernels();

// Single values of the two curves (the same arithmetic as the block routines).
// TubeCurve: asymmetric, slope 1 at 0, limits +0.46999 and -0.64125.
double TubeCurve(double u);
// SoftClip: symmetric soft knee, slope 1 at 0, limits +-0.65654.
double SoftClip(double v);

}  // namespace kyr
