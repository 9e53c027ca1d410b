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

std::vector<double> Noise(int n) {
  std::vector<double> x(static_cast<size_t>(n));
  uint32_t seed = 7;
  for (double& s : x) s = ((seed = seed * 1664525u + 1013904223u) >> 8) / double(1 << 24) - 0.5;
  return x;
}

}  // namespace

// The library transform and the portable one both match the definition, evaluated directly.
TEST(RealFft, BothImplementationsMatchTheDefinition) {
  const int n = 2048;
  const std::vector<double> noise = Noise(n);
  const std::vector<float> x(noise.begin(), noise.end());
  std::vector<float> viaBuild(2 * (n / 2 + 1)), viaRadix2(2 * (n / 2 + 1));
  oskel::RealFft(n).Forward(x.data(), viaBuild.data());
  oskel::Radix2Fft(n).ForwardReal(x.data(), viaRadix2.data());
  for (int k = 0; k <= n / 2; ++k) {
    std::complex<double> expected;
    for (int i = 0; i < n; ++i) expected += double{x[static_cast<size_t>(i)]} * std::polar(1.0, -2.0 * M_PI * k * i / n);
    ASSERT_NEAR(viaBuild[2 * k], expected.real(), 1e-3) << "bin " << k;
    ASSERT_NEAR(viaBuild[2 * k + 1], expected.imag(), 1e-3) << "bin " << k;
    ASSERT_NEAR(viaRadix2[2 * k], expected.real(), 1e-6 * (1.0 + std::abs(expected.real()))) << "bin " << k;
    ASSERT_NEAR(viaRadix2[2 * k + 1], expected.imag(), 1e-6 * (1.0 + std::abs(expected.imag()))) << "bin " << k;
  }
}

// One cycle per transform (the first bin's centre); the input channel is silent: level 0 in all its bands.
TEST(AnalyserPicture, FullScaleSineAtABinCentreReadsZeroDecibelsAndSilenceZero) {
  AnalyserPicture spectrum;
  std::vector<double> sine(AnalyserPicture::kFftSize);
  for (size_t i = 0; i < sine.size(); ++i) sine[i] = std::sin(2.0 * M_PI * static_cast<double>(i) / sine.size());
  const std::vector<double> silence(AnalyserPicture::kFftSize, 0.0);
  uint8_t picture[AnalyserPicture::kPictureSize];
  spectrum.Compute(silence.data(), sine.data(), 48000.0, picture);
  EXPECT_NEAR(spectrum.BinPowers()[1], 0.999, 0.002);
  for (int band = 0; band <= 2; ++band) EXPECT_EQ(picture[128 + band], 255) << band;
  EXPECT_LT(picture[128 + 3], 255);  // bands 3.. average bins 1 and 2
  for (int band = 0; band < 128; ++band) EXPECT_EQ(picture[band], 0) << band;
}

// Bands beyond the last bin (at 22.05 kHz) share its level; bad samples or rates give a silent picture.
TEST(AnalyserPicture, HighBandsAtLowRatesShareTheLastBinAndBadInputGivesSilence) {
  AnalyserPicture spectrum;
  const std::vector<double> noise = Noise(AnalyserPicture::kFftSize);
  uint8_t picture[AnalyserPicture::kPictureSize];
  spectrum.Compute(noise.data(), noise.data(), 22050.0, picture);
  for (int band = 117; band < 128; ++band) EXPECT_EQ(picture[band], picture[127]) << band;
  EXPECT_GT(picture[127], 0);

  std::vector<double> bad = noise;
  bad[10] = NAN;
  bad[20] = INFINITY;
  bad[30] = 1e300;
  for (double rate : {48000.0, 0.0, -1.0, double{NAN}, double{INFINITY}, 0.0})
    spectrum.Compute(bad.data(), bad.data(), rate, picture);
  for (uint8_t level : picture) EXPECT_EQ(level, 0);
}
