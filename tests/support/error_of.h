#pragma once
// The message of the TError that an action raises, for tests that check a
// failure's text; "(no error)" when the action succeeds.

#include <functional>
#include <string>

#include "platform/error.h"

namespace corvane::testing_support {

inline std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const TError& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace corvane::testing_support
