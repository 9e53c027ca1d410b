// RealFft on Debian's KissFFT (the build defines KYR_HAVE_KISSFFT when the library is found).
#include "RealFft.h"

#include <kiss_fftr.h>

#include <vector>

namespace oskel {

struct RealFft::Impl {
  kiss_fftr_cfg config = nullptr;
  std::vector<kiss_fft_cpx> bins;
  ~Impl() { kiss_fftr_free(config); }
};

RealFft::RealFft(int size) : mSize(size), mImpl(std::make_unique<Impl>()) {
  mImpl->config = kiss_fftr_alloc(size, 0, nullptr, nullptr);
  mImpl->bins.resize(static_cast<size_t>(size / 2 + 1));
}

RealFft::~RealFft() = default;

void RealFft::Forward(const float* in, float* outReIm) {
  if (!mImpl->config) {
    for (int k = 0; k <= mSize / 2; ++k) outReIm[2 * k] = outReIm[2 * k + 1] = 0.0f;
    return;
  }
  kiss_fftr(mImpl->config, in, mImpl->bins.data());
  for (int k = 0; k <= mSize / 2; ++k) {
    outReIm[2 * k] = mImpl->bins[static_cast<size_t>(k)].r;
    outReIm[2 * k + 1] = mImpl->bins[static_cast<size_t>(k)].i;
  }
}

}  // namespace oskel
