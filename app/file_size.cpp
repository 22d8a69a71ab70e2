#include "app/file_size.h"

#include <charconv>

#include "app/messages.h"
#include "platform/locale.h"

namespace corvane {

std::string FormatSize(std::int64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " " + std::string(ssizebytes);
  double value = static_cast<double>(bytes) / 1024;
  std::string_view unit = ssizekb;
  if (value >= 1024) {
    value /= 1024;
    unit = ssizemb;
  }
  // to_chars writes "." whatever the C library's locale; the person's
  // separator replaces it.
  char number[64];
  const auto written = std::to_chars(number, number + sizeof number, value, std::chars_format::fixed, 2);
  std::string text(number, written.ptr);
  const std::size_t point = text.find('.');
  if (point != std::string::npos) text[point] = DecimalSeparator();
  return text + " " + std::string(unit);
}

}  // namespace corvane
