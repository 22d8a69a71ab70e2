#include "engine/messages.h"

namespace corvane {

std::string TMessageArg::Text() const {
  return isNumber_ ? std::to_string(number_) : std::string(text_);
}

std::string FormatMessageArgs(std::string_view pattern, std::initializer_list<TMessageArg> args) {
  std::string result;
  result.reserve(pattern.size());
  auto next = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c != '%' || i + 1 == pattern.size()) {
      result += c;
      continue;
    }
    const char spec = pattern[i + 1];
    if (spec == '%') {
      result += '%';
      ++i;
    } else if ((spec == 's' || spec == 'd') && next != args.end()) {
      result += (next++)->Text();
      ++i;
    } else {
      result += c;
    }
  }
  return result;
}

}  // namespace corvane
