#include "LinearChain.h"

#include <algorithm>

namespace kyr {
namespace {

// A few sections per loop keep their states in registers; a longer chain runs as several
// such groups, one after the other over the pass (each group's output is the next's input).
constexpr int kGroupSections = 3;

struct SectionRegs {
  double b0, b1, b2, a1, a2, s1, s2;
};

// One group over both channels (kChannels 2) or over channel ch only (kChannels 1), with
// kSections sections per channel, the coupling filter in front and the split filter behind
// when asked for.
template <int kSections, int kChannels, bool kCoupling, bool kSplit>
void RunGroup(const LinearChain& c, int first, int ch0, const double* const in[2],
              double* const out[2], double* const splitOut[2], int n) {
  SectionRegs regs[kChannels][kSections > 0 ? kSections : 1];
  double cx1[kChannels], cy1[kChannels], e[kChannels];
  for (int j = 0; j < kChannels; ++j) {
    const int ch = ch0 + j;
    for (int k = 0; k < kSections; ++k) {
      const BiquadSection& s = *c.sections[ch][first + k];
      regs[j][k] = {s.b0, s.b1, s.b2, s.a1, s.a2, s.s1[ch], s.s2[ch]};
    }
    if constexpr (kCoupling) {
      cx1[j] = c.coupling->x1[ch];
      cy1[j] = c.coupling->y1[ch];
    }
    if constexpr (kSplit) e[j] = c.split[ch];
  }
  const double r = c.couplingCoef, w = c.splitCoef;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < kChannels; ++j) {
      const int ch = ch0 + j;
      double x = in[ch][i];
      if constexpr (kCoupling) {
        const double y = (x + cy1[j] - cx1[j]) * r;
        cx1[j] = x;
        cy1[j] = y;
        x = y;
      }
      for (int k = 0; k < kSections; ++k) {
        SectionRegs& s = regs[j][k];
        const double y = s.b0 * x + s.s1;
        s.s1 = s.b1 * x - s.a1 * y + s.s2;
        s.s2 = s.b2 * x - s.a2 * y;
        x = y;
      }
      out[ch][i] = x;
      if constexpr (kSplit) {
        e[j] = e[j] + (x - e[j]) * w;
        splitOut[ch][i] = e[j];
      }
    }
  }
  for (int j = 0; j < kChannels; ++j) {
    const int ch = ch0 + j;
    for (int k = 0; k < kSections; ++k) {
      c.sections[ch][first + k]->s1[ch] = regs[j][k].s1;
      c.sections[ch][first + k]->s2[ch] = regs[j][k].s2;
    }
    if constexpr (kCoupling) {
      c.coupling->x1[ch] = cx1[j];
      c.coupling->y1[ch] = cy1[j];
    }
    if constexpr (kSplit) c.split[ch] = e[j];
  }
}

template <int kChannels, bool kCoupling, bool kSplit>
void RunGroupOf(int sections, const LinearChain& c, int first, int ch0, const double* const in[2],
                double* const out[2], double* const splitOut[2], int n) {
  switch (sections) {
    case 0: RunGroup<0, kChannels, kCoupling, kSplit>(c, first, ch0, in, out, splitOut, n); break;
    case 1: RunGroup<1, kChannels, kCoupling, kSplit>(c, first, ch0, in, out, splitOut, n); break;
    case 2: RunGroup<2, kChannels, kCoupling, kSplit>(c, first, ch0, in, out, splitOut, n); break;
    default: RunGroup<3, kChannels, kCoupling, kSplit>(c, first, ch0, in, out, splitOut, n); break;
  }
}

#if defined(__GNUC__)
#define KYR_PAIRED_CHANNELS 1
// Both channels of a stereo chain in the two lanes of one vector: every step is the scalar
// step on each lane (no fused multiply-add, same order), so the results are those of the
// scalar loop bit for bit, at half the instructions.
typedef double Pair __attribute__((vector_size(16)));

constexpr int kPairGroupSections = 8;

struct PairRegs {
  Pair b0, b1, b2, a1, a2, s1, s2;
};

template <int kSections, bool kCoupling, bool kSplit>
void RunPairGroup(const LinearChain& c, int first, const double* const in[2],
                  double* const out[2], double* const splitOut[2], int n) {
  PairRegs regs[kSections > 0 ? kSections : 1];
  for (int k = 0; k < kSections; ++k) {
    const BiquadSection& l = *c.sections[0][first + k];
    const BiquadSection& r = *c.sections[1][first + k];
    regs[k] = {Pair{l.b0, r.b0}, Pair{l.b1, r.b1}, Pair{l.b2, r.b2}, Pair{l.a1, r.a1},
               Pair{l.a2, r.a2}, Pair{l.s1[0], r.s1[1]}, Pair{l.s2[0], r.s2[1]}};
  }
  Pair cx1{}, cy1{}, e{};
  if constexpr (kCoupling) {
    cx1 = Pair{c.coupling->x1[0], c.coupling->x1[1]};
    cy1 = Pair{c.coupling->y1[0], c.coupling->y1[1]};
  }
  if constexpr (kSplit) e = Pair{c.split[0], c.split[1]};
  const Pair r = Pair{c.couplingCoef, c.couplingCoef}, w = Pair{c.splitCoef, c.splitCoef};
  const double* in0 = in[0];
  const double* in1 = in[1];
  double* out0 = out[0];
  double* out1 = out[1];
  for (int i = 0; i < n; ++i) {
    Pair x = {in0[i], in1[i]};
    if constexpr (kCoupling) {
      const Pair y = (x + cy1 - cx1) * r;
      cx1 = x;
      cy1 = y;
      x = y;
    }
    for (int k = 0; k < kSections; ++k) {
      PairRegs& s = regs[k];
      const Pair y = s.b0 * x + s.s1;
      s.s1 = s.b1 * x - s.a1 * y + s.s2;
      s.s2 = s.b2 * x - s.a2 * y;
      x = y;
    }
    out0[i] = x[0];
    out1[i] = x[1];
    if constexpr (kSplit) {
      e = e + (x - e) * w;
      splitOut[0][i] = e[0];
      splitOut[1][i] = e[1];
    }
  }
  for (int k = 0; k < kSections; ++k) {
    BiquadSection& l = *c.sections[0][first + k];
    BiquadSection& rs = *c.sections[1][first + k];
    l.s1[0] = regs[k].s1[0];
    l.s2[0] = regs[k].s2[0];
    rs.s1[1] = regs[k].s1[1];
    rs.s2[1] = regs[k].s2[1];
  }
  if constexpr (kCoupling) {
    for (int ch = 0; ch < 2; ++ch) {
      c.coupling->x1[ch] = cx1[ch];
      c.coupling->y1[ch] = cy1[ch];
    }
  }
  if constexpr (kSplit) {
    c.split[0] = e[0];
    c.split[1] = e[1];
  }
}

template <bool kCoupling, bool kSplit>
void RunPairGroupOf(int sections, const LinearChain& c, int first, const double* const in[2],
                    double* const out[2], double* const splitOut[2], int n) {
  switch (sections) {
    case 0: RunPairGroup<0, kCoupling, kSplit>(c, first, in, out, splitOut, n); break;
    case 1: RunPairGroup<1, kCoupling, kSplit>(c, first, in, out, splitOut, n); break;
    case 2: RunPairGroup<2, kCoupling, kSplit>(c, first, in, out, splitOut, n); break;
    case 3: RunPairGroup<3, kCoupling, kSplit>(c, first, in, out, splitOut, n); break;
    case 4: RunPairGroup<4, kCoupling, kSplit>(c, first, in, out, splitOut, n); break;
    case 5: RunPairGroup<5, kCoupling, kSplit>(c, first, in, out, splitOut, n); break;
    case 6: RunPairGroup<6, kCoupling, kSplit>(c, first, in, out, splitOut, n); break;
    case 7: RunPairGroup<7, kCoupling, kSplit>(c, first, in, out, splitOut, n); break;
    default: RunPairGroup<8, kCoupling, kSplit>(c, first, in, out, splitOut, n); break;
  }
}

void RunPairGroupWith(bool coupling, bool split, int sections, const LinearChain& c, int first,
                      const double* const in[2], double* const out[2],
                      double* const splitOut[2], int n) {
  if (coupling && split) {
    RunPairGroupOf<true, true>(sections, c, first, in, out, splitOut, n);
  } else if (coupling) {
    RunPairGroupOf<true, false>(sections, c, first, in, out, splitOut, n);
  } else if (split) {
    RunPairGroupOf<false, true>(sections, c, first, in, out, splitOut, n);
  } else {
    RunPairGroupOf<false, false>(sections, c, first, in, out, splitOut, n);
  }
}
#endif

template <int kChannels>
void RunGroupWith(bool coupling, bool split, int sections, const LinearChain& c, int first, int ch0,
                  const double* const in[2], double* const out[2], double* const splitOut[2],
                  int n) {
  if (coupling && split) {
    RunGroupOf<kChannels, true, true>(sections, c, first, ch0, in, out, splitOut, n);
  } else if (coupling) {
    RunGroupOf<kChannels, true, false>(sections, c, first, ch0, in, out, splitOut, n);
  } else if (split) {
    RunGroupOf<kChannels, false, true>(sections, c, first, ch0, in, out, splitOut, n);
  } else {
    RunGroupOf<kChannels, false, false>(sections, c, first, ch0, in, out, splitOut, n);
  }
}

}  // namespace

void LinearChain::Add(BiquadSection& s, int ch) {
  for (int c = 0; c < 2; ++c) {
    if ((ch < 0 || ch == c) && count[c] < kMaxChainSections) sections[c][count[c]++] = &s;
  }
}

void LinearChain::AddActive(BiquadSection& s) {
  for (int c = 0; c < 2; ++c) {
    if (!IsPassThrough(s, c)) Add(s, c);
  }
}

// Calls run(first, sections, withCoupling, withSplit, src) for each group of at most
// `groupSize` sections: the coupling shelf joins the first group, the split the last, and
// every group after the first reads what the one before wrote.
template <typename RunGroup>
static void ForEachGroup(const LinearChain& chain, int total, int groupSize, const double* const in[2],
                         double* const out[2], RunGroup&& run) {
  int first = 0;
  const double* const* src = in;
  do {
    const int sections = std::min(groupSize, total - first);
    run(first, sections, chain.coupling != nullptr && first == 0, chain.split != nullptr && first + sections == total,
        src);
    src = out;
    first += sections;
  } while (first < total);
}

void LinearChain::Run(const double* const in[2], double* const out[2], double* const splitOut[2],
                      int n) const {
  // Channels with the same number of sections run together; otherwise one after the other.
  const bool together = count[0] == count[1];
#if defined(KYR_PAIRED_CHANNELS)
  if (together) {
    ForEachGroup(*this, count[0], kPairGroupSections, in, out,
                 [&](int first, int sections, bool withCoupling, bool withSplit, const double* const* src) {
                   RunPairGroupWith(withCoupling, withSplit, sections, *this, first, src, out, splitOut, n);
                 });
    return;
  }
#endif
  for (int ch0 = 0; ch0 < 2; ch0 += together ? 2 : 1) {
    ForEachGroup(*this, count[ch0], kGroupSections, in, out,
                 [&](int first, int sections, bool withCoupling, bool withSplit, const double* const* src) {
                   if (together) {
                     RunGroupWith<2>(withCoupling, withSplit, sections, *this, first, 0, src, out, splitOut, n);
                   } else {
                     RunGroupWith<1>(withCoupling, withSplit, sections, *this, first, ch0, src, out, splitOut, n);
                   }
                 });
  }
}

}  // namespace kyr
