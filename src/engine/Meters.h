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
};

inline void SetMeter(std::atomic<float>& meter, double value) {
  meter.store(static_cast<float>(value), std::memory_order_relaxed);
}

}  // namespace kyr
