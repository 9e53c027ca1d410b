// Curve kernels for the baseline instruction set (two lanes where the compiler has vector
// extensions, which SSE2 and NEON both run natively; one lane elsewhere).
#include "CurveKernelBodies.h"

namespace kyr {
namespace {
#if defined(KYR_HAVE_VECTOR_LANES)
using BaselineLane = Vec2;
#else
using BaselineLane = double;
#endif
constexpr CurveKernels kBaseline = MakeCurveKernels<BaselineLane>();
}  // namespace

const CurveKernels& BaselineCurveKernels() { return kBaseline; }

double TubeCurve(double u) { return TubeCurveLanes(u); }

double SoftClip(double v) { return SoftClipLanes(v); }

}  // namespace kyr
