#include "AnalyserPicture.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "Base64.h"
#include "RealFft.h"

namespace oskel {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLowestBandHz = 20.0;
constexpr double kBandRatio = 1000.0;  // 20 Hz .. 20 kHz
constexpr double kSignalScale = 1.0 / 4096.0;
constexpr double kPowerFloor = 1e-12;  // -120 dB

// Nearest integer with halves away from zero, limited to [lo, hi]; NaN gives lo.
int RoundClamped(double v, int lo, int hi) {
  if (!(v >= lo)) return lo;
  if (v >= hi) return hi;
  return static_cast<int>(std::round(v));
}

int FloorClamped(double v, int lo, int hi) {
  if (!(v >= lo)) return lo;
  if (v >= hi) return hi;
  return static_cast<int>(std::floor(v));
}

int CeilClamped(double v, int lo, int hi) {
  if (!(v >= lo)) return lo;
  if (v >= hi) return hi;
  return static_cast<int>(std::ceil(v));
}

uint8_t LevelOf(double power) {
  if (std::isnan(power)) return 0;
  const double db = 10.0 * std::log10(power + kPowerFloor);
  return static_cast<uint8_t>(RoundClamped((db + 120.0) / 120.0 * 255.0, 0, 255));
}

}  // namespace

struct AnalyserPicture::Fft {
  RealFft transform{kFftSize};
  float bins[2 * (kNumBins + 1)] = {};  // interleaved real and imaginary parts
  double window[kFftSize] = {};
};

AnalyserPicture::AnalyserPicture()
    : mFft(std::make_unique<Fft>()),
      mWindowed(std::make_unique<float[]>(kFftSize)),
      mPowers(std::make_unique<double[]>(kNumBins)) {
  // Hann window of period 2047 (not 2048): its sum is 1023.5.
  for (int i = 0; i < kFftSize; ++i) mFft->window[i] = 0.5 - 0.5 * std::cos(2.0 * kPi * i / (kFftSize - 1));
}

AnalyserPicture::~AnalyserPicture() = default;

void AnalyserPicture::ComputeBinPowers(const double* signal) {
  for (int i = 0; i < kFftSize; ++i) {
    // Non-finite or out-of-range samples are kept from reaching the single-precision transform.
    const double x = mFft->window[i] * signal[i] * kSignalScale;
    mWindowed[i] = std::isnan(x) ? 0.0f : static_cast<float>(std::clamp(x, -double{FLT_MAX}, double{FLT_MAX}));
  }
  mFft->transform.Forward(mWindowed.get(), mFft->bins);
  const auto power = [this](int k) {
    const double re = mFft->bins[2 * k], im = mFft->bins[2 * k + 1];
    return re * re + im * im;
  };
  // A full-scale sine at a bin centre has |X| of about 0.5 * 1023.5 / 4096, so a factor of 64
  // (16 at the two edge bins, whose energy is not split with a mirror bin) gives about 1.
  mPowers[0] = 16.0 * power(0);
  for (int k = 1; k < kNumBins - 1; ++k) mPowers[k] = 64.0 * power(k);
  mPowers[kNumBins - 1] = 16.0 * power(kNumBins - 1);
}

void AnalyserPicture::ComputeBands(double binHz, uint8_t* bands) const {
  const int lastBin = kNumBins - 1;
  for (int j = 0; j < kNumBands; ++j) {
    const double loHz = kLowestBandHz * std::pow(kBandRatio, (j - 0.5) / (kNumBands - 1));
    const double hiHz = kLowestBandHz * std::pow(kBandRatio, (j + 0.5) / (kNumBands - 1));
    const int lo = FloorClamped(loHz / binHz, 1, lastBin + 1);
    const int hi = CeilClamped(hiHz / binHz, 0, lastBin);
    double p = 0.0;
    if (lo <= hi) {
      for (int k = lo; k <= hi; ++k) p += mPowers[k];
      p /= (hi - lo + 1);
    } else {
      const double centreHz = kLowestBandHz * std::pow(kBandRatio, static_cast<double>(j) / (kNumBands - 1));
      p = mPowers[RoundClamped(centreHz / binHz, 1, lastBin)];
    }
    bands[j] = LevelOf(p);
  }
}

void AnalyserPicture::Compute(const double* input, const double* output, double sampleRate,
                              uint8_t picture[kPictureSize]) {
  std::fill(picture, picture + kPictureSize, uint8_t{0});
  const double binHz = sampleRate * (1.0 / kFftSize);
  if (!(binHz > 0.0) || !std::isfinite(binHz)) return;
  const double* signals[2] = {input, output};
  for (int s = 0; s < 2; ++s) {
    ComputeBinPowers(signals[s]);
    ComputeBands(binHz, picture + s * kNumBands);
  }
}

std::string AnalyserPicture::ComputeText(const double* input, const double* output, double sampleRate) {
  uint8_t picture[kPictureSize];
  Compute(input, output, sampleRate, picture);
  return Base64Encode(picture, sizeof picture);
}

}  // namespace oskel
