#pragma once

// Branch-free exp, log and tanh for one lane type, and the tube-stage curves built on them.
// Included only by the curve-kernel translation units (one compiled for the baseline ISA,
// one for AVX2): everything here has internal linkage, so the two builds never mix.
//
// Only +, -, *, / and bit operations are used (no library calls); the AVX2 build lets the
// compiler fuse multiply-adds. The exp and log follow the classic fdlibm reductions and
// polynomials (under 1 ulp); the curves are arranged so that their values stay within a few
// ulp of the direct pow() formulation over the whole input range.

#include <cstdint>
#include <cstring>

#if defined(__GNUC__)
#define KYR_LANE_INLINE inline __attribute__((always_inline))
#else
#define KYR_LANE_INLINE inline
#endif

namespace kyr {
namespace {

// Lane types: double (portable scalar) and, with GCC or Clang, 2- and 4-wide vectors.
template <typename V>
struct LaneTraits;

template <>
struct LaneTraits<double> {
  using U = uint64_t;
  using M = bool;
  static constexpr int kWidth = 1;
  static double Load(const double* p) { return *p; }
  static void Store(double* p, double v) { *p = v; }
  static U AsBits(double v) {
    U u;
    std::memcpy(&u, &v, sizeof u);
    return u;
  }
  static double FromBits(U u) {
    double v;
    std::memcpy(&v, &u, sizeof v);
    return v;
  }
  static double Select(bool m, double a, double b) { return m ? a : b; }
  static bool Not(bool m) { return !m; }
};

#if defined(__GNUC__)
#define KYR_HAVE_VECTOR_LANES 1
template <int W>
struct VectorLanes {
  typedef double V __attribute__((vector_size(8 * W)));
  typedef uint64_t U __attribute__((vector_size(8 * W)));
  typedef int64_t M __attribute__((vector_size(8 * W)));
};
using Vec2 = VectorLanes<2>::V;
using Vec4 = VectorLanes<4>::V;

template <int W>
struct VectorLaneTraits {
  using V = typename VectorLanes<W>::V;
  using U = typename VectorLanes<W>::U;
  using M = typename VectorLanes<W>::M;
  static constexpr int kWidth = W;
  static V Load(const double* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
  static void Store(double* p, V v) { std::memcpy(p, &v, sizeof v); }
  static U AsBits(V v) { return (U)v; }
  static V FromBits(U u) { return (V)u; }
  // Masks are the all-ones / all-zeros lanes that vector comparisons return.
  template <typename Mask>
  static V Select(Mask m, V a, V b) {
    return m ? a : b;
  }
  template <typename Mask>
  static Mask Not(Mask m) {
    return ~m;
  }
};
template <>
struct LaneTraits<Vec2> : VectorLaneTraits<2> {};
template <>
struct LaneTraits<Vec4> : VectorLaneTraits<4> {};
#endif

constexpr uint64_t kSignBit = 0x8000000000000000ULL;
constexpr double kShifter = 6755399441055744.0;  // 1.5 * 2^52: adding it rounds to an integer
constexpr double kInvLn2 = 1.44269504088896338700e+00;
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;

template <typename V>
KYR_LANE_INLINE V Splat(double x) {
  return V{} + x;
}

template <typename V>
KYR_LANE_INLINE V Abs(V x) {
  using T = LaneTraits<V>;
  return T::FromBits(T::AsBits(x) & ~kSignBit);
}

template <typename V>
KYR_LANE_INLINE V CopySign(V magnitude, V sign) {
  using T = LaneTraits<V>;
  return T::FromBits((T::AsBits(magnitude) & ~kSignBit) | (T::AsBits(sign) & kSignBit));
}

// 2^k for an integer-valued k in -1022..1023, given t = k + kShifter.
template <typename V>
KYR_LANE_INLINE V PowerOfTwo(V shifted) {
  using T = LaneTraits<V>;
  const auto k = T::AsBits(shifted) - T::AsBits(Splat<V>(kShifter));
  return T::FromBits((k + 1023) << 52);
}

// Natural logarithm of a positive, normal, finite x.
template <typename V>
KYR_LANE_INLINE V Log(V x) {
  using T = LaneTraits<V>;
  constexpr double kLg1 = 6.666666666666735130e-01, kLg2 = 3.999999999940941908e-01,
                   kLg3 = 2.857142874366239149e-01, kLg4 = 2.222219843214978396e-01,
                   kLg5 = 1.818357216161805012e-01, kLg6 = 1.531383769920937332e-01,
                   kLg7 = 1.479819860511658591e-01;
  const auto bits = T::AsBits(x);
  // Biased exponent as a double: 2^52 + e, minus 2^52.
  const V biased = T::FromBits((bits >> 52) | 0x4330000000000000ULL) - 4503599627370496.0;
  V m = T::FromBits((bits & 0x000fffffffffffffULL) | 0x3ff0000000000000ULL);
  const auto high = m > 1.4142135623730951;
  m = T::Select(high, m * 0.5, m);
  const V k = (biased - 1023.0) + T::Select(high, Splat<V>(1.0), Splat<V>(0.0));
  const V f = m - 1.0;
  const V s = f / (2.0 + f);
  const V z = s * s;
  const V w = z * z;
  const V t1 = w * (kLg2 + w * (kLg4 + w * kLg6));
  const V t2 = z * (kLg1 + w * (kLg3 + w * (kLg5 + w * kLg7)));
  const V r = t2 + t1;
  const V hfsq = 0.5 * f * f;
  return k * kLn2Hi - ((hfsq - (s * (hfsq + r) + k * kLn2Lo)) - f);
}

// e^x for x in -708..709 (the callers' arguments never leave that range).
template <typename V>
KYR_LANE_INLINE V Exp(V x) {
  constexpr double kP1 = 1.66666666666666019037e-01, kP2 = -2.77777777770155933842e-03,
                   kP3 = 6.61375632143793436117e-05, kP4 = -1.65339022054652515390e-06,
                   kP5 = 4.13813679705723846039e-08;
  const V shifted = x * kInvLn2 + kShifter;
  const V kd = shifted - kShifter;
  const V hi = x - kd * kLn2Hi;
  const V lo = kd * kLn2Lo;
  const V r = hi - lo;
  const V rr = r * r;
  const V c = r - rr * (kP1 + rr * (kP2 + rr * (kP3 + rr * (kP4 + rr * kP5))));
  const V y = 1.0 - ((lo - (r * c) / (2.0 - c)) - hi);
  return y * PowerOfTwo(shifted);
}

// Hyperbolic tangent through an accurate expm1 of 2|z|.
template <typename V>
KYR_LANE_INLINE V Tanh(V z) {
  using T = LaneTraits<V>;
  V a = Abs(z);
  a = T::Select(a > 20.0, Splat<V>(20.0), a);  // tanh is 1.0 in double from 19.1 on
  const V x = 2.0 * a;
  const V shifted = x * kInvLn2 + kShifter;
  const V kd = shifted - kShifter;
  const V r = (x - kd * kLn2Hi) - kd * kLn2Lo;
  // expm1(r) for |r| <= ln2 / 2: Taylor series to r^13 (truncation below 1e-17).
  V p = Splat<V>(1.0 / 6227020800.0);
  p = p * r + 1.0 / 479001600.0;
  p = p * r + 1.0 / 39916800.0;
  p = p * r + 1.0 / 3628800.0;
  p = p * r + 1.0 / 362880.0;
  p = p * r + 1.0 / 40320.0;
  p = p * r + 1.0 / 5040.0;
  p = p * r + 1.0 / 720.0;
  p = p * r + 1.0 / 120.0;
  p = p * r + 1.0 / 24.0;
  p = p * r + 1.0 / 6.0;
  p = p * r + 0.5;
  const V em1r = r + (r * r) * p;
  const V scale = PowerOfTwo(shifted);
  const V em1 = scale * em1r + (scale - 1.0);
  return CopySign(em1 / (em1 + 2.0), z);
}

// The constants of one knee curve. The curve raises to the power 1/n as a pow() call would:
// with invN = 1/n rounded to double; invNResidual = 1 - n * invN, computed exactly, carries
// that rounding into the rewritten form below.
struct KneeConstants {
  double kPos, kNeg, n, invN, invNResidual;
};

// a * b - fl(a * b), exactly (Veltkamp splitting; evaluated at compile time).
constexpr double ProductError(double a, double b) {
  const double ca = 134217729.0 * a, cb = 134217729.0 * b;
  const double ah = ca - (ca - a), al = a - ah;
  const double bh = cb - (cb - b), bl = b - bh;
  const double p = a * b;
  return ((ah * bh - p) + ah * bl + al * bh) + al * bl;
}

constexpr KneeConstants MakeKnee(double kPos, double kNeg, double n) {
  const double invN = 1.0 / n;
  return {kPos, kNeg, n, invN, (1.0 - n * invN) - ProductError(n, invN)};
}

// x / (1 + (|x| / k)^n)^(1/n) with k = kPos for x >= 0 and kNeg below: unity slope at 0 and
// limits +kPos and -kNeg. Once |x| exceeds k it is evaluated as
// k * q^(1 - n/n') * (1 + q^-n)^(-1/n') with q = |x| / k, which keeps the rounding of the
// large powers out of the result.
//
// The evaluation is split into four steps, each with one exp or log, so that a block routine
// can run each step over a whole buffer: a single step's iterations are independent, while
// the four in a row form a dependency chain far longer than the processor can look ahead.

// Step 1: q = |x| / k (1 where the curve is the identity or x is not finite) and log q.
template <typename V>
KYR_LANE_INLINE void KneeLog(V x, const KneeConstants& c, V& q, V& logQ) {
  using T = LaneTraits<V>;
  const V knee = T::Select(x < 0.0, Splat<V>(c.kNeg), Splat<V>(c.kPos));
  q = Abs(x) / knee;
  logQ = Log(T::Select((q < 1e-100) | T::Not(q <= 1.7976931348623157e308), Splat<V>(1.0), q));
}

// Step 2: t = min(q, 1/q)^n, in 0..1.
template <typename V>
KYR_LANE_INLINE V KneePower(V logQ, const KneeConstants& c) {
  return Exp(-c.n * Abs(logQ));
}

// Step 3: log(1 + t), with the rounding of 1 + t corrected.
template <typename V>
KYR_LANE_INLINE V KneeLog1p(V t) {
  const V onePlusT = 1.0 + t;
  return Log(onePlusT) + (t - (onePlusT - 1.0)) / onePlusT;
}

// Step 4: the curve value.
template <typename V>
KYR_LANE_INLINE V KneeValue(V x, V q, V logQ, V log1pT, const KneeConstants& c) {
  using T = LaneTraits<V>;
  const auto above = logQ >= 0.0;
  const V residual = T::Select(above, logQ * c.invNResidual, Splat<V>(0.0));
  const V factor = Exp(residual - log1pT * c.invN);
  const V limit = T::Select(x < 0.0, Splat<V>(-c.kNeg), Splat<V>(c.kPos));
  V result = T::Select(above, limit * factor, x * factor);
  result = T::Select(q < 1e-100, x, result);  // (q^n + 1) rounds to 1: the identity
  return T::Select(T::Not(q <= 1.7976931348623157e308), x - x, result);  // inf or NaN
}

template <typename V>
KYR_LANE_INLINE V KneeCurve(V x, const KneeConstants& c) {
  V q, logQ;
  KneeLog(x, c, q, logQ);
  return KneeValue(x, q, logQ, KneeLog1p(KneePower(logQ, c)), c);
}

// The tube-curve constants.
constexpr double kTubeA = 0.02041;
constexpr double kTubeB = 0.71917;
constexpr KneeConstants kTubeKnee = MakeKnee(0.46999, 0.64125, 2.4903);
constexpr KneeConstants kSoftKnee = MakeKnee(0.65654, 0.65654, 2.8922);

// The tube curve's polynomial u + a u^2 + b u^3, which feeds its knee.
template <typename V>
KYR_LANE_INLINE V TubePolynomial(V u) {
  return u + kTubeA * (u * u) + kTubeB * (u * u * u);
}

template <typename V>
KYR_LANE_INLINE V TubeCurveLanes(V u) {
  return KneeCurve(TubePolynomial(u), kTubeKnee);
}

template <typename V>
KYR_LANE_INLINE V SoftClipLanes(V v) {
  return KneeCurve(v, kSoftKnee);
}

// Runs body(lane type, index) over 0..n-1, whole vectors of width W first, then the rest
// one lane at a time (the same arithmetic, so the tail matches the vector lanes bit for bit).
template <typename V, typename Body>
void ForEachLane(int n, Body&& body) {
  constexpr int kW = LaneTraits<V>::kWidth;
  int i = 0;
  for (; i + kW <= n; i += kW) body(V{}, i);
  for (; i < n; ++i) body(double{}, i);
}

}  // namespace
}  // namespace kyr
