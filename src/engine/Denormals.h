#pragma once

// The engine's one denormal policy: the processor flushes denormal results to zero and reads
// denormal inputs as zero (MXCSR FTZ and DAZ on x86), so decaying filter states never take the
// slow path. Called on the audio thread at the start of every block; the mode is left set.
// On other processors it does nothing.
namespace kyr {

void FlushDenormalsToZero();

}  // namespace kyr
