#pragma once
// A text made usable as a file name.

#include <string>
#include <string_view>

namespace corvane {

// `text` with each of / \ : " ? * > < | replaced by "_".
std::string SafeFileName(std::string_view text);

}  // namespace corvane
