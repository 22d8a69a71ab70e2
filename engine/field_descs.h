#pragma once
// The built-in field descriptors from which a new database's structure is
// made, and the fixed descriptions of the system field kinds.

#include <array>
#include <cstdint>
#include <string_view>

namespace corvane {

struct TDbFieldDescRec {
  std::uint8_t Number;
  std::uint8_t FieldType;
  std::uint8_t Kind;
  std::string_view Name;  // internal name; may be empty
  std::uint8_t Category;
  std::uint8_t Position;
  std::uint16_t Width;
  std::string_view DisplayName;  // the name a default structure gives the field
};

// The ten built-in fields, in the order a default structure adds them.
extern const std::array<TDbFieldDescRec, 10> kBuiltinFields;

// The descriptor with `number`; nullptr when there is none.
const TDbFieldDescRec* FindBuiltinField(std::int32_t number);

// The description shown for a system kind (0xF0 and above); empty otherwise.
std::string_view SystemKindDescription(std::uint8_t kind);

}  // namespace corvane
