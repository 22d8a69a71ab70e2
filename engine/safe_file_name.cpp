#include "engine/safe_file_name.h"

namespace corvane {

std::string SafeFileName(std::string_view storedName) {
  if (storedName.empty()) return "attachment";
  std::string name(storedName);
  for (char& c : name)
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
  if (name == "." || name == "..") name.assign(name.size(), '_');
  return name;
}

}  // namespace corvane
