#pragma once
// Byte buffers for secrets. Every byte they ever held is overwritten before the
// memory goes back to the allocator, also when a vector grows and moves.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <span>
#include <string>
#include <vector>

namespace corvane {

// Overwrites `bytes` with `fill` in a way the optimiser may not drop: the
// empty assembly statement tells it that the memory is read afterwards.
inline void WipeBytes(std::span<std::uint8_t> bytes, std::uint8_t fill = 0) {
  if (bytes.empty()) return;
  std::memset(bytes.data(), fill, bytes.size());
  asm volatile("" : : "r"(bytes.data()) : "memory");
}

inline void WipeString(std::string& text) {
  WipeBytes({reinterpret_cast<std::uint8_t*>(text.data()), text.size()});
  text.clear();
}

// An allocator that wipes memory when it is released.
template <class T>
struct TWipeAllocator {
  using value_type = T;
  TWipeAllocator() = default;
  template <class U>
  TWipeAllocator(const TWipeAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept {
    WipeBytes({reinterpret_cast<std::uint8_t*>(p), n * sizeof(T)});
    ::operator delete(p);
  }
  template <class U>
  bool operator==(const TWipeAllocator<U>&) const noexcept { return true; }
};

// A growable byte buffer that wipes itself: keys, digests, decrypted data.
using TSecureBytes = std::vector<std::uint8_t, TWipeAllocator<std::uint8_t>>;

}  // namespace corvane
