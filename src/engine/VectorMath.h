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

// Natural logarithm of a positive, normal, finite x, in two halves that a block routine can
// run in separate passes: the reduction x = 2^k (1 + f) with s = f / (2 + f), then the series.
template <typename V>
KYR_LANE_INLINE void LogReduce(V x, V& k, V& f, V& s) {
  using T = LaneTraits<V>;
  const auto bits = T::AsBits(x);
  // Biased exponent as a double: 2^52 + e, minus 2^52.
  const V biased = T::FromBits((bits >> 52) | 0x4330000000000000ULL) - 4503599627370496.0;
  V m = T::FromBits((bits & 0x000fffffffffffffULL) | 0x3ff0000000000000ULL);
  const auto high = m > 1.4142135623730951;
  m = T::Select(high, m * 0.5, m);
  k = (biased - 1023.0) + T::Select(high, Splat<V>(1.0), Splat<V>(0.0));
  f = m - 1.0;
  s = f / (2.0 + f);
}

template <typename V>
KYR_LANE_INLINE V LogSeries(V k, V f, V s) {
  constexpr double kLg1 = 6.666666666666735130e-01, kLg2 = 3.999999999940941908e-01,
                   kLg3 = 2.857142874366239149e-01, kLg4 = 2.222219843214978396e-01,
                   kLg5 = 1.818357216161805012e-01, kLg6 = 1.531383769920937332e-01,
                   kLg7 = 1.479819860511658591e-01;
  const V z = s * s;
  const V w = z * z;
  const V t1 = w * (kLg2 + w * (kLg4 + w * kLg6));
  const V t2 = z * (kLg1 + w * (kLg3 + w * (kLg5 + w * kLg7)));
  const V r = t2 + t1;
  const V hfsq = 0.5 * f * f;
  return k * kLn2Hi - ((hfsq - (s * (hfsq + r) + k * kLn2Lo)) - f);
}

// e^r - 1 for |r| <= ln2 / 2: Taylor series to r^13 (truncation below 1e-17), its even and
// odd terms in separate chains so that the latency of one evaluation stays short.
template <typename V>
KYR_LANE_INLINE V Expm1Reduced(V r) {
  const V r2 = r * r;
  V e = Splat<V>(1.0 / 479001600.0);
  V o = Splat<V>(1.0 / 6227020800.0);
  e = e * r2 + 1.0 / 3628800.0;
  o = o * r2 + 1.0 / 39916800.0;
  e = e * r2 + 1.0 / 40320.0;
  o = o * r2 + 1.0 / 362880.0;
  e = e * r2 + 1.0 / 720.0;
  o = o * r2 + 1.0 / 5040.0;
  e = e * r2 + 1.0 / 24.0;
  o = o * r2 + 1.0 / 120.0;
  e = e * r2 + 0.5;
  o = o * r2 + 1.0 / 6.0;
  return r + r2 * (e + r * o);
}

// e^x for x in -708..0 without a division, within 2 ulp, in two halves that a block routine
// can run in separate passes: x = k ln2 + r (shifted holds k), then 2^k e^r.
template <typename V>
KYR_LANE_INLINE void ExpReduce(V x, V& r, V& shifted) {
  shifted = x * kInvLn2 + kShifter;
  const V kd = shifted - kShifter;
  r = (x - kd * kLn2Hi) - kd * kLn2Lo;
}

template <typename V>
KYR_LANE_INLINE V ExpFromReduced(V r, V shifted) {
  return (1.0 + Expm1Reduced(r)) * PowerOfTwo(shifted);
}

// Hyperbolic tangent through an accurate expm1 of 2|z|, in two halves that a block routine
// can run in separate passes: e^(2|z|) - 1, then the quotient.
template <typename V>
KYR_LANE_INLINE V TanhExpm1(V z) {
  using T = LaneTraits<V>;
  V a = Abs(z);
  a = T::Select(a > 20.0, Splat<V>(20.0), a);  // tanh is 1.0 in double from 19.1 on
  const V x = 2.0 * a;
  const V shifted = x * kInvLn2 + kShifter;
  const V kd = shifted - kShifter;
  const V r = (x - kd * kLn2Hi) - kd * kLn2Lo;
  const V em1r = Expm1Reduced(r);
  const V scale = PowerOfTwo(shifted);
  return scale * em1r + (scale - 1.0);
}

template <typename V>
KYR_LANE_INLINE V TanhFromExpm1(V em1, V z) {
  return CopySign(em1 / (em1 + 2.0), z);
}

template <typename V>
KYR_LANE_INLINE V Tanh(V z) {
  return TanhFromExpm1(TanhExpm1(z), z);
}

// The constants of one knee curve x / (1 + (|x| / k)^n)^(1/n), k = kPos for x >= 0 and kNeg
// below. The curve raises to the power 1/n as a pow() call would: with invN = 1/n rounded to
// double; invNResidual = 1 - n * invN (about 1e-17) carries that rounding into the rewritten
// form below. logK* are log k as a sum of two doubles.
struct KneeConstants {
  double kPos, kNeg, logKPosHi, logKPosLo, logKNegHi, logKNegLo, n, invN, invNResidual;
  // (1 + t)^(-invN) for t in 0..1 as a polynomial in s = 2t - 1 (Chebyshev interpolant of
  // degree 20, computed in 60-digit arithmetic: relative error below 2e-17, under 0.8 ulp
  // evaluated in double). The function is analytic on the interval (its singularity is at
  // t = -1), so the coefficients fall by about three per degree.
  double g[21];
};

// a * b - fl(a * b), exactly (Veltkamp splitting; evaluated at compile time).
constexpr double ProductError(double a, double b) {
  const double ca = 134217729.0 * a, cb = 134217729.0 * b;
  const double ah = ca - (ca - a), al = a - ah;
  const double bh = cb - (cb - b), bl = b - bh;
  const double p = a * b;
  return ((ah * bh - p) + ah * bl + al * bh) + al * bl;
}

constexpr double InvNResidual(double n) {
  return (1.0 - n * (1.0 / n)) - ProductError(n, 1.0 / n);
}

// With q = |x| / k and t = min(q, 1/q)^n in 0..1 the curve is x * (1 + t)^(-invN) below the
// knee and k * q^invNResidual * (1 + t)^(-invN) above it (the same value, with the rounding
// of the large powers kept out of the result). So it takes one log (of |x|, less log k),
// one exp (t) and the polynomial of the factor, and no division but the log's.
//
// The evaluation is split into six steps so that a block routine can run each over a whole
// buffer: a single step's iterations are independent, while the six in a row form a
// dependency chain longer than the processor can look ahead (about half as far while the
// other thread of the core runs).

// Step 1: the reduction of |x| for its log (any value where x is 0, subnormal or not finite:
// step 6 treats those without it).
template <typename V>
KYR_LANE_INLINE void KneeLogReduce(V x, V& k, V& f, V& s) {
  LogReduce(Abs(x), k, f, s);
}

// Step 2: log q = log |x| - log k.
template <typename V>
KYR_LANE_INLINE V KneeLog(V x, V k, V f, V s, const KneeConstants& c) {
  using T = LaneTraits<V>;
  const auto neg = x < 0.0;
  const V hi = T::Select(neg, Splat<V>(c.logKNegHi), Splat<V>(c.logKPosHi));
  const V lo = T::Select(neg, Splat<V>(c.logKNegLo), Splat<V>(c.logKPosLo));
  return (LogSeries(k, f, s) - hi) - lo;
}

// Step 3: the reduction of log t = -n |log q| for t = min(q, 1/q)^n; step 4 takes the exp,
// ExpFromReduced. Below e^-700 the factor is 1 in double; the bound also keeps exp in range where |x|
// is far from the knee (tiny, zero or huge).
template <typename V>
KYR_LANE_INLINE void KneePowerReduce(V logQ, const KneeConstants& c, V& r, V& shifted) {
  using T = LaneTraits<V>;
  V u = c.n * Abs(logQ);  // -log t
  u = T::Select(u > 700.0, Splat<V>(700.0), u);
  ExpReduce(-u, r, shifted);
}

// Step 5: the factor (1 + t)^(-1/n) from the polynomial, in four chains of the powers j mod 4
// (the latency of one evaluation a quarter of Horner's).
template <typename V>
KYR_LANE_INLINE V KneeFactor(V t, const KneeConstants& c) {
  const double* g = c.g;
  const V s = 2.0 * t - 1.0;
  const V s2 = s * s;
  const V s4 = s2 * s2;
  V p0 = Splat<V>(g[20]);
  V p1 = Splat<V>(g[17]);
  V p2 = Splat<V>(g[18]);
  V p3 = Splat<V>(g[19]);
  p0 = p0 * s4 + g[16];
  p1 = p1 * s4 + g[13];
  p2 = p2 * s4 + g[14];
  p3 = p3 * s4 + g[15];
  p0 = p0 * s4 + g[12];
  p1 = p1 * s4 + g[9];
  p2 = p2 * s4 + g[10];
  p3 = p3 * s4 + g[11];
  p0 = p0 * s4 + g[8];
  p1 = p1 * s4 + g[5];
  p2 = p2 * s4 + g[6];
  p3 = p3 * s4 + g[7];
  p0 = p0 * s4 + g[4];
  p1 = p1 * s4 + g[1];
  p2 = p2 * s4 + g[2];
  p3 = p3 * s4 + g[3];
  p0 = p0 * s4 + g[0];
  return p0 + s * (p1 + s * (p2 + s * p3));
}

// Step 6: the curve value from x, log q and the factor (1 + t)^(-1/n).
template <typename V>
KYR_LANE_INLINE V KneeValue(V x, V logQ, V factor, const KneeConstants& c) {
  using T = LaneTraits<V>;
  const auto above = logQ >= 0.0;
  const V limit = T::Select(x < 0.0, Splat<V>(-c.kNeg), Splat<V>(c.kPos));
  // q^(invNResidual) = 1 + log q * invNResidual to well below an ulp.
  const V result = T::Select(above, limit * (factor + factor * (logQ * c.invNResidual)),
                             x * factor);
  return T::Select(T::Not(Abs(x) <= 1.7976931348623157e308), x - x, result);  // inf or NaN
}

template <typename V>
KYR_LANE_INLINE V KneeCurve(V x, const KneeConstants& c) {
  V k, f, s;
  KneeLogReduce(x, k, f, s);
  const V logQ = KneeLog(x, k, f, s, c);
  V r, shifted;
  KneePowerReduce(logQ, c, r, shifted);
  return KneeValue(x, logQ, KneeFactor(ExpFromReduced(r, shifted), c), c);
}

// The tube-curve constants.
constexpr double kTubeA = 0.02041;
constexpr double kTubeB = 0.71917;
constexpr KneeConstants kTubeKnee = {
    0.46999, 0.64125, -0.75504386110012744, 4.8895610333635351e-17, -0.44433588249715777,
    -8.1292151347161174e-18, 2.4903, 1.0 / 2.4903, InvNResidual(2.4903),
    {0.84974601824307316, -0.11374078333842932, 0.026569051659513551, -0.0070896799740875977,
     0.002009663162822339, -0.00058970993716586477, 0.00017696402529414427,
     -5.3945026154107593e-05, 1.663655181707028e-05, -5.1767581494506188e-06,
     1.622319541393217e-06, -5.1141192484840889e-07, 1.6196969750001874e-07,
     -5.138378834878425e-08, 1.6395140822227806e-08, -5.4033827860010684e-09,
     1.7343062298371212e-09, -4.3358724101262428e-10, 1.3946682727075865e-10,
     -1.0020398472852751e-10, 3.2453389018219344e-11}};
constexpr KneeConstants kSoftKnee = {
    0.65654, 0.65654, -0.42077165792555254, -2.5031852383805213e-17, -0.42077165792555254,
    -2.5031852383805213e-17, 2.8922, 1.0 / 2.8922, InvNResidual(2.8922),
    {0.86919079197224558, -0.10017642762974487, 0.02246886404931037, -0.0058562786212893658,
     0.0016328073700178204, -0.00047305233067337552, 0.0001404901705775284,
     -4.2453172023720303e-05, 1.2993779589584695e-05, -4.0163917028030456e-06,
     1.2512072757794878e-06, -3.9230665777874345e-07, 1.2363970607177128e-07,
     -3.9050086562291397e-08, 1.2407887986560922e-08, -4.0708788605090517e-09,
     1.3019131237465867e-09, -3.2570887716446785e-10, 1.0441618024099161e-10,
     -7.429676917515103e-11, 2.3996970735484892e-11}};

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
