#pragma once

#include <cmath>
#include <complex>
#include <vector>

namespace oskel {

// Iterative radix-2 complex FFT in double precision, used to take real transforms where no FFT
// library is available. Tables are built at construction; Transform allocates nothing.
class Radix2Fft {
 public:
  // size: a power of two.
  explicit Radix2Fft(int size) : mSize(size), mWork(static_cast<size_t>(size)), mTwiddles(static_cast<size_t>(size / 2)) {
    const double twoPi = 6.283185307179586;
    for (int k = 0; k < size / 2; ++k)
      mTwiddles[static_cast<size_t>(k)] = std::polar(1.0, -twoPi * k / size);
    mBitReversed.resize(static_cast<size_t>(size));
    int bits = 0;
    while ((1 << bits) < size) ++bits;
    for (int i = 0; i < size; ++i) {
      int r = 0;
      for (int b = 0; b < bits; ++b) r |= ((i >> b) & 1) << (bits - 1 - b);
      mBitReversed[static_cast<size_t>(i)] = r;
    }
  }

  // Real input of Size() samples; writes bins 0 .. Size()/2 as interleaved (re, im).
  void ForwardReal(const float* in, float* outReIm) {
    for (int i = 0; i < mSize; ++i)
      mWork[static_cast<size_t>(mBitReversed[static_cast<size_t>(i)])] = std::complex<double>(in[i], 0.0);
    for (int half = 1; half < mSize; half *= 2) {
      const int stride = mSize / (2 * half);
      for (int start = 0; start < mSize; start += 2 * half) {
        for (int k = 0; k < half; ++k) {
          std::complex<double>& a = mWork[static_cast<size_t>(start + k)];
          std::complex<double>& b = mWork[static_cast<size_t>(start + k + half)];
          const std::complex<double> t = mTwiddles[static_cast<size_t>(k * stride)] * b;
          b = a - t;
          a += t;
        }
      }
    }
    for (int k = 0; k <= mSize / 2; ++k) {
      outReIm[2 * k] = static_cast<float>(mWork[static_cast<size_t>(k % mSize)].real());
      outReIm[2 * k + 1] = static_cast<float>(mWork[static_cast<size_t>(k % mSize)].imag());
    }
  }

 private:
  int mSize;
  std::vector<std::complex<double>> mWork;
  std::vector<std::complex<double>> mTwiddles;
  std::vector<int> mBitReversed;
};

}  // namespace oskel
