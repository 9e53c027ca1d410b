#pragma once

// The block routines of CurveKernels for one lane type; included by the baseline and the
// AVX2 translation units only.
#include "CurveKernels.h"
#include "VectorMath.h"

namespace kyr {
namespace {

// Values per pass of the stepwise curve evaluation (stack buffers of this length).
constexpr int kCurvePass = 128;

template <typename L>
L LoadLane(const double* p) {
  return LaneTraits<L>::Load(p);
}
template <typename L>
void StoreLane(double* p, L v) {
  LaneTraits<L>::Store(p, v);
}

// Knee curve of x[0..n) into out (may be x), n <= kCurvePass, one step per buffer pass.
// The knee is a template argument so that its constants fold into the instructions.
template <typename V, const KneeConstants& c>
void KneeCurvePasses(const double* x, double* out, int n) {
  alignas(64) double k[kCurvePass], f[kCurvePass], s[kCurvePass], logQ[kCurvePass];
  ForEachLane<V>(n, [&](auto lane, int i) {
    using L = decltype(lane);
    L ki, fi, si;
    KneeLogReduce(LoadLane<L>(x + i), ki, fi, si);
    StoreLane(k + i, ki);
    StoreLane(f + i, fi);
    StoreLane(s + i, si);
  });
  ForEachLane<V>(n, [&](auto lane, int i) {
    using L = decltype(lane);
    const L li = KneeLog(LoadLane<L>(x + i), LoadLane<L>(k + i), LoadLane<L>(f + i),
                         LoadLane<L>(s + i), c);
    StoreLane(logQ + i, li);
  });
  // Steps 3 to 5 reuse the buffers of step 1, which step 2 reads for the last time.
  double* const r = f;
  double* const shifted = s;
  double* const factor = k;  // t, then the factor
  ForEachLane<V>(n, [&](auto lane, int i) {
    using L = decltype(lane);
    L ri, si;
    KneePowerReduce(LoadLane<L>(logQ + i), c, ri, si);
    StoreLane(r + i, ri);
    StoreLane(shifted + i, si);
  });
  ForEachLane<V>(n, [&](auto lane, int i) {
    using L = decltype(lane);
    StoreLane(factor + i, ExpFromReduced(LoadLane<L>(r + i), LoadLane<L>(shifted + i)));
  });
  ForEachLane<V>(n, [&](auto lane, int i) {
    using L = decltype(lane);
    StoreLane(factor + i, KneeFactor(LoadLane<L>(factor + i), c));
  });
  ForEachLane<V>(n, [&](auto lane, int i) {
    using L = decltype(lane);
    const L xi = LoadLane<L>(x + i);
    StoreLane(out + i, KneeValue(xi, LoadLane<L>(logQ + i), LoadLane<L>(factor + i), c));
  });
}

template <typename V>
void TubeStageBlock(const double* u, const double* e, const double* bias, int biasStep,
                    double drive, double* out, double* lowErr, double* highErr, int n) {
  alignas(64) double low[kCurvePass], high[kCurvePass], lowBias[kCurvePass], biasSub[kCurvePass];
  for (int i0 = 0; i0 < n; i0 += kCurvePass) {
    const int m = n - i0 < kCurvePass ? n - i0 : kCurvePass;
    const double* up = u + i0;
    const double* ep = e + i0;
    const double* bp = nullptr;
    if (bias != nullptr) {
      // TubeCurve(bias) once per bias value, then repeated for the sub-samples it serves.
      const double* hostBias = bias + i0 / biasStep;
      const int hostCount = (m + biasStep - 1) / biasStep;
      ForEachLane<V>(hostCount, [&](auto lane, int i) {
        using L = decltype(lane);
        StoreLane(lowBias + i, TubePolynomial(LoadLane<L>(hostBias + i)));
      });
      KneeCurvePasses<V, kTubeKnee>(lowBias, lowBias, hostCount);
      if (biasStep == 2) {
        // Backwards, so that each value is read before its place is overwritten.
        for (int i = m - 1; i >= 0; --i) {
          lowBias[i] = lowBias[i >> 1];
          biasSub[i] = hostBias[i >> 1];
        }
        bp = biasSub;
      } else {
        bp = hostBias;
      }
    }
    ForEachLane<V>(m, [&](auto lane, int i) {
      using L = decltype(lane);
      const L ei = LoadLane<L>(ep + i);
      StoreLane(high + i, (LoadLane<L>(up + i) - ei) * drive);
      const L shifted = bp != nullptr ? ei * drive + LoadLane<L>(bp + i) : ei * drive;
      StoreLane(low + i, TubePolynomial(shifted));
    });
    KneeCurvePasses<V, kTubeKnee>(low, low, m);
    KneeCurvePasses<V, kSoftKnee>(high, high, m);
    ForEachLane<V>(m, [&](auto lane, int i) {
      using L = decltype(lane);
      const L lowPart = bp != nullptr ? (LoadLane<L>(low + i) - LoadLane<L>(lowBias + i)) / drive
                                      : LoadLane<L>(low + i) / drive;
      const L highPart = LoadLane<L>(high + i) / drive;
      StoreLane(out + i0 + i, lowPart + highPart);
      if (lowErr != nullptr) {
        const L ei = LoadLane<L>(ep + i);
        StoreLane(lowErr + i0 + i, lowPart - ei);
        StoreLane(highErr + i0 + i, highPart - (LoadLane<L>(up + i) - ei));
      }
    });
  }
}

template <typename V>
void SplitErrorsBlock(const double* y, const double* e, double drive, double* lowErr,
                      double* highErr, int n) {
  for (int i0 = 0; i0 < n; i0 += kCurvePass) {
    const int m = n - i0 < kCurvePass ? n - i0 : kCurvePass;
    double* lo = lowErr + i0;
    double* hi = highErr + i0;
    ForEachLane<V>(m, [&](auto lane, int i) {
      using L = decltype(lane);
      const L ei = LoadLane<L>(e + i0 + i);
      StoreLane(lo + i, TubePolynomial(ei * drive));
      StoreLane(hi + i, (LoadLane<L>(y + i0 + i) - ei) * drive);
    });
    KneeCurvePasses<V, kTubeKnee>(lo, lo, m);
    KneeCurvePasses<V, kSoftKnee>(hi, hi, m);
    ForEachLane<V>(m, [&](auto lane, int i) {
      using L = decltype(lane);
      const L ei = LoadLane<L>(e + i0 + i);
      const L band = LoadLane<L>(y + i0 + i) - ei;
      StoreLane(lo + i, LoadLane<L>(lo + i) / drive - ei);
      StoreLane(hi + i, LoadLane<L>(hi + i) / drive - band);
    });
  }
}

template <typename V>
void TanhBlock(const double* in, double* out, int n) {
  ForEachLane<V>(n, [&](auto lane, int i) {
    using L = decltype(lane);
    StoreLane(out + i, Tanh(LoadLane<L>(in + i)));
  });
}

// Three passes (the tanh argument, the tanh's expm1, then the target) for the same reason as
// the knee's steps.
template <typename V>
void PushPullTargetsBlock(const double* fast, const double* slow, double pivot, double amount,
                          double* target, int n) {
  alignas(64) double z[kCurvePass], em1[kCurvePass];
  for (int i0 = 0; i0 < n; i0 += kCurvePass) {
    const int m = n - i0 < kCurvePass ? n - i0 : kCurvePass;
    ForEachLane<V>(m, [&](auto lane, int i) {
      using L = decltype(lane);
      const L f = LoadLane<L>(fast + i0 + i), s = LoadLane<L>(slow + i0 + i);
      StoreLane(z + i, ((s - f) / (s + f + 1e-9) + pivot) * 3.0);
    });
    ForEachLane<V>(m, [&](auto lane, int i) {
      using L = decltype(lane);
      StoreLane(em1 + i, TanhExpm1(LoadLane<L>(z + i)));
    });
    ForEachLane<V>(m, [&](auto lane, int i) {
      using L = decltype(lane);
      using T = LaneTraits<L>;
      const L th = TanhFromExpm1(LoadLane<L>(em1 + i), LoadLane<L>(z + i));
      L t = 1.0 + th * amount * 0.9;
      t = T::Select(t < 0.05, Splat<L>(0.05), t);
      t = T::Select(t > 2.5, Splat<L>(2.5), t);
      StoreLane(target + i0 + i, t);
    });
  }
}

template <typename V>
constexpr CurveKernels MakeCurveKernels() {
  return CurveKernels{&TubeStageBlock<V>, &SplitErrorsBlock<V>, &TanhBlock<V>,
                      &PushPullTargetsBlock<V>};
}

}  // namespace
}  // namespace kyr
