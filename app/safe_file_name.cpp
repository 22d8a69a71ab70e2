#include "app/safe_file_name.h"

namespace corvane {

std::string SafeFileName(std::string_view text) {
  constexpr std::string_view kUnsafe = "/\\:\"?*><|";
  std::string name(text);
  for (char& c : name)
    if (kUnsafe.find(c) != std::string_view::npos) c = '_';
  return name;
}

}  // namespace corvane
