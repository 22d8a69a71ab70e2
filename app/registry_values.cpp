#include "app/registry_values.h"

#include "platform/locale.h"

namespace corvane {

std::optional<std::string> RegValueText(const TRegValue& value) {
  switch (value.type) {
    case TRegType::String:
      return value.text;
    case TRegType::DWord:
      return std::to_string(static_cast<std::int32_t>(value.number));
    case TRegType::Binary:
      break;
  }
  return std::nullopt;
}

std::optional<std::int32_t> RegValueInteger(const TRegValue& value) {
  switch (value.type) {
    case TRegType::String:
      return ParseInteger(value.text);
    case TRegType::DWord:
      return static_cast<std::int32_t>(value.number);
    case TRegType::Binary:
      break;
  }
  return std::nullopt;
}

std::optional<bool> RegValueBool(const TRegValue& value) {
  const std::optional<std::int32_t> number = RegValueInteger(value);
  if (!number) return std::nullopt;
  return *number != 0;
}

}  // namespace corvane
