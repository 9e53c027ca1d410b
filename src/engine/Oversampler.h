#pragma once

// Twofold polyphase halfband interpolator and decimator, each two branches of four
// first-order allpass sections (the classic two-path allpass halfband). One pair per
// channel lives in the engine; the tube stage runs between them at twice the host rate.
namespace kyr {

inline constexpr int kAllpassSections = 4;
inline constexpr double kBranchA[kAllpassSections] = {0.0771150798, 0.4820706251, 0.7968204713,
                                                      0.9412514278};
inline constexpr double kBranchB[kAllpassSections] = {0.2659685265, 0.6651041533, 0.8841015086,
                                                      0.9820054142};

// Previous input and output of each allpass section of one branch.
struct AllpassBranch {
  double x1[kAllpassSections] = {};
  double y1[kAllpassSections] = {};
};

// State of one channel's interpolator or decimator.
struct HalfbandState {
  AllpassBranch a, b;
};

// A branch whose states are not all finite starts again from zero.
void ClearNonFiniteStates(HalfbandState& s);

// Block forms for one channel: n host samples to 2n sub-samples in time order and back.
void UpsampleBlock(HalfbandState& s, const double* in, double* out2x, int n);
void DownsampleBlock(HalfbandState& s, const double* in2x, double* out, int n);
// The same for both channels of a block at once (channel c uses s[c]).
void UpsampleStereo(HalfbandState (&s)[2], const double* const in[2], double* const out2x[2],
                    int n);
void DownsampleStereo(HalfbandState (&s)[2], const double* const in2x[2], double* const out[2],
                      int n);

// One host-rate sample in, two samples out (u1 first in time), no scaling.
inline void Upsample2x(HalfbandState& s, double x, double& u1, double& u2) {
  double u[2];
  UpsampleBlock(s, &x, u, 1);
  u1 = u[0];
  u2 = u[1];
}

// Two samples in (d1 first in time), one host-rate sample out.
inline double Downsample2x(HalfbandState& s, double d1, double d2) {
  const double d[2] = {d1, d2};
  double y;
  DownsampleBlock(s, d, &y, 1);
  return y;
}

}  // namespace kyr
