#pragma once
// Text in the fixed-size character fields of the service's structures: zero
// terminated when shorter than the field, and never read past its end.

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace corvane {

template <std::size_t N>
std::string_view FixedText(const char (&field)[N]) {
  return std::string_view(field, std::find(field, field + N, '\0') - field);
}

// Fills a field with `text`, cut to leave room for the terminating zero.
template <std::size_t N>
void SetFixedText(char (&field)[N], std::string_view text) {
  std::size_t n = std::min(text.size(), N - 1);
  std::copy_n(text.data(), n, field);
  std::fill(field + n, field + N, '\0');
}

}  // namespace corvane
