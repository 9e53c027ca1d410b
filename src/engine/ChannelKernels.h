#pragma once

#include <cstdint>

#include "EngineSettings.h"
#include "OnePoleState.h"

// The channel kernels: one block of a stereo pair through the program mode's chain (coupling
// high-pass, character shelf, five bands, Mid Boost, tube stage, output gain), ending with
// the block's meters. The dispatcher picks one kernel per block. Input and output arrays
// never alias (the dispatcher hands over its copy of the input); a mono block passes the same
// arrays as left and right and both channel states still run. Audio thread only.
namespace kyr {

class EqEngine;

// The kernels' own state: the coupling high-pass in front of the bank and the Mode of the
// previous block.
struct ProgramKernelState {
  OnePoleState coupling;
  double couplingCoef = 0.0;  // R, 0 until first use; survives resets
  int32_t lastMode = -1;

  // Coupling states cleared, the remembered Mode forgotten.
  void Prepare(double fs);
  void ClearForNewMode();
  void ClearNonFinite();
};

// The static-tube kernel; the only one that handles Bypass, Clean and Mode 1.
void ProcessMain(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                 double* outL, double* outR, int n);
// Mode 0 with Dynamic Tube active: the drive follows the block's transients.
void ProcessDynamicTube(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                        double* outL, double* outR, int n);
// Mode 0 with Push-Pull active: every band's contribution follows its own envelope.
void ProcessPushPull(EqEngine& eng, const Settings& s, const double* inL, const double* inR,
                     double* outL, double* outR, int n);

// Drive from Input: kDrivePerInput per unit from kDriveOffset, limited to kDriveMin..kDriveMax.
double DriveFromInput(float input);
// Corner of the coupling high-pass in front of the bank for a drive, in hertz.
double CouplingFrequency(double drive);

// Prologue pieces shared with the Baxandall section.
// Clears the states of both Modes on the first block of a new Mode.
void NoteMode(EqEngine& eng, int32_t mode);

}  // namespace kyr
