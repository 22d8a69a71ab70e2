#pragma once
// Helpers shared by the cipher and container tests: byte patterns and
// containers written in memory.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/crypt_stream.h"
#include "engine/stream.h"

namespace corvane::testing {

using Bytes = std::vector<std::uint8_t>;

// Bytes that zlib cannot shrink (a fixed pseudo-random sequence).
inline Bytes NoiseBytes(std::size_t n, std::uint32_t seed = 1) {
  Bytes data(n);
  std::uint32_t x = seed * 2654435761u + 1;
  for (auto& b : data) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<std::uint8_t>(x);
  }
  return data;
}

inline Bytes ToBytes(std::span<const std::uint8_t> data) { return Bytes(data.begin(), data.end()); }

struct TContainerOptions {
  std::string password = "secret";
  std::string algorithms;
  bool twoPart = true;
  std::size_t firstBlockMin = 8192;
  TBufferMode bufferMode = TBufferMode::Blocks;
};

// Writes a container with `body` and returns its bytes.
inline Bytes WriteContainer(const TContainerOptions& options, const std::function<void(TCryptStream&)>& body) {
  TMemoryStream out;
  {
    TCryptStream crypt(out, options.password, options.algorithms, options.twoPart);
    crypt.SetFirstBlockMin(options.firstBlockMin);
    crypt.SetBufferMode(options.bufferMode);
    body(crypt);
    crypt.Finish();
  }
  return ToBytes(out.Data());
}

// Opens `data` for reading with the settings of `options` and runs `body`.
inline void ReadContainer(const Bytes& data, const TContainerOptions& options,
                          const std::function<void(TCryptStream&)>& body) {
  TMemoryStream in(data);
  TCryptStream crypt(in, options.password, "", options.twoPart);
  crypt.SetBufferMode(options.bufferMode);
  body(crypt);
}

}  // namespace corvane::testing
