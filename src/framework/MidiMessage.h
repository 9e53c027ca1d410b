#pragma once

#include <cstdint>
#include <cstring>

namespace oskel {

// One short MIDI message crossing between threads (8 bytes).
struct MidiMessage {
  int32_t offset = 0;  // sample offset within the block
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
  uint8_t spare = 0;
};
static_assert(sizeof(MidiMessage) == 8);

// One system-exclusive message; longer data is cut to kMaxSize bytes.
struct SysExMessage {
  static constexpr int kMaxSize = 512;
  int32_t offset = 0;
  int32_t size = 0;
  uint8_t data[kMaxSize] = {};

  SysExMessage() = default;
  SysExMessage(int32_t offs, const uint8_t* bytes, int32_t n) : offset(offs) {
    size = n < 0 ? 0 : (n > kMaxSize ? kMaxSize : n);
    if (bytes && size > 0) std::memcpy(data, bytes, static_cast<size_t>(size));
  }
};

}  // namespace oskel
