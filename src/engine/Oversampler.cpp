#include "Oversampler.h"

namespace kyr {
namespace {

// One branch's section states held in locals for a block loop.
struct BranchRegs {
  double x1[kAllpassSections], y1[kAllpassSections];
  explicit BranchRegs(const AllpassBranch& br) {
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

}  // namespace

void UpsampleBlock(HalfbandState& s, const double* in, double* out2x, int n) {
  BranchRegs a(s.a), b(s.b);
  for (int i = 0; i < n; ++i) {
    const double x = in[i];
    out2x[2 * i] = a.Run(kBranchA, x);
    out2x[2 * i + 1] = b.Run(kBranchB, x);
  }
  a.SaveTo(s.a);
  b.SaveTo(s.b);
}

void DownsampleBlock(HalfbandState& s, const double* in2x, double* out, int n) {
  BranchRegs a(s.a), b(s.b);
  for (int i = 0; i < n; ++i) {
    const double pA = a.Run(kBranchA, in2x[2 * i + 1]);
    const double pB = b.Run(kBranchB, in2x[2 * i]);
    out[i] = (pA + pB) * 0.5;
  }
  a.SaveTo(s.a);
  b.SaveTo(s.b);
}

}  // namespace kyr
