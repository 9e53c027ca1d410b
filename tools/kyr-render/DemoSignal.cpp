#include "DemoSignal.h"

#include <cmath>
#include <cstdint>

namespace kyr::tools {

std::vector<float> MakeDemoSignal(int sampleRate, double seconds) {
  const size_t frames = static_cast<size_t>(seconds * sampleRate);
  std::vector<float> out(frames * 2);
  const double twoPi = 2.0 * M_PI;
  const double beat = 0.5;  // 120 BPM
  const double bassNotes[] = {55.0, 55.0, 73.42, 65.41};
  const double chord[] = {220.0, 277.18, 329.63, 440.0};
  uint32_t noise = 22222;
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / sampleRate;
    const double inBeat = std::fmod(t, beat);
    const int beatIdx = static_cast<int>(t / beat);
    const double bass = 0.3 * std::sin(twoPi * bassNotes[beatIdx % 4] * t) * std::exp(-inBeat * 3.0);
    const double kick = 0.5 * std::sin(twoPi * (45.0 + 90.0 * std::exp(-inBeat * 30.0)) * inBeat) * std::exp(-inBeat * 12.0);
    double pad = 0.0;
    for (double f : chord) pad += 0.04 * std::sin(twoPi * f * t + f);
    noise = noise * 1664525u + 1013904223u;
    const double white = static_cast<double>(noise >> 8) / 8388608.0 - 1.0;
    const double hatPhase = std::fmod(t + beat / 2, beat / 2);
    const double hat = 0.12 * white * std::exp(-hatPhase * 60.0);
    out[2 * i] = static_cast<float>(bass + kick + pad * 1.1 + hat * 0.8);
    out[2 * i + 1] = static_cast<float>(bass + kick + pad * 0.9 + hat * 1.2);
  }
  return out;
}

}  // namespace kyr::tools
