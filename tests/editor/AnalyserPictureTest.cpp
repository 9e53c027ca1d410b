// The analyser's transform and the picture the page draws from it.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <vector>

#include "editor/AnalyserPicture.h"
#include "editor/Radix2Fft.h"
#include "editor/RealFft.h"

using namespace oskel;

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

std::vector<double> Sine(double freqHz, double sampleRate) {
  std::vector<double> s(AnalyserPicture::kFftSize);
  for (size_t i = 0; i < s.size(); ++i) s[i] = std::sin(2.0 * M_PI * freqHz * static_cast<double>(i) / sampleRate);
  return s;
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

// The input channel is silent: level 0 in all its bands.
TEST(AnalyserPicture, FullScaleSineAtABinCentreReadsZeroDecibelsAndSilenceZero) {
  AnalyserPicture spectrum;
  const std::vector<double> sine = Sine(23.4375, 48000.0);
  const std::vector<double> silence(AnalyserPicture::kFftSize, 0.0);
  uint8_t picture[AnalyserPicture::kPictureSize];
  spectrum.Compute(silence.data(), sine.data(), 48000.0, picture);
  EXPECT_NEAR(spectrum.BinPowers()[1], 0.999, 0.002);
  for (int band = 0; band <= 2; ++band) EXPECT_EQ(picture[128 + band], 255) << band;
  EXPECT_LT(picture[128 + 3], 255);  // bands 3.. average bins 1 and 2
  for (int band = 0; band < 128; ++band) EXPECT_EQ(picture[band], 0) << band;
}

TEST(AnalyserPicture, HighBandsBeyondTheLastBinShareItsLevelAtLowRates) {
  AnalyserPicture spectrum;
  std::vector<double> noise(AnalyserPicture::kFftSize);
  uint32_t seed = 1;
  for (double& s : noise) s = ((seed = seed * 1664525u + 1013904223u) >> 8) / double(1 << 24) - 0.5;
  uint8_t picture[AnalyserPicture::kPictureSize];
  spectrum.Compute(noise.data(), noise.data(), 22050.0, picture);
  for (int band = 117; band < 128; ++band) EXPECT_EQ(picture[band], picture[127]) << band;
  EXPECT_GT(picture[127], 0);
}

TEST(AnalyserPicture, BadInputGivesAPictureWithoutFaults) {
  AnalyserPicture spectrum;
  std::vector<double> bad = Sine(1000.0, 48000.0);
  bad[10] = NAN;
  bad[20] = INFINITY;
  bad[30] = 1e300;
  uint8_t picture[AnalyserPicture::kPictureSize];
  for (double rate : std::vector<double>{48000.0, 0.0, -1.0, NAN, INFINITY}) spectrum.Compute(bad.data(), bad.data(), rate, picture);
  spectrum.Compute(bad.data(), bad.data(), 0.0, picture);
  for (uint8_t level : picture) EXPECT_EQ(level, 0);
}
