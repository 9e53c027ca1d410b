#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EngineTestUtil.h"
#include "Oversampler.h"

namespace kyr {
namespace {

using namespace test;

TEST(Oversampler, PairPassesUpToPointFourFiveOfTheHostRate) {
  const int n = 8000, settle = 2000;
  for (double ratio : {0.05, 0.25, 0.45}) {
    HalfbandState up, down;
    std::vector<double> y(n);
    for (int i = 0; i < n; ++i) {
      double u1, u2;
      Upsample2x(up, std::sin(2.0 * kPi * ratio * i), u1, u2);
      y[i] = Downsample2x(down, u1, u2);
    }
    EXPECT_NEAR(Db(Amplitude(y, ratio, 1.0, settle, n - settle)), 0.0, 0.02) << ratio;
  }
}

// Tube harmonics between 0.51 and 1.0 of the host rate (at the doubled rate) fold back
// attenuated by at least 69 dB; the interpolator's images lie as far down.
TEST(Oversampler, RejectsEverythingFromPointFiveOneOfTheHostRate) {
  const int n = 6000, settle = 2000;
  for (double ratio : {0.51, 0.55, 0.7, 0.9, 0.99}) {
    HalfbandState down;
    std::vector<double> y(n);
    for (int i = 0; i < n; ++i) {
      const double d1 = std::sin(2.0 * kPi * ratio * (2 * i) / 2.0);
      const double d2 = std::sin(2.0 * kPi * ratio * (2 * i + 1) / 2.0);
      y[i] = Downsample2x(down, d1, d2);
    }
    EXPECT_LT(Db(Amplitude(y, 1.0 - ratio, 1.0, settle, n - settle)), -69.0) << ratio;
  }
  HalfbandState up;
  std::vector<double> u(2 * n);
  for (int i = 0; i < n; ++i)
    Upsample2x(up, std::sin(2.0 * kPi * 0.45 * i), u[2 * i], u[2 * i + 1]);
  // At the doubled rate the signal sits at 0.225 and its image at 0.275.
  EXPECT_NEAR(Db(Amplitude(u, 0.225, 1.0, 2 * settle, 2 * (n - settle))), 0.0, 0.02);
  EXPECT_LT(Db(Amplitude(u, 0.275, 1.0, 2 * settle, 2 * (n - settle))), -69.0);
}

}  // namespace
}  // namespace kyr
