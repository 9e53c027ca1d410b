#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace oskel {

// The editor's spectrum display data: the newest 2048 samples of the input-mid and the
// output-mid signal, each Hann-windowed (period 2047), transformed by a 2048-point real FFT,
// turned into bin powers (a full-scale sine at a bin centre gives about 1) and averaged into 128
// logarithmic bands from 20 Hz to 20 kHz; each band is one byte, 255 for 0 dB and 0 for -120 dB
// or less. Bytes 0..127 are the input, 128..255 the output.
//
// One object per plug-in instance, used on the user-interface thread only; it owns the FFT
// tables and the work arrays, so nothing is allocated per picture.
class AnalyserPicture {
 public:
  static constexpr int kFftSize = 2048;
  static constexpr int kNumBins = kFftSize / 2;
  static constexpr int kNumBands = 128;
  static constexpr int kPictureSize = 2 * kNumBands;

  AnalyserPicture();
  ~AnalyserPicture();
  AnalyserPicture(const AnalyserPicture&) = delete;
  AnalyserPicture& operator=(const AnalyserPicture&) = delete;

  // Computes the picture from two signals of kFftSize samples each, oldest first. A sample
  // rate that is not a positive finite number gives an all-zero picture.
  void Compute(const double* input, const double* output, double sampleRate, uint8_t picture[kPictureSize]);

  // The picture's base64 text: 344 characters (the spectrum message's payload).
  std::string ComputeText(const double* input, const double* output, double sampleRate);

  // The band powers' source for one signal, for tests: P[0..kNumBins-1] of the last Compute.
  const double* BinPowers() const { return mPowers.get(); }

 private:
  void ComputeBinPowers(const double* signal);
  void ComputeBands(double binHz, uint8_t* bands) const;

  struct Fft;
  std::unique_ptr<Fft> mFft;
  std::unique_ptr<float[]> mWindowed;
  std::unique_ptr<double[]> mPowers;
};

}  // namespace oskel
