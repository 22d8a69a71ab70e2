#pragma once
// The encryption chain: one TCipherStream per cipher id over a stream, and
// (normally) the block buffer in front of them.

#include <cstddef>
#include <memory>
#include <string_view>

#include "engine/stream.h"

namespace corvane {

// Builds the chain over `sink` (borrowed; it must outlive the chain) and
// returns its outermost layer, which the caller owns.
//
// Data written to the result are encrypted with the cipher of algorithms[0]
// first and with the last id last, just before they reach `sink`; reading
// from the result undoes the same chain, so the same call builds a reader.
// Every cipher is keyed from `password` (see DeriveKey). With `blockBuffer`
// a TCipherBufferStream with `firstBlockMin` and header stream `sink` is the
// outermost layer; a writer must then call Finish() on the result.
//
// An empty `algorithms` gives a chain without ciphers. An unknown id raises
// serr_algorithmnotfound before any cipher is keyed.
std::unique_ptr<TStream> CreateCipherChain(TStream& sink, std::string_view algorithms,
                                           std::string_view password, bool blockBuffer,
                                           std::size_t firstBlockMin);

}  // namespace corvane
