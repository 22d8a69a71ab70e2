#pragma once
// A file size as a person reads it.

#include <cstdint>
#include <string>

namespace corvane {

// Below 1024: "<n> bytes". Else KB, or MB from 1024 KB on (there is no larger
// unit), with two decimals and the locale's decimal separator: "1.50 KB",
// "5120,00 MB".
std::string FormatSize(std::int64_t bytes);

}  // namespace corvane
