#pragma once

// The block routines of CurveKernels for one lane type; included by the baseline and the
// AVX2 translation units only.
#include "CurveKernels.h"
#include "VectorMath.h"

namespace kyr {
namespace {

template <typename V>
void TubeStageBlock(const double* u, const double* e, const double* bias, double drive,
                    double* out, int n) {
  ForEachLane<V>(n, [&](auto lane, int i) {
    using L = decltype(lane);
    using T = LaneTraits<L>;
    const L ei = T::Load(e + i);
    const L high = SoftClipLanes((T::Load(u + i) - ei) * drive) / drive;
    L low;
    if (bias != nullptr) {
      const L b = T::Load(bias + i);
      low = (TubeCurveLanes(ei * drive + b) - TubeCurveLanes(b)) / drive;
    } else {
      low = TubeCurveLanes(ei * drive) / drive;
    }
    T::Store(out + i, low + high);
  });
}

template <typename V>
void SplitErrorsBlock(const double* y, const double* e, double drive, double* lowErr,
                      double* highErr, int n) {
  ForEachLane<V>(n, [&](auto lane, int i) {
    using L = decltype(lane);
    using T = LaneTraits<L>;
    const L ei = T::Load(e + i);
    const L hi = T::Load(y + i) - ei;
    T::Store(lowErr + i, TubeCurveLanes(ei * drive) / drive - ei);
    T::Store(highErr + i, SoftClipLanes(hi * drive) / drive - hi);
  });
}

template <typename V>
void TanhBlock(const double* in, double* out, int n) {
  ForEachLane<V>(n, [&](auto lane, int i) {
    using L = decltype(lane);
    using T = LaneTraits<L>;
    T::Store(out + i, Tanh(T::Load(in + i)));
  });
}

template <typename V>
constexpr CurveKernels MakeCurveKernels() {
  return CurveKernels{&TubeStageBlock<V>, &SplitErrorsBlock<V>, &TanhBlock<V>};
}

}  // namespace
}  // namespace kyr
