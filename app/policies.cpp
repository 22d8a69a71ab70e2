#include "app/policies.h"

#include <optional>

#include "app/registry_values.h"
#include "platform/error.h"
#include "platform/registry.h"

namespace corvane {

namespace {

struct TPolicyPlace {
  THive hive;
  std::string_view path;
};

constexpr TPolicyPlace kPlaces[] = {
    {THive::CurrentUser, kPolicyKey},
    {THive::LocalMachine, kPolicyKey},
    {THive::CurrentUser, kUserPolicyKey},
};

// The first readable value of `name` that `convert` accepts, in the order of
// the places.
template <class TConvert>
auto FindPolicy(std::string_view name, TConvert convert) -> decltype(convert(TRegValue{})) {
  for (const TPolicyPlace& place : kPlaces) {
    try {
      const std::optional<TRegKey> key = TRegKey::Open(place.hive, place.path);
      if (!key) continue;
      const std::optional<TRegValue> value = key->Query(name);
      if (!value) continue;
      if (auto converted = convert(*value)) return converted;
    } catch (const TError&) {
      // A damaged or unreadable hive holds no policy.
    }
  }
  return std::nullopt;
}

}  // namespace

bool ReadPolicyBool(std::string_view name, bool defaultValue) {
  return FindPolicy(name, RegValueBool).value_or(defaultValue);
}

std::int32_t ReadPolicyInteger(std::string_view name, std::int32_t defaultValue) {
  return FindPolicy(name, RegValueInteger).value_or(defaultValue);
}

std::string ReadPolicyString(std::string_view name, std::string_view defaultValue) {
  std::optional<std::string> value = FindPolicy(name, RegValueText);
  return value ? *value : std::string(defaultValue);
}

}  // namespace corvane
