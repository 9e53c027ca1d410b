#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EngineTestUtil.h"
#include "Oversampler.h"

namespace kyr {
namespace {

using namespace test;

// Flat to 0.45 of the host rate; images and fold-back from 0.51 to 1.0 at least 69 dB down.
TEST(Oversampler, PassesToPointFourFiveAndRejectsFromPointFiveOne) {
  const int n = 8000, settle = 2000;
  for (double ratio : {0.05, 0.25, 0.45}) {
    HalfbandState up, down;
    std::vector<double> u(2 * n), y(n);
    for (int i = 0; i < n; ++i) {
      Upsample2x(up, std::sin(2.0 * kPi * ratio * i), u[2 * i], u[2 * i + 1]);
      y[i] = Downsample2x(down, u[2 * i], u[2 * i + 1]);
    }
    EXPECT_NEAR(Db(Amplitude(y, ratio, 1.0, settle, n - settle)), 0.0, 0.02) << ratio;
    EXPECT_NEAR(Db(Amplitude(u, ratio / 2, 1.0, 2 * settle, 2 * (n - settle))), 0.0, 0.02) << ratio;
    EXPECT_LT(Db(Amplitude(u, 0.5 - ratio / 2, 1.0, 2 * settle, 2 * (n - settle))), -69.0) << ratio;
  }
  for (double ratio : {0.51, 0.55, 0.7, 0.9, 0.99}) {
    HalfbandState down;
    std::vector<double> y(n);
    for (int i = 0; i < n; ++i) {
      y[i] = Downsample2x(down, std::sin(kPi * ratio * 2 * i), std::sin(kPi * ratio * (2 * i + 1)));
    }
    EXPECT_LT(Db(Amplitude(y, 1.0 - ratio, 1.0, settle, n - settle)), -69.0) << ratio;
  }
}

}  // namespace
}  // namespace kyr
