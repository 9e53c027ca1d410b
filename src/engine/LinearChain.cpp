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

void LinearChain::Run(const double* const in[2], double* const out[2], double* const splitOut[2],
                      int n) const {
  // Channels with the same number of sections run together; otherwise one after the other.
  const bool together = count[0] == count[1];
  for (int ch0 = 0; ch0 < 2; ch0 += together ? 2 : 1) {
    const int total = count[ch0];
    int first = 0;
    const double* const* src = in;
    do {
      const int sections = std::min(kGroupSections, total - first);
      const bool withCoupling = coupling != nullptr && first == 0;
      const bool withSplit = split != nullptr && first + sections == total;
      if (together) {
        RunGroupWith<2>(withCoupling, withSplit, sections, *this, first, 0, src, out, splitOut, n);
      } else {
        RunGroupWith<1>(withCoupling, withSplit, sections, *this, first, ch0, src, out, splitOut,
                        n);
      }
      src = out;
      first += sections;
    } while (first < total);
  }
}

}  // namespace kyr
