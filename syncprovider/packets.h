#pragma once
// Every object exchanged starts with a type byte. A database file travels as
// the byte 1 and the file's first bytes, then packets of file bytes only; a
// settings record as one packet: the byte 2 and the 141-byte record.

#include <cstdint>

#include "syncprovider/info_record.h"

namespace corvane {

inline constexpr std::uint8_t kPacketDatabaseFile = 1;
inline constexpr std::uint8_t kPacketSettingsRecord = 2;
inline constexpr std::uint32_t kSettingsPacketSize = 1 + kInfoRecordSize;

}  // namespace corvane
