// A 64-bit hash of bytes, for the keys under which results are remembered.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

// Eight bytes at a time.
class Hasher {
 public:
  void Bytes(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    while (n >= 8) {
      uint64_t w;
      std::memcpy(&w, b, 8);
      Mix(w);
      b += 8;
      n -= 8;
    }
    uint64_t tail = 0;
    if (n != 0) std::memcpy(&tail, b, n);  // an empty buffer may have no address
    Mix(tail ^ (uint64_t{n} << 56));
  }
  template <typename T>
  void Value(const T& v) {
    static_assert(std::has_unique_object_representations_v<T> || std::is_floating_point_v<T>);
    Bytes(&v, sizeof v);
  }
  template <typename T, size_t N>
  void Array(const std::array<T, N>& a) {
    for (const T& v : a) Value(v);
  }
  uint64_t Result() const { return h_; }

 private:
  void Mix(uint64_t w) {
    h_ ^= w + 0x9E3779B97F4A7C15ull + (h_ << 6) + (h_ >> 2);
    h_ *= 0xFF51AFD7ED558CCDull;
    h_ ^= h_ >> 33;
  }
  uint64_t h_ = 0xCBF29CE484222325ull;
};

