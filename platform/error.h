#pragma once
// The one exception type of Corvane. It carries the message a person reads;
// every layer raises it and the front ends catch it where a person is told.

#include <stdexcept>
#include <string>

namespace corvane {

class TError : public std::runtime_error {
 public:
  explicit TError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace corvane
