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

// Runs step(branch A, branch B, channel, sample) over n samples of kChannels channels in one
// loop, with the states in locals: the channels' recurrences are independent, so the
// processor overlaps them.
template <int kChannels, typename Step>
void RunChannels(HalfbandState* s, int n, Step&& step) {
  BranchRegs a[kChannels], b[kChannels];
  for (int c = 0; c < kChannels; ++c) {
    a[c].Load(s[c].a);
    b[c].Load(s[c].b);
  }
  for (int i = 0; i < n; ++i) {
    for (int c = 0; c < kChannels; ++c) step(a[c], b[c], c, i);
  }
  for (int c = 0; c < kChannels; ++c) {
    a[c].SaveTo(s[c].a);
    b[c].SaveTo(s[c].b);
  }
}

template <int kChannels>
void Upsample(HalfbandState* s, const double* const* in, double* const* out2x, int n) {
  RunChannels<kChannels>(s, n, [&](BranchRegs& a, BranchRegs& b, int c, int i) {
    const double x = in[c][i];
    out2x[c][2 * i] = a.Run(kBranchA, x);
    out2x[c][2 * i + 1] = b.Run(kBranchB, x);
  });
}

template <int kChannels>
void Downsample(HalfbandState* s, const double* const* in2x, double* const* out, int n) {
  RunChannels<kChannels>(s, n, [&](BranchRegs& a, BranchRegs& b, int c, int i) {
    const double pA = a.Run(kBranchA, in2x[c][2 * i + 1]);
    const double pB = b.Run(kBranchB, in2x[c][2 * i]);
    out[c][i] = (pA + pB) * 0.5;
  });
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
