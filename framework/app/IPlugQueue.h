// A single-producer, single-consumer ring without locks: Capacity entries in Capacity + 1 slots,
// one kept free so that a full ring and an empty one differ. Each index is moved by one side only.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>

template <class T, std::size_t Capacity> class IPlugQueue {
public:
  // Producer thread. False when the ring is full; the entry is then dropped.
  bool Push(const T& item) {
    const std::size_t write = writeIndex.load(std::memory_order_relaxed);
    const std::size_t next = Next(write);
    if (next == readIndex.load(std::memory_order_acquire))
      return false;
    slots[write] = item;
    writeIndex.store(next, std::memory_order_release);
    return true;
  }

  // Consumer thread. False when the ring is empty.
  bool Pop(T& item) {
    const std::size_t read = readIndex.load(std::memory_order_relaxed);
    if (read == writeIndex.load(std::memory_order_acquire))
      return false;
    item = slots[read];
    readIndex.store(Next(read), std::memory_order_release);
    return true;
  }

  // Either thread; exact only on the consumer side while the producer is idle.
  std::size_t ElementsAvailable() const {
    const std::size_t write = writeIndex.load(std::memory_order_acquire);
    const std::size_t read = readIndex.load(std::memory_order_acquire);
    return (write + kSlots - read) % kSlots;
  }

  static constexpr std::size_t MaxElements() { return Capacity; }

private:
  static constexpr std::size_t kSlots = Capacity + 1;
  static constexpr std::size_t Next(std::size_t index) { return index + 1 == kSlots ? 0 : index + 1; }

  std::array<T, kSlots> slots{};
  std::atomic<std::size_t> writeIndex{0};
  std::atomic<std::size_t> readIndex{0};
};
