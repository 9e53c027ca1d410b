#pragma once

#include <atomic>
#include <cstdint>

// Meter values that the audio thread writes at the end of each block and the editor timer
// (user-interface thread) reads. Every field is an atomic accessed with relaxed ordering, so
// a reader sees whole values, possibly from different blocks.
namespace kyr {

struct Meters {
  std::atomic<float> thd{0.0f};      // tube distortion, percent
  std::atomic<float> drive{0.0f};    // drive used by the tube in the last block
  std::atomic<float> loRed{0.0f};    // Baxandall low-shelf reduction, dB
  std::atomic<float> hiRed{0.0f};    // Baxandall high-shelf reduction, dB
  std::atomic<float> tp{-120.0f};    // true peak of the last block, dBTP
  std::atomic<float> lufs{-120.0f};  // loudness of the output mid signal
  std::atomic<float> xf{0.0f};       // low-band share of the tube distortion, percent
  std::atomic<float> tb{0.0f};       // high-band share of the tube distortion, percent
  std::atomic<float> ease{0.0f};     // dynamic drive gain, dB
  std::atomic<float> ppg[6] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
  std::atomic<float> ppbg[2] = {1.0f, 1.0f};
  std::atomic<uint8_t> processed{0};  // set to 1 at the end of every block
  // Set while someone reads the display meters (the plug-in's editor, or a command-line host
  // that asked for them). Without a reader the blocks skip the display-only measurements: the
  // true peak, the history rings, the tube distortion and its split-band analysis. They are
  // right again from the first block after the flag is set (the rings after 2048 samples);
  // the loudness, a 3 s average that could not catch up within a glance, always runs.
  std::atomic<uint8_t> reader{1};
};

inline void SetMeter(std::atomic<float>& meter, double value) {
  meter.store(static_cast<float>(value), std::memory_order_relaxed);
}

}  // namespace kyr
