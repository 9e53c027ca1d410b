#pragma once

#include "EngineSettings.h"
#include "EqEngine.h"

// The channel kernels: one block of a stereo pair through the program mode's chain (coupling
// high-pass, character shelf, five bands, Mid Boost, tube stage, output gain), ending with
// the block's meters. The dispatcher picks one kernel per block. Input and output arrays
// never alias (the dispatcher hands over its copy of the input); a mono block passes the same
// arrays as left and right and both channel states still run. Audio thread only.
namespace kyr {

// The static-tube kernel; the only one that handles Bypass, Clean and Mode 1.
void ProcessMain(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                 double* outL, double* outR, int n);
// Mode 0 with Dynamic Tube active: the drive follows the block's transients.
void ProcessDynamicTube(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                        double* outL, double* outR, int n);
// Mode 0 with Push-Pull active: every band's contribution follows its own envelope.
void ProcessPushPull(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                     double* outL, double* outR, int n);

// Prologue pieces shared with the Baxandall section.
// Clears the states of both Modes on the first block of a new Mode.
void NoteMode(EqEngine& eng, int32_t mode);

}  // namespace kyr
