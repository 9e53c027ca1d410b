#include "CurveKernels.h"

namespace kyr {

const CurveKernels& SelectCurveKernels() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  const CurveKernels* avx2 = Avx2CurveKernels();
  __builtin_cpu_init();
  if (avx2 != nullptr && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) {
    return *avx2;
  }
#endif
  return BaselineCurveKernels();
}

}  // namespace kyr
