#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace oskel {

// Growable byte buffer for plug-in state. Values are appended at the end in the machine's
// byte order (little-endian on every target of this product) and read at a caller-given
// position. Main thread only.
class ByteChunk {
 public:
  static constexpr size_t kGrowStep = 4096;

  void PutBytes(const void* data, int size) {
    if (size <= 0) return;
    const size_t pos = mBytes.size();
    if (pos + static_cast<size_t>(size) > mBytes.capacity())
      mBytes.reserve((pos + static_cast<size_t>(size) + kGrowStep - 1) / kGrowStep * kGrowStep);
    mBytes.resize(pos + static_cast<size_t>(size));
    std::memcpy(mBytes.data() + pos, data, static_cast<size_t>(size));
  }

  template <typename T>
  void Put(const T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    PutBytes(&value, sizeof(T));
  }

  // Reads sizeof(T) bytes at startPos. Returns the position behind them, or -1 (reading
  // nothing) when they would reach past the end.
  template <typename T>
  int Get(T* value, int startPos) const {
    static_assert(std::is_trivially_copyable_v<T>);
    if (startPos < 0 || static_cast<size_t>(startPos) + sizeof(T) > mBytes.size()) return -1;
    std::memcpy(value, mBytes.data() + startPos, sizeof(T));
    return startPos + static_cast<int>(sizeof(T));
  }

  int Size() const { return static_cast<int>(mBytes.size()); }
  const uint8_t* Data() const { return mBytes.data(); }
  void Clear() { mBytes.clear(); }

 private:
  std::vector<uint8_t> mBytes;
};

}  // namespace oskel
