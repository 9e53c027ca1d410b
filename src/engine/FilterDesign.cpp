#include "FilterDesign.h"

#include <cmath>

namespace kyr {
namespace {

void Store(BiquadSection& s, double b0, double b1, double b2, double a0, double a1, double a2) {
  s.b0 = b0 / a0;
  s.b1 = b1 / a0;
  s.b2 = b2 / a0;
  s.a1 = a1 / a0;
  s.a2 = a2 / a0;
}

// Shared by the Butterworth and the free-Q pass designs; d = sin(w0) / (2 Q).
void DesignPassFromD(BiquadSection& s, bool highpass, double d, double cs) {
  const double a0 = 1.0 + d;
  const double b0 = highpass ? (1.0 + cs) / 2.0 : (1.0 - cs) / 2.0;
  const double b1 = highpass ? -(1.0 + cs) : 1.0 - cs;
  Store(s, b0, b1, b0, a0, -2.0 * cs, 1.0 - d);
}

double Omega(double freqHz, double fs) { return kTwoPi * ClampFrequency(freqHz, fs) / fs; }

}  // namespace

double ClampFrequency(double freqHz, double fs) {
  const double limit = 0.49 * fs;
  if (freqHz > limit) freqHz = limit;
  if (freqHz < 1.0) freqHz = 1.0;
  return freqHz;
}

void DesignBiquad(BiquadSection& s, int type, double freqHz, double gainDb, double q, double fs) {
  const double w0 = Omega(freqHz, fs);
  const double cs = std::cos(w0);
  const double sn = std::sin(w0);
  const double a = std::pow(10.0, gainDb / 40.0);
  const double alpha = sn / (2.0 * q);
  const double r = 2.0 * std::sqrt(a) * alpha;
  if (type == kLowShelf) {
    Store(s, a * ((a + 1.0) - (a - 1.0) * cs + r), 2.0 * a * ((a - 1.0) - (a + 1.0) * cs),
          a * ((a + 1.0) - (a - 1.0) * cs - r), (a + 1.0) + (a - 1.0) * cs + r,
          -2.0 * ((a - 1.0) + (a + 1.0) * cs), (a + 1.0) + (a - 1.0) * cs - r);
  } else if (type == kHighShelf) {
    Store(s, a * ((a + 1.0) + (a - 1.0) * cs + r), -2.0 * a * ((a - 1.0) + (a + 1.0) * cs),
          a * ((a + 1.0) + (a - 1.0) * cs - r), (a + 1.0) - (a - 1.0) * cs + r,
          2.0 * ((a - 1.0) - (a + 1.0) * cs), (a + 1.0) - (a - 1.0) * cs - r);
  } else {
    Store(s, 1.0 + alpha * a, -2.0 * cs, 1.0 - alpha * a, 1.0 + alpha / a, -2.0 * cs,
          1.0 - alpha / a);
  }
}

void DesignButterworth(BiquadSection& s, bool highpass, double freqHz, double fs) {
  const double w0 = Omega(freqHz, fs);
  DesignPassFromD(s, highpass, std::sin(w0) / 1.41421356, std::cos(w0));
}

void DesignPass(BiquadSection& s, bool highpass, double freqHz, double q, double fs) {
  const double w0 = Omega(freqHz, fs);
  DesignPassFromD(s, highpass, std::sin(w0) / (2.0 * q), std::cos(w0));
}

void DesignFirstOrderShelf(BiquadSection& s, bool high, double freqHz, double gainDb, double fs) {
  const double g = std::pow(10.0, gainDb / 20.0);
  const double p = std::exp(-kTwoPi * ClampFrequency(freqHz, fs) / fs);
  const double lowPart = high ? 1.0 - p : (1.0 - p) * g;
  const double highPart = high ? (1.0 + p) * g : 1.0 + p;
  if (g == 1.0) {
    // 0 dB: (L + H) / 2 and (L - H) / 2 are 1 and -p exactly in theory but can be a unit in
    // the last place away in floating point; a flat shelf must pass its input unchanged.
    s.b0 = 1.0;
    s.b1 = -p;
  } else {
    s.b0 = (highPart + lowPart) / 2.0;
    s.b1 = (lowPart - highPart) / 2.0;
  }
  s.b2 = 0.0;
  s.a1 = -p;
  s.a2 = 0.0;
}

void DesignBandListen(BiquadSection& s, double freqHz, double fs) {
  const double w0 = Omega(freqHz, fs);
  const double alpha = std::sin(w0) * 0.25;
  const double a0 = 1.0 + alpha;
  s.b0 = alpha / a0;
  s.b1 = 0.0;
  s.b2 = -alpha / a0;
  s.a1 = -2.0 * std::cos(w0) / a0;
  s.a2 = (1.0 - alpha) / a0;
}

}  // namespace kyr
