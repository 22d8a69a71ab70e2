#pragma once
// The format of a database stream being read: what its header says, which
// decides which values the body holds (older formats hold fewer).

#include <cstdint>

namespace corvane {

// What a database writes: format 2.30, build 23000.
inline constexpr std::uint16_t kCurrentFormatVersion = 230;
inline constexpr std::uint16_t kCurrentFormatBuild = 23000;

struct TStreamFormat {
  std::uint16_t Version = kCurrentFormatVersion;  // major * 100 + minor
  std::uint16_t Build = kCurrentFormatBuild;      // Version * 100 + sub-version
  bool PasswordKnown = true;  // false: every encrypted value reads as zero
};

}  // namespace corvane
