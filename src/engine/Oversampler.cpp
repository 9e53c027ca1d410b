#include "Oversampler.h"

#include <initializer_list>

#include "BlockOps.h"

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

#if defined(__GNUC__)
#define KYR_PAIRED_BRANCHES 1
// Stereo: the four recurrences (branch A and B of each channel) in the lanes of two
// vectors, one per channel, each lane taking the scalar steps in the same order, so the
// results are the same bit for bit.
typedef double Pair __attribute__((vector_size(16)));

struct BranchPairRegs {
  Pair x1[2][kAllpassSections], y1[2][kAllpassSections];
  Pair coef[kAllpassSections];
  HalfbandState* s;

  explicit BranchPairRegs(HalfbandState* states) : s(states) {
    for (int k = 0; k < kAllpassSections; ++k) {
      for (int c = 0; c < 2; ++c) {
        x1[c][k] = Pair{s[c].a.x1[k], s[c].b.x1[k]};
        y1[c][k] = Pair{s[c].a.y1[k], s[c].b.y1[k]};
      }
      coef[k] = Pair{kBranchA[k], kBranchB[k]};
    }
  }
  ~BranchPairRegs() {
    for (int k = 0; k < kAllpassSections; ++k) {
      for (int c = 0; c < 2; ++c) {
        s[c].a.x1[k] = x1[c][k][0];
        s[c].b.x1[k] = x1[c][k][1];
        s[c].a.y1[k] = y1[c][k][0];
        s[c].b.y1[k] = y1[c][k][1];
      }
    }
  }
  // Channel 0 in v0, channel 1 in v1.
  void Run(Pair& v0, Pair& v1) {
    for (int k = 0; k < kAllpassSections; ++k) {
      const Pair o0 = (v0 - y1[0][k]) * coef[k] + x1[0][k];
      const Pair o1 = (v1 - y1[1][k]) * coef[k] + x1[1][k];
      x1[0][k] = v0;
      x1[1][k] = v1;
      y1[0][k] = o0;
      y1[1][k] = o1;
      v0 = o0;
      v1 = o1;
    }
  }
};

void UpsamplePaired(HalfbandState* s, const double* const* in, double* const* out2x, int n) {
  BranchPairRegs r(s);
  for (int i = 0; i < n; ++i) {
    Pair v0 = Pair{in[0][i], in[0][i]};
    Pair v1 = Pair{in[1][i], in[1][i]};
    r.Run(v0, v1);
    out2x[0][2 * i] = v0[0];
    out2x[0][2 * i + 1] = v0[1];
    out2x[1][2 * i] = v1[0];
    out2x[1][2 * i + 1] = v1[1];
  }
}

void DownsamplePaired(HalfbandState* s, const double* const* in2x, double* const* out, int n) {
  BranchPairRegs r(s);
  for (int i = 0; i < n; ++i) {
    Pair v0 = Pair{in2x[0][2 * i + 1], in2x[0][2 * i]};
    Pair v1 = Pair{in2x[1][2 * i + 1], in2x[1][2 * i]};
    r.Run(v0, v1);
    out[0][i] = (v0[0] + v0[1]) * 0.5;
    out[1][i] = (v1[0] + v1[1]) * 0.5;
  }
}
#endif

}  // namespace

void UpsampleBlock(HalfbandState& s, const double* in, double* out2x, int n) {
  Upsample<1>(&s, &in, &out2x, n);
}

void DownsampleBlock(HalfbandState& s, const double* in2x, double* out, int n) {
  Downsample<1>(&s, &in2x, &out, n);
}

void UpsampleStereo(HalfbandState (&s)[2], const double* const in[2], double* const out2x[2],
                    int n) {
#if defined(KYR_PAIRED_BRANCHES)
  UpsamplePaired(s, in, out2x, n);
#else
  Upsample<2>(s, in, out2x, n);
#endif
}

void DownsampleStereo(HalfbandState (&s)[2], const double* const in2x[2], double* const out[2],
                      int n) {
#if defined(KYR_PAIRED_BRANCHES)
  DownsamplePaired(s, in2x, out, n);
#else
  Downsample<2>(s, in2x, out, n);
#endif
}

void ClearNonFiniteStates(HalfbandState& s) {
  for (AllpassBranch* br : {&s.a, &s.b}) {
    ResetIfNonFinite(br->x1, kAllpassSections, 0.0);
    ResetIfNonFinite(br->y1, kAllpassSections, 0.0);
  }
}

}  // namespace kyr
