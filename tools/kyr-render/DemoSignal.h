#pragma once

#include <vector>

namespace kyr::tools {

// A short stereo demo signal (interleaved float): a bass line, a chord, a kick and hi-hats,
// so that every band of the equaliser has something to act on.
std::vector<float> MakeDemoSignal(int sampleRate, double seconds);

}  // namespace kyr::tools
