#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "CurveKernels.h"

namespace kyr {
namespace {

// The curves written directly with the general power function.
double KneeReference(double p, double kPos, double kNeg, double n) {
  if (p >= 0.0) return p / std::pow(1.0 + std::pow(p / kPos, n), 1.0 / n);
  return p / std::pow(1.0 + std::pow(-p / kNeg, n), 1.0 / n);
}
double TubeReference(double u) {
  const double p = u + 0.02041 * std::pow(u, 2) + 0.71917 * std::pow(u, 3);
  return KneeReference(p, 0.46999, 0.64125, 2.4903);
}
double SoftReference(double v) { return KneeReference(v, 0.65654, 0.65654, 2.8922); }

int64_t UlpDistance(double a, double b) {
  int64_t x, y;
  std::memcpy(&x, &a, sizeof x);
  std::memcpy(&y, &b, sizeof y);
  if (x < 0) x = INT64_MIN - x;
  if (y < 0) y = INT64_MIN - y;
  return x > y ? x - y : y - x;
}

// Both signs, 2^-70 to 2^30 log-uniform, dense around the knees, and special values.
std::vector<double> CurveInputs() {
  std::vector<double> x;
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mantissa(1.0, 2.0);
  for (int i = 0; i < 40000; ++i) {
    const double m = std::ldexp(mantissa(rng), static_cast<int>(rng() % 101) - 70);
    x.push_back((rng() & 1) ? m : -m);
  }
  for (double knee : {0.46999, 0.64125, 0.65654}) {
    for (int i = -2000; i <= 2000; ++i) {
      x.push_back(knee * (1.0 + i * 1e-4));
      x.push_back(-knee * (1.0 + i * 1e-4));
    }
  }
  for (double v : {0.0, -0.0, 1e-300, -1e-300, 1.0, -1.0}) x.push_back(v);
  return x;
}

// Every variant of the block routines against the pow() formulation, over the whole range.
TEST(TubeCurve, BlockRoutinesStayWithinFourUlpOfThePowerFunction) {
  const std::vector<double> x = CurveInputs();
  const int n = static_cast<int>(x.size());
  const std::vector<double> zero(x.size(), 0.0);
  std::vector<double> tube(x.size()), soft(x.size()), biased(x.size()), e(x.size()), bias(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    e[i] = std::fmod(x[(i * 7) % x.size()], 4.0) * 0.3;
    bias[i] = std::fabs(std::fmod(x[(i * 3) % x.size()], 1.0)) * 1e-2;
  }
  std::vector<const CurveKernels*> variants = {&BaselineCurveKernels()};
  if (Avx2CurveKernels() != nullptr && &SelectCurveKernels() == Avx2CurveKernels()) {
    variants.push_back(Avx2CurveKernels());
  }
  for (const CurveKernels* k : variants) {
    // u = e leaves the low band only; e = 0 the high band only.
    k->tubeStage(x.data(), x.data(), nullptr, 1, 1.0, tube.data(), nullptr, nullptr, n);
    k->tubeStage(x.data(), zero.data(), nullptr, 1, 1.0, soft.data(), nullptr, nullptr, n);
    // With a bias (as push-pull feeds it) the low band is offset by the curve at the bias.
    const double d = 0.373;
    k->tubeStage(x.data(), e.data(), bias.data(), 1, d, biased.data(), nullptr, nullptr, n);
    int64_t worstTube = 0, worstSoft = 0;
    double worstBiased = 0.0;
    for (int i = 0; i < n; ++i) {
      const double rt = TubeReference(x[i]);
      if (std::isfinite(rt)) worstTube = std::max(worstTube, UlpDistance(tube[i], rt));
      worstSoft = std::max(worstSoft, UlpDistance(soft[i], SoftReference(x[i])));
      const double rb = (TubeReference(e[i] * d + bias[i]) - TubeReference(bias[i])) / d +
                        SoftReference((x[i] - e[i]) * d) / d;
      const double err = std::fabs(biased[i] - rb) / (1.0 + std::fabs(rb));
      if (!(err <= worstBiased)) worstBiased = err;  // a non-finite output fails too
    }
    EXPECT_LE(worstTube, 4);
    EXPECT_LE(worstSoft, 4);
    EXPECT_LT(worstBiased, 1e-14);
  }
}

TEST(TubeCurve, TanhStaysWithinFourUlpOfTheLibrary) {
  std::vector<double> x = CurveInputs();
  for (double v : {19.0, 19.5, 25.0, -30.0, 0.17, -0.55}) x.push_back(v);
  std::vector<double> y(x.size());
  SelectCurveKernels().tanh(x.data(), y.data(), static_cast<int>(x.size()));
  int64_t worst = 0;
  for (size_t i = 0; i < x.size(); ++i) worst = std::max(worst, UlpDistance(y[i], std::tanh(x[i])));
  EXPECT_LE(worst, 4);
}

}  // namespace
}  // namespace kyr
