#pragma once
// The first bytes of a database file, as far as synchronisation needs them: the
// signature, the format version (2.30 or later) and the database identifier.
// The library reads them itself; it shares no code with the database engine.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/guid.h"

namespace corvane {

inline constexpr std::size_t kDbHeaderSize = 26;   // signature, version, sub-version, identifier

struct TDbHeader {
  std::uint16_t formatVersion = 0;   // 230 is 2.30
  std::uint32_t formatBuild = 0;     // version * 100 + sub-version
  TGuid id;
  std::uint64_t lastWrite = 0;       // the file's last-write time, file-time units
};

// Reads a header from the first bytes of a file; nullopt when they are too few,
// the signature differs or the format is older than 2.30. lastWrite stays 0.
std::optional<TDbHeader> ParseDbHeader(std::span<const std::uint8_t> bytes);

// Opens the file for reading, sharing it with readers and writers, reads the
// header and takes the file's last-write time. nullopt when the file cannot be
// read or is not a database of format 2.30 or later.
std::optional<TDbHeader> ReadDbHeader(const std::string& path);

}  // namespace corvane
