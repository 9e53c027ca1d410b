// RealFft where no FFT library is available (the Windows cross build).
#include "Radix2Fft.h"
#include "RealFft.h"

namespace oskel {

struct RealFft::Impl {
  explicit Impl(int size) : fft(size) {}
  Radix2Fft fft;
};

RealFft::RealFft(int size) : mSize(size), mImpl(std::make_unique<Impl>(size)) {}

RealFft::~RealFft() = default;

void RealFft::Forward(const float* in, float* outReIm) { mImpl->fft.ForwardReal(in, outReIm); }

}  // namespace oskel
