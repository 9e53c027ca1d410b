#include "editor/RealFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "editor/Radix2Fft.h"

namespace {

// The transform's definition, evaluated directly.
std::vector<std::complex<double>> NaiveDft(const std::vector<float>& x) {
  const int n = static_cast<int>(x.size());
  std::vector<std::complex<double>> out(static_cast<size_t>(n / 2 + 1));
  for (int k = 0; k <= n / 2; ++k)
    for (int i = 0; i < n; ++i)
      out[static_cast<size_t>(k)] += static_cast<double>(x[static_cast<size_t>(i)]) *
                                     std::polar(1.0, -2.0 * M_PI * k * i / n);
  return out;
}

std::vector<float> TestSignal(int n) {
  std::vector<float> x(static_cast<size_t>(n));
  uint32_t seed = 7;
  for (int i = 0; i < n; ++i) {
    seed = seed * 1664525u + 1013904223u;
    x[static_cast<size_t>(i)] = static_cast<float>(0.3 * std::sin(0.05 * i) + 0.2 * ((seed >> 8) / 8388608.0 - 1.0));
  }
  return x;
}

}  // namespace

// Both transforms the build can use (the library one and the portable one) match the
// definition, so the spectrum is the same on every platform.
TEST(RealFft, BothImplementationsMatchTheDefinition) {
  const int n = 2048;
  const std::vector<float> x = TestSignal(n);
  const auto expected = NaiveDft(x);

  std::vector<float> viaBuild(2 * (n / 2 + 1)), viaRadix2(2 * (n / 2 + 1));
  oskel::RealFft fft(n);
  fft.Forward(x.data(), viaBuild.data());
  oskel::Radix2Fft radix2(n);
  radix2.ForwardReal(x.data(), viaRadix2.data());

  for (int k = 0; k <= n / 2; ++k) {
    const double re = expected[static_cast<size_t>(k)].real(), im = expected[static_cast<size_t>(k)].imag();
    ASSERT_NEAR(viaBuild[2 * k], re, 1e-3) << "bin " << k;
    ASSERT_NEAR(viaBuild[2 * k + 1], im, 1e-3) << "bin " << k;
    ASSERT_NEAR(viaRadix2[2 * k], re, 1e-6 * (1.0 + std::abs(re))) << "bin " << k;
    ASSERT_NEAR(viaRadix2[2 * k + 1], im, 1e-6 * (1.0 + std::abs(im))) << "bin " << k;
  }
}
