#pragma once

#include <memory>

namespace oskel {

// Forward real FFT of a fixed power-of-two size, unnormalised:
//   X[k] = sum over n of x[n] e^(-2 pi i k n / N), for k = 0 .. N/2.
// Built on Debian's KissFFT where the build has it, on the portable Radix2Fft otherwise (the
// Windows cross build). One object per user; not thread-safe; Forward allocates nothing.
class RealFft {
 public:
  explicit RealFft(int size);
  ~RealFft();
  RealFft(const RealFft&) = delete;
  RealFft& operator=(const RealFft&) = delete;

  int Size() const { return mSize; }
  // in: Size() samples; outReIm: Size() / 2 + 1 bins as interleaved real and imaginary parts.
  void Forward(const float* in, float* outReIm);

 private:
  struct Impl;
  int mSize;
  std::unique_ptr<Impl> mImpl;
};

}  // namespace oskel
