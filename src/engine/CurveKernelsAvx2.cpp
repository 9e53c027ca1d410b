// Curve kernels for processors with AVX2 and FMA (four lanes). The build compiles this file
// alone with both enabled; it is only called after a run-time check of the processor.
#include "CurveKernelBodies.h"

namespace kyr {

#if defined(__AVX2__) && defined(__FMA__) && defined(KYR_HAVE_VECTOR_LANES)
namespace {
constexpr CurveKernels kAvx2 = MakeCurveKernels<Vec4>();
}  // namespace

const CurveKernels* Avx2CurveKernels() { return &kAvx2; }
#else
const CurveKernels* Avx2CurveKernels() { return nullptr; }
#endif

}  // namespace kyr
