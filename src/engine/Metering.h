#pragma once

#include "EqEngine.h"

// Meters computed on the audio thread at the end of every block path.
namespace kyr {

// History rings (input and output mid), true peak ("tp") and loudness ("lufs") of a block
// whose output samples are final.
void MeterTail(EqEngine& eng, const double* inL, const double* inR, const double* outL,
               const double* outR, int n);

// Shadow pass over the block's input through the coupling filter, the character shelf and
// bands 1..5 (own states, the kernel's coefficients) and the split filter, measuring how
// much of the tube's distortion each band makes: writes "xf" and "tb".
void SplitBandAnalysis(EqEngine& eng, const double* inL, const double* inR, int n, double drive,
                       double couplingCoef);

}  // namespace kyr
