#pragma once

#include <atomic>
#include <vector>

namespace oskel {

// Fixed-capacity single-producer single-consumer ring between the audio thread and the
// main thread. Storage is allocated at construction; Push and Pop never allocate or lock.
// A push onto a full ring drops the new item.
template <typename T>
class SpscQueue {
 public:
  explicit SpscQueue(int capacity) : mSlots(static_cast<size_t>(capacity) + 1) {}

  bool Push(const T& item) {
    const size_t w = mWrite.load(std::memory_order_relaxed);
    const size_t next = (w + 1) % mSlots.size();
    if (next == mRead.load(std::memory_order_acquire)) return false;
    mSlots[w] = item;
    mWrite.store(next, std::memory_order_release);
    return true;
  }

  bool Pop(T& item) {
    const size_t r = mRead.load(std::memory_order_relaxed);
    if (r == mWrite.load(std::memory_order_acquire)) return false;
    item = mSlots[r];
    mRead.store((r + 1) % mSlots.size(), std::memory_order_release);
    return true;
  }

  int Capacity() const { return static_cast<int>(mSlots.size()) - 1; }

 private:
  std::vector<T> mSlots;
  std::atomic<size_t> mWrite{0};
  std::atomic<size_t> mRead{0};
};

}  // namespace oskel
