#include "Oversampler.h"

namespace kyr {
namespace {

// One branch's section states held in locals for a block loop.
struct BranchRegs {
  double x1[kAllpassSections], y1[kAllpassSections];
  void Load(const AllpassBranch& br) {
    for (int k = 0; k < kAllpassSections; ++k) {
      x1[k] = br.x1[k];
      y1[k] = br.y1[k];
    }
  }
  void SaveTo(AllpassBranch& br) const {
    for (int k = 0; k < kAllpassSections; ++k) {
      br.x1[k] = x1[k];
      br.y1[k] = y1[k];
    }
  }
  double Run(const double (&coef)[kAllpassSections], double v) {
    for (int k = 0; k < kAllpassSections; ++k) {
      const double o = (v - y1[k]) * coef[k] + x1[k];
      x1[k] = v;
      y1[k] = o;
      v = o;
    }
    return v;
  }
};

// Runs kChannels channels in one loop: their recurrences are independent, so the processor
// overlaps them.
template <int kChannels>
void Upsample(HalfbandState* s, const double* const* in, double* const* out2x, int n) {
  BranchRegs a[kChannels], b[kChannels];
  for (int c = 0; c < kChannels; ++c) {
    a[c].Load(s[c].a);
    b[c].Load(s[c].b);
  }
  for (int i = 0; i < n; ++i) {
    for (int c = 0; c < kChannels; ++c) {
      const double x = in[c][i];
      out2x[c][2 * i] = a[c].Run(kBranchA, x);
      out2x[c][2 * i + 1] = b[c].Run(kBranchB, x);
    }
  }
  for (int c = 0; c < kChannels; ++c) {
    a[c].SaveTo(s[c].a);
    b[c].SaveTo(s[c].b);
  }
}

template <int kChannels>
void Downsample(HalfbandState* s, const double* const* in2x, double* const* out, int n) {
  BranchRegs a[kChannels], b[kChannels];
  for (int c = 0; c < kChannels; ++c) {
    a[c].Load(s[c].a);
    b[c].Load(s[c].b);
  }
  for (int i = 0; i < n; ++i) {
    for (int c = 0; c < kChannels; ++c) {
      const double pA = a[c].Run(kBranchA, in2x[c][2 * i + 1]);
      const double pB = b[c].Run(kBranchB, in2x[c][2 * i]);
      out[c][i] = (pA + pB) * 0.5;
    }
  }
  for (int c = 0; c < kChannels; ++c) {
    a[c].SaveTo(s[c].a);
    b[c].SaveTo(s[c].b);
  }
}

}  // namespace

void UpsampleBlock(HalfbandState& s, const double* in, double* out2x, int n) {
  Upsample<1>(&s, &in, &out2x, n);
}

void DownsampleBlock(HalfbandState& s, const double* in2x, double* out, int n) {
  Downsample<1>(&s, &in2x, &out, n);
}

void UpsampleStereo(HalfbandState (&s)[2], const double* const in[2], double* const out2x[2],
                    int n) {
  Upsample<2>(s, in, out2x, n);
}

void DownsampleStereo(HalfbandState (&s)[2], const double* const in2x[2], double* const out[2],
                      int n) {
  Downsample<2>(s, in2x, out, n);
}

}  // namespace kyr
