#pragma once
// Reading a registry value as the type a setting or policy asks for, whatever
// type it was stored with: a number written as text reads as that number, and
// a number read as text gives its decimal form. nullopt when the value cannot
// stand for the type asked (binary values, text that is no number).

#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry.h"

namespace corvane {

std::optional<std::string> RegValueText(const TRegValue& value);
// A 32-bit number is taken as signed.
std::optional<std::int32_t> RegValueInteger(const TRegValue& value);
// A number other than 0 is true.
std::optional<bool> RegValueBool(const TRegValue& value);

}  // namespace corvane
