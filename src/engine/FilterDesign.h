#pragma once

#include "BiquadSection.h"
#include "Voicing.h"

// Stateless design routines: each overwrites the five coefficients of a section and leaves
// its states alone. Called at block boundaries (or at reset), never per sample.
namespace kyr {

inline constexpr double kTwoPi = 6.283185307179586;

// Limits f to at most 0.49 * fs, then raises it to at least 1 Hz.
double ClampFrequency(double freqHz, double fs);

// Audio EQ Cookbook low shelf (type 0), high shelf (type 1) or peaking filter (any other type).
void DesignBiquad(BiquadSection& s, int type, double freqHz, double gainDb, double q, double fs);

// Second-order Butterworth high-pass or low-pass (Q = 1 / 1.41421356).
void DesignButterworth(BiquadSection& s, bool highpass, double freqHz, double fs);

// Second-order high-pass or low-pass with the given Q.
void DesignPass(BiquadSection& s, bool highpass, double freqHz, double q, double fs);

// First-order high shelf (gain g at fs/2, 1 at DC) or low shelf (the reverse).
void DesignFirstOrderShelf(BiquadSection& s, bool high, double freqHz, double gainDb, double fs);

// Constant-peak band-pass (0 dB at the centre) with Q = 2, used by the band-listen path.
void DesignBandListen(BiquadSection& s, double freqHz, double fs);

}  // namespace kyr
