#pragma once
// Reads of registry values written by another process, which may have left a
// value of an unexpected type: such a value counts as missing.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace corvane {

inline std::string ReadStringOr(const TRegKey& key, std::string_view name, std::string fallback = {}) {
  auto value = key.Query(name);
  return value && value->type == TRegType::String ? value->text : fallback;
}

inline std::uint32_t ReadDWordOr(const TRegKey& key, std::string_view name, std::uint32_t fallback = 0) {
  auto value = key.Query(name);
  return value && value->type == TRegType::DWord ? value->number : fallback;
}

}  // namespace corvane
