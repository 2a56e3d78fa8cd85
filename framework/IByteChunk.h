// A growable byte buffer for saved state and presets. Values are stored in native (x86-64:
// little-endian) byte order.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

class IByteChunk {
public:
  // Appends size bytes; returns the new size.
  int PutBytes(const void* data, int size) {
    if (size > 0) {
      const auto* bytes = static_cast<const std::uint8_t*>(data);
      buffer.insert(buffer.end(), bytes, bytes + size);
    }
    return Size();
  }

  template <class T> int Put(const T* value) {
    static_assert(std::is_trivially_copyable_v<T>);
    return PutBytes(value, static_cast<int>(sizeof(T)));
  }

  // Copies size bytes from startPos; returns the position after them, or -1 when they are not all there.
  int GetBytes(void* out, int size, int startPos) const {
    if (startPos < 0 || size < 0 || startPos > Size() || size > Size() - startPos)
      return -1;
    if (size > 0)
      std::memcpy(out, buffer.data() + startPos, static_cast<std::size_t>(size));
    return startPos + size;
  }

  template <class T> int Get(T* value, int startPos) const {
    static_assert(std::is_trivially_copyable_v<T>);
    return GetBytes(value, static_cast<int>(sizeof(T)), startPos);
  }

  int Size() const { return static_cast<int>(buffer.size()); }

  // Grows with zero bytes or cuts; returns the new size.
  int Resize(int newSize) {
    buffer.resize(newSize > 0 ? static_cast<std::size_t>(newSize) : 0u, 0);
    return Size();
  }

  void Clear() { buffer.clear(); }

  std::uint8_t* GetData() { return buffer.data(); }
  const std::uint8_t* GetData() const { return buffer.data(); }

private:
  std::vector<std::uint8_t> buffer;
};
